// A block's levels, copies, enabled and active state, simulation, fields,
// bar graph and stream form.
#include <QImage>
#include <QPainter>
#include <numeric>
#include <vector>

#include "DeviceTestSupport.h"
#include "devices/DmxBlock.h"
#include "devices/DmxSources.h"
#include "platform/Assertion.h"
#include "platform/Endian.h"

namespace vela::testing {
namespace {

std::vector<uint8_t> Ramp(size_t Size, int Offset = 0) {
  std::vector<uint8_t> data(Size);
  for (size_t i = 0; i < Size; ++i) data[i] = static_cast<uint8_t>(i + static_cast<size_t>(Offset));
  return data;
}

class DmxBlockTest : public ::testing::Test {
 protected:
  TFakeClock clock;
  TFreeAtEnd<TDmxBlock> block{SNew<TDmxBlock>()};
};

TEST_F(DmxBlockTest, StartsDisabledAndAllOff) {
  EXPECT_FALSE(block->Enabled());
  EXPECT_EQ(block->ActiveState(), DMX_AllOff);
  EXPECT_EQ(block->BlockSize(), 512);
  EXPECT_EQ(block->GetStateindex(), 4);
  EXPECT_EQ(block->Objtype(), kDmxBlockType);
  EXPECT_EQ(block->Name(), QStringLiteral("DMX Block"));
}

TEST_F(DmxBlockTest, LevelAccessOutsideTheBlockReadsZeroAndWritesNothing) {
  block->SetEnabled(true);
  block->SetLevel(0, 11);
  block->SetLevel(511, 22);
  block->SetLevel(512, 33);
  block->SetLevel(-1, 44);
  struct Case {
    int at;
    uint8_t index0Based, channel1Based;
  };
  const Case cases[] = {{0, 11, 0}, {1, 0, 11}, {511, 22, 0}, {512, 0, 22}, {513, 0, 0}, {-1, 0, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(block->GetLevel(c.at), c.index0Based) << "index " << c.at;
    EXPECT_EQ(block->GetLevelOffs1(c.at), c.channel1Based) << "channel " << c.at;
  }
  block->SetLevelOffs1(0, 99);
  block->SetLevelOffs1(513, 99);
  EXPECT_EQ(block->GetLevel(0), 11);
  EXPECT_EQ(std::accumulate(block->Levels().begin(), block->Levels().end(), 0), 33);
}

TEST_F(DmxBlockTest, EqualLevelOnlyMarksSeenDifferentLevelMarksChanged) {
  block->SetEnabled(true);
  int changes = 0;
  block->OnChanged = [&](TDmxBlock*) { ++changes; };
  const TDateTime t1 = clock.Now();
  block->SetLevel(5, 100);
  clock.AdvanceSeconds(3);
  block->SetLevel(5, 100);
  EXPECT_EQ(block->LastChanged(), t1);
  EXPECT_EQ(block->LastSeen(), clock.Now());
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(block->IsStatusDataDirty(TDtBits{DT(2)}));
}

TEST_F(DmxBlockTest, SameBytesCopiedTwiceChangeLastChangedOnceAndLastSeenTwice) {
  block->SetEnabled(true);
  int changes = 0;
  block->OnChanged = [&](TDmxBlock*) { ++changes; };
  const std::vector<uint8_t> data = Ramp(512, 1);
  int index = 0;
  block->CopyFromBuf(data, index);
  EXPECT_EQ(index, 512);
  const TDateTime first = clock.Now();
  EXPECT_EQ(block->LastChanged(), first);
  EXPECT_EQ(block->LastSeen(), first);

  clock.AdvanceSeconds(1);
  index = 0;
  block->CopyFromBuf(data, index);
  EXPECT_EQ(block->LastChanged(), first);
  EXPECT_EQ(block->LastSeen(), clock.Now());
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), block->Levels().begin()));
}

