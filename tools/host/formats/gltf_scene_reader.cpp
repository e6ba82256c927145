#include "formats/gltf_scene_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <new>
#include <utility>
#include <vector>

#include "formats/gltf_accessors.h"
#include "formats/marker_transform.h"
#include "formats/side_text_files.h"
#include "interface/host_text.h"

namespace host {

namespace {

namespace fs = std::filesystem;
using tinygltf::Model;
using tinygltf::Value;

// A 4 x 4 matrix as glTF stores it, by columns: row r of column c at [c * 4 + r].
using Mat4 = std::array<double, 16>;
constexpr Mat4 kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// A marker kind as its index in kMarkerKinds, or none.
constexpr int kNoMarker = -1;
constexpr int kEmitter = static_cast<int>(MarkerKind::kEmitter);

bool Fail(std::string* error, const std::string& reason) {
  *error = reason;
  return false;
}

std::string Lower(std::string text) {
  for (char& c : text) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

std::string Numbered(const char* what, size_t index) { return what + std::string("_") + std::to_string(index); }

// ---- Transforms

Mat4 Multiply(const Mat4& a, const Mat4& b) {
  // Identities are passed over, so that every value of the other stays as it is.
  if (a == kIdentity) return b;
  if (b == kIdentity) return a;
  Mat4 m{};
  for (size_t c = 0; c < 4; ++c) {
    for (size_t r = 0; r < 4; ++r) {
      double sum = 0;
      for (size_t k = 0; k < 4; ++k) sum += a[k * 4 + r] * b[c * 4 + k];
      m[c * 4 + r] = sum;
    }
  }
  return m;
}

double Determinant3(const Mat4& m) {
  return m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) + m[8] * (m[1] * m[6] - m[5] * m[2]);
}

bool LocalMatrix(const tinygltf::Node& node, size_t index, Mat4* m, std::string* error) {
  if (!node.matrix.empty()) {
    if (node.matrix.size() != 16)
      return Fail(error, "node " + std::to_string(index) + " has a matrix of no 16 numbers");
    std::copy(node.matrix.begin(), node.matrix.end(), m->begin());
    return true;
  }
  double t[3] = {0, 0, 0}, q[4] = {0, 0, 0, 1}, s[3] = {1, 1, 1};
  if ((!node.translation.empty() && node.translation.size() != 3) ||
      (!node.rotation.empty() && node.rotation.size() != 4) || (!node.scale.empty() && node.scale.size() != 3)) {
    return Fail(error, "node " + std::to_string(index) + " has a translation, rotation or scale of the wrong length");
  }
  std::copy(node.translation.begin(), node.translation.end(), t);
  std::copy(node.rotation.begin(), node.rotation.end(), q);
  std::copy(node.scale.begin(), node.scale.end(), s);
  const double n = q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3];
  if (n > 0 && n != 1) {
    for (double& v : q) v /= std::sqrt(n);
  }
  ComposeMatrix(t, q, s, m->data());
  return true;
}

bool NearlySame(const Mat4& a, const Mat4& b) {
  for (size_t i = 0; i < 15; ++i) {
    if (i % 4 != 3 && !(std::fabs(a[i] - b[i]) <= 1e-5 * std::max(1.0, std::fabs(a[i])))) return false;
  }
  return true;
}

// ---- The node tree

struct PlacedNode {
  size_t index;
  Mat4 world;
  int group;  // the marker kind of the nearest group above, or kNoMarker
};

int GroupKindOf(const std::string& name) {
  const std::string lower = Lower(name);
  for (MarkerKind kind : kMarkerKinds) {
    if (lower == MarkerGroupName(kind)) return static_cast<int>(kind);
  }
  return kNoMarker;
}

struct Walk {
  const Model& model;
  std::vector<char> reached;
  std::vector<PlacedNode>* placed;
  std::string* error;
};

bool Visit(Walk& walk, int index, const Mat4& parent, int group, size_t depth) {
  const std::vector<tinygltf::Node>& nodes = walk.model.nodes;
  if (index < 0 || static_cast<size_t>(index) >= nodes.size()) {
    return Fail(walk.error, "node " + std::to_string(index) + " does not exist");
  }
  const size_t i = static_cast<size_t>(index);
  if (depth > kGltfMaxDepth) return Fail(walk.error, "nodes nest deeper than " + std::to_string(kGltfMaxDepth));
  if (walk.reached[i])
    return Fail(walk.error, "node " + std::to_string(i) + " is reached twice (a cycle or two parents)");
  walk.reached[i] = 1;
  Mat4 local;
  if (!LocalMatrix(nodes[i], i, &local, walk.error)) return false;
  const Mat4 world = Multiply(parent, local);
  walk.placed->push_back(PlacedNode{i, world, group});
  const int own = GroupKindOf(nodes[i].name);
  const int inner = own != kNoMarker ? own : group;
  for (int child : nodes[i].children) {
    if (!Visit(walk, child, world, inner, depth + 1)) return false;
  }
  return true;
}

// The default scene's nodes, else scene 0's, else every node that is no child.
bool RootNodes(const Model& model, std::vector<int>* roots, std::string* error) {
  const int scene = model.defaultScene == -1 && !model.scenes.empty() ? 0 : model.defaultScene;
  if (scene != -1 && (scene < 0 || static_cast<size_t>(scene) >= model.scenes.size())) {
    return Fail(error, "scene " + std::to_string(scene) + " does not exist");
  }
  if (scene != -1) {
    *roots = model.scenes[static_cast<size_t>(scene)].nodes;
    return true;
  }
  std::vector<char> isChild(model.nodes.size(), 0);
  for (size_t n = 0; n < model.nodes.size(); ++n) {
    for (int child : model.nodes[n].children) {
      if (child < 0 || static_cast<size_t>(child) >= model.nodes.size()) {
        return Fail(error,
                    "node " + std::to_string(n) + " has child " + std::to_string(child) + ", which does not exist");
      }
      isChild[static_cast<size_t>(child)] = 1;
    }
  }
  for (size_t n = 0; n < model.nodes.size(); ++n) {
    if (!isChild[n]) roots->push_back(static_cast<int>(n));
  }
  return true;
}

bool WalkScene(const Model& model, std::vector<PlacedNode>* placed, std::string* error) {
  std::vector<int> roots;
  if (!RootNodes(model, &roots, error)) return false;
  Walk walk{model, std::vector<char>(model.nodes.size(), 0), placed, error};
  for (int root : roots) {
    if (!Visit(walk, root, kIdentity, kNoMarker, 1)) return false;
  }
  return true;
}

// ---- Geometry

// One primitive of a mesh node as the host will hold it.
struct Piece {
  size_t part;
  int material;  // glTF material index, or -1
  std::vector<Vec3> positions;
  std::vector<TexCoord> texCoords;                 // empty: no TEXCOORD_0
  std::vector<std::array<uint32_t, 3>> triangles;  // corners in the host's order
};

struct Geometry {
  std::vector<std::string> parts;  // one per mesh node, in walk order
  std::vector<Piece> pieces;
  size_t vertices = 0;
  size_t faces = 0;
};

// The triangles of a triangle list, strip or fan, with their corners in the host's
// order: glTF's a, b, c as a, c, b, or as they stand under a mirroring transform.
void Triangulate(int mode, const std::vector<uint32_t>& v, bool mirrored, Piece* piece) {
  const size_t step = mode == TINYGLTF_MODE_TRIANGLES ? 3 : 1;
  for (size_t i = 0; i + 2 < v.size(); i += step) {
    uint32_t a = v[i], b = v[i + 1], c = v[i + 2];
    if (mode == TINYGLTF_MODE_TRIANGLE_STRIP && i % 2 == 1) std::swap(a, b);
    if (mode == TINYGLTF_MODE_TRIANGLE_FAN) {
      a = v[i + 1];
      b = v[i + 2];
      c = v[0];
    }
    // A strip triangle that repeats a vertex is a restart, not a face.
    if (mode == TINYGLTF_MODE_TRIANGLE_STRIP && (a == b || b == c || a == c)) continue;
    piece->triangles.push_back(mirrored ? std::array<uint32_t, 3>{a, b, c} : std::array<uint32_t, 3>{a, c, b});
  }
}

void ToWorld(const Mat4& m, std::vector<Vec3>* points) {
  if (m == kIdentity) return;  // every bit stays
  for (Vec3& p : *points) {
    const double x = p.x, y = p.y, z = p.z;
    p.x = static_cast<float>(m[0] * x + m[4] * y + m[8] * z + m[12]);
    p.y = static_cast<float>(m[1] * x + m[5] * y + m[9] * z + m[13]);
    p.z = static_cast<float>(m[2] * x + m[6] * y + m[10] * z + m[14]);
  }
}

bool ReadCorners(const Model& model, const tinygltf::Primitive& primitive, size_t vertices, size_t maxIndices,
                 std::vector<uint32_t>* indices, std::string* error) {
  if (primitive.indices == -1) {
    indices->resize(vertices);
    for (size_t i = 0; i < vertices; ++i) (*indices)[i] = static_cast<uint32_t>(i);
    return true;
  }
  PackedAccessor packed;
  if (!PackAccessor(model, primitive.indices, maxIndices, &packed, error) || !IndicesOf(packed, indices, error)) {
    return false;
  }
  for (uint32_t index : *indices) {
    if (index >= vertices) {
      return Fail(error, "index " + std::to_string(index) + " is past its " + std::to_string(vertices) + " vertices");
    }
  }
  return true;
}

bool ReadPrimitive(const Model& model, const tinygltf::Primitive& primitive, const Mat4& world, Geometry* geometry,
                   Piece* piece, std::string* error) {
  const auto position = primitive.attributes.find("POSITION");
  if (position == primitive.attributes.end()) return Fail(error, "a primitive has no POSITION");
  PackedAccessor packed;
  if (!PackAccessor(model, position->second, kGltfMaxVertices - geometry->vertices, &packed, error) ||
      !PositionsOf(packed, &piece->positions, error)) {
    return false;
  }
  const size_t vertices = piece->positions.size();
  const auto texCoords = primitive.attributes.find("TEXCOORD_0");
  if (texCoords != primitive.attributes.end()) {
    if (!PackAccessor(model, texCoords->second, kGltfMaxVertices, &packed, error) ||
        !TexCoordsOf(packed, &piece->texCoords, error)) {
      return false;
    }
    if (piece->texCoords.size() != vertices) return Fail(error, "TEXCOORD_0 and POSITION differ in count");
  }
  std::vector<uint32_t> indices;
  if (!ReadCorners(model, primitive, vertices, 3 * kGltfMaxFaces + 2, &indices, error)) return false;
  Triangulate(primitive.mode, indices, Determinant3(world) < 0, piece);
  if (piece->triangles.size() > kGltfMaxFaces - geometry->faces) {
    return Fail(error, "the file has more than " + std::to_string(kGltfMaxFaces) + " faces");
  }
  ToWorld(world, &piece->positions);
  geometry->vertices += vertices;
  geometry->faces += piece->triangles.size();
  return true;
}

bool ReadMeshNode(const Model& model, const PlacedNode& placed, Geometry* geometry, std::vector<std::string>* warnings,
                  std::string* error) {
  const tinygltf::Node& node = model.nodes[placed.index];
  if (node.mesh < 0 || static_cast<size_t>(node.mesh) >= model.meshes.size()) {
    return Fail(error, "node " + std::to_string(placed.index) + " names mesh " + std::to_string(node.mesh) +
                           ", which does not exist");
  }
  const tinygltf::Mesh& mesh = model.meshes[static_cast<size_t>(node.mesh)];
  const std::string name = !node.name.empty()   ? node.name
                           : !mesh.name.empty() ? mesh.name
                                                : Numbered("mesh", static_cast<size_t>(node.mesh));
  bool hasPart = false;
  for (const tinygltf::Primitive& primitive : mesh.primitives) {
    if (primitive.mode >= TINYGLTF_MODE_POINTS && primitive.mode <= TINYGLTF_MODE_LINE_STRIP) {
      warnings->push_back("mesh " + name + ": a primitive of points or lines is passed over");
      continue;
    }
    if (primitive.mode < TINYGLTF_MODE_TRIANGLES || primitive.mode > TINYGLTF_MODE_TRIANGLE_FAN) {
      return Fail(error, "mesh " + name + ": primitive mode " + std::to_string(primitive.mode) + " is unknown");
    }
    if (!hasPart) geometry->parts.push_back(name);
    hasPart = true;
    Piece piece{geometry->parts.size() - 1, primitive.material, {}, {}, {}};
    if (!ReadPrimitive(model, primitive, placed.world, geometry, &piece, error)) {
      return Fail(error, "mesh " + name + ": " + *error);
    }
    geometry->pieces.push_back(std::move(piece));
  }
  return true;
}

// ---- Materials and images

const Value* Extra(const Value& extras, const char* key) {
  return extras.IsObject() && extras.Has(key) ? &extras.Get(key) : nullptr;
}

std::string ExtraText(const Value& extras, const char* key) {
  const Value* value = Extra(extras, key);
  return value != nullptr && value->IsString() ? value->Get<std::string>() : std::string();
}

// The `count` numbers of array `key` of the extras, if it is one.
bool ExtraNumbers(const Value& extras, const char* key, size_t count, double* numbers) {
  const Value* value = Extra(extras, key);
  if (value == nullptr || !value->IsArray() || value->ArrayLen() != count) return false;
  for (size_t i = 0; i < count; ++i) {
    const Value& item = value->Get(static_cast<int>(i));
    if (!item.IsNumber()) return false;
    numbers[i] = item.GetNumberAsDouble();
  }
  return true;
}

Colour ColourOf(const double v[4]) {
  return Colour{static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2]), static_cast<float>(v[3])};
}

