// The bound text edits driven by key, mouse and wheel input.
#include <QLocale>
#include <QTest>

#include "ControlFixtures.h"
#include "browser/EditConversion.h"
#include "browser/VelaEdit.h"
#include "framework/SConstants.h"
#include "framework/StatusList.h"

using namespace vela;
using namespace vela::testing;

namespace {

class EditTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    rangeErrors = 0;
    TsaEdit::RangeErrorHook() = [this] { ++rangeErrors; };
    TsaEdit::TimeErrorHook() = [this] { ++timeErrors; };
  }
  void TearDown() override {
    TsaEdit::RangeErrorHook() = nullptr;
    TsaEdit::TimeErrorHook() = nullptr;
    ControlTest::TearDown();
  }
  // Replaces the edit's text by typing and presses Enter.
  static void TypeEnter(QLineEdit& e, const QString& text) {
    e.selectAll();
    QTest::keyClicks(&e, text);
    QTest::keyClick(&e, Qt::Key_Return);
  }
  int rangeErrors = 0;
  int timeErrors = 0;
};

TEST_F(EditTest, ShowsTheFieldWhenBound) {
  TsaEdit edit;
  edit.SetFieldKind(FK_Text);
  edit.SetFieldId(kText);
  EXPECT_EQ(edit.text(), QString());
  edit.SetMyObject(obj);
  EXPECT_EQ(edit.text(), QStringLiteral("first"));
  EXPECT_EQ(edit.selectedText(), QStringLiteral("first"));
  edit.SetMyObject(nullptr);
  EXPECT_EQ(edit.text(), QString());
}

TEST_F(EditTest, TypingAndEnterWritesThroughTheObject) {
  TsaEdit edit;
  edit.SetFieldKind(FK_Text);
  edit.SetFieldId(kText);
  edit.SetMyObject(obj);
  ShowFocused(&edit);
  TypeEnter(edit, QStringLiteral("second"));
  EXPECT_EQ(obj->Text, QStringLiteral("second"));
  EXPECT_EQ(edit.text(), QStringLiteral("second"));
}

TEST_F(EditTest, UnchangedTextWritesNothing) {
  TsaEdit edit;
  edit.SetFieldKind(FK_Word);
  edit.SetFieldId(kWord);
  edit.SetMyObject(obj);
  ShowFocused(&edit);
  obj->Writes = 0;
  QTest::keyClick(&edit, Qt::Key_Return);
  EXPECT_EQ(obj->Writes, 0);
}

TEST_F(EditTest, RefusedValueShowsTheOldTextAgain) {
  TsaEdit edit;
  edit.SetFieldKind(FK_Word);
  edit.SetFieldId(kWord);
  edit.SetMyObject(obj);
  ShowFocused(&edit);
  TypeEnter(edit, QStringLiteral("999"));
  EXPECT_EQ(obj->Word, 100);
  EXPECT_EQ(edit.text(), QStringLiteral("100"));
}

TEST_F(EditTest, WordOutOfRangeShowsTheErrorAndWritesNothing) {
  TsaEdit edit;
  edit.SetFieldKind(FK_Word);
  edit.SetFieldId(kWord);
  edit.SetMyObject(obj);
  ShowFocused(&edit);
  TypeEnter(edit, QStringLiteral("70000"));
  EXPECT_EQ(rangeErrors, 1);
  EXPECT_EQ(obj->Word, 100);
  EXPECT_EQ(edit.text(), QStringLiteral("100"));
}

TEST_F(EditTest, EscapeShowsTheObjectValueAgain) {
  TsaEdit edit;
  edit.SetFieldKind(FK_Text);
  edit.SetFieldId(kText);
  edit.SetMyObject(obj);
  ShowFocused(&edit);
  edit.selectAll();
  QTest::keyClicks(&edit, QStringLiteral("typed"));
  QTest::keyClick(&edit, Qt::Key_Escape);
  EXPECT_EQ(edit.text(), QStringLiteral("first"));
  EXPECT_EQ(obj->Text, QStringLiteral("first"));
}

