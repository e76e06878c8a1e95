#include "devices/TyxCommands.h"

#include <algorithm>
#include <vector>

#include "platform/Assertion.h"
#include "platform/Endian.h"

namespace vela {

namespace {

QByteArray OneByteCommand(uint16_t code, const TEmac& mac, uint8_t value) {
  const std::array<uint8_t, 1> data{value};
  return BuildCommand(code, mac, data);
}

}  // namespace

QByteArray BuildCommand(uint16_t code, const TEmac& mac, std::span<const uint8_t> data) {
  VelaAssert(data.size() <= kTyxMaxCommandData, QStringLiteral("Assertion failure"),
             QString::fromLatin1(kTyxAssertUnit));
  QByteArray packet(static_cast<qsizetype>(kTyxCommandHeaderSize + data.size()), '\0');
  auto* p = reinterpret_cast<uint8_t*>(packet.data());
  PutLE16(p, code);
  std::copy(mac.begin(), mac.end(), p + 2);
  std::copy(data.begin(), data.end(), p + kTyxCommandHeaderSize);
  return packet;
}

std::optional<QByteArray> BuildPortSetupCommand(TTyxKind kind, const TEmac& mac, std::span<const TOnePortSetup> ports) {
  const int count = TyxKindPortCount(kind);
  if (count == 0) return std::nullopt;
  VelaAssert(
      ports.size() == static_cast<size_t>(count),
      QStringLiteral("Port setup of a %1 needs %2 records, got %3").arg(TyxKindText(kind)).arg(count).arg(ports.size()),
      QString::fromLatin1(kTyxAssertUnit));
  std::vector<uint8_t> data(kTyxSetupReservedSize + count * TOnePortSetup::kSize, 0);
  for (int i = 0; i < count; ++i) {
    ports[i].WriteTo(std::span<uint8_t, TOnePortSetup::kSize>(
        data.data() + kTyxSetupReservedSize + i * TOnePortSetup::kSize, TOnePortSetup::kSize));
  }
  return BuildCommand(count == 8 ? TC_PortSetup8 : TC_PortSetup2, mac, data);
}

QByteArray BuildSetNameCommand(const TEmac& mac, const QString& name) {
  return BuildCommand(TC_SetName, mac, MakeNameField(name));
}

QByteArray BuildIdentifyCommand(const TEmac& mac) { return BuildCommand(TC_Identify, mac); }

QByteArray BuildSetIpCommand(const TEmac& mac, uint32_t defaultIp, uint32_t defaultMask, uint8_t dhcpSetting) {
  std::array<uint8_t, kTyxSetIpDataSize> data{};
  PutBE32(data.data(), defaultIp);
  PutLE32(data.data() + 4, defaultMask);  // the box reads the mask as a number, lowest octet first
  data[8] = dhcpSetting;
  return BuildCommand(TC_SetIp, mac, data);
}

QByteArray BuildLedsCommand(const TEmac& mac, bool on) { return OneByteCommand(TC_Leds, mac, on ? 255 : 0); }

QByteArray BuildWebAdminCommand(const TEmac& mac, bool disabled) {
  return OneByteCommand(TC_WebAdmin, mac, disabled ? 1 : 0);
}

QByteArray BuildFlashCommand(const TEmac& mac) { return BuildCommand(TC_Flash, mac); }

QByteArray BuildPoll() {
  QByteArray poll(kTyxPollSize, '\0');
  PutLE16(reinterpret_cast<uint8_t*>(poll.data()), TC_Poll);
  return poll;
}

QByteArray TVelaBoxPacket::ToBytes(int length) const {
  VelaAssert(length >= 0 && length <= kSize, QStringLiteral("Assertion failure"), QString::fromLatin1(kTyxAssertUnit));
  std::array<uint8_t, kSize> bytes{};
  PutLE16(bytes.data(), Command);
  std::copy(mac.begin(), mac.end(), bytes.begin() + 2);
  std::copy(Data.begin(), Data.end(), bytes.begin() + kTyxCommandHeaderSize);
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), length);
}

std::optional<TTyxCommandPacket> ParseCommandPacket(std::span<const uint8_t> datagram) {
  if (datagram.size() < kTyxCommandHeaderSize || datagram.size() > kTyxCommandHeaderSize + kTyxMaxCommandData) {
    return std::nullopt;
  }
  TTyxCommandPacket packet;
  packet.Command = GetLE16(datagram.data());
  std::copy_n(datagram.begin() + 2, packet.Mac.size(), packet.Mac.begin());
  const auto data = datagram.subspan(kTyxCommandHeaderSize);
  packet.Data = QByteArray(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
  return packet;
}

}  // namespace vela
