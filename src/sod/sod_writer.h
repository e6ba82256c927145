// Writing SOD files: the write operation, the whole-file writer, and the field writers
// that the mesh and marker node writers share. Every byte goes through WriteBytes, and
// every function returns 1 when all of its bytes were written and 0 at the first write
// that fell short (or for a missing stream), without writing anything after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "plugin/host_records.h"

// The version of the file being written: 1.8 for "ST Armada 1", 1.93 for "ST Armada 2".
// Set by WriteSodFile once the target is open; read by every writer.
extern float exportVersion;

// True when exportVersion is 1.9 or later (1.93): mode words, spare words, the second
// material mode byte and the root name "Scene Root".
bool SodWritesNewFormat();

// "Scene Root" in the new format, "root" in the old one.
const char* SodRootName();

// The write operation: loads the ticked side text files, checks that the scene fits
// the format, writes the whole file beside the target and replaces the target only
// when every byte was written. 1 written; 0 with the target untouched (reason in the
// context's errorText where there is one to give). The text lists are released on
// every path.
int32_t WriteSodFile(HostContext* context);

// Writes the whole file for the scene of currentContext: header, materials, node count,
// root, mesh nodes, the ticked groups with their markers, end section.
int WriteSodStream(FILE* stream);

// A SOD string: u16 byte count, then the bytes without terminator. A text longer than
// 65535 bytes cannot be stored and is refused (0, nothing written).
int WriteSodString(FILE* stream, const char* text);
// The same for the first `length` bytes of `text`.
int WriteSodStringBytes(FILE* stream, const char* text, size_t length);
// A node or mesh name: at most the first 127 bytes of `text` (the name field of a node
// holds 127 characters and a terminator).
int WriteSodName(FILE* stream, const char* text);

// The root node: null node, root name, no parent, identity transform.
int WriteRootNode(FILE* stream);

// Little-endian fields.
int WriteSodU8(FILE* stream, uint8_t value);
int WriteSodU16(FILE* stream, uint16_t value);
int WriteSodF32(FILE* stream, float value);
int WriteSodVector3(FILE* stream, float x, float y, float z);
// Rows (1, 0, 0), (0, 1, 0), (0, 0, 1), (0, 0, 0).
int WriteSodIdentityTransform(FILE* stream);
// Node kind, name (cut to 127 bytes) and parent name: the start of every node.
int WriteSodNodeStart(FILE* stream, uint16_t kind, const char* name, const char* parent);
