#include "formats/gltf_accessors.h"

#include <cstring>
#include <fstream>
#include <limits>
#include <new>

#include <nlohmann/json.hpp>

#include "formats/gltf_number_ranges.h"

namespace host {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

// The loader takes lengths as unsigned int.
constexpr uintmax_t kMaxFileBytes = kGltfMaxSize;
// The loader turns extras and extensions into values recursively: deeper JSON could
// exhaust the stack. Real files nest less than ten levels.
constexpr size_t kMaxJsonDepth = 64;
constexpr size_t kGlbHeaderBytes = 12;
constexpr size_t kChunkHeaderBytes = 8;
constexpr uint32_t kChunkJson = 0x4E4F534A;

uint32_t LittleEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

bool Fail(std::string* error, const std::string& reason) {
  *error = reason;
  return false;
}

// The binary container: header, a whole JSON chunk, and the chunk after it (the BIN
// chunk) within the declared length, which the loader does not fully check. Sets the
// JSON chunk's place.
bool CheckBinaryContainer(const uint8_t* data, size_t size, ByteSpan* json, std::string* error) {
  const size_t headers = kGlbHeaderBytes + kChunkHeaderBytes;
  if (size < headers) return Fail(error, "binary glTF cut short in its header");
  const uint32_t version = LittleEndian32(data + 4);
  if (version != 2) return Fail(error, "binary glTF version " + std::to_string(version) + " is not supported");
  const size_t length = LittleEndian32(data + 8);
  if (length > size || length < headers) {
    return Fail(error, "binary glTF declares " + std::to_string(length) + " bytes but has " + std::to_string(size));
  }
  const size_t jsonLength = LittleEndian32(data + 12);
  if (LittleEndian32(data + 16) != kChunkJson || jsonLength == 0 || jsonLength > length - headers) {
    return Fail(error, "binary glTF without a whole JSON chunk");
  }
  const size_t next = headers + jsonLength;
  if (next < length) {
    if (kChunkHeaderBytes > length - next) return Fail(error, "binary glTF with a chunk header cut short");
    if (LittleEndian32(data + next) > length - next - kChunkHeaderBytes) {
      return Fail(error, "binary glTF whose BIN chunk reaches past its end");
    }
  }
  *json = ByteSpan{data + headers, jsonLength};
  return true;
}

// JSON text: an object, after an optional byte order mark and blanks.
bool LooksLikeJson(const uint8_t* data, size_t size) {
  size_t i = size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
  while (i < size && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n')) ++i;
  return i < size && data[i] == '{';
}

bool NestingWithinLimit(ByteSpan text) {
  size_t depth = 0;
  bool inString = false;
  for (size_t i = 0; i < text.size; ++i) {
    const uint8_t c = text.data[i];
    if (inString) {
      if (c == '\\') ++i;
      if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxJsonDepth) return false;
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
  }
  return true;
}

const Json* Member(const Json& object, const char* key) {
  if (!object.is_object()) return nullptr;
  auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

// An index as the loader reads it (an integer cut to int), if it is one.
bool LoaderIndex(const Json* value, int* index) {
  if (value == nullptr || !value->is_number_integer()) return false;
  *index = static_cast<int>(value->get<int64_t>());
  return true;
}

// A size as the loader reads it, once GltfNumbersInRange has seen that it fits.
bool LoaderSize(const Json* value, size_t* size) {
  if (value == nullptr || !value->is_number_unsigned()) return false;
  *size = value->get<size_t>();
  return true;
}

// The element `index` of array member `key`, or null.
const Json* Element(const Json& root, const char* key, int index) {
  const Json* array = Member(root, key);
  if (array == nullptr || !array->is_array() || index < 0 || static_cast<size_t>(index) >= array->size())
    return nullptr;
  return &(*array)[static_cast<size_t>(index)];
}

// The loader hands an image kept in a buffer view to the image callback before any
// check of the view against its buffer; those views are checked here, against the
// buffers' declared lengths (which the loader makes the lengths of their data).
// Whatever the loader refuses by itself is left to it.
bool ImageViewsWithinBuffers(const Json& root, std::string* error) {
  const Json* images = Member(root, "images");
  if (images == nullptr || !images->is_array()) return true;
  for (size_t i = 0; i < images->size(); ++i) {
    int viewIndex = -1;
    int bufferIndex = -1;
    size_t bufferLength = 0;
    size_t viewLength = 0;
    size_t viewOffset = 0;
    if (!LoaderIndex(Member((*images)[i], "bufferView"), &viewIndex)) continue;
    const Json* view = Element(root, "bufferViews", viewIndex);
    if (view == nullptr || !LoaderIndex(Member(*view, "buffer"), &bufferIndex)) continue;
    const Json* buffer = Element(root, "buffers", bufferIndex);
    if (buffer == nullptr || !LoaderSize(Member(*buffer, "byteLength"), &bufferLength) ||
        !LoaderSize(Member(*view, "byteLength"), &viewLength)) {
      continue;
    }
    LoaderSize(Member(*view, "byteOffset"), &viewOffset);
    if (viewOffset >= bufferLength || viewLength > bufferLength - viewOffset) {
      return Fail(error, "image " + std::to_string(i) + " lies outside buffer " + std::to_string(bufferIndex));
    }
  }
  return true;
}

// What the loader must not be given: JSON nested too deeply, numbers it would narrow,
// images past their buffers.
bool CheckBeforeLoading(ByteSpan json, std::string* error) {
  if (!NestingWithinLimit(json)) {
    return Fail(error, "JSON nested deeper than " + std::to_string(kMaxJsonDepth) + " levels");
  }
  const Json root = Json::parse(json.data, json.data + json.size, nullptr, false);
  // JSON that does not parse is left to the loader, which says why.
  return root.is_discarded() || (GltfNumbersInRange(root, error) && ImageViewsWithinBuffers(root, error));
}

// File access of the loader: within the model's folder (it would also look in the
// current folder), through paths that are Unicode on every system.
bool FileInFolder(const std::string& path, void* folder) {
  const std::string& base = *static_cast<const std::string*>(folder);
  std::error_code ignored;
  return path.compare(0, base.size(), base) == 0 && fs::is_regular_file(fs::u8path(path), ignored);
}

std::string PathAsGiven(const std::string& path, void*) { return path; }

bool ReadForLoader(std::vector<unsigned char>* bytes, std::string* error, const std::string& path, void*) {
  return ReadFileBytes(fs::u8path(path), bytes, error);
}

bool RefuseWrite(std::string* error, const std::string&, const std::vector<unsigned char>&, void*) {
  return Fail(error, "the reader writes no files");
}

// Images stay encoded. One in a buffer view is copied once the view is checked.
bool KeepEncodedImage(tinygltf::Image* image, const int, std::string*, std::string*, int, int,
                      const unsigned char* bytes, int size, void*) {
  image->as_is = true;
  if (image->bufferView == -1 && bytes != nullptr && size > 0) image->image.assign(bytes, bytes + size);
  return true;
}

bool CopyImagesFromViews(tinygltf::Model* model, std::string* error) {
  for (tinygltf::Image& image : model->images) {
    if (image.bufferView == -1) continue;
    ByteSpan span;
    if (!ViewBytes(*model, image.bufferView, &span, error)) return false;
    image.image.assign(span.data, span.data + span.size);
  }
  return true;
}

// The loader's messages, one per line, as one line.
std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    if (c != '\n' && c != '\r') {
      line += c;
    } else if (!line.empty() && line.back() != ' ') {
      line += "; ";
    }
  }
  while (!line.empty() && (line.back() == ' ' || line.back() == ';')) line.pop_back();
  return line.empty() ? "the glTF loader refused the file" : line;
}

bool RunLoader(const uint8_t* data, size_t size, bool binary, ByteSpan json, const std::string& folder,
               tinygltf::Model* model, std::string* error) {
  std::string base = folder.empty() ? "." : folder;
  tinygltf::TinyGLTF loader;
  loader.SetImageLoader(&KeepEncodedImage, nullptr);
  loader.SetFsCallbacks(tinygltf::FsCallbacks{&FileInFolder, &PathAsGiven, &ReadForLoader, &RefuseWrite, &base});
  std::string problem;
  std::string warning;
  const bool loaded =
      binary ? loader.LoadBinaryFromMemory(model, &problem, &warning, data, static_cast<unsigned>(size), base)
             : loader.LoadASCIIFromString(model, &problem, &warning, reinterpret_cast<const char*>(json.data),
                                          static_cast<unsigned>(json.size), base);
  return loaded ? CopyImagesFromViews(model, error) : Fail(error, OneLine(problem));
}

size_t ComponentSize(int componentType) {
  switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_BYTE:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
      return 1;
    case TINYGLTF_COMPONENT_TYPE_SHORT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
      return 2;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
      return 4;
    default:
      return 0;
  }
}