TEST_F(EditTest, LeavingTheControlWritesUnlessCancelling) {
  TsaEdit edit;
  QLineEdit other;
  edit.SetFieldKind(FK_Integer);
  edit.SetFieldId(kInt);
  edit.SetMyObject(obj);
  ShowFocused(&edit);
  edit.selectAll();
  QTest::keyClicks(&edit, QStringLiteral("42"));
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(&edit, &out);
  EXPECT_EQ(obj->Int, 42);

  edit.SetCancelling(true);
  edit.selectAll();
  QTest::keyClicks(&edit, QStringLiteral("43"));
  QApplication::sendEvent(&edit, &out);
  EXPECT_EQ(obj->Int, 42);
}

TEST_F(EditTest, NotificationOfTheObjectRefreshesTheEdit) {
  TsaEdit edit;
  edit.SetFieldKind(FK_Word);
  edit.SetFieldId(kWord);
  edit.SetMyObject(obj);
  obj->Word = 321;
  obj->SetDataChanged(FK_Word, kWord, false);
  EXPECT_EQ(edit.text(), QStringLiteral("321"));
}

TEST_F(EditTest, NotificationOfAnotherObjectIsIgnored) {
  TFields* other = SNew<TFields>();
  roots.push_back(other);
  TsaEdit edit;
  edit.SetFieldKind(FK_Word);
  edit.SetFieldId(kWord);
  edit.SetMyObject(obj);
  obj->Word = 321;
  other->SetDataChanged(FK_Word, kWord, false);
  EXPECT_EQ(edit.text(), QStringLiteral("100"));
}

TEST_F(EditTest, NameChangeRefreshesOnlyANameEdit) {
  TsaEdit name;
  name.SetFieldKind(FK_Text);
  name.SetFieldId(0);
  name.SetMyObject(obj);
  TsaEdit text;
  text.SetFieldKind(FK_Text);
  text.SetFieldId(kText);
  text.SetMyObject(obj);
  obj->Text = QStringLiteral("quiet");
  obj->SetName(QStringLiteral("Renamed"));
  EXPECT_EQ(name.text(), QStringLiteral("Renamed"));
  EXPECT_EQ(text.text(), QStringLiteral("first"));
}

TEST_F(EditTest, StatusDeliveryRefreshesTheEdit) {
  TsaEdit edit;
  edit.SetFieldKind(FK_Word);
  edit.SetFieldId(kWord);
  edit.SetMyObject(obj);
  TheStatusList()->AddStatusListener(obj, &edit, {}, {ST(1)});
  obj->Word = 55;
  obj->SetStatus(ST(1), true);
  EXPECT_EQ(edit.text(), QStringLiteral("100"));
  StatusPass();
  EXPECT_EQ(edit.text(), QStringLiteral("55"));
}

TEST_F(EditTest, DestroyingTheEditLeavesViewsAndStatusList) {
  const int before = views.Views()->Count();
  {
    TsaEdit edit;
    edit.SetMyObject(obj);
    TheStatusList()->AddStatusListener(obj, &edit, {}, {ST(1)});
    EXPECT_EQ(views.Views()->Count(), before + 1);
  }
  EXPECT_EQ(views.Views()->Count(), before);
  EXPECT_TRUE(TheStatusList()->EntriesOf(nullptr).empty());
  EXPECT_EQ(TheStatusList()->Count(), 0);
}

TEST_F(EditTest, DeletingTheObjectUnbindsTheEdit) {
  TFields* child = SNew<TFields>();
  obj->CreateStdSubs();
  obj->SInsert(child);
  TsaEdit edit;
  edit.SetFieldKind(FK_Word);
  edit.SetFieldId(kWord);
  edit.SetMyObject(child);
  obj->SFree(child);
  EXPECT_EQ(edit.MyObject(), nullptr);
  EXPECT_EQ(edit.text(), QString());
}

TEST_F(EditTest, WheelIncrementsWithWheelInc) {
  TsaEdit edit;
  edit.SetFieldKind(FK_Word);
  edit.SetFieldId(kWord);
  edit.SetMyObject(obj);
  ShowFocused(&edit);
  WheelNotch(&edit, 1);
  EXPECT_EQ(obj->Word, 100);
  edit.SetWheelInc(true);
  WheelNotch(&edit, 1);
  EXPECT_EQ(obj->Word, 101);
  EXPECT_EQ(edit.text(), QStringLiteral("101"));
  WheelNotch(&edit, -1);
  WheelNotch(&edit, -1);
  EXPECT_EQ(obj->Word, 99);
}