TEST_F(DmxBlockTest, DisabledBlockIgnoresEveryCopyButPassesOverItsShare) {
  const std::vector<uint8_t> data = Ramp(1024, 1);
  int index = 0;
  block->CopyFromBuf(data, index);
  EXPECT_EQ(index, 512) << "the next block of a flat buffer takes the second half";
  block->CopyOffsFromBuf(data, 0, true);
  const std::vector<uint32_t> longs(512, 0x1FF);
  block->CopyLongBuffer(longs);
  TFreeAtEnd<TDmxBlock> other(SNew<TDmxBlock>());
  other->SetEnabled(true);
  other->SetLevel(0, 200);
  block->CopyFromBlock(*other.Ptr);
  EXPECT_TRUE(std::all_of(block->Levels().begin(), block->Levels().end(), [](uint8_t v) { return v == 0; }));
  EXPECT_EQ(block->LastSeen(), 0.0);
  EXPECT_EQ(block->LastChanged(), 0.0);
}

TEST_F(DmxBlockTest, CopyFromBufTakesAtMost512BytesFromTheIndex) {
  block->SetEnabled(true);
  struct Case {
    size_t size;
    int index;
    int indexAfter;
    uint8_t level0;    // level of channel 1 afterwards
    uint8_t level511;  // level of channel 512 afterwards
  };
  const Case cases[] = {
      {512, 0, 512, 0, 255},      // the whole buffer
      {1024, 512, 1024, 0, 255},  // the second half of a longer buffer: bytes 512.. are 0..255 again
      {300, 0, 300, 0, 0},        // a short buffer fills the first 300 channels only
      {100, 200, 200, 0, 0},      // nothing left from the index: nothing happens
      {512, -4, -4, 0, 0},        // a negative index takes nothing
  };
  for (const Case& c : cases) {
    block->SetEnabled(false);
    block->SetEnabled(true);
    const std::vector<uint8_t> data = Ramp(c.size);
    int index = c.index;
    block->CopyFromBuf(data, index);
    EXPECT_EQ(index, c.indexAfter) << c.size << "/" << c.index;
    EXPECT_EQ(block->GetLevel(0), c.level0) << c.size << "/" << c.index;
    EXPECT_EQ(block->GetLevel(511), c.level511) << c.size << "/" << c.index;
  }
  block->SetEnabled(false);
  block->SetEnabled(true);
  const std::vector<uint8_t> data = Ramp(300, 7);
  int index = 0;
  block->CopyFromBuf(data, index);
  EXPECT_EQ(block->GetLevel(299), static_cast<uint8_t>(306));
  EXPECT_EQ(block->GetLevel(300), 0);
}

TEST_F(DmxBlockTest, CopyOffsFromBufClampsAtTheBlockEndAndMarksSeenOnlyWhenAsked) {
  block->SetEnabled(true);
  const std::vector<uint8_t> data = Ramp(100, 1);
  block->CopyOffsFromBuf(data, 500, true);
  EXPECT_EQ(block->GetLevel(500), 1);
  EXPECT_EQ(block->GetLevel(511), 12);
  const TDateTime changed = clock.Now();

  clock.AdvanceSeconds(2);
  block->CopyOffsFromBuf(std::span(data).first(12), 500, false);
  EXPECT_EQ(block->LastSeen(), changed) << "equal bytes without mark-seen";
  block->CopyOffsFromBuf(std::span(data).first(12), 500, true);
  EXPECT_EQ(block->LastSeen(), clock.Now());
  EXPECT_EQ(block->LastChanged(), changed);

  block->CopyOffsFromBuf(data, 513, true);
  block->CopyOffsFromBuf(data, -1, true);
  block->CopyOffsFromBuf(data, 512, true);
  EXPECT_EQ(block->GetLevel(0), 0);
  EXPECT_EQ(block->LastChanged(), changed);
}

