// Areas: blocks and their names, levels across blocks, flat buffers, net
// universes, states, flags, linking references by name and the stream form.
#include <vector>

#include "DeviceTestSupport.h"
#include "devices/DmxArea.h"
#include "devices/DmxBlock.h"
#include "devices/DmxSources.h"
#include "framework/sstreams.h"

namespace vela::testing {
namespace {

class DmxAreaTest : public ::testing::Test {
 protected:
  // A free area to the network with Count enabled blocks.
  static TDmxArea* FreeArea(int Count, bool Enable = true) {
    TDmxArea* area = TDmxArea::Create1(nullptr, TDmxAreaState{St_DmxToVelaNet}, Count);
    for (int i = 0; i < Count && Enable; ++i) area->Block(i)->SetEnabled(true);
    return area;
  }
  TFakeClock clock;
};

TEST_F(DmxAreaTest, FlatChannelsRunAcrossTheBlocks) {
  TFreeAtEnd<TDmxArea> area(FreeArea(2));
  area->SetFlatLevel(513, 7);
  area->SetFlatLevel(512, 5);
  area->SetFlatLevel(1, 3);
  EXPECT_EQ(area->Block(1)->GetLevel(0), 7);
  EXPECT_EQ(area->Block(0)->GetLevel(511), 5);
  struct Case {
    int channel;
    uint8_t level;
  };
  const Case cases[] = {{513, 7}, {512, 5}, {1, 3}, {0, 0}, {-5, 0}, {1024, 0}, {1025, 0}, {100000, 0}};
  for (const Case& c : cases) EXPECT_EQ(area->GetFlatLevel(c.channel), c.level) << c.channel;
  area->SetFlatLevel(0, 9);
  area->SetFlatLevel(1025, 9);
  EXPECT_EQ(area->GetFlatLevel(1), 3);
}

TEST_F(DmxAreaTest, BlocksAreNamedAfterTheOwnerAndNumberedFromOne) {
  TFreeAtEnd<TDmxAdapter> stage(SNew<TDmxAdapter>());
  stage->SetName(QStringLiteral("Stage"));
  TNoteRecorder notes;
  TDmxArea* in = stage->EnsureInArea(3, true);
  TDmxArea* out = stage->EnsureOutArea(2, true);
  EXPECT_EQ(notes.Count(SOM_Inserted), 0) << "blocks go in without the inserted message";
  ASSERT_EQ(in->Numblocks(), 3);
  for (int i = 0; i < 3; ++i) {
    TDmxBlock* b = in->Block(i);
    const QString name = QStringLiteral("Stage.DmxBlock.") + QString::number(i + 1);
    EXPECT_EQ(b->Name(), name);
    EXPECT_EQ(b->SourceUniverse(), i + 1);
    EXPECT_TRUE(b->BlockIsOutput());
    EXPECT_FALSE(b->OutputRestricted());
    ASSERT_NE(b->ACNDevs(), nullptr) << "blocks from the network have sources";
    EXPECT_EQ(b->ACNDevs()->Name(), name + QStringLiteral(" DMX Sources"));
    EXPECT_EQ(b->ACNDevs()->OwnerUniverse(), b);
    EXPECT_TRUE(b->IsInput());
    EXPECT_EQ(b->FF(FK_Special, BF_Position), QString::number(i + 1));
  }
  EXPECT_EQ(out->Block(1)->Name(), QStringLiteral("Stage.DmxBlock.2"));
  EXPECT_EQ(out->Block(1)->ACNDevs(), nullptr);
  EXPECT_TRUE(out->Block(1)->OutputRestricted());
  EXPECT_FALSE(out->Block(1)->BlockIsOutput());
  EXPECT_EQ(in->NumInblocks(), 3);
  EXPECT_EQ(out->NumInblocks(), 0);

  TFreeAtEnd<TDmxArea> loose(FreeArea(1));
  EXPECT_EQ(loose->Block(0)->Name(), QStringLiteral("DmxBlock.1"));
}

TEST_F(DmxAreaTest, ShrinkingFreesBlocksFromTheEnd) {
  TFreeAtEnd<TDmxArea> area(FreeArea(3));
  TDmxBlock* first = area->Block(0);
  TObjRef<TDmxBlock> last(area->Block(2));
  area->SetNumblocks(1);
  EXPECT_EQ(area->Numblocks(), 1);
  EXPECT_EQ(area->Block(0), first);
  EXPECT_EQ(last.Get(), nullptr);
  area->SetNumblocks(-2);
  EXPECT_EQ(area->Numblocks(), 0);
}

TEST_F(DmxAreaTest, BlockFactoryMakesTheNewBlocks) {
  TFreeAtEnd<TDmxArea> area(FreeArea(0));
  area->OnCreateBlock = [](TDmxArea*) {
    auto* b = SNew<TDmxBlock>();
    b->SetBlockSize(256);
    return b;
  };
  area->SetNumblocks(2);
  EXPECT_EQ(area->TotalChans(), 512);
  EXPECT_EQ(area->Block(1)->Name(), QStringLiteral("DmxBlock.2"));
  TDmxBlock* added = area->AddInblock1(nullptr);
  EXPECT_EQ(area->Numblocks(), 3);
  EXPECT_EQ(added->BlockSize(), 512);
  EXPECT_EQ(added->SourceUniverse(), 3);
}

TEST_F(DmxAreaTest, FlatBuffersSkipTheShareOfADisabledBlock) {
  TFreeAtEnd<TDmxArea> area(FreeArea(3));
  area->Block(1)->SetEnabled(false);
  std::vector<uint8_t> flat(1536);
  for (size_t i = 0; i < flat.size(); ++i) flat[i] = static_cast<uint8_t>(i / 512 + 1);
  area->CopyFromFlatbuffer(0, flat);
  EXPECT_EQ(area->Block(0)->GetLevel(511), 1);
  EXPECT_EQ(area->Block(1)->GetLevel(0), 0);
  EXPECT_EQ(area->Block(2)->GetLevel(0), 3) << "block 3 takes its own third, not block 2's";

  std::vector<uint8_t> out(1536, 0xEE);
  area->CopyToFlatbuffer(0, out);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[512], 0);
  EXPECT_EQ(out[1535], 3);