struct Look {
  Colour diffuse, ambient, specular;
  float power;
};

// sod_diffuse stands for the base colour when it clamps to exactly the base colour.
bool ClampsTo(const double values[4], const double base[4]) {
  for (size_t i = 0; i < 4; ++i) {
    const float v = static_cast<float>(values[i]);
    const float clamped = v < 0 ? 0.0f : v > 1 ? 1.0f : v;
    if (!(clamped == static_cast<float>(base[i]))) return false;
  }
  return true;
}

Look LookOf(const tinygltf::Material& material) {
  const std::vector<double>& factor = material.pbrMetallicRoughness.baseColorFactor;
  double base[4] = {1, 1, 1, 1};
  for (size_t i = 0; i < 4 && i < factor.size(); ++i) base[i] = factor[i];
  Look look{ColourOf(base), ColourOf(base), Colour{0, 0, 0, 1}, 0};
  double values[4];
  if (ExtraNumbers(material.extras, "sod_ambient", 4, values)) look.ambient = ColourOf(values);
  if (ExtraNumbers(material.extras, "sod_specular", 4, values)) look.specular = ColourOf(values);
  if (ExtraNumbers(material.extras, "sod_diffuse", 4, values) && ClampsTo(values, base))
    look.diffuse = ColourOf(values);
  const Value* power = Extra(material.extras, "sod_specular_power");
  if (power != nullptr && power->IsNumber()) look.power = static_cast<float>(power->GetNumberAsDouble());
  return look;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The file title of a URI: its last path segment, percent-decoded, without extension.
std::string UriTitle(const std::string& uri) {
  std::string decoded;
  for (size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() && HexValue(uri[i + 1]) >= 0 && HexValue(uri[i + 2]) >= 0) {
      decoded += static_cast<char>(HexValue(uri[i + 1]) * 16 + HexValue(uri[i + 2]));
      i += 2;
    } else {
      decoded += uri[i];
    }
  }
  const size_t slash = decoded.find_last_of("/\\");
  std::string title = slash == std::string::npos ? decoded : decoded.substr(slash + 1);
  const size_t dot = title.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? title : title.substr(0, dot);
}

