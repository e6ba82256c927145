#include "formats/gltf_scene_writer.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <unordered_map>

#include <tiny_gltf.h>

#include "formats/marker_transform.h"
#include "formats/scene_files.h"
#include "formats/side_text_files.h"
#include "formats/texture_images.h"
#include "interface/host_json.h"
#include "interface/host_layout.h"
#include "interface/host_text.h"
#include "interface/temp_folder.h"

namespace host {

namespace fs = std::filesystem;

namespace {

constexpr int kArrayBuffer = TINYGLTF_TARGET_ARRAY_BUFFER;
constexpr int kElementArrayBuffer = TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER;
// The texture name the SOD reader gives a mesh without texture: no texture at all.

// The faces of one material in one part, with their distinct corners as vertices.
struct Primitive {
  int material = -1;
  std::vector<float> positions;  // x y z per vertex
  std::vector<float> texCoords;  // u v per vertex
  std::vector<uint32_t> indices;
  // The vertices made of one host vertex, in the order they were made: the first by the
  // host vertex, each next one by the one before.
  std::unordered_map<uint64_t, uint32_t> firstOfHostVertex;
  std::vector<uint32_t> nextOfSameHostVertex;  // per vertex; kNoVertex after the last
};

constexpr uint32_t kNoVertex = UINT32_MAX;

struct MeshParts {
  std::map<int, std::vector<Primitive>> parts;  // by part index, primitives in order of first use
  int skippedFaces = 0;
  int replacedValues = 0;
};

float Finite(float value, int* replaced) {
  if (std::isfinite(value)) return value;
  ++*replaced;
  return 0.0f;
}

uint32_t VertexOf(HostScene& scene, Primitive* primitive, int32_t hostVertex, std::pair<float, float> uv,
                  int* replaced) {
  Vec3 p = scene.Vertex(hostVertex);
  float u = Finite(uv.first, replaced), v = Finite(uv.second, replaced);
  const uint32_t index = static_cast<uint32_t>(primitive->positions.size() / 3);
  auto [first, added] = primitive->firstOfHostVertex.try_emplace(static_cast<uint64_t>(hostVertex), index);
  if (!added) {
    uint32_t same = first->second;
    while (std::memcmp(&primitive->texCoords[2 * same], &u, 4) != 0 ||
           std::memcmp(&primitive->texCoords[2 * same + 1], &v, 4) != 0) {
      if (primitive->nextOfSameHostVertex[same] == kNoVertex) {
        primitive->nextOfSameHostVertex[same] = index;  // the vertex made below follows
        same = kNoVertex;
        break;
      }
      same = primitive->nextOfSameHostVertex[same];
    }
    if (same != kNoVertex) return same;
  }
  primitive->positions.insert(primitive->positions.end(),
                              {Finite(p.x, replaced), Finite(p.y, replaced), Finite(p.z, replaced)});
  primitive->texCoords.insert(primitive->texCoords.end(), {u, v});
  primitive->nextOfSameHostVertex.push_back(kNoVertex);
  return index;
}

Primitive& PrimitiveOf(std::vector<Primitive>& primitives, int material) {
  for (Primitive& primitive : primitives) {
    if (primitive.material == material) return primitive;
  }
  primitives.emplace_back();
  primitives.back().material = material;
  return primitives.back();
}

// Every face of the scene into its part's primitive of its material, fanned into
// triangles whose corners turn the other way.
MeshParts GatherFaces(HostScene& scene) {
  MeshParts mesh;
  const int vertices = scene.VertexCount();
  std::vector<uint32_t> corners;  // of the face at hand, as vertices of its primitive
  for (int s = 0; s < scene.PolygonSetCount(); ++s) {
    for (int f = 0; f < scene.FaceCount(s); ++f) {
      FaceView face = ReadFace(scene, s, f);
      bool usable = face.vertices.size() >= 3;
      for (int32_t v : face.vertices) usable = usable && v >= 0 && v < vertices;
      if (!usable) {
        ++mesh.skippedFaces;
        continue;
      }
      int material = face.materialIndex >= 0 && face.materialIndex < scene.MaterialCount() ? face.materialIndex : -1;
      Primitive& primitive = PrimitiveOf(mesh.parts[face.partIndex], material);
      corners.clear();
      for (size_t k = 0; k < face.vertices.size(); ++k) {
        auto uv = k < face.texCoords.size() ? face.texCoords[k] : std::make_pair(0.0f, 0.0f);
        corners.push_back(VertexOf(scene, &primitive, face.vertices[k], uv, &mesh.replacedValues));
      }
      for (size_t k = 1; k + 1 < corners.size(); ++k) {
        primitive.indices.insert(primitive.indices.end(), {corners[0], corners[k + 1], corners[k]});
      }
    }
  }
  return mesh;
}

// The model being written, with its one buffer.
class ModelBuilder {
 public:
  explicit ModelBuilder(bool embedImages) : embedImages_(embedImages) {
    model_.asset.version = "2.0";
    model_.asset.generator = std::string("kveltar-host ") + KVELTAR_VERSION_TEXT;
    model_.buffers.emplace_back();
  }

