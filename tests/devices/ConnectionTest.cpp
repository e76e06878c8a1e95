// The connection base: alive, active and detected state with the alive
// check, heartbeat, DMX areas and port use, AcceptDMX, partners, field
// writes and the stream, key-value and registry forms of its settings.
#include <QBuffer>
#include <QSettings>
#include <QTemporaryDir>
#include <vector>

#include "DeviceTestSupport.h"
#include "devices/DmxArea.h"
#include "devices/DmxBlock.h"
#include "framework/SConstants.h"
#include "framework/sstreams.h"
#include "platform/Storage.h"

namespace vela::testing {
namespace {

// A connection that records what its partners and settings hooks see.
class TRecordingConnection : public TConnection {
  VELA_CLASS(TRecordingConnection, TConnection)
  void SetPortOpen(bool Open) override { Opened.push_back(Open); }
  void StoreSettings() override { ++Stored; }
  std::vector<bool> Opened;
  int Stored = 0;
};
VELA_CLASS_IMPL(TRecordingConnection, TConnection)

class ConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    conn->OnDetectedChanged = [this](TConnection*) { ++detectedChanges; };
  }
  void Tick() {
    TMessage check{VM_AliveCheck, 0, 0, 0};
    conn->Dispatch(check);
  }
  TFakeClock clock;
  TFreeAtEnd<TDmxAdapter> conn{SNew<TDmxAdapter>()};
  int detectedChanges = 0;
};

TEST_F(ConnectionTest, AliveCheckTurnsSilentDevicesNotAlive) {
  struct Case {
    uint16_t timeout;
    double silentSeconds;
    bool alive;
  };
  const Case cases[] = {
      {10, 9.6, true},   {10, 10.0, true},  {10, 10.4, true},  // rounded to 10: not beyond the time-out
      {10, 10.6, false}, {10, 11.0, false}, {5, 5.7, false},  {0, 100000, true},  // 0 switches the check off
  };
  for (const Case& c : cases) {
    TFreeAtEnd<TConnection> device(SNew<TConnection>());
    device->SetAliveTimeout(c.timeout);
    device->SetAlive(true);
    clock.AdvanceSeconds(c.silentSeconds);
    TMessage check{VM_AliveCheck, 0, 0, 0};
    device->Dispatch(check);
    EXPECT_EQ(device->Alive(), c.alive) << c.timeout << " s after " << c.silentSeconds << " s";
  }
}

TEST_F(ConnectionTest, GoingNotAliveClearsActiveAndTellsOnce) {
  TNoteRecorder notes;
  conn->SetAliveTimeout(10);
  conn->SetActive(true);
  EXPECT_TRUE(conn->Alive());
  EXPECT_EQ(conn->LastSeen(), clock.Now());
  EXPECT_EQ(detectedChanges, 1);
  EXPECT_EQ(notes.Count(SOM_StatusChanged, conn.Ptr), 2) << "alive, then active";
  EXPECT_TRUE(conn->IsStatusDataDirty(TDtBits{DT_32}));

  clock.AdvanceSeconds(11);
  Tick();
  EXPECT_FALSE(conn->Alive());
  EXPECT_FALSE(conn->Active());
  EXPECT_EQ(detectedChanges, 2);
  EXPECT_EQ(notes.Count(SOM_StatusChanged, conn.Ptr), 3);
  Tick();
  EXPECT_EQ(detectedChanges, 2);
  EXPECT_EQ(notes.Count(SOM_StatusChanged, conn.Ptr), 3);

  conn->SetAlive(true);
  EXPECT_TRUE(conn->Alive());
  EXPECT_FALSE(conn->Active()) << "active is only raised by writing it";
  EXPECT_EQ(detectedChanges, 3);
}

