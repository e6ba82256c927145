// The SOD file layout, the one definition the reader and the writers share.
//
// All numbers are little-endian and unpadded. A string is a u16 byte count and that
// many narrow characters, without terminator. A file is: the 14-byte header
// (10-byte identifier, f32 version); in version 1.6 only the prefix table; the
// material section; the node section; the end section (two u16 zeros, written but
// never read).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Identifiers, compared without regard to case and read as text that a zero byte ends.
constexpr size_t kSodIdentifierBytes = 10;
constexpr char kSodIdentifier[] = "Storm3D_SW";      // accepted, and always written
constexpr char kSodIdentifierMad[] = "Mad3D_SW";     // accepted, read like Storm3D_SW
constexpr char kSodIdentifierTrek[] = "StarTrekDB";  // recognised and refused

// The accepted versions, as the bits of the nearest single-precision value.
constexpr uint32_t kSodVersion16 = 0x3FCCCCCD;
constexpr uint32_t kSodVersion17 = 0x3FD9999A;
constexpr uint32_t kSodVersion18 = 0x3FE66666;  // written for "ST Armada 1"
constexpr uint32_t kSodVersion19 = 0x3FF33333;
constexpr uint32_t kSodVersion191 = 0x3FF47AE1;
constexpr uint32_t kSodVersion192 = 0x3FF5C28F;
constexpr uint32_t kSodVersion193 = 0x3FF70A3D;  // written for "ST Armada 2"

inline float SodVersionFromBits(uint32_t bits) {
  float version;
  std::memcpy(&version, &bits, sizeof version);
  return version;
}

inline uint32_t SodVersionBits(float version) {
  uint32_t bits;
  std::memcpy(&bits, &version, sizeof bits);
  return bits;
}

inline bool SodVersionIs(float version, uint32_t bits) { return SodVersionBits(version) == bits; }

// True for exactly the seven versions the reader accepts.
inline bool IsAcceptedSodVersion(float version) {
  const uint32_t bits = SodVersionBits(version);
  return bits == kSodVersion16 || bits == kSodVersion17 || bits == kSodVersion18 || bits == kSodVersion19 ||
         bits == kSodVersion191 || bits == kSodVersion192 || bits == kSodVersion193;
}

// Node kinds. Other values are legal: such a node has no body.
constexpr uint16_t kSodNodeNull = 0;
constexpr uint16_t kSodNodeMesh = 1;
constexpr uint16_t kSodNodeSprite = 3;
constexpr uint16_t kSodNodeLod = 11;
constexpr uint16_t kSodNodeEmitter = 12;

// A node whose name begins with "hp" in any case is a hardpoint, whatever its kind.
inline bool SodIsHardpointName(const char* name) {
  return name != nullptr && (name[0] == 'h' || name[0] == 'H') && (name[1] == 'p' || name[1] == 'P');
}

// Field sizes.
constexpr uint32_t kSodVector3Bytes = 12;
constexpr uint32_t kSodTransformBytes = 48;  // rows R0, R1, R2, T
constexpr uint32_t kSodTexCoordBytes = 8;    // f32 u, f32 v
constexpr uint32_t kSodFaceBytes = 12;       // three corners of u16 vertex, u16 texture coordinate
constexpr uint32_t kSodPrefixEntryTail = 7;  // u16, u16, u16, u8 after the two strings
constexpr size_t kSodKeptStringBytes = 127;  // a reader keeps this much of a string
constexpr size_t kSodNameBytes = 128;        // a kept string and its terminator
constexpr uint32_t kSodMaxCount = 65535;     // every count is a u16

// Texture names: a stored name has no extension; a read one gets this appended, and
// an empty stored name reads as "NULL".
constexpr char kSodTextureExtension[] = ".tga";
constexpr char kSodNoTexture[] = "NULL";

// A mesh body's fields present in one version, in file order:
//   style name (string)                                     all
//   first mode word, spare word, second mode word, spare    1.93
//   texture name (string)                                   1.7 and later
//   extra name (string)                                     1.91
//   second texture name (string), spare word                1.92
//   two spare words, second texture name                    1.93 with mode words 6 and 2
//   four spare words                                        1.93
//   counts V, K, G (u16); V vertices; K texture coordinates; G face groups
//   end byte (u8), end word (u16)                           all
struct SodMeshLayout {
  bool textureName;             // 1.7 and later
  bool extraName;               // 1.91
  bool secondTexture;           // 1.92
  bool modeWords;               // 1.93: mode words, the optional second texture, spare words
  bool secondMaterialModeByte;  // material entries of 1.9 and later
};

constexpr uint16_t kSodModeWordSecondTextureFirst = 6;  // with the next one: a second texture follows
constexpr uint16_t kSodModeWordSecondTextureSecond = 2;

inline SodMeshLayout SodLayoutFor(float version) {
  SodMeshLayout layout;
  layout.textureName = !SodVersionIs(version, kSodVersion16);
  layout.extraName = SodVersionIs(version, kSodVersion191);
  layout.secondTexture = SodVersionIs(version, kSodVersion192);
  layout.modeWords = SodVersionIs(version, kSodVersion193);
  layout.secondMaterialModeByte = version >= SodVersionFromBits(kSodVersion19);
  return layout;
}

// The writers' one version test: true for 1.93 ("new format"), false for 1.8.
inline bool SodIsNewFormat(float version) { return version >= SodVersionFromBits(kSodVersion19); }
