// The host's records and function tables, byte for byte as the host lays them out.
// Fields the plug-in never touches are named as padding. Every offset the plug-in
// relies on is checked below at compile time. Pointers and table entries take
// 8-byte slots in every build, so the offsets are the 64-bit host's everywhere.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/dual_string.h"
#include "plugin/host_pointer.h"

struct HostContext;
struct HostMaterial;
struct HostMap;
struct HostPolygonSet;

// One texture coordinate.
struct HostTexCoord {
  uint8_t unused0[4];
  float u;
  float v;
  uint8_t unused12[4];
};

// One vertex of the host's single vertex array.
struct HostVertex {
  uint8_t unused0[12];
  float position[3];
  uint8_t unused24[64];
};

// The per-corner texture coordinates of one face.
struct HostFaceTexCoords {
  uint8_t unused0[8];
  HostPointer<int32_t*> indices;  // cornerCount indices into the context's texCoordTable
  uint8_t unused16[8];
  HostPointer<HostTexCoord*> corners;  // cornerCount records, one per corner
};

struct HostFace {
  uint8_t unused0[16];
  int32_t materialIndex;  // -1 = none
  int32_t partIndex;
  uint8_t unused24[16];
  int32_t cornerCount;
  uint8_t unused44[4];
  HostPointer<int32_t*> vertexIndices;  // cornerCount indices into the context's vertices
  HostPointer<int32_t*> exportScratch;  // cornerCount slots the mesh writer uses
  uint8_t unused64[16];
  HostPointer<HostFaceTexCoords*> faceTexCoords;
};

typedef int32_t (*HostAllocFacesFn)(HostPolygonSet* set, int32_t faceCount);
typedef void* (*HostSetCornerCountFn)(HostPolygonSet* set, int32_t faceIndex, int32_t cornerCount);

struct HostPolygonSetMethods {
  uint64_t unused0[5];
  HostPointer<HostAllocFacesFn> AllocTriangles;  // index 5
  HostPointer<HostAllocFacesFn> AllocPolygons;   // index 6
  uint64_t unused7;
  HostPointer<HostSetCornerCountFn> SetCornerCount;  // index 8
};

struct HostPolygonSet {
  HostPointer<const HostPolygonSetMethods*> methods;
  uint8_t unused8[8];
  int32_t faceCount;
  uint8_t unused20[4];
  HostPointer<HostFace*> faces;
  uint8_t unused32[896];
};

struct HostMap {
  uint8_t unused0[4];
  int32_t mapKind;    // the exporter reads the path only for kind 1
  uint32_t mapFlags;  // bit 0: the path holds a file
  uint8_t unused12[36];
  DualString path;
};

typedef HostMap* (*HostAcquireMapFn)(HostMaterial* material, int32_t mapIndex, int32_t create);
typedef HostMap* (*HostFindMapFn)(HostMaterial* material, int32_t mapIndex);

struct HostMaterialMethods {
  uint64_t unused0[6];
  HostPointer<HostAcquireMapFn> AcquireMap;  // index 6
  uint64_t unused7;
  HostPointer<HostFindMapFn> FindMap;  // index 8
};

struct HostMaterial {
  HostPointer<const HostMaterialMethods*> methods;
  uint8_t unused8[4];
  DualString name;
  float diffuse[4];
  float ambient[4];
  uint8_t unused824[16];
  float specular[4];
  uint8_t unused856[16];
  float specularPower;
  uint8_t unused876[4];
  int32_t useCount;
  uint8_t unused884[12];
};

struct HostTexCoordTable {
  uint8_t unused0[16];
  HostPointer<HostTexCoord*> entries;
};

typedef void* (*HostGetOwnerWindowFn)(HostContext* context);
typedef int32_t (*HostContextOnlyFn)(HostContext* context);
typedef int32_t (*HostMaterialQueryFn)(HostContext* context, DualString* answer);
typedef int32_t (*HostIntArgumentFn)(HostContext* context, int32_t value);
typedef HostMaterial* (*HostCreateMaterialFn)(HostContext* context, DualString* name);
typedef void* (*HostCreatePartFn)(HostContext* context, DualString* name, int32_t flags);
typedef HostPolygonSet* (*HostCreatePolygonSetFn)(HostContext* context);

// The host's function table; every entry takes the context first.
struct HostServices {
  uint64_t unused0[17];
  HostPointer<HostGetOwnerWindowFn> GetOwnerWindow;  // 17
  HostPointer<HostContextOnlyFn> Triangulate;        // 18
  uint64_t unused19[5];
  HostPointer<HostContextOnlyFn> MaterialQueryFallback;  // 24
  uint64_t unused25[7];
  HostPointer<HostMaterialQueryFn> MaterialQuery;  // 32
  uint64_t unused33[6];
  HostPointer<HostIntArgumentFn> UpdateGeometry;  // 39
  uint64_t unused40[60];
  HostPointer<HostIntArgumentFn> AllocateVertices;  // 100
  uint64_t unused101[20];
  HostPointer<HostIntArgumentFn> FinishBuild;  // 121
  uint64_t unused122[28];
  HostPointer<HostCreateMaterialFn> CreateMaterial;  // 150
  HostPointer<HostCreatePartFn> CreatePart;          // 151
  uint64_t unused152[4];
  HostPointer<HostCreatePolygonSetFn> CreatePolygonSet;  // 156
};

