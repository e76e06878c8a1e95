#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "DialogTestSupport.h"
#include "boxsetup/UnicastForm.h"
#include "common/QtPrinters.h"

using namespace vela;
using vela::test::ClickCheckBox;
using vela::test::DriveModal;
using vela::test::TMessageBoxAnswerer;
using vela::test::TypeInto;

namespace {

// Sets the tick of "Unicast" by clicking it when it differs.
void SetUnicastByClick(TUniMultiForm& dialog, bool on) {
  if (dialog.UnicastCheck->isChecked() != on) ClickCheckBox(dialog.UnicastCheck);
  ASSERT_EQ(dialog.UnicastCheck->isChecked(), on);
}

TEST(DistributeModeDialog, ShowsTheControlsWithTheirTexts) {
  TUniMultiForm dialog;
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Distribute mode"));
  EXPECT_EQ(dialog.UnicastCheck->text(), QStringLiteral("Unicast"));
  EXPECT_EQ(dialog.Label1->text(), QStringLiteral("Unicast address:"));
  EXPECT_EQ(dialog.Button1->text(), QStringLiteral("Ok"));
  EXPECT_EQ(dialog.Button2->text(), QStringLiteral("Cancel"));
  EXPECT_FALSE(dialog.UnicastCheck->isChecked());
  EXPECT_TRUE(dialog.Edit1->text().isEmpty());
}

// ---- OK with "Unicast" clear -------------------------------------------------------

class DistributeMulticastTest : public ::testing::TestWithParam<const char*> {};

TEST_P(DistributeMulticastTest, OkClosesWhateverTheAddressHolds) {
  TUniMultiForm dialog;
  dialog.show();
  SetUnicastByClick(dialog, false);
  TypeInto(dialog.Edit1, QString::fromLatin1(GetParam()));
  TMessageBoxAnswerer answerer;
  QTest::mouseClick(dialog.Button1, Qt::LeftButton);
  EXPECT_EQ(answerer.Count(), 0);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

INSTANTIATE_TEST_SUITE_P(Texts, DistributeMulticastTest,
                         ::testing::Values("", "garbage", "239.1.1.1", "127.0.0.1", "192.168.1.20", "1.2.3"));

// ---- OK with "Unicast" ticked --------------------------------------------------------

struct TUnicastCase {
  const char* text;
  bool accepted;
  const char* message;  // for a refused text
  const char* title;
  QMessageBox::Icon icon;
};

class DistributeUnicastTest : public ::testing::TestWithParam<TUnicastCase> {};

TEST_P(DistributeUnicastTest, OnlyAUnicastAddressCloses) {
  const TUnicastCase& c = GetParam();
  TUniMultiForm dialog;
  dialog.show();
  SetUnicastByClick(dialog, true);
  TypeInto(dialog.Edit1, QString::fromLatin1(c.text));
  ASSERT_EQ(dialog.Edit1->text(), QString::fromLatin1(c.text));
  TMessageBoxAnswerer answerer;
  QTest::mouseClick(dialog.Button1, Qt::LeftButton);
  if (c.accepted) {
    EXPECT_EQ(answerer.Count(), 0) << answerer.LastText().toStdString();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  } else {
    EXPECT_EQ(answerer.Count(), 1);
    EXPECT_EQ(answerer.LastText(), QString::fromLatin1(c.message));
    EXPECT_EQ(answerer.LastTitle(), QString::fromLatin1(c.title));
    EXPECT_EQ(answerer.LastIcon(), c.icon);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.focusWidget(), dialog.Edit1);
    EXPECT_EQ(dialog.Edit1->text(), QString::fromLatin1(c.text));  // left for the operator to correct
  }
}

constexpr auto kWarn = QMessageBox::Warning;
constexpr auto kError = QMessageBox::Critical;
const char* const kMode = "Distribute mode";

INSTANTIATE_TEST_SUITE_P(
    Addresses, DistributeUnicastTest,
    ::testing::Values(
        TUnicastCase{"192.168.1.20", true, "", "", kWarn}, TUnicastCase{"10.0.0.5", true, "", "", kWarn},
        TUnicastCase{"172.20.1.1", true, "", "", kWarn}, TUnicastCase{"8.8.4.4", true, "", "", kWarn},
        TUnicastCase{" 192.168.1.21 ", true, "", "", kWarn},
        TUnicastCase{"239.1.1.1", false,
                     "239.1.1.1 is a multicast address, which cannot receive unicast data. Enter the address of "
                     "one box or computer.",
                     kMode, kWarn},
        TUnicastCase{"127.0.0.1", false,
                     "127.0.0.1 is a loopback address, which cannot receive unicast data. Enter the address of "
                     "one box or computer.",
                     kMode, kWarn},
        TUnicastCase{"255.255.255.255", false,
                     "255.255.255.255 is a global broadcast address, which cannot receive unicast data. Enter the "
                     "address of one box or computer.",
                     kMode, kWarn},
        TUnicastCase{"0.0.0.0", false,
                     "0.0.0.0 is a local host address, which cannot receive unicast data. Enter the address of "
                     "one box or computer.",
                     kMode, kWarn},
        TUnicastCase{"0.1.2.3", false,
                     "0.1.2.3 is a local network address, which cannot receive unicast data. Enter the address of "
                     "one box or computer.",
                     kMode, kWarn},
        TUnicastCase{"192.0.0.8", false,
                     "192.0.0.8 is a reserved address, which cannot receive unicast data. Enter the address of "
                     "one box or computer.",
                     kMode, kWarn},
        TUnicastCase{"250.1.1.1", false,
                     "250.1.1.1 is a future use address, which cannot receive unicast data. Enter the address of "
                     "one box or computer.",
                     kMode, kWarn},
        TUnicastCase{"garbage", false, "The string garbage does not translate into a valid IP.", "Error", kError},
        TUnicastCase{"", false, "The string  does not translate into a valid IP.", "Error", kError},
        TUnicastCase{"1.2.3", false, "The string 1.2.3 does not translate into a valid IP.", "Error", kError},
        TUnicastCase{"192.168.1.256", false, "The string 192.168.1.256 does not translate into a valid IP.", "Error",
                     kError},
        TUnicastCase{"192.168.001.20", false, "The string 192.168.001.20 does not translate into a valid IP.", "Error",
                     kError}));

// ---- Cancel ------------------------------------------------------------------------------

TEST(DistributeModeDialog, CancelClosesWithoutChecking) {
  TUniMultiForm dialog;
  dialog.show();
  SetUnicastByClick(dialog, true);
  TypeInto(dialog.Edit1, QStringLiteral("garbage"));
  TMessageBoxAnswerer answerer;
  QTest::mouseClick(dialog.Button2, Qt::LeftButton);
  EXPECT_EQ(answerer.Count(), 0);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

// ---- EditDistributeMode, the call the port frame makes ---------------------------------------

TEST(EditDistributeMode, PreloadsTheDialogAndReturnsTheEntry) {
  TUnicastTarget target{true, 0xC0A800C5u};  // 192.168.0.197
  bool result = false;
  DriveModal([&] { result = EditDistributeMode(nullptr, target); },
             [](QWidget* modal) {
               auto* dialog = qobject_cast<TUniMultiForm*>(modal);
               ASSERT_NE(dialog, nullptr);
               EXPECT_TRUE(dialog->UnicastCheck->isChecked());
               EXPECT_EQ(dialog->Edit1->text(), QStringLiteral("192.168.0.197"));
               TypeInto(dialog->Edit1, QStringLiteral("10.0.0.7"));
               QTest::mouseClick(dialog->Button1, Qt::LeftButton);
             });
  EXPECT_TRUE(result);
  EXPECT_EQ(target, (TUnicastTarget{true, 0x0A000007u}));
}

TEST(EditDistributeMode, ShowsTheAddressAlsoWhenUnicastIsOff) {
  TUnicastTarget target{false, 0xC0A800C5u};
  bool result = false;
  DriveModal([&] { result = EditDistributeMode(nullptr, target); },
             [](QWidget* modal) {
               auto* dialog = qobject_cast<TUniMultiForm*>(modal);
               ASSERT_NE(dialog, nullptr);
               EXPECT_FALSE(dialog->UnicastCheck->isChecked());
               EXPECT_EQ(dialog->Edit1->text(), QStringLiteral("192.168.0.197"));
               ClickCheckBox(dialog->UnicastCheck);
               QTest::mouseClick(dialog->Button1, Qt::LeftButton);
             });
  EXPECT_TRUE(result);
  EXPECT_EQ(target, (TUnicastTarget{true, 0xC0A800C5u}));
}

TEST(EditDistributeMode, SwitchingToMulticastKeepsAnUnreadableAddressOut) {
  TUnicastTarget target{true, 0xC0A800C5u};
  bool result = false;
  DriveModal([&] { result = EditDistributeMode(nullptr, target); },
             [](QWidget* modal) {
               auto* dialog = qobject_cast<TUniMultiForm*>(modal);
               ASSERT_NE(dialog, nullptr);
               ClickCheckBox(dialog->UnicastCheck);
               TypeInto(dialog->Edit1, QStringLiteral("garbage"));
               QTest::mouseClick(dialog->Button1, Qt::LeftButton);
             });
  EXPECT_TRUE(result);
  EXPECT_EQ(target, (TUnicastTarget{false, 0xC0A800C5u}));
}

TEST(EditDistributeMode, CancelChangesNothing) {
  const TUnicastTarget before{true, 0xC0A800C5u};
  TUnicastTarget target = before;
  bool result = true;
  DriveModal([&] { result = EditDistributeMode(nullptr, target); },
             [](QWidget* modal) {
               auto* dialog = qobject_cast<TUniMultiForm*>(modal);
               ASSERT_NE(dialog, nullptr);
               ClickCheckBox(dialog->UnicastCheck);
               TypeInto(dialog->Edit1, QStringLiteral("10.0.0.9"));
               QTest::mouseClick(dialog->Button2, Qt::LeftButton);
               EXPECT_FALSE(dialog->isVisible());
             });
  EXPECT_FALSE(result);
  EXPECT_EQ(target, before);
}

TEST(EditDistributeMode, EscapeIsCancel) {
  const TUnicastTarget before{false, 0x0A000001u};
  TUnicastTarget target = before;
  bool result = true;
  DriveModal([&] { result = EditDistributeMode(nullptr, target); },
             [](QWidget* modal) {
               auto* dialog = qobject_cast<TUniMultiForm*>(modal);
               ASSERT_NE(dialog, nullptr);
               ClickCheckBox(dialog->UnicastCheck);
               QTest::keyClick(dialog->Edit1, Qt::Key_Escape);
             });
  EXPECT_FALSE(result);
  EXPECT_EQ(target, before);
}

// ---- The check itself --------------------------------------------------------------------

TEST(CheckUnicastAddress, GivesTheAddressItRead) {
  const TUnicastEntryCheck accepted = CheckUnicastAddress(QStringLiteral("192.168.1.20"));
  EXPECT_EQ(accepted.Result, TUnicastEntryCheck::Accepted);
  EXPECT_EQ(accepted.Address, 0xC0A80114u);
  EXPECT_TRUE(accepted.Message.isEmpty());
  const TUnicastEntryCheck refused = CheckUnicastAddress(QStringLiteral("239.1.1.1"));
  EXPECT_EQ(refused.Result, TUnicastEntryCheck::Refused);
  EXPECT_EQ(refused.Address, 0xEF010101u);
  EXPECT_EQ(CheckUnicastAddress(QStringLiteral("0x0a.0.0.1")).Result, TUnicastEntryCheck::Unreadable);
}

}  // namespace
