#pragma once
// The vocabulary of the Tyx box UDP protocol: transport constants, the box,
// protocol and port-mode enumerations, the 59-byte port setup record, and the
// texts and numbers derived from MAC addresses, firmware versions and the DHCP
// setting byte. Commands are built in TyxCommands.h, reports parsed in
// TyxReports.h.
//
// IPv4 addresses are held as 32-bit numbers with the first octet in the top
// byte (the form QHostAddress::toIPv4Address() gives). On the wire they travel
// first octet first (big-endian), except the subnet mask of the IP settings,
// which travels as a little-endian number (255.255.0.0 as 00 00 FF FF).
#include <QByteArray>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vela {

// ---- Transport ------------------------------------------------------------

constexpr uint16_t kTyxStatusPort = 37895;    // status reports in; commands and polls out
constexpr uint16_t kTyxAnnouncePort = 57923;  // announcements of uninitialised boxes in
constexpr const char* kTyxStatusGroup = "237.1.1.1";
constexpr const char* kTyxAnnounceGroup = "237.1.1.2";
constexpr int kTyxMulticastTtl = 128;
constexpr int kTyxReceiveBufferSize = 2048;  // longer datagrams are cut to this by the receiver
constexpr int kTyxPollIntervalMs = 1000;

// ---- Enumerations -----------------------------------------------------------
// Each is one byte on the wire. The fixed underlying type lets a field hold any
// byte a box sends, so records read and written back are byte-identical.

enum TTyxKind : uint8_t {
  E_Tyx2_10 = 0,
  E_Tyx8_10 = 1,
  E_Tyx2_100_Uninitialized = 2,
  E_Tyx2_100 = 3,
};

enum TTyxProts : uint8_t {
  tyxp_none = 0,
  tyxp_internal = 1,
  tyxp_VelaPool = 2,
  tyxp_VelaNetNode = 3,
  tyxp_ArtNet = 4,
  tyxp_HorizonWyg = 5,
  tyxp_Compulite = 6,
  tyxp_AvabIpx = 7,
  tyxp_Pathport = 8,
  tyxp_ShowNet = 9,
  tyxp_Hydra = 10,
  tyxp_Patched1 = 11,
  tyxp_Thru = 12,
  tyxp_VelaIpx = 13,
  tyxp_ACNLite = 14,
  tyxp_ColorNet = 15,
  tyxp_ACNLiteFinal = 16,
  tyxp_notdefined = 17,
};

enum TEboxPortMode : uint8_t {
  P_Disabled = 0,
  P_Dmx_Out = 1,
  P_Dmx_In = 2,
  P_MidiOut = 3,
  P_Midi_In = 4,
  P_DmxFromEther = 5,
};

// "TYX2-10", "TYX8", "Uninitialized", "TYX2-10/100"; "??" for a value outside the enumeration.
QString TyxKindText(TTyxKind kind);
// 2 for the two-port kinds, 8 for TYX8, 0 for Uninitialized and unknown values.
int TyxKindPortCount(TTyxKind kind);

// ---- MAC address --------------------------------------------------------------

using TEmac = std::array<uint8_t, 6>;  // wire order

// All six bytes as upper-case hexadecimal pairs joined by ":" ("00:1A:2B:3C:4D:5E").
QString MacText(const TEmac& mac);
// The short MAC text of a box: bytes 3, 4 and 5 only ("3C:4D:5E").
QString MacName(const TEmac& mac);
// The box's serial number: bytes 3, 4 and 5 as one big-endian 24-bit number.
uint32_t SerialNo(const TEmac& mac);
// A two-port box is a TYX2-10 when MAC byte 3 is 0x10, a TYX2-10/100 otherwise.
TTyxKind TwoPortKindFromMac(const TEmac& mac);

// ---- Firmware version ---------------------------------------------------------

using TFirmVer = std::array<uint8_t, 4>;  // wire order

// The version number V: the four bytes read as one little-endian number.
uint32_t FirmVersion(const TFirmVer& version);
// V of the version whose text is "major.minor.release.build".
constexpr uint32_t MakeFirmVersion(uint8_t major, uint8_t minor, uint8_t release, uint8_t build) {
  return (static_cast<uint32_t>(major) << 24) | (static_cast<uint32_t>(minor) << 16) |
         (static_cast<uint32_t>(release) << 8) | build;
}
// Version text: the bytes of V from the most significant down, joined by "."
// (so the last byte on the wire comes first).
QString FirmVersionText(uint32_t version);
QString FirmVersionText(const TFirmVer& version);

