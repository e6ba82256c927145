#include "formats/gltf_number_ranges.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <string>

namespace host {

namespace {

using Json = nlohmann::json;

// How the library holds the numbers of a member: not at all (floats, or values the
// reader never takes), as size_t, as int, or as an object or array of ints whatever
// the member names inside it (a primitive's attributes and morph targets).
enum class Held { kNone, kSize, kInt, kIntMap };

// Members the library reads as size_t; inside a sparse accessor it reads them as int.
constexpr const char* kSizeMembers[] = {"byteLength", "byteOffset", "byteStride", "componentType", "count"};
// Members the library reads as int: indices of other objects, and enumerations.
constexpr const char* kIntMembers[] = {
    "buffer",  "bufferView", "camera",   "children", "height",    "index",  "indices",  "input", "inverseBindMatrices",
    "joints",  "magFilter",  "material", "mesh",     "minFilter", "mode",   "node",     "nodes", "output",
    "sampler", "scene",      "skeleton", "skin",     "source",    "target", "texCoord", "width", "wrapS",
    "wrapT"};
constexpr const char* kIntMapMembers[] = {"attributes", "targets"};

bool Named(const std::string& key, const char* const* begin, const char* const* end) {
  return std::any_of(begin, end, [&key](const char* name) { return key == name; });
}

// How the members of an object held as `parent` hold member `key`.
Held HeldAs(const std::string& key, Held parent, bool inSparse) {
  if (parent == Held::kIntMap) return Held::kIntMap;
  if (Named(key, std::begin(kSizeMembers), std::end(kSizeMembers))) return inSparse ? Held::kInt : Held::kSize;
  if (Named(key, std::begin(kIntMembers), std::end(kIntMembers))) return Held::kInt;
  if (Named(key, std::begin(kIntMapMembers), std::end(kIntMapMembers))) return Held::kIntMap;
  return Held::kNone;
}

bool Refuse(const std::string& path, const std::string& value, const char* side, const std::string& limit,
            std::string* error) {
  *error = path + " is " + value + ", " + side + " than the " + limit + " the reader takes here";
  return false;
}

// An integer (of any JSON sign) against the range of what holds it.
bool IntegerInRange(const Json& value, Held held, const std::string& path, std::string* error) {
  const uint64_t high = held == Held::kSize ? kGltfMaxSize : std::numeric_limits<int>::max();
  const int64_t low = held == Held::kSize ? 0 : std::numeric_limits<int>::min();
  if (value.is_number_unsigned()) {
    const uint64_t v = value.get<uint64_t>();
    return v <= high || Refuse(path, std::to_string(v), "more", std::to_string(high), error);
  }
  const int64_t v = value.get<int64_t>();
  if (v < low) return Refuse(path, std::to_string(v), "less", std::to_string(low), error);
  return v < 0 || static_cast<uint64_t>(v) <= high ||
         Refuse(path, std::to_string(v), "more", std::to_string(high), error);
}

// Walks `value`, whose path is `path` (restored on return), depth first.
bool ValuesInRange(const Json& value, Held held, bool inSparse, std::string& path, std::string* error) {
  const size_t mark = path.size();
  if (value.is_object()) {
    for (auto member = value.begin(); member != value.end(); ++member) {
      const std::string& key = member.key();
      if (key == "extras" || key == "extensions") continue;
      const bool sparse = inSparse || key == "sparse";
      path += (mark == 0 ? "" : ".") + key;
      if (!ValuesInRange(member.value(), HeldAs(key, held, sparse), sparse, path, error)) return false;
      path.resize(mark);
    }
  } else if (value.is_array()) {
    for (size_t i = 0; i < value.size(); ++i) {
      path += "[" + std::to_string(i) + "]";
      if (!ValuesInRange(value[i], held, inSparse, path, error)) return false;
      path.resize(mark);
    }
  } else if (value.is_number_integer() && held != Held::kNone) {
    return IntegerInRange(value, held, path, error);
  }
  return true;
}

}  // namespace

bool GltfNumbersInRange(const Json& root, std::string* error) {
  std::string path;
  return ValuesInRange(root, Held::kNone, false, path, error);
}

}  // namespace host
