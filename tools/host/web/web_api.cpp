// The web front end's entry point, called from JavaScript (kveltar.js): one request in
// JSON, one result in JSON. The files of a request lie in a folder of the in-memory
// file system that the caller made for it; the files written go to its folder out.
// Every road is the host library's: Convert for a SOD file either way, OpenScene for a
// scene file to show; the outline and the import dialog's figures from scene_outline;
// PassMarkersThroughPlugin for edited markers and side text files read and written by
// the plug-in itself.
#include <emscripten/emscripten.h>

#include <exception>
#include <filesystem>
#include <string>

#include "bridge/conversion.h"
#include "bridge/marker_rewrite.h"
#include "bridge/scene_outline.h"
#include "interface/host_text.h"
#include "interface/temp_folder.h"
#include "web/web_folder.h"

namespace host {

namespace {

namespace fs = std::filesystem;

struct WebRequest {
  std::string op;        // "open", "convert" or "markers"
  fs::path folder;       // holds in/ with the file set; out/ is made for the results
  std::string model;     // the model's name in in/
  std::string to;        // convert: glb, gltf, obj or sod
  bool extract = false;  // markers: the plug-in's side text files go to out/
  ConversionRequest conversion;
};

WebRequest ParseRequest(const Json& json) {
  WebRequest request;
  request.op = json.value("op", "");
  request.folder = fs::u8path(json.value("folder", ""));
  request.model = json.value("model", "");
  request.extract = json.value("extract", false);
  request.to = request.op == "open" ? "glb" : request.op == "markers" ? "sod" : json.value("to", "");
  fs::path input = request.folder / "in" / fs::u8path(request.model);
  request.conversion.input = input.u16string();
  // The markers' round trip writes its SOD file aside: only the side files are handed out.
  fs::path output = request.folder / (request.op == "markers" ? "work" : "out") /
                    fs::u8path(fs::u8path(request.model).stem().u8string() + "." + request.to);
  request.conversion.output = output.u16string();
  request.conversion.exportAnswer.game = json.value("game", 1);
  request.conversion.exportAnswer.exportMaterials = json.value("materials", true);
  request.conversion.exportAnswer.continueReserved = json.value("continueReserved", false);
  request.conversion.writeTextures = json.value("writeTextures", false);
  if (json.contains("markers") && json["markers"].is_array())
    request.conversion.markers = MarkersOfJson(json["markers"]);
  for (const Json& name : json.value("sideFiles", Json::array())) {
    const fs::path file = request.folder / "in" / fs::u8path(name.get<std::string>());
    SideFileOf(request.conversion.exportAnswer, SideTextKindOf(file.u16string())) = file.u16string();
  }
  return request;
}

// The names of the files written into out/, in name order.
Json WrittenFiles(const fs::path& out) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(out, ignored)) {
    if (entry.is_regular_file(ignored)) names.push_back(entry.path().filename().u8string());
  }
  std::sort(names.begin(), names.end());
  return Json(names);
}

// An OBJ file is handed out with its textures beside it, where its material library
// names them by file name: the set's images are laid in out/, which becomes the
// texture folder.
void LayTexturesBesideObj(const fs::path& folder, ConversionRequest* conversion) {
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder / "in", ignored)) {
    std::u16string extension = LowerCaseExtension(entry.path().u16string());
    if (extension == u".tga" || extension == u".png" || extension == u".jpg" || extension == u".jpeg")
      CopyWholeFile(entry.path(), folder / "out" / entry.path().filename());
  }
  conversion->textureFolder = (folder / "out").u16string();
}

Json Failure(const std::string& text) {
  return Json{{"ok", false},
              {"status", kExitFailed},
              {"messages", Json::array({Json{{"kind", "error"}, {"text", text}}})},
              {"report", Json()},
              {"files", Json::array()}};
}

Json Run(const WebRequest& request) {
  ConversionRequest conversion = request.conversion;
  const bool fromSod = LowerCaseExtension(conversion.input) == u".sod";
  std::error_code ignored;
  fs::create_directories(request.folder / "out", ignored);
  fs::create_directories(request.folder / "work", ignored);
  if (fromSod && request.to == "obj") LayTexturesBesideObj(request.folder, &conversion);
  Conversion result;
  if (request.op == "open" && !fromSod) {
    OpenScene(conversion, &result);
  } else {
    HostOptions options;
    Session session;
    if (!StartSession(options, &session)) return Failure("the plug-in could not be started");
    if (request.op == "markers") {
      PassMarkersThroughPlugin(&session, options, conversion, request.extract ? request.folder / "out" : fs::path(),
                               &result);
    } else {
      Convert(&session, options, conversion, &result);
    }
  }
  Json json{{"ok", result.status == kExitOk},
            {"status", result.status},
            {"messages", result.messages.List()},
            {"report", ConversionJson(conversion, result)},
            {"files", WrittenFiles(request.folder / "out")}};
  if (request.op == "open") {
    json["dialog"] = fromSod ? ImportDialogFigures(result.run.ui) : Json();
    json["outline"] = SceneOutline(result.document);
    json["missingTextures"] = MissingTextures(json["outline"]);
  }
  if (request.op == "markers") json["markers"] = SceneOutline(result.document)["markers"];
  return json;
}

