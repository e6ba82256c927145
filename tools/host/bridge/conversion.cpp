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

namespace {

// The materials the written file holds. A scene file gets every material of the
// scene; a SOD file those the plug-in's export writes: none when the answer leaves
// materials out, else all but a first material that no face uses (the host's default).
Json WrittenMaterials(HostScene& scene, bool toSod, const ExportAnswer& answer) {
  Json materials = Json::array();
  if (toSod && !answer.exportMaterials) return materials;
  int first = 0;
  if (toSod && scene.MaterialCount() > 0 && layout::Get<int32_t>(scene.Material(0), layout::kMaterialUseCount) <= 0)
    first = 1;
  for (int m = first; m < scene.MaterialCount(); ++m)
    materials.push_back(Utf16ToUtf8(layout::WideField(scene.Material(m), layout::kMaterialName)));
  return materials;
}

}  // namespace

Json DocumentSummary(SceneDocument& document, bool toSod, const ExportAnswer& answer) {
  HostScene& scene = document.scene;
  std::vector<int> triangles(static_cast<size_t>(scene.PartCount()), 0);
  int total = 0;
  for (int s = 0; s < scene.PolygonSetCount(); ++s) {
    for (int f = 0; f < scene.FaceCount(s); ++f) {
      FaceView face = ReadFace(scene, s, f);
      int count = face.vertices.size() >= 3 ? static_cast<int>(face.vertices.size()) - 2 : 0;
      total += count;
      if (face.partIndex >= 0 && face.partIndex < scene.PartCount())
        triangles[static_cast<size_t>(face.partIndex)] += count;
    }
  }
  Json meshes = Json::array();
  for (int p = 0; p < scene.PartCount(); ++p) {
    if (triangles[static_cast<size_t>(p)] == 0) continue;
    meshes.push_back(Json{{"name", Utf16ToUtf8(scene.PartName(p))}, {"triangles", triangles[static_cast<size_t>(p)]}});
  }
  return Json{{"meshes", std::move(meshes)},
              {"triangles", total},
              {"materials", WrittenMaterials(scene, toSod, answer)},
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

// The document's warnings not yet told, as warnings.
void TellWarnings(const SceneDocument& document, size_t* told, ConversionMessages* messages) {
  for (; *told < document.warnings.size(); ++*told) messages->Warning(document.warnings[*told]);
}

// Brings the model `command.input` into `document`: a SOD file through the plug-in's
// read and import, with the markers it extracts; a scene file read by the host (no
// session needed).
int LoadModel(Session* session, const HostOptions& options, const ConversionRequest& command, SceneDocument* document,
              ConversionMessages* messages, PluginRun* run, size_t* told) {
  if (LowerCaseExtension(command.input) != u".sod") {
    std::string error;
    const bool read = ReadSceneDocument(command.input, document, &error);
    TellWarnings(*document, told, messages);
    if (!read) messages->Error(error);
    return read ? kExitOk : kExitUsage;
  }
  UiDriver driver({ImportDialogAnswer(command.importAnswer, true)}, false);
  *run = ImportSod(session, options, command.input, command.importAnswer, true, &driver, document);
  TellWarnings(*document, told, messages);
  std::string refusal = ImportRefusal(command.input, *run);
  if (!refusal.empty()) messages->Error(refusal);
  if (run->status != kExitOk) return run->status;
  if (!command.textureFolder.empty()) document->textureFolder = command.textureFolder;
  return kExitOk;
}

// Writes `document` as `command.output`: a SOD file through the plug-in's export and
// write (`run` then tells both roads of a SOD input), a scene file by the host.
int SaveModel(Session* session, const HostOptions& options, const ConversionRequest& command, SceneDocument* document,
              ConversionMessages* messages, PluginRun* run, size_t* told) {
  if (LowerCaseExtension(command.output) != u".sod") {
    std::string error;
    const bool written = WriteSceneDocument(*document, command.output, &error);
    TellWarnings(*document, told, messages);
    if (!written) messages->Error(error);
    return written ? kExitOk : kExitFailed;
  }
  // A scene that the plug-in's import built goes to its export as the host holds it after an import.
  if (LowerCaseExtension(command.input) == u".sod") document->scene.TableCornerTexCoords();
  PluginRun exported =
      ExportSod(session, options, document, command.output, command.exportAnswer, command.writeTextures);
  messages->FromWindows(exported.ui);
  if (exported.exported == 1 && exported.written != 1) {
    std::string reason = TrimmedEnd(Utf16ToUtf8(exported.errorText));
    messages->Error("the plug-in could not write " + Utf16ToUtf8(command.output) +
                    (reason.empty() ? "" : ": " + reason));
  }
  TellWarnings(*document, told, messages);
  if (exported.status == kExitStopped) {
    messages->Error("nothing was written to " + Utf16ToUtf8(command.output) +
                    ": the plug-in's checks stopped the export");
  }
  exported.read = run->read;
  exported.imported = run->imported;
  for (const Json& record : exported.ui) run->ui.push_back(record);
  exported.ui = std::move(run->ui);
  exported.calls += run->calls;
  *run = std::move(exported);
  return run->status;
}

// Loads the model, puts the request's markers in its place, and saves it.
int LoadAndSave(Session* session, const HostOptions& options, const ConversionRequest& request,
                Conversion* conversion) {
  size_t told = 0;
  SceneDocument* document = &conversion->document;
  int status = LoadModel(session, options, request, document, &conversion->messages, &conversion->run, &told);
  if (status != kExitOk) return status;
  if (request.markers) document->markers = *request.markers;
  // A side text file the export is given takes the place of its kind's markers: the
  // summary counts its records.
  for (MarkerKind kind : kMarkerKinds) {
    const std::u16string& file = SideFileOf(request.exportAnswer, kind);
    if (file.empty() || LowerCaseExtension(request.output) != u".sod") continue;
    std::vector<Marker>& markers = MarkersOf(document->markers, kind);
    markers.clear();
    std::string error;
    if (!ReadSideTextFile(file, kind, &markers, &error)) document->warnings.push_back(error);
  }
  return SaveModel(session, options, request, document, &conversion->messages, &conversion->run, &told);
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
  if (!fromSod && !toSod) {
    conversion->messages.Error("convert takes a .sod file and a .gltf, .glb or .obj file, or two .sod files");
    conversion->status = kExitUsage;
    return conversion->status;
  }
  conversion->status = LoadAndSave(session, options, request, conversion);
  conversion->summary = DocumentSummary(conversion->document, toSod, request.exportAnswer);
  return conversion->status;
}

int PassMarkersThroughPlugin(Session* session, const HostOptions& options, const ConversionRequest& request,
                             const std::filesystem::path& extractTo, Conversion* conversion) {
  if (Convert(session, options, request, conversion) != kExitOk) return conversion->status;
  TempFolder work;
  ImportAnswer answer;
  UiDriver driver({ImportDialogAnswer(answer, true)}, false);
  SceneDocument written;
  const std::u16string sodPath = AbsolutePath(request.output);
  PluginRun run = ImportSod(session, options, sodPath, answer, true, &driver, &written, &work);
  std::string refusal = ImportRefusal(sodPath, run);
  if (!refusal.empty()) conversion->messages.Error(refusal);
  for (const std::string& warning : written.warnings) conversion->messages.Warning(warning);
  conversion->status = run.status;
  if (run.status != kExitOk) return run.status;
  conversion->document.markers = std::move(written.markers);
  for (MarkerKind kind : kMarkerKinds) {
    const std::filesystem::path extracted = ExtractedSideFile(work, sodPath, kind);
    std::error_code missing;
    if (extractTo.empty() || !std::filesystem::is_regular_file(extracted, missing)) continue;
    if (!CopyWholeFile(extracted, extractTo / extracted.filename())) {
      conversion->messages.Error("cannot write " + (extractTo / extracted.filename()).u8string());
      conversion->status = kExitFailed;
    }
  }
  return conversion->status;
}

int OpenScene(const ConversionRequest& given, Conversion* conversion) {
  ConversionRequest request = given;
  request.input = AbsolutePath(given.input);
  request.output = AbsolutePath(given.output);
  conversion->status = LoadAndSave(nullptr, HostOptions(), request, conversion);
  conversion->summary = DocumentSummary(conversion->document);
  return conversion->status;
}

Json ConversionJson(const ConversionRequest& request, const ConversionOutcome& conversion) {
  Json json{{"input", Utf16ToUtf8(AbsolutePath(request.input))},
            {"output", Utf16ToUtf8(AbsolutePath(request.output))},
            {"status", conversion.status},
            {"messages", conversion.messages.List()}};
  json.update(conversion.summary);
  json["plugin"] = RunJson(conversion.run);
  return json;
}

}  // namespace host
