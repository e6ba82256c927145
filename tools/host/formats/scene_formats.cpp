// The table of the host's scene file formats and the small adapters that put each
// format's reader and writer behind the one interface of scene_format.h.
#include <algorithm>
#include <filesystem>

#include "formats/gltf_scene_reader.h"
#include "formats/gltf_scene_writer.h"
#include "formats/obj_scene_reader.h"
#include "formats/scene_files.h"
#include "formats/scene_format.h"
#include "formats/side_text_files.h"
#include "interface/host_layout.h"
#include "interface/host_text.h"
#include "interface/temp_folder.h"

namespace host {

namespace fs = std::filesystem;

namespace {

// The side text file of a kind that belongs to a scene file: NAME_hps.txt beside NAME.obj.
std::u16string SideFileOf(const std::u16string& scenePath, MarkerKind kind) {
  fs::path path(scenePath);
  return (path.parent_path() / path.stem()).u16string() + SideTextSuffix(kind);
}

// OBJ has no place for markers: they live in side text files beside it.
bool ReadObjDocument(const std::u16string& path, SceneDocument* document, std::string* error) {
  if (!ReadObjScene(path, &document->scene, error)) return false;
  for (MarkerKind kind : kMarkerKinds) {
    std::u16string side = SideFileOf(path, kind);
    std::error_code ignored;
    if (fs::is_regular_file(fs::path(side), ignored) &&
        !ReadSideTextFile(side, kind, &MarkersOf(document->markers, kind), error)) {
      return false;
    }
  }
  return true;
}

// Copies the textures of the document's materials that its texture folder holds beside
// the OBJ file, where its material library names them by file name: the maps' own
// paths lead into the folder where the plug-in read its copy of the SOD file.
void CopyTextures(SceneDocument& document, const fs::path& objFile) {
  HostScene& scene = document.scene;
  for (int m = 0; m < scene.MaterialCount(); ++m) {
    for (int map : {0, 2}) {
      const uint8_t* bytes = scene.MaterialMap(m, map);
      if (bytes == nullptr || (layout::Get<uint32_t>(bytes, layout::kMapFlags) & 1u) == 0) continue;
      fs::path name = fs::path(layout::WideField(bytes, layout::kMapPath)).filename();
      fs::path source = fs::path(document.textureFolder) / name, target = objFile.parent_path() / name;
      std::error_code ignored;
      if (fs::is_regular_file(source, ignored) && !fs::equivalent(source, target, ignored))
        fs::copy_file(source, target, fs::copy_options::overwrite_existing, ignored);
    }
  }
}

bool WriteObjDocument(SceneDocument& document, const std::u16string& path, std::string* error) {
  const bool besideObj = !document.textureFolder.empty();
  if (!WriteSceneObj(document.scene, path, error, besideObj)) return false;
  if (besideObj) CopyTextures(document, fs::path(path));
  for (MarkerKind kind : kMarkerKinds) {
    const std::vector<Marker>& markers = MarkersOf(document.markers, kind);
    if (!markers.empty() && !WriteSideTextFile(SideFileOf(path, kind), kind, markers, error)) return false;
  }
  return true;
}

Json MarkersJson(const std::vector<Marker>& markers, MarkerKind kind) {
  Json list = Json::array();
  for (const Marker& marker : markers) {
    Json rows = Json::array();
    for (const auto& row : marker.rows) rows.push_back(Json{JsonFloat(row[0]), JsonFloat(row[1]), JsonFloat(row[2])});
    Json entry{{"name", marker.name}};
    if (kind == MarkerKind::kEmitter) entry["emitterName"] = marker.emitterName;
    entry["rows"] = std::move(rows);
    list.push_back(std::move(entry));
  }
  return list;
}

bool WriteJsonDocument(SceneDocument& document, const std::u16string& path, std::string* error) {
  Json json{{"scene", SceneJson(document.scene)},
            {"hardpoints", MarkersJson(document.markers.hardpoints, MarkerKind::kHardpoint)},
            {"emitters", MarkersJson(document.markers.emitters, MarkerKind::kEmitter)},
            {"sprites", MarkersJson(document.markers.sprites, MarkerKind::kSprite)}};
  return WriteWholeFile(fs::path(path), JsonText(json) + "\n", error);
}

// A side text file holds the markers of the kind its name ends in.
bool ReadSideTextDocument(const std::u16string& path, SceneDocument* document, std::string* error) {
  MarkerKind kind = SideTextKindOf(path);
  return ReadSideTextFile(path, kind, &MarkersOf(document->markers, kind), error);
}

bool WriteSideTextDocument(SceneDocument& document, const std::u16string& path, std::string* error) {
  MarkerKind kind = SideTextKindOf(path);
  return WriteSideTextFile(path, kind, MarkersOf(document.markers, kind), error);
}

struct Entry {
  const char16_t* extension;
  SceneFormat format;
};

const Entry kFormats[] = {
    {u".gltf", {"glTF", ReadGltfScene, WriteGltfScene}},
    {u".glb", {"glTF", ReadGltfScene, WriteGltfScene}},
    {u".obj", {"OBJ", ReadObjDocument, WriteObjDocument}},
    {u".json", {"JSON", nullptr, WriteJsonDocument}},
    {u".txt", {"side text", ReadSideTextDocument, WriteSideTextDocument}},
};

}  // namespace

const SceneFormat* SceneFormatOf(const std::u16string& path) {
  std::u16string extension = LowerCaseExtension(path);
  for (const Entry& entry : kFormats) {
    if (extension == entry.extension) return &entry.format;
  }
  return nullptr;
}

bool ReadSceneDocument(const std::u16string& path, SceneDocument* document, std::string* error) {
  const SceneFormat* format = SceneFormatOf(path);
  if (format == nullptr || format->read == nullptr) {
    *error = "cannot read " + Utf16ToUtf8(path) + ": the host reads scenes from .gltf, .glb and .obj files";
    return false;
  }
  return format->read(path, document, error);
}

bool WriteSceneDocument(SceneDocument& document, const std::u16string& path, std::string* error) {
  const SceneFormat* format = SceneFormatOf(path);
  if (format == nullptr || format->write == nullptr) {
    *error = "cannot write " + Utf16ToUtf8(path) + ": the host writes scenes as .gltf, .glb, .obj and .json files";
    return false;
  }
  return format->write(document, path, error);
}

}  // namespace host
