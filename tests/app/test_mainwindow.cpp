#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "AppTestSupport.h"
#include "app/TyxAbout.h"
#include "app/TyxBoxesMain.h"
#include "app/VelaImages.h"
#include "common/QtPrinters.h"
#include "framework/SConstants.h"
#include "framework/velaobject.h"
#include "platform/ProductVersion.h"

using namespace vela;

TEST(MainWindow, CaptionIsTitleBlankVersion) {
  EXPECT_EQ(TBasicVelaAppForm1::MainCaption("Vela Device Browser", "1.3.3.0"), "Vela Device Browser 1.3.3.0");
  EXPECT_EQ(TBasicVelaAppForm1::MainCaption("Vela Device Browser", ""), "Vela Device Browser ");
  TBasicVelaAppForm1 form(vela::testing::LoopbackOptions());
  EXPECT_EQ(form.windowTitle(), "Vela Device Browser " + ProductVersion());
  EXPECT_FALSE(ProductVersion().isEmpty());
  EXPECT_EQ(form.About1->text(), "About");
  EXPECT_EQ(form.StatusTimer()->interval(), 100);
  EXPECT_TRUE(form.StatusTimer()->isActive());
}

TEST(MainWindow, AboutMenuShowsTheAboutBoxAndOkClosesIt) {
  TBasicVelaAppForm1 form(vela::testing::LoopbackOptions());
  TTyxAboutForm about(&form);
  SetTyxAboutForm(&about);
  EXPECT_EQ(about.windowTitle(), "Vela Device Browser");
  EXPECT_EQ(about.Button1->text(), "Ok");
  bool wasShown = false;
  QTimer::singleShot(0, [&] {
    wasShown = about.isVisible();
    QTest::mouseClick(about.Button1, Qt::LeftButton);
  });
  form.About1->trigger();
  EXPECT_TRUE(wasShown);
  EXPECT_FALSE(about.isVisible());
  EXPECT_EQ(about.result(), QDialog::Accepted);
  SetTyxAboutForm(nullptr);
}

namespace {

// A view that records what it hears and can act during a broadcast.
struct RecordingView : TMessageReceiver {
  std::vector<uint32_t> heard;
  std::function<void()> onMessage;
  bool raise = false;
  void Dispatch(TMessage& m) override {
    heard.push_back(m.Msg);
    if (onMessage) onMessage();
    if (raise) throw std::runtime_error("view failed");
  }
};

}  // namespace

TEST(Imagedata, BroadcastRestartsWhenViewsChange) {
  TImagedata data;
  RecordingView a, b, c;
  data.RegisterView(&a);
  data.RegisterView(&b);
  data.RegisterView(&a);  // registered once only
  EXPECT_EQ(data.Views()->Count(), 2);
  // b unregisters itself on the first message: the walk starts again at a.
  b.onMessage = [&] {
    data.UnregisterView(&b);
    data.RegisterView(&c);
    b.onMessage = nullptr;
  };
  data.Broadcast(SOM_DataChanged, nullptr, 0);
  EXPECT_EQ(a.heard.size(), 2u);
  EXPECT_EQ(b.heard.size(), 1u);
  EXPECT_EQ(c.heard.size(), 1u);
}

TEST(Imagedata, RaisingViewStopsTheWalkAndDestroyingObjectsAreSkipped) {
  TImagedata data;
  RecordingView a, b;
  data.RegisterView(&a);
  data.RegisterView(&b);
  a.raise = true;
  data.Broadcast(SOM_DataChanged, nullptr, 0);
  EXPECT_EQ(b.heard.size(), 0u);
  a.raise = false;
  data.Broadcast(SOM_DataChanged, nullptr, 0);
  EXPECT_EQ(b.heard.size(), 1u);

  TSOwned<TVelaObject> obj(SNew<TVelaObject>());
  obj->SetStatusFlags(obj->StatusFlags() + VS_Destroying);
  data.Broadcast(SOM_DataChanged, obj.get(), 0);
  data.Broadcast(SOM_ToBeDeleted, obj.get(), 0);
  EXPECT_EQ(b.heard, (std::vector<uint32_t>{SOM_DataChanged, SOM_ToBeDeleted}));
  obj->SetStatusFlags(obj->StatusFlags() - VS_Destroying);
}

TEST(Imagedata, NoBroadcastOnceTheModuleIsGone) {
  RecordingView a;
  {
    TImagedata data;
    data.RegisterView(&a);
    EXPECT_EQ(Imagedata(), &data);
  }
  EXPECT_EQ(Imagedata(), nullptr);
}

TEST(Imagedata, ImageIndexTables) {
  struct Case {
    uint32_t type;
    QString name;
    bool expanded;
    int index;
  };
  for (const Case& c :
       {Case{603, "", false, 50}, Case{604, "", false, 50}, Case{301, "", false, 44}, Case{702, "Wyg one", false, 15},
        Case{702, "Hog Horizon", false, 28}, Case{702, "x", false, 255}, Case{10107, "", true, 35},
        Case{10107, "", false, 34}, Case{9999, "", false, 255}}) {
    TSOwned<TVelaObject> obj(SNew<TVelaObject>());
    obj->ConvertToType(static_cast<uint16_t>(c.type));
    obj->SetName(c.name);
    EXPECT_EQ(TImagedata::NetImageIndex(obj.get(), c.expanded), c.index) << c.type;
  }
  EXPECT_EQ(TImagedata::ImageIndexByTypeKind(0, 0, -7), 24);
  EXPECT_EQ(TImagedata::ImageIndexByTypeKind(4, 3, -7), 29);
  EXPECT_EQ(TImagedata::ImageIndexByTypeKind(5, 0, -7), -7);
  TImagedata data;
  EXPECT_FALSE(data.VelaNetImages[50].isNull());
  EXPECT_FALSE(data.VelaNetImages[50].pixmap(16, 16).isNull());
}