TEST_F(ConnectionTest, NotAliveOnADeadConnectionOnlyClearsActive) {
  // A status block that says active but not alive.
  QByteArray bytes;
  {
    auto* out = new QBuffer(&bytes);
    out->open(QIODevice::WriteOnly);
    TSWriter writer(out, 64, W_ToFile, EV_6);
    writer.WriteDWord(0);
    writer.WriteDWord(0);
    writer.WriteBool(true);
    writer.WriteBool(false);
  }
  auto* in = new QBuffer;
  in->setData(bytes);
  in->open(QIODevice::ReadOnly);
  TSReader reader(in, 64, R_FromFile, EV_6);
  conn->LoadStatus(reader);
  ASSERT_TRUE(conn->Active());
  ASSERT_FALSE(conn->Alive());

  TNoteRecorder notes;
  conn->SetAlive(false);
  EXPECT_FALSE(conn->Active());
  EXPECT_EQ(detectedChanges, 0);
  EXPECT_EQ(notes.Count(SOM_StatusChanged, conn.Ptr), 1);
}

TEST_F(ConnectionTest, ActiveLapsesTwoSecondsAfterItWasLastSet) {
  conn->SetActive(true);
  EXPECT_EQ(conn->ActiveSet(), clock.Now());
  clock.AdvanceSeconds(1.5);
  Tick();
  EXPECT_TRUE(conn->Active());
  clock.AdvanceSeconds(0.6);
  Tick();
  EXPECT_FALSE(conn->Active());
  EXPECT_TRUE(conn->Alive()) << "without a time-out the device stays alive";

  // With a time-out, an alive device keeps its active state until it goes.
  conn->SetAliveTimeout(10);
  conn->SetActive(true);
  clock.AdvanceSeconds(5);
  Tick();
  EXPECT_TRUE(conn->Active());
}

TEST_F(ConnectionTest, DetectedIsStatusBitOne) {
  TNoteRecorder notes;
  conn->SetIsDetected(true);
  EXPECT_TRUE(conn->IsDetected());
  EXPECT_TRUE(conn->GetStatus(ST(1)));
  EXPECT_TRUE(conn->IsStatusDirty(TStBits{ST(1)}));
  EXPECT_EQ(notes.Count(SOM_DataChanged, conn.Ptr), 1);
  EXPECT_EQ(detectedChanges, 1);
  conn->SetIsDetected(true);
  EXPECT_EQ(detectedChanges, 1);
  conn->SetIsDetected(false);
  EXPECT_FALSE(conn->GetStatus(ST(1)));
  EXPECT_EQ(detectedChanges, 2);
}

TEST_F(ConnectionTest, KeptConnectionsConnectWhenAliveAndCycleWhenLost) {
  TNoteRecorder notes;
  conn->SetAlive(true);
  EXPECT_FALSE(conn->Connected());
  conn->SetKeepConnection(true);
  conn->SetAlive(true);
  EXPECT_TRUE(conn->Connected());
  const int before = notes.Count(SOM_DataChanged, conn.Ptr);
  conn->SetAlive(false);
  EXPECT_TRUE(conn->Connected()) << "disconnected and connected again";
  EXPECT_EQ(notes.Count(SOM_DataChanged, conn.Ptr), before + 2);
}

TEST_F(ConnectionTest, HeartbeatWhileAliveWithTheFlag) {
  TNoteRecorder notes;
  conn->SetAliveTimeout(10);
  conn->SetAlive(true);
  Tick();
  EXPECT_EQ(notes.Count(SOM_Activity, conn.Ptr), 0) << "no heartbeat without the flag";
  conn->SetBehaveFlags(TBehaveFlags{bh_HartBeat});
  Tick();
  Tick();
  EXPECT_EQ(notes.Count(SOM_Activity, conn.Ptr), 2);
  clock.AdvanceSeconds(20);
  Tick();
  EXPECT_FALSE(conn->Alive());
  EXPECT_EQ(notes.Count(SOM_Activity, conn.Ptr), 2);
}

TEST_F(ConnectionTest, MessagesRunTheCheckAndSwitchOff) {
  conn->SetAlive(true);
  TMessage other{VM_DeviceState, 1001, 0, 0};
  conn->Dispatch(other);
  EXPECT_TRUE(conn->Alive());
  TMessage off{VM_DeviceState, VMP_Off, 0, 0};
  conn->Dispatch(off);
  EXPECT_FALSE(conn->Alive());

  conn->SetAlive(true);
  DispatchObjectMessage(conn.Ptr, VM_DeviceState, 0, 0, static_cast<uint16_t>(VMP_Off));
  EXPECT_FALSE(conn->Alive());

  conn->SetAliveTimeout(3);
  conn->SetAlive(true);
  clock.AdvanceSeconds(4);
  DispatchObjectMessage(conn.Ptr, VM_AliveCheck, 0, 0, 0);
  EXPECT_FALSE(conn->Alive());
}

