// Menu entries that open the output map, and dropping blocks onto blocks,
// sources objects and references.
#include <memory>
#include <vector>

#include "DeviceTestSupport.h"
#include "devices/DmxArea.h"
#include "devices/DmxBlock.h"
#include "devices/DmxSources.h"
#include "framework/Drag.h"
#include "framework/ObjectMenus.h"

namespace vela::testing {
namespace {

struct TOpened {
  TVelaObject* Source;
  bool AsOutput;
};

class DeviceMenuDropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FrameworkHooks().OutputMap = [this](TVelaObject* source, QObject*, bool asOutput) {
      opened.push_back({source, asOutput});
      return nullptr;
    };
    desk->SetName(QStringLiteral("Desk"));
    stage->SetName(QStringLiteral("Stage"));
  }
  void TearDown() override { FrameworkHooks().OutputMap = nullptr; }

  // The captions of the entries Obj offers.
  std::vector<QString> Entries(TVelaObject* Obj, TPopMenuKind Kind, int Level = 0) {
    menu = std::make_unique<TVelaMenuItem>();
    Obj->AddMenuItems(nullptr, Kind, menu.get(), FK_Text, 0, Obj, Level, TDropParams{}, nullptr);
    std::vector<QString> captions;
    for (int i = 0; i < menu->Count(); ++i) captions.push_back(menu->Items(i)->text());
    return captions;
  }
  TVelaMenuItem* Entry(const QString& Caption) {
    for (int i = 0; menu && i < menu->Count(); ++i)
      if (menu->Items(i)->text() == Caption) return AsVelaMenuItem(menu->Items(i));
    return nullptr;
  }
  static bool Has(const std::vector<QString>& Captions, const char* Caption) {
    return std::find(Captions.begin(), Captions.end(), QString::fromLatin1(Caption)) != Captions.end();
  }

  TFakeClock clock;
  std::vector<TOpened> opened;
  std::unique_ptr<TVelaMenuItem> menu;
  TFreeAtEnd<TDmxAdapter> desk{SNew<TDmxAdapter>()};
  TFreeAtEnd<TDmxAdapter> stage{SNew<TDmxAdapter>()};
};

TEST_F(DeviceMenuDropTest, ConnectionsOfferTheirAreas) {
  EXPECT_FALSE(Has(Entries(stage.Ptr, Pop_Click), "Show Output")) << "no areas, no entries";
  TDmxArea* in = stage->EnsureInArea(2, true);
  TDmxArea* out = stage->EnsureOutArea(2, false);
  struct Case {
    TPopMenuKind kind;
    int level;
    bool offered;
  };
  const Case cases[] = {{Pop_Click, 0, true}, {Pop_ChannelMenu, 0, true}, {Pop_LocalMenu, 0, false},
                        {Pop_Drop, 0, false}, {Pop_ListMenu, 0, false},   {Pop_Click, 1, false}};
  for (const Case& c : cases) {
    const auto captions = Entries(stage.Ptr, c.kind, c.level);
    EXPECT_EQ(Has(captions, "Show Output"), c.offered) << int(c.kind) << "/" << c.level;
    EXPECT_EQ(Has(captions, "Show Input"), c.offered) << int(c.kind) << "/" << c.level;
  }

  Entries(stage.Ptr, Pop_Click);
  ASSERT_NE(Entry(QStringLiteral("Show Output")), nullptr);
  Entry(QStringLiteral("Show Output"))->Click();
  Entry(QStringLiteral("Show Input"))->Click();
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0].Source, in);
  EXPECT_TRUE(opened[0].AsOutput);
  EXPECT_EQ(opened[1].Source, out);
  EXPECT_FALSE(opened[1].AsOutput);

  stage->SetOutBlocks(nullptr);
  const auto captions = Entries(stage.Ptr, Pop_Click);
  EXPECT_TRUE(Has(captions, "Show Output"));
  EXPECT_FALSE(Has(captions, "Show Input"));
}

