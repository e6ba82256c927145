#include "formats/obj_scene_reader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <sstream>
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

// The number of digits from `at` on.
size_t DigitsAt(const std::string& text, size_t at) {
  size_t end = at;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  return end - at;
}

// The loader reads the indices of faces, lines and points with atoi, which keeps the
// low bits of a number past int on some systems and the largest int on others: such
// an index is refused here, on the text it would read. True when there is none.
bool IndicesFitInt(const std::string& text, std::string* problem) {
  const std::string most = std::to_string(std::numeric_limits<int>::max());
  size_t line = 1;
  for (size_t start = 0; start < text.size(); ++line) {
    const size_t end = std::min(text.find('\n', start), text.size());
    const size_t word = std::min(text.find_first_not_of(" \t", start), end);
    const bool indexed = word + 1 < end && std::string("flp").find(text[word]) != std::string::npos &&
                         (text[word + 1] == ' ' || text[word + 1] == '\t');
    for (size_t at = word + 1; indexed && at < end;) {
      const size_t digits = DigitsAt(text, at);
      std::string number = text.substr(at, digits);
      number.erase(0, std::min(number.find_first_not_of('0'), number.size() - 1));
      if (number.size() > most.size() || (number.size() == most.size() && number > most)) {
        *problem = "line " + std::to_string(line) + ": index " + number + " is more than the " + most +
                   " the reader takes here";
        return false;
      }
      at += digits > 0 ? digits : 1;
    }
    start = end + 1;
  }
  return true;
}

bool LoadObj(const fs::path& path, ObjData* data, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    *error = "cannot open " + path.u8string();
    return false;
  }
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::istringstream in(text);
  MaterialsBeside reader(path.parent_path());
  std::string warning;
  std::string problem;
  if (!IndicesFitInt(text, &problem) || !tinyobj::LoadObj(&data->attrib, &data->shapes, &data->materials, &warning,
                                                          &problem, &in, &reader, false, false)) {
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