  tinygltf::Model& Model() { return model_; }

  int AddView(const void* bytes, size_t size, int target) {
    std::vector<unsigned char>& data = model_.buffers[0].data;
    data.resize((data.size() + 3) / 4 * 4, 0);
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = data.size();
    view.byteLength = size;
    view.target = target;
    data.insert(data.end(), static_cast<const unsigned char*>(bytes), static_cast<const unsigned char*>(bytes) + size);
    model_.bufferViews.push_back(view);
    return static_cast<int>(model_.bufferViews.size()) - 1;
  }

  int AddFloats(const std::vector<float>& values, int type, int width, bool bounds) {
    tinygltf::Accessor accessor;
    accessor.bufferView = AddView(values.data(), values.size() * sizeof(float), kArrayBuffer);
    accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
    accessor.type = type;
    accessor.count = values.size() / static_cast<size_t>(width);
    if (bounds) {
      accessor.minValues.assign(static_cast<size_t>(width), HUGE_VAL);
      accessor.maxValues.assign(static_cast<size_t>(width), -HUGE_VAL);
      for (size_t i = 0; i < values.size(); ++i) {
        size_t c = i % static_cast<size_t>(width);
        accessor.minValues[c] = std::min(accessor.minValues[c], static_cast<double>(values[i]));
        accessor.maxValues[c] = std::max(accessor.maxValues[c], static_cast<double>(values[i]));
      }
    }
    model_.accessors.push_back(accessor);
    return static_cast<int>(model_.accessors.size()) - 1;
  }

  // 16-bit indices where every index fits below the restart value 65535.
  int AddIndices(const std::vector<uint32_t>& indices, size_t vertexCount) {
    tinygltf::Accessor accessor;
    accessor.type = TINYGLTF_TYPE_SCALAR;
    accessor.count = indices.size();
    if (vertexCount <= 0xFFFF) {
      std::vector<uint16_t> narrow(indices.begin(), indices.end());
      accessor.bufferView = AddView(narrow.data(), narrow.size() * 2, kElementArrayBuffer);
      accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
    } else {
      accessor.bufferView = AddView(indices.data(), indices.size() * 4, kElementArrayBuffer);
      accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
    }
    model_.accessors.push_back(accessor);
    return static_cast<int>(model_.accessors.size()) - 1;
  }

