#include "interface/host_scene.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "interface/host_layout.h"
#include "interface/host_text.h"

namespace host {

using namespace layout;

// A face's corner arrays, in two blocks of its polygon set's corner memory: one with
// the texture coordinate object, the vertex indices, the texture coordinate indices
// and the export's scratch slots, which an export reads face after face, and one with
// the per-corner texture coordinate records, which it does not read.
struct HostScene::Corners {
  int32_t* vertexIndices = nullptr;
  int32_t* texIndices = nullptr;
  uint8_t* texCorners = nullptr;
  size_t count = 0;
};

// Memory handed out in blocks that never move, taken from large chunks, so that the
// corners of neighbouring faces lie side by side, as a modeller keeps them; a
// renumbered face takes a new block and leaves its old one until the set is remade.
class CornerMemory {
 public:
  uint8_t* Take(size_t bytes) {
    bytes = Rounded(bytes);
    if (chunks_.empty() || used_ + bytes > room_) NewChunk(std::max(nextChunk_, bytes));
    uint8_t* block = chunks_.back().get() + used_;
    used_ += bytes;
    return block;
  }
  // Room for `blocks` blocks of `bytes` each in one chunk, so that faces made
  // together take no more memory than they need.
  void Reserve(size_t blocks, size_t bytes) {
    const size_t total = blocks * Rounded(bytes);
    if (total > room_ - used_) NewChunk(total);
  }
  void Clear() {
    chunks_.clear();
    used_ = room_ = 0;
    nextChunk_ = kFirstChunk;
  }

