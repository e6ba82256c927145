// Parses a SOD file as the plug-in writes it (version 1.8 or 1.93, every node of a
// kind the writer makes) into plain records, so tests can check each field. Parsing
// is strict: `complete` is true only when every byte was consumed exactly.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "support/sod_byte_reader.h"

struct WrittenMaterial {
  std::string name;
  std::array<float, 3> ambient, diffuse, specular;
  float power;
  std::vector<uint8_t> modeBytes;  // one in 1.8, two in 1.93
};

struct WrittenNode {
  uint16_t kind = 0;
  std::string name, parent;
  std::array<float, 12> transform{};  // R0, R1, R2, T
  // Mesh nodes.
  std::string style;
  std::vector<uint16_t> modeWords;  // 1.93: mode, spare, mode, spare
  std::string texture;
  std::vector<uint16_t> spareWords;  // 1.93: four
  std::vector<std::array<float, 3>> vertices;
  std::vector<std::array<float, 2>> texCoords;
  uint16_t groupCount = 0;
  std::string groupMaterial;
  std::vector<std::array<uint16_t, 6>> faces;  // vertex, texture coordinate; three corners
  uint8_t endByte = 0;
  uint16_t endWord = 0;
  // Emitter nodes.
  std::string emitterName;
};

struct WrittenSod {
  std::string identifier;
  uint32_t versionBits = 0;
  std::vector<WrittenMaterial> materials;
  uint16_t nodeCount = 0;
  std::vector<WrittenNode> nodes;
  std::array<uint16_t, 2> end{{0xFFFF, 0xFFFF}};
  bool complete = false;
};

inline bool WrittenIsNewFormat(uint32_t versionBits) { return versionBits == 0x3FF70A3D; }

inline void ParseWrittenMesh(SodByteReader& r, bool newFormat, WrittenNode* n) {
  n->style = r.String();
  if (newFormat) {
    for (int i = 0; i < 4; ++i) n->modeWords.push_back(r.U16());
  }
  n->texture = r.String();
  if (newFormat) {
    for (int i = 0; i < 4; ++i) n->spareWords.push_back(r.U16());
  }
  uint16_t vertices = r.U16();
  uint16_t texCoords = r.U16();
  n->groupCount = r.U16();
  for (uint16_t i = 0; i < vertices && !r.Overrun(); ++i) n->vertices.push_back({r.F32(), r.F32(), r.F32()});
  for (uint16_t i = 0; i < texCoords && !r.Overrun(); ++i) n->texCoords.push_back({r.F32(), r.F32()});
  for (uint16_t g = 0; g < n->groupCount && !r.Overrun(); ++g) {
    uint16_t faces = r.U16();
    n->groupMaterial = r.String();
    for (uint16_t f = 0; f < faces && !r.Overrun(); ++f) {
      std::array<uint16_t, 6> face{};
      for (auto& index : face) index = r.U16();
      n->faces.push_back(face);
    }
  }
  n->endByte = r.U8();
  n->endWord = r.U16();
}

inline WrittenSod ParseWrittenSod(const std::string& bytes) {
  WrittenSod sod;
  SodByteReader r(bytes);
  sod.identifier = r.Bytes(10);
  sod.versionBits = r.Bits32();
  bool newFormat = WrittenIsNewFormat(sod.versionBits);
  uint16_t materials = r.U16();
  for (uint16_t i = 0; i < materials && !r.Overrun(); ++i) {
    WrittenMaterial m;
    m.name = r.String();
    m.ambient = {r.F32(), r.F32(), r.F32()};
    m.diffuse = {r.F32(), r.F32(), r.F32()};
    m.specular = {r.F32(), r.F32(), r.F32()};
    m.power = r.F32();
    m.modeBytes.push_back(r.U8());
    if (newFormat) m.modeBytes.push_back(r.U8());
    sod.materials.push_back(m);
  }
  sod.nodeCount = r.U16();
  for (uint16_t i = 0; i < sod.nodeCount && !r.Overrun(); ++i) {
    WrittenNode n;
    n.kind = r.U16();
    n.name = r.String();
    n.parent = r.String();
    for (float& v : n.transform) v = r.F32();
    if (n.kind == 1) ParseWrittenMesh(r, newFormat, &n);
    if (n.kind == 12) n.emitterName = r.String();
    sod.nodes.push_back(n);
  }
  sod.end = {r.U16(), r.U16()};
  sod.complete = !r.Overrun() && r.Left() == 0;
  return sod;
}

inline const std::array<float, 12>& IdentityRows() {
  static const std::array<float, 12> identity{{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}};
  return identity;
}
