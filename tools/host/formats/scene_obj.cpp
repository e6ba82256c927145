#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "formats/scene_files.h"
#include "interface/host_layout.h"
#include "interface/host_text.h"
#include "interface/temp_folder.h"

namespace host {

namespace {

const char kNoMaterial[] = "kveltar_no_material";
constexpr int kMainTextureMap = 0;
constexpr int kSecondTextureMap = 2;

// OBJ and MTL names are single words: blanks become underscores.
std::string Word(const std::string& text) {
  std::string word = text.empty() ? "unnamed" : text;
  for (char& c : word) {
    if (static_cast<unsigned char>(c) <= ' ') c = '_';
  }
  return word;
}

std::string Number(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  return text;
}

std::string Colour(const uint8_t* material, size_t offset) {
  return Number(layout::Get<float>(material, offset)) + " " + Number(layout::Get<float>(material, offset + 4)) + " " +
         Number(layout::Get<float>(material, offset + 8));
}

// One word per material, unique even where two names differ only in blanks.
std::vector<std::string> MaterialWords(HostScene& scene) {
  std::vector<std::string> words;
  std::set<std::string> used = {kNoMaterial};
  for (int i = 0; i < scene.MaterialCount(); ++i) {
    std::string word = Word(Utf16ToUtf8(layout::WideField(scene.Material(i), layout::kMaterialName)));
    if (used.count(word) != 0) word += "_" + std::to_string(i);
    used.insert(word);
    words.push_back(word);
  }
  return words;
}

std::string MapPath(HostScene& scene, int material, int map, bool fileNames) {
  const uint8_t* bytes = scene.MaterialMap(material, map);
  if (bytes == nullptr || (layout::Get<uint32_t>(bytes, layout::kMapFlags) & 1u) == 0) return std::string();
  std::u16string path = layout::WideField(bytes, layout::kMapPath);
  return Utf16ToUtf8(fileNames ? std::filesystem::path(path).filename().u16string() : path);
}

void WriteMaterials(HostScene& scene, const std::vector<std::string>& words, bool fileNames, std::ostream& mtl) {
  mtl << "# Materials of the scene built by the kveltar plug-in\n";
  for (int i = 0; i < scene.MaterialCount(); ++i) {
    const uint8_t* m = scene.Material(i);
    mtl << "\nnewmtl " << words[static_cast<size_t>(i)] << "\n";
    mtl << "Ka " << Colour(m, layout::kMaterialAmbient) << "\n";
    mtl << "Kd " << Colour(m, layout::kMaterialDiffuse) << "\n";
    mtl << "Ks " << Colour(m, layout::kMaterialSpecular) << "\n";
    mtl << "Ns " << Number(layout::Get<float>(m, layout::kMaterialSpecularPower)) << "\n";
    mtl << "d " << Number(layout::Get<float>(m, layout::kMaterialDiffuse + 12)) << "\n";
    std::string main = MapPath(scene, i, kMainTextureMap, fileNames);
    if (!main.empty()) mtl << "map_Kd " << main << "\n";
    // OBJ has no slot for the second texture; it is kept as a note.
    std::string second = MapPath(scene, i, kSecondTextureMap, fileNames);
    if (!second.empty()) mtl << "# second texture: " << second << "\n";
  }
  mtl << "\nnewmtl " << kNoMaterial << "\nKd 0.5 0.5 0.5\n";
}

// Faces in polygon set order; a new group line where the part changes, a new
// material line where the material does. Texture coordinates are written one per
// corner, as the scene holds them.
void WriteFaces(HostScene& scene, const std::vector<std::string>& materials, std::ostream& obj) {
  size_t texCoords = 0;
  int part = -2;
  int material = -2;
  for (int s = 0; s < scene.PolygonSetCount(); ++s) {
    for (int f = 0; f < scene.FaceCount(s); ++f) {
      FaceView face = ReadFace(scene, s, f);
      if (face.vertices.size() < 3) continue;
      bool textured = face.texCoords.size() == face.vertices.size();
      for (size_t k = 0; textured && k < face.texCoords.size(); ++k) {
        obj << "vt " << Number(face.texCoords[k].first) << " " << Number(face.texCoords[k].second) << "\n";
      }
      if (face.partIndex != part) {
        part = face.partIndex;
        bool known = part >= 0 && part < scene.PartCount();
        obj << "g " << (known ? Word(Utf16ToUtf8(scene.PartName(part))) : "part_" + std::to_string(part)) << "\n";
      }
      if (face.materialIndex != material) {
        material = face.materialIndex;
        bool known = material >= 0 && static_cast<size_t>(material) < materials.size();
        obj << "usemtl " << (known ? materials[static_cast<size_t>(material)] : kNoMaterial) << "\n";
      }
      // The corners in reverse order, the first one first (see scene_format.h); the
      // texture coordinates were written in the host's order.
      obj << "f";
      const size_t first = texCoords + 1;
      for (size_t k = 0; k < face.vertices.size(); ++k) {
        size_t corner = k == 0 ? 0 : face.vertices.size() - k;
        obj << " " << face.vertices[corner] + 1;
        if (textured) obj << "/" << first + corner;
      }
      if (textured) texCoords += face.texCoords.size();
      obj << "\n";
    }
  }
}

}  // namespace

std::u16string MaterialLibraryPath(const std::u16string& objPath) {
  return std::filesystem::path(objPath).replace_extension(".mtl").u16string();
}

bool WriteSceneObj(HostScene& scene, const std::u16string& objPath, std::string* error, bool textureFileNames) {
  std::filesystem::path objFile(objPath);
  std::filesystem::path mtlFile(MaterialLibraryPath(objPath));
  std::ostringstream obj, mtl;
  std::vector<std::string> materials = MaterialWords(scene);
  WriteMaterials(scene, materials, textureFileNames, mtl);
  obj << "# Scene built by the kveltar plug-in, written by kveltar-host\n";
  obj << "mtllib " << Utf16ToUtf8(mtlFile.filename().u16string()) << "\n";
  for (int i = 0; i < scene.VertexCount(); ++i) {
    Vec3 v = scene.Vertex(i);
    obj << "v " << Number(v.x) << " " << Number(v.y) << " " << Number(v.z) << "\n";
  }
  WriteFaces(scene, materials, obj);
  return WriteWholeFile(mtlFile, mtl.str(), error) && WriteWholeFile(objFile, obj.str(), error);
}

}  // namespace host
