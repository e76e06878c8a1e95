#include "boxsim/CommandText.h"

#include <QHostAddress>
#include <QStringList>
#include <iterator>

#include "platform/Endian.h"

namespace boxsim {

using namespace vela;

namespace {

QString Ip(uint32_t address) { return QHostAddress(address).toString(); }

QString DescribeCommand(const TTyxCommandPacket& command) {
  const QByteArray& data = command.Data;
  const auto* p = reinterpret_cast<const uint8_t*>(data.constData());
  switch (command.Command) {
    case TC_PortSetup2:
    case TC_PortSetup8: {
      const int ports = command.Command == TC_PortSetup8 ? 8 : 2;
      QStringList parts;
      const auto bytes = BytesOf(data);
      for (int i = 0; i < ports; ++i) {
        const size_t at = static_cast<size_t>(kTyxSetupReservedSize + i * TOnePortSetup::kSize);
        if (at + TOnePortSetup::kSize > bytes.size()) break;
        parts << QStringLiteral("port %1 %2")
                     .arg(i)
                     .arg(DescribePortSetup(TOnePortSetup::FromBytes(bytes.subspan(at, TOnePortSetup::kSize))));
      }
      return QStringLiteral("port setup (%1 ports): %2").arg(ports).arg(parts.join(QStringLiteral("; ")));
    }
    case TC_SetName: return QStringLiteral("set name \"%1\"").arg(ReadNameField(BytesOf(data)));
    case TC_Identify: return QStringLiteral("identify");
    case TC_SetIp:
      if (data.size() < kTyxSetIpDataSize)
        return QStringLiteral("set IP settings (short: %1 data bytes)").arg(data.size());
      return QStringLiteral("set IP settings: default %1 mask %2 DHCP %3")
          .arg(Ip(GetBE32(p)), Ip(GetLE32(p + 4)))
          .arg(p[8]);
    case TC_Leds:
      if (data.isEmpty()) return QStringLiteral("LEDs (no data)");
      return p[0] != 0 ? QStringLiteral("LEDs on (%1)").arg(p[0]) : QStringLiteral("LEDs off");
    case TC_WebAdmin:
      if (data.isEmpty()) return QStringLiteral("web administration (no data)");
      return p[0] != 0 ? QStringLiteral("web administration disabled") : QStringLiteral("web administration enabled");
    case TC_Flash: return QStringLiteral("flash");
    default: return QStringLiteral("unknown command %1 (%2 data bytes)").arg(command.Command).arg(data.size());
  }
}

}  // namespace

QString HexBytes(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex(' ').toUpper()); }

QString PortModeName(TEboxPortMode mode) {
  switch (mode) {
    case P_Disabled: return QStringLiteral("P_Disabled");
    case P_Dmx_Out: return QStringLiteral("P_Dmx_Out");
    case P_Dmx_In: return QStringLiteral("P_Dmx_In");
    case P_MidiOut: return QStringLiteral("P_MidiOut");
    case P_Midi_In: return QStringLiteral("P_Midi_In");
    case P_DmxFromEther: return QStringLiteral("P_DmxFromEther");
  }
  return QStringLiteral("mode %1").arg(static_cast<int>(mode));
}

QString ProtocolName(TTyxProts protocol) {
  static const char* const kNames[] = {
      "tyxp_none",      "tyxp_internal", "tyxp_VelaPool", "tyxp_VelaNetNode", "tyxp_ArtNet",       "tyxp_HorizonWyg",
      "tyxp_Compulite", "tyxp_AvabIpx",  "tyxp_Pathport", "tyxp_ShowNet",     "tyxp_Hydra",        "tyxp_Patched1",
      "tyxp_Thru",      "tyxp_VelaIpx",  "tyxp_ACNLite",  "tyxp_ColorNet",    "tyxp_ACNLiteFinal", "tyxp_notdefined"};
  static_assert(std::size(kNames) == tyxp_notdefined + 1);
  if (protocol <= tyxp_notdefined) return QString::fromLatin1(kNames[protocol]);
  return QStringLiteral("protocol %1").arg(static_cast<int>(protocol));
}

QString DescribePortSetup(const TOnePortSetup& setup) {
  QString text = QStringLiteral("%1 %2 subnet %3 %4 %5 %6 ch term %7 timeout %8")
                     .arg(PortModeName(setup.Direction), ProtocolName(setup.EProtocol))
                     .arg(setup.SubNet)
                     .arg(setup.fUniverseIsChannel ? QStringLiteral("channel") : QStringLiteral("universe"))
                     .arg(setup.Universe)
                     .arg(setup.DSize)
                     .arg(setup.Termination)
                     .arg(setup.Timeout);
  if (setup.Unicast) text += QStringLiteral(" unicast %1").arg(Ip(setup.SourceIP));
  return text;
}

bool IsPoll(const QByteArray& datagram) {
  return datagram.size() == kTyxPollSize && GetLE16(reinterpret_cast<const uint8_t*>(datagram.constData())) == TC_Poll;
}

bool IsStatusReport(const QByteArray& datagram) {
  if (datagram.size() < 2) return false;
  const uint16_t type = GetLE16(reinterpret_cast<const uint8_t*>(datagram.constData()));
  return type == 1 || type == 101;
}

QString DescribeDatagram(const QByteArray& datagram) {
  if (IsPoll(datagram)) return QStringLiteral("poll");
  const auto command = ParseCommandPacket(BytesOf(datagram));
  if (!command) return QStringLiteral("malformed (%1 bytes)").arg(datagram.size());
  return DescribeCommand(*command);
}

}  // namespace boxsim