TEST_F(DmxBlockTest, CopyLongBufferTakesTheLowByteOfEachValue) {
  block->SetEnabled(true);
  const std::vector<uint32_t> values = {0x12345678, 0xFF, 0x100, 0xABCDEF01};
  block->CopyLongBuffer(values);
  EXPECT_EQ(block->GetLevel(0), 0x78);
  EXPECT_EQ(block->GetLevel(1), 0xFF);
  EXPECT_EQ(block->GetLevel(2), 0x00);
  EXPECT_EQ(block->GetLevel(3), 0x01);
  EXPECT_EQ(block->LastChanged(), clock.Now());
}

TEST_F(DmxBlockTest, WriteToBuf1WritesOnlyDifferencesAndAdvancesByTheRoomItHad) {
  block->SetEnabled(true);
  const std::vector<uint8_t> levels = Ramp(512, 3);
  int index = 0;
  block->CopyFromBuf(levels, index);

  std::vector<uint8_t> buffer(1024, 0);
  index = 0;
  EXPECT_TRUE(block->WriteToBuf1(buffer, index));
  EXPECT_EQ(index, 512);
  EXPECT_TRUE(std::equal(levels.begin(), levels.end(), buffer.begin()));
  index = 0;
  EXPECT_FALSE(block->WriteToBuf1(buffer, index)) << "the buffer holds the levels already";
  EXPECT_EQ(index, 512);

  std::vector<uint8_t> shortBuffer(600, 0);
  index = 300;
  EXPECT_TRUE(block->WriteToBuf1(shortBuffer, index));
  EXPECT_EQ(index, 600);
  EXPECT_EQ(shortBuffer[300], levels[0]);
  EXPECT_EQ(shortBuffer[599], levels[299]);

  std::vector<uint8_t> full(512, 0);
  index = 512;
  EXPECT_FALSE(block->WriteToBuf1(full, index));
  EXPECT_EQ(index, 1024);
}

TEST_F(DmxBlockTest, WriteToExtBufOffsetCopiesWhatFitsFromTheOffset) {
  block->SetEnabled(true);
  const std::vector<uint8_t> levels = Ramp(512);
  int index = 0;
  block->CopyFromBuf(levels, index);
  std::vector<uint8_t> out(100, 0);
  EXPECT_EQ(block->WriteToExtBufOffset(out, 10), 100);
  EXPECT_EQ(out[0], 10);
  EXPECT_EQ(block->WriteToExtBufOffset(out, 500), 12);
  EXPECT_EQ(out[11], levels[511]);
  EXPECT_EQ(block->WriteToExtBufOffset(out, 512), 0);
  EXPECT_EQ(block->WriteToExtBufOffset(out, -1), 0);
}

TEST_F(DmxBlockTest, CopyFromBlockTakesBlindLevelsOnlyWhenAccepted) {
  block->SetEnabled(true);
  TFreeAtEnd<TDmxBlock> other(SNew<TDmxBlock>());
  other->SetEnabled(true);
  other->SetLevel(0, 10);
  other->SetUseBlind(true);
  ASSERT_NE(other->PBlindBuffer(), nullptr);
  other->PBlindBuffer()[0] = 77;

  block->CopyFromBlock(*other.Ptr);
  EXPECT_EQ(block->GetLevel(0), 10);
  EXPECT_FALSE(block->IsBlind);

  block->SetAcceptBlind(true);
  block->CopyFromBlock(*other.Ptr);
  EXPECT_EQ(block->GetLevel(0), 77);
  EXPECT_TRUE(block->IsBlind);

  other->SetUseBlind(false);
  EXPECT_EQ(other->PBlindBuffer(), nullptr);
  block->CopyFromBlock(*other.Ptr);
  EXPECT_EQ(block->GetLevel(0), 10);
}

TEST_F(DmxBlockTest, LastNetBufferChangedReportsEachChangeOnce) {
  block->SetEnabled(true);
  EXPECT_FALSE(block->LastNetBufferChanged());
  block->SetLevel(3, 1);
  EXPECT_TRUE(block->LastNetBufferChanged());
  EXPECT_FALSE(block->LastNetBufferChanged());
}

