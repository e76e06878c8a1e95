// The box manager: finding and creating boxes from reports and announcements,
// the alive tick, the box operations, the predefined boxes file, and the
// sockets on loopback (free ports, loopback interface only).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <functional>
#include <random>

#include "DeviceTestSupport.h"
#include "devices/DmxArea.h"
#include "devices/DmxBlock.h"
#include "devices/TyxBoxes.h"
#include "devices/TyxCommands.h"
#include "devices/TyxReports.h"

namespace vela {
namespace {

using testing::TFakeClock;
using testing::TFreeAtEnd;

constexpr uint32_t kIp(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
  return (uint32_t(a) << 24) | (uint32_t(b) << 16) | (uint32_t(c) << 8) | d;
}

TEmac Mac(uint8_t Byte3, uint8_t Last) { return {0x00, 0x50, 0xC2, Byte3, 0x00, Last}; }

TOnePortSetup PortRecord(TTyxProts Protocol, uint16_t Universe) {
  TOnePortSetup r;
  r.EProtocol = Protocol;
  r.Direction = P_Dmx_Out;
  r.Universe = Universe;
  r.DSize = 512;
  return r;
}

QByteArray Report(uint16_t Type, const TEmac& Mac, const QString& Name, uint16_t Universe = 0) {
  TTyxStatusReport r;
  r.ReportType = Type;
  r.Mac = Mac;
  r.Name = Name;
  r.SVersion = {0, 0, 6, 1};  // 1.6.0.0
  r.Ports.assign(static_cast<size_t>(ReportPortCount(Type)), PortRecord(tyxp_ArtNet, Universe));
  r.DefaultIp = kIp(10, 0, 0, 9);
  r.DefaultMask = kIp(255, 0, 0, 0);
  return BuildStatusReport(r);
}

std::span<const uint8_t> Span(const QByteArray& Bytes) { return BytesOf(Bytes); }

// Runs the event loop until Done holds or Ms pass.
bool WaitFor(const std::function<bool()>& Done, int Ms = 3000) {
  QDeadlineTimer deadline(Ms);
  while (!Done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

class TyxBoxesTest : public ::testing::Test {
 protected:
  TFakeClock fClock;
  TFreeAtEnd<TTyxBoxes> fBoxes{TTyxBoxes::Create(false)};
  TTyxBoxes& Boxes() { return *fBoxes.Ptr; }
  TCustomTyxBox* Feed(const QByteArray& Datagram, uint32_t Ip) {
    return Boxes().HandleStatusDatagram(Span(Datagram), Ip);
  }
};

// ---------------------------------------------------------------------------
// Reports and announcements

TEST_F(TyxBoxesTest, AReportAddsOneBoxPerMacOfTheKindItsTypeAndMacName) {
  struct Case {
    uint16_t Type;
    uint8_t Byte3;
    TTyxKind Kind;
    int Ports;
  };
  const Case cases[] = {
      {RT_TwoPortBox, 0x10, E_Tyx2_10, 2}, {RT_TwoPortBox, 0x11, E_Tyx2_100, 2}, {RT_EightPortBox, 0x10, E_Tyx8_10, 8}};
  int last = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Type * 1000 + c.Byte3);
    const TEmac mac = Mac(c.Byte3, static_cast<uint8_t>(last));
    TCustomTyxBox* box = Feed(Report(c.Type, mac, QStringLiteral("Stage left")), kIp(127, 0, 0, last));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Boxes().BoxCount(), last);
    EXPECT_EQ(box->BoxKind(), c.Kind);
    EXPECT_EQ(box->NumPorts(), c.Ports);
    EXPECT_EQ(box->Name(), QStringLiteral("Stage left"));
    EXPECT_EQ(box->IP(), kIp(127, 0, 0, last));
    EXPECT_TRUE(box->IsDetected());
    EXPECT_TRUE(box->Alive());
    // The same box again adds nothing.
    EXPECT_EQ(Feed(Report(c.Type, mac, QStringLiteral("Stage left")), kIp(127, 0, 0, last)), box);
    EXPECT_EQ(Boxes().BoxCount(), last);
    ++last;
  }
  EXPECT_TRUE(Boxes().IsDetected());
}

TEST_F(TyxBoxesTest, AReportTakesTheSetupAndTellsTheViewsOnlyWhenSomethingChanged) {
  int told = 0;
  auto* box = static_cast<TTyxBox*>(Feed(Report(RT_TwoPortBox, Mac(0x10, 1), "A", 3), kIp(127, 0, 0, 2)));
  ASSERT_NE(box, nullptr);
  box->OnDetectedChanged = [&](TConnection*) { ++told; };
  EXPECT_EQ(box->PortUniverse(0), 3);
  EXPECT_EQ(box->PortProtocol(1), tyxp_ArtNet);
  EXPECT_TRUE(box->SetupReceived);

  Feed(Report(RT_TwoPortBox, Mac(0x10, 1), "A", 3), kIp(127, 0, 0, 2));
  EXPECT_EQ(told, 0);
  Feed(Report(RT_TwoPortBox, Mac(0x10, 1), "A", 4), kIp(127, 0, 0, 2));
  EXPECT_EQ(told, 1);
  EXPECT_EQ(box->PortUniverse(0), 4);
  // A refused edit asks for the values to be shown again with the next report.
  box->SetDirtyOnNext(true);
  told = 0;
  Feed(Report(RT_TwoPortBox, Mac(0x10, 1), "A", 4), kIp(127, 0, 0, 2));
  EXPECT_EQ(told, 1);
  EXPECT_FALSE(box->DirtyOnNext());
  // A changed name renames the box; a new source address moves it.
  Feed(Report(RT_TwoPortBox, Mac(0x10, 1), "B", 4), kIp(127, 0, 0, 3));
  EXPECT_EQ(box->Name(), QStringLiteral("B"));
  EXPECT_EQ(box->IP(), kIp(127, 0, 0, 3));
}

TEST_F(TyxBoxesTest, AReportDuringTheBoxsOwnUpdateOnlyRefreshesItsAliveState) {
  auto* box = static_cast<TTyxBox*>(Feed(Report(RT_TwoPortBox, Mac(0x10, 1), "A", 3), kIp(127, 0, 0, 2)));
  ASSERT_NE(box, nullptr);
  box->SetAlive(false);
  ++box->UpdatingBox;
  Feed(Report(RT_TwoPortBox, Mac(0x10, 1), "A", 9), kIp(127, 0, 0, 7));
  --box->UpdatingBox;
  EXPECT_TRUE(box->Alive());
  EXPECT_EQ(box->PortUniverse(0), 3);
  EXPECT_EQ(box->IP(), kIp(127, 0, 0, 2));
}

TEST_F(TyxBoxesTest, AReportFromAHandEnteredWanBoxsAddressFillsInThatBox) {
  TTyxBox* wan = Boxes().AddTyx2();
  Boxes().SetBoxIp(wan, QStringLiteral("127.0.0.44"));
  EXPECT_TRUE(wan->WanBox());
  EXPECT_FALSE(wan->IsDetected());
  EXPECT_EQ(Feed(Report(RT_TwoPortBox, Mac(0x10, 9), "Far away"), kIp(127, 0, 0, 44)), wan);
  EXPECT_EQ(Boxes().BoxCount(), 1);
  EXPECT_TRUE(wan->IsDetected());
  EXPECT_EQ(wan->BoxMac(), Mac(0x10, 9));
  EXPECT_EQ(wan->Name(), QStringLiteral("Far away"));
  EXPECT_EQ(wan->CommandDestination(), kIp(127, 0, 0, 44));
}

TEST_F(TyxBoxesTest, AReportFromAFreedBoxsMacAddsItAgain) {
  for (uint8_t i = 1; i <= 3; ++i) Feed(Report(RT_TwoPortBox, Mac(0x10, i), "Box"), kIp(127, 0, 0, i));
  TCustomTyxBox* freed = Boxes().BoxAt(1);
  Boxes().SFree(freed);
  ASSERT_EQ(Boxes().GetBox(Mac(0x10, 2)), nullptr);
  TCustomTyxBox* again = Feed(Report(RT_TwoPortBox, Mac(0x10, 2), "Again"), kIp(127, 0, 0, 2));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(Boxes().BoxCount(), 3);
  EXPECT_EQ(Boxes().BoxAt(2), again);
  EXPECT_EQ(again->Name(), QStringLiteral("Again"));
  EXPECT_EQ(Feed(Report(RT_TwoPortBox, Mac(0x10, 3), "Box"), kIp(127, 0, 0, 3)), Boxes().BoxAt(1));
}

TEST_F(TyxBoxesTest, AfterABoxIsReplacedTheFirstBoxInListOrderWithTheMacTakesTheReport) {
  for (uint8_t i = 1; i <= 3; ++i) Feed(Report(RT_TwoPortBox, Mac(0x10, i), "Box"), kIp(127, 0, 0, i));
  TCustomTyxBox* last = Boxes().BoxAt(2);
  ASSERT_EQ(Feed(Report(RT_TwoPortBox, Mac(0x10, 3), "Box"), kIp(127, 0, 0, 3)), last);
  // The middle box goes and a box with the last box's MAC takes its place:
  // the list is as long as before, and the newcomer now comes first.
  Boxes().SFree(Boxes().BoxAt(1));
  TTyxBox* newcomer = TTyxBox::CreateDetected(E_Tyx2_10, Mac(0x10, 3), kIp(127, 0, 0, 9), QStringLiteral("New"));
  Boxes().SAtInsert(newcomer, 1);
  ASSERT_EQ(Boxes().BoxCount(), 3);
  EXPECT_EQ(Feed(Report(RT_TwoPortBox, Mac(0x10, 3), "Box"), kIp(127, 0, 0, 3)), newcomer);
  EXPECT_EQ(Boxes().GetBox(Mac(0x10, 3)), newcomer);
  // Moved to the front, the older box of that MAC is the first again.
  Boxes().MoveSub(last, true, 0, true);
  EXPECT_EQ(Feed(Report(RT_TwoPortBox, Mac(0x10, 3), "Box"), kIp(127, 0, 0, 3)), last);
  EXPECT_EQ(Boxes().GetBox(Mac(0x10, 1)), Boxes().BoxAt(1));
}

TEST_F(TyxBoxesTest, AnnouncementsAddUninitialisedBoxesThatAReportReplacesInPlace) {
  Feed(Report(RT_TwoPortBox, Mac(0x10, 1), "First"), kIp(127, 0, 0, 1));
  const QByteArray announcement = BuildAnnouncement(Mac(0x20, 2), QStringLiteral("Fresh"));
  TCustomTyxBox* fresh = Boxes().HandleAnnouncementDatagram(Span(announcement), kIp(127, 0, 0, 2));
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->BoxKind(), E_Tyx2_100_Uninitialized);
  EXPECT_FALSE(fresh->InheritsFrom(TTyxBox::StaticClass()));
  Feed(Report(RT_TwoPortBox, Mac(0x10, 3), "Last"), kIp(127, 0, 0, 3));
  ASSERT_EQ(Boxes().BoxCount(), 3);

