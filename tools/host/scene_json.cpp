#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "host_layout.h"
#include "host_text.h"
#include "scene_files.h"

namespace host {

namespace {

constexpr int kMapSlots = 4;

std::string Quote16(const std::u16string& text) { return JsonQuote(Utf16ToUtf8(text)); }
std::string QuoteAnsi(const std::string& text) { return JsonQuote(Utf16ToUtf8(FromAnsi(text))); }

std::string Floats(const uint8_t* base, size_t offset, int count) {
  std::string json = "[";
  for (int i = 0; i < count; ++i) {
    json += (i > 0 ? "," : "") + JsonFloat(layout::Get<float>(base, offset + 4 * static_cast<size_t>(i)));
  }
  return json + "]";
}

std::string MapJson(const uint8_t* map, int index) {
  return "{\"index\":" + std::to_string(index) +
         ",\"kind\":" + std::to_string(layout::Get<int32_t>(map, layout::kMapKind)) +
         ",\"flags\":" + std::to_string(layout::Get<uint32_t>(map, layout::kMapFlags)) +
         ",\"path\":" + Quote16(layout::WideField(map, layout::kMapPath)) +
         ",\"narrowPath\":" + QuoteAnsi(layout::NarrowField(map, layout::kMapPath)) + "}";
}

std::string MaterialJson(HostScene& scene, int index) {
  const uint8_t* m = scene.Material(index);
  std::string json = "{\"name\":" + Quote16(layout::WideField(m, layout::kMaterialName)) +
                     ",\"narrowName\":" + QuoteAnsi(layout::NarrowField(m, layout::kMaterialName)) +
                     ",\"diffuse\":" + Floats(m, layout::kMaterialDiffuse, 4) +
                     ",\"ambient\":" + Floats(m, layout::kMaterialAmbient, 4) +
                     ",\"specular\":" + Floats(m, layout::kMaterialSpecular, 4) +
                     ",\"specularPower\":" + JsonFloat(layout::Get<float>(m, layout::kMaterialSpecularPower)) +
                     ",\"maps\":[";
  bool first = true;
  for (int map = 0; map < kMapSlots; ++map) {
    const uint8_t* bytes = scene.MaterialMap(index, map);
    if (bytes == nullptr) continue;
    json += (first ? "" : ",") + MapJson(bytes, map);
    first = false;
  }
  return json + "]}";
}

std::string FaceJson(const FaceView& face) {
  std::string json = "{\"material\":" + std::to_string(face.materialIndex) +
                     ",\"part\":" + std::to_string(face.partIndex) + ",\"corners\":[";
  for (size_t k = 0; k < face.vertices.size(); ++k) {
    json += (k > 0 ? "," : "") + std::string("{\"vertex\":") + std::to_string(face.vertices[k]);
    if (k < face.texCoords.size()) {
      json += ",\"u\":" + JsonFloat(face.texCoords[k].first) + ",\"v\":" + JsonFloat(face.texCoords[k].second);
    }
    json += "}";
  }
  return json + "]}";
}

}  // namespace

FaceView ReadFace(HostScene& scene, int polygonSet, int face) {
  const uint8_t* record = scene.Face(polygonSet, face);
  FaceView view;
  view.materialIndex = layout::Get<int32_t>(record, layout::kFaceMaterialIndex);
  view.partIndex = layout::Get<int32_t>(record, layout::kFacePartIndex);
  int32_t corners = layout::Get<int32_t>(record, layout::kFaceCornerCount);
  const int32_t* indices = layout::Get<const int32_t*>(record, layout::kFaceVertexIndices);
  const uint8_t* tex = layout::Get<const uint8_t*>(record, layout::kFaceTexCoords);
  const uint8_t* texCorners = tex != nullptr ? layout::Get<const uint8_t*>(tex, layout::kFaceTexCorners) : nullptr;
  for (int32_t k = 0; k < corners && indices != nullptr; ++k) {
    view.vertices.push_back(indices[k]);
    if (texCorners == nullptr) continue;
    const uint8_t* corner = texCorners + static_cast<size_t>(k) * layout::kTexCoordBytes;
    view.texCoords.emplace_back(layout::Get<float>(corner, layout::kTexCoordU),
                                layout::Get<float>(corner, layout::kTexCoordV));
  }
  return view;
}

std::string JsonFloat(float value) {
  if (std::isnan(value)) return "\"nan\"";
  if (std::isinf(value)) return value > 0 ? "\"inf\"" : "\"-inf\"";
  char text[32];
  for (int digits = 6; digits <= 9; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) break;
  }
  return text;
}

std::string SceneJson(HostScene& scene) {
  std::string json = "{\"materials\":[";
  for (int i = 0; i < scene.MaterialCount(); ++i) json += (i > 0 ? "," : "") + MaterialJson(scene, i);
  json += "],\"vertices\":[";
  for (int i = 0; i < scene.VertexCount(); ++i) {
    Vec3 v = scene.Vertex(i);
    json += (i > 0 ? ",[" : "[") + JsonFloat(v.x) + "," + JsonFloat(v.y) + "," + JsonFloat(v.z) + "]";
  }
  json += "],\"parts\":[";
  for (int i = 0; i < scene.PartCount(); ++i) {
    json += (i > 0 ? "," : "") + std::string("{\"name\":") + Quote16(scene.PartName(i)) +
            ",\"narrowName\":" + QuoteAnsi(scene.PartNarrowName(i)) + "}";
  }
  json += "],\"polygonSets\":[";
  for (int s = 0; s < scene.PolygonSetCount(); ++s) {
    json += (s > 0 ? "," : "") + std::string("{\"faces\":[");
    for (int f = 0; f < scene.FaceCount(s); ++f) json += (f > 0 ? "," : "") + FaceJson(ReadFace(scene, s, f));
    json += "]}";
  }
  return json + "],\"finished\":" + (scene.Finished() ? "true" : "false") + "}";
}

}  // namespace host