  // The texture of an image named `name` with PNG bytes, made once per name.
  int TextureOf(const std::string& name, std::vector<uint8_t> png) {
    auto found = textures_.find(name);
    if (found != textures_.end()) return found->second;
    tinygltf::Image image;
    image.name = name;
    image.mimeType = "image/png";
    if (embedImages_) {
      image.bufferView = AddView(png.data(), png.size(), 0);
    } else {
      image.uri = UriOf(name + ".png");
      files_.emplace_back(name + ".png", std::move(png));
    }
    model_.images.push_back(image);
    if (model_.samplers.empty()) model_.samplers.emplace_back();
    tinygltf::Texture texture;
    texture.sampler = 0;
    texture.source = static_cast<int>(model_.images.size()) - 1;
    model_.textures.push_back(texture);
    return textures_[name] = static_cast<int>(model_.textures.size()) - 1;
  }

  // Image files to write beside a .gltf: file name and bytes.
  const std::vector<std::pair<std::string, std::vector<uint8_t>>>& Files() const { return files_; }

 private:
  static std::string UriOf(const std::string& name) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string uri;
    for (unsigned char c : name) {
      if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
        uri += static_cast<char>(c);
      } else {
        uri += {'%', kHex[c >> 4], kHex[c & 15]};
      }
    }
    return uri;
  }

  tinygltf::Model model_;
  bool embedImages_;
  std::map<std::string, int> textures_;
  std::vector<std::pair<std::string, std::vector<uint8_t>>> files_;
};

tinygltf::Value Numbers(const uint8_t* base, size_t offset, int count) {
  tinygltf::Value::Array values;
  for (int i = 0; i < count; ++i) {
    values.emplace_back(ShortDouble(layout::Get<float>(base, offset + 4 * static_cast<size_t>(i))));
  }
  return tinygltf::Value(std::move(values));
}

void AddTexture(SceneDocument& document, int index, ModelBuilder* builder, tinygltf::Material* material,
                tinygltf::Value::Object* extras) {
  fs::path found = MaterialTextureFile(document.scene, index, kMainTextureMap, document.textureFolder);
  if (found.empty()) return;
  std::string name = found.stem().u8string();
  std::vector<uint8_t> png;
  std::string problem;
  std::error_code ignored;
  if (fs::is_regular_file(found, ignored) && PngOfImageFile(found, &png, &problem)) {
    material->pbrMetallicRoughness.baseColorTexture.index = builder->TextureOf(name, std::move(png));
    return;
  }
  // A document read from a glTF file brings its images along.
  for (const TextureImage& image : document.images) {
    if (image.name == name && image.mimeType == "image/png" && !image.encoded.empty()) {
      material->pbrMetallicRoughness.baseColorTexture.index = builder->TextureOf(name, image.encoded);
      return;
    }
  }
  document.warnings.push_back("texture " + found.filename().u8string() + " of material " + material->name +
                              (problem.empty() ? " not found in " + found.parent_path().u8string() : ": " + problem) +
                              "; the material keeps its name in extras.sod_texture");
  (*extras)["sod_texture"] = tinygltf::Value(name);
}

void AddMaterials(SceneDocument& document, ModelBuilder* builder) {
  HostScene& scene = document.scene;
  for (int i = 0; i < scene.MaterialCount(); ++i) {
    const uint8_t* m = scene.Material(i);
    tinygltf::Material material;
    material.name = Utf16ToUtf8(layout::WideField(m, layout::kMaterialName));
    tinygltf::Value::Object extras;
    bool clamped = false;
    for (int c = 0; c < 4; ++c) {
      float value = layout::Get<float>(m, layout::kMaterialDiffuse + 4 * static_cast<size_t>(c));
      float kept = std::isnan(value) ? 0.0f : std::min(1.0f, std::max(0.0f, value));
      clamped = clamped || std::memcmp(&kept, &value, 4) != 0;
      material.pbrMetallicRoughness.baseColorFactor[static_cast<size_t>(c)] = ShortDouble(kept);
    }
    if (clamped) extras["sod_diffuse"] = Numbers(m, layout::kMaterialDiffuse, 4);
    extras["sod_ambient"] = Numbers(m, layout::kMaterialAmbient, 4);
    extras["sod_specular"] = Numbers(m, layout::kMaterialSpecular, 4);
    float power = layout::Get<float>(m, layout::kMaterialSpecularPower);
    extras["sod_specular_power"] = tinygltf::Value(ShortDouble(std::isfinite(power) ? power : 0.0f));
    // A paint that is not metal, as rough as the highlight is wide.
    material.pbrMetallicRoughness.metallicFactor = 0.0;
    double roughness = std::sqrt(2.0 / (std::max(0.0f, std::isfinite(power) ? power : 0.0f) + 2.0));
    material.pbrMetallicRoughness.roughnessFactor = ShortDouble(static_cast<float>(roughness));
    AddTexture(document, i, builder, &material, &extras);
    fs::path second = MaterialTextureFile(scene, i, kSecondTextureMap, u"");
    if (!second.empty()) extras["sod_second_texture"] = tinygltf::Value(second.stem().u8string());
    material.extras = tinygltf::Value(std::move(extras));
    builder->Model().materials.push_back(material);
  }
}

