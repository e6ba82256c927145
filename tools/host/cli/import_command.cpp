// kveltar-host import FILE.sod: the host's whole import. It runs the plug-in's read
// operation on the file, then its import operation, answering the import dialog the
// way the command line says (or leaving it to the user), and shows the scene the
// plug-in built: as a summary, as JSON, as an OBJ file with its materials, or as glTF
// with the file's hardpoints, emitters and sprites.
#include <cstdio>
#include <string>
#include <vector>

#include "bridge/sod_bridge.h"
#include "cli/host_commands.h"
#include "formats/scene_files.h"
#include "formats/scene_format.h"
#include "interface/host_json.h"
#include "interface/host_layout.h"
#include "interface/host_text.h"
#include "interface/ui_driver.h"

namespace host {

namespace {

int FaceTotal(HostScene& scene) {
  int faces = 0;
  for (int s = 0; s < scene.PolygonSetCount(); ++s) faces += scene.FaceCount(s);
  return faces;
}

void PrintSummary(HostScene& scene) {
  std::printf("scene: %d materials, %d vertices, %d parts, %d polygon sets, %d faces%s\n", scene.MaterialCount(),
              scene.VertexCount(), scene.PartCount(), scene.PolygonSetCount(), FaceTotal(scene),
              scene.Finished() ? ", finished" : ", not finished");
  for (int m = 0; m < scene.MaterialCount(); ++m) {
    uint8_t* material = scene.Material(m);
    std::printf("  material %d %s", m,
                JsonQuote(Utf16ToUtf8(layout::WideField(material, layout::kMaterialName))).c_str());
    for (int map = 0; map < 4; ++map) {
      if (const uint8_t* bytes = scene.MaterialMap(m, map)) {
        std::printf(", map %d %s", map, JsonQuote(Utf16ToUtf8(layout::WideField(bytes, layout::kMapPath))).c_str());
      }
    }
    std::printf("\n");
  }
  for (int p = 0; p < scene.PartCount(); ++p) {
    int faces = p < scene.PolygonSetCount() ? scene.FaceCount(p) : 0;
    std::printf("  part %d %s: %d faces\n", p, JsonQuote(Utf16ToUtf8(scene.PartName(p))).c_str(), faces);
  }
}

// Writes the document as --obj or --gltf asks (glTF: binary for a .glb name), telling
// the writer's warnings; false after saying why.
bool WriteDocument(SceneDocument& document, const std::u16string& path, const std::u16string& given, bool obj,
                   bool json) {
  const SceneFormat* format = SceneFormatOf(obj                                   ? u"scene.obj"
                                            : LowerCaseExtension(path) == u".glb" ? u"scene.glb"
                                                                                  : u"scene.gltf");
  std::string error;
  const size_t warnings = document.warnings.size();
  const bool written = format->write(document, path, &error);
  // What the writer warns of, such as a texture that is missing.
  for (size_t i = warnings; i < document.warnings.size(); ++i)
    std::fprintf(stderr, "kveltar-host: warning: %s\n", document.warnings[i].c_str());
  if (!written) {
    std::fprintf(stderr, "kveltar-host: %s\n", error.c_str());
    return false;
  }
  if (json) return true;
  if (obj) {
    std::printf("obj: %s, %s\n", Utf16ToUtf8(given).c_str(), Utf16ToUtf8(MaterialLibraryPath(given)).c_str());
  } else {
    std::printf("gltf: %s\n", Utf16ToUtf8(given).c_str());
  }
  return true;
}

int ImportOnce(const HostOptions& options, const ImportCommand& command, Session* session, UiDriver* driver,
               Json* runs) {
  SceneDocument document;
  const bool files = !command.obj.empty() || !command.gltf.empty();
  // The plug-in moves the process into the SOD file's folder: paths are made whole first.
  const std::u16string path = AbsolutePath(command.input);
  const std::u16string obj = command.obj.empty() ? u"" : AbsolutePath(command.obj);
  const std::u16string gltf = command.gltf.empty() ? u"" : AbsolutePath(command.gltf);
  PluginRun run = ImportSod(session, options, path, command.answer, files, driver, &document);
  if (!command.json) std::printf("read: %d\n", run.read);
  std::string refusal = ImportRefusal(path, run);
  if (!refusal.empty()) std::fprintf(stderr, "kveltar-host: %s\n", refusal.c_str());
  if (run.read == 1 && !command.json) {
    std::printf("import: %d%s\n", run.imported, run.imported == 2 ? " (cancelled)" : "");
    PrintSummary(document.scene);
  }
  for (const std::string& warning : document.warnings) std::fprintf(stderr, "kveltar-host: %s\n", warning.c_str());
  int status = run.status;
  if (run.imported == 1) {
    if (!obj.empty() && !WriteDocument(document, obj, command.obj, true, command.json)) status = kExitFailed;
    if (!gltf.empty() && !WriteDocument(document, gltf, command.gltf, false, command.json)) status = kExitFailed;
  }
  runs->push_back(Json{{"read", run.read},
                       {"errorText", Utf16ToUtf8(run.errorText)},
                       {"import", run.imported < 0 ? Json() : Json(run.imported)},
                       {"scene", SceneJson(document.scene)},
                       {"ui", run.ui},
                       {"calls", run.calls}});
  return status == kExitOk ? run.status : status;
}

}  // namespace

int CommandImport(const HostOptions& options, const ImportCommand& command) {
  Session session;
  if (!StartSession(options, &session)) return kExitUsage;
  const bool files = !command.obj.empty() || !command.gltf.empty();
  UiDriver driver(std::vector<UiAnswer>(static_cast<size_t>(command.repeat), ImportDialogAnswer(command.answer, files)),
                  command.answer.interactive);
  Json runs = Json::array();
  int status = kExitOk;
  for (int r = 0; r < command.repeat; ++r) {
    int once = ImportOnce(options, command, &session, &driver, &runs);
    // A failure in any run stands; otherwise the last run's answer does.
    if (status != kExitFailed && status != kExitTrap && status != kExitUsage) status = once;
  }
  if (command.json) std::printf("%s\n", JsonText(Json{{"runs", std::move(runs)}}).c_str());
  return status;
}

}  // namespace host