TEST_F(ConnectionTest, BrowserStatusCounterStaysWithinZeroAndFive) {
  for (int i = 0; i < 8; ++i) conn->RaiseBrStatusDirty();
  EXPECT_EQ(conn->BrStatusDirty(), 5);
  for (int i = 0; i < 8; ++i) conn->LowerBrStatusDirty();
  EXPECT_EQ(conn->BrStatusDirty(), 0);
}

TEST_F(ConnectionTest, FrameTypeAndTimeTexts) {
  const std::pair<int, const char*> cases[] = {{0, "24 Fps"}, {1, "25 Fps"}, {2, "30 Drop"},
                                               {3, "30 Fps"}, {4, "******"}, {255, "******"}};
  for (const auto& [type, text] : cases) {
    conn->SetFrameType(static_cast<uint8_t>(type));
    EXPECT_EQ(conn->FrameTypeStr(), QString::fromLatin1(text)) << type;
  }
  EXPECT_EQ(conn->TimeStr(), QStringLiteral("**:**:**:**"));
}

TEST_F(ConnectionTest, AcceptDmxFollowsOutputAndRestriction) {
  TFreeAtEnd<TDmxAdapter> other(SNew<TDmxAdapter>());
  TDmxBlock* restricted = other->EnsureOutArea(1, true)->Block(0);
  TDmxBlock* plain = other->EnsureInArea(1, false)->Block(0);
  EXPECT_FALSE(conn->AcceptDMX(plain, nullptr)) << "no in area";
  TDmxArea* in = conn->EnsureInArea(1, false);
  TDmxBlock* target = in->Block(0);
  struct Case {
    bool output;
    TDmxBlock* from;
    TDmxBlock* to;
    bool accepted;
  };
  const Case cases[] = {
      {false, restricted, target, true}, {true, restricted, target, false},  {true, plain, target, true},
      {false, nullptr, target, false},   {false, restricted, nullptr, true}, {true, restricted, nullptr, false},
      {true, plain, nullptr, true},      {true, nullptr, nullptr, false},
  };
  for (const Case& c : cases) {
    in->SetIsOutput(c.output);
    EXPECT_EQ(conn->AcceptDMX(c.from, c.to), c.accepted) << "output " << c.output << ", from "
                                                         << (c.from == restricted ? "restricted"
                                                             : c.from             ? "plain"
                                                                                  : "none")
                                                         << ", to " << (c.to ? "block" : "none");
  }
}

TEST_F(ConnectionTest, PortUseEnablesOneBlockOfThePort) {
  conn->EnsureInArea(2, false);
  conn->EnsureOutArea(2, false);
  struct Case {
    int use;
    bool in, out;
  };
  const Case cases[] = {{PU_In, true, false}, {PU_Out, false, true}, {PU_None, false, false}, {PU_In, true, false}};
  for (const Case& c : cases) {
    conn->SetPortUse(1, c.use);
    EXPECT_EQ(conn->PortUse(1), c.use);
    EXPECT_EQ(conn->InBlocks()->BlockEnabled(1), c.in) << c.use;
    EXPECT_EQ(conn->OutBlocks()->BlockEnabled(1), c.out) << c.use;
  }
  EXPECT_EQ(conn->PortUse(0), PU_None);
  EXPECT_EQ(conn->PortUse(9), PU_None);
  conn->SetPortUse(9, PU_Out);

  // Without the mutex a port may be both; in counts first.
  conn->EnableOutBlock(1, true);
  EXPECT_EQ(conn->PortUse(1), PU_In);
  EXPECT_TRUE(conn->OutBlocks()->BlockEnabled(1));
}

TEST_F(ConnectionTest, MutexKeepsAPortInputOrOutput) {
  conn->InOrOutMutex = true;
  conn->EnsureInArea(2, false);
  conn->EnsureOutArea(2, false);
  conn->EnableInBlock(0, true);
  conn->EnableOutBlock(0, true);
  EXPECT_FALSE(conn->InBlocks()->BlockEnabled(0));
  EXPECT_TRUE(conn->OutBlocks()->BlockEnabled(0));
  conn->InBlocks()->Block(0)->SetEnabled(true);
  EXPECT_FALSE(conn->OutBlocks()->BlockEnabled(0)) << "the block itself keeps the rule";
  EXPECT_FALSE(conn->InBlocks()->BlockEnabled(1));
  EXPECT_FALSE(conn->OutBlocks()->BlockEnabled(1));
}

