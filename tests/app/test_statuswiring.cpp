#include <gtest/gtest.h>

#include <QTest>

#include "AppTestSupport.h"
#include "app/TyxBoxesMain.h"
#include "app/VelaImages.h"
#include "framework/RealTime.h"
#include "framework/SConstants.h"
#include "framework/StatusList.h"
#include "framework/WindowHandoff.h"

using namespace vela;

namespace {

// A main window that records what reaches its ordinary message handling.
class TRecordingForm : public TBasicVelaAppForm1 {
 public:
  TRecordingForm() : TBasicVelaAppForm1(vela::testing::LoopbackOptions()) {}
  std::vector<uint32_t> ordinary;

 protected:
  void DefaultHandler(TMessage& m) override { ordinary.push_back(m.Msg); }
};

struct TCountingView : TMessageReceiver {
  std::vector<uint32_t> heard;
  void Dispatch(TMessage& m) override { heard.push_back(m.Msg); }
};

struct TStatusListener : TMessageReceiver {
  int deliveries = 0;
  void Dispatch(TMessage& m) override {
    if (m.Msg == SOM_StatusDirty) ++deliveries;
  }
};

class StatusWiring : public ::testing::Test {
 protected:
  void SetUp() override { SetStatusClosing(false); }
  void TearDown() override { SetStatusClosing(false); }
};

}  // namespace

TEST_F(StatusWiring, WindowProcedureRoutesFrameworkMessages) {
  TImagedata data;
  TCountingView view;
  data.RegisterView(&view);
  TRecordingForm form;
  struct Case {
    uint32_t msg;
    bool framework;
  };
  for (const Case& c :
       {Case{0x84B0, false}, Case{0x84B1, true}, Case{0x8513, true}, Case{0x8514, false}, Case{0x1234, false}}) {
    view.heard.clear();
    form.ordinary.clear();
    const intptr_t result = SendMessageTo(&form, c.msg, 0, 0);
    EXPECT_EQ(!view.heard.empty(), c.framework) << std::hex << c.msg;
    EXPECT_EQ(form.ordinary.empty(), c.framework) << std::hex << c.msg;
    EXPECT_EQ(result, c.framework ? 1 : 0) << std::hex << c.msg;
  }
  data.UnregisterView(&view);
}

TEST_F(StatusWiring, TreeNotificationsReachTheViewsThroughTheWindow) {
  TImagedata data;
  TCountingView view;
  data.RegisterView(&view);
  TBasicVelaAppForm1 form(vela::testing::LoopbackOptions());
  TSOwned<TVelaObject> obj(SNew<TVelaObject>());
  obj->SetName("renamed");
  EXPECT_NE(std::find(view.heard.begin(), view.heard.end(), SOM_NameChanged), view.heard.end());
  data.UnregisterView(&view);
}

TEST_F(StatusWiring, TimerRunsPassesOnlyWhenPendingAndNeverAfterClosing) {
  TImagedata data;
  auto form = std::make_unique<TBasicVelaAppForm1>(vela::testing::LoopbackOptions());
  TStatuslist* list = TheStatusList();
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(StatusByTimer());
  TSOwned<TRealTime> source(SNew<TRealTime>());
  TStatusListener listener;
  list->AddStatusListener(source.get(), &listener, {}, {ST(1)});

  const int passesBefore = list->PassCount();
  QTest::qWait(250);  // two or three ticks with nothing dirty
  EXPECT_EQ(list->PassCount(), passesBefore);

  source->SetStatus(ST(1), true);
  QTRY_COMPARE_WITH_TIMEOUT(listener.deliveries, 1, 2000);

  form.reset();  // closing: the timer stops and no pass runs any more
  EXPECT_TRUE(StatusClosing());
  source->SetStatus(ST(1), false);
  StatusTimerTick();
  QTest::qWait(150);
  EXPECT_EQ(listener.deliveries, 1);
  list->RemoveStatusListener(&listener, false);
}
