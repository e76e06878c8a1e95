// The numeric input box, the global entry functions and the message boxes.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstring>

#include "BrowserFixtures.h"
#include "browser/ControlMenus.h"
#include "browser/InpBox.h"
#include "browser/InpEntry.h"
#include "browser/MessageBoxes.h"
#include "common/QtPrinters.h"
#include "framework/FrameworkHooks.h"
#include "framework/velaobject.h"

using namespace vela;

namespace {

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

QColor Shown(const TInpBox& box) { return box.InputView->palette().color(QPalette::Window); }

class InpBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    box.show();
    box.setFocus();
  }
  void Type(const QString& keys) { QTest::keyClicks(&box, keys); }
  TInpBox box;
};

TEST_F(InpBoxTest, TypingDigitsAndAPointBuildsTheEntry) {
  Type(QStringLiteral("12.5"));
  EXPECT_EQ(box.Text(), "12.5");
  EXPECT_EQ(box.InputView->text(), "12.5");
  EXPECT_EQ(box.Preset10(false), 125);
  EXPECT_EQ(box.InpTall(false), 12);
  EXPECT_FALSE(box.LastIsPoint());
  EXPECT_TRUE(box.IsInpReady());
  box.SetInpUsed();
  EXPECT_EQ(Shown(box), kRed);
  Type(QStringLiteral("3"));
  EXPECT_EQ(box.Text(), "3");
  EXPECT_EQ(Shown(box), kGreen);
}

TEST_F(InpBoxTest, CommaEntersAPointAndKeypadMinusStartsANegativeEntry) {
  Type(QStringLiteral("7,"));
  EXPECT_EQ(box.Text(), "7.");
  EXPECT_TRUE(box.LastIsPoint());
  QTest::keyClick(&box, Qt::Key_Backspace);
  EXPECT_TRUE(box.IsInpEmpty());
  QTest::keyClick(&box, Qt::Key_Minus, Qt::KeypadModifier);
  EXPECT_EQ(box.Text(), "-");
  // Not at the start of an entry the keypad minus is passed on.
  Type(QStringLiteral("4"));
  QTest::keyClick(&box, Qt::Key_Minus, Qt::KeypadModifier);
  EXPECT_EQ(box.Text(), "-4");
}

TEST_F(InpBoxTest, OtherKeysGoToTheEvents) {
  int downs = 0;
  QChar pressed;
  box.OnKeyDown = [&](int&, Qt::KeyboardModifiers) { ++downs; };
  box.OnKeyPress = [&](QChar& c) { pressed = c; };
  Type(QStringLiteral("a"));
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(pressed, QChar('a'));
  EXPECT_TRUE(box.IsInpEmpty());
}

TEST_F(InpBoxTest, EveryBoxShowsTheSameEntry) {
  TInpBox other;
  TInpBox third;
  Type(QStringLiteral("42"));
  EXPECT_EQ(other.InputView->text(), "42");
  EXPECT_EQ(third.Text(), "42");
  box.SetInpUsed();
  EXPECT_EQ(Shown(other), kRed);
  EXPECT_TRUE(third.IsInpUsed());
  other.ClearInp();
  EXPECT_TRUE(box.IsInpEmpty());
  EXPECT_EQ(Shown(box), kGreen);
}

TEST_F(InpBoxTest, RegistryHoldsTheLiveBoxes) {
  const size_t before = TInpBox::Registry().size();
  {
    TInpBox temp;
    EXPECT_EQ(TInpBox::Registry().size(), before + 1);
  }
  EXPECT_EQ(TInpBox::Registry().size(), before);
}

struct TDmxCase {
  const char* text;
  uint32_t value;
  bool valid;
};

class InpDmxTest : public ::testing::TestWithParam<TDmxCase> {};

TEST_P(InpDmxTest, DmxAddresses) {
  TInpBox box;
  box.SetInpStr(QString::fromLatin1(GetParam().text), true);
  EXPECT_EQ(box.ValidInpDMX(), GetParam().valid);
  if (GetParam().valid) {
    EXPECT_EQ(box.InpDMX(false), GetParam().value);
  }
}

