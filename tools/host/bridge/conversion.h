// One conversion between a SOD file and a scene file (glTF, GLB or OBJ), in either
// direction, through a started plug-in session: the library's single road for every
// front end that converts.
#pragma once

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

struct Conversion {
  int status = kExitOk;  // an exit code of host_session.h
  ConversionMessages messages;
  // The meshes with their triangles, the materials their faces use, the marker counts.
  Json summary;
  PluginRun run;
  SceneDocument document;
};

// Converts `request.input` to `request.output` into a fresh `conversion`; returns its
// status. Paths are made absolute first, since the plug-in moves the process into the
// SOD file's folder.
int Convert(Session* session, const HostOptions& options, const ConversionRequest& request, Conversion* conversion);

// Reads the scene file `request.input` (glTF, GLB or OBJ) and writes it as the scene
// file `request.output`, without the plug-in: how a viewer shows a scene file that it
// may convert to SOD. Returns the status, as Convert does.
int OpenScene(const ConversionRequest& request, Conversion* conversion);

// What a document holds, in numbers and names: the meshes with their triangles, the
// materials their faces use, the markers.
Json DocumentSummary(SceneDocument& document);

// The report that `convert --json` prints.
Json ConversionJson(const ConversionRequest& request, const Conversion& conversion);

}  // namespace host