TEST_F(ConnectionTest, AreasAreOwnedAndReplaced) {
  const size_t before = DmxAreas().size();
  TDmxArea* in = conn->EnsureInArea(2, true);
  EXPECT_EQ(conn->EnsureInArea(3, true), in);
  EXPECT_EQ(in->Numblocks(), 3);
  EXPECT_EQ(in->SOwner(), conn.Ptr);
  EXPECT_EQ(in->AreaState(), TDmxAreaState{St_DmxFromVelaNet});
  EXPECT_TRUE(in->IsOutput());
  TDmxArea* out = conn->EnsureOutArea(1, true);
  EXPECT_EQ(out->AreaState(), TDmxAreaState{St_DmxToVelaNet});
  EXPECT_TRUE(out->OutputRestricted());
  EXPECT_EQ(DmxAreas().size(), before + 2);

  TDmxArea* replacement = TDmxArea::Create1(nullptr, TDmxAreaState{St_DmxFromVelaNet}, 1);
  conn->SetInBlocks(replacement);
  EXPECT_EQ(conn->InBlocks(), replacement);
  EXPECT_EQ(replacement->SOwner(), conn.Ptr);
  EXPECT_EQ(DmxAreas().size(), before + 2) << "the old in area is freed";
  {
    TDmxAdapter* gone = SNew<TDmxAdapter>();
    gone->EnsureInArea(1, false);
    gone->EnsureOutArea(1, false);
    FreeObj(gone);
  }
  EXPECT_EQ(DmxAreas().size(), before + 2) << "a connection frees its areas";
}

TEST_F(ConnectionTest, AnAreaTakenOverLeavesItsFormerPlace) {
  const size_t before = DmxAreas().size();
  TDmxArea* out = conn->EnsureOutArea(1, false);
  conn->SetInBlocks(out);
  EXPECT_EQ(conn->InBlocks(), out);
  EXPECT_EQ(conn->OutBlocks(), nullptr);
  TFreeAtEnd<TDmxAdapter> other(SNew<TDmxAdapter>());
  other->SetOutBlocks(out);
  EXPECT_EQ(conn->InBlocks(), nullptr);
  EXPECT_EQ(out->SOwner(), other.Ptr);
  EXPECT_EQ(DmxAreas().size(), before + 1);
  FreeObj(out);
  EXPECT_EQ(other->OutBlocks(), nullptr) << "an area freed elsewhere leaves no dangling slot";
}

TEST_F(ConnectionTest, ScanningTheSubtreeWalksTheAreas) {
  conn->EnsureInArea(2, false);
  conn->EnsureOutArea(1, false);
  int blocks = 0;
  int areas = 0;
  conn->ScanSubs(
      [&](TVelaObject* o) {
        blocks += o->Objtype() == kDmxBlockType;
        areas += o->Objtype() == kDmxAreaType;
        return false;
      },
      TSlSet{SLev_1, Slev_all});
  EXPECT_EQ(blocks, 3);
  EXPECT_EQ(areas, 2);
  conn->InBlocks()->Block(1)->SetNetId(77);
  EXPECT_EQ(conn->FindServerid(77, 0), conn->InBlocks()->Block(1));
}

TEST_F(ConnectionTest, NetUniverseRules) {
  bool fromOne = false;
  int max = 0, min = -1;
  EXPECT_TRUE(conn->ValidateNetUniverse(true, 255, fromOne, max, min));
  EXPECT_FALSE(fromOne);
  EXPECT_EQ(max, 255);
  EXPECT_EQ(min, 0);
  EXPECT_FALSE(conn->ValidateNetUniverse(false, 256, fromOne, max, min));
  EXPECT_TRUE(fromOne);
  EXPECT_FALSE(conn->ValidateNetUniverse(false, -1, fromOne, max, min));
  EXPECT_EQ(conn->DefaultNetUniverse(true, 3), 3);
  EXPECT_EQ(conn->DefaultNetGroup(), 0);
  EXPECT_EQ(conn->AdvancedSetup(nullptr), nullptr);
  EXPECT_FALSE(conn->CanAdvansedSetup());
  EXPECT_EQ(conn->Detect(), conn.Ptr);
  EXPECT_EQ(conn->RefOutBlocks(), nullptr);
  EXPECT_EQ(conn->ComPorts(), nullptr);
}

