#include "boxsim/SimBox.h"

#include <QHostAddress>
#include <QStringList>

#include "devices/TyxReports.h"
#include "platform/Endian.h"

namespace boxsim {

using namespace vela;

namespace {

TCommandOutcome Applied(const QString& text = QStringLiteral("applied")) { return {true, false, text}; }
TCommandOutcome Ignored(const QString& why) { return {false, false, QStringLiteral("ignored: ") + why}; }

// The setup a freshly configured box starts with: every port DMX out on the DMX pool.
TOnePortSetup FactoryPortSetup(int port) {
  TOnePortSetup setup;
  setup.EProtocol = tyxp_VelaPool;
  setup.Direction = P_Dmx_Out;
  setup.Universe = static_cast<uint16_t>(port + 1);
  setup.DSize = 512;
  setup.Timeout = 3;
  return setup;
}

// Why the firmware would not take a record, or an empty text when it would.
QString RecordProblem(const TOnePortSetup& setup) {
  if (setup.Direction > P_DmxFromEther) return QStringLiteral("unknown port mode %1").arg(setup.Direction);
  if (setup.EProtocol >= tyxp_notdefined) return QStringLiteral("unknown protocol %1").arg(setup.EProtocol);
  if (setup.DSize > 512) return QStringLiteral("%1 channels is more than 512").arg(setup.DSize);
  return {};
}

}  // namespace

TSimBox::TSimBox(TTyxKind kind, const TEmac& mac, uint32_t address) : fKind(kind), fMac(mac), fAddress(address) {
  Ports.resize(static_cast<size_t>(TyxKindPortCount(kind)));
}

QString TSimBox::Label(int index) const {
  return QStringLiteral("box %1 %2 %3 %4")
      .arg(index)
      .arg(TyxKindText(fKind), MacText(fMac), QHostAddress(fAddress).toString());
}

QByteArray TSimBox::NextStatusReport() {
  if (Uninitialised()) return {};
  TTyxStatusReport report;
  report.ReportType = fKind == E_Tyx8_10 ? RT_EightPortBox : RT_TwoPortBox;
  report.Mac = fMac;
  report.SVersion = Version;
  report.Ports = Ports;
  report.Name = Name;
  report.DefaultIp = DefaultIp;
  report.DefaultMask = DefaultMask;
  report.UseDHCP = UseDHCP;
  report.LedsLevel = LedsLevel;
  report.WebDisabled = WebDisabled;
  report.NeedReboot = NeedReboot;
  report.Debug1 = ++fReportCount;
  return BuildStatusReport(report);
}

QByteArray TSimBox::Announcement() const { return BuildAnnouncement(fMac, Name); }

TCommandOutcome TSimBox::Apply(const TTyxCommandPacket& command, int restartMs) {
  const QByteArray& data = command.Data;
  switch (command.Command) {
    case TC_PortSetup2:
    case TC_PortSetup8: return ApplyPortSetup(command);
    case TC_SetName:
      if (data.isEmpty()) return Ignored(QStringLiteral("no name field"));
      Name = ReadNameField(BytesOf(data));
      return Applied();
    case TC_Identify: return Applied(QStringLiteral("identifying: LEDs blink"));
    case TC_SetIp: return ApplySetIp(command, restartMs);
    case TC_Leds:
      if (data.isEmpty()) return Ignored(QStringLiteral("no LED byte"));
      LedsLevel = static_cast<uint8_t>(data[0]);
      return Applied();
    case TC_WebAdmin: {
      if (data.isEmpty()) return Ignored(QStringLiteral("no web administration byte"));
      const bool disabled = data[0] != 0;
      // The web server starts or stops with the next restart only.
      if (disabled != WebDisabled) NeedReboot = true;
      WebDisabled = disabled;
      return Applied();
    }
    case TC_Flash: return Applied(QStringLiteral("flash requested (no firmware is written)"));
    default: return Ignored(QStringLiteral("unknown command %1").arg(command.Command));
  }
}

TCommandOutcome TSimBox::ApplyPortSetup(const TTyxCommandPacket& command) {
  const int count = TyxKindPortCount(fKind);
  if (count == 0) return Ignored(QStringLiteral("an uninitialised box has no ports"));
  const uint16_t expected = count == 8 ? TC_PortSetup8 : TC_PortSetup2;
  if (command.Command != expected) {
    return Ignored(QStringLiteral("a %1 takes port setups as command %2").arg(TyxKindText(fKind)).arg(expected));
  }
  const qsizetype needed = kTyxSetupReservedSize + count * TOnePortSetup::kSize;
  if (command.Data.size() < needed) {
    return Ignored(QStringLiteral("%1 data bytes, a port setup needs %2").arg(command.Data.size()).arg(needed));
  }
  const auto bytes = BytesOf(command.Data);
  QStringList refused;
  for (int i = 0; i < count; ++i) {
    const auto record = TOnePortSetup::FromBytes(
        bytes.subspan(static_cast<size_t>(kTyxSetupReservedSize + i * TOnePortSetup::kSize), TOnePortSetup::kSize));
    const QString problem = RecordProblem(record);
    if (problem.isEmpty()) {
      Ports[static_cast<size_t>(i)] = record;
    } else {
      refused << QStringLiteral("port %1 refused (%2)").arg(i).arg(problem);
    }
  }
  if (refused.isEmpty()) return Applied();
  return {refused.size() < count, false, QStringLiteral("partly applied: ") + refused.join(QStringLiteral(", "))};
}

TCommandOutcome TSimBox::ApplySetIp(const TTyxCommandPacket& command, int restartMs) {
  if (command.Data.size() < kTyxSetIpDataSize) {
    return Ignored(
        QStringLiteral("%1 data bytes, IP settings need %2").arg(command.Data.size()).arg(kTyxSetIpDataSize));
  }
  const auto* p = reinterpret_cast<const uint8_t*>(command.Data.constData());
  DefaultIp = GetBE32(p);
  DefaultMask = GetLE32(p + 4);
  UseDHCP = p[8];
  if (Uninitialised()) fConfigured = true;
  fRestarting = true;
  // The box keeps its loopback address: the simulator never leaves 127.0.0.0/8.
  return {true, true, QStringLiteral("restarting for %1 ms").arg(restartMs)};
}

void TSimBox::FinishRestart() {
  fRestarting = false;
  NeedReboot = false;
  if (Uninitialised() && fConfigured) {
    fKind = E_Tyx2_100;
    Ports.clear();
    for (int i = 0; i < TyxKindPortCount(fKind); ++i) Ports.push_back(FactoryPortSetup(i));
  }
}

}  // namespace boxsim
