#include "platform/Guid.h"

#include "platform/Endian.h"

namespace vela {

bool TGuid::IsNull() const { return *this == TGuid{}; }

QString TGuid::ToText() const {
  QString s = QString::asprintf("%08X-%04X-%04X-%02X%02X-", D1, D2, D3, D4[0], D4[1]);
  for (int i = 2; i < 8; ++i) s += QString::asprintf("%02X", D4[i]);
  return s;
}

std::array<uint8_t, 16> TGuid::ToBytes() const {
  std::array<uint8_t, 16> b{};
  PutLE32(b.data(), D1);
  PutLE16(b.data() + 4, D2);
  PutLE16(b.data() + 6, D3);
  for (int i = 0; i < 8; ++i) b[8 + i] = D4[i];
  return b;
}

TGuid TGuid::FromBytes(const uint8_t* bytes) {
  TGuid g;
  g.D1 = GetLE32(bytes);
  g.D2 = GetLE16(bytes + 4);
  g.D3 = GetLE16(bytes + 6);
  for (int i = 0; i < 8; ++i) g.D4[i] = bytes[8 + i];
  return g;
}

}  // namespace vela