void AddMeshes(SceneDocument& document, ModelBuilder* builder, std::vector<int>* roots) {
  HostScene& scene = document.scene;
  MeshParts mesh = GatherFaces(scene);
  if (mesh.skippedFaces > 0) {
    document.warnings.push_back(std::to_string(mesh.skippedFaces) +
                                " faces with fewer than three corners or missing vertices were passed over");
  }
  if (mesh.replacedValues > 0) {
    document.warnings.push_back(std::to_string(mesh.replacedValues) +
                                " positions or texture coordinates that are not finite numbers were written as 0");
  }
  tinygltf::Model& model = builder->Model();
  for (auto& part : mesh.parts) {
    tinygltf::Mesh gltfMesh;
    bool named = part.first >= 0 && part.first < scene.PartCount();
    gltfMesh.name = named ? Utf16ToUtf8(scene.PartName(part.first)) : "part_" + std::to_string(part.first);
    for (Primitive& primitive : part.second) {
      tinygltf::Primitive made;
      size_t vertexCount = primitive.positions.size() / 3;
      made.attributes["POSITION"] = builder->AddFloats(primitive.positions, TINYGLTF_TYPE_VEC3, 3, true);
      made.attributes["TEXCOORD_0"] = builder->AddFloats(primitive.texCoords, TINYGLTF_TYPE_VEC2, 2, false);
      made.indices = builder->AddIndices(primitive.indices, vertexCount);
      made.material = primitive.material;
      made.mode = TINYGLTF_MODE_TRIANGLES;
      gltfMesh.primitives.push_back(made);
    }
    model.meshes.push_back(gltfMesh);
    tinygltf::Node node;
    node.name = gltfMesh.name;
    node.mesh = static_cast<int>(model.meshes.size()) - 1;
    model.nodes.push_back(node);
    roots->push_back(static_cast<int>(model.nodes.size()) - 1);
  }
}

void SetMarkerTransform(const Marker& marker, tinygltf::Node* node, tinygltf::Value::Object* extras) {
  double matrix[16];
  NodeMatrixOfRows(marker.rows, matrix);
  if (IsIdentityMatrix(matrix)) return;
  if (IsTranslationRotationScale(matrix)) {
    node->matrix.assign(matrix, matrix + 16);
    return;
  }
  // glTF takes no shear: the nearest rotation and scale stand in the node, the exact
  // rows in extras, which the reader prefers while the node keeps that transform.
  double t[3], r[4], s[3];
  DecomposeMatrix(matrix, t, r, s);
  node->translation.assign(t, t + 3);
  node->rotation.assign(r, r + 4);
  node->scale.assign(s, s + 3);
  tinygltf::Value::Array rows;
  for (const auto& row : marker.rows) {
    for (float value : row) rows.emplace_back(static_cast<double>(value));
  }
  (*extras)["sod_rows"] = tinygltf::Value(std::move(rows));
}

