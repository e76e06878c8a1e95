#pragma once
// Datagrams the tool sends to Tyx boxes: command packets (a code, the target
// box's MAC and up to 1024 data bytes), the 4-byte poll of WAN boxes and the
// raw box packet record. Building a packet sends nothing; the box manager does.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "devices/TyxProtocol.h"

namespace vela {

// Command codes. None of them is 1 or 101, so the tool's own multicast commands
// that come back to the status socket are never taken for status reports.
enum TTyxCommand : uint16_t {
  TC_Poll = 0,
  TC_PortSetup2 = 2,    // port setup of a two-port box, 122 data bytes
  TC_SetName = 4,       // 32 data bytes: the name field
  TC_Identify = 5,      // no data
  TC_SetIp = 6,         // 9 data bytes; the box restarts with the new settings
  TC_Leds = 7,          // 1 data byte: 255 on, 0 off
  TC_WebAdmin = 11,     // 1 data byte: 1 disabled, 0 enabled
  TC_Flash = 21,        // no data
  TC_PortSetup8 = 102,  // port setup of an eight-port box, 476 data bytes
};

constexpr int kTyxCommandHeaderSize = 8;  // code (LE16) and MAC
constexpr int kTyxMaxCommandData = 1024;
constexpr int kTyxPollSize = 4;
constexpr int kTyxSetupReservedSize = 4;  // zero bytes before the records of a port setup command
constexpr int kTyxSetIpDataSize = 9;
// The source unit named by the assertion failures of this module.
constexpr const char* kTyxAssertUnit = "tyxbox/TyxBoxes";

// A command packet of 8 + data.size() bytes. More than 1024 data bytes is a
// programming error: raises EVelaAssertion("Assertion failure", "tyxbox/TyxBoxes").
QByteArray BuildCommand(uint16_t code, const TEmac& mac, std::span<const uint8_t> data = {});

// Command 2 (two-port kinds) or 102 (TYX8) with 4 reserved zero bytes and one
// record per port of the kind; none for Uninitialized or an unknown kind.
// `ports` must hold exactly the kind's port count (else EVelaAssertion).
std::optional<QByteArray> BuildPortSetupCommand(TTyxKind kind, const TEmac& mac, std::span<const TOnePortSetup> ports);
// Command 4 with the name field (trimmed, cut to 31 characters).
QByteArray BuildSetNameCommand(const TEmac& mac, const QString& name);
// Command 5.
QByteArray BuildIdentifyCommand(const TEmac& mac);
// Command 6: default IP (first octet first), mask (little-endian number), DHCP setting byte.
QByteArray BuildSetIpCommand(const TEmac& mac, uint32_t defaultIp, uint32_t defaultMask, uint8_t dhcpSetting);
// Command 7 with 255 when on (any non-zero LED level), else 0.
QByteArray BuildLedsCommand(const TEmac& mac, bool on);
// Command 11 with 1 when web administration is to be disabled, else 0.
QByteArray BuildWebAdminCommand(const TEmac& mac, bool disabled);
// Command 21.
QByteArray BuildFlashCommand(const TEmac& mac);
// The poll of a WAN box: code 0 and two reserved zero bytes.
QByteArray BuildPoll();

// A complete box packet for senders that build one themselves.
struct TVelaBoxPacket {
  static constexpr int kSize = kTyxCommandHeaderSize + kTyxMaxCommandData;  // 1032

  uint16_t Command = 0;                            // 0: little-endian
  TEmac mac{};                                     // 2
  std::array<uint8_t, kTyxMaxCommandData> Data{};  // 8

  // The first `length` bytes of the record's wire form. A length outside
  // 0..1032 is a programming error (EVelaAssertion).
  QByteArray ToBytes(int length = kSize) const;
};

// A command packet as a box receives it (for simulated boxes and checks of what
// the tool sends).
struct TTyxCommandPacket {
  uint16_t Command = 0;
  TEmac Mac{};
  QByteArray Data;
};
// Splits a datagram into header and data; none when it is shorter than the
// header or carries more than 1024 data bytes.
std::optional<TTyxCommandPacket> ParseCommandPacket(std::span<const uint8_t> datagram);

}  // namespace vela
