// The bound caption controls and the bitmap button driven by mouse input,
// notifications and status deliveries.
#include <QTest>

#include "ControlFixtures.h"
#include "browser/FieldBinding.h"
#include "browser/VelaBitButton.h"
#include "browser/VelaCheckBox.h"
#include "browser/VelaComboBox.h"
#include "browser/VelaControls.h"
#include "framework/SConstants.h"
#include "framework/StatusList.h"

using namespace vela;
using namespace vela::testing;

namespace {

class CaptionTest : public ControlTest {
 protected:
  void Bind(TVelaControl& c, bool listen = true) {
    c.SetFieldKind(FK_Word);
    c.SetFieldId(kWord);
    c.SetListenData(listen);
    c.SetVlaObject(obj);
  }
};

TEST_F(CaptionTest, ShowsTheFieldAndStartsAt24Pixels) {
  TVelaControl c;
  EXPECT_EQ(c.size(), QSize(24, 24));
  Bind(c);
  EXPECT_EQ(c.Text(), QStringLiteral("100"));
  c.SetVlaObject(nullptr);
  EXPECT_EQ(c.Text(), QString());
}

TEST_F(CaptionTest, FollowsNotificationsOnlyWithListenData) {
  const int before = views.Views()->Count();
  TVelaControl quiet;
  Bind(quiet, false);
  EXPECT_EQ(views.Views()->Count(), before);
  TVelaControl listening;
  Bind(listening, true);
  EXPECT_EQ(views.Views()->Count(), before + 1);
  obj->Word = 7;
  obj->SetDataChanged(FK_Word, kWord, false);
  EXPECT_EQ(listening.Text(), QStringLiteral("7"));
  EXPECT_EQ(quiet.Text(), QStringLiteral("100"));
}

TEST_F(CaptionTest, StatusDeliveryRefreshesTheText) {
  TVelaControl c;
  Bind(c, false);
  c.SetStatusBits({ST(3)});
  ASSERT_EQ(TheStatusList()->EntriesOf(&c).size(), 1u);
  obj->Word = 8;
  obj->SetStatus(ST(3), true);
  EXPECT_EQ(c.Text(), QStringLiteral("100"));
  StatusPass();
  EXPECT_EQ(c.Text(), QStringLiteral("8"));
}

TEST_F(CaptionTest, OnRealTimeChangedReplacesTheDefaultDisplay) {
  TVelaControl c;
  Bind(c, false);
  TStBits seen;
  c.OnRealTimeChanged = [&](QObject*, TVelaObject* o, TStBits st, TDtBits, bool& doDefault) {
    EXPECT_EQ(o, obj);
    seen = st;
    doDefault = false;
  };
  c.SetStatusBits({ST(3)});
  obj->Word = 9;
  obj->SetStatus(ST(3), true);
  StatusPass();
  EXPECT_TRUE(seen.Has(ST(3)));
  EXPECT_EQ(c.Text(), QStringLiteral("100"));
}

TEST_F(CaptionTest, DestroyingTheControlRemovesItsRegistrations) {
  const int before = views.Views()->Count();
  {
    TVelaControl c;
    Bind(c);
    c.SetStatusBits({ST(1)});
    EXPECT_EQ(TheStatusList()->Count(), 1);
  }
  EXPECT_EQ(TheStatusList()->Count(), 0);
  EXPECT_EQ(views.Views()->Count(), before);
}

TEST_F(CaptionTest, ExchangedObjectIsFollowedByTheControl) {
  TFolder* holder = SNew<TFolder>();
  roots.push_back(holder);
  TVelaObject* slot = SNew<TFields>();
  holder->ExchangeObject(slot, slot);  // adopt it
  TVelaControl c;
  c.SetFieldKind(FK_Word);
  c.SetFieldId(kWord);
  c.SetListenData(true);
  c.SetVlaObject(slot);
  auto* next = SNew<TFields>();
  next->Word = 4242;
  holder->ExchangeObject(slot, next);
  EXPECT_EQ(c.VlaObject(), next);
  EXPECT_EQ(c.Text(), QStringLiteral("4242"));
  c.SetVlaObject(nullptr);
  FreeObj(next);
}

TEST_F(CaptionTest, RightDragIncrementsTheField) {
  TVelaControl c;
  Bind(c);
  c.SetWheelInc(true);
  c.resize(60, 24);
  ShowFocused(&c);
  QTest::mousePress(&c, Qt::RightButton, Qt::NoModifier, QPoint(10, 12));
  QMouseEvent move(QEvent::MouseMove, QPointF(10, 10), c.mapToGlobal(QPointF(10, 10)), Qt::NoButton, Qt::RightButton,
                   Qt::NoModifier);
  QApplication::sendEvent(&c, &move);
  QTest::mouseRelease(&c, Qt::RightButton, Qt::NoModifier, QPoint(10, 12));
  EXPECT_EQ(obj->Word, 102);
  EXPECT_EQ(c.Text(), QStringLiteral("102"));
}

TEST_F(CaptionTest, OnIncrementComesFirst) {
  TVelaControl c;
  Bind(c);
  c.SetWheelInc(true);
  ShowFocused(&c);
  int got = 0;
  c.OnIncrement = [&](QObject*, int&, int& incY) {
    got += incY;
    return true;
  };
  QTest::mousePress(&c, Qt::RightButton, Qt::NoModifier, QPoint(10, 12));
  QMouseEvent move(QEvent::MouseMove, QPointF(10, 15), c.mapToGlobal(QPointF(10, 15)), Qt::NoButton, Qt::RightButton,
                   Qt::NoModifier);
  QApplication::sendEvent(&c, &move);
  QTest::mouseRelease(&c, Qt::RightButton, Qt::NoModifier, QPoint(10, 12));
  EXPECT_EQ(got, -3);
  EXPECT_EQ(obj->Word, 100);
}

TEST_F(CaptionTest, LeftPressSetsPushDownUntilRelease) {
  TVelaControl c;
  Bind(c);
  ShowFocused(&c);
  int pushes = 0;
  c.OnPushDown = [&](QObject*) { ++pushes; };
  QTest::mousePress(&c, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_TRUE(c.PushDown());
  QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_FALSE(c.PushDown());
  QTest::mousePress(&c, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 5));
  EXPECT_FALSE(c.PushDown());
  QTest::mouseRelease(&c, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 5));
  EXPECT_EQ(pushes, 1);
}