int ComponentCount(int type) {
  switch (type) {
    case TINYGLTF_TYPE_SCALAR:
      return 1;
    case TINYGLTF_TYPE_VEC2:
    case TINYGLTF_TYPE_VEC3:
    case TINYGLTF_TYPE_VEC4:
      return type;
    default:
      return 0;
  }
}

// `count` elements of `elementSize` bytes, `stride` bytes apart (stride >= elementSize
// > 0), from `offset` on, all within the span.
bool RunWithin(ByteSpan span, size_t offset, size_t count, size_t elementSize, size_t stride) {
  if (offset > span.size) return false;
  if (count == 0) return true;
  if (elementSize > span.size - offset) return false;
  return count - 1 <= (span.size - offset - elementSize) / stride;
}

uint32_t UnsignedAt(const uint8_t* p, size_t size) {
  if (size == 1) return p[0];
  if (size == 2) return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
  return LittleEndian32(p);
}

bool IsUnsignedIndexType(int componentType) {
  return componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE ||
         componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT ||
         componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
}

// Checks the accessor's run of elements against its buffer view, then packs them.
bool PackFromView(const tinygltf::Model& model, const tinygltf::Accessor& accessor, const std::string& name,
                  size_t elementSize, PackedAccessor* packed, std::string* error) {
  ByteSpan view;
  if (!ViewBytes(model, accessor.bufferView, &view, error)) return Fail(error, name + ": " + *error);
  const size_t declared = model.bufferViews[static_cast<size_t>(accessor.bufferView)].byteStride;
  const size_t stride = declared == 0 ? elementSize : declared;
  if (stride < elementSize) return Fail(error, name + " has elements longer than its stride");
  if (!RunWithin(view, accessor.byteOffset, accessor.count, elementSize, stride)) {
    return Fail(error, name + " reaches past the end of buffer view " + std::to_string(accessor.bufferView));
  }
  packed->bytes.resize(accessor.count * elementSize);
  for (size_t i = 0; i < accessor.count; ++i) {
    std::memcpy(packed->bytes.data() + i * elementSize, view.data + accessor.byteOffset + i * stride, elementSize);
  }
  return true;
}