  // The same box reports: it becomes a full TYX2-10/100 at the same place.
  TCustomTyxBox* full = Feed(Report(RT_TwoPortBox, Mac(0x20, 2), "Set up"), kIp(127, 0, 0, 2));
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(Boxes().BoxCount(), 3);
  EXPECT_EQ(Boxes().BoxAt(1), full);
  EXPECT_EQ(full->BoxKind(), E_Tyx2_100);
  EXPECT_TRUE(full->InheritsFrom(TTyxBox::StaticClass()));
  EXPECT_EQ(Boxes().BoxAt(2)->Name(), QStringLiteral("Last"));

  // An announcement for a box already held as a full box only marks it alive.
  full->SetAlive(false);
  EXPECT_EQ(Boxes().HandleAnnouncementDatagram(Span(announcement), kIp(127, 0, 0, 2)), full);
  EXPECT_EQ(Boxes().BoxCount(), 3);
  EXPECT_EQ(full->BoxKind(), E_Tyx2_100);
  EXPECT_TRUE(full->Alive());
}

TEST_F(TyxBoxesTest, OnInsertedIsToldOfNewAndFirstDetectedBoxesOnly) {
  std::vector<TCustomTyxBox*> inserted;
  Boxes().OnInserted = [&](TCustomTyxBox* b) { inserted.push_back(b); };
  TCustomTyxBox* box = Feed(Report(RT_EightPortBox, Mac(0x10, 1), "A"), kIp(127, 0, 0, 1));
  Feed(Report(RT_EightPortBox, Mac(0x10, 1), "A"), kIp(127, 0, 0, 1));
  ASSERT_EQ(inserted.size(), 1u);
  EXPECT_EQ(inserted[0], box);
}

