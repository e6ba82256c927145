#include "formats/scene_files.h"
#include "interface/host_layout.h"
#include "interface/host_text.h"

namespace host {

namespace {

constexpr int kMapSlots = 4;

std::string Text16(const std::u16string& text) { return Utf16ToUtf8(text); }
std::string TextAnsi(const std::string& text) { return Utf16ToUtf8(FromAnsi(text)); }

Json Floats(const uint8_t* base, size_t offset, int count) {
  Json values = Json::array();
  for (int i = 0; i < count; ++i)
    values.push_back(JsonFloat(layout::Get<float>(base, offset + 4 * static_cast<size_t>(i))));
  return values;
}

Json MapJson(const uint8_t* map, int index) {
  return Json{{"index", index},
              {"kind", layout::Get<int32_t>(map, layout::kMapKind)},
              {"flags", layout::Get<uint32_t>(map, layout::kMapFlags)},
              {"path", Text16(layout::WideField(map, layout::kMapPath))},
              {"narrowPath", TextAnsi(layout::NarrowField(map, layout::kMapPath))}};
}

Json MaterialJson(HostScene& scene, int index) {
  const uint8_t* m = scene.Material(index);
  Json json{{"name", Text16(layout::WideField(m, layout::kMaterialName))},
            {"narrowName", TextAnsi(layout::NarrowField(m, layout::kMaterialName))},
            {"diffuse", Floats(m, layout::kMaterialDiffuse, 4)},
            {"ambient", Floats(m, layout::kMaterialAmbient, 4)},
            {"specular", Floats(m, layout::kMaterialSpecular, 4)},
            {"specularPower", JsonFloat(layout::Get<float>(m, layout::kMaterialSpecularPower))},
            {"maps", Json::array()}};
  for (int map = 0; map < kMapSlots; ++map) {
    if (const uint8_t* bytes = scene.MaterialMap(index, map)) json["maps"].push_back(MapJson(bytes, map));
  }
  return json;
}

Json FaceJson(const FaceView& face) {
  Json json{{"material", face.materialIndex}, {"part", face.partIndex}, {"corners", Json::array()}};
  for (size_t k = 0; k < face.vertices.size(); ++k) {
    Json corner{{"vertex", face.vertices[k]}};
    if (k < face.texCoords.size()) {
      corner["u"] = JsonFloat(face.texCoords[k].first);
      corner["v"] = JsonFloat(face.texCoords[k].second);
    }
    json["corners"].push_back(std::move(corner));
  }
  return json;
}

}  // namespace

FaceView ReadFace(HostScene& scene, int polygonSet, int face) {
  const uint8_t* record = scene.Face(polygonSet, face);
  FaceView view;
  view.materialIndex = layout::Get<int32_t>(record, layout::kFaceMaterialIndex);
  view.partIndex = layout::Get<int32_t>(record, layout::kFacePartIndex);
  int32_t corners = layout::Get<int32_t>(record, layout::kFaceCornerCount);
  const int32_t* indices = layout::GetPointer<const int32_t*>(record, layout::kFaceVertexIndices);
  const uint8_t* tex = layout::GetPointer<const uint8_t*>(record, layout::kFaceTexCoords);
  const uint8_t* texCorners =
      tex != nullptr ? layout::GetPointer<const uint8_t*>(tex, layout::kFaceTexCorners) : nullptr;
  if (indices != nullptr && corners > 0) {
    view.vertices.reserve(static_cast<size_t>(corners));
    if (texCorners != nullptr) view.texCoords.reserve(static_cast<size_t>(corners));
  }
  for (int32_t k = 0; k < corners && indices != nullptr; ++k) {
    view.vertices.push_back(indices[k]);
    if (texCorners == nullptr) continue;
    const uint8_t* corner = texCorners + static_cast<size_t>(k) * layout::kTexCoordBytes;
    view.texCoords.emplace_back(layout::Get<float>(corner, layout::kTexCoordU),
                                layout::Get<float>(corner, layout::kTexCoordV));
  }
  return view;
}

Json SceneJson(HostScene& scene) {
  Json json{{"materials", Json::array()},
            {"vertices", Json::array()},
            {"parts", Json::array()},
            {"polygonSets", Json::array()},
            {"finished", scene.Finished()}};
  for (int i = 0; i < scene.MaterialCount(); ++i) json["materials"].push_back(MaterialJson(scene, i));
  for (int i = 0; i < scene.VertexCount(); ++i) {
    Vec3 v = scene.Vertex(i);
    json["vertices"].push_back(Json{JsonFloat(v.x), JsonFloat(v.y), JsonFloat(v.z)});
  }
  for (int i = 0; i < scene.PartCount(); ++i) {
    json["parts"].push_back(
        Json{{"name", Text16(scene.PartName(i))}, {"narrowName", TextAnsi(scene.PartNarrowName(i))}});
  }
  for (int s = 0; s < scene.PolygonSetCount(); ++s) {
    Json faces = Json::array();
    for (int f = 0; f < scene.FaceCount(s); ++f) faces.push_back(FaceJson(ReadFace(scene, s, f)));
    json["polygonSets"].push_back(Json{{"faces", std::move(faces)}});
  }
  return json;
}

}  // namespace host
