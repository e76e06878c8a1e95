// The real main window against the box simulator on loopback: one row per
// box with the columns an operator reads, the alive state, and the dummy
// boxes of "/TEST".
#include <gtest/gtest.h>

#include <QStatusBar>
#include <QTest>
#include <QUdpSocket>

#include "AppTestSupport.h"
#include "SimulatedNetwork.h"
#include "common/QtPrinters.h"
#include "devices/DeviceClock.h"

namespace vela::testing {
namespace {

constexpr const char* kNoMulticast =
    "multicast on the loopback interface does not route here (run inside unshare -n with "
    "'ip link set lo up; ip route add 224.0.0.0/4 dev lo')";

using BoxList = SimulatedNetwork;

TEST_F(BoxList, EverySimulatedBoxIsOneRowWithItsNameMacIpFirmwareStatusAndPorts) {
  if (!LoopbackMulticastWorks()) GTEST_SKIP() << kNoMulticast;
  ASSERT_TRUE(Start({E_Tyx2_10, E_Tyx2_100, E_Tyx8_10, E_Tyx2_100_Uninitialized}, 4));
  ASSERT_TRUE(WaitForRows(4));
  // Every full box has had its report with the port records.
  ASSERT_TRUE(WaitUntil([&] {
    for (int i = 0; i < 3; ++i)
      if (!BoxOf(i) || !BoxOf(i)->SetupReceived) return false;
    return true;
  }));
  QTest::qWait(300);
  EXPECT_EQ(RowCount(), 4);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const boxsim::TSimBox& sim = Sim().Box(i);
    const QModelIndex row = RowOfBox(i);
    ASSERT_TRUE(row.isValid());
    EXPECT_EQ(Cell(row, "Name"), sim.Name);
    if (sim.Uninitialised()) {
      EXPECT_EQ(Cell(row, "Mac"), MacText(sim.Mac()));
      EXPECT_EQ(Cell(row, "Ip"), Ipv4Text(sim.Address()));
      EXPECT_EQ(Cell(row, "Firmware"), "<no column>");
      continue;
    }
    EXPECT_EQ(Cell(row, "MAC"), MacText(sim.Mac()));
    EXPECT_EQ(Cell(row, "IP"), Ipv4Text(sim.Address()));
    EXPECT_EQ(Cell(row, "Firmware"), FirmVersionText(sim.Version));
    EXPECT_EQ(Cell(row, "Status"), sim.NeedReboot ? "Save Changes" : "Alive");
    const int ports = static_cast<int>(sim.Ports.size());
    EXPECT_EQ(ports, sim.Kind() == E_Tyx8_10 ? 8 : 2);
    for (int p = 0; p < ports; ++p) {
      SCOPED_TRACE(p);
      const QString prefix = QString::number(p + 1) + ':';
      const TOnePortSetup& setup = sim.Ports[p];
      EXPECT_EQ(Cell(row, prefix + "Mode"), BoxOf(i)->FF(FK_ByteKind, TYF_PortMode + p));
      EXPECT_EQ(Cell(row, prefix + "Timeout"), QString::number(setup.Timeout));
      const bool dmx = setup.Direction == P_Dmx_Out || setup.Direction == P_Dmx_In || setup.Direction == P_DmxFromEther;
      if (!dmx) {
        // A port without DMX shows no protocol and no universe.
        EXPECT_EQ(Cell(row, prefix + "Protocol"), "");
        const QString universe = Cell(row, prefix + "Universe");
        EXPECT_TRUE(universe == "" || universe == "<no column>") << universe.toStdString();
        continue;
      }
      EXPECT_EQ(Cell(row, prefix + "Protocol"), BoxOf(i)->FF(FK_ByteKind, TYF_PortProtocol + p));
      EXPECT_FALSE(Cell(row, prefix + "Protocol").isEmpty());
      const QString universe = Cell(row, prefix + "Universe");
      if (universe != "<no column>") {
        // Shown from one, except on Art-Net.
        const int shown = setup.EProtocol == tyxp_ArtNet ? setup.Universe : setup.Universe + 1;
        EXPECT_EQ(universe, QString::number(shown));
      }
    }
  }
}

TEST_F(BoxList, ABoxThatFallsSilentTurnsNotAliveAndComesBack) {
  if (!LoopbackMulticastWorks()) GTEST_SKIP() << kNoMulticast;
  TDateTime now = 45000.5;
  SetDeviceClock([&] { return now; });
  ASSERT_TRUE(Start({E_Tyx2_10}, 1));
  ASSERT_TRUE(WaitForRows(1));
  const TEmac mac = Sim().Box(0).Mac();
  ASSERT_TRUE(WaitUntil([&] { return BoxOf(0) && BoxOf(0)->SetupReceived && !BoxOf(0)->NeedReboot(); }) ||
              BoxOf(0)->NeedReboot());
  const QString alive = BoxOf(0)->NeedReboot() ? "Save Changes" : "Alive";
  EXPECT_EQ(Cell(RowOf(mac), "Status"), alive);
  Sim().Stop();
  QTest::qWait(300);
  now += SecondsToDays(11);
  // The manager's own one-second tick notices the silence.
  ASSERT_TRUE(WaitUntil([&] { return Cell(RowOf(mac), "Status") == "Not Alive"; }, 3000))
      << Cell(RowOf(mac), "Status").toStdString();
  ASSERT_TRUE(Sim().Start());
  EXPECT_TRUE(WaitUntil([&] { return Cell(RowOf(mac), "Status") == alive; }, 3000));
  EXPECT_EQ(RowCount(), 1);
  SetDeviceClock({});
}

TEST_F(BoxList, TheTestSwitchShowsTheTwoDummyBoxesBeforeAnyReport) {
  StartWindowOnly(true);
  ASSERT_TRUE(WaitForRows(2, 1000));
  const QModelIndex root = View().rootIndex();
  const char* kinds[] = {"TYX2-10", "TYX8"};
  for (int r = 0; r < 2; ++r) {
    const QModelIndex row = Model().index(r, 0, root);
    EXPECT_EQ(Cell(row, "Name"), "Dummy");
    auto* box = static_cast<TCustomTyxBox*>(Model().ObjectOf(row));
    EXPECT_EQ(box->KindText(), kinds[r]);
  }
  EXPECT_EQ(Boxes().Name(), "Ethernet Velaboxes");
}

TEST_F(BoxList, AStatusPortThatCannotBeOpenedIsShownAndTheProgramRunsOn) {
  TMainWindowOptions options = LoopbackOptions();
  QUdpSocket holder;
  ASSERT_TRUE(holder.bind(QHostAddress::AnyIPv4, options.Net.StatusPort, QUdpSocket::DontShareAddress));
  options.CreateDummy = true;
  fImages = std::make_unique<TImagedata>();
  fWindow = std::make_unique<TBasicVelaAppForm1>(options);
  EXPECT_EQ(Boxes().Name(), "Ethernet Velaboxes, initialization failed");
  EXPECT_TRUE(Window().statusBar()->currentMessage().startsWith("Ethernet Velaboxes, initialization failed: "))
      << Window().statusBar()->currentMessage().toStdString();
  // The dummies are still listed.
  EXPECT_TRUE(WaitForRows(2, 1000));
}

TEST_F(BoxList, WithoutTheSwitchAndWithoutBoxesTheListStaysEmpty) {
  StartWindowOnly(false);
  QTest::qWait(1200);
  EXPECT_EQ(RowCount(), 0);
  EXPECT_FALSE(Boxes().OpenError());
}

}  // namespace
}  // namespace vela::testing
