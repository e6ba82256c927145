// Writing SOD files: the write operation, the whole-file writer, and the field writers
// that the mesh and marker node writers share. The file is assembled in memory first,
// field by field, and handed to its stream in a few large writes once it is complete;
// every appending function returns 1 when all of its bytes were appended and 0 when
// the buffer is missing or cannot grow, without appending anything after that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "common/byte_buffer.h"
#include "plugin/host_records.h"

// The version of the file being written: 1.8 for "ST Armada 1", 1.93 for "ST Armada 2".
// Set by WriteSodFile before the file is assembled; read by every writer.
extern float exportVersion;

// True when exportVersion is 1.9 or later (1.93): mode words, spare words, the second
// material mode byte and the root name "Scene Root".
bool SodWritesNewFormat();

// "Scene Root" in the new format, "root" in the old one.
const char* SodRootName();

// The write operation: loads the ticked side text files, assembles the whole file in
// memory (refusing a scene the format cannot hold), writes it beside the target and
// replaces the target only when every byte was written. 1 written; 0 with the target
// untouched (reason in the context's errorText where there is one to give). The text
// lists are released on every path.
int32_t WriteSodFile(HostContext* context);

// Assembles the whole file for the scene of `context` in `out`: header, materials,
// node count, root, mesh nodes, the ticked groups with their markers, end section.
// Each material's faces are grouped once and its corners welded once, in the export's
// kept working memory (sod/export_memory.h). 0 when the
// scene cannot be stored (the reason in errorText) or memory runs out.
int AssembleSodFile(HostContext* context, ByteBuffer* out);

// Assembles the whole file for the scene of currentContext and writes it to `stream`.
// 1 when every byte was written.
int WriteSodStream(FILE* stream);

// A SOD string: u16 byte count, then the bytes without terminator. A text longer than
// 65535 bytes cannot be stored and is refused (0, nothing appended).
int WriteSodString(ByteBuffer* out, const char* text);
// The same for the first `length` bytes of `text`.
int WriteSodStringBytes(ByteBuffer* out, const char* text, size_t length);
// A node or mesh name: at most the first 127 bytes of `text` (the name field of a node
// holds 127 characters and a terminator).
int WriteSodName(ByteBuffer* out, const char* text);

// The root node: null node, root name, no parent, identity transform.
int WriteRootNode(ByteBuffer* out);

// Little-endian fields.
int WriteSodU8(ByteBuffer* out, uint8_t value);
int WriteSodU16(ByteBuffer* out, uint16_t value);
int WriteSodF32(ByteBuffer* out, float value);
int WriteSodVector3(ByteBuffer* out, float x, float y, float z);
// Rows (1, 0, 0), (0, 1, 0), (0, 0, 1), (0, 0, 0).
int WriteSodIdentityTransform(ByteBuffer* out);
// Node kind, name (cut to 127 bytes) and parent name: the start of every node.
int WriteSodNodeStart(ByteBuffer* out, uint16_t kind, const char* name, const char* parent);