 private:
  static constexpr size_t kFirstChunk = size_t{1} << 12, kLargestChunk = size_t{1} << 20;
  static size_t Rounded(size_t bytes) { return (bytes + 7) & ~size_t{7}; }
  void NewChunk(size_t bytes) {
    chunks_.push_back(std::make_unique<uint8_t[]>(bytes));  // zeroed
    used_ = 0;
    room_ = bytes;
    nextChunk_ = std::min(kLargestChunk, std::max(nextChunk_, bytes) * 2);
  }
  std::vector<std::unique_ptr<uint8_t[]>> chunks_;
  size_t used_ = 0, room_ = 0, nextChunk_ = kFirstChunk;
};

struct HostScene::FaceStorage {
  std::vector<uint8_t> block;  // the faces, kFaceBytes each
  std::vector<Corners> corners;
  CornerMemory memory;
  CornerMemory texCornerMemory;
};

namespace {

std::vector<HostScene*>& Scenes() {
  static std::vector<HostScene*> scenes;
  return scenes;
}

// Service entries: each finds its scene from the context and counts the call.
void* ServiceGetOwnerWindow(void* context) {
  HostScene* s = HostScene::FromContext(context);
  if (s == nullptr || !s->Enter("GetOwnerWindow")) return nullptr;
  return s->GetOwnerWindow();
}

int32_t ServiceTriangulate(void* context) {
  HostScene* s = HostScene::FromContext(context);
  if (s == nullptr || !s->Enter("Triangulate")) return 0;
  return s->Triangulate();
}

int32_t ServiceMaterialQueryFallback(void* context) {
  HostScene* s = HostScene::FromContext(context);
  if (s == nullptr || !s->Enter("MaterialQueryFallback")) return 0;
  return 1;
}

int32_t ServiceMaterialQuery(void* context, uint8_t* answer) {
  HostScene* s = HostScene::FromContext(context);
  if (s == nullptr || !s->Enter("MaterialQuery")) return 0;
  if (answer != nullptr) PutTextField(answer, 0, u"default", "default");
  return 1;
}

int32_t ServiceUpdateGeometry(void* context, int32_t) {
  HostScene* s = HostScene::FromContext(context);
  if (s == nullptr || !s->Enter("UpdateGeometry")) return 0;
  return 1;
}

int32_t ServiceAllocateVertices(void* context, int32_t count) {
  HostScene* s = HostScene::FromContext(context);
  if (s == nullptr || !s->Enter("AllocateVertices")) return 0;
  return s->AllocateVertices(count);
}

int32_t ServiceFinishBuild(void* context, int32_t) {
  HostScene* s = HostScene::FromContext(context);
  if (s == nullptr || !s->Enter("FinishBuild")) return 0;
  s->MarkFinished();
  return 1;
}

uint8_t* ServiceCreateMaterial(void* context, uint8_t* name) {
  HostScene* s = HostScene::FromContext(context);
  if (s == nullptr || !s->Enter("CreateMaterial")) return nullptr;
  return s->CreateMaterial(name);
}

void* ServiceCreatePart(void* context, uint8_t* name, int32_t) {
  HostScene* s = HostScene::FromContext(context);
  if (s == nullptr || !s->Enter("CreatePart")) return nullptr;
  return s->CreatePart(name);
}

uint8_t* ServiceCreatePolygonSet(void* context) {
  HostScene* s = HostScene::FromContext(context);
  if (s == nullptr || !s->Enter("CreatePolygonSet")) return nullptr;
  return s->CreatePolygonSet();
}

uint8_t* MethodAcquireMap(uint8_t* material, int32_t mapIndex, int32_t) {
  HostScene* s = HostScene::FromMaterial(material);
  if (s == nullptr || !s->Enter("AcquireMap")) return nullptr;
  return s->AcquireMap(material, mapIndex);
}

uint8_t* MethodFindMap(uint8_t* material, int32_t mapIndex) {
  HostScene* s = HostScene::FromMaterial(material);
  if (s == nullptr || !s->Enter("FindMap")) return nullptr;
  return s->FindMap(material, mapIndex);
}

int32_t MethodAllocTriangles(uint8_t* set, int32_t count) {
  HostScene* s = HostScene::FromPolygonSet(set);
  if (s == nullptr || !s->Enter("AllocTriangles")) return 0;
  return s->AllocFaces(set, count, 3);
}

int32_t MethodAllocPolygons(uint8_t* set, int32_t count) {
  HostScene* s = HostScene::FromPolygonSet(set);
  if (s == nullptr || !s->Enter("AllocPolygons")) return 0;
  return s->AllocFaces(set, count, 0);
}

void* MethodSetCornerCount(uint8_t* set, int32_t face, int32_t corners) {
  HostScene* s = HostScene::FromPolygonSet(set);
  if (s == nullptr || !s->Enter("SetCornerCount")) return nullptr;
  return s->SetCornerCount(set, face, corners);
}

// Traps for the entries outside the interface. They take the object first, like
// every entry, and report which table and index was called.
template <int Index>
void* TrapService(void* context, void*, void*, void*) {
  if (HostScene* s = HostScene::FromContext(context)) s->Trap("service " + std::to_string(Index));
  std::fprintf(stderr, "kveltar-host: the plug-in called service %d, which the host does not offer\n", Index);
  return nullptr;
}

template <int Index>
void* TrapMaterialMethod(void* material, void*, void*, void*) {
  if (HostScene* s = HostScene::FromMaterial(material)) s->Trap("material method " + std::to_string(Index));
  std::fprintf(stderr, "kveltar-host: the plug-in called material method %d\n", Index);
  return nullptr;
}

template <int Index>
void* TrapSetMethod(void* set, void*, void*, void*) {
  if (HostScene* s = HostScene::FromPolygonSet(set)) s->Trap("polygon set method " + std::to_string(Index));
  std::fprintf(stderr, "kveltar-host: the plug-in called polygon set method %d\n", Index);
  return nullptr;
}

template <template <int> class Maker, size_t N, size_t... I>
std::array<uint64_t, N> TrapTable(std::index_sequence<I...>) {
  return {{PointerSlot(Maker<static_cast<int>(I)>::fn)...}};
}

template <int I>
struct ServiceTrap {
  static constexpr auto fn = &TrapService<I>;
};
template <int I>
struct MaterialTrap {
  static constexpr auto fn = &TrapMaterialMethod<I>;
};
template <int I>
struct SetTrap {
  static constexpr auto fn = &TrapSetMethod<I>;
};

void PutColour(uint8_t* material, size_t offset, Colour c) {
  const float values[4] = {c.r, c.g, c.b, c.a};
  std::memcpy(material + offset, values, sizeof values);
}

}  // namespace

HostScene::HostScene() : context_(kContextBytes, 0), texCoordTable_(kTableBytes, 0) {
  services_ = TrapTable<ServiceTrap, 160>(std::make_index_sequence<160>());
  materialMethods_ = TrapTable<MaterialTrap, 16>(std::make_index_sequence<16>());
  setMethods_ = TrapTable<SetTrap, 16>(std::make_index_sequence<16>());
  services_[kServiceGetOwnerWindow] = PointerSlot(&ServiceGetOwnerWindow);
  services_[kServiceTriangulate] = PointerSlot(&ServiceTriangulate);
  services_[kServiceMaterialQueryFallback] = PointerSlot(&ServiceMaterialQueryFallback);
  services_[kServiceMaterialQuery] = PointerSlot(&ServiceMaterialQuery);
  services_[kServiceUpdateGeometry] = PointerSlot(&ServiceUpdateGeometry);
  services_[kServiceAllocateVertices] = PointerSlot(&ServiceAllocateVertices);
  services_[kServiceFinishBuild] = PointerSlot(&ServiceFinishBuild);
  services_[kServiceCreateMaterial] = PointerSlot(&ServiceCreateMaterial);
  services_[kServiceCreatePart] = PointerSlot(&ServiceCreatePart);
  services_[kServiceCreatePolygonSet] = PointerSlot(&ServiceCreatePolygonSet);
  materialMethods_[kMethodAcquireMap] = PointerSlot(&MethodAcquireMap);
  materialMethods_[kMethodFindMap] = PointerSlot(&MethodFindMap);
  setMethods_[kMethodAllocTriangles] = PointerSlot(&MethodAllocTriangles);
  setMethods_[kMethodAllocPolygons] = PointerSlot(&MethodAllocPolygons);
  setMethods_[kMethodSetCornerCount] = PointerSlot(&MethodSetCornerCount);
  PutPointer(context_.data(), kContextServices, services_.data());
  SetHostTexts(u"kveltar-host", u"1.0");
  Scenes().push_back(this);
  Repoint();
}

HostScene::~HostScene() {
  auto& scenes = Scenes();
  scenes.erase(std::remove(scenes.begin(), scenes.end(), this), scenes.end());
}

HostScene* HostScene::FromContext(const void* context) {
  for (HostScene* s : Scenes()) {
    if (s->context_.data() == context) return s;
  }
  return nullptr;
}

HostScene* HostScene::FromMaterial(const void* material) {
  for (HostScene* s : Scenes()) {
    if (s->MaterialIndexOf(static_cast<const uint8_t*>(material)) >= 0) return s;
  }
  return nullptr;
}

HostScene* HostScene::FromPolygonSet(const void* set) {
  for (HostScene* s : Scenes()) {
    if (s->SetIndexOf(static_cast<const uint8_t*>(set)) >= 0) return s;
  }
  return nullptr;
}

int HostScene::MaterialIndexOf(const uint8_t* material) const {
  if (materials_.empty() || material < materials_.data() || material >= materials_.data() + materials_.size())
    return -1;
  size_t offset = static_cast<size_t>(material - materials_.data());
  return offset % kMaterialBytes == 0 ? static_cast<int>(offset / kMaterialBytes) : -1;
}

int HostScene::SetIndexOf(const uint8_t* set) const {
  if (sets_.empty() || set < sets_.data() || set >= sets_.data() + sets_.size()) return -1;
  size_t offset = static_cast<size_t>(set - sets_.data());
  return offset % kSetBytes == 0 ? static_cast<int>(offset / kSetBytes) : -1;
}

void HostScene::Repoint() {
  RepointContext();
  for (int i = 0; i < PolygonSetCount(); ++i) RepointSet(i);
}

void HostScene::RepointSet(int index) {
  FaceStorage& f = *faces_[static_cast<size_t>(index)];
  uint8_t* set = PolygonSet(index);
  Put<int32_t>(set, kSetFaceCount, static_cast<int32_t>(f.corners.size()));
  PutPointer(set, kSetFaces, f.block.empty() ? nullptr : f.block.data());
}

void HostScene::RepointContext() {
  uint8_t* c = context_.data();
  Put<int32_t>(c, kContextMaterialCount, MaterialCount());
  PutPointer(c, kContextMaterials, materials_.empty() ? nullptr : materials_.data());
  Put<int32_t>(c, kContextVertexCount, VertexCount());
  PutPointer(c, kContextVertices, vertices_.empty() ? nullptr : vertices_.data());
  PutPointer(texCoordTable_.data(), kTableEntries, texCoords_.empty() ? nullptr : texCoords_.data());
  PutPointer(c, kContextTexCoordTable, texCoordTable_.data());
  Put<int32_t>(c, kContextPartCount, PartCount());
  PutPointer(c, kContextParts, partRecords_.empty() ? nullptr : partRecords_.data());
  Put<int32_t>(c, kContextPolygonSetCount, PolygonSetCount());
  PutPointer(c, kContextPolygonSets, sets_.empty() ? nullptr : sets_.data());
}

void HostScene::SetFilePath(const std::u16string& path) {
  PutTextField(context_.data(), kContextFilePath, path, ToAnsi(path));
}

void HostScene::SetHostTexts(const std::u16string& name, const std::u16string& version) {
  PutTextField(context_.data(), kContextHostName, name, ToAnsi(name));
  PutTextField(context_.data(), kContextHostVersion, version, ToAnsi(version));
}

std::u16string HostScene::ErrorTextWide() const { return WideField(context_.data(), kContextErrorText); }
std::string HostScene::ErrorTextNarrow() const { return NarrowField(context_.data(), kContextErrorText); }

bool HostScene::Enter(const char* name) {
  ++callCount_;
  callLog_.emplace_back(name);
  long nth = 1;
  for (auto& entry : calls_) {
    if (entry.first == name) nth = ++entry.second;
  }
  if (nth == 1) calls_.emplace_back(name, 1);
  if (failCallNumber_ == callCount_) return false;
  for (const auto& failure : failures_) {
    if (failure.first == name && failure.second == nth) return false;
  }
  return true;
}

void HostScene::FailService(const std::string& name, long nth) { failures_.emplace_back(name, nth); }

void HostScene::Trap(const std::string& what) { traps_.push_back(what); }

int HostScene::MaterialCount() const { return static_cast<int>(materials_.size() / kMaterialBytes); }
uint8_t* HostScene::Material(int index) { return materials_.data() + static_cast<size_t>(index) * kMaterialBytes; }
int HostScene::VertexCount() const { return static_cast<int>(vertices_.size() / kVertexBytes); }
int HostScene::PartCount() const { return static_cast<int>(parts_.size()); }
int HostScene::PolygonSetCount() const { return static_cast<int>(faces_.size()); }
uint8_t* HostScene::PolygonSet(int index) { return sets_.data() + static_cast<size_t>(index) * kSetBytes; }
int HostScene::FaceCount(int polygonSet) {
  return static_cast<int>(faces_[static_cast<size_t>(polygonSet)]->corners.size());
}

uint8_t* HostScene::Face(int polygonSet, int face) {
  return faces_[static_cast<size_t>(polygonSet)]->block.data() + static_cast<size_t>(face) * kFaceBytes;
}

Vec3 HostScene::Vertex(int index) const {
  const uint8_t* v = vertices_.data() + static_cast<size_t>(index) * kVertexBytes;
  return Vec3{Get<float>(v, kVertexPosition), Get<float>(v, kVertexPosition + 4), Get<float>(v, kVertexPosition + 8)};
}

uint8_t* HostScene::MaterialMap(int material, int mapIndex) {
  if (material < 0 || material >= MaterialCount() || mapIndex < 0 || mapIndex > 3) return nullptr;
  auto& map = maps_[static_cast<size_t>(material)][static_cast<size_t>(mapIndex)];
  return map ? map->data() : nullptr;
}

int HostScene::AddMaterial(const std::u16string& name, Colour diffuse, Colour ambient, Colour specular, float power,
                           int32_t useCount) {
  materials_.resize(materials_.size() + kMaterialBytes, 0);
  maps_.emplace_back();
  int index = MaterialCount() - 1;
  uint8_t* m = Material(index);
  PutPointer(m, kMaterialMethods, materialMethods_.data());
  PutTextField(m, kMaterialName, name, ToAnsi(name));
  PutColour(m, kMaterialDiffuse, diffuse);
  PutColour(m, kMaterialAmbient, ambient);
  PutColour(m, kMaterialSpecular, specular);
  Put<float>(m, kMaterialSpecularPower, power);
  Put<int32_t>(m, kMaterialUseCount, useCount);
  RepointContext();
  return index;
}

void HostScene::SetMaterialMap(int material, int mapIndex, int32_t kind, const std::u16string& path) {
  auto& map = maps_[static_cast<size_t>(material)][static_cast<size_t>(mapIndex)];
  map = std::make_unique<std::vector<uint8_t>>(kMapBytes, 0);
  Put<int32_t>(map->data(), kMapKind, kind);
  Put<uint32_t>(map->data(), kMapFlags, path.empty() ? 0u : 1u);
  PutTextField(map->data(), kMapPath, path, ToAnsi(path));
}

int HostScene::AddVertex(Vec3 position) {
  vertices_.resize(vertices_.size() + kVertexBytes, 0);
  uint8_t* v = vertices_.data() + vertices_.size() - kVertexBytes;
  Put<float>(v, kVertexPosition, position.x);
  Put<float>(v, kVertexPosition + 4, position.y);
  Put<float>(v, kVertexPosition + 8, position.z);
  RepointContext();
  return VertexCount() - 1;
}

int HostScene::AddTexCoord(float u, float v) {
  texCoords_.resize(texCoords_.size() + kTexCoordBytes, 0);
  uint8_t* t = texCoords_.data() + texCoords_.size() - kTexCoordBytes;
  Put<float>(t, kTexCoordU, u);
  Put<float>(t, kTexCoordV, v);
  RepointContext();
  return TexCoordCount() - 1;
}

void HostScene::TableCornerTexCoords() {
  size_t corners = 0;
  for (const auto& set : faces_) {
    for (const Corners& c : set->corners) corners += c.count;
  }
  int32_t entry = TexCoordCount();
  texCoords_.resize(texCoords_.size() + corners * kTexCoordBytes, 0);
  for (const auto& set : faces_) {
    for (const Corners& c : set->corners) {
      for (size_t k = 0; k < c.count; ++k, ++entry) {
        const uint8_t* record = c.texCorners + k * kTexCoordBytes;
        uint8_t* t = texCoords_.data() + static_cast<size_t>(entry) * kTexCoordBytes;
        Put<float>(t, kTexCoordU, Get<float>(record, kTexCoordU));
        Put<float>(t, kTexCoordV, Get<float>(record, kTexCoordV));
        c.texIndices[k] = entry;
      }
    }
  }
  RepointContext();
}

int HostScene::AddPolygonSet() {
  sets_.resize(sets_.size() + kSetBytes, 0);
  faces_.push_back(std::make_unique<FaceStorage>());
  int index = PolygonSetCount() - 1;
  for (int i = 0; i <= index; ++i) PutPointer(PolygonSet(i), kSetMethods, setMethods_.data());
  Repoint();
  return index;
}

int HostScene::AddPart(const std::u16string& name) {
  parts_.push_back(Part{name, ToAnsi(name)});
  partRecords_.push_back(parts_.size());
  RepointContext();
  return PartCount() - 1;
}

void HostScene::ResizeCorners(int set, int face, int corners) {
  FaceStorage& f = *faces_[static_cast<size_t>(set)];
  const size_t n = static_cast<size_t>(corners);
  uint8_t* texObject = f.memory.Take(kFaceTexBytes + n * 3 * sizeof(int32_t));
  auto* indices = reinterpret_cast<int32_t*>(texObject + kFaceTexBytes);
  Corners& c = f.corners[static_cast<size_t>(face)];
  c = Corners{indices, indices + n, f.texCornerMemory.Take(n * kTexCoordBytes), n};
  PutPointer(texObject, kFaceTexIndices, c.texIndices);
  PutPointer(texObject, kFaceTexCorners, c.texCorners);
  uint8_t* record = f.block.data() + static_cast<size_t>(face) * kFaceBytes;
  Put<int32_t>(record, kFaceCornerCount, corners);
  PutPointer(record, kFaceVertexIndices, c.vertexIndices);
  PutPointer(record, kFaceExportScratch, indices + 2 * n);
  PutPointer(record, kFaceTexCoords, texObject);
}

int HostScene::AddFace(int polygonSet, const FaceSpec& wanted) {
  FaceStorage& f = *faces_[static_cast<size_t>(polygonSet)];
  f.block.resize(f.block.size() + kFaceBytes, 0);
  f.corners.emplace_back();
  int face = static_cast<int>(f.corners.size()) - 1;
  int corners = static_cast<int>(wanted.vertices.size());
  ResizeCorners(polygonSet, face, corners);
  uint8_t* record = Face(polygonSet, face);
  Put<int32_t>(record, kFaceMaterialIndex, wanted.materialIndex);
  Put<int32_t>(record, kFacePartIndex, wanted.partIndex);
  Corners& c = f.corners[static_cast<size_t>(face)];
  for (int k = 0; k < corners; ++k) {
    size_t kk = static_cast<size_t>(k);
    c.vertexIndices[kk] = wanted.vertices[kk];
    int32_t t = kk < wanted.texCoords.size() ? wanted.texCoords[kk] : 0;
    c.texIndices[kk] = t;
    if (t >= 0 && t < TexCoordCount()) {
      std::memcpy(&c.texCorners[kk * kTexCoordBytes], &texCoords_[static_cast<size_t>(t) * kTexCoordBytes],
                  kTexCoordBytes);
    }
  }
  // Faces grow in one block; the records moved, so the set's pointer to them is renewed.
  RepointSet(polygonSet);
  return face;
}

int32_t HostScene::Triangulate() {
  // Fans every face of more than three corners into triangles; smaller faces stay.
  for (int s = 0; s < PolygonSetCount(); ++s) {
    FaceStorage& old = *faces_[static_cast<size_t>(s)];
    bool needed = false;
    for (const Corners& c : old.corners) needed = needed || c.count > 3;
    if (!needed) continue;
    auto replaced = std::make_unique<FaceStorage>();
    std::swap(faces_[static_cast<size_t>(s)], replaced);
    FaceStorage& before = *replaced;
    for (size_t i = 0; i < before.corners.size(); ++i) {
      const uint8_t* record = before.block.data() + i * kFaceBytes;
      const Corners& c = before.corners[i];
      size_t n = c.count;
      size_t pieces = n > 3 ? n - 2 : 1;
      for (size_t p = 0; p < pieces; ++p) {
        const size_t pick[3] = {0, p + 1, p + 2};
        FaceSpec wanted;
        wanted.materialIndex = Get<int32_t>(record, kFaceMaterialIndex);
        wanted.partIndex = Get<int32_t>(record, kFacePartIndex);
        for (size_t k = 0; k < (n > 3 ? 3 : n); ++k) {
          wanted.vertices.push_back(c.vertexIndices[pick[k]]);
          wanted.texCoords.push_back(c.texIndices[pick[k]]);
        }
        int face = AddFace(s, wanted);
        Corners& made = faces_[static_cast<size_t>(s)]->corners[static_cast<size_t>(face)];
        for (size_t k = 0; k < wanted.vertices.size(); ++k) {
          std::memcpy(&made.texCorners[k * kTexCoordBytes], &c.texCorners[pick[k] * kTexCoordBytes], kTexCoordBytes);
        }
      }
    }
  }
  Repoint();
  return 1;
}

int32_t HostScene::AllocateVertices(int32_t count) {
  if (count < 0) return 0;
  vertices_.assign(static_cast<size_t>(count) * kVertexBytes, 0);
  RepointContext();
  return 1;
}

uint8_t* HostScene::CreateMaterial(const uint8_t* name) {
  if (name == nullptr) return nullptr;
  int index = AddMaterial(WideField(name, 0), Colour{0.8f, 0.8f, 0.8f, 1.0f}, Colour{0.2f, 0.2f, 0.2f, 1.0f},
                          Colour{0.0f, 0.0f, 0.0f, 1.0f}, 0.0f, 0);
  // The narrow half is kept as the plug-in gave it.
  std::memcpy(Material(index) + kMaterialName + kTextNarrow, name + kTextNarrow, kTextUnits);
  return Material(index);
}

void* HostScene::CreatePart(const uint8_t* name) {
  if (name == nullptr) return nullptr;
  parts_.push_back(Part{WideField(name, 0), NarrowField(name, 0)});
  partRecords_.push_back(parts_.size());
  RepointContext();
  return &partRecords_.back();
}

uint8_t* HostScene::CreatePolygonSet() { return PolygonSet(AddPolygonSet()); }

uint8_t* HostScene::AcquireMap(uint8_t* material, int32_t mapIndex) {
  int index = MaterialIndexOf(material);
  if (index < 0 || mapIndex < 0 || mapIndex > 3) return nullptr;
  auto& map = maps_[static_cast<size_t>(index)][static_cast<size_t>(mapIndex)];
  if (!map) {
    // A new map is a bitmap texture (kind 1) without a file yet.
    map = std::make_unique<std::vector<uint8_t>>(kMapBytes, 0);
    Put<int32_t>(map->data(), kMapKind, 1);
  }
  return map->data();
}

uint8_t* HostScene::FindMap(uint8_t* material, int32_t mapIndex) {
  int index = MaterialIndexOf(material);
  return index < 0 ? nullptr : MaterialMap(index, mapIndex);
}

int32_t HostScene::AllocFaces(uint8_t* set, int32_t count, int32_t corners) {
  int s = SetIndexOf(set);
  if (s < 0 || count < 0) return 0;
  FaceStorage& f = *faces_[static_cast<size_t>(s)];
  f.block.assign(static_cast<size_t>(count) * kFaceBytes, 0);
  f.corners.assign(static_cast<size_t>(count), Corners{});
  f.memory.Clear();
  f.texCornerMemory.Clear();
  const size_t n = corners > 0 ? static_cast<size_t>(corners) : 0;
  f.memory.Reserve(static_cast<size_t>(count), kFaceTexBytes + n * 3 * sizeof(int32_t));
  f.texCornerMemory.Reserve(static_cast<size_t>(count), n * kTexCoordBytes);
  for (int i = 0; i < count; ++i) {
    ResizeCorners(s, i, corners);
    Put<int32_t>(Face(s, i), kFaceMaterialIndex, -1);
  }
  RepointSet(s);
  return 1;
}

void* HostScene::SetCornerCount(uint8_t* set, int32_t face, int32_t corners) {
  int s = SetIndexOf(set);
  if (s < 0 || face < 0 || face >= FaceCount(s) || corners < 0) return nullptr;
  ResizeCorners(s, face, corners);
  return Face(s, face);
}

}  // namespace host