INSTANTIATE_TEST_SUITE_P(Entries, InpDmxTest,
                         ::testing::Values(TDmxCase{"2.1", 513, true}, TDmxCase{"1:512", 512, true},
                                           TDmxCase{"17", 17, true}, TDmxCase{"0.5", 0, false},
                                           TDmxCase{"1.513", 0, false}, TDmxCase{"3.0", 0, false}));

TEST(InpDmx, ATextThatIsNoNumberRaises) {
  TInpBox box;
  box.SetInpStr(QStringLiteral("abc"), true);
  EXPECT_TRUE(box.ValidInpDMX());  // no separator counts as valid
  EXPECT_THROW(box.InpDMX(false), EConvertError);
}

struct TTimeCase {
  const char* text;
  uint16_t tenths;
};

class InpTimeTest : public ::testing::TestWithParam<TTimeCase> {};

TEST_P(InpTimeTest, Times) {
  TInpBox box;
  box.SetInpStr(QString::fromLatin1(GetParam().text), true);
  EXPECT_EQ(box.InpTime(false), GetParam().tenths) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Entries, InpTimeTest,
                         ::testing::Values(TTimeCase{"5", 50}, TTimeCase{"130", 900}, TTimeCase{"2:05", 1250},
                                           TTimeCase{"12.5", 125}, TTimeCase{"12345", 0}, TTimeCase{".5", 5},
                                           TTimeCase{"12.", 120}, TTimeCase{"1.25", 0}, TTimeCase{"", 0},
                                           TTimeCase{"45", 450}, TTimeCase{"a:1", 0}));

struct TIntCase {
  const char* text;
  int32_t value;
};

class EntryIntTest : public ::testing::TestWithParam<TIntCase> {};