TEST_F(DmxBlockTest, EnablingCanBeRefusedAndIsToldAfterwards) {
  std::vector<bool> asked;
  bool allow = false;
  block->OnEnabledChanged = [&](TDmxBlock*, bool isTest) {
    asked.push_back(isTest);
    return allow;
  };
  block->SetEnabled(true);
  EXPECT_FALSE(block->Enabled());
  EXPECT_EQ(asked, std::vector<bool>({true}));

  allow = true;
  TNoteRecorder notes;
  block->SetEnabled(true);
  EXPECT_TRUE(block->Enabled());
  EXPECT_EQ(block->ActiveState(), Dmx_Passive);
  EXPECT_EQ(asked, std::vector<bool>({true, true, false}));
  EXPECT_EQ(notes.Count(SOM_DataChanged, block.Ptr), 1);

  block->SetEnabled(true);
  EXPECT_EQ(asked.size(), 3u) << "no change, nothing asked or told";
}

TEST_F(DmxBlockTest, DisablingClearsLevelsTimesAndSimulation) {
  block->SetEnabled(true);
  block->SetSimulate(true);
  block->DoSimulate1(clock.Now());
  ASSERT_NE(block->LastChanged(), 0.0);
  block->SetActiveState(DmxUpdated);

  block->SetEnabled(false);
  EXPECT_TRUE(std::all_of(block->Levels().begin(), block->Levels().end(), [](uint8_t v) { return v == 0; }));
  EXPECT_EQ(block->LastChanged(), 0.0);
  EXPECT_EQ(block->LastSeen(), 0.0);
  EXPECT_EQ(block->ActiveState(), DMX_AllOff);
  EXPECT_TRUE(block->GetStatus(ST(4)));

  // The ramp starts afresh: the first step after enabling refills the levels.
  block->SetEnabled(true);
  clock.AdvanceSeconds(1);
  block->DoSimulate1(clock.Now());
  const auto s = static_cast<uint32_t>(DoubleToBits(clock.Now()));
  EXPECT_EQ(block->GetLevel(1), static_cast<uint8_t>(s + 1));
}

TEST_F(DmxBlockTest, ActiveStateWritesTheStatusBits) {
  struct Case {
    bool enabled;
    TDmxActivestate state;
    bool st1, st2, st4;
    TDmxActivestate reads;
    int icon;
  };
  const Case cases[] = {
      {true, DMX_AllOff, false, false, true, DMX_AllOff, 1},   {true, Dmx_Passive, false, false, false, Dmx_Passive, 1},
      {true, Dmx_Active, true, false, false, Dmx_Active, 2},   {true, DmxUpdated, true, true, false, DmxUpdated, 3},
      {false, Dmx_Passive, false, false, true, DMX_AllOff, 4}, {false, Dmx_Active, true, false, false, Dmx_Active, 4},
      {false, DMX_AllOff, false, false, true, DMX_AllOff, 4},
  };
  for (const Case& c : cases) {
    TFreeAtEnd<TDmxBlock> b(SNew<TDmxBlock>());
    b->SetEnabled(c.enabled);
    b->SetActiveState(c.state);
    EXPECT_EQ(b->GetStatus(ST(1)), c.st1) << c.enabled << "/" << int(c.state);
    EXPECT_EQ(b->GetStatus(ST(2)), c.st2) << c.enabled << "/" << int(c.state);
    EXPECT_EQ(b->GetStatus(ST(4)), c.st4) << c.enabled << "/" << int(c.state);
    EXPECT_EQ(b->ActiveState(), c.reads) << c.enabled << "/" << int(c.state);
    EXPECT_EQ(b->GetStateindex(), c.icon) << c.enabled << "/" << int(c.state);
  }
}