// Sparse values written over the packed elements.
bool ApplySparse(const tinygltf::Model& model, const tinygltf::Accessor& accessor, const std::string& name,
                 size_t elementSize, PackedAccessor* packed, std::string* error) {
  const auto& sparse = accessor.sparse;
  const size_t indexSize = ComponentSize(sparse.indices.componentType);
  if (sparse.count < 1 || static_cast<size_t>(sparse.count) > packed->count) {
    return Fail(error, name + " has " + std::to_string(sparse.count) + " sparse values for its " +
                           std::to_string(packed->count) + " elements");
  }
  const size_t count = static_cast<size_t>(sparse.count);
  ByteSpan indices;
  ByteSpan values;
  if (!IsUnsignedIndexType(sparse.indices.componentType))
    return Fail(error, name + " has sparse indices of no index type");
  if (!ViewBytes(model, sparse.indices.bufferView, &indices, error) ||
      !ViewBytes(model, sparse.values.bufferView, &values, error)) {
    return Fail(error, name + ": " + *error);
  }
  if (sparse.indices.byteOffset < 0 || sparse.values.byteOffset < 0 ||
      !RunWithin(indices, static_cast<size_t>(sparse.indices.byteOffset), count, indexSize, indexSize) ||
      !RunWithin(values, static_cast<size_t>(sparse.values.byteOffset), count, elementSize, elementSize)) {
    return Fail(error, name + " has sparse indices or values past the end of their buffer views");
  }
  const uint8_t* index = indices.data + sparse.indices.byteOffset;
  const uint8_t* value = values.data + sparse.values.byteOffset;
  for (size_t i = 0; i < count; ++i, index += indexSize, value += elementSize) {
    const uint32_t target = UnsignedAt(index, indexSize);
    if (target >= packed->count) return Fail(error, name + " has a sparse index past its elements");
    std::memcpy(packed->bytes.data() + static_cast<size_t>(target) * elementSize, value, elementSize);
  }
  return true;
}

}  // namespace

bool ReadFileBytes(const fs::path& path, std::vector<uint8_t>* bytes, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  std::error_code failure;
  const uintmax_t size = in ? fs::file_size(path, failure) : 0;
  if (!in || failure) return Fail(error, "cannot be opened");
  if (size > kMaxFileBytes) return Fail(error, "is larger than 4 GiB");
  bytes->resize(static_cast<size_t>(size));
  in.read(reinterpret_cast<char*>(bytes->data()), static_cast<std::streamsize>(size));
  if (static_cast<uintmax_t>(in.gcount()) != size) return Fail(error, "cannot be read");
  return true;
}

bool LoadGltfModel(const uint8_t* data, size_t size, const std::string& folder, tinygltf::Model* model,
                   std::string* error) {
  if (size > kMaxFileBytes) return Fail(error, "larger than 4 GiB");
  const bool binary = size >= 4 && std::memcmp(data, "glTF", 4) == 0;
  ByteSpan json{data, size};
  if (!binary && !LooksLikeJson(data, size)) return Fail(error, "not a glTF file (neither glTF JSON nor binary glTF)");
  if (binary && !CheckBinaryContainer(data, size, &json, error)) return false;
  try {
    return CheckBeforeLoading(json, error) && RunLoader(data, size, binary, json, folder, model, error);
  } catch (const std::bad_alloc&) {
    return Fail(error, "out of memory while loading");
  } catch (const std::exception& e) {
    return Fail(error, std::string("the glTF loader failed: ") + e.what());
  }
}