// A texture name that is a plain file title (it names NAME.tga beside the model):
// characters no file name can hold become underscores; none left gives `fallback`.
std::string SafeTitle(std::string name, const std::string& fallback, std::vector<std::string>* warnings) {
  bool changed = false;
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || std::string("<>:\"/\\|?*").find(c) != std::string::npos) {
      c = '_';
      changed = true;
    }
  }
  if (changed) warnings->push_back("texture name " + name + ": characters a file name cannot hold became underscores");
  return name.find_first_not_of('.') == std::string::npos ? fallback : name;
}

std::string SniffedMimeType(const std::vector<unsigned char>& bytes) {
  if (bytes.size() >= 4 && bytes[0] == 0x89 && bytes[1] == 'P' && bytes[2] == 'N' && bytes[3] == 'G')
    return "image/png";
  if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) return "image/jpeg";
  return std::string();
}

struct Build {
  const Model& model;
  std::u16string folder;
  SceneDocument* document;
  std::vector<char> imageKept;
};

// The texture name of a material and the image it comes from (-1: none).
bool MaterialTexture(Build& build, const tinygltf::Material& material, int* image, std::string* name,
                     std::string* error) {
  const Model& model = build.model;
  const int texture = material.pbrMetallicRoughness.baseColorTexture.index;
  const std::string named = ExtraText(material.extras, "sod_texture");
  *image = -1;
  if (texture != -1) {
    if (texture < 0 || static_cast<size_t>(texture) >= model.textures.size()) {
      return Fail(error,
                  "material " + material.name + " names texture " + std::to_string(texture) + ", which does not exist");
    }
    *image = model.textures[static_cast<size_t>(texture)].source;
    if (*image != -1 && (*image < 0 || static_cast<size_t>(*image) >= model.images.size())) {
      return Fail(error, "texture " + std::to_string(texture) + " names image " + std::to_string(*image) +
                             ", which does not exist");
    }
  }
  const std::string fallback = Numbered("texture", static_cast<size_t>(*image < 0 ? 0 : *image));
  if (*image < 0) {
    *name = named.empty() ? named : SafeTitle(named, fallback, &build.document->warnings);
    return true;
  }
  const tinygltf::Image& source = model.images[static_cast<size_t>(*image)];
  const std::string title = !source.uri.empty() ? UriTitle(source.uri) : !source.name.empty() ? source.name : named;
  *name = SafeTitle(title, fallback, &build.document->warnings);
  return true;
}

