#include "bridge/scene_outline.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "formats/scene_files.h"
#include "formats/side_text_files.h"
#include "formats/texture_images.h"
#include "interface/host_layout.h"
#include "interface/host_text.h"

namespace host {

namespace fs = std::filesystem;

namespace {

// The import dialog's controls.
constexpr int kDialogMaterials = 110;
constexpr int kDialogVersion = 111;
constexpr int kDialogNodes = 112;
constexpr int kDialogMeshes = 113;
constexpr int kDialogLods = 114;
constexpr int kDialogSprites = 115;
constexpr int kDialogEmitters = 116;
constexpr int kDialogMeshList = 117;
constexpr int kDialogHardpoints = 118;
constexpr int kMainTextureMap = 0;

Json Colour(const uint8_t* material, size_t offset) {
  Json values = Json::array();
  for (size_t i = 0; i < 4; ++i) values.push_back(JsonFloat(layout::Get<float>(material, offset + 4 * i)));
  return values;
}

// The main texture's file as the material names it, or an empty path for none (the
// SOD reader names a mesh without texture NULL).
fs::path TextureFile(HostScene& scene, int material) {
  const uint8_t* map = scene.MaterialMap(material, kMainTextureMap);
  if (map == nullptr || (layout::Get<uint32_t>(map, layout::kMapFlags) & 1u) == 0) return fs::path();
  fs::path file(layout::WideField(map, layout::kMapPath));
  return file.filename() == fs::path(u"NULL") ? fs::path() : file;
}

// Whether the document's images or its texture folder (else the map's own folder, or
// the game's Textures/RGB beside it) provide the file.
bool TextureAvailable(const SceneDocument& document, const fs::path& file) {
  std::string name = file.stem().u8string();
  for (const TextureImage& image : document.images) {
    if (image.name == name && !image.encoded.empty()) return true;
  }
  std::error_code ignored;
  return fs::is_regular_file(TextureFileIn(file, document.textureFolder), ignored);
}

Json Materials(SceneDocument& document) {
  HostScene& scene = document.scene;
  Json materials = Json::array();
  for (int m = 0; m < scene.MaterialCount(); ++m) {
    const uint8_t* record = scene.Material(m);
    fs::path file = TextureFile(scene, m);
    materials.push_back(Json{{"name", Utf16ToUtf8(layout::WideField(record, layout::kMaterialName))},
                             {"diffuse", Colour(record, layout::kMaterialDiffuse)},
                             {"ambient", Colour(record, layout::kMaterialAmbient)},
                             {"specular", Colour(record, layout::kMaterialSpecular)},
                             {"power", JsonFloat(layout::Get<float>(record, layout::kMaterialSpecularPower))},
                             {"texture", file.empty() ? Json() : Json(file.filename().u8string())},
                             {"missing", !file.empty() && !TextureAvailable(document, file)}});
  }
  return materials;
}

// The parts with faces, their triangles and the material of their first face.
Json Meshes(HostScene& scene, const Json& materials, int* total) {
  std::vector<int> triangles(static_cast<size_t>(scene.PartCount()), 0);
  std::vector<int> material(static_cast<size_t>(scene.PartCount()), -1);
  for (int s = 0; s < scene.PolygonSetCount(); ++s) {
    for (int f = 0; f < scene.FaceCount(s); ++f) {
      FaceView face = ReadFace(scene, s, f);
      int count = face.vertices.size() >= 3 ? static_cast<int>(face.vertices.size()) - 2 : 0;
      *total += count;
      if (face.partIndex < 0 || face.partIndex >= scene.PartCount()) continue;
      size_t part = static_cast<size_t>(face.partIndex);
      triangles[part] += count;
      if (material[part] < 0) material[part] = face.materialIndex;
    }
  }
  Json meshes = Json::array();
  for (size_t p = 0; p < triangles.size(); ++p) {
    if (triangles[p] == 0) continue;
    bool named = material[p] >= 0 && static_cast<size_t>(material[p]) < materials.size();
    meshes.push_back(Json{{"name", Utf16ToUtf8(scene.PartName(static_cast<int>(p)))},
                          {"triangles", triangles[p]},
                          {"material", named ? materials[static_cast<size_t>(material[p])]["name"] : Json()}});
  }
  return meshes;
}

void AddMarkers(const char* kind, const std::vector<Marker>& markers, Json* list) {
  for (const Marker& marker : markers) {
    Json position{JsonFloat(marker.rows[3][0]), JsonFloat(marker.rows[3][1]), JsonFloat(marker.rows[3][2])};
    Json rows = Json::array();
    for (const auto& row : marker.rows) rows.push_back(Json{JsonFloat(row[0]), JsonFloat(row[1]), JsonFloat(row[2])});
    list->push_back(Json{{"kind", kind},
                         {"name", marker.name},
                         {"position", std::move(position)},
                         {"emitter", marker.emitterName.empty() ? Json() : Json(marker.emitterName)},
                         {"rows", std::move(rows)}});
  }
}

// A number of the outline's JSON: a number, or "inf", "-inf" or "nan" as JsonFloat
// writes the values that JSON has no number for, or "-0" (a page's JSON has no -0);
// anything else reads as 0.
float FloatOfJson(const Json& value) {
  if (value.is_number()) return value.get<float>();
  const std::string text = value.is_string() ? value.get<std::string>() : "";
  if (text == "inf" || text == "-inf") return text[0] == '-' ? -HUGE_VALF : HUGE_VALF;
  if (text == "-0") return -0.0f;
  return text == "nan" ? std::nanf("") : 0.0f;
}

// A control's text without the line end that the stand-in keeps.
std::string ControlText(const Json& control) {
  std::string text = control.value("text", "");
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

long Figure(const std::string& text) {
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  return end != text.c_str() ? value : 0;
}

}  // namespace

Json SceneOutline(SceneDocument& document) {
  int triangles = 0;
  Json materials = Materials(document);
  Json meshes = Meshes(document.scene, materials, &triangles);
  Json markers = Json::array();
  AddMarkers("hardpoint", document.markers.hardpoints, &markers);
  AddMarkers("emitter", document.markers.emitters, &markers);
  AddMarkers("sprite", document.markers.sprites, &markers);
  return Json{{"meshes", std::move(meshes)},
              {"materials", std::move(materials)},
              {"markers", std::move(markers)},
              {"triangles", triangles},
              {"vertices", document.scene.VertexCount()}};
}

MarkerLists MarkersOfJson(const Json& list) {
  MarkerLists lists;
  for (const Json& item : list) {
    const std::string kind = item.value("kind", "");
    Marker marker;
    marker.name = item.value("name", "");
    if (item.contains("emitter") && item["emitter"].is_string()) marker.emitterName = item["emitter"];
    const Json& rows = item.contains("rows") ? item["rows"] : Json();
    for (size_t r = 0; r < 4 && r < rows.size(); ++r) {
      for (size_t c = 0; c < 3 && c < rows[r].size(); ++c) {
        marker.rows[r][c] = FloatOfJson(rows[r][c]);
      }
    }
    MarkerKind markerKind = kind == "emitter"  ? MarkerKind::kEmitter
                            : kind == "sprite" ? MarkerKind::kSprite
                                               : MarkerKind::kHardpoint;
    MarkersOf(lists, markerKind).push_back(std::move(marker));
  }
  return lists;
}

std::vector<std::string> MissingTextures(const Json& outline) {
  std::vector<std::string> missing;
  for (const Json& material : outline["materials"]) {
    if (!material.value("missing", false)) continue;
    std::string file = material["texture"].get<std::string>();
    if (std::find(missing.begin(), missing.end(), file) == missing.end()) missing.push_back(file);
  }
  return missing;
}

Json ImportDialogFigures(const Json& ui) {
  for (const Json& window : ui) {
    if (window.value("kind", "") != "dialog" || !window.contains("snapshots") || window["snapshots"].empty()) continue;
    const Json& controls = window["snapshots"][0]["controls"];
    Json figures{{"version", ""}, {"materials", 0},  {"nodes", 0},
                 {"meshes", 0},   {"sprites", 0},    {"lods", 0},
                 {"emitters", 0}, {"hardpoints", 0}, {"meshNames", Json::array()}};
    const std::pair<int, const char*> counts[] = {{kDialogMaterials, "materials"},  {kDialogNodes, "nodes"},
                                                  {kDialogMeshes, "meshes"},        {kDialogLods, "lods"},
                                                  {kDialogSprites, "sprites"},      {kDialogEmitters, "emitters"},
                                                  {kDialogHardpoints, "hardpoints"}};
    for (const Json& control : controls) {
      int id = control.value("id", 0);
      if (id == kDialogVersion) figures["version"] = ControlText(control);
      for (const auto& count : counts) {
        if (id == count.first) figures[count.second] = Figure(ControlText(control));
      }
      if (id != kDialogMeshList || !control.contains("items")) continue;
      for (const Json& item : control["items"]) figures["meshNames"].push_back(item.value("text", ""));
    }
    return figures;
  }
  return Json();
}

}  // namespace host