TEST_F(DeviceMenuDropTest, BlocksOfferTheirContent) {
  TDmxBlock* block = stage->EnsureOutArea(1, false)->Block(0);
  EXPECT_TRUE(Has(Entries(block, Pop_Click), "Show Block content"));
  EXPECT_TRUE(Has(Entries(block, Pop_LocalMenu), "Show Block content"));
  EXPECT_FALSE(Has(Entries(block, Pop_ChannelMenu), "Show Block content"));
  Entries(block, Pop_Click);
  Entry(QStringLiteral("Show Block content"))->Click();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].Source, block);
}

TEST_F(DeviceMenuDropTest, ABlockDroppedOnABlockOfTheOtherDirectionBecomesItsSource) {
  TDmxBlock* source = desk->EnsureOutArea(2, false)->Block(1);
  TDmxBlock* input = stage->EnsureInArea(1, false)->Block(0);
  TDmxBlock* otherInput = desk->EnsureInArea(1, false)->Block(0);

  TSDropkind kinds;
  EXPECT_EQ(input->Acceptdrop(source, kinds, TSDropMode{}), input);
  EXPECT_EQ(kinds, TSDropkind{DSD_Reference});
  TSDropkind none;
  EXPECT_EQ(input->Acceptdrop(otherInput, none, TSDropMode{}), nullptr) << "two input blocks";
  EXPECT_EQ(input->Acceptdrop(input, none, TSDropMode{}), nullptr);

  TVelaObject* ref = input->Receivedrop(source, input, DSD_Reference, TSDropMode{});
  ASSERT_NE(ref, nullptr);
  EXPECT_EQ(input->SingleSource(), source);
  EXPECT_EQ(input->SourcePath(), source->Namepath());

  // The other way round: the dropped input block takes the target as source.
  TDmxBlock* second = stage->InBlocks()->AddInblock1(nullptr);
  ASSERT_NE(source->Receivedrop(second, source, DSD_Reference, TSDropMode{}), nullptr);
  EXPECT_EQ(second->SingleSource(), source);
  EXPECT_EQ(source->NumSources(), 0);
  EXPECT_EQ(input->Receivedrop(otherInput, input, DSD_Reference, TSDropMode{}), nullptr);
  EXPECT_EQ(input->NumSources(), 1);
}

TEST_F(DeviceMenuDropTest, BlocksDroppedOnSourcesAreAddedAsReferences) {
  TDmxArea* out = desk->EnsureOutArea(3, false);
  TDmxBlock* input = stage->EnsureInArea(1, false)->Block(0);
  TAcnDevs* sources = input->ACNDevs();
  auto* dragged = SNew<TSDdragCollection>(std::vector<TVelaObject*>{out->Block(0), out->Block(1)});
  const std::weak_ptr<void> draggedAlive = dragged->AliveToken();

  TSDropkind kinds;
  EXPECT_EQ(sources->Acceptdrop(dragged, kinds, TSDropMode{}), sources);
  EXPECT_EQ(kinds, TSDropkind{DSD_AddRef});
  TVelaObject* result = sources->Receivedrop(dragged, sources, DSD_AddRef, TSDropMode{});
  EXPECT_EQ(result, input->GetDevRef(out->Block(1)));
  EXPECT_EQ(input->NumSources(), 2);
  EXPECT_TRUE(draggedAlive.expired()) << "the drop consumed the collection";

  // Onto one of the references: the same as onto the sources.
  TDeviceRef* first = sources->Ref(0);
  EXPECT_NE(first->Receivedrop(out->Block(2), first, DSD_AddRef, TSDropMode{}), nullptr);
  EXPECT_EQ(input->NumSources(), 3);

  TFreeAtEnd<TVelaObject> plain(SNew<TVelaObject>());
  TSDropkind none;
  EXPECT_EQ(sources->Acceptdrop(plain.Ptr, none, TSDropMode{}), nullptr);
  EXPECT_EQ(sources->Receivedrop(plain.Ptr, sources, DSD_AddRef, TSDropMode{}), nullptr);
}

}  // namespace
}  // namespace vela::testing
