// Builds SOD files byte by byte for tests: whole files from a description, in every
// version and with every field, and the pieces for broken ones (counts that lie, raw
// bodies, cut files, trailing bytes).
//
// The builder keeps its own copy of the layout rules, so that a test does not take
// the layout from the code it checks. Defaults are what the plug-in's writer puts in
// the fields the reader ignores (mode bytes 1, power 30, end byte 1, end word 0,
// 1.93 mode words 4 and 1).
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace sodtest {

// Version bit patterns of the seven accepted versions, and one that is refused.
constexpr uint32_t kV16 = 0x3FCCCCCD;
constexpr uint32_t kV17 = 0x3FD9999A;
constexpr uint32_t kV18 = 0x3FE66666;
constexpr uint32_t kV19 = 0x3FF33333;
constexpr uint32_t kV191 = 0x3FF47AE1;
constexpr uint32_t kV192 = 0x3FF5C28F;
constexpr uint32_t kV193 = 0x3FF70A3D;
constexpr uint32_t kV20 = 0x40000000;
constexpr uint32_t kAllVersions[] = {kV16, kV17, kV18, kV19, kV191, kV192, kV193};

inline float FloatOfBits(uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

inline uint32_t BitsOfFloat(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

// Appends little-endian fields to a byte string.
class ByteWriter {
 public:
  ByteWriter& U8(uint8_t v) {
    bytes_ += static_cast<char>(v);
    return *this;
  }
  ByteWriter& U16(uint16_t v) { return U8(static_cast<uint8_t>(v)).U8(static_cast<uint8_t>(v >> 8)); }
  ByteWriter& U32(uint32_t v) { return U16(static_cast<uint16_t>(v)).U16(static_cast<uint16_t>(v >> 16)); }
  ByteWriter& F32(float v) { return U32(BitsOfFloat(v)); }
  ByteWriter& Vec3(float x, float y, float z) { return F32(x).F32(y).F32(z); }
  ByteWriter& Raw(const std::string& bytes) {
    bytes_ += bytes;
    return *this;
  }
  // A string: its byte count, then its bytes (which may hold zeros).
  ByteWriter& Str(const std::string& text) { return U16(static_cast<uint16_t>(text.size())).Raw(text); }
  // A string whose count may differ from the bytes that follow.
  ByteWriter& StrCount(uint16_t count, const std::string& bytes) { return U16(count).Raw(bytes); }
  // The 10-byte identifier field: `text` padded with zero bytes, or cut.
  ByteWriter& Identifier(const std::string& text) {
    std::string field = text.substr(0, 10);
    field.resize(10, '\0');
    return Raw(field);
  }
  const std::string& Bytes() const { return bytes_; }
  size_t Size() const { return bytes_.size(); }

 private:
  std::string bytes_;
};

struct SodVec3 {
  float x = 0, y = 0, z = 0;
};

// Rows R0, R1, R2 and T; the identity by default.
struct SodTransformSpec {
  SodVec3 r0{1, 0, 0}, r1{0, 1, 0}, r2{0, 0, 1}, t{0, 0, 0};
};

struct SodPrefixEntry {
  std::string first, second;
  uint16_t a = 0, b = 0, c = 0;
  uint8_t d = 0;
};

struct SodMaterialSpec {
  std::string name;
  SodVec3 ambient{0.1f, 0.2f, 0.3f}, diffuse{0.4f, 0.5f, 0.6f}, specular{0.7f, 0.8f, 0.9f};
  float power = 30.0f;
  uint8_t modeByte = 1;
  uint8_t secondModeByte = 1;  // written in 1.9 and later
};

// One face: written as v[0], t[0], v[1], t[1], v[2], t[2].
struct SodFace {
  uint16_t v[3] = {0, 0, 0};
  uint16_t t[3] = {0, 0, 0};
};

struct SodGroupSpec {
  std::string material;
  std::vector<SodFace> faces;
  std::optional<uint16_t> faceCount;  // written instead of faces.size()
};

struct SodMeshSpec {
  std::string style = "default";
  uint16_t modeWord1 = 4, modeSpare1 = 0, modeWord2 = 1, modeSpare2 = 0;  // 1.93
  std::string texture;                                                    // 1.7 and later
  std::string extraName;                                                  // 1.91
  std::string secondTexture;                                              // 1.92, and 1.93 with mode words 6 and 2
  uint16_t spare192 = 0;                                                  // 1.92, after the second texture
  std::array<uint16_t, 2> extraSpares{};                                  // 1.93 with mode words 6 and 2
  std::array<uint16_t, 4> spareWords{};                                   // 1.93
  std::vector<SodVec3> vertices;
  std::vector<std::array<float, 2>> texCoords;
  std::vector<SodGroupSpec> groups;
  std::optional<uint16_t> vertexCount, texCoordCount, groupCount;  // written instead of the sizes
  uint8_t endByte = 1;
  uint16_t endWord = 0;
  bool endBytes = true;  // false: the body stops after its last group
};

struct SodNodeSpec {
  uint16_t kind = 0;
  std::string name, parent;
  SodTransformSpec transform;
  SodMeshSpec mesh;                    // the body of kind 1
  std::string emitterName;             // the body of kind 12
  std::optional<std::string> rawBody;  // written instead of the kind's body
};

struct SodFileSpec {
  std::string identifier = "Storm3D_SW";  // padded with zero bytes to 10
  uint32_t versionBits = kV18;
  std::optional<uint32_t> layoutBits;  // the version whose layout the sections follow
  std::vector<SodPrefixEntry> prefix;  // written in 1.6
  std::vector<SodMaterialSpec> materials;
  std::vector<SodNodeSpec> nodes;
  std::optional<uint16_t> prefixCount, materialCount, nodeCount;  // written instead of the sizes
  bool endSection = true;                                         // two u16 zeros after the nodes
  std::string trailing;                                           // bytes after everything
};

inline void WriteTransform(ByteWriter& w, const SodTransformSpec& t) {
  for (const SodVec3* row : {&t.r0, &t.r1, &t.r2, &t.t}) w.Vec3(row->x, row->y, row->z);
}

inline void WriteMeshBody(ByteWriter& w, const SodMeshSpec& m, uint32_t bits) {
  w.Str(m.style);
  if (bits == kV193) w.U16(m.modeWord1).U16(m.modeSpare1).U16(m.modeWord2).U16(m.modeSpare2);
  if (bits != kV16) w.Str(m.texture);
  if (bits == kV191) w.Str(m.extraName);
  if (bits == kV192) w.Str(m.secondTexture).U16(m.spare192);
  if (bits == kV193) {
    if (m.modeWord1 == 6 && m.modeWord2 == 2) w.U16(m.extraSpares[0]).U16(m.extraSpares[1]).Str(m.secondTexture);
    for (uint16_t spare : m.spareWords) w.U16(spare);
  }
  w.U16(m.vertexCount.value_or(static_cast<uint16_t>(m.vertices.size())));
  w.U16(m.texCoordCount.value_or(static_cast<uint16_t>(m.texCoords.size())));
  w.U16(m.groupCount.value_or(static_cast<uint16_t>(m.groups.size())));
  for (const SodVec3& v : m.vertices) w.Vec3(v.x, v.y, v.z);
  for (const auto& uv : m.texCoords) w.F32(uv[0]).F32(uv[1]);
  for (const SodGroupSpec& g : m.groups) {
    w.U16(g.faceCount.value_or(static_cast<uint16_t>(g.faces.size()))).Str(g.material);
    for (const SodFace& f : g.faces) {
      for (int c = 0; c < 3; ++c) w.U16(f.v[c]).U16(f.t[c]);
    }
  }
  if (m.endBytes) w.U8(m.endByte).U16(m.endWord);
}

inline void WriteNode(ByteWriter& w, const SodNodeSpec& n, uint32_t bits) {
  w.U16(n.kind).Str(n.name).Str(n.parent);
  WriteTransform(w, n.transform);
  if (n.rawBody) {
    w.Raw(*n.rawBody);
  } else if (n.kind == 1) {
    WriteMeshBody(w, n.mesh, bits);
  } else if (n.kind == 12) {
    w.Str(n.emitterName);
  }
}

inline bool HasSecondModeByte(uint32_t bits) { return bits == kV19 || bits == kV191 || bits == kV192 || bits == kV193; }

inline std::string BuildSod(const SodFileSpec& s) {
  const uint32_t bits = s.layoutBits.value_or(s.versionBits);
  ByteWriter w;
  w.Identifier(s.identifier).U32(s.versionBits);
  if (bits == kV16) {
    w.U16(s.prefixCount.value_or(static_cast<uint16_t>(s.prefix.size())));
    for (const SodPrefixEntry& e : s.prefix) w.Str(e.first).Str(e.second).U16(e.a).U16(e.b).U16(e.c).U8(e.d);
  }
  w.U16(s.materialCount.value_or(static_cast<uint16_t>(s.materials.size())));
  for (const SodMaterialSpec& m : s.materials) {
    w.Str(m.name).Vec3(m.ambient.x, m.ambient.y, m.ambient.z).Vec3(m.diffuse.x, m.diffuse.y, m.diffuse.z);
    w.Vec3(m.specular.x, m.specular.y, m.specular.z).F32(m.power).U8(m.modeByte);
    if (HasSecondModeByte(bits)) w.U8(m.secondModeByte);
  }
  w.U16(s.nodeCount.value_or(static_cast<uint16_t>(s.nodes.size())));
  for (const SodNodeSpec& n : s.nodes) WriteNode(w, n, bits);
  if (s.endSection) w.U16(0).U16(0);
  w.Raw(s.trailing);
  return w.Bytes();
}

// Nodes of each kind.
inline SodNodeSpec NodeOfKind(uint16_t kind, const std::string& name, const std::string& parent = "") {
  SodNodeSpec n;
  n.kind = kind;
  n.name = name;
  n.parent = parent;
  return n;
}

inline SodNodeSpec NullNode(const std::string& name, const std::string& parent = "") {
  return NodeOfKind(0, name, parent);
}

inline SodNodeSpec EmitterNode(const std::string& name, const std::string& emitterName,
                               const std::string& parent = "") {
  SodNodeSpec n = NodeOfKind(12, name, parent);
  n.emitterName = emitterName;
  return n;
}

// A mesh of one triangle per group, each group naming the given material.
inline SodNodeSpec MeshNode(const std::string& name, const std::vector<std::string>& groupMaterials,
                            const std::string& texture = "hull", const std::string& parent = "") {
  SodNodeSpec n = NodeOfKind(1, name, parent);
  n.mesh.texture = texture;
  n.mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  n.mesh.texCoords = {{0, 0}, {1, 0}, {0, 1}};
  for (const std::string& material : groupMaterials) {
    SodFace face;
    face.v[0] = 0, face.v[1] = 1, face.v[2] = 2;
    face.t[0] = 0, face.t[1] = 1, face.t[2] = 2;
    n.mesh.groups.push_back(SodGroupSpec{material, {face}, std::nullopt});
  }
  return n;
}

inline SodMaterialSpec Material(const std::string& name) {
  SodMaterialSpec m;
  m.name = name;
  return m;
}

// A file that uses every part of its version's layout: the prefix table (1.6), two
// materials, a root, a mesh with textures (the 1.93 one announcing its second texture),
// a hardpoint, a sprite, an emitter, a LOD node and a node of an unknown kind.
inline SodFileSpec RichSodSpec(uint32_t bits) {
  SodFileSpec s;
  s.versionBits = bits;
  s.prefix = {SodPrefixEntry{"alpha", "beta", 1, 2, 3, 4}, SodPrefixEntry{"", "gamma", 5, 6, 7, 8}};
  s.materials = {Material("hull"), Material("glow")};
  s.nodes.push_back(NullNode("root"));
  SodNodeSpec mesh = MeshNode("hull_mesh", {"hull", "glow", "undefined"}, "hulltex", "root");
  mesh.mesh.secondTexture = "glowtex";
  mesh.mesh.extraName = "extra";
  mesh.mesh.modeWord1 = 6;
  mesh.mesh.modeWord2 = 2;
  mesh.transform.t = {1, 2, 3};
  s.nodes.push_back(mesh);
  SodNodeSpec hardpoint = NullNode("hp_weapon_01", "root");
  hardpoint.transform.t = {4, 5, 6};
  s.nodes.push_back(hardpoint);
  s.nodes.push_back(NodeOfKind(3, "sprite_light", "root"));
  s.nodes.push_back(EmitterNode("engine", "exhaust", "root"));
  s.nodes.push_back(NodeOfKind(11, "lod0", "root"));
  s.nodes.push_back(NodeOfKind(7, "unknown", "root"));
  return s;
}

}  // namespace sodtest