// The edited markers of a set-markers request as side text files in `sides`, one for
// every kind of `edit`: the markers that a SOD file the plug-in's export writes of them
// holds, as its import extracts them, written as the host writes side text files (a
// number the extraction prints as "inf" is one the plug-in's reader takes back); a kind
// without markers gets a file without records. False, with `pass` telling why, when
// the markers cannot pass through the plug-in.
bool SideFilesOfMarkers(Session* session, const HostOptions& options, const Json& json, const fs::path& sides,
                        MarkerEdit* edit, Conversion* pass) {
  Json markersRequest = json;
  markersRequest["op"] = "markers";
  markersRequest["continueReserved"] = true;
  const WebRequest request = ParseRequest(markersRequest);
  std::error_code ignored;
  fs::create_directories(sides, ignored);
  fs::create_directories(request.folder / "work", ignored);
  if (PassMarkersThroughPlugin(session, options, request.conversion, fs::path(), pass) != kExitOk) return false;
  for (MarkerKind kind : kMarkerKinds) {
    std::u16string& side = edit->sideFiles[static_cast<int>(kind)];
    side = (sides / "edited").u16string() + SideTextSuffix(kind);
    std::string error;
    if (!WriteSideTextFile(side, kind, MarkersOf(pass->document.markers, kind), &error)) {
      pass->messages.Error(error);
      pass->status = kExitFailed;
      return false;
    }
  }
  return true;
}

// set-markers: {"op": "set-markers", "folder", "model": the SOD file in in/, and for each
// kind to replace "hardpoints", "emitters", "sprites": the name of a side text file in
// in/ (a kind left out stays as it is); or "markers", the edited list in the outline's
// form, which first passes through the plug-in (as the markers request does) so that
// every kind becomes what the plug-in's extraction writes of it, a kind without markers
// an empty side text file}. Answers {"ok", "status", "messages" (the error, else one
// "info" saying what was kept, written and dropped), "report" (kept, written and
// dropped per kind, as set-markers --json prints them), "files"}: out/ holds the
// model's SOD file, the original with only the markers rewritten.
Json SetMarkersRequest(const Json& json) {
  const fs::path folder = fs::u8path(json.value("folder", ""));
  const std::string model = json.value("model", "");
  MarkerEdit edit;
  edit.input = (folder / "in" / fs::u8path(model)).u16string();
  edit.output = (folder / "out" / fs::u8path(model)).u16string();
  for (MarkerKind kind : kMarkerKinds) {
    const std::string side = json.value(MarkerGroupName(kind), "");
    if (!side.empty()) edit.sideFiles[static_cast<int>(kind)] = (folder / "in" / fs::u8path(side)).u16string();
  }
  std::error_code ignored;
  fs::create_directories(folder / "out", ignored);
  HostOptions options;
  Session session;
  if (!StartSession(options, &session)) return Failure("the plug-in could not be started");
  if (json.contains("markers")) {
    Conversion pass;
    if (!SideFilesOfMarkers(&session, options, json, folder / "sides", &edit, &pass)) {
      return Json{{"ok", false},
                  {"status", pass.status},
                  {"messages", pass.messages.List()},
                  {"report", Json()},
                  {"files", Json::array()}};
    }
  }
  MarkerEditOutcome outcome;
  const int status = SetMarkers(&session, options, edit, &outcome);
  const Json message{{"kind", status == kExitOk ? "info" : "error"}, {"text", MarkerEditText(edit, outcome)}};
  return Json{{"ok", status == kExitOk},
              {"status", status},
              {"messages", Json::array({message})},
              {"report", MarkerEditJson(edit, outcome)},
              {"files", WrittenFiles(folder / "out")}};
}

std::string lastResult;

}  // namespace

}  // namespace host

// Runs one request (JSON text: op, folder, model, and for convert: to, game,
// materials, writeTextures, continueReserved; for convert and markers: markers, the
// edited list in the outline's form, and sideFiles, names of side text files in the
// set that the export reads; for markers: extract; for set-markers see
// SetMarkersRequest; for folder, check-file and check-report see web_folder.h) and
// answers its result as JSON text, valid until the next call.
// Never throws: a failure of any kind is a result with ok false and its message.
extern "C" EMSCRIPTEN_KEEPALIVE const char* kveltar_call(const char* requestText) {
  using namespace host;
  try {
    Json json = Json::parse(requestText != nullptr ? requestText : "");
    WebRequest request = ParseRequest(json);
    if (request.op == "folder") {
      lastResult = JsonText(FolderRequest(json));
    } else if (request.op == "check-file") {
      lastResult = JsonText(CheckFileRequest(json));
    } else if (request.op == "check-report") {
      lastResult = JsonText(CheckReportRequest(json));
    } else if (request.op == "set-markers") {
      lastResult = JsonText(SetMarkersRequest(json));
    } else if (request.op != "open" && request.op != "convert" && request.op != "markers") {
      lastResult = JsonText(Failure("unknown request " + request.op));
    } else {
      lastResult = JsonText(Run(request));
    }
  } catch (const std::exception& e) {
    lastResult = JsonText(Failure(std::string("the request failed: ") + e.what()));
  } catch (...) {
    lastResult = JsonText(Failure("the request failed"));
  }
  return lastResult.c_str();
}