TEST_F(DmxBlockTest, LeavingTheActiveStateClearsTheTimes) {
  block->SetEnabled(true);
  block->SetLevel(0, 1);
  block->SetActiveState(Dmx_Passive);
  EXPECT_NE(block->LastChanged(), 0.0) << "a passive block keeps its times";
  block->SetActiveState(Dmx_Active);
  block->SetActiveState(Dmx_Passive);
  EXPECT_EQ(block->LastChanged(), 0.0);
  EXPECT_EQ(block->LastSeen(), 0.0);
}

TEST_F(DmxBlockTest, OffMessageClearsActiveAndUpdated) {
  block->SetEnabled(true);
  block->SetActiveState(DmxUpdated);
  TMessage other{VM_DeviceState, 5, 0, 0};
  block->Dispatch(other);
  EXPECT_EQ(block->ActiveState(), DmxUpdated);
  TMessage off{VM_DeviceState, VMP_Off, 0, 0};
  block->Dispatch(off);
  EXPECT_FALSE(block->GetStatus(ST(1)));
  EXPECT_FALSE(block->GetStatus(ST(2)));
  EXPECT_EQ(block->ActiveState(), Dmx_Passive);
}

TEST_F(DmxBlockTest, CommandsStampTheNetRequestAndTheValidation) {
  block->ExecCommand(BC_NetRequest, 0);
  EXPECT_EQ(block->LastNetRequest, clock.Now());
  block->ExecCommand(BC_Validate, 0);
  EXPECT_EQ(block->Validated(), clock.Now());
  block->ExecCommand(BC_ClearValidated, 0);
  EXPECT_EQ(block->Validated(), 0.0);
}

TEST_F(DmxBlockTest, NetAddressChangesMayBeRefusedButAlwaysRepaint) {
  std::vector<bool> asked;
  bool allow = false;
  block->OnNetUniverseChanged = [&](TDmxBlock*, bool isGroup) {
    asked.push_back(isGroup);
    return allow;
  };
  TNoteRecorder notes;
  block->SetNetGroup(3);
  block->SetNetUniverse(4);
  EXPECT_EQ(block->NetGroup(), 0);
  EXPECT_EQ(block->NetUniverse(), 0);
  EXPECT_EQ(asked, std::vector<bool>({true, false}));
  EXPECT_EQ(notes.Count(SOM_DataChanged, block.Ptr), 2) << "refused values are shown again";
  allow = true;
  block->SetNetGroup(3);
  block->SetNetUniverse(4);
  EXPECT_EQ(block->NetGroup(), 3);
  EXPECT_EQ(block->NetUniverse(), 4);
  block->SetNetUniverse(4);
  EXPECT_EQ(asked.size(), 4u);
  EXPECT_EQ(notes.Count(SOM_DataChanged, block.Ptr), 4);
}

TEST_F(DmxBlockTest, SourceKindAboveTheKnownKindsStoresAny) {
  struct Case {
    uint8_t written, stored;
    const char* text;
  };
  const Case cases[] = {{0, 0, "Any"}, {1, 1, "Lightboard"}, {2, 2, "DMX Recorder"}, {3, 0, "Any"}, {7, 0, "Any"}};
  for (const Case& c : cases) {
    block->SetSourceKind(c.written);
    EXPECT_EQ(block->SourceKind(), c.stored) << int(c.written);
    EXPECT_EQ(block->FF(FK_ByteKind, BF_SourceKind), QString::fromLatin1(c.text)) << int(c.written);
  }
  uint8_t seven = 7;
  EXPECT_TRUE(block->DoSetField(true, FK_ByteKind, BF_SourceKind, &seven));
  EXPECT_EQ(block->SourceKind(), DMXS_Any);
  EXPECT_EQ(SourceKindText(9), QStringLiteral("??"));
  TParamsOpt opt;
  const TSelectionList list = block->GetSelectionList(FK_ByteKind, BF_SourceKind, opt);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[2].Text, QStringLiteral("DMX Recorder"));
  EXPECT_EQ(list[2].Value, 2);
}