TEST_F(TyxBoxesTest, DatagramsThatAreNoReportNameNoBoxAndNeverHarmTheList) {
  Feed(Report(RT_TwoPortBox, Mac(0x10, 1), "Kept"), kIp(127, 0, 0, 1));
  const TEmac mac = Mac(0x10, 1);
  // The tool's own commands come back through the group.
  const QByteArray own[] = {
      BuildIdentifyCommand(mac), BuildSetNameCommand(mac, "x"), BuildLedsCommand(mac, true), BuildPoll(), QByteArray(),
      QByteArray(1, '\x01')};
  for (const QByteArray& d : own) EXPECT_EQ(Feed(d, kIp(127, 0, 0, 1)), nullptr);

  // Short reports of every length and random bytes of any length.
  const QByteArray full = Report(RT_EightPortBox, Mac(0x10, 2), "Eight");
  for (int n = 0; n < full.size(); n += 7) Feed(full.left(n), kIp(127, 0, 0, 2));
  std::mt19937 random(7);
  for (int i = 0; i < 2000; ++i) {
    QByteArray d(static_cast<int>(random() % 2048), '\0');
    for (char& c : d) c = static_cast<char>(random());
    if (i % 3 == 0 && d.size() >= 2) d[0] = char(i % 2 ? 1 : 101), d[1] = 0;
    Feed(d, kIp(127, 0, 1, uint8_t(i)));
    Boxes().HandleAnnouncementDatagram(Span(d), kIp(127, 0, 2, uint8_t(i)));
  }
  ASSERT_GE(Boxes().BoxCount(), 1);
  EXPECT_EQ(Boxes().BoxAt(0)->Name(), QStringLiteral("Kept"));
  EXPECT_EQ(Boxes().GetBox(Mac(0x10, 1)), Boxes().BoxAt(0));
}