TEST_F(ConnectionTest, PartnersAreHeldByPathAndNeverReadOnceGone) {
  TFreeAtEnd<TConnection> root(SNew<TConnection>());
  root->SetName(QStringLiteral("Root"));
  root->CreateStdSubs();
  auto* desk = SNew<TRecordingConnection>();
  desk->SetName(QStringLiteral("Desk"));
  root->SInsert(desk, false);
  auto* port = SNew<TRecordingConnection>();
  root->SInsert(port, false);

  conn->SetMidiIn(desk);
  EXPECT_EQ(conn->MidiIn(), desk);
  EXPECT_EQ(conn->MidiInPath(), QStringLiteral("Root\\Desk"));
  EXPECT_EQ(desk->Opened, std::vector<bool>({true}));
  conn->SetMidiIn(port);
  EXPECT_EQ(desk->Opened, std::vector<bool>({true, false})) << "the old partner is closed first";
  EXPECT_EQ(port->Opened, std::vector<bool>({true}));

  conn->SetTCSource(desk);
  EXPECT_EQ(conn->TCSource(), desk);
  EXPECT_EQ(conn->TCSourcePath(), QStringLiteral("Root\\Desk"));
  root->SFree(desk);
  EXPECT_EQ(conn->TCSource(), nullptr);
  EXPECT_EQ(conn->TCSourcePath(), QStringLiteral("Root\\Desk"));

  conn->SetMidiOutPath(QStringLiteral("Root\\Port"));
  EXPECT_EQ(conn->MidiOutPath(), QStringLiteral("Root\\Port"));
  EXPECT_EQ(conn->MidiOut(), nullptr) << "paths resolve to no object here";
}

TEST_F(ConnectionTest, FieldWritesStoreTheSettings) {
  TFreeAtEnd<TRecordingConnection> rec(SNew<TRecordingConnection>());
  const uint8_t frame = 3;
  const uint8_t yes = 1;
  rec->_SetField(false, CSF_FrameType, &frame);
  rec->_SetField(false, CSF_SendTimeAsHour, &yes);
  rec->_SetField(false, CSF_DenyRemoteAdmin, &yes);
  EXPECT_EQ(rec->FrameType(), 3);
  EXPECT_EQ(rec->FN(FK_Byte, CF_FrameType), 3);
  EXPECT_TRUE(rec->SendTrackAsHour());
  EXPECT_TRUE(rec->DenyRemoteAdmin());
  EXPECT_EQ(rec->FF(FK_Bool, CF_DenyRemoteAdmin), QStringLiteral("On"));
  EXPECT_EQ(rec->Stored, 3);
  rec->_SetField(false, 999, &yes);
  EXPECT_EQ(rec->Stored, 3);
}

TEST_F(ConnectionTest, ListenersAreConnectionsAndLeaveWhenGone) {
  auto* a = SNew<TConnection>();
  TFreeAtEnd<TVelaObject> plain(SNew<TVelaObject>());
  conn->AddListener(a);
  conn->AddListener(a);
  conn->AddListener(plain.Ptr);
  EXPECT_EQ(conn->Listeners(), std::vector<TConnection*>({a}));
  FreeObj(a);
  EXPECT_TRUE(conn->Listeners().empty());
  TFreeAtEnd<TConnection> b(SNew<TConnection>());
  conn->AddListener(b.Ptr);
  conn->RemoveListener(b.Ptr);
  EXPECT_TRUE(conn->Listeners().empty());
}

TEST_F(ConnectionTest, NotAliveVariantOfTheIcon) {
  FrameworkHooks().ImageIndex = [](TVelaObject*, bool) { return 50; };
  EXPECT_EQ(conn->GetImageindex(false), 50);
  conn->UseDoubleIcon = true;
  EXPECT_EQ(conn->GetImageindex(false), 51);
  conn->SetAlive(true);
  EXPECT_EQ(conn->GetImageindex(false), 50);
  FrameworkHooks().ImageIndex = nullptr;
  conn->SetAlive(false);
  EXPECT_EQ(conn->GetImageindex(false), -1) << "no image stays no image";
}