TEST_P(EntryIntTest, LeadingDigitsCount) {
  EXPECT_EQ(EntryIntValue(QString::fromLatin1(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, EntryIntTest,
                         ::testing::Values(TIntCase{"12.5", 12}, TIntCase{"", 0}, TIntCase{"  -7x", -7},
                                           TIntCase{"$1F", 31}, TIntCase{"0x10", 16}, TIntCase{"+3", 3},
                                           TIntCase{"x", 0}));

TEST(InpBoxForms, Preset10AndTwoWords) {
  TInpBox box;
  box.SetInpStr(QStringLiteral("12"), true);
  EXPECT_EQ(box.Preset10(false), 120);
  box.SetInpStr(QStringLiteral("12.56"), true);
  EXPECT_EQ(box.Preset10(true), 125);
  EXPECT_TRUE(box.IsInpUsed());
  box.SetInpStr(QStringLiteral("3.4"), true);
  EXPECT_EQ(box.Inp2Word(false), (3u << 16) | 4u);
  box.SetInpStr(QStringLiteral("9"), true);
  EXPECT_EQ(box.Inp2Word(false), 9u);
}

// ---------------------------------------------------------------------------
// Global entry functions

class EntryFunctionsTest : public ::testing::Test {
 protected:
  void TearDown() override { SetCurrentInputBoxVar(nullptr); }
};

TEST_F(EntryFunctionsTest, WithoutABoxEveryFunctionAnswersNoEntry) {
  ASSERT_EQ(CurrentInputBox(), nullptr);
  int key = Qt::Key_5;
  InpBoxKeyDown(key, Qt::NoModifier);
  EXPECT_EQ(key, Qt::Key_5);
  for (QChar c : {QChar('.'), QChar(','), QChar('7')}) {
    QChar k = c;
    InpBoxKeyPress(k);
    EXPECT_TRUE(k.isNull()) << "still consumed without a box";
  }
  QChar other('q');
  InpBoxKeyPress(other);
  EXPECT_EQ(other, QChar('q'));
  EXPECT_FALSE(InpEntryReady(true));
  EXPECT_FALSE(InpEntryUsable(Qt::AltModifier));
  EXPECT_EQ(InpEntryTall(true), 0);
  EXPECT_EQ(InpEntryPreset10(true, false), 0);
  EXPECT_EQ(InpEntryText(true), QString());
  EXPECT_EQ(InpEntryDMX(true), 0u);
  EXPECT_EQ(InpEntryTime(true), 0);
  EXPECT_EQ(InpEntryTimeValue(true), 0.0);
}

TEST_F(EntryFunctionsTest, TheCurrentBoxAnswers) {
  TInpBox box;
  TInpBox* current = &box;
  SetCurrentInputBoxVar(&current);
  QChar k('8');
  InpBoxKeyPress(k);
  EXPECT_EQ(box.Text(), "8");
  EXPECT_TRUE(InpEntryReady(false));
  EXPECT_EQ(InpEntryTall(false), 8);
  EXPECT_TRUE(InpEntryReady(true));
  EXPECT_TRUE(box.IsInpUsed());
  EXPECT_FALSE(InpEntryReady(false));
  EXPECT_FALSE(InpEntryUsable(Qt::NoModifier));
  EXPECT_TRUE(InpEntryUsable(Qt::AltModifier));
  EXPECT_EQ(InpEntryPreset10(false, true), 0) << "only unused entries";
  box.SetInpStr(QStringLiteral("1:02"), true);
  // 62 seconds as a time of day.
  EXPECT_NEAR(InpEntryTimeValue(false) * 86400.0, 62.0, 1e-6);
}

struct TFieldCase {
  TSFieldKind kind;
  const char* text;
  int bytes;
  int64_t value;  // integer kinds
  double days;    // floating kinds
};

class InputToFieldTest : public EntryFunctionsTest, public ::testing::WithParamInterface<TFieldCase> {};

TEST_P(InputToFieldTest, EntryInTheFieldsStoredForm) {
  TInpBox box;
  TInpBox* current = &box;
  SetCurrentInputBoxVar(&current);
  box.SetInpStr(QString::fromLatin1(GetParam().text), true);
  uint8_t data[8];
  std::memset(data, 0xAA, sizeof(data));
  const bool converted = InputEntryToField(GetParam().kind, data, false);
  if (GetParam().bytes == 0) {
    EXPECT_FALSE(converted);
    EXPECT_EQ(data[0], 0xAA);
    return;
  }
  ASSERT_TRUE(converted);
  if (GetParam().kind == FK_TimeDate || GetParam().kind == FK_Pros1000) {
    double d = 0;
    std::memcpy(&d, data, 8);
    EXPECT_NEAR(d, GetParam().days, 1e-12);
    return;
  }
  int64_t v = 0;
  std::memcpy(&v, data, GetParam().bytes);
  EXPECT_EQ(v, GetParam().value);
  EXPECT_EQ(data[GetParam().bytes], 0xAA) << "nothing beyond the field's size";
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, InputToFieldTest,
    ::testing::Values(TFieldCase{FK_Byte, "300", 1, 44, 0}, TFieldCase{FK_ByteKind, "7", 1, 7, 0},
                      TFieldCase{FK_Word, "1000", 2, 1000, 0}, TFieldCase{FK_SmallInt, "5", 2, 5, 0},
                      TFieldCase{FK_Integer, "70000", 4, 70000, 0}, TFieldCase{FK_IntegerKind, "9", 4, 9, 0},
                      TFieldCase{FK_ProsWord, "12.5", 2, 125, 0}, TFieldCase{FK_Pros1000, "12.5", 8, 0, 125 / 864000.0},
                      TFieldCase{FK_TimeDate, "130", 8, 0, 90 / 86400.0}, TFieldCase{FK_Text, "1", 0, 0, 0},
                      TFieldCase{FK_Color, "1", 0, 0, 0}));

TEST_F(EntryFunctionsTest, FieldKindsAreTakenModulo128) {
  TInpBox box;
  TInpBox* current = &box;
  SetCurrentInputBoxVar(&current);
  box.SetInpStr(QStringLiteral("3"), true);
  uint8_t data[8] = {};
  EXPECT_TRUE(InputEntryToField(FK_Byte + 128, data, false));
  EXPECT_EQ(data[0], 3);
}

// ---------------------------------------------------------------------------
// Message boxes

// Answers the next modal message box with Button and records its text.
void AnswerNextBox(QMessageBox::StandardButton Button, QString* Text, QString* Title) {
  QTimer::singleShot(0, [=] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    if (Text) *Text = box->text();
    if (Title) *Title = box->windowTitle();
    box->button(Button)->click();
  });
}

class MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = FrameworkHooks().Confirm;
    FrameworkHooks().Confirm = nullptr;
  }
  void TearDown() override { FrameworkHooks().Confirm = saved; }
  std::function<bool(const QString&, const QString&)> saved;
};