constexpr uint32_t kFirmDmxInAnyProtocol = MakeFirmVersion(1, 0, 5, 0);
constexpr uint32_t kFirmCompressed = MakeFirmVersion(1, 5, 4, 0);
constexpr uint32_t kFirmLastWithoutUnicast = MakeFirmVersion(1, 5, 7, 0);

// A DMX-in port may use a protocol other than the DMX pool (1.0.5.0 and later).
constexpr bool DmxInAnyProtocol(uint32_t version) { return version >= kFirmDmxInAnyProtocol; }
// The box accepts compressed DMX pool data (1.5.4.0 and later).
constexpr bool CanCompressed(uint32_t version) { return version >= kFirmCompressed; }
// The box accepts DMX pool data by unicast (1.5.7.1 and later).
constexpr bool CanVelaUnicastOutput(uint32_t version) { return version > kFirmLastWithoutUnicast; }

// ---- DHCP setting byte ---------------------------------------------------------
// 0 is a fixed address; n = 1..9 is DHCP with a fall-back to the default address
// after 2^(n+1) - 2 seconds. The operator picks the byte from a list of 10 entries.

constexpr int kDhcpSettingCount = 10;
constexpr bool DhcpEnabled(uint8_t setting) { return setting != 0; }
// Seconds before the fall-back: 2, 6, ... 1022 for settings 1..9; 0 for any other value.
constexpr int DhcpFallbackSeconds(uint8_t setting) {
  return setting >= 1 && setting < kDhcpSettingCount ? (2 << setting) - 2 : 0;
}
// The list entry that shows a setting: the setting itself, or entry 2 for values beyond the list.
constexpr int DhcpListIndex(uint8_t setting) { return setting < kDhcpSettingCount ? setting : 2; }

// ---- Port setup record ------------------------------------------------------------

// The setup of one box port: the same 59-byte layout in status reports, in setup
// commands and in the box object. Multi-byte fields are little-endian except
// SourceIP (first octet first).
struct TOnePortSetup {
  static constexpr int kSize = 59;
  using TBytes = std::array<uint8_t, kSize>;

  TTyxProts EProtocol = tyxp_none;       // 0: network protocol of the port
  TEboxPortMode Direction = P_Disabled;  // 1: port mode
  uint8_t Termination = 0;               // 2: line termination on (1) or off (0)
  uint8_t DmxSpeed = 0;                  // 3: carried unchanged
  uint8_t SubNet = 0;                    // 4: subnet, group or net, by protocol
  uint16_t Universe = 0;                 // 5: universe, or start channel when fUniverseIsChannel
  uint8_t fUniverseIsChannel = 0;        // 7: 1 when Universe holds a channel number
  uint32_t SourceIP = 0;                 // 8: unicast partner, first octet in the top byte
  uint8_t Unicast = 0;                   // 12: 1 when the port uses unicast to SourceIP
  uint16_t DSize = 0;                    // 13: number of DMX channels, at most 512
  uint8_t Timeout = 0;                   // 15: time-out setting
  std::array<uint8_t, 43> SourceName{};  // 16: carried unchanged

  // Reads a record from the first 59 bytes; bytes missing from a shorter range read as zero.
  static TOnePortSetup FromBytes(std::span<const uint8_t> bytes);
  TBytes ToBytes() const;
  void WriteTo(std::span<uint8_t, kSize> out) const;

  // Field-wise equality; since every byte maps to exactly one field value, it is
  // the same as comparing the two records byte for byte.
  bool operator==(const TOnePortSetup&) const = default;
};

// The protocol a port effectively uses: a DMX-in port on firmware older than
// 1.0.5.0 always uses the DMX pool, whatever its record says.
TTyxProts EffectivePortProtocol(const TOnePortSetup& setup, uint32_t version);

// ---- Box name field ------------------------------------------------------------------
// 32 bytes: a length byte (0..31) and the characters in the ANSI code page
// (Windows-1252); the bytes after the last character are zero.

constexpr int kTyxNameFieldSize = 32;
constexpr int kTyxMaxNameLength = 31;
using TTyxNameField = std::array<uint8_t, kTyxNameFieldSize>;

// The field for a name: trimmed of surrounding blanks (spaces and control
// characters), cut to 31 characters; unmappable characters become '?'.
TTyxNameField MakeNameField(const QString& name);
// Reads a name field. A length byte above 31 reads as 31, so the name never runs
// into the next field; characters missing from a short `field` are not taken.
QString ReadNameField(std::span<const uint8_t> field);

// ---- Byte helpers --------------------------------------------------------------------

inline std::span<const uint8_t> BytesOf(const QByteArray& bytes) {
  return {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())};
}

}  // namespace vela
