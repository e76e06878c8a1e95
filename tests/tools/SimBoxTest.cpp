// One simulated box without sockets: its reports, what it makes of each
// command, the boxes the factory makes, the malformed datagrams and the log's
// reading of commands.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "boxsim/CommandText.h"
#include "boxsim/Malformed.h"
#include "boxsim/SimBoxFactory.h"
#include "common/QtPrinters.h"
#include "devices/TyxCommands.h"
#include "devices/TyxReports.h"

namespace boxsim {
namespace {

using namespace vela;

constexpr uint32_t kAddress = 0x7F00000A;  // 127.0.0.10

TSimBox Make(TTyxKind kind, int index = 0, uint32_t seed = 1) {
  std::mt19937 rng(seed);
  return MakeSimBox(kind, index, kAddress + static_cast<uint32_t>(index), rng);
}

TTyxCommandPacket Command(const QByteArray& datagram) { return *ParseCommandPacket(BytesOf(datagram)); }

TEST(SimBox, ReportsParseBackAsTheBoxOfItsKind) {
  for (const TTyxKind kind : {E_Tyx2_10, E_Tyx2_100, E_Tyx8_10}) {
    TSimBox box = Make(kind);
    const auto report = ParseStatusReport(box.NextStatusReport());
    ASSERT_TRUE(report) << TyxKindText(kind).toStdString();
    EXPECT_EQ(report->Kind, kind);
    EXPECT_EQ(report->Mac, box.Mac());
    EXPECT_EQ(report->Ports, box.Ports);
    EXPECT_EQ(report->Name, box.Name);
    EXPECT_EQ(report->SVersion, box.Version);
    EXPECT_TRUE(report->HasSettings);
    EXPECT_EQ(report->Debug1, 1);  // counts the reports
  }
}

TEST(SimBox, AnUninitialisedBoxAnnouncesItselfAndSendsNoReport) {
  TSimBox box = Make(E_Tyx2_100_Uninitialized);
  EXPECT_TRUE(box.NextStatusReport().isEmpty());
  const auto announcement = ParseAnnouncement(box.Announcement());
  ASSERT_TRUE(announcement);
  EXPECT_EQ(announcement->Mac, box.Mac());
  EXPECT_EQ(announcement->Name, box.Name);
}

TEST(SimBoxFactory, MacsTellTheKindAndTheIndex) {
  EXPECT_EQ(TwoPortKindFromMac(SimBoxMac(E_Tyx2_10, 5)), E_Tyx2_10);
  EXPECT_EQ(TwoPortKindFromMac(SimBoxMac(E_Tyx2_100, 5)), E_Tyx2_100);
  EXPECT_EQ(TwoPortKindFromMac(SimBoxMac(E_Tyx2_100_Uninitialized, 5)), E_Tyx2_100);  // once configured
  EXPECT_EQ(SimBoxMac(E_Tyx8_10, 0x123), (TEmac{0x02, 0x56, 0x4C, 0x80, 0x01, 0x23}));
}

TEST(SimBoxFactory, TheSameSeedGivesTheSameBoxes) {
  EXPECT_EQ(Make(E_Tyx8_10, 2, 9).NextStatusReport(), Make(E_Tyx8_10, 2, 9).NextStatusReport());
  EXPECT_NE(Make(E_Tyx8_10, 2, 9).NextStatusReport(), Make(E_Tyx8_10, 2, 10).NextStatusReport());
}

TEST(SimBoxFactory, BoxesAreVariedAndWithinTheProtocolsLimits) {
  std::set<int> modes, protocols, versions;
  int needReboot = 0;
  std::mt19937 rng(1);
  for (int i = 0; i < 30; ++i) {
    const TSimBox box = MakeSimBox(E_Tyx8_10, i, kAddress, rng);
    needReboot += box.NeedReboot;
    versions.insert(static_cast<int>(FirmVersion(box.Version)));
    for (const TOnePortSetup& port : box.Ports) {
      modes.insert(port.Direction);
      protocols.insert(port.EProtocol);
      EXPECT_LE(port.DSize, 512);
      EXPECT_LE(port.Direction, P_DmxFromEther);
      EXPECT_NE(port.EProtocol, tyxp_internal);
      EXPECT_NE(port.EProtocol, tyxp_VelaNetNode);
      EXPECT_NE(port.EProtocol, tyxp_Patched1);
      if (port.EProtocol == tyxp_ArtNet) {
        EXPECT_LE(port.Universe, 15);
      }
      if (port.Unicast) {
        EXPECT_EQ(port.SourceIP >> 24, 127u);
      }
    }
  }
  EXPECT_EQ(modes.size(), 6u);
  EXPECT_GE(protocols.size(), 6u);
  EXPECT_GE(versions.size(), 2u);
  EXPECT_GT(needReboot, 0);
}

// A command, what the box answers, and what its state shows afterwards.
struct TApplyCase {
  const char* Name;
  TTyxKind Kind;
  std::function<QByteArray(const TSimBox&)> Build;
  const char* Outcome;
  std::function<void(const TSimBox&)> Check;
};

std::vector<TOnePortSetup> ArtNetPorts(int count) {
  std::vector<TOnePortSetup> ports(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    ports[static_cast<size_t>(i)].EProtocol = tyxp_ArtNet;
    ports[static_cast<size_t>(i)].Direction = P_Dmx_Out;
    ports[static_cast<size_t>(i)].SubNet = 1;
    ports[static_cast<size_t>(i)].Universe = static_cast<uint16_t>(i + 3);
    ports[static_cast<size_t>(i)].DSize = 512;
  }
  return ports;
}

const TApplyCase kApplyCases[] = {
    {"Name", E_Tyx2_10, [](const TSimBox& b) { return BuildSetNameCommand(b.Mac(), QStringLiteral("  Rig A  ")); },
     "applied", [](const TSimBox& b) { EXPECT_EQ(b.Name, QStringLiteral("Rig A")); }},
    {"PortSetup2", E_Tyx2_100,
     [](const TSimBox& b) { return *BuildPortSetupCommand(E_Tyx2_100, b.Mac(), ArtNetPorts(2)); }, "applied",
     [](const TSimBox& b) { EXPECT_EQ(b.Ports, ArtNetPorts(2)); }},
    {"PortSetup8", E_Tyx8_10,
     [](const TSimBox& b) { return *BuildPortSetupCommand(E_Tyx8_10, b.Mac(), ArtNetPorts(8)); }, "applied",
     [](const TSimBox& b) { EXPECT_EQ(b.Ports, ArtNetPorts(8)); }},
    {"WrongSetupCode", E_Tyx8_10,
     [](const TSimBox& b) { return *BuildPortSetupCommand(E_Tyx2_10, b.Mac(), ArtNetPorts(2)); },
     "ignored: a TYX8 takes port setups as command 102", [](const TSimBox& b) { EXPECT_NE(b.Ports, ArtNetPorts(8)); }},
    {"LedsOff", E_Tyx2_10, [](const TSimBox& b) { return BuildLedsCommand(b.Mac(), false); }, "applied",
     [](const TSimBox& b) { EXPECT_EQ(b.LedsLevel, 0); }},
    {"WebDisabledNeedsReboot", E_Tyx2_10,
     [](const TSimBox& b) { return BuildWebAdminCommand(b.Mac(), !b.WebDisabled); }, "applied",
     [](const TSimBox& b) { EXPECT_TRUE(b.NeedReboot); }},
    {"Identify", E_Tyx2_10, [](const TSimBox& b) { return BuildIdentifyCommand(b.Mac()); }, "identifying", nullptr},
    {"Flash", E_Tyx8_10, [](const TSimBox& b) { return BuildFlashCommand(b.Mac()); }, "flash requested", nullptr},
    {"SetIp", E_Tyx2_10, [](const TSimBox& b) { return BuildSetIpCommand(b.Mac(), 0x7F000063, 0xFFFF0000, 4); },
     "restarting for 50 ms",
     [](const TSimBox& b) {
       EXPECT_TRUE(b.Restarting());
       EXPECT_EQ(b.DefaultIp, 0x7F000063u);
       EXPECT_EQ(b.DefaultMask, 0xFFFF0000u);
       EXPECT_EQ(b.UseDHCP, 4);
     }},
    {"Unknown", E_Tyx2_10, [](const TSimBox& b) { return BuildCommand(9, b.Mac()); }, "ignored: unknown command 9",
     nullptr},
    {"SetupToUninitialised", E_Tyx2_100_Uninitialized,
     [](const TSimBox& b) { return *BuildPortSetupCommand(E_Tyx2_100, b.Mac(), ArtNetPorts(2)); },
     "ignored: an uninitialised box has no ports", [](const TSimBox& b) { EXPECT_TRUE(b.Ports.empty()); }},
};

void PrintTo(const TApplyCase& c, std::ostream* os) { *os << c.Name; }

class SimBoxApply : public ::testing::TestWithParam<TApplyCase> {};

TEST_P(SimBoxApply, CarriesOutTheCommand) {
  const TApplyCase& c = GetParam();
  TSimBox box = Make(c.Kind);
  const TCommandOutcome outcome = box.Apply(Command(c.Build(box)), 50);
  EXPECT_TRUE(outcome.Text.startsWith(QString::fromLatin1(c.Outcome))) << outcome.Text.toStdString();
  if (c.Check) c.Check(box);
}

INSTANTIATE_TEST_SUITE_P(Commands, SimBoxApply, ::testing::ValuesIn(kApplyCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(SimBox, ARecordTheFirmwareCannotTakeKeepsThatPortsSetup) {
  TSimBox box = Make(E_Tyx2_10);
  const TOnePortSetup old1 = box.Ports[1];
  auto ports = ArtNetPorts(2);
  ports[1].DSize = 600;
  const auto outcome = box.Apply(Command(*BuildPortSetupCommand(E_Tyx2_10, box.Mac(), ports)), 0);
  EXPECT_EQ(outcome.Text, QStringLiteral("partly applied: port 1 refused (600 channels is more than 512)"));
  EXPECT_EQ(box.Ports[0], ports[0]);
  EXPECT_EQ(box.Ports[1], old1);
}

TEST(SimBox, RestartTakesPendingChangesAndConfiguresAnUninitialisedBox) {
  TSimBox box = Make(E_Tyx2_100_Uninitialized);
  box.Apply(Command(BuildSetIpCommand(box.Mac(), 0x7F000014, 0xFF000000, 0)), 0);
  EXPECT_TRUE(box.Restarting());
  box.FinishRestart();
  EXPECT_FALSE(box.Restarting());
  EXPECT_EQ(box.Kind(), E_Tyx2_100);
  const auto report = ParseStatusReport(box.NextStatusReport());
  ASSERT_TRUE(report);
  EXPECT_EQ(report->Kind, E_Tyx2_100);
  ASSERT_EQ(report->Ports.size(), 2u);
  EXPECT_EQ(report->Ports[0].Direction, P_Dmx_Out);
  EXPECT_EQ(report->DefaultIp, 0x7F000014u);
  EXPECT_FALSE(report->NeedReboot);
}

TEST(Malformed, EachKindIsWhatItSays) {
  const QByteArray report = Make(E_Tyx2_10).NextStatusReport();
  std::mt19937 rng(3);
  for (int round = 0; round < 20; ++round) {
    const QByteArray truncated = MakeMalformed(TMalformedKind::Truncated, report, rng);
    EXPECT_GE(truncated.size(), 1);
    EXPECT_LT(truncated.size(), report.size());
    EXPECT_TRUE(report.startsWith(truncated));

    const QByteArray garbage = MakeMalformed(TMalformedKind::Garbage, report, rng);
    EXPECT_GE(garbage.size(), 1);
    EXPECT_LE(garbage.size(), kGarbageMax);
    EXPECT_FALSE(ParseStatusReport(garbage));
    EXPECT_FALSE(ParseAnnouncement(garbage));

    const QByteArray oversized = MakeMalformed(TMalformedKind::Oversized, report, rng);
    EXPECT_GT(oversized.size(), kTyxReceiveBufferSize);
    EXPECT_TRUE(oversized.startsWith(report));
  }
}

TEST(CommandText, HexIsUpperCasePairs) {
  EXPECT_EQ(HexBytes(QByteArray::fromHex("05004a")), QStringLiteral("05 00 4A"));
}

TEST(CommandText, DatagramsReadAsTheirMeaning) {
  const TEmac mac = {2, 0x56, 0x4C, 0x10, 0, 1};
  const std::pair<QByteArray, const char*> cases[] = {
      {BuildPoll(), "poll"},
      {BuildSetNameCommand(mac, QStringLiteral("Rack")), "set name \"Rack\""},
      {BuildIdentifyCommand(mac), "identify"},
      {BuildSetIpCommand(mac, 0x7F000005, 0xFFFF0000, 3), "set IP settings: default 127.0.0.5 mask 255.255.0.0 DHCP 3"},
      {BuildLedsCommand(mac, true), "LEDs on (255)"},
      {BuildLedsCommand(mac, false), "LEDs off"},
      {BuildWebAdminCommand(mac, true), "web administration disabled"},
      {BuildFlashCommand(mac), "flash"},
      {*BuildPortSetupCommand(E_Tyx2_10, mac, ArtNetPorts(2)),
       "port setup (2 ports): port 0 P_Dmx_Out tyxp_ArtNet subnet 1 universe 3 512 ch term 0 timeout 0; "
       "port 1 P_Dmx_Out tyxp_ArtNet subnet 1 universe 4 512 ch term 0 timeout 0"},
      {BuildCommand(42, mac, std::vector<uint8_t>{1, 2}), "unknown command 42 (2 data bytes)"},
      {QByteArray("\x05\x00", 2), "malformed (2 bytes)"},
  };
  for (const auto& [datagram, meaning] : cases) EXPECT_EQ(DescribeDatagram(datagram), QString::fromUtf8(meaning));
}

}  // namespace
}  // namespace boxsim