TEST_F(TyxBoxesTest, TheAliveTickTakesSilentBoxesDownAndAReportBringsThemBack) {
  TCustomTyxBox* box = Feed(Report(RT_TwoPortBox, Mac(0x10, 1), "A"), kIp(127, 0, 0, 1));
  fClock.AdvanceSeconds(10);
  Boxes().SendPoll();
  EXPECT_TRUE(box->Alive());
  fClock.AdvanceSeconds(1.5);
  Boxes().SendPoll();
  EXPECT_FALSE(box->Alive());
  EXPECT_EQ(box->StatusText(), QStringLiteral("Not Alive"));
  Feed(Report(RT_TwoPortBox, Mac(0x10, 1), "A"), kIp(127, 0, 0, 1));
  EXPECT_EQ(box->StatusText(), QStringLiteral("Alive"));
}

// ---------------------------------------------------------------------------
// Box operations

TEST_F(TyxBoxesTest, DummyBoxesStandInTheListFromTheStart) {
  TFreeAtEnd<TTyxBoxes> test(TTyxBoxes::Create(true));
  ASSERT_EQ(test->BoxCount(), 2);
  const TTyxKind kinds[] = {E_Tyx2_10, E_Tyx8_10};
  for (int i = 0; i < 2; ++i) {
    auto* box = static_cast<TTyxBox*>(test->BoxAt(i));
    EXPECT_EQ(box->BoxKind(), kinds[i]);
    EXPECT_EQ(box->Name(), QStringLiteral("Dummy"));
    EXPECT_EQ(box->MacName(), QStringLiteral("00:00:00"));
    EXPECT_TRUE(box->AsDemo);
  }
  EXPECT_EQ(test->Name(), QStringLiteral("Ethernet Velaboxes"));
  EXPECT_EQ(test->GetStateindex(), -1);
  EXPECT_NE(test->RQ(RQ_DeleteDenied), 0);
  EXPECT_NE(test->RQ(RQ_BrowseEditDenied), 0);
}