TEST_F(DmxBlockTest, FieldWritesGoThroughTheBlockRules) {
  const uint8_t on = 1;
  EXPECT_TRUE(block->DoSetField(true, FK_Bool, BF_Enabled, &on));
  EXPECT_TRUE(block->Enabled());
  EXPECT_EQ(block->ActiveState(), Dmx_Passive);
  const uint16_t universe = 7;
  block->DoSetField(true, FK_Word, BF_NetUniverse, &universe);
  EXPECT_EQ(block->NetUniverse(), 7);
  EXPECT_EQ(block->FN(FK_Word, BF_NetUniverse), 7);
  const uint8_t port = 3;
  block->DoSetField(true, FK_ByteKind, BF_PortId, &port);
  EXPECT_EQ(block->PortId(), 3);
  EXPECT_EQ(block->FF(FK_ByteKind, BF_PortId), QStringLiteral("3"));
  EXPECT_TRUE(block->DoIncField(true, FK_Word, BF_NetGroup, 0, 2));
  EXPECT_EQ(block->NetGroup(), 2);

  const QString path = QStringLiteral("Stage\\Desk.DmxBlock.1");
  block->DoSetField(true, FK_Text, BF_Source, &path);
  ASSERT_EQ(block->NumSources(), 1);
  EXPECT_EQ(block->ACNDevs()->Ref(0)->Node(), QStringLiteral("Stage"));
  EXPECT_EQ(block->ACNDevs()->Ref(0)->RefName(), QStringLiteral("Desk.DmxBlock.1"));
  EXPECT_EQ(block->FF(FK_Text, BF_Source), path);
  EXPECT_EQ(block->FF(FK_Special, BF_Source), path);
}

TEST_F(DmxBlockTest, BlockSizeNeverExceedsTheLevelBuffer) {
  block->SetBlockSize(600);
  EXPECT_EQ(block->BlockSize(), 512);
  block->SetBlockSize(100);
  block->SetEnabled(true);
  block->SetLevel(100, 9);
  EXPECT_EQ(block->GetLevel(100), 0);
  EXPECT_EQ(block->GetLevelOffs1(101), 0);
}

TEST_F(DmxBlockTest, BlockWithoutConnectionIsAProgrammingError) {
  EXPECT_THROW(block->BConnection(), EVelaAssertion);
  EXPECT_FALSE(block->IsInput());
  EXPECT_EQ(block->Area(), nullptr);
}

TEST_F(DmxBlockTest, SimulationRotatesARampOncePerStep) {
  block->DoSimulate1(clock.Now());
  EXPECT_EQ(block->LastChanged(), 0.0) << "disabled: no simulation";
  block->SetEnabled(true);
  block->DoSimulate1(clock.Now());
  EXPECT_EQ(block->LastChanged(), 0.0) << "not simulating";

  block->SetSimulate(true);
  const TDateTime now = clock.Now();
  block->DoSimulate1(now);
  const auto s = static_cast<uint32_t>(DoubleToBits(now));
  // Filled with (s + i + 1) mod 256, then one rotation step.
  EXPECT_EQ(block->GetLevel(0), static_cast<uint8_t>(s + 512));
  EXPECT_EQ(block->GetLevel(1), static_cast<uint8_t>(s + 1));
  EXPECT_EQ(block->GetLevel(511), static_cast<uint8_t>(s + 511));
  EXPECT_EQ(block->LastChanged(), now);
  EXPECT_EQ(block->LastSeen(), now);

  const TDmxOneBlock before = block->Levels();
  clock.AdvanceSeconds(1);
  block->DoSimulate1(clock.Now());
  EXPECT_EQ(block->GetLevel(0), before[511]);
  for (int i = 1; i < 512; ++i) ASSERT_EQ(block->GetLevel(i), static_cast<uint8_t>(before[i] - 1)) << i;
  EXPECT_EQ(block->LastChanged(), clock.Now());
}

