// The host's side of the plug-in interface, written down independently of the
// plug-in's own headers: every record is a block of bytes and every field an offset,
// so that a plug-in that disagrees with the host about a field is caught.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace layout {

// A text field: 260 UTF-16 units, then 260 narrow characters.
constexpr size_t kTextUnits = 260;
constexpr size_t kTextNarrow = 520;
constexpr size_t kTextBytes = 780;

// The describe record.
constexpr size_t kInfoHostTable = 0;
constexpr size_t kInfoPluginId = 8;
constexpr size_t kInfoCodeA = 24;
constexpr size_t kInfoCodeB = 28;
constexpr size_t kInfoUntouched = 32;
constexpr size_t kInfoOperationProc = 40;
constexpr size_t kInfoDescription = 48;
constexpr size_t kInfoVersionText = 828;
constexpr size_t kInfoFilterText = 1608;
constexpr size_t kInfoBytes = 2388;
constexpr size_t kHostTableRegisterExtension = 3;
constexpr size_t kHostTableEntries = 8;

// The operation context.
constexpr size_t kContextServices = 0;
constexpr size_t kContextFilePath = 12;
constexpr size_t kContextErrorText = 3912;
constexpr size_t kContextHostName = 4692;
constexpr size_t kContextHostVersion = 5472;
constexpr size_t kContextMaterialCount = 7856;
constexpr size_t kContextMaterials = 7864;
constexpr size_t kContextVertexCount = 7872;
constexpr size_t kContextVertices = 7880;
constexpr size_t kContextTexCoordTable = 7928;
constexpr size_t kContextPartCount = 7936;
constexpr size_t kContextParts = 7944;
constexpr size_t kContextPolygonSetCount = 7952;
constexpr size_t kContextPolygonSets = 7960;
constexpr size_t kContextBytes = 8192;  // at least 7968

// Entries of the service table.
constexpr int kServiceGetOwnerWindow = 17;
constexpr int kServiceTriangulate = 18;
constexpr int kServiceMaterialQueryFallback = 24;
constexpr int kServiceMaterialQuery = 32;
constexpr int kServiceUpdateGeometry = 39;
constexpr int kServiceAllocateVertices = 100;
constexpr int kServiceFinishBuild = 121;
constexpr int kServiceCreateMaterial = 150;
constexpr int kServiceCreatePart = 151;
constexpr int kServiceCreatePolygonSet = 156;
constexpr int kServiceEntries = 160;

// Material record and its methods.
constexpr size_t kMaterialMethods = 0;
constexpr size_t kMaterialName = 12;
constexpr size_t kMaterialDiffuse = 792;
constexpr size_t kMaterialAmbient = 808;
constexpr size_t kMaterialSpecular = 840;
constexpr size_t kMaterialSpecularPower = 872;
constexpr size_t kMaterialUseCount = 880;
constexpr size_t kMaterialBytes = 896;
constexpr int kMethodAcquireMap = 6;
constexpr int kMethodFindMap = 8;

// Texture map.
constexpr size_t kMapKind = 4;
constexpr size_t kMapFlags = 8;
constexpr size_t kMapPath = 48;
constexpr size_t kMapBytes = 832;

// Polygon set and its methods.
constexpr size_t kSetMethods = 0;
constexpr size_t kSetFaceCount = 16;
constexpr size_t kSetFaces = 24;
constexpr size_t kSetBytes = 928;
constexpr int kMethodAllocTriangles = 5;
constexpr int kMethodAllocPolygons = 6;
constexpr int kMethodSetCornerCount = 8;
constexpr int kMethodEntries = 16;

// Face, and the object holding its per-corner texture coordinates.
constexpr size_t kFaceMaterialIndex = 16;
constexpr size_t kFacePartIndex = 20;
constexpr size_t kFaceCornerCount = 40;
constexpr size_t kFaceVertexIndices = 48;
constexpr size_t kFaceExportScratch = 56;
constexpr size_t kFaceTexCoords = 80;
constexpr size_t kFaceBytes = 88;
constexpr size_t kFaceTexIndices = 8;
constexpr size_t kFaceTexCorners = 24;
constexpr size_t kFaceTexBytes = 32;

// Vertex, texture coordinate and the texture coordinate table object.
constexpr size_t kVertexPosition = 12;
constexpr size_t kVertexBytes = 88;
constexpr size_t kTexCoordU = 4;
constexpr size_t kTexCoordV = 8;
constexpr size_t kTexCoordBytes = 16;
constexpr size_t kTableEntries = 16;
constexpr size_t kTableBytes = 24;

template <typename T>
T Get(const void* base, size_t offset) {
  T value;
  std::memcpy(&value, static_cast<const uint8_t*>(base) + offset, sizeof value);
  return value;
}

template <typename T>
void Put(void* base, size_t offset, T value) {
  std::memcpy(static_cast<uint8_t*>(base) + offset, &value, sizeof value);
}

// A pointer or table entry: an 8-byte slot in every build, the pointer in its low
// half and the high half zero where pointers are narrower, as the 64-bit host lays
// it out.
constexpr size_t kPointerBytes = 8;

// The 8-byte value of a slot that holds `pointer` (an object or a function pointer).
template <typename P>
uint64_t PointerSlot(P pointer) {
  return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(pointer));
}

template <typename P>
P GetPointer(const void* base, size_t offset) {
  return reinterpret_cast<P>(static_cast<uintptr_t>(Get<uint64_t>(base, offset)));
}

template <typename P>
void PutPointer(void* base, size_t offset, P pointer) {
  Put<uint64_t>(base, offset, PointerSlot(pointer));
}

// Reads the halves of a text field, each up to its terminator or its 260 places.
std::u16string WideField(const void* base, size_t offset);
std::string NarrowField(const void* base, size_t offset);

// Writes both halves of a text field (the narrow half is the caller's conversion).
void PutTextField(void* base, size_t offset, const std::u16string& wide, const std::string& narrow);

}  // namespace layout