TEST_F(TyxBoxesTest, BoxOperationsActOnlyOnTheManagersOwnBoxes) {
  TTyxBox* wan = Boxes().AddTyx2();
  EXPECT_EQ(Boxes().GetBox(Mac(0x10, 77)), wan);  // a WAN box still without address
  Boxes().SetBoxIp(wan, QStringLiteral("127.0.0.300"));
  EXPECT_EQ(wan->IP(), 0u);
  Boxes().SetBoxIp(wan, QStringLiteral(" 127.0.0.30 "));
  EXPECT_EQ(wan->IP(), kIp(127, 0, 0, 30));
  EXPECT_EQ(Boxes().GetBox(Mac(0x10, 77)), nullptr);
  Boxes().SetMaxMin(wan, 2, 100, 5, 200);
  EXPECT_EQ(wan->ChRange()[1].Max, 200);

  TFreeAtEnd<TTyxBox> stranger(TTyxBox::Create(E_Tyx2_10, "00:00:01", "x"));
  Boxes().SetBoxIp(stranger.Ptr, QStringLiteral("127.0.0.31"));
  Boxes().SetMaxMin(stranger.Ptr, 2, 3, 4, 5);
  EXPECT_EQ(stranger->IP(), 0u);
  EXPECT_EQ(stranger->ChRange()[0].Max, 512);
}

TEST_F(TyxBoxesTest, CompressionIsAllowedUnlessALocalBoxCannotTakeIt) {
  auto reportWith = [](const TEmac& mac, TFirmVer version) {
    TTyxStatusReport r;
    r.Mac = mac;
    r.SVersion = version;
    r.Ports.assign(2, PortRecord(tyxp_VelaPool, 0));
    return BuildStatusReport(r);
  };
  TCustomTyxBox* modern = Feed(reportWith(Mac(0x10, 1), {0, 0, 6, 1}), kIp(127, 0, 0, 1));
  EXPECT_TRUE(Boxes().CompressedAllowed());
  TCustomTyxBox* old = Feed(reportWith(Mac(0x10, 2), {0, 3, 5, 1}), kIp(127, 0, 0, 2));
  EXPECT_FALSE(Boxes().CompressedAllowed());
  EXPECT_TRUE(Boxes().CompressedAllowed(modern));
  EXPECT_FALSE(Boxes().CompressedAllowed(old));
  old->SetWanBox(true);
  EXPECT_TRUE(Boxes().CompressedAllowed());
}