void KeepImage(Build& build, int index, const std::string& name) {
  if (index < 0 || build.imageKept[static_cast<size_t>(index)]) return;
  build.imageKept[static_cast<size_t>(index)] = 1;
  const tinygltf::Image& image = build.model.images[static_cast<size_t>(index)];
  std::vector<std::string>& warnings = build.document->warnings;
  for (const TextureImage& kept : build.document->images) {
    if (kept.name == name) {
      warnings.push_back("two images are named " + name + "; the first is kept");
      return;
    }
  }
  if (image.image.empty())
    warnings.push_back("image " + name + " could not be read" + (image.uri.empty() ? "" : " from " + image.uri));
  const std::string mimeType = image.mimeType.empty() ? SniffedMimeType(image.image) : image.mimeType;
  build.document->images.push_back(TextureImage{name, image.image, mimeType});
}

int AddHostMaterial(Build& build, size_t index, const std::string& name, int32_t uses, std::string* error) {
  const tinygltf::Material& material = build.model.materials[index];
  const Look look = LookOf(material);
  HostScene& scene = build.document->scene;
  const int host = scene.AddMaterial(Utf8ToUtf16(name), look.diffuse, look.ambient, look.specular, look.power, uses);
  int image = -1;
  std::string texture;
  if (!MaterialTexture(build, material, &image, &texture, error)) return -1;
  if (texture.empty()) return host;
  const std::u16string path = (fs::path(build.folder) / fs::u8path(texture + ".tga")).u16string();
  if (path.size() >= 260)
    build.document->warnings.push_back("the path of texture " + texture + " is cut to 259 characters");
  scene.SetMaterialMap(host, 0, 1, path);
  KeepImage(build, image, texture);
  return host;
}

