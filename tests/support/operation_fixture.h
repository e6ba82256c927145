// What the tests of whole operations run on (the fault matrix, hostile input, the
// soak): a SOD model with a bit of everything the import handles, a big one, the side
// text files an export loads, a host scene to export, the plug-in-wide state put back
// between cases, and the checks a failed case makes (what a directory holds, the text
// lists released, the model empty).
#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/memory.h"
#include "common/stream_write.h"
#include "common/text_lists.h"
#include "export/export_options.h"
#include "import/import_options.h"
#include "interface/host_scene.h"
#include "plugin/plugin_entry.h"
#include "plugin/plugin_info.h"
#include "plugin/plugin_state.h"
#include "sod/export_memory.h"
#include "sod/imported_model.h"
#include "support/sod_builder.h"
#include "support/temp_dir.h"

namespace fixture {

// Two meshes over three materials (one named only by a face group), a null root, two
// hardpoints, an emitter and two sprites, in SOD 1.93 with both textures.
inline std::string ModelSod() {
  sodtest::SodFileSpec s = sodtest::RichSodSpec(sodtest::kV193);
  s.materials = {sodtest::Material("hull"), sodtest::Material("glow")};
  s.nodes = {sodtest::NullNode("root")};
  sodtest::SodNodeSpec hull = sodtest::MeshNode("hull_mesh", {"hull", "glow"}, "hulltex", "root");
  hull.mesh.modeWord1 = 6;
  hull.mesh.modeWord2 = 2;
  hull.mesh.secondTexture = "glowtex";
  s.nodes.push_back(hull);
  s.nodes.push_back(sodtest::MeshNode("fin", {"trim"}, "", "root"));
  s.nodes.push_back(sodtest::NullNode("hp_fore", "root"));
  s.nodes.push_back(sodtest::NullNode("HP_aft", "root"));
  s.nodes.push_back(sodtest::EmitterNode("engine", "exhaust", "root"));
  s.nodes.push_back(sodtest::NodeOfKind(3, "light_red", "root"));
  s.nodes.push_back(sodtest::NodeOfKind(3, "light_green", "root"));
  return sodtest::BuildSod(s);
}

// One mesh of 60,000 vertices: a model of about 2.4 MB once read, big enough that
// losing it shows at once.
inline std::string BigModelSod() {
  sodtest::SodFileSpec file;
  file.materials = {sodtest::Material("hull")};
  sodtest::SodNodeSpec mesh = sodtest::MeshNode("hull", {"hull"});
  mesh.mesh.vertices.clear();
  mesh.mesh.texCoords.clear();
  for (int i = 0; i < 60000; ++i) {
    mesh.mesh.vertices.push_back({static_cast<float>(i), 1, 2});
    mesh.mesh.texCoords.push_back({0.5f, 0.25f});
  }
  mesh.mesh.groups[0].faces.resize(20000);
  for (uint16_t f = 0; f < 20000; ++f) {
    for (uint16_t k = 0; k < 3; ++k) mesh.mesh.groups[0].faces[f].v[k] = mesh.mesh.groups[0].faces[f].t[k] = 3 * f + k;
  }
  file.nodes = {mesh, sodtest::NullNode("hp_fore")};
  return sodtest::BuildSod(file);
}

// Side text files of every kind, as a user edits them.
inline void WriteSideTextFiles(const TempDir& dir) {
  const std::string rows = "  1 0 0  0 1 0  0 0 1  0.5 2 -3\n";
  dir.Write("in_hps.txt", "# hardpoints\n\nhp_fore" + rows + "hp_aft" + rows + "hp_top" + rows);
  dir.Write("in_ems.txt", "engine_glow  exhaust" + rows);
  dir.Write("in_sps.txt", "light_red" + rows + "light_green" + rows);
}

// The export options of a dialog answered with "ST Armada 2", materials and the three
// side text files of `dir`.
inline void TickEverything(const TempDir& dir) {
  exportOptions.gameVersion = 1001;
  exportOptions.exportMaterials = 1;
  exportOptions.useHardpointFile = 1;
  exportOptions.useEmitterFile = 1;
  exportOptions.useSpriteFile = 1;
  const std::u16string paths[3] = {dir.Wide("in_hps.txt"), dir.Wide("in_ems.txt"), dir.Wide("in_sps.txt")};
  char16_t* fields[3] = {exportOptions.hardpointFilePath, exportOptions.emitterFilePath, exportOptions.spriteFilePath};
  for (int i = 0; i < 3; ++i) std::copy(paths[i].c_str(), paths[i].c_str() + paths[i].size() + 1, fields[i]);
}

// A ship to export: a box of quads over a textured material and a second one, and a
// triangle of a third material named `third`; the host triangulates the quads.
inline void BuildExportScene(host::HostScene& scene, const std::u16string& third = u"trim") {
  const host::Colour grey{0.5f, 0.5f, 0.5f, 1}, dark{0.1f, 0.1f, 0.1f, 1}, white{1, 1, 1, 1};
  scene.AddMaterial(u"hull", grey, dark, white, 20, 1);
  scene.SetMaterialMap(0, 0, 1, u"C:\\maps\\hull.tga");
  scene.AddMaterial(u"glow", white, dark, white, 20, 1);
  scene.SetMaterialMap(1, 0, 1, u"C:\\maps\\glow.tga");
  scene.AddMaterial(third, grey, dark, white, 20, 1);
  for (int i = 0; i < 8; ++i) {
    scene.AddVertex({(i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : -1.0f});
  }
  for (int i = 0; i < 4; ++i) scene.AddTexCoord((i & 1) ? 1.0f : 0.0f, (i & 2) ? 1.0f : 0.0f);
  int set = scene.AddPolygonSet();
  const int sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  for (int s = 0; s < 6; ++s) {
    host::FaceSpec face;
    face.materialIndex = s < 4 ? 0 : 1;
    face.vertices.assign(sides[s], sides[s] + 4);
    face.texCoords = {0, 1, 3, 2};
    scene.AddFace(set, face);
  }
  host::FaceSpec trim;
  trim.materialIndex = 2;
  trim.vertices = {0, 1, 2};
  trim.texCoords = {0, 1, 2};
  scene.AddFace(set, trim);
}

inline HostContext* ContextOf(host::HostScene& scene) { return static_cast<HostContext*>(scene.Context()); }

// The host's call of an operation through the plug-in's entry.
inline int32_t RunOperation(uint32_t operation, host::HostScene& scene) {
  static int moduleInstance = 0;
  return OperationProc(operation, ContextOf(scene), &moduleInstance, 0);
}

inline bool TextListsReleased() {
  return textHardpoints == nullptr && textHardpointCount == 0 && textEmitters == nullptr && textEmitterCount == 0 &&
         textSprites == nullptr && textSpriteCount == 0;
}

inline bool ModelReleased() {
  const ImportedModel& m = importedModel;
  return m.nodes == nullptr && m.nodeCount == 0 && m.materials == nullptr && m.materialCount == 0 &&
         m.hardpoints == nullptr && m.emitters == nullptr && m.sprites == nullptr && m.materialIndex == nullptr &&
         m.sourcePath[0] == 0 && readerCursor.data == nullptr && readerCursor.size == 0;
}

// The names in a directory, sorted: a temporary file left behind shows here.
inline std::vector<std::string> Names(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Every seam off and the plug-in-wide state as at load, before and after each case.
inline void ResetPluginState() {
  SetAllocationFailure(0);
  SetWriteFailureAfter(-1);
  ResetImport(&importedModel, &readerCursor);
  ReleaseExportMemory(&exportMemory);  // each run allocates as the first write after load does
  ReleaseHardpointList();
  ReleaseEmitterList();
  ReleaseSpriteList();
  exportOptions = ExportOptions{1000, 1, 0, 0, 0, {0}, {0}, {0}};
  importOptions = ImportOptions{0, 0, 0, 0, 0, 0};
}

// Puts the state back and the current directory too (a scene build changes it).
class StateGuard {
 public:
  StateGuard() : directory_(std::filesystem::current_path()) { ResetPluginState(); }
  ~StateGuard() {
    ResetPluginState();
    std::filesystem::current_path(directory_);
  }
  StateGuard(const StateGuard&) = delete;
  StateGuard& operator=(const StateGuard&) = delete;

 private:
  std::filesystem::path directory_;
};

}  // namespace fixture
