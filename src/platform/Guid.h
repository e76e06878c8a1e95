#pragma once
// A 16-byte GUID in memory order: 32-bit, 16-bit, 16-bit, then 8 bytes.
#include <QString>
#include <array>
#include <cstdint>

namespace vela {

struct TGuid {
  uint32_t D1 = 0;
  uint16_t D2 = 0;
  uint16_t D3 = 0;
  std::array<uint8_t, 8> D4{};

  bool IsNull() const;
  bool operator==(const TGuid&) const = default;
  // Registry form without the braces: XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX.
  QString ToText() const;
  // The 16 bytes as they lie in memory (little-endian words).
  std::array<uint8_t, 16> ToBytes() const;
  static TGuid FromBytes(const uint8_t* bytes);
};

}  // namespace vela