TEST_F(EditTest, RightDragIncrementsAndEndsWithDataChanged) {
  TsaEdit edit;
  edit.resize(120, 24);
  edit.SetFieldKind(FK_Word);
  edit.SetFieldId(kWord);
  edit.SetWheelInc(true);
  edit.SetMyObject(obj);
  ShowFocused(&edit);
  int changes = 0;
  struct TCounter : TMessageReceiver {
    int* n;
    TFields* o;
    void Dispatch(TMessage& m) override {
      if (m.Msg == SOM_DataChanged && m.WParam == reinterpret_cast<intptr_t>(o)) ++*n;
    }
  } counter;
  counter.n = &changes;
  counter.o = obj;
  views.RegisterView(&counter);
  QTest::mousePress(&edit, Qt::RightButton, Qt::NoModifier, QPoint(20, 12));
  QMouseEvent move(QEvent::MouseMove, QPointF(20, 9), edit.mapToGlobal(QPointF(20, 9)), Qt::NoButton, Qt::RightButton,
                   Qt::NoModifier);
  QApplication::sendEvent(&edit, &move);
  EXPECT_EQ(obj->Word, 103);
  QTest::mouseRelease(&edit, Qt::RightButton, Qt::NoModifier, QPoint(20, 12));
  EXPECT_GE(changes, 1);
  views.UnregisterView(&counter);
}

TEST_F(EditTest, OnSetFieldReplacesTheObjectWrite) {
  TsaEdit edit;
  edit.SetFieldKind(FK_Integer);
  edit.SetFieldId(kInt);
  edit.SetMyObject(obj);
  int32_t seen = 0;
  edit.OnSetField = [&](QObject*, TVelaObject* o, TSFieldKind k, uint32_t id, const void* data) {
    EXPECT_EQ(o, obj);
    EXPECT_EQ(k, FK_Integer);
    EXPECT_EQ(id, kInt);
    std::memcpy(&seen, data, 4);
    return true;
  };
  ShowFocused(&edit);
  TypeEnter(edit, QStringLiteral("17"));
  EXPECT_EQ(seen, 17);
  EXPECT_EQ(obj->Int, -5);
}

TEST_F(EditTest, FieldPointerIsShownAndWritten) {
  uint16_t raw = 12;
  TsaEdit edit;
  edit.SetFieldKind(FK_Word);
  edit.SetFieldPointer(&raw);
  EXPECT_EQ(edit.text(), QStringLiteral("12"));
  ShowFocused(&edit);
  TypeEnter(edit, QStringLiteral("13"));
  EXPECT_EQ(raw, 13);
}

// Entries and what the object holds afterwards (a byte or word field).
struct TByteCase {
  const char* name;
  TSFieldKind kind;
  uint32_t id;
  bool zeroAsOne, prosKind, divBy10, dmx;
  const char* entry;
  int expected;
};

class EditEntryTest : public EditTest, public ::testing::WithParamInterface<TByteCase> {};