TEST_F(ConnectionTest, StreamFormByteForByte) {
  TFreeAtEnd<TTestAdapter> device(SNew<TTestAdapter>());
  device->SetCanMidiOut(true);
  device->SetFrameType(2);
  device->SetSendTrackAsHour(true);
  device->SetMidiInPath(QStringLiteral("I"));
  device->SetDenyRemoteAdmin(true);
  device->SetIsDetected(true);
  const QByteArray expected =
      Hex("61ea0000"  // test type 60001
          "00"        // no name
          "01000000"
          "00000000"  // status: detected
          "00"
          "00"  // not active, not alive
          "01"
          "02"
          "01"  // MIDI, frame type, time as hour
          "80014900"
          "00"
          "00"        // MIDI in path "I", MIDI out and time-code paths empty
          "01"        // remote administration denied
          "00000000"  // no sub collection
          "00000000"
          "00000000");  // no in area, no out area
  EXPECT_EQ(StreamBytes(device.Ptr), expected);
}

TEST_F(ConnectionTest, StreamRoundTripKeepsSettingsAndAreas) {
  TFreeAtEnd<TTestAdapter> device(SNew<TTestAdapter>());
  device->SetName(QStringLiteral("Box"));
  device->SetCanMidiOut(true);
  device->SetFrameType(1);
  device->SetMidiOutPath(QStringLiteral("A\\B"));
  device->SetActive(true);
  device->EnsureInArea(2, true)->Block(1)->SetEnabled(true);
  device->EnsureOutArea(1, true);
  const QByteArray bytes = StreamBytes(device.Ptr);
  TFreeAtEnd<TSobject> read(ReadObject(bytes));
  ASSERT_NE(read.Ptr, nullptr);
  ASSERT_TRUE(read->InheritsFrom(TTestAdapter::StaticClass()));
  auto* copy = static_cast<TTestAdapter*>(read.Ptr);
  EXPECT_EQ(copy->Name(), QStringLiteral("Box"));
  EXPECT_TRUE(copy->CanMidiOut());
  EXPECT_EQ(copy->FrameType(), 1);
  EXPECT_EQ(copy->MidiOutPath(), QStringLiteral("A\\B"));
  EXPECT_TRUE(copy->Active());
  EXPECT_TRUE(copy->Alive());
  ASSERT_NE(copy->InBlocks(), nullptr);
  ASSERT_NE(copy->OutBlocks(), nullptr);
  EXPECT_EQ(copy->InBlocks()->SOwner(), copy);
  EXPECT_EQ(copy->InBlocks()->Numblocks(), 2);
  EXPECT_TRUE(copy->InBlocks()->BlockEnabled(1));
  EXPECT_TRUE(copy->OutBlocks()->OutputRestricted());
  EXPECT_EQ(copy->InBlocks()->Block(1)->BConnection(), copy);
  EXPECT_EQ(StreamBytes(copy), bytes);
}

TEST_F(ConnectionTest, DataRecordsReachTheObjectsBelowTheNamedOwner) {
  TFreeAtEnd<TTestAdapter> device(SNew<TTestAdapter>());
  TDmxBlock* block = device->EnsureOutArea(1, false)->Block(0);
  block->SetNetId(77);
  TFreeAtEnd<TDmxBlock> model(SNew<TDmxBlock>());
  model->SetName(QStringLiteral("Fed"));
  model->SetNetUniverse(12);

  QByteArray bytes;
  QBuffer out(&bytes);
  out.open(QIODevice::ReadWrite);
  {
    TSWriter writer(&out, 1024, W_ToNet, EV_6);
    writer.UseNetid = true;
    writer.KeepStream = true;
    auto record = [&](uint32_t ownerType, uint32_t id) {
      const qint64 start = writer.Position();
      writer.WriteInteger(0);
      writer.WriteDWord(ownerType);
      writer.WriteDWord(0);
      writer.WriteDWord(id);
      model->Storedata(writer);
      writer.FlushBuffer();
      const qint64 next = writer.Position();
      writer.SetPosition(start);
      writer.WriteInteger(static_cast<int32_t>(next));
      writer.SetPosition(next);
    };
    record(kTestAdapterType, 99);  // no such object: skipped
    record(kDmxBlockType, 77);     // the block is the owner of that type, and nothing is below it
    record(kTestAdapterType, 77);
    writer.FlushBuffer();
  }
  out.close();
  QBuffer stream(&bytes);
  stream.open(QIODevice::ReadOnly);
  TNoteRecorder notes;
  block->HandleDataStream(stream, 0);
  EXPECT_EQ(block->NetUniverse(), 12);
  EXPECT_EQ(block->Name(), QStringLiteral("Fed"));
  EXPECT_EQ(notes.Count(SOM_DataChanged, block), 1);
}

