// The simulator over real UDP sockets on loopback. Each test plays the tool:
// it sends what the tool sends, built with the protocol module, and checks the
// box's next report and the byte-exact log line. Unicast paths need nothing
// but loopback; the tests that need multicast routing on lo skip without it.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSignalSpy>
#include <functional>
#include <set>

#include "ToolSide.h"
#include "boxsim/BoxSimulator.h"
#include "boxsim/CommandText.h"
#include "common/QtPrinters.h"
#include "devices/TyxCommands.h"
#include "devices/TyxReports.h"

namespace boxsim {
namespace {

using namespace vela;
using boxsim_test::kWaitMs;
using boxsim_test::TGroupListener;
using boxsim_test::TToolSocket;

const QHostAddress kStatusGroup(QString::fromLatin1(kTyxStatusGroup));
const QHostAddress kAnnounceGroup(QString::fromLatin1(kTyxAnnounceGroup));
constexpr const char* kNoMulticast =
    "multicast on the loopback interface does not route here (run inside unshare -n with "
    "'ip link set lo up; ip route add 224.0.0.0/4 dev lo')";

class BoxSimulatorTest : public ::testing::Test {
 protected:
  // Free ports of their own, so parallel tests and a tool on the real ports never meet.
  ::testing::AssertionResult Start(std::vector<TTyxKind> kinds, int boxes, int intervalMs = 60'000,
                                   double malformedRate = 0) {
    TBoxSimConfig config;
    config.Kinds = std::move(kinds);
    config.Boxes = boxes;
    config.IntervalMs = intervalMs;
    config.RestartMs = 300;
    config.MalformedRate = malformedRate;
    config.StatusPort = boxsim_test::FreeUdpPort();
    config.AnnouncePort = boxsim_test::FreeUdpPort();
    fSim = std::make_unique<TBoxSimulator>(config, fLog);
    if (fSim->Start()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << fSim->ErrorText().toStdString();
  }
  TBoxSimulator& Sim() { return *fSim; }
  quint16 Port() const { return fSim->Config().StatusPort; }
  QHostAddress BoxIp(int i) const { return QHostAddress(fSim->Box(i).Address()); }

  // Sends `datagram` to box i by unicast and returns the log line it gave.
  QString SendToBox(int i, const QByteArray& datagram) {
    QSignalSpy handled(fSim.get(), &TBoxSimulator::CommandHandled);
    EXPECT_TRUE(fTool.Send(datagram, BoxIp(i), Port()));
    if (!handled.wait(kWaitMs)) return {};
    EXPECT_EQ(handled.first().at(1).toByteArray(), datagram);
    return handled.first().at(2).toString();
  }
  // Polls box i as the tool polls a WAN box and returns its unicast answer.
  std::optional<TTyxStatusReport> Poll(int i) {
    const QString line = SendToBox(i, BuildPoll());
    EXPECT_TRUE(line.contains(QStringLiteral("| 4 bytes | 00 00 00 00 | poll -> answered"))) << line.toStdString();
    const auto datagram = fTool.Next();
    if (!datagram) return std::nullopt;
    EXPECT_EQ(datagram->senderAddress(), BoxIp(i));
    EXPECT_EQ(datagram->senderPort(), Port());
    return ParseStatusReport(datagram->data(), datagram->senderAddress().toIPv4Address());
  }

  TSimLog fLog;
  std::unique_ptr<TBoxSimulator> fSim;
  TToolSocket fTool;
};

TEST_F(BoxSimulatorTest, APollIsAnsweredByAUnicastReportOfTheBoxsKind) {
  ASSERT_TRUE(Start({E_Tyx2_10, E_Tyx2_100, E_Tyx8_10}, 3));
  const std::pair<TTyxKind, size_t> expected[] = {{E_Tyx2_10, 237}, {E_Tyx2_100, 237}, {E_Tyx8_10, 591}};
  for (int i = 0; i < 3; ++i) {
    const auto report = Poll(i);
    ASSERT_TRUE(report) << "box " << i;
    EXPECT_EQ(report->Kind, expected[i].first);
    EXPECT_EQ(report->Length, expected[i].second);
    EXPECT_EQ(report->Mac, Sim().Box(i).Mac());
    EXPECT_EQ(report->SenderIp, 0x7F00000Au + static_cast<uint32_t>(i));
    EXPECT_EQ(report->Ports, Sim().Box(i).Ports);
  }
}

TEST_F(BoxSimulatorTest, ReportsOfOtherBoxesAreIgnoredSilently) {
  ASSERT_TRUE(Start({E_Tyx2_10}, 1));
  TTyxStatusReport other;
  other.Mac = {0x00, 0x50, 0xC2, 0x10, 0x01, 0x02};
  QSignalSpy logged(&fLog, &TSimLog::LineWritten);
  ASSERT_TRUE(fTool.Send(BuildStatusReport(other), BoxIp(0), Port()));
  ASSERT_TRUE(Poll(0));  // the first datagram the box handles is the poll
  EXPECT_EQ(logged.size(), 1);
}

TEST_F(BoxSimulatorTest, AnUninitialisedBoxIgnoresPollsUntilItIsGivenIpSettings) {
  ASSERT_TRUE(Start({E_Tyx2_100_Uninitialized}, 1));
  EXPECT_TRUE(
      SendToBox(0, BuildPoll()).endsWith(QStringLiteral("-> ignored: an uninitialised box sends no status report")));
  QSignalSpy restarted(&Sim(), &TBoxSimulator::BoxRestarted);
  SendToBox(0, BuildSetIpCommand(Sim().Box(0).Mac(), 0x7F00000A, 0xFF000000, 0));
  ASSERT_TRUE(restarted.wait(kWaitMs));
  const auto report = Poll(0);
  ASSERT_TRUE(report);
  EXPECT_EQ(report->ReportType, RT_TwoPortBox);
  EXPECT_EQ(report->Kind, E_Tyx2_100);
}

// A command the tool sends, what the log says of it, and what the next report shows.
struct TCommandCase {
  const char* Name;
  TTyxKind Kind;
  std::function<QByteArray(const TEmac&)> Build;
  const char* Meaning;
  std::function<void(const TTyxStatusReport&)> Check;
};

std::vector<TOnePortSetup> Setup(int count, TTyxProts protocol) {
  std::vector<TOnePortSetup> ports(static_cast<size_t>(count));
  for (size_t i = 0; i < ports.size(); ++i) {
    ports[i].EProtocol = protocol;
    ports[i].Direction = i % 2 ? P_Dmx_In : P_Dmx_Out;
    ports[i].SubNet = 2;
    ports[i].Universe = static_cast<uint16_t>(10 + i);
    ports[i].DSize = 512;
    ports[i].Termination = 1;
  }
  return ports;
}

const TCommandCase kCommandCases[] = {
    {"Name", E_Tyx2_10, [](const TEmac& m) { return BuildSetNameCommand(m, QStringLiteral("  Stage Left  ")); },
     "set name \"Stage Left\" -> applied",
     [](const TTyxStatusReport& r) { EXPECT_EQ(r.Name, QStringLiteral("Stage Left")); }},
    {"PortSetupTwoPorts", E_Tyx2_100,
     [](const TEmac& m) { return *BuildPortSetupCommand(E_Tyx2_100, m, Setup(2, tyxp_ShowNet)); },
     "port setup (2 ports): port 0 P_Dmx_Out tyxp_ShowNet subnet 2 universe 10",
     [](const TTyxStatusReport& r) { EXPECT_EQ(r.Ports, Setup(2, tyxp_ShowNet)); }},
    {"PortSetupEightPorts", E_Tyx8_10,
     [](const TEmac& m) { return *BuildPortSetupCommand(E_Tyx8_10, m, Setup(8, tyxp_ACNLite)); },
     "port 7 P_Dmx_In tyxp_ACNLite subnet 2 universe 17 512 ch term 1 timeout 0 -> applied",
     [](const TTyxStatusReport& r) { EXPECT_EQ(r.Ports, Setup(8, tyxp_ACNLite)); }},
    {"LedsOff", E_Tyx8_10, [](const TEmac& m) { return BuildLedsCommand(m, false); }, "LEDs off -> applied",
     [](const TTyxStatusReport& r) { EXPECT_EQ(r.LedsLevel, 0); }},
    {"WebAdmin", E_Tyx2_10, [](const TEmac& m) { return BuildWebAdminCommand(m, true); },
     "web administration disabled -> applied", [](const TTyxStatusReport& r) { EXPECT_TRUE(r.WebDisabled); }},
    {"Identify", E_Tyx2_10, [](const TEmac& m) { return BuildIdentifyCommand(m); }, "identify -> identifying", nullptr},
    {"Flash", E_Tyx8_10, [](const TEmac& m) { return BuildFlashCommand(m); }, "flash -> flash requested", nullptr},
    {"OtherMac", E_Tyx2_10,
     [](const TEmac&) {
       return BuildSetNameCommand({2, 0x56, 0x4C, 0x10, 0x7F, 0x7F}, QStringLiteral("Other"));
     },
     "-> ignored: the MAC is not this box's",
     [](const TTyxStatusReport& r) { EXPECT_NE(r.Name, QStringLiteral("Other")); }},
};

void PrintTo(const TCommandCase& c, std::ostream* os) { *os << c.Name; }

class BoxSimulatorCommand : public BoxSimulatorTest, public ::testing::WithParamInterface<TCommandCase> {};

TEST_P(BoxSimulatorCommand, IsLoggedByteForByteAndShowsInTheNextReport) {
  const TCommandCase& c = GetParam();
  ASSERT_TRUE(Start({c.Kind}, 1));
  const QByteArray command = c.Build(Sim().Box(0).Mac());
  QSignalSpy logged(&fLog, &TSimLog::LineWritten);
  const QString line = SendToBox(0, command);
  // "<time> box 0 <kind> <mac> 127.0.0.10 | unicast from 127.0.0.1:<port> | <n> bytes | <hex> | <meaning> -> ..."
  ASSERT_FALSE(logged.isEmpty());
  const QString written = logged.last().at(0).toString();
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3} "))
                  .match(written)
                  .hasMatch())
      << written.toStdString();
  EXPECT_EQ(written.mid(24), line);
  EXPECT_TRUE(line.startsWith(QStringLiteral("%1 | unicast from 127.0.0.1:").arg(Sim().Box(0).Label(0))))
      << line.toStdString();
  EXPECT_TRUE(line.contains(QStringLiteral("| %1 bytes | %2 | ").arg(command.size()).arg(HexBytes(command))))
      << line.toStdString();
  EXPECT_TRUE(line.contains(QString::fromUtf8(c.Meaning))) << line.toStdString();
  const auto report = Poll(0);
  ASSERT_TRUE(report);
  if (c.Check) c.Check(*report);
}

INSTANTIATE_TEST_SUITE_P(Commands, BoxSimulatorCommand, ::testing::ValuesIn(kCommandCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(BoxSimulatorTest, NewIpSettingsRestartTheBoxSilently) {
  ASSERT_TRUE(Start({E_Tyx2_10}, 2));
  ASSERT_TRUE(Sim().Box(1).NeedReboot);
  QSignalSpy restarted(&Sim(), &TBoxSimulator::BoxRestarted);
  const QByteArray setIp = BuildSetIpCommand(Sim().Box(1).Mac(), 0x7F000063, 0xFFFF0000, 2);
  EXPECT_TRUE(SendToBox(1, setIp).endsWith(
      QStringLiteral("| set IP settings: default 127.0.0.99 mask 255.255.0.0 DHCP 2 -> restarting for 300 ms")));
  EXPECT_TRUE(SendToBox(1, BuildPoll()).endsWith(QStringLiteral("-> dropped: restarting")));
  ASSERT_TRUE(restarted.wait(kWaitMs));
  EXPECT_FALSE(fTool.HasPending());  // the poll during the restart got no answer
  const auto report = Poll(1);
  ASSERT_TRUE(report);
  EXPECT_EQ(report->DefaultIp, 0x7F000063u);
  EXPECT_EQ(report->DefaultMask, 0xFFFF0000u);
  EXPECT_EQ(report->UseDHCP, 2);
  EXPECT_FALSE(report->NeedReboot);
}

TEST_F(BoxSimulatorTest, MalformedDatagramsGoOutWithTheReportsAtTheRate) {
  ASSERT_TRUE(Start({E_Tyx2_10}, 1, 60'000, 1.0));
  QSignalSpy logged(&fLog, &TSimLog::LineWritten);
  for (int round = 0; round < 6; ++round) {
    SendToBox(0, BuildPoll());
    const auto bad = fTool.Next();
    const auto good = fTool.Next();
    ASSERT_TRUE(bad && good);
    const QByteArray& b = bad->data();
    const QByteArray& g = good->data();
    ASSERT_TRUE(ParseStatusReport(g));
    const bool truncated = b.size() < g.size() && g.startsWith(b);
    const bool oversized = b.size() > kTyxReceiveBufferSize && b.startsWith(g);
    const bool garbage = !ParseStatusReport(b) && !ParseAnnouncement(b);
    EXPECT_TRUE(truncated || oversized || garbage) << b.size() << " bytes";
  }
  int injected = 0;
  for (const auto& args : logged) {  // those along with the answers; the first periodic report may add one more
    const QString line = args.at(0).toString();
    injected += line.contains(QStringLiteral(" datagram of ")) && line.contains(QStringLiteral(" to 127.0.0.1:"));
  }
  EXPECT_EQ(injected, 6);
}

TEST_F(BoxSimulatorTest, AddressesOutsideLoopbackAreRefusedBeforeAnythingIsBound) {
  for (const char* address : {"192.168.1.10", "0.0.0.0", "237.1.1.1"}) {
    TBoxSimConfig config;
    config.FirstAddress = QHostAddress(QString::fromLatin1(address));
    TBoxSimulator sim(config, fLog);
    EXPECT_FALSE(sim.Start());
    EXPECT_TRUE(sim.ErrorText().contains(QStringLiteral("loopback"))) << sim.ErrorText().toStdString();
    EXPECT_EQ(sim.BoxCount(), 0);
  }
}

TEST_F(BoxSimulatorTest, ReportsAndAnnouncementsReachTheGroupsOnLoopback) {
  if (!boxsim_test::MulticastOnLoopbackWorks()) GTEST_SKIP() << kNoMulticast;
  ASSERT_TRUE(Start({E_Tyx2_10, E_Tyx8_10, E_Tyx2_100_Uninitialized}, 3, 100));
  ASSERT_TRUE(Sim().MulticastJoined());
  TGroupListener reports(kStatusGroup, Port());
  TGroupListener announcements(kAnnounceGroup, Sim().Config().AnnouncePort);
  ASSERT_TRUE(reports.Joined() && announcements.Joined());

  std::set<int> seen;
  while (seen.size() < 2) {
    const auto datagram = reports.Next();
    ASSERT_TRUE(datagram) << "a box sent no report";
    const auto report = ParseStatusReport(datagram->data());
    ASSERT_TRUE(report);
    const int box = Sim().FindBox(report->Mac);
    ASSERT_GE(box, 0);
    EXPECT_EQ(datagram->senderAddress(), BoxIp(box));
    EXPECT_EQ(report->ReportType, box == 1 ? RT_EightPortBox : RT_TwoPortBox);
    seen.insert(box);
  }
  const auto datagram = announcements.Next();
  ASSERT_TRUE(datagram);
  const auto announcement = ParseAnnouncement(datagram->data());
  ASSERT_TRUE(announcement);
  EXPECT_EQ(announcement->Mac, Sim().Box(2).Mac());
  EXPECT_EQ(datagram->senderAddress(), BoxIp(2));
}

TEST_F(BoxSimulatorTest, AMulticastCommandReachesTheBoxWithThatMacOnly) {
  if (!boxsim_test::MulticastOnLoopbackWorks()) GTEST_SKIP() << kNoMulticast;
  ASSERT_TRUE(Start({E_Tyx2_10, E_Tyx8_10}, 2, 100));
  ASSERT_TRUE(Sim().MulticastJoined());
  TGroupListener reports(kStatusGroup, Port());
  ASSERT_TRUE(reports.Joined());

  QSignalSpy handled(&Sim(), &TBoxSimulator::CommandHandled);
  const QByteArray rename = BuildSetNameCommand(Sim().Box(1).Mac(), QStringLiteral("Balcony"));
  ASSERT_TRUE(fTool.SendToGroup(rename, kStatusGroup, Port()));
  ASSERT_TRUE(handled.wait(kWaitMs));
  EXPECT_EQ(handled.first().at(0).toInt(), 1);
  const QString line = handled.first().at(2).toString();
  EXPECT_TRUE(line.contains(QStringLiteral("| multicast from 127.0.0.1:"))) << line.toStdString();
  EXPECT_TRUE(line.endsWith(QStringLiteral("| %1 | set name \"Balcony\" -> applied").arg(HexBytes(rename))));

  handled.clear();
  ASSERT_TRUE(fTool.SendToGroup(BuildIdentifyCommand({9, 9, 9, 9, 9, 9}), kStatusGroup, Port()));
  ASSERT_TRUE(handled.wait(kWaitMs));
  EXPECT_EQ(handled.first().at(0).toInt(), -1);
  EXPECT_TRUE(handled.first().at(2).toString().endsWith(QStringLiteral("-> ignored: no simulated box has this MAC")));

  const uint16_t sentBefore = Sim().Box(1).ReportsSent();
  for (;;) {  // the next report of box 1 carries the new name; the debug word counts its reports
    const auto datagram = reports.Next();
    ASSERT_TRUE(datagram) << "box 1 sent no report";
    const auto report = ParseStatusReport(datagram->data());
    if (!report || report->Mac != Sim().Box(1).Mac() || report->Debug1 <= sentBefore) continue;
    EXPECT_EQ(report->Name, QStringLiteral("Balcony"));
    break;
  }
  EXPECT_EQ(Sim().Box(0).Name, QStringLiteral("Stage Left"));  // untouched
}

}  // namespace
}  // namespace boxsim