// The context of one host operation.
struct HostContext {
  HostPointer<HostServices*> services;
  uint8_t unused8[4];
  DualString filePath;
  uint8_t unused792[3120];
  DualString errorText;
  DualString hostName;
  DualString hostVersion;
  uint8_t unused6252[1604];
  int32_t materialCount;
  uint8_t unused7860[4];
  HostPointer<HostMaterial*> materials;
  int32_t vertexCount;
  uint8_t unused7876[4];
  HostPointer<HostVertex*> vertices;
  uint8_t unused7888[40];
  HostPointer<HostTexCoordTable*> texCoordTable;
  int32_t partCount;
  uint8_t unused7940[4];
  HostPointer<void*> parts;
  int32_t polygonSetCount;
  uint8_t unused7956[4];
  HostPointer<HostPolygonSet*> polygonSets;
};

static_assert(sizeof(HostTexCoord) == 16 && offsetof(HostTexCoord, u) == 4 && offsetof(HostTexCoord, v) == 8, "");
static_assert(sizeof(HostVertex) == 88 && offsetof(HostVertex, position) == 12, "");
static_assert(offsetof(HostFaceTexCoords, indices) == 8 && offsetof(HostFaceTexCoords, corners) == 24, "");
static_assert(sizeof(HostFace) == 88, "");
static_assert(offsetof(HostFace, materialIndex) == 16 && offsetof(HostFace, partIndex) == 20, "");
static_assert(offsetof(HostFace, cornerCount) == 40 && offsetof(HostFace, vertexIndices) == 48, "");
static_assert(offsetof(HostFace, exportScratch) == 56 && offsetof(HostFace, faceTexCoords) == 80, "");
static_assert(offsetof(HostPolygonSetMethods, AllocTriangles) == 5 * 8, "");
static_assert(offsetof(HostPolygonSetMethods, AllocPolygons) == 6 * 8, "");
static_assert(offsetof(HostPolygonSetMethods, SetCornerCount) == 8 * 8, "");
static_assert(sizeof(HostPolygonSet) == 928 && offsetof(HostPolygonSet, faceCount) == 16, "");
static_assert(offsetof(HostPolygonSet, faces) == 24, "");
static_assert(offsetof(HostMap, mapKind) == 4 && offsetof(HostMap, mapFlags) == 8 && offsetof(HostMap, path) == 48, "");
static_assert(offsetof(HostMaterialMethods, AcquireMap) == 6 * 8 && offsetof(HostMaterialMethods, FindMap) == 8 * 8,
              "");
static_assert(sizeof(HostMaterial) == 896 && offsetof(HostMaterial, name) == 12, "");
static_assert(offsetof(HostMaterial, name) + offsetof(DualString, narrow) == 532, "narrow name at 532");
static_assert(offsetof(HostMaterial, diffuse) == 792 && offsetof(HostMaterial, ambient) == 808, "");
static_assert(offsetof(HostMaterial, specular) == 840 && offsetof(HostMaterial, specularPower) == 872, "");
static_assert(offsetof(HostMaterial, useCount) == 880, "");
static_assert(offsetof(HostTexCoordTable, entries) == 16, "");
static_assert(offsetof(HostServices, GetOwnerWindow) == 136 && offsetof(HostServices, Triangulate) == 144, "");
static_assert(offsetof(HostServices, MaterialQueryFallback) == 192, "");
static_assert(offsetof(HostServices, MaterialQuery) == 256 && offsetof(HostServices, UpdateGeometry) == 312, "");
static_assert(offsetof(HostServices, AllocateVertices) == 800 && offsetof(HostServices, FinishBuild) == 968, "");
static_assert(offsetof(HostServices, CreateMaterial) == 1200 && offsetof(HostServices, CreatePart) == 1208, "");
static_assert(offsetof(HostServices, CreatePolygonSet) == 1248, "");
static_assert(offsetof(HostContext, services) == 0 && offsetof(HostContext, filePath) == 12, "");
static_assert(offsetof(HostContext, errorText) == 3912 && offsetof(HostContext, hostName) == 4692, "");
static_assert(offsetof(HostContext, hostVersion) == 5472, "");
static_assert(offsetof(HostContext, materialCount) == 7856 && offsetof(HostContext, materials) == 7864, "");
static_assert(offsetof(HostContext, vertexCount) == 7872 && offsetof(HostContext, vertices) == 7880, "");
static_assert(offsetof(HostContext, texCoordTable) == 7928 && offsetof(HostContext, partCount) == 7936, "");
static_assert(offsetof(HostContext, parts) == 7944 && offsetof(HostContext, polygonSetCount) == 7952, "");
static_assert(offsetof(HostContext, polygonSets) == 7960 && sizeof(HostContext) == 7968, "");
