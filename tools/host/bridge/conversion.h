// One conversion between a SOD file and a scene file (glTF, GLB or OBJ), in either
// direction, through a started plug-in session: the library's single road for every
// front end that converts.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "bridge/sod_bridge.h"
#include "formats/scene_format.h"
#include "interface/host_json.h"
#include "interface/host_session.h"

namespace host {

struct ConversionRequest {
  std::u16string input;          // a .sod file, or a .gltf, .glb or .obj file
  std::u16string output;         // the other kind
  ImportAnswer importAnswer;     // the mesh selection, for a SOD input
  ExportAnswer exportAnswer;     // for a SOD output
  std::u16string textureFolder;  // where a SOD file's textures are looked for; empty: beside it
  bool writeTextures = false;
  // The markers the written file carries in place of the model's own (a viewer's edited
  // markers); a side text file that the export answer names still wins for its kind.
  std::optional<MarkerLists> markers = std::nullopt;
};

// What the user is told: errors and warnings, in the order they arose.
class ConversionMessages {
 public:
  void Error(const std::string& text);
  void Warning(const std::string& text);
  // The plug-in's message boxes of a run: "Error" and "Warning" by their captions.
  void FromWindows(const Json& ui);
  const Json& List() const { return list_; }
  // On stderr, one a line; with `quiet` the errors only.
  void Print(bool quiet) const;

 private:
  void Add(const char* kind, const std::string& text);
  Json list_ = Json::array();
};

// How a conversion ended, without the scene it carried.
struct ConversionOutcome {
  int status = kExitOk;  // an exit code of host_session.h
  ConversionMessages messages;
  // The meshes with their triangles, the materials their faces use, the marker counts.
  Json summary;
  PluginRun run;
};

struct Conversion : ConversionOutcome {
  SceneDocument document;
};

// Converts `request.input` to `request.output` into a fresh `conversion`; returns its
// status. Paths are made absolute first, since the plug-in moves the process into the
// SOD file's folder. A SOD file to SOD goes through the plug-in's import and export,
// with the markers of the answer's side text files (or of `request.markers`).
int Convert(Session* session, const HostOptions& options, const ConversionRequest& request, Conversion* conversion);

// Passes the model's markers through the plug-in both ways: converts `request.input`
// to the SOD file `request.output` (the export reads the answer's side text files with
// the plug-in's own reader), then imports that file with the plug-in, whose extraction
// gives `conversion->document` its markers: what a SOD file written from them holds.
// With `extractTo`, the extracted side text files (NAME_hps.txt, ...) are copied there.
// Returns the status.
int PassMarkersThroughPlugin(Session* session, const HostOptions& options, const ConversionRequest& request,
                             const std::filesystem::path& extractTo, Conversion* conversion);

// Reads the scene file `request.input` (glTF, GLB or OBJ) and writes it as the scene
// file `request.output`, without the plug-in: how a viewer shows a scene file that it
// may convert to SOD. Returns the status, as Convert does.
int OpenScene(const ConversionRequest& request, Conversion* conversion);

// What the file written from a document holds, in numbers and names: the meshes with
// their triangles, the materials, the markers. A scene file holds every material of
// the scene; a SOD file (`toSod`) those the plug-in's export writes for `answer`.
Json DocumentSummary(SceneDocument& document, bool toSod = false, const ExportAnswer& answer = ExportAnswer());

// The report that `convert --json` prints.
Json ConversionJson(const ConversionRequest& request, const ConversionOutcome& conversion);

}  // namespace host