std::string MaterialName(const Model& model, size_t index) {
  const std::string& name = model.materials[index].name;
  return name.empty() ? Numbered("material", index) : name;
}

// The default material, then one host material per material name, in glTF order, also
// for a material no face uses (the export writes every host material); `hostOf` gets
// the host index of each glTF material.
bool AddMaterials(Build& build, const Geometry& geometry, std::vector<int>* hostOf, std::string* error) {
  const Model& model = build.model;
  std::map<std::string, int32_t> usesByName;
  int32_t defaultUses = 0;
  for (const Piece& piece : geometry.pieces) {
    const int32_t faces = static_cast<int32_t>(piece.triangles.size());
    if (piece.material != -1 && (piece.material < 0 || static_cast<size_t>(piece.material) >= model.materials.size())) {
      return Fail(error, "a primitive names material " + std::to_string(piece.material) + ", which does not exist");
    }
    if (piece.material == -1) defaultUses += faces;
    if (piece.material != -1) usesByName[MaterialName(model, static_cast<size_t>(piece.material))] += faces;
  }
  build.document->scene.AddMaterial(u"default", {0.8f, 0.8f, 0.8f, 1}, {0.2f, 0.2f, 0.2f, 1}, {0, 0, 0, 1}, 0.0f,
                                    defaultUses);
  hostOf->assign(model.materials.size(), 0);
  std::map<std::string, int> made;
  for (size_t m = 0; m < model.materials.size(); ++m) {
    const std::string name = MaterialName(model, m);
    const auto found = made.find(name);
    (*hostOf)[m] = found != made.end() ? found->second : AddHostMaterial(build, m, name, usesByName[name], error);
    if ((*hostOf)[m] < 0) return false;
    made.emplace(name, (*hostOf)[m]);
  }
  return true;
}