  std::vector<uint8_t> shifted(1024, 0);
  area->CopyToFlatbuffer(512, shifted);
  EXPECT_EQ(shifted[511], 0);
  EXPECT_EQ(shifted[512], 1);
}

TEST_F(DmxAreaTest, DataToNetBlocksFillsTheOverlapOfEachEnabledBlock) {
  TFreeAtEnd<TDmxArea> area(FreeArea(3));
  area->Block(0)->SetNetUniverse(0);
  area->Block(1)->SetNetUniverse(512);
  area->Block(2)->SetNetUniverse(505);
  area->Block(2)->SetEnabled(false);
  std::vector<uint8_t> data(10);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i + 1);
  area->DataToNetBlocks(508, data);
  EXPECT_EQ(area->Block(0)->GetLevel(507), 0);
  EXPECT_EQ(area->Block(0)->GetLevel(508), 1);
  EXPECT_EQ(area->Block(0)->GetLevel(511), 4);
  EXPECT_EQ(area->Block(1)->GetLevel(0), 5);
  EXPECT_EQ(area->Block(1)->GetLevel(5), 10);
  EXPECT_EQ(area->Block(1)->GetLevel(6), 0);
  EXPECT_EQ(area->Block(2)->GetLevel(3), 0);
  area->DataToNetBlocks(2000, data);  // overlaps nothing
  area->DataToNetBlocks(0, {});
  EXPECT_EQ(area->Block(1)->GetLevel(0), 5);
}

TEST_F(DmxAreaTest, ReadBlocksCopiesTheBlocksBothAreasHave) {
  TFreeAtEnd<TDmxArea> small(FreeArea(1));
  TFreeAtEnd<TDmxArea> large(FreeArea(3));
  large->Block(0)->SetLevel(0, 10);
  large->Block(2)->SetLevel(0, 30);
  small->ReadBlocks(*large.Ptr);
  EXPECT_EQ(small->Block(0)->GetLevel(0), 10);
  small->Block(0)->SetLevel(0, 99);
  large->ReadBlocks(*small.Ptr);
  EXPECT_EQ(large->Block(0)->GetLevel(0), 99);
  EXPECT_EQ(large->Block(2)->GetLevel(0), 30);
}

