// Sources of a block: references, their texts and columns, the priority
// merge, time-outs, adding by path and the reference's stream form.
#include <vector>

#include "DeviceTestSupport.h"
#include "devices/DmxArea.h"
#include "devices/DmxBlock.h"
#include "devices/DmxSources.h"

namespace vela::testing {
namespace {

// A desk whose out blocks feed the in block of a stage.
class DmxSourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    desk->SetName(QStringLiteral("Desk"));
    stage->SetName(QStringLiteral("Stage"));
    target = stage->EnsureInArea(1, false)->Block(0);
    target->SetEnabled(true);
  }
  // Out block Index of the desk, enabled, with Level on channel 1.
  TDmxBlock* Source(int Index, uint8_t Level) {
    TDmxArea* out = desk->OutBlocks();
    if (!out || out->Numblocks() <= Index) out = desk->EnsureOutArea(Index + 1, false);
    TDmxBlock* b = out->Block(Index);
    b->SetEnabled(true);
    b->SetLevel(0, Level);
    return b;
  }
  TFakeClock clock;
  TFreeAtEnd<TDmxAdapter> desk{SNew<TDmxAdapter>()};
  TFreeAtEnd<TDmxAdapter> stage{SNew<TDmxAdapter>()};
  TDmxBlock* target = nullptr;
};

TEST_F(DmxSourcesTest, HigherPriorityWinsEqualPriorityTakesTheHigherLevel) {
  struct Feed {
    uint16_t priority;
    uint8_t level;
  };
  struct Case {
    std::vector<Feed> sources;
    uint8_t merged;
  };
  const Case cases[] = {
      {{{100, 40}, {100, 60}}, 60},
      {{{100, 40}, {100, 60}, {120, 10}}, 10},
      {{{100, 60}, {100, 40}}, 60},
      {{{120, 10}, {100, 60}}, 10},
      {{{0, 5}}, 5},
      {{{50, 200}, {60, 0}}, 0},
  };
  for (const Case& c : cases) {
    target->ClearSources();
    for (size_t i = 0; i < c.sources.size(); ++i)
      target->AddDevRef(Source(static_cast<int>(i), c.sources[i].level))->SetPriority(c.sources[i].priority);
    target->UpdateDevs();
    EXPECT_EQ(target->GetLevel(0), c.merged) << "case with " << c.sources.size() << " sources";
  }
}

TEST_F(DmxSourcesTest, PatchStartAndSizeSelectTheChannels) {
  TDmxBlock* source = Source(0, 0);
  for (int i = 0; i < 512; ++i) source->SetLevel(i, static_cast<uint8_t>(i));
  TDeviceRef* ref = target->AddDevRef(source);
  ref->SetDMX(11);
  ref->SetStart(5);
  ref->SetSize(3);
  target->UpdateDevs();
  EXPECT_EQ(target->GetLevel(9), 0);
  EXPECT_EQ(target->GetLevel(10), 4);
  EXPECT_EQ(target->GetLevel(12), 6);
  EXPECT_EQ(target->GetLevel(13), 0);

  // A patch beyond the block lands on its last channel; 0 counts as 1.
  ref->SetDMX(600);
  ref->SetStart(0);
  ref->SetSize(512);
  target->UpdateDevs();
  EXPECT_EQ(target->GetLevel(511), 0);
  EXPECT_EQ(target->GetLevel(10), 0);
  source->SetLevel(0, 77);
  target->UpdateDevs();
  EXPECT_EQ(target->GetLevel(511), 77);

  ref->SetDMX(0);
  ref->SetStart(600);
  target->UpdateDevs();
  EXPECT_EQ(target->GetLevel(0), 255) << "a start beyond the source takes its last channel";
}

TEST_F(DmxSourcesTest, SilentDisabledOrRefusedSourcesAreSkipped) {
  TDmxBlock* source = Source(0, 90);
  TDeviceRef* ref = target->AddDevRef(source);
  ref->SetTimeOut(SecondsToDays(6));
  TDmxOneBlock merged{};
  TDateTime changed = 0;
  EXPECT_TRUE(target->ACNDevs()->Update(merged, false, &changed));
  EXPECT_EQ(merged[0], 90);
  EXPECT_EQ(changed, source->LastChanged());
  target->UpdateDevs();
  EXPECT_EQ(target->GetLevel(0), 90);

  clock.AdvanceSeconds(7);
  merged.fill(0);
  EXPECT_FALSE(target->ACNDevs()->Update(merged, false));
  target->UpdateDevs();
  EXPECT_EQ(target->GetLevel(0), 0) << "a source silent beyond its time-out is left out";

  ref->SetTimeOut(0);
  EXPECT_TRUE(target->ACNDevs()->Update(merged, true));
  EXPECT_EQ(merged[0], 0) << "the check takes no levels";

  source->SetEnabled(false);
  EXPECT_FALSE(target->ACNDevs()->Update(merged, true));
  source->SetEnabled(true);
  source->SetLevel(0, 90);

  // An output block takes nothing from an output-restricted source.
  stage->InBlocks()->SetIsOutput(true);
  desk->OutBlocks()->SetOutputRestricted(true);
  EXPECT_FALSE(target->ACNDevs()->Update(merged, true));
  desk->OutBlocks()->SetOutputRestricted(false);
  EXPECT_TRUE(target->ACNDevs()->Update(merged, true));
}