TEST_F(TyxBoxesTest, NetAndUniverseLimits) {
  struct Case {
    bool IsNet;
    int Value;
    bool Valid;
  };
  const Case cases[] = {{true, 0, true},   {true, 255, true},    {true, 256, false},
                        {true, -1, false}, {false, 32766, true}, {false, 32767, false}};
  for (const Case& c : cases) {
    bool fromOne = false;
    int max = 0, min = 1;
    EXPECT_EQ(Boxes().ValidateNetUniverse(c.IsNet, c.Value, fromOne, max, min), c.Valid) << c.Value;
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, c.IsNet ? 255 : 32766);
    EXPECT_EQ(fromOne, !c.IsNet);
  }
}

TEST_F(TyxBoxesTest, DmxPoolDataFromABoxGoesIntoTheOutBlockOfItsPort) {
  TCustomTyxBox* box = Feed(Report(RT_TwoPortBox, Mac(0x10, 1), "A"), kIp(127, 0, 0, 1));
  TDmxArea* area = box->EnsureOutArea(2, false);
  ASSERT_NE(area, nullptr);
  for (int i = 0; i < 2; ++i) area->Block(i)->SetEnabled(true);
  QByteArray packet(517, '\0');
  packet[0] = 3;
  packet[4] = 1;
  packet[5] = char(200);
  packet[516] = char(7);
  Boxes().HandleDmxPoolIn(kIp(127, 0, 0, 1), Span(packet));
  EXPECT_EQ(area->Block(1)->Levels()[0], 200);
  EXPECT_EQ(area->Block(1)->Levels()[511], 7);
  EXPECT_EQ(area->Block(0)->Levels()[0], 0);
  // Port 2, a short packet or an unknown source change nothing.
  packet[4] = 2;
  Boxes().HandleDmxPoolIn(kIp(127, 0, 0, 1), Span(packet));
  packet[4] = 0;
  Boxes().HandleDmxPoolIn(kIp(127, 0, 0, 1), Span(packet.left(516)));
  Boxes().HandleDmxPoolIn(kIp(127, 0, 0, 9), Span(packet));
  EXPECT_EQ(area->Block(0)->Levels()[0], 0);
}

// ---------------------------------------------------------------------------
// The predefined boxes file

