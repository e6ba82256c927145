// Reading a SOD file into the imported model. ReadSodFile (plugin/operations.h) loads
// the file named by the host into the reader's cursor and hands it to ParseSod.
//
// ParseSod runs the stages below in order. The counting pass walks every byte of the
// file and sizes every array before anything is allocated, so memory stays
// proportional to the file; the filling pass then walks the same bytes again from the
// position after the header.
#pragma once

#include <cstdint>

#include "common/byte_cursor.h"
#include "plugin/host_records.h"
#include "sod/imported_model.h"

// Parses the bytes held by `cursor` into `model`, which must be empty. 1 on success;
// 0 on failure with the model emptied and, for the failures a user can act on, a
// message in the context's errorText. The cursor keeps its bytes either way.
int32_t ParseSod(ByteCursor* cursor, HostContext* context, ImportedModel* model);

// The stages of ParseSod, each 1 or 0, so that tests can run them one by one.

// Identifier and version; the failures with messages happen here. Sets `version`.
int32_t ReadSodHeader(ByteCursor* cursor, HostContext* context, ImportedModel* model);

// Walks the rest of the file and sets the counts of the model; stores nothing else.
int32_t CountPass(ByteCursor* cursor, ImportedModel* model);

// Allocates the node array and the marker arrays at their counted lengths.
int32_t AllocateModelArrays(ImportedModel* model);

// Walks the same bytes again and fills the arrays and the section's materials; each
// mesh's world vertices (its own transform only) are made as its vertices are read.
int32_t FillPass(ByteCursor* cursor, ImportedModel* model);

// The marker positions: the translation row of each marker's transform.
int32_t DeriveModelData(ImportedModel* model);

// Gives every face group a material: adds a record with default colours for each name
// the material section lacks, sets each group's materialIndex, and gives each used
// material the textures of the last mesh node in file order that uses it. 0 only when
// memory runs out.
int32_t BindMaterials(ImportedModel* model);