TEST_F(DmxSourcesTest, ReferencesOfABlock) {
  EXPECT_EQ(target->SourceName(), QStringLiteral("No Source Defined"));
  TDmxBlock* one = Source(0, 1);
  TNoteRecorder notes;
  TDeviceRef* ref = target->AddDevRef(one);
  EXPECT_EQ(notes.Count(SOM_DataChanged, target), 1);
  EXPECT_EQ(ref->Priority(), 0);
  EXPECT_EQ(ref->Size(), 512);
  EXPECT_EQ(ref->Start(), 1);
  EXPECT_EQ(ref->DMX(), 1);
  EXPECT_EQ(ref->RefObjType(), kDmxBlockType);
  EXPECT_EQ(ref->RefName(), QStringLiteral("Desk.DmxBlock.1"));
  EXPECT_EQ(ref->OwnerBlock(), target);
  EXPECT_EQ(target->GetDevRef(one), ref);
  EXPECT_EQ(target->SingleSource(), one);
  EXPECT_EQ(target->SourceName(), QStringLiteral("Desk.DmxBlock.1"));
  EXPECT_EQ(target->SourcePath(), QStringLiteral("\\Desk.DmxBlock.1"));
  EXPECT_EQ(target->Namepath(), QStringLiteral("\\Stage.DmxBlock.1"));
  EXPECT_EQ(target->FF(FK_Special, BF_NamePath), QStringLiteral("\\Stage.DmxBlock.1"));
  EXPECT_EQ(target->InputNamepath(), QStringLiteral("\\Desk.DmxBlock.1"));

  TDmxBlock* two = Source(1, 2);
  target->AddDevRef(two);
  EXPECT_EQ(target->NumSources(), 2);
  EXPECT_EQ(target->SourceName(), QStringLiteral("Multiple Sources"));
  EXPECT_EQ(target->SourcePath(), QStringLiteral("Multiple Sources"));
  EXPECT_EQ(target->SingleSource(), nullptr);
  target->RemoveDevRef(one);
  EXPECT_EQ(target->NumSources(), 1);
  EXPECT_EQ(target->SingleSource(), two);
  target->ClearSources();
  EXPECT_EQ(target->NumSources(), 0);
  EXPECT_EQ(target->AddDevRef(nullptr), nullptr);
}

TEST_F(DmxSourcesTest, AddingBySourcePathKeepsOneReferencePerNameAndNode) {
  TDeviceRef* ref = target->AddSourceByPath(QStringLiteral("Node\\Desk.DmxBlock.4"));
  ASSERT_NE(ref, nullptr);
  EXPECT_EQ(ref->Node(), QStringLiteral("Node"));
  EXPECT_EQ(ref->RefName(), QStringLiteral("Desk.DmxBlock.4"));
  EXPECT_DOUBLE_EQ(ref->TimeOut(), 6.0 / 86400.0);
  EXPECT_EQ(ref->RefObjType(), kDmxBlockType);
  EXPECT_EQ(target->AddSourceByPath(QStringLiteral("Node\\Desk.DmxBlock.4")), ref);
  EXPECT_EQ(target->NumSources(), 1);
  TDeviceRef* plain = target->AddSourceByPath(QStringLiteral("Desk.DmxBlock.1"));
  EXPECT_EQ(plain->Node(), QString());
  EXPECT_EQ(target->NumSources(), 2);
  EXPECT_EQ(target->AddSourceByPath(QString()), nullptr);
  EXPECT_EQ(target->InputNamepath(), QStringLiteral("Multiple Sources"));

  TDmxBlock* source = Source(0, 9);
  EXPECT_EQ(plain->Reference(), source) << "linked once the named block exists";
  EXPECT_EQ(ref->Reference(), nullptr) << "no block of that name on node Node";
}

