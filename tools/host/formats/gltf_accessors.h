// A glTF model read from untrusted bytes. The glTF library parses the file; what it
// would use without checking (the binary container's chunk lengths, how deeply the
// JSON nests, numbers it would narrow (gltf_number_ranges.h), the byte range of an image
// kept in a buffer view) is checked before it sees the bytes, and its file access is confined to the model's own
// folder. Images stay encoded. Buffer views and accessors are then read only through the functions below, which check
// every index, count, offset and stride against the bytes the buffers really hold, and never allocate for a count they
// have not checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <tiny_gltf.h>

#include "interface/host_scene.h"

namespace host {

// Reads a whole file; false with a reason when it cannot be opened or read, or is
// larger than a glTF file can be (4 GiB).
bool ReadFileBytes(const std::filesystem::path& path, std::vector<uint8_t>* bytes, std::string* error);

// Loads a .gltf (JSON) or .glb (binary) model from its bytes, told apart by content.
// External buffers and images are looked for in `folder` (UTF-8; empty: the current
// folder) and nowhere else. Each image keeps its encoded bytes in Image::image (empty
// when an external image could not be read). False with one line of reason; no
// exception escapes.
bool LoadGltfModel(const uint8_t* data, size_t size, const std::string& folder, tinygltf::Model* model,
                   std::string* error);

// A range of bytes inside a buffer.
struct ByteSpan {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

// The bytes of buffer view `index`; false unless the view and its buffer exist and the
// view lies within the buffer.
bool ViewBytes(const tinygltf::Model& model, int index, ByteSpan* span, std::string* error);

// An accessor's elements, tightly packed in the accessor's own component type (glTF's
// little-endian byte order, which is the host's).
struct PackedAccessor {
  int componentType = 0;
  int components = 0;  // 1 for SCALAR, 2 to 4 for VEC2 to VEC4
  bool normalized = false;
  size_t count = 0;
  std::vector<uint8_t> bytes;
};

// Accessor `index` with its stride removed and its sparse values applied (an accessor
// without a buffer view starts as zeros). False when it is not a SCALAR or VECn of a
// glTF component type, holds more than `maxCount` elements, or any view, offset,
// stride, count or sparse index of it falls outside the bytes behind it.
bool PackAccessor(const tinygltf::Model& model, int index, size_t maxCount, PackedAccessor* packed, std::string* error);

struct TexCoord {
  float u, v;
};

// Typed views of packed accessors, false with a reason for other formats.
// Positions: float VEC3, copied bit for bit.
bool PositionsOf(const PackedAccessor& packed, std::vector<Vec3>* positions, std::string* error);
// Texture coordinates: float VEC2 (copied bit for bit), or normalized unsigned byte or
// short VEC2 (scaled to 0..1).
bool TexCoordsOf(const PackedAccessor& packed, std::vector<TexCoord>* texCoords, std::string* error);
// Indices: unsigned byte, short or int SCALAR.
bool IndicesOf(const PackedAccessor& packed, std::vector<uint32_t>* indices, std::string* error);

}  // namespace host
