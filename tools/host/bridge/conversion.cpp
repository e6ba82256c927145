// The road between a SOD file and a scene file through the plug-in, in either
// direction: its read and import operations bring a SOD file into the host's scene,
// its export and write operations make one. The hardpoints, emitters and sprites
// travel with the scene as glTF nodes (OBJ: side text files beside it). The plug-in's
// dialogs are answered from the request; its message boxes become messages.
#include "bridge/conversion.h"

#include <cstdio>

#include "formats/scene_files.h"
#include "interface/host_layout.h"
#include "interface/host_text.h"

namespace host {

Json DocumentSummary(SceneDocument& document) {
  HostScene& scene = document.scene;
  std::vector<int> triangles(static_cast<size_t>(scene.PartCount()), 0);
  std::vector<bool> used(static_cast<size_t>(scene.MaterialCount()), false);
  int total = 0;
  for (int s = 0; s < scene.PolygonSetCount(); ++s) {
    for (int f = 0; f < scene.FaceCount(s); ++f) {
      FaceView face = ReadFace(scene, s, f);
      int count = face.vertices.size() >= 3 ? static_cast<int>(face.vertices.size()) - 2 : 0;
      total += count;
      if (face.partIndex >= 0 && face.partIndex < scene.PartCount())
        triangles[static_cast<size_t>(face.partIndex)] += count;
      if (face.materialIndex >= 0 && face.materialIndex < scene.MaterialCount())
        used[static_cast<size_t>(face.materialIndex)] = true;
    }
  }
  Json meshes = Json::array();
  for (int p = 0; p < scene.PartCount(); ++p) {
    if (triangles[static_cast<size_t>(p)] == 0) continue;
    meshes.push_back(Json{{"name", Utf16ToUtf8(scene.PartName(p))}, {"triangles", triangles[static_cast<size_t>(p)]}});
  }
  Json materials = Json::array();
  for (int m = 0; m < scene.MaterialCount(); ++m) {
    if (used[static_cast<size_t>(m)])
      materials.push_back(Utf16ToUtf8(layout::WideField(scene.Material(m), layout::kMaterialName)));
  }
  return Json{{"meshes", std::move(meshes)},
              {"triangles", total},
              {"materials", std::move(materials)},
              {"hardpoints", document.markers.hardpoints.size()},
              {"emitters", document.markers.emitters.size()},
              {"sprites", document.markers.sprites.size()}};
}

namespace {

Json RunJson(const PluginRun& run) {
  auto result = [](int32_t value) { return value < 0 ? Json() : Json(value); };
  return Json{
      {"read", result(run.read)},     {"import", result(run.imported)},          {"export", result(run.exported)},
      {"write", result(run.written)}, {"errorText", Utf16ToUtf8(run.errorText)}, {"ui", run.ui}};
}

// SOD to a scene file: read and import through the plug-in, then write the document.
int FromSod(Session* session, const HostOptions& options, const ConversionRequest& command, SceneDocument* document,
            ConversionMessages* messages, PluginRun* run) {
  UiDriver driver({ImportDialogAnswer(command.importAnswer, true)}, false);
  *run = ImportSod(session, options, command.input, command.importAnswer, true, &driver, document);
  for (const std::string& warning : document->warnings) messages->Warning(warning);
  std::string refusal = ImportRefusal(command.input, *run);
  if (!refusal.empty()) messages->Error(refusal);
  if (run->status != kExitOk) return run->status;
  if (!command.textureFolder.empty()) document->textureFolder = command.textureFolder;
  std::string error;
  size_t warnings = document->warnings.size();
  bool written = WriteSceneDocument(*document, command.output, &error);
  for (size_t i = warnings; i < document->warnings.size(); ++i) messages->Warning(document->warnings[i]);
  if (!written) messages->Error(error);
  return written ? kExitOk : kExitFailed;
}

// A scene file to SOD: read the document, then export and write through the plug-in.
int ToSod(Session* session, const HostOptions& options, const ConversionRequest& command, SceneDocument* document,
          ConversionMessages* messages, PluginRun* run) {
  std::string error;
  if (!ReadSceneDocument(command.input, document, &error)) {
    messages->Error(error);
    return kExitUsage;
  }
  size_t warnings = document->warnings.size();
  for (const std::string& warning : document->warnings) messages->Warning(warning);
  *run = ExportSod(session, options, document, command.output, command.exportAnswer, command.writeTextures);
  messages->FromWindows(run->ui);
  if (run->exported == 1 && run->written != 1) {
    std::string reason = TrimmedEnd(Utf16ToUtf8(run->errorText));
    messages->Error("the plug-in could not write " + Utf16ToUtf8(command.output) +
                    (reason.empty() ? "" : ": " + reason));
  }
  for (size_t i = warnings; i < document->warnings.size(); ++i) messages->Warning(document->warnings[i]);
  if (run->status == kExitStopped) {
    messages->Error("nothing was written to " + Utf16ToUtf8(command.output) +
                    ": the plug-in's checks stopped the export");
  }
  return run->status;
}

}  // namespace

void ConversionMessages::Error(const std::string& text) { Add("error", text); }
void ConversionMessages::Warning(const std::string& text) { Add("warning", text); }
void ConversionMessages::FromWindows(const Json& ui) {
  for (const Json& record : ui) {
    if (record.value("kind", "") != "message box") continue;
    Add(record.value("caption", "") == "Warning" ? "warning" : "error", TrimmedEnd(record.value("text", "")));
  }
}
void ConversionMessages::Print(bool quiet) const {
  for (const Json& message : list_) {
    if (quiet && message["kind"] != "error") continue;
    std::string kind = message["kind"].get<std::string>();
    std::fprintf(stderr, "kveltar-host: %s%s\n", kind == "warning" ? "warning: " : "",
                 message["text"].get<std::string>().c_str());
  }
}
void ConversionMessages::Add(const char* kind, const std::string& text) {
  list_.push_back(Json{{"kind", kind}, {"text", text}});
}

int Convert(Session* session, const HostOptions& options, const ConversionRequest& given, Conversion* conversion) {
  // The plug-in moves the process into the SOD file's folder: paths are made whole first.
  ConversionRequest request = given;
  request.input = AbsolutePath(given.input);
  request.output = AbsolutePath(given.output);
  const bool fromSod = LowerCaseExtension(request.input) == u".sod";
  const bool toSod = LowerCaseExtension(request.output) == u".sod";
  if (fromSod == toSod) {
    conversion->messages.Error("convert takes a .sod file and a .gltf, .glb or .obj file, one each way");
    conversion->status = kExitUsage;
    return conversion->status;
  }
  ConversionMessages* messages = &conversion->messages;
  conversion->status = fromSod ? FromSod(session, options, request, &conversion->document, messages, &conversion->run)
                               : ToSod(session, options, request, &conversion->document, messages, &conversion->run);
  conversion->summary = DocumentSummary(conversion->document);
  return conversion->status;
}

int OpenScene(const ConversionRequest& given, Conversion* conversion) {
  ConversionRequest request = given;
  request.input = AbsolutePath(given.input);
  request.output = AbsolutePath(given.output);
  ConversionMessages* messages = &conversion->messages;
  std::string error;
  SceneDocument* document = &conversion->document;
  if (!ReadSceneDocument(request.input, document, &error)) {
    messages->Error(error);
    conversion->status = kExitUsage;
  } else {
    for (const std::string& warning : document->warnings) messages->Warning(warning);
    size_t warnings = document->warnings.size();
    bool written = WriteSceneDocument(*document, request.output, &error);
    for (size_t i = warnings; i < document->warnings.size(); ++i) messages->Warning(document->warnings[i]);
    if (!written) messages->Error(error);
    conversion->status = written ? kExitOk : kExitFailed;
  }
  conversion->summary = DocumentSummary(*document);
  return conversion->status;
}

Json ConversionJson(const ConversionRequest& request, const Conversion& conversion) {
  Json json{{"input", Utf16ToUtf8(AbsolutePath(request.input))},
            {"output", Utf16ToUtf8(AbsolutePath(request.output))},
            {"status", conversion.status},
            {"messages", conversion.messages.List()}};
  json.update(conversion.summary);
  json["plugin"] = RunJson(conversion.run);
  return json;
}

}  // namespace host
