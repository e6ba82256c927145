// A scene the plug-in built, taken over by the host's own editing.
#include "formats/scene_files.h"
#include "interface/host_layout.h"

namespace host {

namespace {

Colour ColourAt(const uint8_t* material, size_t offset) {
  return Colour{layout::Get<float>(material, offset), layout::Get<float>(material, offset + 4),
                layout::Get<float>(material, offset + 8), layout::Get<float>(material, offset + 12)};
}

}  // namespace

void CopySceneAsEdited(HostScene& from, HostScene* to) {
  for (int m = 0; m < from.MaterialCount(); ++m) {
    const uint8_t* material = from.Material(m);
    to->AddMaterial(layout::WideField(material, layout::kMaterialName), ColourAt(material, layout::kMaterialDiffuse),
                    ColourAt(material, layout::kMaterialAmbient), ColourAt(material, layout::kMaterialSpecular),
                    layout::Get<float>(material, layout::kMaterialSpecularPower),
                    layout::Get<int32_t>(material, layout::kMaterialUseCount));
    for (int mapIndex = 0; mapIndex < 4; ++mapIndex) {
      if (const uint8_t* map = from.MaterialMap(m, mapIndex)) {
        to->SetMaterialMap(m, mapIndex, layout::Get<int32_t>(map, layout::kMapKind),
                           layout::WideField(map, layout::kMapPath));
      }
    }
  }
  for (int v = 0; v < from.VertexCount(); ++v) to->AddVertex(from.Vertex(v));
  for (int p = 0; p < from.PartCount(); ++p) to->AddPart(from.PartName(p));
  for (int s = 0; s < from.PolygonSetCount(); ++s) {
    const int set = to->AddPolygonSet();
    for (int f = 0; f < from.FaceCount(s); ++f) {
      const FaceView view = ReadFace(from, s, f);
      FaceSpec face;
      face.materialIndex = view.materialIndex;
      face.partIndex = view.partIndex;
      face.vertices = view.vertices;
      for (size_t c = 0; c < view.vertices.size(); ++c) {
        const auto uv = c < view.texCoords.size() ? view.texCoords[c] : std::pair<float, float>(0, 0);
        face.texCoords.push_back(to->AddTexCoord(uv.first, uv.second));
      }
      to->AddFace(set, face);
    }
  }
}

}  // namespace host