// The vertices and texture coordinates of every piece (before any polygon set, which
// the host renews on each addition); `firsts` gets each piece's first vertex and first
// texture coordinate (its shared (0, 0) one when it has none).
void AddVertices(const Geometry& geometry, HostScene* scene, std::vector<std::array<int, 2>>* firsts) {
  int zeroTexCoord = -1;
  for (const Piece& piece : geometry.pieces) {
    const int firstVertex = scene->VertexCount();
    for (const Vec3& p : piece.positions) scene->AddVertex(p);
    const int firstTexCoord = scene->TexCoordCount();
    for (const TexCoord& t : piece.texCoords) scene->AddTexCoord(t.u, t.v);
    if (piece.texCoords.empty() && zeroTexCoord < 0) zeroTexCoord = scene->AddTexCoord(0, 0);
    firsts->push_back({firstVertex, piece.texCoords.empty() ? zeroTexCoord : firstTexCoord});
  }
}

void AddGeometry(const Geometry& geometry, const std::vector<int>& hostOf, HostScene* scene) {
  std::vector<std::array<int, 2>> firsts;
  AddVertices(geometry, scene, &firsts);
  std::vector<int> sets;
  for (const std::string& part : geometry.parts) {
    scene->AddPart(Utf8ToUtf16(part));
    sets.push_back(scene->AddPolygonSet());
  }
  for (size_t p = 0; p < geometry.pieces.size(); ++p) {
    const Piece& piece = geometry.pieces[p];
    FaceSpec face;
    face.partIndex = static_cast<int>(piece.part);
    face.materialIndex = piece.material == -1 ? 0 : hostOf[static_cast<size_t>(piece.material)];
    for (const auto& corners : piece.triangles) {
      face.vertices.clear();
      face.texCoords.clear();
      for (uint32_t corner : corners) {
        face.vertices.push_back(firsts[p][0] + static_cast<int32_t>(corner));
        face.texCoords.push_back(firsts[p][1] + (piece.texCoords.empty() ? 0 : static_cast<int32_t>(corner)));
      }
      scene->AddFace(sets[piece.part], face);
    }
  }
}

// ---- Markers

int MarkerKindOf(const Model& model, const PlacedNode& placed, bool hpNames) {
  const tinygltf::Node& node = model.nodes[placed.index];
  if (node.mesh != -1 || GroupKindOf(node.name) != kNoMarker) return kNoMarker;
  const std::string type = Lower(ExtraText(node.extras, "sod_type"));
  for (MarkerKind kind : kMarkerKinds) {
    if (type == MarkerTypeName(kind)) return static_cast<int>(kind);
  }
  if (placed.group != kNoMarker) return placed.group;
  return hpNames && IsHardpointName(node.name) ? static_cast<int>(MarkerKind::kHardpoint) : kNoMarker;
}

// A name as the side text files can hold it: blanks become underscores.
std::string WithoutBlanks(std::string name, std::vector<std::string>* warnings) {
  bool changed = false;
  for (char& c : name) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f') {
      c = '_';
      changed = true;
    }
  }
  if (changed) warnings->push_back("marker name " + name + ": blanks became underscores");
  return name;
}

