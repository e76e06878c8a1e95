// The box manager against the simulator, both on free ports of the loopback
// interface: discovery, replacement of an uninitialised box, WAN boxes from
// the predefined file, the alive time-out, port changes and their
// confirmation, refused values and malformed datagrams.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "ToolSide.h"
#include "boxsim/BoxSimulator.h"
#include "common/QtPrinters.h"
#include "devices/DeviceClock.h"
#include "devices/TyxBoxes.h"
#include "devices/TyxCommands.h"

namespace boxsim {
namespace {

using namespace vela;

constexpr const char* kNoMulticast =
    "multicast on the loopback interface does not route here (run inside unshare -n with "
    "'ip link set lo up; ip route add 224.0.0.0/4 dev lo')";

bool WaitFor(const std::function<bool()>& Done, int Ms = boxsim_test::kWaitMs) {
  QDeadlineTimer deadline(Ms);
  while (!Done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

class DiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fConfig.StatusPort = boxsim_test::FreeUdpPort();
    fConfig.AnnouncePort = boxsim_test::FreeUdpPort();
    fConfig.IntervalMs = 100;
    fConfig.RestartMs = 300;
    TTyxNetOptions options;
    options.Interface = QStringLiteral("127.0.0.1");
    options.StatusPort = fConfig.StatusPort;
    options.AnnouncePort = fConfig.AnnouncePort;
    fBoxes->SetNetOptions(options);
  }
  void TearDown() override {
    fSim.reset();
    FreeObj(fBoxes);
  }
  ::testing::AssertionResult Start(std::vector<TTyxKind> Kinds, int Count) {
    fConfig.Kinds = std::move(Kinds);
    fConfig.Boxes = Count;
    fSim = std::make_unique<TBoxSimulator>(fConfig, fLog);
    if (!fSim->Start()) return ::testing::AssertionFailure() << fSim->ErrorText().toStdString();
    if (!fBoxes->StartNet()) return ::testing::AssertionFailure() << fBoxes->OpenErrorText().toStdString();
    return ::testing::AssertionSuccess();
  }
  TTyxBox* Full(int I) { return static_cast<TTyxBox*>(fBoxes->BoxAt(I)); }
  // The commands of this code the simulator received since Spy started.
  static int Commands(const QSignalSpy& Spy, uint16_t Code) {
    int n = 0;
    for (const QList<QVariant>& call : Spy) {
      const QByteArray d = call.at(1).toByteArray();
      if (d.size() >= 2 && uint8_t(d[0]) == (Code & 0xFF) && uint8_t(d[1]) == (Code >> 8)) ++n;
    }
    return n;
  }

  TBoxSimConfig fConfig;
  TSimLog fLog;
  std::unique_ptr<TBoxSimulator> fSim;
  TTyxBoxes* fBoxes = TTyxBoxes::Create(false);
};

TEST_F(DiscoveryTest, EverySimulatedBoxShowsUpOnceWithItsKindNameAndAddress) {
  if (!boxsim_test::MulticastOnLoopbackWorks()) GTEST_SKIP() << kNoMulticast;
  fConfig.MalformedRate = 0.5;  // malformed datagrams go out along with the reports
  ASSERT_TRUE(Start({E_Tyx2_10, E_Tyx2_100, E_Tyx8_10, E_Tyx2_100_Uninitialized}, 8));
  ASSERT_TRUE(WaitFor([&] { return fBoxes->BoxCount() >= 8; }));
  // A few more rounds: nothing is added twice, malformed datagrams add nothing.
  QTest::qWait(400);
  ASSERT_EQ(fBoxes->BoxCount(), 8);
  for (int i = 0; i < 8; ++i) {
    const TSimBox& sim = fSim->Box(i);
    TCustomTyxBox* box = fBoxes->GetBox(sim.Mac());
    ASSERT_NE(box, nullptr) << i;
    EXPECT_EQ(box->BoxKind(), sim.Kind()) << i;
    EXPECT_EQ(box->IP(), sim.Address()) << i;
    EXPECT_TRUE(box->Alive()) << i;
    if (sim.Uninitialised()) {
      // Only the first announcement names the box, and that may have been a cut one.
      EXPECT_TRUE(sim.Name.startsWith(box->Name())) << i;
      continue;
    }
    EXPECT_EQ(box->Name(), sim.Name) << i;
    auto* full = static_cast<TTyxBox*>(box);
    EXPECT_EQ(full->SVersion(), sim.Version) << i;
    ASSERT_EQ(full->NumPorts(), static_cast<int>(sim.Ports.size()));
    for (int p = 0; p < full->NumPorts(); ++p) EXPECT_EQ(*full->PortSetup(p), sim.Ports[p]) << i << ":" << p;
  }
  EXPECT_TRUE(fBoxes->IsDetected());
}

TEST_F(DiscoveryTest, APortChangeSendsOneSetupThatTheNextReportConfirms) {
  if (!boxsim_test::MulticastOnLoopbackWorks()) GTEST_SKIP() << kNoMulticast;
  ASSERT_TRUE(Start({E_Tyx2_10}, 1));
  ASSERT_TRUE(WaitFor([&] { return fBoxes->BoxCount() == 1 && Full(0)->SetupReceived; }));
  TTyxBox* box = Full(0);
  const int universe = box->PortUniverse(0) == 7 ? 8 : 7;
  QSignalSpy handled(fSim.get(), &TBoxSimulator::CommandHandled);
  box->SetPortUniverse(0, universe);
  ASSERT_TRUE(WaitFor([&] { return box->PortUniverse(0) == universe; }));
  EXPECT_EQ(fSim->Box(0).Ports[0].Universe, universe);
  EXPECT_EQ(Commands(handled, 2), 1);
  EXPECT_EQ(handled.size(), 1);

  // A value beyond the protocol's limit sends nothing; the next report shows
  // the confirmed value again.
  int told = 0;
  box->OnDetectedChanged = [&](TConnection*) { ++told; };
  box->SetPortUniverse(0, box->MaxUniverse(0, box->PortProtocol(0)) + 1);
  EXPECT_TRUE(box->DirtyOnNext());
  ASSERT_TRUE(WaitFor([&] { return !box->DirtyOnNext(); }));
  EXPECT_GE(told, 2);  // once at the refusal, once with the report
  EXPECT_EQ(box->PortUniverse(0), universe);
  QTest::qWait(200);
  EXPECT_EQ(handled.size(), 1);
}

TEST_F(DiscoveryTest, AnUninitialisedBoxGivenAnAddressComesBackAsAFullBoxInItsPlace) {
  if (!boxsim_test::MulticastOnLoopbackWorks()) GTEST_SKIP() << kNoMulticast;
  ASSERT_TRUE(Start({E_Tyx2_10, E_Tyx2_100_Uninitialized, E_Tyx8_10}, 3));
  ASSERT_TRUE(WaitFor([&] { return fBoxes->BoxCount() == 3; }));
  TCustomTyxBox* fresh = fBoxes->GetBox(fSim->Box(1).Mac());
  ASSERT_NE(fresh, nullptr);
  const int position = fBoxes->SIndexof(fresh);
  ASSERT_EQ(fresh->BoxKind(), E_Tyx2_100_Uninitialized);
  fresh->SetDefault(0x0A000020, 0xFF000000, 0);  // 10.0.0.32/8: data for the box, never a destination
  ASSERT_TRUE(WaitFor([&] {
    TCustomTyxBox* b = fBoxes->GetBox(fSim->Box(1).Mac());
    return b && b->BoxKind() == E_Tyx2_100;
  }));
  EXPECT_EQ(fBoxes->BoxCount(), 3);
  TCustomTyxBox* now = fBoxes->BoxAt(position);
  EXPECT_EQ(now->BoxMac(), fSim->Box(1).Mac());
  EXPECT_TRUE(now->InheritsFrom(TTyxBox::StaticClass()));
}

TEST_F(DiscoveryTest, AWanBoxFromThePredefinedFileIsPolledAndMatchedByItsAddress) {
  fConfig.IntervalMs = 60'000;  // only the polls make this box report
  ASSERT_TRUE(Start({E_Tyx8_10}, 1));
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("VelaBoxes.def"));
  const QString ip = Ipv4Text(fSim->Box(0).Address());
  {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QStringLiteral("[WanBoxes]\r\n%1=TYX2-10-00:00:00\r\n[%1]\r\nMin1=1\r\nMax1=64\r\n").arg(ip).toLatin1());
  }
  ASSERT_TRUE(fBoxes->LoadPredefined(file, QStringLiteral("WanBoxes")));
  ASSERT_EQ(fBoxes->BoxCount(), 1);
  TCustomTyxBox* wan = fBoxes->BoxAt(0);
  EXPECT_FALSE(wan->IsDetected());
  fBoxes->SendPoll();
  ASSERT_TRUE(WaitFor([&] { return wan->IsDetected(); }));
  EXPECT_EQ(fBoxes->BoxCount(), 1);
  EXPECT_EQ(wan->BoxMac(), fSim->Box(0).Mac());
  EXPECT_EQ(wan->Name(), fSim->Box(0).Name);
  EXPECT_TRUE(wan->WanBox());
  // Commands to a WAN box go to its own address.
  QSignalSpy handled(fSim.get(), &TBoxSimulator::CommandHandled);
  wan->Identify();
  ASSERT_TRUE(handled.wait(boxsim_test::kWaitMs));
  EXPECT_EQ(handled.first().at(1).toByteArray(), BuildIdentifyCommand(fSim->Box(0).Mac()));
}

TEST_F(DiscoveryTest, ABoxSilentForTenSecondsIsNotAliveUntilItReportsAgain) {
  if (!boxsim_test::MulticastOnLoopbackWorks()) GTEST_SKIP() << kNoMulticast;
  TDateTime now = 45000.5;
  SetDeviceClock([&] { return now; });
  ASSERT_TRUE(Start({E_Tyx2_10}, 1));
  ASSERT_TRUE(WaitFor([&] { return fBoxes->BoxCount() == 1; }));
  TCustomTyxBox* box = fBoxes->BoxAt(0);
  fSim->Stop();
  QTest::qWait(150);  // reports already on their way arrive
  now += SecondsToDays(11);
  fBoxes->SendPoll();
  EXPECT_FALSE(box->Alive());
  EXPECT_EQ(box->StatusText(), QStringLiteral("Not Alive"));
  ASSERT_TRUE(fSim->Start());
  ASSERT_TRUE(WaitFor([&] { return box->Alive(); }));
  EXPECT_EQ(box->StatusText(), QStringLiteral("Alive"));
  EXPECT_EQ(fBoxes->BoxCount(), 1);
  SetDeviceClock({});
}

}  // namespace
}  // namespace boxsim