TEST_F(DmxAreaTest, BlocksStateIsTheHighestStateAndSettingItClearsInactiveLevels) {
  TFreeAtEnd<TDmxArea> area(FreeArea(3));
  EXPECT_EQ(area->BlocksState(), Dmx_Passive);
  area->Block(1)->SetActiveState(Dmx_Active);
  area->Block(2)->SetEnabled(false);
  EXPECT_EQ(area->BlocksState(), Dmx_Active);
  EXPECT_EQ(DmxAreaIconState(area.Ptr), 3);
  EXPECT_EQ(DmxAreaIconState(nullptr), 0);
  area->Block(1)->SetLevel(4, 44);
  area->SetBlocksState(Dmx_Passive);
  EXPECT_EQ(area->Block(1)->GetLevel(4), 0);
  EXPECT_EQ(area->BlocksState(), Dmx_Passive);
  area->SetBlocksState(DmxUpdated);
  EXPECT_EQ(area->BlocksState(), DmxUpdated);
  EXPECT_EQ(DmxAreaIconState(area.Ptr), 4);
}

TEST_F(DmxAreaTest, QueriesOverTheBlocks) {
  TFreeAtEnd<TDmxArea> area(FreeArea(2));
  area->Block(0)->SetNetUniverse(4);
  area->Block(1)->SetNetUniverse(5);
  area->Block(1)->SetEnabled(false);
  EXPECT_TRUE(area->IsNetUniverseUsed(4));
  EXPECT_FALSE(area->IsNetUniverseUsed(5)) << "only enabled blocks count";
  EXPECT_EQ(area->TotalChans(), 1024);
  EXPECT_TRUE(area->BlockEnabled(0));
  EXPECT_FALSE(area->BlockEnabled(1));
  EXPECT_FALSE(area->BlockEnabled(7));
  area->SetBlockEnabled(1, true);
  area->SetBlockEnabled(7, true);
  EXPECT_TRUE(area->BlockEnabled(1));
  EXPECT_EQ(area->GetChannelHint(), QString());
}

TEST_F(DmxAreaTest, AreaFlagsReachEveryBlock) {
  TFreeAtEnd<TDmxArea> area(FreeArea(2));
  area->SetBlind(true);
  area->SetAcceptBlind(true);
  area->SetIsOutput(true);
  area->SetOutputRestricted(true);
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(area->Block(i)->UseBlind());
    EXPECT_TRUE(area->Block(i)->AcceptBlind());
    EXPECT_TRUE(area->Block(i)->BlockIsOutput());
    EXPECT_TRUE(area->Block(i)->OutputRestricted());
  }
  area->SetBlind(false);
  EXPECT_FALSE(area->Block(0)->UseBlind());

  int told = 0;
  area->SetOnBlockChanged([&](TDmxBlock*) { ++told; });
  area->Block(0)->SetLevel(0, 1);
  area->SetNumblocks(3);
  area->Block(2)->SetEnabled(true);
  area->Block(2)->SetLevel(0, 1);
  EXPECT_EQ(told, 2) << "existing and new blocks tell the area's event";
}

TEST_F(DmxAreaTest, EveryAreaStandsInTheProcessList) {
  const size_t before = DmxAreas().size();
  TDmxArea* area = FreeArea(1);
  EXPECT_EQ(DmxAreas().size(), before + 1);
  EXPECT_EQ(DmxAreas().back(), area);
  FreeObj(area);
  EXPECT_EQ(DmxAreas().size(), before);
}

TEST_F(DmxAreaTest, ReferencesAreLinkedByNameWhenTheNamedBlockAppears) {
  TFreeAtEnd<TDmxAdapter> desk(SNew<TDmxAdapter>());
  desk->SetName(QStringLiteral("Desk"));
  TFreeAtEnd<TDmxAdapter> stage(SNew<TDmxAdapter>());
  stage->SetName(QStringLiteral("Stage"));
  TDmxArea* in = stage->EnsureInArea(1, false);
  TDeviceRef* ref = in->Block(0)->AddSourceByPath(QStringLiteral("Desk.DmxBlock.2"));
  ASSERT_NE(ref, nullptr);
  EXPECT_EQ(ref->Reference(), nullptr) << "nothing of that name exists yet";

  TDmxArea* out = desk->EnsureOutArea(2, false);
  EXPECT_EQ(ref->Reference(), out->Block(1));
  EXPECT_EQ(in->Block(0)->SingleSource(), out->Block(1));
  EXPECT_EQ(in->Block(0)->SourcePath(), QStringLiteral("\\Desk.DmxBlock.2"));

  out->SetNumblocks(1);
  EXPECT_EQ(ref->Reference(), nullptr) << "a freed source is never read";
  EXPECT_EQ(in->Block(0)->SourceName(), QStringLiteral("Desk.DmxBlock.2"));
  out->SetNumblocks(2);
  in->CheckRemoteNames1();
  EXPECT_EQ(ref->Reference(), out->Block(1));
}

