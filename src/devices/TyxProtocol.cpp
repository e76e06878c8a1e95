#include "devices/TyxProtocol.h"

#include <algorithm>

#include "platform/CodePages.h"
#include "platform/Endian.h"

namespace vela {

namespace {

// Offsets inside a port setup record.
constexpr size_t kOffProtocol = 0;
constexpr size_t kOffDirection = 1;
constexpr size_t kOffTermination = 2;
constexpr size_t kOffDmxSpeed = 3;
constexpr size_t kOffSubNet = 4;
constexpr size_t kOffUniverse = 5;
constexpr size_t kOffUniverseIsChannel = 7;
constexpr size_t kOffSourceIp = 8;
constexpr size_t kOffUnicast = 12;
constexpr size_t kOffDSize = 13;
constexpr size_t kOffTimeout = 15;
constexpr size_t kOffSourceName = 16;
static_assert(kOffSourceName + std::tuple_size_v<decltype(TOnePortSetup::SourceName)> == TOnePortSetup::kSize);

QString HexPairs(std::span<const uint8_t> bytes) {
  QString text;
  for (uint8_t b : bytes) {
    if (!text.isEmpty()) text += QLatin1Char(':');
    text += QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
  }
  return text;
}

// Removes leading and trailing blanks: spaces and control characters.
QString TrimBlanks(const QString& text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && text[first].unicode() <= u' ') ++first;
  while (last > first && text[last - 1].unicode() <= u' ') --last;
  return text.mid(first, last - first);
}

}  // namespace

QString TyxKindText(TTyxKind kind) {
  switch (kind) {
    case E_Tyx2_10: return QStringLiteral("TYX2-10");
    case E_Tyx8_10: return QStringLiteral("TYX8");
    case E_Tyx2_100_Uninitialized: return QStringLiteral("Uninitialized");
    case E_Tyx2_100: return QStringLiteral("TYX2-10/100");
  }
  return QStringLiteral("??");
}

int TyxKindPortCount(TTyxKind kind) {
  switch (kind) {
    case E_Tyx2_10:
    case E_Tyx2_100: return 2;
    case E_Tyx8_10: return 8;
    case E_Tyx2_100_Uninitialized: return 0;
  }
  return 0;
}

QString MacText(const TEmac& mac) { return HexPairs(mac); }

QString MacName(const TEmac& mac) { return HexPairs(std::span<const uint8_t>(mac).subspan(3)); }

uint32_t SerialNo(const TEmac& mac) {
  return (static_cast<uint32_t>(mac[3]) << 16) | (static_cast<uint32_t>(mac[4]) << 8) | mac[5];
}

TTyxKind TwoPortKindFromMac(const TEmac& mac) { return mac[3] == 0x10 ? E_Tyx2_10 : E_Tyx2_100; }

uint32_t FirmVersion(const TFirmVer& version) { return GetLE32(version.data()); }

QString FirmVersionText(uint32_t version) {
  return QStringLiteral("%1.%2.%3.%4")
      .arg(version >> 24)
      .arg((version >> 16) & 0xFF)
      .arg((version >> 8) & 0xFF)
      .arg(version & 0xFF);
}

QString FirmVersionText(const TFirmVer& version) { return FirmVersionText(FirmVersion(version)); }

TTyxNameField MakeNameField(const QString& name) {
  const QByteArray chars = StringToAnsi(TrimBlanks(name)).left(kTyxMaxNameLength);
  TTyxNameField field{};
  field[0] = static_cast<uint8_t>(chars.size());
  std::copy(chars.begin(), chars.end(), field.begin() + 1);
  return field;
}

QString ReadNameField(std::span<const uint8_t> field) {
  if (field.empty()) return {};
  const size_t length = std::min<size_t>(field[0], kTyxMaxNameLength);
  const auto chars = field.subspan(1, std::min(length, field.size() - 1));
  return AnsiToString(QByteArray(reinterpret_cast<const char*>(chars.data()), static_cast<qsizetype>(chars.size())));
}

TOnePortSetup TOnePortSetup::FromBytes(std::span<const uint8_t> bytes) {
  const TZeroPaddedReader in(bytes.first(std::min<size_t>(bytes.size(), kSize)));
  TOnePortSetup s;
  s.EProtocol = static_cast<TTyxProts>(in.U8(kOffProtocol));
  s.Direction = static_cast<TEboxPortMode>(in.U8(kOffDirection));
  s.Termination = in.U8(kOffTermination);
  s.DmxSpeed = in.U8(kOffDmxSpeed);
  s.SubNet = in.U8(kOffSubNet);
  s.Universe = in.LE16(kOffUniverse);
  s.fUniverseIsChannel = in.U8(kOffUniverseIsChannel);
  s.SourceIP = in.BE32(kOffSourceIp);
  s.Unicast = in.U8(kOffUnicast);
  s.DSize = in.LE16(kOffDSize);
  s.Timeout = in.U8(kOffTimeout);
  in.Copy(kOffSourceName, s.SourceName);
  return s;
}

void TOnePortSetup::WriteTo(std::span<uint8_t, kSize> out) const {
  uint8_t* p = out.data();
  p[kOffProtocol] = EProtocol;
  p[kOffDirection] = Direction;
  p[kOffTermination] = Termination;
  p[kOffDmxSpeed] = DmxSpeed;
  p[kOffSubNet] = SubNet;
  PutLE16(p + kOffUniverse, Universe);
  p[kOffUniverseIsChannel] = fUniverseIsChannel;
  PutBE32(p + kOffSourceIp, SourceIP);
  p[kOffUnicast] = Unicast;
  PutLE16(p + kOffDSize, DSize);
  p[kOffTimeout] = Timeout;
  std::copy(SourceName.begin(), SourceName.end(), p + kOffSourceName);
}

TOnePortSetup::TBytes TOnePortSetup::ToBytes() const {
  TBytes bytes{};
  WriteTo(bytes);
  return bytes;
}

TTyxProts EffectivePortProtocol(const TOnePortSetup& setup, uint32_t version) {
  if (setup.Direction == P_Dmx_In && !DmxInAnyProtocol(version)) return tyxp_VelaPool;
  return setup.EProtocol;
}

}  // namespace vela