class PredefinedTest : public TyxBoxesTest {
 protected:
  QString Path() const { return fDir.filePath(QStringLiteral("VelaBoxes.def")); }
  void Write(const QByteArray& Text) {
    QFile f(Path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(Text);
  }
  QByteArray Read() const {
    QFile f(Path());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  QTemporaryDir fDir;
};

TEST_F(PredefinedTest, StoreWritesOneLineAndOneSectionPerWanBoxAndLoadReadsThemBack) {
  Write("[Other]\r\nKeep=1\r\n");
  TTyxBox* a = Boxes().AddTyx2();
  Boxes().SetBoxIp(a, QStringLiteral("127.0.0.20"));
  Boxes().SetMaxMin(a, 1, 24, 100, 512);
  Feed(Report(RT_TwoPortBox, Mac(0x10, 1), "Local"), kIp(127, 0, 0, 1));  // not a WAN box: not stored
  ASSERT_TRUE(Boxes().StorePredefined(Path(), QStringLiteral("WanBoxes")));
  EXPECT_EQ(Read(), QByteArray("[Other]\r\nKeep=1\r\n"
                               "[WanBoxes]\r\n127.0.0.20=TYX2-10-00:00:00\r\n"
                               "[127.0.0.20]\r\nMin1=1\r\nMax1=24\r\nMin2=100\r\nMax2=512\r\n"));

  TFreeAtEnd<TTyxBoxes> other(TTyxBoxes::Create(false));
  ASSERT_TRUE(other->LoadPredefined(Path(), QStringLiteral("WanBoxes")));
  ASSERT_EQ(other->BoxCount(), 1);
  auto* loaded = static_cast<TTyxBox*>(other->BoxAt(0));
  EXPECT_TRUE(loaded->WanBox());
  EXPECT_EQ(loaded->IP(), kIp(127, 0, 0, 20));
  EXPECT_EQ(loaded->ChRange()[0].Max, 24);
  EXPECT_EQ(loaded->ChRange()[1].Min, 100);
}

TEST_F(PredefinedTest, StoringWithoutWanBoxesRemovesTheSectionAndKeepsTheRest) {
  Write("[WanBoxes]\r\n127.0.0.20=TYX2-10-00:00:00\r\n[127.0.0.20]\r\nMin1=3\r\n");
  ASSERT_TRUE(Boxes().StorePredefined(Path(), QStringLiteral("WanBoxes")));
  EXPECT_EQ(Read(), QByteArray("[127.0.0.20]\r\nMin1=3\r\n"));
}

TEST_F(PredefinedTest, LoadingMarksAKnownBoxAndSkipsBadEntries) {
  TCustomTyxBox* known = Feed(Report(RT_TwoPortBox, Mac(0x10, 1), "Known"), kIp(127, 0, 0, 5));
  Write(
      "; hand-edited\n[wanboxes]\n"
      "127.0.0.5=x\nnot-an-ip=x\n127.0.0.300=x\n127.0.0.6 = x\n127.0.0.6=again\n=x\n0.0.0.0=x\n"
      "[127.0.0.5]\nmin1=abc\nMAX1=600\nMin2=10\nMax2=5\n"
      "[127.0.0.6]\nMin1=2\nMax1=20\n");
  ASSERT_TRUE(Boxes().LoadPredefined(Path(), QStringLiteral("WanBoxes")));
  ASSERT_EQ(Boxes().BoxCount(), 2);
  EXPECT_EQ(Boxes().BoxAt(0), known);
  EXPECT_TRUE(known->WanBox());
  const TChRange& r = static_cast<TTyxBox*>(known)->ChRange();
  EXPECT_EQ(r[0].Min, 1);
  EXPECT_EQ(r[0].Max, 512);
  EXPECT_EQ(r[1].Min, 1);  // a reversed range reads as the whole universe
  EXPECT_EQ(r[1].Max, 512);
  auto* added = static_cast<TTyxBox*>(Boxes().BoxAt(1));
  EXPECT_EQ(added->IP(), kIp(127, 0, 0, 6));
  EXPECT_EQ(added->ChRange()[0].Min, 2);
  EXPECT_EQ(added->ChRange()[0].Max, 20);
  // A missing file reads as empty.
  EXPECT_TRUE(Boxes().LoadPredefined(fDir.filePath(QStringLiteral("none.def")), QStringLiteral("WanBoxes")));
  EXPECT_EQ(Boxes().BoxCount(), 2);
}

// ---------------------------------------------------------------------------
// Sockets on loopback

quint16 FreePort() {
  QUdpSocket probe;
  probe.bind(QHostAddress::LocalHost, 0);
  return probe.localPort();
}

class TyxBoxesNetTest : public TyxBoxesTest {
 protected:
  void SetUp() override {
    fOptions.Interface = QStringLiteral("127.0.0.1");
    fOptions.StatusPort = FreePort();
    fOptions.AnnouncePort = FreePort();
    Boxes().SetNetOptions(fOptions);
  }
  TTyxNetOptions fOptions;
};

TEST_F(TyxBoxesNetTest, ReportsArrivingOnTheStatusPortAddBoxes) {
  ASSERT_TRUE(Boxes().StartNet()) << Boxes().OpenErrorText().toStdString();
  EXPECT_EQ(Boxes().Name(), QStringLiteral("Ethernet Velaboxes"));
  EXPECT_EQ(Boxes().PollTimer()->interval(), 1000);
  QUdpSocket box;
  ASSERT_TRUE(box.bind(QHostAddress(QStringLiteral("127.0.0.21")), 0));
  box.writeDatagram(Report(RT_EightPortBox, Mac(0x10, 1), "Over the wire"), QHostAddress::LocalHost,
                    fOptions.StatusPort);
  // An oversized datagram is cut to the receive buffer and read as a report.
  QByteArray big = Report(RT_TwoPortBox, Mac(0x10, 2), "Big");
  big.append(QByteArray(4000, 'x'));
  box.writeDatagram(big, QHostAddress::LocalHost, fOptions.StatusPort);
  ASSERT_TRUE(WaitFor([&] { return Boxes().BoxCount() == 2; }));
  EXPECT_EQ(Boxes().BoxAt(0)->Name(), QStringLiteral("Over the wire"));
  EXPECT_EQ(Boxes().BoxAt(0)->IP(), kIp(127, 0, 0, 21));
  EXPECT_EQ(Boxes().BoxAt(1)->Name(), QStringLiteral("Big"));

  box.writeDatagram(BuildAnnouncement(Mac(0x20, 3), "New"), QHostAddress::LocalHost, fOptions.AnnouncePort);
  ASSERT_TRUE(WaitFor([&] { return Boxes().BoxCount() == 3; }));
  EXPECT_EQ(Boxes().BoxAt(2)->BoxKind(), E_Tyx2_100_Uninitialized);
}

TEST_F(TyxBoxesNetTest, WanBoxesArePolledAndCommandedAtTheirOwnAddress) {
  ASSERT_TRUE(Boxes().StartNet()) << Boxes().OpenErrorText().toStdString();
  QUdpSocket far;
  ASSERT_TRUE(far.bind(QHostAddress(QStringLiteral("127.0.0.22")), fOptions.StatusPort, QUdpSocket::ShareAddress));
  TTyxBox* wan = Boxes().AddTyx2();
  Boxes().SetBoxIp(wan, QStringLiteral("127.0.0.22"));
  Boxes().SendPoll();
  ASSERT_TRUE(WaitFor([&] { return far.hasPendingDatagrams(); }));
  EXPECT_EQ(far.receiveDatagram().data(), BuildPoll());
  wan->Identify();
  ASSERT_TRUE(WaitFor([&] { return far.hasPendingDatagrams(); }));
  EXPECT_EQ(far.receiveDatagram().data(), BuildIdentifyCommand(wan->BoxMac()));
}

TEST_F(TyxBoxesNetTest, AStatusPortHeldExclusivelyMakesTheStartFailAndTheNameSaySo) {
  QUdpSocket holder;
  ASSERT_TRUE(holder.bind(QHostAddress::AnyIPv4, fOptions.StatusPort, QUdpSocket::DontShareAddress));
  EXPECT_FALSE(Boxes().StartNet());
  EXPECT_TRUE(Boxes().OpenError());
  EXPECT_EQ(Boxes().Name(), QStringLiteral("Ethernet Velaboxes, initialization failed"));
  EXPECT_EQ(Boxes().PollTimer(), nullptr);
}

TEST_F(TyxBoxesNetTest, AnUnknownInterfaceIsRefusedWithItsReason) {
  const std::pair<const char*, const char*> cases[] = {{"no-such-if0", "no interface is named no-such-if0"},
                                                       {"127.0.0.99", "no local interface has the address"}};
  for (const auto& [text, reason] : cases) {
    fOptions.Interface = QString::fromLatin1(text);
    Boxes().SetNetOptions(fOptions);
    EXPECT_FALSE(Boxes().StartNet());
    EXPECT_TRUE(Boxes().OpenErrorText().contains(QString::fromLatin1(reason))) << Boxes().OpenErrorText().toStdString();
    EXPECT_EQ(Boxes().Name(), TTyxBoxes::FailedName());
  }
  ASSERT_TRUE(FindNetInterface(QStringLiteral("127.0.0.1")).has_value());
  EXPECT_EQ(FindNetInterface(FindNetInterface(QStringLiteral("127.0.0.1"))->name())->index(),
            FindNetInterface(QStringLiteral("127.0.0.1"))->index());
}

}  // namespace
}  // namespace vela