bool ViewBytes(const tinygltf::Model& model, int index, ByteSpan* span, std::string* error) {
  if (index < 0 || static_cast<size_t>(index) >= model.bufferViews.size()) {
    return Fail(error, "buffer view " + std::to_string(index) + " does not exist");
  }
  const tinygltf::BufferView& view = model.bufferViews[static_cast<size_t>(index)];
  const std::string name = "buffer view " + std::to_string(index);
  if (view.buffer < 0 || static_cast<size_t>(view.buffer) >= model.buffers.size()) {
    return Fail(error, name + " names buffer " + std::to_string(view.buffer) + ", which does not exist");
  }
  const std::vector<unsigned char>& data = model.buffers[static_cast<size_t>(view.buffer)].data;
  if (view.byteOffset > data.size() || view.byteLength > data.size() - view.byteOffset) {
    return Fail(error, name + " lies outside buffer " + std::to_string(view.buffer));
  }
  *span = ByteSpan{data.data() + view.byteOffset, view.byteLength};
  return true;
}

bool PackAccessor(const tinygltf::Model& model, int index, size_t maxCount, PackedAccessor* packed,
                  std::string* error) {
  const std::string name = "accessor " + std::to_string(index);
  if (index < 0 || static_cast<size_t>(index) >= model.accessors.size()) return Fail(error, name + " does not exist");
  const tinygltf::Accessor& accessor = model.accessors[static_cast<size_t>(index)];
  const size_t componentSize = ComponentSize(accessor.componentType);
  packed->components = ComponentCount(accessor.type);
  if (componentSize == 0 || packed->components == 0) return Fail(error, name + " has a type the reader does not take");
  if (accessor.count > maxCount) {
    return Fail(error, name + " holds " + std::to_string(accessor.count) + " elements, more than the " +
                           std::to_string(maxCount) + " the reader takes here");
  }
  packed->componentType = accessor.componentType;
  packed->normalized = accessor.normalized;
  packed->count = accessor.count;
  const size_t elementSize = componentSize * static_cast<size_t>(packed->components);
  if (accessor.bufferView == -1) {
    packed->bytes.assign(accessor.count * elementSize, 0);
  } else if (!PackFromView(model, accessor, name, elementSize, packed, error)) {
    return false;
  }
  return !accessor.sparse.isSparse || ApplySparse(model, accessor, name, elementSize, packed, error);
}

bool PositionsOf(const PackedAccessor& packed, std::vector<Vec3>* positions, std::string* error) {
  static_assert(sizeof(Vec3) == 12, "a position is three packed floats");
  if (packed.components != 3 || packed.componentType != TINYGLTF_COMPONENT_TYPE_FLOAT) {
    return Fail(error, "positions are not float VEC3");
  }
  positions->resize(packed.count);
  if (packed.count > 0) std::memcpy(positions->data(), packed.bytes.data(), packed.bytes.size());
  return true;
}

bool TexCoordsOf(const PackedAccessor& packed, std::vector<TexCoord>* texCoords, std::string* error) {
  const bool isFloat = packed.componentType == TINYGLTF_COMPONENT_TYPE_FLOAT;
  const bool isByte = packed.componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE;
  const bool isShort = packed.componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
  if (packed.components != 2 || !(isFloat || (packed.normalized && (isByte || isShort)))) {
    return Fail(error, "texture coordinates are not float, or normalized unsigned byte or short, VEC2");
  }
  texCoords->resize(packed.count);
  const size_t size = isFloat ? 4 : isShort ? 2 : 1;
  const float scale = isShort ? 65535.0f : 255.0f;
  for (size_t i = 0; i < packed.count; ++i) {
    float uv[2];
    for (size_t k = 0; k < 2; ++k) {
      const uint8_t* p = packed.bytes.data() + (2 * i + k) * size;
      if (isFloat) {
        std::memcpy(&uv[k], p, 4);
      } else {
        uv[k] = static_cast<float>(UnsignedAt(p, size)) / scale;
      }
    }
    (*texCoords)[i] = TexCoord{uv[0], uv[1]};
  }
  return true;
}

bool IndicesOf(const PackedAccessor& packed, std::vector<uint32_t>* indices, std::string* error) {
  if (packed.components != 1 || !IsUnsignedIndexType(packed.componentType)) {
    return Fail(error, "indices are not unsigned byte, short or int scalars");
  }
  const size_t size = ComponentSize(packed.componentType);
  indices->resize(packed.count);
  for (size_t i = 0; i < packed.count; ++i) (*indices)[i] = UnsignedAt(packed.bytes.data() + i * size, size);
  return true;
}

}  // namespace host