TEST_F(MessageBoxTest, ConfirmDeleteOfNothingAsksNothing) {
  int asked = 0;
  FrameworkHooks().Confirm = [&](const QString&, const QString&) { return ++asked, true; };
  EXPECT_FALSE(ConfirmDelete(nullptr));
  EXPECT_EQ(asked, 0);
}

TEST_F(MessageBoxTest, ConfirmDeleteShowsTheObjectAndTakesYesOnly) {
  InstallMessageBoxHooks();
  TVelaObject* obj = SNew<TVelaObject>();
  obj->SetName(QStringLiteral("Box 7"));
  QString text;
  QString title;
  AnswerNextBox(QMessageBox::Yes, &text, &title);
  EXPECT_TRUE(ConfirmDelete(obj));
  EXPECT_EQ(text, "Confirm delete\nBox 7");
  EXPECT_EQ(title, "Confirm");
  AnswerNextBox(QMessageBox::No, nullptr, nullptr);
  EXPECT_FALSE(ConfirmDelete(obj));
  FreeObj(obj);
}

TEST_F(MessageBoxTest, ErrorBoxHasTheTextAndOneButton) {
  QString text;
  QString title;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    text = box->text();
    title = box->windowTitle();
    EXPECT_EQ(box->buttons().size(), 1);
    box->button(QMessageBox::Ok)->click();
  });
  EXPECT_EQ(ErrorBox(QStringLiteral("Number is out of range!")), QMessageBox::Ok);
  EXPECT_EQ(text, "Number is out of range!");
  EXPECT_EQ(title, "Error");
}

TEST_F(MessageBoxTest, MenusOnControlsAreOffSoNothingShows) {
  TVelaObject* obj = SNew<vela::testing::TFolder>(QStringLiteral("folder"));
  QWidget control;
  EXPECT_FALSE(ObjectMenusOnControls());
  EXPECT_FALSE(ShowFieldMenu(obj, &control, FK_Text, 0, nullptr, 1, 1));
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  FreeObj(obj);
}

TEST_F(MessageBoxTest, WithMenusOnControlsTheObjectFillsTheFieldMenu) {
  SetObjectMenusOnControls(true);
  TVelaObject* folder = SNew<vela::testing::TFolder>(QStringLiteral("folder"));
  TVelaObject* sensor = SNew<vela::testing::TSensor>(QStringLiteral("sensor"));
  QWidget control;
  control.resize(100, 30);
  control.show();
  EXPECT_FALSE(ShowFieldMenu(nullptr, &control, FK_Text, 0, nullptr, 1, 1));
  EXPECT_FALSE(ShowFieldMenu(sensor, &control, FK_Text, 0, nullptr, 1, 1)) << "no entries, nothing shown";
  int added = 0;
  EXPECT_TRUE(ShowFieldMenu(folder, &control, FK_Text, 0, nullptr, 5, 5, [&](TVelaMenuItem*) { ++added; }));
  EXPECT_EQ(added, 1);
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->actions().size(), 1);
  EXPECT_EQ(menu->actions().first()->text(), "Explore Folder: folder");
  menu->close();
  SetObjectMenusOnControls(false);
  FreeObj(sensor);
  FreeObj(folder);
}

}  // namespace
