// The DMX adapter: its state icon, node text, and the area state and test
// ramp it keeps on each alive check.
#include <QPointer>

#include "DeviceTestSupport.h"
#include "devices/DmxArea.h"
#include "devices/DmxBlock.h"

namespace vela::testing {
namespace {

class DmxAdapterTest : public ::testing::Test {
 protected:
  void TearDown() override { FrameworkHooks().StateImageByTypeKind = nullptr; }
  void Tick() {
    TMessage check{VM_AliveCheck, 0, 0, 0};
    adapter->Dispatch(check);
  }
  TFakeClock clock;
  TFreeAtEnd<TDmxAdapter> adapter{SNew<TDmxAdapter>()};
};

TEST_F(DmxAdapterTest, StateIconFollowsDetectedOverrideActiveAndAlive) {
  struct Case {
    bool detected;
    uint8_t ioStatus;
    bool active, alive;
    int icon;
  };
  const Case cases[] = {
      {false, 0, false, false, 4}, {false, 30, true, true, 4}, {true, 30, true, true, 30},
      {true, 0, true, true, 3},    {true, 0, false, true, 2},  {true, 0, false, false, 1},
  };
  for (const Case& c : cases) {
    TFreeAtEnd<TDmxAdapter> a(SNew<TDmxAdapter>());
    a->SetIsDetected(c.detected);
    a->SetIoStatus(c.ioStatus);
    if (c.alive) a->SetAlive(true);
    if (c.active) a->SetActive(true);
    EXPECT_EQ(a->GetStateindex(), c.icon) << c.detected << "/" << int(c.ioStatus) << "/" << c.active << "/" << c.alive;
  }
}

TEST_F(DmxAdapterTest, NodeTextTellsDetection) {
  adapter->SetName(QStringLiteral("Pool"));
  EXPECT_EQ(adapter->GetNodetext(), QStringLiteral("Pool, Not detected"));
  adapter->SetIsDetected(true);
  EXPECT_EQ(adapter->NodeText(), QStringLiteral("Pool, Detected!"));
}

TEST_F(DmxAdapterTest, AliveCheckShowsTheAreaStatesAndRunsTheRamp) {
  std::vector<std::pair<int, int>> asked;
  FrameworkHooks().StateImageByTypeKind = [&](int type, int kind, int) {
    asked.emplace_back(type, kind);
    return 40;
  };
  adapter->SetIsDetected(true);
  TDmxBlock* out = adapter->EnsureOutArea(1, false)->Block(0);
  out->SetEnabled(true);
  out->SetSimulate(true);
  Tick();
  EXPECT_NE(out->LastChanged(), 0.0) << "one ramp step";
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], std::make_pair(0, 2)) << "no in area; the out area is passive";
  EXPECT_EQ(adapter->IoStatus(), 40);
  EXPECT_EQ(adapter->GetStateindex(), 40);

  adapter->EnsureInArea(1, false)->Block(0)->SetEnabled(true);
  adapter->InBlocks()->Block(0)->SetActiveState(Dmx_Active);
  Tick();
  EXPECT_EQ(asked.back(), std::make_pair(3, 2));
}

TEST_F(DmxAdapterTest, AdaptersThatKeepTheirOwnStateSkipTheAreas) {
  FrameworkHooks().StateImageByTypeKind = [](int, int, int) { return 40; };
  adapter->SetNoAliveOnInput(true);
  TDmxBlock* out = adapter->EnsureOutArea(1, false)->Block(0);
  out->SetEnabled(true);
  out->SetSimulate(true);
  Tick();
  EXPECT_EQ(out->LastChanged(), 0.0);
  EXPECT_EQ(adapter->IoStatus(), 0);
}

TEST_F(DmxAdapterTest, WithoutTheImageTableNothingOverridesTheIcon) {
  adapter->SetIsDetected(true);
  adapter->EnsureOutArea(1, false);
  Tick();
  EXPECT_EQ(adapter->IoStatus(), 0);
  EXPECT_EQ(adapter->GetStateindex(), 1);
}

TEST_F(DmxAdapterTest, TheSendTimerGoesWithTheAdapter) {
  QPointer<QTimer> timer;
  {
    TFreeAtEnd<TDmxAdapter> a(SNew<TDmxAdapter>());
    a->SetSendTimer(std::make_unique<QTimer>());
    timer = a->SendTimer();
    ASSERT_FALSE(timer.isNull());
  }
  EXPECT_TRUE(timer.isNull());
}

}  // namespace
}  // namespace vela::testing