TEST_F(DmxBlockTest, ContentPaintsABarPerChannel) {
  block->SetEnabled(true);
  block->SetLevel(0, 255);
  block->SetLevel(2, 128);
  QImage image(512, 10, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    EXPECT_TRUE(block->PaintImage(&painter, image.rect(), FK_Graphic, 0, 0, nullptr));
    EXPECT_FALSE(block->PaintImage(&painter, image.rect(), FK_Graphic, 7, 0, nullptr));
  }
  const QRgb yellow = qRgb(255, 255, 0);
  const QRgb black = qRgb(0, 0, 0);
  for (int y = 0; y < 10; ++y) {
    EXPECT_EQ(image.pixel(0, y), yellow) << y;
    EXPECT_EQ(image.pixel(1, y), black) << y;
  }
  // 128 of 255 on 10 pixels is a bar of 5.
  EXPECT_EQ(image.pixel(2, 4), black);
  EXPECT_EQ(image.pixel(2, 5), yellow);
  EXPECT_EQ(image.pixel(2, 9), yellow);
  EXPECT_EQ(image.pixel(511, 9), black);
}

TEST_F(DmxBlockTest, ColumnsOfAFreeBlock) {
  TLParamDef def;
  TParamsOpt opt;
  ASSERT_EQ(block->DefaultPDef(def, opt), 3);
  EXPECT_EQ(def[0].Head, QStringLiteral("Block"));
  EXPECT_EQ(def[0].FK, FK_Special);
  EXPECT_EQ(def[0].SizeX, 56);
  EXPECT_EQ(def[1].Head, QStringLiteral("Enabled"));
  EXPECT_EQ(def[1].FK, FK_Bool);
  EXPECT_EQ(def[1].ID, 1u);
  EXPECT_EQ(def[2].Head, QStringLiteral("Content"));
  EXPECT_EQ(def[2].FK, FK_Graphic);
  EXPECT_EQ(def[2].SizeX, 512);
  EXPECT_TRUE(def[2].DDStat.Has(DT(2)));
}

TEST_F(DmxBlockTest, StreamFormByteForByte) {
  block->SetName(QStringLiteral("B"));
  block->SetUseDevices(true);
  block->SetEnabled(true);
  block->SetBlockIsOutput(true);
  block->SetOutputRestricted(true);
  block->SetNetGroup(0x0102);
  block->SetNetUniverse(0x0304);
  block->SetLevel(0, 1);  // status data DT_2 dirty
  const QByteArray expected =
      Hex("91010000"    // type 401
          "80014200"    // name "B"
          "04000000"    // status: ST_3 (output restricted)
          "02000000"    // dirty status data: DT_2
          "01010001"    // use devices, enabled, not simulating, output
          "0201"        // net group
          "0403"        // net universe
          "00000000"    // no sub collection
          "00000000");  // no sources
  EXPECT_EQ(StreamBytes(block.Ptr), expected);

  TFreeAtEnd<TSobject> read(ReadObject(expected));
  ASSERT_NE(read.Ptr, nullptr);
  ASSERT_TRUE(read->InheritsFrom(TDmxBlock::StaticClass()));
  auto* copy = static_cast<TDmxBlock*>(read.Ptr);
  EXPECT_EQ(copy->Name(), QStringLiteral("B"));
  EXPECT_TRUE(copy->UseDevices());
  EXPECT_TRUE(copy->Enabled());
  EXPECT_FALSE(copy->Simulate());
  EXPECT_TRUE(copy->BlockIsOutput());
  EXPECT_TRUE(copy->OutputRestricted());
  EXPECT_EQ(copy->NetGroup(), 0x0102);
  EXPECT_EQ(copy->NetUniverse(), 0x0304);
  EXPECT_EQ(copy->BlockSize(), 512);
  EXPECT_EQ(StreamBytes(copy), expected);
}

}  // namespace
}  // namespace vela::testing
