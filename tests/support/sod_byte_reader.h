// Reads back the fields of a written SOD file in tests: little-endian numbers and SOD
// strings from a byte string, with the position kept. Reading past the end records a
// failure and yields zeros, so a test sees a short file as wrong values.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

class SodByteReader {
 public:
  explicit SodByteReader(std::string bytes) : bytes_(std::move(bytes)) {}

  size_t Position() const { return position_; }
  size_t Left() const { return overrun_ ? 0 : bytes_.size() - position_; }
  bool Overrun() const { return overrun_; }

  std::string Bytes(size_t count) {
    if (count > bytes_.size() - position_) {
      overrun_ = true;
      position_ = bytes_.size();
      return std::string(count, '\0');
    }
    std::string out = bytes_.substr(position_, count);
    position_ += count;
    return out;
  }
  uint8_t U8() { return static_cast<uint8_t>(Bytes(1)[0]); }
  uint16_t U16() {
    std::string b = Bytes(2);
    return static_cast<uint16_t>(static_cast<uint8_t>(b[0]) | static_cast<uint8_t>(b[1]) << 8);
  }
  uint32_t Bits32() {
    std::string b = Bytes(4);
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[static_cast<size_t>(i)]);
    return v;
  }
  float F32() {
    uint32_t bits = Bits32();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
  }
  std::string String() { return Bytes(U16()); }

 private:
  std::string bytes_;
  size_t position_ = 0;
  bool overrun_ = false;
};