TEST_F(DmxSourcesTest, ReferenceTextsAndColumns) {
  TDmxBlock* source = Source(0, 1);
  TDeviceRef* linked = target->AddDevRef(source);
  TDeviceRef* loose = target->AddSourceByPath(QStringLiteral("Far\\Other"));
  EXPECT_EQ(linked->FF(FK_Text, 0), QStringLiteral("SourceRef: Desk.DmxBlock.1"));
  EXPECT_EQ(loose->FF(FK_Text, 0), QStringLiteral("SourceRef: (Other)"));
  EXPECT_EQ(linked->FF(FK_Special, RF_Source), QStringLiteral("Desk.DmxBlock.1"));
  EXPECT_EQ(loose->FF(FK_Special, RF_Source), QStringLiteral("(Other)"));
  EXPECT_EQ(loose->FF(FK_Text, RF_Node), QStringLiteral("Far"));
  EXPECT_EQ(linked->FF(FK_Text, RF_Node), QString());

  TLParamDef def;
  TParamsOpt opt;
  ASSERT_EQ(linked->DefaultPDef(def, opt), 7);
  const char* heads[] = {"Source", "Patch", "Start", "Size", "Priority", "Timeout", "Node"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(def[i].Head, QString::fromLatin1(heads[i])) << i;
  EXPECT_TRUE(def[0].LPEditMode.Has(LPE_UserSet));
  EXPECT_EQ(def[5].FK, FK_TimeDate);
  EXPECT_EQ(def[6].Part, source) << "the node of the referenced block";

  loose->SetRefObjType(0);
  ASSERT_EQ(loose->DefaultPDef(def, opt), 4);
  EXPECT_EQ(def[0].Head, QStringLiteral("Start"));
  EXPECT_EQ(def[3].Head, QStringLiteral("Timeout"));

  TClassArr classes;
  EXPECT_EQ(target->ACNDevs()->GetStdSubTypes(classes), 1);
  EXPECT_EQ(classes[0], TDeviceRef::StaticClass());
}

TEST_F(DmxSourcesTest, ChangingAReferenceTellsItsBlock) {
  TDeviceRef* ref = target->AddDevRef(Source(0, 1));
  TNoteRecorder notes;
  const uint16_t priority = 5;
  ref->DoSetField(true, FK_Word, RF_Priority, &priority);
  EXPECT_EQ(ref->Priority(), 5);
  EXPECT_EQ(notes.Count(SOM_DataChanged, target), 1);
  ref->DoSetField(true, FK_Word, RF_Priority, &priority);
  EXPECT_EQ(notes.Count(SOM_DataChanged, target), 1) << "an equal value changes nothing";
  const double timeout = 0.25;
  ref->DoSetField(true, FK_TimeDate, RF_TimeOut, &timeout);
  EXPECT_EQ(ref->TimeOut(), 0.25);
  EXPECT_EQ(notes.Count(SOM_DataChanged, target), 2);
}

TEST_F(DmxSourcesTest, ReferenceStreamFormByteForByte) {
  TFreeAtEnd<TDeviceRef> ref(SNew<TDeviceRef>());
  ref->SetDMX(2);
  ref->SetRefObjType(kDmxBlockType);
  ref->SetRefName(QStringLiteral("S"));
  ref->SetNode(QStringLiteral("N"));
  ref->SetStart(3);
  ref->SetSize(4);
  ref->SetPriority(5);
  ref->SetTimeOut(0.5);
  const QByteArray expected =
      Hex("a4010000"  // type 420
          "00"        // no name
          "00000000"
          "00000000"  // status block
          "0200"      // patch
          "9101"      // source type 401
          "80015300"  // source name "S"
          "80014e00"  // node "N"
          "0300"
          "0400"
          "0500"              // start, size, priority
          "000000000000e03f"  // time-out 0.5 days
          "00000000");        // no sub collection
  EXPECT_EQ(StreamBytes(ref.Ptr), expected);
  TFreeAtEnd<TSobject> read(ReadObject(expected));
  ASSERT_NE(read.Ptr, nullptr);
  ASSERT_TRUE(read->InheritsFrom(TDeviceRef::StaticClass()));
  auto* copy = static_cast<TDeviceRef*>(read.Ptr);
  EXPECT_EQ(copy->DMX(), 2);
  EXPECT_EQ(copy->RefName(), QStringLiteral("S"));
  EXPECT_EQ(copy->Node(), QStringLiteral("N"));
  EXPECT_EQ(copy->Start(), 3);
  EXPECT_EQ(copy->Size(), 4);
  EXPECT_EQ(copy->Priority(), 5);
  EXPECT_EQ(copy->TimeOut(), 0.5);
  EXPECT_EQ(StreamBytes(copy), expected);
}

TEST_F(DmxSourcesTest, ALinkedReferenceStoresTheSourcesCurrentName) {
  TDmxBlock* source = Source(0, 1);
  TDeviceRef* ref = target->AddDevRef(source);
  source->SetName(QStringLiteral("Renamed"));
  const QByteArray bytes = StreamBytes(ref);
  TFreeAtEnd<TSobject> read(ReadObject(bytes));
  EXPECT_EQ(static_cast<TDeviceRef*>(read.Ptr)->RefName(), QStringLiteral("Renamed"));
}

}  // namespace
}  // namespace vela::testing