// Key-value storage and registry values live in an INI file of a temporary folder.
class ConnectionStorageTest : public ConnectionTest {
 protected:
  std::unique_ptr<TSettingsStorage> Open() {
    return TSettingsStorage::OpenIni(dir.filePath(QStringLiteral("vela.ini")));
  }
  QTemporaryDir dir;
};

TEST_F(ConnectionStorageTest, BlockSettingsRoundTripThroughKeyValueStorage) {
  ASSERT_TRUE(dir.isValid());
  TFreeAtEnd<TTestAdapter> device(SNew<TTestAdapter>());
  device->SetName(QStringLiteral("Stage"));
  TDmxArea* in = device->EnsureInArea(2, false);
  TDmxBlock* b = in->Block(1);
  b->SetName(QStringLiteral("Front"));
  b->SetEnabled(true);
  b->SetNetGroup(3);
  b->SetNetUniverse(4);
  b->SetSourceUniverse(5);
  b->SetPortId(6);
  b->SetSourceKind(DMXS_DmxPlayer);
  device->EnsureOutArea(1, false);
  {
    auto storage = Open();
    storage->SetCurrentPath(QStringLiteral("Devices"));
    device->StoreToXml(*storage);
  }
  auto storage = Open();
  const QString folder = QStringLiteral("Devices\\") + device->XmlPath();
  EXPECT_EQ(storage->ReadInteger(folder, QStringLiteral("NumIn"), -1), 2);
  EXPECT_EQ(storage->ReadInteger(folder, QStringLiteral("NumOut"), -1), 1);
  EXPECT_EQ(storage->ReadInteger(folder + QStringLiteral("\\In2"), QStringLiteral("SK"), -1), 2);

  TFreeAtEnd<TTestAdapter> loaded(SNew<TTestAdapter>());
  storage->SetCurrentPath(folder);
  loaded->LoadFromXml(*storage, false, false);
  EXPECT_EQ(loaded->Name(), QStringLiteral("Stage"));
  ASSERT_NE(loaded->InBlocks(), nullptr);
  ASSERT_EQ(loaded->InBlocks()->Numblocks(), 2);
  EXPECT_TRUE(loaded->InBlocks()->IsOutput()) << "the in area is read as an output";
  TDmxBlock* c = loaded->InBlocks()->Block(1);
  EXPECT_EQ(c->Name(), QStringLiteral("Front"));
  EXPECT_TRUE(c->Enabled());
  EXPECT_EQ(c->NetGroup(), 3);
  EXPECT_EQ(c->NetUniverse(), 4);
  EXPECT_EQ(c->SourceUniverse(), 5);
  EXPECT_EQ(c->PortId(), 6);
  EXPECT_EQ(c->SourceKind(), DMXS_DmxPlayer);
  EXPECT_FALSE(loaded->InBlocks()->Block(0)->Enabled());
  ASSERT_NE(loaded->OutBlocks(), nullptr);
  EXPECT_EQ(loaded->OutBlocks()->Numblocks(), 1);
}