TEST_F(CaptionTest, DoubleClickRaisesTheUpEventOnRelease) {
  TVelaControl c;
  Bind(c);
  ShowFocused(&c);
  int ups = 0;
  c.OnDoubleClickUp = [&](QObject*) { ++ups; };
  QTest::mouseDClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  QTest::mouseRelease(&c, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_EQ(ups, 1);
}

TEST_F(CaptionTest, ExecuteRequestsRaiseOnExecute) {
  TVelaControl c;
  std::vector<int> args;
  c.OnExecute = [&](QObject*, Qt::KeyboardModifiers, int arg) { args.push_back(arg); };
  EXPECT_EQ(SendMessageTo(&c, CM_ExecuteRequest, 1), reinterpret_cast<intptr_t>(static_cast<QWidget*>(&c)));
  SendMessageTo(&c, CM_ExecuteRequest, 2);
  SendMessageTo(&c, CM_ExecuteRequest, 4);
  EXPECT_EQ(args, (std::vector<int>{1, 0}));
}

TEST_F(CaptionTest, AssignCopiesLookAndStatusSettings) {
  TVelaControl from;
  from.SetColor(Qt::red);
  from.SetRounding(4);
  from.SetAlignment(taCenter);
  from.SetStatusBits({ST(2)});
  from.resize(80, 20);
  TVelaControl to;
  to.Assign(from);
  EXPECT_EQ(to.Color(), QColor(Qt::red));
  EXPECT_EQ(to.Rounding(), 4);
  EXPECT_EQ(to.Alignment(), taCenter);
  EXPECT_TRUE(to.StatusBits().Has(ST(2)));
  EXPECT_EQ(to.size(), QSize(80, 20));
}

TEST_F(CaptionTest, PaintsItsText) {
  TVelaControl c;
  Bind(c);
  c.resize(80, 24);
  c.SetColor(Qt::white);
  QImage img(c.size(), QImage::Format_ARGB32);
  img.fill(Qt::black);
  c.render(&img);
  EXPECT_EQ(img.pixelColor(1, 1), QColor(Qt::white));
  bool dark = false;
  for (int x = 0; x < img.width() && !dark; ++x)
    for (int y = 0; y < img.height() && !dark; ++y) dark = img.pixelColor(x, y).lightness() < 100;
  EXPECT_TRUE(dark) << "no text drawn";
}

// ---- bitmap button

class BitButtonTest : public ControlTest {};

TEST_F(BitButtonTest, CaptionFromTheFieldWithListenData) {
  TSaBitButton b;
  b.SetFieldKind(FK_Word);
  b.SetFieldId(kWord);
  b.SetListenData(true);
  b.SetVlaObject(obj);
  EXPECT_EQ(b.text(), obj->FF(FK_Word, kWord));
  obj->Word = 3;
  obj->SetDataChanged(FK_Word, kWord, false);
  EXPECT_EQ(b.text(), obj->FF(FK_Word, kWord));
  b.SetVlaObject(nullptr);
  EXPECT_EQ(b.text(), QString());
}

TEST_F(BitButtonTest, OnGetFFReplacesTheCaption) {
  TSaBitButton b;
  b.OnGetFF = [](QObject*, TSFieldKind, uint8_t fid) { return QStringLiteral("id %1").arg(fid); };
  b.SetFieldId(kWord);
  b.SetVlaObject(obj);
  EXPECT_EQ(b.text(), QStringLiteral("id 3"));
}

TEST_F(BitButtonTest, ClickTogglesABoolField) {
  TSaBitButton b;
  b.SetFieldKind(FK_Bool);
  b.SetFieldId(kFlag);
  b.SetDoToggleStBits(true);
  b.SetVlaObject(obj);
  ShowFocused(&b);
  QTest::mouseClick(&b, Qt::LeftButton);
  EXPECT_TRUE(obj->Flag);
  QTest::mouseClick(&b, Qt::LeftButton);
  EXPECT_FALSE(obj->Flag);
}

TEST_F(BitButtonTest, ClickTogglesTheStatusBits) {
  TSaBitButton b;
  b.SetFieldKind(FK_Status);
  b.SetDoToggleStBits(true);
  b.SetStatusBits({ST(4), ST(5)});
  b.SetVlaObject(obj);
  ShowFocused(&b);
  QTest::mouseClick(&b, Qt::LeftButton);
  EXPECT_TRUE(obj->GetStatusAll({ST(4), ST(5)}));
  obj->SetStatus(ST(5), false);
  QTest::mouseClick(&b, Qt::LeftButton);
  EXPECT_FALSE(obj->GetStatus(TStBits{ST(4), ST(5)}));
}

TEST_F(BitButtonTest, StatusDeliveryRefreshesTheCaption) {
  TSaBitButton b;
  b.SetFieldKind(FK_Word);
  b.SetFieldId(kWord);
  b.SetListenData(true);
  b.SetStatusBits({ST(6)});
  b.SetVlaObject(obj);
  obj->Word = 77;
  obj->SetStatus(ST(6), true);
  StatusPass();
  EXPECT_EQ(b.text(), obj->FF(FK_Word, kWord));
  EXPECT_EQ(b.text(), QStringLiteral("77"));
}

TEST_F(BitButtonTest, ChangingTheBitsMovesTheRegistration) {
  TSaBitButton b;
  b.SetVlaObject(obj);
  EXPECT_TRUE(TheStatusList()->EntriesOf(&b).empty());
  b.SetStatusBits({ST(1)});
  EXPECT_EQ(TheStatusList()->EntriesOf(&b).size(), 1u);
  b.SetStatusBits({});
  EXPECT_TRUE(TheStatusList()->EntriesOf(&b).empty());
}

TEST_F(BitButtonTest, RightDragIncrementsAndMarksNotSaved) {
  TSaBitButton b;
  b.SetFieldKind(FK_Word);
  b.SetFieldId(kWord);
  b.SetWheelInc(true);
  b.SetVlaObject(obj);
  b.resize(60, 24);
  ShowFocused(&b);
  obj->ResetNotSaved();
  QTest::mousePress(&b, Qt::RightButton, Qt::NoModifier, QPoint(10, 12));
  QMouseEvent move(QEvent::MouseMove, QPointF(10, 11), b.mapToGlobal(QPointF(10, 11)), Qt::NoButton, Qt::RightButton,
                   Qt::NoModifier);
  QApplication::sendEvent(&b, &move);
  QTest::mouseRelease(&b, Qt::RightButton, Qt::NoModifier, QPoint(10, 12));
  EXPECT_EQ(obj->Word, 101);
  EXPECT_TRUE(obj->NotSaved());
}

TEST_F(BitButtonTest, OneBindingCallForEveryBoundControl) {
  TsaCheckBox check;
  TsaComboBox combo;
  TsaEdit edit;
  TVelaEdit older;
  TSaBitButton button;
  for (QWidget* w : std::initializer_list<QWidget*>{&check, &combo, &edit, &older, &button}) BindFieldControl(w, obj);
  EXPECT_EQ(check.MyObject(), obj);
  EXPECT_EQ(combo.MyObject(), obj);
  EXPECT_EQ(edit.MyObject(), obj);
  EXPECT_EQ(older.MyObject(), nullptr);
  EXPECT_EQ(button.VlaObject(), obj);
}

}  // namespace