TEST_F(DmxAreaTest, InputBlocksShowTheirSourceColumn) {
  TFreeAtEnd<TDmxAdapter> stage(SNew<TDmxAdapter>());
  TDmxArea* in = stage->EnsureInArea(1, false);
  TLParamDef def;
  TParamsOpt opt;
  ASSERT_EQ(in->Block(0)->DefaultPDef(def, opt), 4);
  EXPECT_EQ(def[2].Head, QStringLiteral("Source"));
  EXPECT_EQ(def[2].FK, FK_Special);
  EXPECT_EQ(def[2].ID, 1u);
  EXPECT_EQ(def[2].SizeX, 160);
  EXPECT_EQ(in->Block(0)->FF(FK_Special, BF_Source), QStringLiteral("No Source Defined"));
}

TEST_F(DmxAreaTest, StreamFormByteForByte) {
  TFreeAtEnd<TDmxArea> area(TDmxArea::Create1(nullptr, TDmxAreaState{St_DmxFromVelaNet}, 0));
  area->SetName(QStringLiteral("A"));
  area->SetIsOutput(true);
  area->SetBlind(true);
  const QByteArray expected =
      Hex("96010000"    // type 406
          "0100"        // blind, not accepting blind data
          "80014100"    // name "A"
          "01"          // from the network
          "00000000"    // number of out blocks
          "0100"        // output, not restricted
          "02000000"    // sub collection (type 2):
          "00000000"    //   count
          "10000000"    //   limit
          "10000000");  //   delta
  EXPECT_EQ(StreamBytes(area.Ptr), expected);
  TFreeAtEnd<TSobject> read(ReadObject(expected));
  ASSERT_NE(read.Ptr, nullptr);
  ASSERT_TRUE(read->InheritsFrom(TDmxArea::StaticClass()));
  auto* copy = static_cast<TDmxArea*>(read.Ptr);
  EXPECT_TRUE(copy->Blind());
  EXPECT_FALSE(copy->AcceptBlind());
  EXPECT_TRUE(copy->IsOutput());
  EXPECT_FALSE(copy->OutputRestricted());
  EXPECT_EQ(copy->AreaState(), TDmxAreaState{St_DmxFromVelaNet});
  EXPECT_EQ(StreamBytes(copy), expected);
}

TEST_F(DmxAreaTest, StreamRoundTripKeepsBlocksAndSources) {
  TFreeAtEnd<TDmxAdapter> stage(SNew<TDmxAdapter>());
  stage->SetName(QStringLiteral("Stage"));
  TDmxArea* in = stage->EnsureInArea(2, false);
  in->SetBlind(true);
  in->Block(1)->SetEnabled(true);
  in->Block(1)->SetNetUniverse(9);
  in->Block(1)->AddSourceByPath(QStringLiteral("Node\\Other"));
  const QByteArray bytes = StreamBytes(in);
  TFreeAtEnd<TSobject> read(ReadObject(bytes));
  ASSERT_NE(read.Ptr, nullptr);
  auto* copy = static_cast<TDmxArea*>(read.Ptr);
  ASSERT_EQ(copy->Numblocks(), 2);
  EXPECT_EQ(copy->Block(1)->Name(), QStringLiteral("Stage.DmxBlock.2"));
  EXPECT_TRUE(copy->Block(1)->Enabled());
  EXPECT_EQ(copy->Block(1)->NetUniverse(), 9);
  EXPECT_TRUE(copy->Block(0)->UseBlind()) << "the area's blind flag reaches loaded blocks";
  ASSERT_EQ(copy->Block(1)->NumSources(), 1);
  EXPECT_EQ(copy->Block(1)->SourcePath(), QStringLiteral("Node\\Other"));
  EXPECT_EQ(copy->Block(1)->ACNDevs()->OwnerUniverse(), copy->Block(1));
  EXPECT_EQ(StreamBytes(copy), bytes);
}

TEST_F(DmxAreaTest, AStreamedAreaHoldingAnythingButBlocksIsRefused) {
  TFreeAtEnd<TDmxArea> area(FreeArea(0));
  area->SInsert(SNew<TVelaObject>(), false);
  EXPECT_THROW(ReadObject(StreamBytes(area.Ptr)), EStreamReadError);
}

}  // namespace
}  // namespace vela::testing