TEST_P(EditEntryTest, EntryWritesValue) {
  const TByteCase& c = GetParam();
  TsaEdit edit;
  edit.SetFieldKind(c.kind);
  edit.SetFieldId(c.id);
  edit.SetZeroAsOne(c.zeroAsOne);
  edit.SetProsKind(c.prosKind);
  edit.SetDivBy10Kind(c.divBy10);
  edit.SetDmxStyle(c.dmx);
  edit.SetMyObject(obj);
  ShowFocused(&edit);
  TypeEnter(edit, QString::fromLatin1(c.entry));
  EXPECT_EQ(c.kind == FK_Byte ? obj->Byte : obj->Word, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, EditEntryTest,
    ::testing::Values(TByteCase{"ZeroAsOneOne", FK_Byte, kByte, true, false, false, false, "1", 0},
                      TByteCase{"ZeroAsOneZero", FK_Byte, kByte, true, false, false, false, "0", 0},
                      TByteCase{"ZeroAsOneFive", FK_Byte, kByte, true, false, false, false, "5", 4},
                      TByteCase{"ProsFifty", FK_Byte, kByte, false, true, false, false, "50", 128},
                      TByteCase{"ProsTooHigh", FK_Byte, kByte, false, true, false, false, "101", 7},
                      TByteCase{"ByteTooHigh", FK_Byte, kByte, false, false, false, false, "256", 7},
                      TByteCase{"ByteNotANumber", FK_Byte, kByte, false, false, false, false, "x", 7},
                      TByteCase{"DivBy10", FK_Word, kWord, false, false, true, false, "12.34", 123},
                      TByteCase{"DmxUniverse", FK_Word, kWord, false, false, false, true, "2.1", 513},
                      TByteCase{"DmxPlain", FK_Word, kWord, false, false, false, true, "700", 700},
                      TByteCase{"DmxColon", FK_Word, kWord, false, false, false, true, "1:512", 512},
                      TByteCase{"DmxInvalid", FK_Word, kWord, false, false, false, true, "a.b", 100}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditTest, ZeroAsOneShowsTheValuePlusOne) {
  TsaEdit edit;
  edit.SetFieldKind(FK_Byte);
  edit.SetFieldId(kByte);
  edit.SetZeroAsOne(true);
  edit.SetMyObject(obj);
  EXPECT_EQ(edit.text(), QStringLiteral("8"));
}

TEST_F(EditTest, DmxStyleShowsUniverseAndChannel) {
  TsaEdit edit;
  edit.SetFieldKind(FK_Word);
  edit.SetFieldId(kWord);
  edit.SetDmxStyle(true);
  const std::pair<uint16_t, const char*> cases[] = {{0, "---"}, {1, "1.1"}, {512, "1.512"}, {513, "2.1"}};
  for (const auto& [value, text] : cases) {
    obj->Word = value;
    edit.SetMyObject(nullptr);
    edit.SetMyObject(obj);
    EXPECT_EQ(edit.text(), QString::fromLatin1(text)) << value;
  }
}

TEST(EditConversionTest, TimeTextsAreCompleted) {
  EXPECT_EQ(NormalizeTimeText(QStringLiteral("5"), QLatin1Char('.')), QStringLiteral("00:00:5"));
  EXPECT_EQ(NormalizeTimeText(QStringLiteral("1:5"), QLatin1Char('.')), QStringLiteral("00:1:5"));
  EXPECT_EQ(NormalizeTimeText(QStringLiteral("1:2:3,4"), QLatin1Char(',')), QStringLiteral("1:2:3,400"));
  EXPECT_EQ(NormalizeTimeText(QStringLiteral("1:2:3.45678"), QLatin1Char('.')), QStringLiteral("1:2:3.456"));
}

TEST_F(EditTest, TimeEntryWritesTheTimeAndABadOneBeeps) {
  TsaEdit edit;
  edit.SetFieldKind(FK_TimeDate);
  edit.SetFieldId(kTime);
  edit.SetMyObject(obj);
  ShowFocused(&edit);
  TypeEnter(edit, QStringLiteral("1:5"));
  EXPECT_NEAR(obj->Time * 86400.0, 65.0, 1e-6);
  TypeEnter(edit, QStringLiteral("1:x"));
  EXPECT_EQ(timeErrors, 1);
  EXPECT_NEAR(obj->Time * 86400.0, 65.0, 1e-6);
}

TEST_F(EditTest, OlderEditHasNoWordRangeCheck) {
  TVelaEdit edit;
  edit.SetFieldKind(FK_Word);
  edit.SetFieldId(kWord);
  edit.SetMyObject(obj);
  ShowFocused(&edit);
  TypeEnter(edit, QStringLiteral("65537"));
  EXPECT_EQ(rangeErrors, 0);
  EXPECT_EQ(obj->Word, 1);  // low 16 bits, as the older edit always stored
}

TEST_F(EditTest, BindVelaEditBindsOnlyTheOlderEdit) {
  TVelaEdit older;
  older.SetFieldKind(FK_Text);
  older.SetFieldId(kText);
  TsaEdit newer;
  BindVelaEdit(&older, obj);
  BindVelaEdit(&newer, obj);
  EXPECT_EQ(older.MyObject(), obj);
  EXPECT_EQ(newer.MyObject(), nullptr);
}

TEST_F(EditTest, MyLabelFollowsTheEdit) {
  QWidget parent;
  QWidget* label = new QWidget(&parent);
  TsaEdit* edit = new TsaEdit(&parent);
  edit->SetMyLabel(label);
  parent.show();
  EXPECT_TRUE(label->isVisible());
  edit->hide();
  EXPECT_FALSE(label->isVisible());
  edit->show();
  EXPECT_TRUE(label->isVisible());
}

}  // namespace
