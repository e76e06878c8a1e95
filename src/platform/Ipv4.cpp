#include "platform/Ipv4.h"

#include <cstring>

#include "platform/Endian.h"

namespace vela {

std::optional<uint32_t> ParseIpv4(QStringView text) {
  uint32_t ip = 0;
  int parts = 0;
  qsizetype pos = 0;
  const qsizetype size = text.size();
  while (true) {
    // One part: 1 to 3 ASCII digits, no leading zero unless the part is "0".
    const qsizetype start = pos;
    uint32_t value = 0;
    while (pos < size && pos - start < 4 && text[pos] >= u'0' && text[pos] <= u'9') {
      value = value * 10 + static_cast<uint32_t>(text[pos].unicode() - u'0');
      ++pos;
    }
    const qsizetype digits = pos - start;
    if (digits == 0 || digits > 3 || value > 255) return std::nullopt;
    if (digits > 1 && text[start] == u'0') return std::nullopt;
    ip = (ip << 8) | value;
    if (++parts == 4) break;
    if (pos >= size || text[pos] != u'.') return std::nullopt;
    ++pos;
  }
  if (pos != size) return std::nullopt;  // anything after the fourth number
  return ip;
}

QString Ipv4Text(uint32_t ip) {
  return QStringLiteral("%1.%2.%3.%4").arg(ip >> 24).arg((ip >> 16) & 0xFF).arg((ip >> 8) & 0xFF).arg(ip & 0xFF);
}

uint32_t Ipv4ToNetworkOrder(uint32_t ip) {
  uint8_t bytes[4];
  PutBE32(bytes, ip);
  uint32_t networkOrder;
  std::memcpy(&networkOrder, bytes, 4);
  return networkOrder;
}

uint32_t Ipv4FromNetworkOrder(uint32_t networkOrder) {
  uint8_t bytes[4];
  std::memcpy(bytes, &networkOrder, 4);
  return GetBE32(bytes);
}

uint32_t InetAddr(QStringView text) {
  const auto ip = ParseIpv4(text);
  return ip ? Ipv4ToNetworkOrder(*ip) : kIpv4None;
}

QString InetNtoa(uint32_t networkOrder) { return Ipv4Text(Ipv4FromNetworkOrder(networkOrder)); }

int MaskPrefixLength(uint32_t mask) {
  if (!IsContiguousMask(mask)) return -1;
  int ones = 0;
  for (uint32_t bit = 0x80000000u; bit != 0 && (mask & bit) != 0; bit >>= 1) ++ones;
  return ones;
}

TIpv4Class ClassifyIpv4(uint32_t ip) {
  const uint32_t a = ip >> 24;
  const uint32_t ab = ip >> 16;
  const uint32_t abc = ip >> 8;
  if (ip == 0) return TIpv4Class::LocalHost;
  if (a == 0) return TIpv4Class::LocalNetwork;
  if (a == 10 || (ab >= 0xAC10 && ab <= 0xAC1F) || ab == 0xC0A8) return TIpv4Class::PrivateNetwork;
  if (a == 127) return TIpv4Class::Loopback;
  if (ab == 0x8000 || abc == 0xBFFFFF || abc == 0xC00000 || abc == 0xDFFFFF) return TIpv4Class::Reserved;
  if (a >= 224 && a <= 239) return TIpv4Class::Multicast;
  if (ip == 0xFFFFFFFFu) return TIpv4Class::GlobalBroadcast;
  if (a >= 240) return TIpv4Class::FutureUse;
  return TIpv4Class::InternetHost;
}

QString Ipv4ClassText(TIpv4Class addressClass) {
  switch (addressClass) {
    case TIpv4Class::LocalHost: return QStringLiteral("local host");
    case TIpv4Class::LocalNetwork: return QStringLiteral("local network");
    case TIpv4Class::PrivateNetwork: return QStringLiteral("private network");
    case TIpv4Class::Loopback: return QStringLiteral("loopback");
    case TIpv4Class::Reserved: return QStringLiteral("reserved");
    case TIpv4Class::Multicast: return QStringLiteral("multicast");
    case TIpv4Class::FutureUse: return QStringLiteral("future use");
    case TIpv4Class::GlobalBroadcast: return QStringLiteral("global broadcast");
    case TIpv4Class::InternetHost: return QStringLiteral("internet host");
  }
  return QStringLiteral("??");
}

bool IsUnicastTargetClass(TIpv4Class addressClass) {
  return addressClass == TIpv4Class::PrivateNetwork || addressClass == TIpv4Class::InternetHost;
}

}  // namespace vela
