#include "formats/obj_scene_reader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

#include <tiny_obj_loader.h>

#include "interface/host_text.h"

namespace host {

namespace {

namespace fs = std::filesystem;

// MTL files are found beside the OBJ file; paths are opened as Unicode on every system.
class MaterialsBeside : public tinyobj::MaterialReader {
 public:
  explicit MaterialsBeside(fs::path directory) : directory_(std::move(directory)) {}
  bool operator()(const std::string& name, std::vector<tinyobj::material_t>* materials,
                  std::map<std::string, int>* names, std::string* warning, std::string* error) override {
    std::ifstream in(directory_ / fs::u8path(name), std::ios::binary);
    if (!in) {
      *warning += "material file not found: " + name + "\n";
      return false;
    }
    tinyobj::LoadMtl(names, materials, &in, warning, error);
    return true;
  }

 private:
  fs::path directory_;
};

struct ObjData {
  tinyobj::attrib_t attrib;
  std::vector<tinyobj::shape_t> shapes;
  std::vector<tinyobj::material_t> materials;
};

bool LoadObj(const fs::path& path, ObjData* data, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot open " + path.u8string();
    return false;
  }
  MaterialsBeside reader(path.parent_path());
  std::string warning;
  std::string problem;
  if (!tinyobj::LoadObj(&data->attrib, &data->shapes, &data->materials, &warning, &problem, &in, &reader, false,
                        false)) {
    *error = "cannot read " + path.u8string() + ": " + problem;
    return false;
  }
  return true;
}

// Host material index of an OBJ face: 0 for the default material.
int HostMaterialOf(int materialId, size_t materialCount) {
  return materialId >= 0 && static_cast<size_t>(materialId) < materialCount ? materialId + 1 : 0;
}

void AddMaterials(const ObjData& data, const fs::path& directory, HostScene* scene) {
  std::vector<int32_t> uses(data.materials.size() + 1, 0);
  for (const auto& shape : data.shapes) {
    for (int id : shape.mesh.material_ids) ++uses[static_cast<size_t>(HostMaterialOf(id, data.materials.size()))];
  }
  scene->AddMaterial(u"default", {0.8f, 0.8f, 0.8f, 1}, {0.2f, 0.2f, 0.2f, 1}, {0, 0, 0, 1}, 0.0f, uses[0]);
  for (size_t i = 0; i < data.materials.size(); ++i) {
    const tinyobj::material_t& m = data.materials[i];
    int index = scene->AddMaterial(Utf8ToUtf16(m.name), {m.diffuse[0], m.diffuse[1], m.diffuse[2], m.dissolve},
                                   {m.ambient[0], m.ambient[1], m.ambient[2], 1},
                                   {m.specular[0], m.specular[1], m.specular[2], 1}, m.shininess, uses[i + 1]);
    if (!m.diffuse_texname.empty()) {
      scene->SetMaterialMap(index, 0, 1, (directory / fs::u8path(m.diffuse_texname)).lexically_normal().u16string());
    }
  }
}

bool AddFaces(const ObjData& data, HostScene* scene, std::string* error) {
  const int vertices = scene->VertexCount();
  const int texCoords = scene->TexCoordCount();
  int fallbackTexCoord = -1;
  for (size_t s = 0; s < data.shapes.size(); ++s) {
    const tinyobj::mesh_t& mesh = data.shapes[s].mesh;
    if (mesh.num_face_vertices.empty()) continue;
    int part = scene->AddPart(Utf8ToUtf16(data.shapes[s].name));
    int set = scene->AddPolygonSet();
    size_t next = 0;
    for (size_t f = 0; f < mesh.num_face_vertices.size(); ++f) {
      FaceSpec face;
      face.partIndex = part;
      face.materialIndex = HostMaterialOf(mesh.material_ids[f], data.materials.size());
      for (unsigned c = 0; c < mesh.num_face_vertices[f]; ++c, ++next) {
        const tinyobj::index_t& index = mesh.indices[next];
        if (index.vertex_index < 0 || index.vertex_index >= vertices || index.texcoord_index >= texCoords) {
          *error = "a face of " + data.shapes[s].name + " refers to a vertex or texture coordinate it does not have";
          return false;
        }
        int texCoord = index.texcoord_index;
        if (texCoord < 0) {
          if (fallbackTexCoord < 0) fallbackTexCoord = scene->AddTexCoord(0, 0);
          texCoord = fallbackTexCoord;
        }
        face.vertices.push_back(index.vertex_index);
        face.texCoords.push_back(texCoord);
      }
      // The corners back in the host's order (see scene_format.h).
      std::reverse(face.vertices.begin() + 1, face.vertices.end());
      std::reverse(face.texCoords.begin() + 1, face.texCoords.end());
      scene->AddFace(set, face);
    }
  }
  return true;
}

}  // namespace

bool ReadObjScene(const std::u16string& path, HostScene* scene, std::string* error) {
  const fs::path file(path);
  ObjData data;
  if (!LoadObj(file, &data, error)) return false;
  AddMaterials(data, file.parent_path(), scene);
  const auto& v = data.attrib.vertices;
  for (size_t i = 0; i + 2 < v.size(); i += 3) scene->AddVertex({v[i], v[i + 1], v[i + 2]});
  const auto& t = data.attrib.texcoords;
  for (size_t i = 0; i + 1 < t.size(); i += 2) scene->AddTexCoord(t[i], t[i + 1]);
  return AddFaces(data, scene, error);
}

}  // namespace host
