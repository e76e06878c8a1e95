#pragma once
// IPv4 addresses as text and numbers, the address classes the unicast target
// check needs, and the plain settings that the IP dialogs edit.
//
// An address is held as a 32-bit number with the first octet in the top byte
// (the form QHostAddress::toIPv4Address() gives and the box protocol code
// uses). Where a value must look like the socket API's network-order number
// (its bytes in memory first octet first), convert with Ipv4ToNetworkOrder.
//
// Dotted text is read strictly: exactly four decimal numbers 0..255 joined by
// ".", ASCII digits only, no signs, blanks, empty parts, hexadecimal, octal
// (a part with a leading zero) or anything after the fourth number. The
// classic parsers read "010" as 8 and "1.2.3" as 1.2.0.3; guessing like that
// would send a box an address nobody typed, so such texts are refused.
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace vela {

// ---- Text and numbers ----------------------------------------------------------

// The address of a strict dotted-quad text; nothing for any other text.
std::optional<uint32_t> ParseIpv4(QStringView text);
inline bool IsIpv4Text(QStringView text) { return ParseIpv4(text).has_value(); }
// "a.b.c.d" in decimal without leading zeros.
QString Ipv4Text(uint32_t ip);

// Byte order of the socket API: the number whose bytes in memory are the
// octets first octet first, whatever the machine's own byte order.
uint32_t Ipv4ToNetworkOrder(uint32_t ip);
uint32_t Ipv4FromNetworkOrder(uint32_t networkOrder);

// The value inet_addr gives for a text it cannot read (255.255.255.255).
constexpr uint32_t kIpv4None = 0xFFFFFFFFu;
// inet_addr over the strict reading: the network-order address, or kIpv4None.
// Note that the text "255.255.255.255" gives the same value.
uint32_t InetAddr(QStringView text);
// inet_ntoa: the dotted text of a network-order address.
QString InetNtoa(uint32_t networkOrder);

// ---- Subnet masks ---------------------------------------------------------------

// Ones from the top bit down, then only zeros (0.0.0.0 and 255.255.255.255 included).
constexpr bool IsContiguousMask(uint32_t mask) {
  const uint32_t inverted = ~mask;
  return (inverted & (inverted + 1)) == 0;  // ~mask must be 2^k - 1
}
// The number of leading ones of a contiguous mask; -1 for any other value.
int MaskPrefixLength(uint32_t mask);

// ---- Address classes -------------------------------------------------------------
// How the unicast target check sorts an address (first match wins).

enum class TIpv4Class : uint8_t {
  LocalHost,        // 0.0.0.0
  LocalNetwork,     // 0.x.x.x other than 0.0.0.0
  PrivateNetwork,   // 10/8, 172.16/12, 192.168/16
  Loopback,         // 127/8
  Reserved,         // 128.0/16, 191.255.255/24, 192.0.0/24, 223.255.255/24
  Multicast,        // 224.0.0.0 to 239.255.255.255
  FutureUse,        // 240.0.0.0 to 255.255.255.254
  GlobalBroadcast,  // 255.255.255.255
  InternetHost,     // every other address
};

TIpv4Class ClassifyIpv4(uint32_t ip);
// "local host", "local network", "private network", "loopback", "reserved",
// "multicast", "future use", "global broadcast", "internet host".
QString Ipv4ClassText(TIpv4Class addressClass);
// Whether a box can send unicast data to an address of this class: private
// networks and internet hosts only. The 0.x.x.x range means "this network"
// and cannot be a destination, so it is refused too.
bool IsUnicastTargetClass(TIpv4Class addressClass);

// ---- What the IP dialogs edit ------------------------------------------------------
// Plain values, so that the box model can hand them to the dialogs through a
// hook without knowing any widget.

// A box's stored IP settings, used after its next start.
struct TIpSettings {
  uint32_t DefaultIp = 0;  // first octet in the top byte
  uint32_t Mask = 0;       // first octet in the top byte
  uint8_t Dhcp = 0;        // DHCP setting byte: 0 fixed address, 1..9 DHCP with fall-back
  bool operator==(const TIpSettings&) const = default;
};

// How one port distributes its DMX pool output.
struct TUnicastTarget {
  bool Unicast = false;  // true: to Address only; false: multicast
  uint32_t Address = 0;  // first octet in the top byte
  bool operator==(const TUnicastTarget&) const = default;
};

}  // namespace vela