void AddMarkers(const MarkerLists& markers, tinygltf::Model* model, std::vector<int>* roots) {
  for (MarkerKind kind : kMarkerKinds) {
    const std::vector<Marker>& list = MarkersOf(markers, kind);
    if (list.empty()) continue;
    tinygltf::Node group;
    group.name = MarkerGroupName(kind);
    for (const Marker& marker : list) {
      tinygltf::Node node;
      node.name = marker.name;
      tinygltf::Value::Object extras;
      extras["sod_type"] = tinygltf::Value(std::string(MarkerTypeName(kind)));
      if (kind == MarkerKind::kEmitter) extras["sod_emitter_name"] = tinygltf::Value(marker.emitterName);
      SetMarkerTransform(marker, &node, &extras);
      node.extras = tinygltf::Value(std::move(extras));
      model->nodes.push_back(node);
      group.children.push_back(static_cast<int>(model->nodes.size()) - 1);
    }
    model->nodes.push_back(group);
    roots->push_back(static_cast<int>(model->nodes.size()) - 1);
  }
}

bool NoImageWriting(const std::string*, const std::string*, const tinygltf::Image*, bool, std::string*, void*) {
  return false;
}

bool Serialize(tinygltf::Model& model, bool binary, std::string* text, std::string* error) {
  tinygltf::TinyGLTF gltf;
  gltf.SetImageWriter(NoImageWriting, nullptr);
  std::ostringstream out;
  if (!gltf.WriteGltfSceneToStream(&model, out, !binary, binary)) {
    *error = "the glTF library could not write the scene";
    return false;
  }
  *text = out.str();
  return true;
}

// A .gltf with its buffer and images as files beside it: those first, the .gltf
// last; what was written is taken back when a later file fails.
bool WriteSeparate(ModelBuilder& builder, const fs::path& target, std::string* error) {
  tinygltf::Model& model = builder.Model();
  std::vector<unsigned char> data;
  data.swap(model.buffers[0].data);
  std::string text;
  if (!Serialize(model, false, &text, error)) return false;
  const std::string binName = target.stem().u8string() + ".bin";
  Json json = Json::parse(text);
  json["buffers"][0]["byteLength"] = data.size();
  json["buffers"][0]["uri"] = binName;
  std::vector<fs::path> written;
  bool ok = WriteWholeFile(target.parent_path() / fs::u8path(binName), data.data(), data.size(), error);
  if (ok) written.push_back(target.parent_path() / fs::u8path(binName));
  for (const auto& file : builder.Files()) {
    if (!ok) break;
    fs::path path = target.parent_path() / fs::u8path(file.first);
    ok = WriteWholeFile(path, file.second.data(), file.second.size(), error);
    if (ok) written.push_back(path);
  }
  if (ok) ok = WriteWholeFile(target, json.dump(2) + "\n", error);
  if (!ok) {
    std::error_code ignored;
    for (const fs::path& path : written) fs::remove(path, ignored);
  }
  return ok;
}

}  // namespace

bool WriteGltfScene(SceneDocument& document, const std::u16string& path, std::string* error) {
  fs::path target(path);
  std::u16string extension = LowerCaseExtension(path);
  const bool binary = extension == u".glb";
  ModelBuilder builder(binary);
  tinygltf::Model& model = builder.Model();
  std::vector<int> roots;
  AddMaterials(document, &builder);
  AddMeshes(document, &builder, &roots);
  AddMarkers(document.markers, &model, &roots);
  tinygltf::Scene scene;
  scene.nodes = roots;
  model.scenes.push_back(scene);
  model.defaultScene = 0;
  if (model.buffers[0].data.empty()) model.buffers.clear();
  if (!binary && !model.buffers.empty()) return WriteSeparate(builder, target, error);
  std::string bytes;
  return Serialize(model, binary, &bytes, error) && WriteWholeFile(target, bytes, error);
}

}  // namespace host
