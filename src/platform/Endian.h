#pragma once
// Explicit little- and big-endian reads and writes of wire and file numbers.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace vela {

inline uint16_t GetLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t GetLE32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
inline uint64_t GetLE64(const uint8_t* p) { return GetLE32(p) | (static_cast<uint64_t>(GetLE32(p + 4)) << 32); }
inline uint16_t GetBE16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t GetBE32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

inline void PutLE16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutLE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutLE64(uint8_t* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline void PutBE16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}
inline void PutBE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * (3 - i)));
}

inline double DoubleFromBits(uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, 8);
  return d;
}
inline uint64_t DoubleToBits(double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, 8);
  return bits;
}
inline float FloatFromBits(uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}
inline uint32_t FloatToBits(float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  return bits;
}

// Reads wire numbers at fixed offsets of a received datagram. A byte past the
// datagram's end reads as zero, as if the datagram sat in a zero-cleared
// receive buffer, so a short datagram can never be read beyond its end.
class TZeroPaddedReader {
 public:
  explicit TZeroPaddedReader(std::span<const uint8_t> bytes) : fBytes(bytes) {}

  size_t Size() const { return fBytes.size(); }
  // True when all of bytes [offset, offset + count) lie inside the datagram.
  bool Holds(size_t offset, size_t count) const { return offset <= fBytes.size() && count <= fBytes.size() - offset; }

  uint8_t U8(size_t offset) const { return offset < fBytes.size() ? fBytes[offset] : 0; }
  uint16_t LE16(size_t offset) const { return static_cast<uint16_t>(U8(offset) | (U8(offset + 1) << 8)); }
  uint32_t LE32(size_t offset) const {
    return static_cast<uint32_t>(LE16(offset)) | (static_cast<uint32_t>(LE16(offset + 2)) << 16);
  }
  uint16_t BE16(size_t offset) const { return static_cast<uint16_t>((U8(offset) << 8) | U8(offset + 1)); }
  uint32_t BE32(size_t offset) const {
    return (static_cast<uint32_t>(BE16(offset)) << 16) | static_cast<uint32_t>(BE16(offset + 2));
  }
  // Copies out.size() bytes from offset; the part past the datagram's end is zero-filled.
  void Copy(size_t offset, std::span<uint8_t> out) const {
    for (size_t i = 0; i < out.size(); ++i) out[i] = U8(offset + i);
  }

 private:
  std::span<const uint8_t> fBytes;
};

}  // namespace vela