TEST_F(ConnectionStorageTest, MissingBlockValuesTakeTheirDefaults) {
  ASSERT_TRUE(dir.isValid());
  auto storage = Open();
  storage->SetCurrentPath(QStringLiteral("Bare"));
  storage->WriteInteger(QStringLiteral("NumIn"), 3);
  storage->WriteInteger(QStringLiteral("NumOut"), 0);
  storage->WriteInteger(QStringLiteral("Bare\\In2"), QStringLiteral("Enabled"), 1);
  storage->WriteInteger(QStringLiteral("Bare\\In3"), QStringLiteral("SK"), 9);
  conn->LoadFromXml(*storage, false, false);
  ASSERT_NE(conn->InBlocks(), nullptr);
  EXPECT_EQ(conn->OutBlocks(), nullptr);
  for (int i = 0; i < 3; ++i) {
    TDmxBlock* b = conn->InBlocks()->Block(i);
    EXPECT_EQ(b->Enabled(), i == 1) << i;
    EXPECT_EQ(b->NetGroup(), 0) << i;
    EXPECT_EQ(b->NetUniverse(), i) << i;
    EXPECT_EQ(b->SourceUniverse(), i + 1) << i;
    EXPECT_EQ(b->PortId(), 0) << i;
    EXPECT_EQ(b->SourceKind(), 0) << i;
  }
}

TEST_F(ConnectionStorageTest, RegistryValuesRoundTrip) {
  ASSERT_TRUE(dir.isValid());
  const QString key = QStringLiteral("Software\\Vela\\Stage");
  conn->SetCanMidiOut(true);
  conn->SetFrameType(1);
  conn->SetSendTrackAsHour(true);
  conn->SetMidiInPath(QStringLiteral("Ports\\In 1"));
  conn->SetMidiOutPath(QStringLiteral("Ports\\Out 2"));
  conn->SetTCSourcePath(QStringLiteral("Clock"));
  conn->SetDenyRemoteAdmin(true);
  {
    auto storage = Open();
    storage->SetCurrentPath(key);
    conn->StoreToRegistry(*storage);
  }
  {
    QSettings raw(dir.filePath(QStringLiteral("vela.ini")), QSettings::IniFormat);
    EXPECT_EQ(raw.value(QStringLiteral("Software/Vela/Stage/Midi In")).toString(), QStringLiteral("Ports\\In 1"));
    EXPECT_EQ(raw.value(QStringLiteral("Software/Vela/Stage/Deny Remote Admin")).toInt(), 1);
  }
  auto storage = Open();
  storage->SetCurrentPath(key);
  TFreeAtEnd<TConnection> loaded(SNew<TConnection>());
  loaded->LoadFromRegistry(*storage);
  EXPECT_TRUE(loaded->CanMidiOut());
  EXPECT_EQ(loaded->FrameType(), 1);
  EXPECT_TRUE(loaded->SendTrackAsHour());
  EXPECT_EQ(loaded->MidiInPath(), QStringLiteral("Ports\\In 1"));
  EXPECT_EQ(loaded->MidiOutPath(), QStringLiteral("Ports\\Out 2"));
  EXPECT_EQ(loaded->TCSourcePath(), QStringLiteral("Clock"));
  EXPECT_TRUE(loaded->DenyRemoteAdmin());
}

TEST_F(ConnectionStorageTest, MidiSwitchedOffStaysOffAndHidesTheMidiValues) {
  ASSERT_TRUE(dir.isValid());
  auto storage = Open();
  storage->SetCurrentPath(QStringLiteral("Key"));
  conn->SetCanMidiOut(true);
  conn->SetMidiInPath(QStringLiteral("Old"));
  conn->StoreToRegistry(*storage);
  conn->SetCanMidiOut(false);
  conn->StoreToRegistry(*storage);

  TFreeAtEnd<TConnection> loaded(SNew<TConnection>());
  loaded->LoadFromRegistry(*storage);
  EXPECT_FALSE(loaded->CanMidiOut());
  EXPECT_EQ(loaded->MidiInPath(), QString()) << "MIDI values are read only with MIDI on";

  TFreeAtEnd<TConnection> untouched(SNew<TConnection>());
  untouched->SetFrameType(3);
  storage->SetCurrentPath(QStringLiteral("Empty"));
  untouched->LoadFromRegistry(*storage);
  EXPECT_EQ(untouched->FrameType(), 3) << "absent values change nothing";

  untouched->NotStoreRegistry = true;
  untouched->StoreToRegistry(*storage);
  EXPECT_FALSE(storage->ValueExists(QStringLiteral("Deny Remote Admin")));
}

}  // namespace
}  // namespace vela::testing
