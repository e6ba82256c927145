// The imported model: the in-memory result of reading one SOD file. The read
// operation fills the one plug-in-wide instance, the import operation consumes it.
#pragma once

#include <cstdint>

#include "common/byte_cursor.h"
#include "common/marker_records.h"
#include "common/transform.h"
#include "sod/sod_format.h"

constexpr size_t kModelTextUnits = 260;

struct FaceGroup {
  uint32_t faceCount;
  uint32_t* faces;  // per face: vertex indices of corners 1-3, then texture coordinate indices 1-3
  char materialName[kSodNameBytes];
  int32_t materialIndex;  // list position of the material named materialName
};

struct NodeRecord {
  uint32_t kind;
  char name[kSodNameBytes];
  Matrix4 transform;  // rows (R0, 0), (R1, 0), (R2, 0), (T, 1)
  uint32_t vertexCount;
  float* vertices;       // vertexCount x 3, the node's own space
  float* worldVertices;  // vertexCount x 3, each vertex times transform
  uint32_t texCoordCount;
  float* texCoords;  // texCoordCount x (u, v)
  uint32_t groupCount;
  FaceGroup* groups;
  char16_t texture[kModelTextUnits];        // stored name + ".tga", "NULL", or empty
  char16_t secondTexture[kModelTextUnits];  // same rules
  uint32_t selected;                        // ticked in the import dialog
};

struct MaterialRecord {
  float ambient[4];
  float diffuse[4];
  float specular[4];
  float specularPower;
  char name[kSodNameBytes];
  char16_t texture[kModelTextUnits];
  char16_t secondTexture[kModelTextUnits];
  MaterialRecord* next;    // the next older record
  uint32_t ordinal;        // order of creation; the list position is materialCount - 1 - ordinal
  uint32_t texturesBound;  // working mark of the reader's material binding
};

// Finds material records by name without walking the list (see imported_model.cpp).
struct MaterialNameIndex;

struct ImportedModel {
  float version;
  int32_t nodesFilled;
  int32_t hardpointsFilled;
  int32_t emittersFilled;
  int32_t spritesFilled;
  int32_t nullNodeCount;
  int32_t meshNodeCount;
  int32_t spriteCount;
  int32_t lodNodeCount;
  int32_t emitterCount;
  int32_t selectedMeshCount;
  int32_t hardpointCount;
  HardpointRecord* hardpoints;
  EmitterRecord* emitters;
  SpriteRecord* sprites;
  int32_t nodeCount;
  NodeRecord* nodes;
  int32_t materialSectionCount;
  int32_t materialCount;
  MaterialRecord* materials;  // newest first
  char16_t sourcePath[kModelTextUnits];
  MaterialNameIndex* materialIndex;
};

// The plug-in-wide model: all zero at load, freed at unload.
extern ImportedModel importedModel;

// 0-based list position of the record named exactly `name`, or -1 (also for no name).
int32_t FindMaterial(const ImportedModel* model, const char* name);

// The record named exactly `name`, or null (also for no name).
MaterialRecord* FindMaterialRecord(const ImportedModel* model, const char* name);

// 0-based list position of a record of the model's list.
int32_t MaterialPosition(const ImportedModel* model, const MaterialRecord* record);

// A new record with the defaults of a material the file does not define, at the
// front of the list; null for no name, a name already there, or no memory.
MaterialRecord* AddMaterial(ImportedModel* model, const char* name);

// Frees every material record and empties the list.
void FreeMaterials(ImportedModel* model);

// Frees everything the model owns and clears it to zero; safe on a partly filled or
// empty model.
void FreeImportedModel(ImportedModel* model);

// FreeImportedModel, then the reader's file bytes.
void ResetImport(ImportedModel* model, ByteCursor* cursor);