Marker MarkerOf(const Model& model, const PlacedNode& placed, int kind, std::vector<std::string>* warnings) {
  const tinygltf::Node& node = model.nodes[placed.index];
  Marker marker;
  marker.name = node.name.empty() ? Numbered(MarkerTypeName(static_cast<MarkerKind>(kind)), placed.index)
                                  : WithoutBlanks(node.name, warnings);
  if (kind == kEmitter) {
    const std::string emitter = ExtraText(node.extras, "sod_emitter_name");
    if (emitter.empty())
      warnings->push_back("emitter " + marker.name + " has no sod_emitter_name; its own name is used");
    marker.emitterName = emitter.empty() ? marker.name : WithoutBlanks(emitter, warnings);
  }
  RowsOfNodeMatrix(placed.world.data(), marker.rows);
  // Rows that are no rotation, scale and translation are kept as the glTF writer
  // wrote them while the node keeps the transform the writer gave it.
  double saved[12];
  if (ExtraNumbers(node.extras, "sod_rows", 12, saved)) {
    float rows[4][3];
    for (size_t i = 0; i < 12; ++i) rows[i / 3][i % 3] = static_cast<float>(saved[i]);
    Mat4 written;
    double t[3], q[4], s[3];
    NodeMatrixOfRows(rows, written.data());
    DecomposeMatrix(written.data(), t, q, s);
    ComposeMatrix(t, q, s, written.data());
    if (NearlySame(written, placed.world)) std::memcpy(marker.rows, rows, sizeof rows);
  }
  return marker;
}

void AddMarkers(const Model& model, const std::vector<PlacedNode>& placed, SceneDocument* document) {
  bool hpNames = true;
  for (const tinygltf::Node& node : model.nodes) {
    hpNames = hpNames && Lower(node.name) != MarkerGroupName(MarkerKind::kHardpoint);
  }
  for (const PlacedNode& p : placed) {
    const int kind = MarkerKindOf(model, p, hpNames);
    if (kind == kNoMarker) continue;
    MarkersOf(document->markers, static_cast<MarkerKind>(kind))
        .push_back(MarkerOf(model, p, kind, &document->warnings));
  }
}

bool BuildDocument(const Model& model, const std::u16string& folder, SceneDocument* document, std::string* error) {
  if (!model.extensionsRequired.empty()) {
    return Fail(error, "the file requires extension " + model.extensionsRequired[0] + ", which the reader lacks");
  }
  std::vector<PlacedNode> placed;
  if (!WalkScene(model, &placed, error)) return false;
  Geometry geometry;
  for (const PlacedNode& p : placed) {
    if (model.nodes[p.index].mesh != -1 && !ReadMeshNode(model, p, &geometry, &document->warnings, error)) return false;
  }
  Build build{model, folder, document, std::vector<char>(model.images.size(), 0)};
  std::vector<int> hostOf;
  if (!AddMaterials(build, geometry, &hostOf, error)) return false;
  AddGeometry(geometry, hostOf, &document->scene);
  AddMarkers(model, placed, document);
  return true;
}

}  // namespace

bool ReadGltfSceneFromMemory(const uint8_t* data, size_t size, const std::u16string& folder, SceneDocument* document,
                             std::string* error) {
  try {
    tinygltf::Model model;
    return LoadGltfModel(data, size, fs::path(folder).u8string(), &model, error) &&
           BuildDocument(model, folder, document, error);
  } catch (const std::bad_alloc&) {
    return Fail(error, "out of memory");
  } catch (const std::exception& e) {
    return Fail(error, std::string("failed: ") + e.what());
  }
}

bool ReadGltfScene(const std::u16string& path, SceneDocument* document, std::string* error) {
  try {
    const fs::path file(path);
    std::vector<uint8_t> bytes;
    if (ReadFileBytes(file, &bytes, error) &&
        ReadGltfSceneFromMemory(bytes.data(), bytes.size(), file.parent_path().u16string(), document, error)) {
      return true;
    }
    return Fail(error, file.u8string() + ": " + *error);
  } catch (const std::exception& e) {
    return Fail(error, Utf16ToUtf8(path) + ": " + e.what());
  }
}

}  // namespace host
