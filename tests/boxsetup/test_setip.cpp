#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <array>

#include "DialogTestSupport.h"
#include "boxsetup/SetIp.h"
#include "common/QtPrinters.h"

using namespace vela;
using vela::test::ChooseByKeys;
using vela::test::ClickCheckBox;
using vela::test::DriveModal;
using vela::test::TMessageBoxAnswerer;
using vela::test::TypeInto;

namespace {

using TOctets = std::array<const char*, 4>;

// Types the eight octets into the dialog's edits.
void TypeOctets(TSetIpCheck& dialog, const TOctets& ip, const TOctets& mask) {
  for (int i = 0; i < 4; ++i) {
    TypeInto(dialog.MaskEdit(i + 1), QString::fromLatin1(ip[i]));
    TypeInto(dialog.MaskEdit(i + 5), QString::fromLatin1(mask[i]));
  }
}

// ---- Look --------------------------------------------------------------------

TEST(SetIpDialog, ShowsTheControlsWithTheirTexts) {
  TSetIpCheck dialog;
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Set IP"));
  EXPECT_EQ(dialog.Label1->text(), QStringLiteral("IP"));
  EXPECT_EQ(dialog.Label2->text(), QStringLiteral("Mask"));
  EXPECT_EQ(dialog.Label3->text(), QStringLiteral("DHCP Timeout"));
  EXPECT_EQ(dialog.DHCP->text(), QStringLiteral("Use DHCP"));
  EXPECT_EQ(dialog.DHCP->layoutDirection(), Qt::RightToLeft);  // text on the left
  EXPECT_EQ(dialog.Button1->text(), QStringLiteral("Ok"));
  // "Ok" is the only button; cancel is the title bar's close button.
  EXPECT_EQ(dialog.findChildren<QPushButton*>().size(), 1);
  const Qt::WindowFlags flags = dialog.windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowContextHelpButtonHint));
}

TEST(SetIpDialog, StartsWithMask255AndNoDhcp) {
  TSetIpCheck dialog;
  for (int n = 1; n <= 8; ++n) {
    ASSERT_NE(dialog.MaskEdit(n), nullptr);
    EXPECT_EQ(dialog.MaskEdit(n)->objectName(), QStringLiteral("MaskEdit%1").arg(n));
    EXPECT_EQ(dialog.MaskEdit(n)->text(), n == 5 ? QStringLiteral("255") : QString()) << n;
  }
  EXPECT_EQ(dialog.MaskEdit(0), nullptr);
  EXPECT_EQ(dialog.MaskEdit(9), nullptr);
  EXPECT_FALSE(dialog.DHCP->isChecked());
  EXPECT_EQ(dialog.ComboBox1->currentIndex(), 0);
  EXPECT_TRUE(dialog.Ip().isEmpty());
  EXPECT_TRUE(dialog.Mask().isEmpty());
}

TEST(SetIpDialog, ListsTheTenTimeouts) {
  const QStringList expected = {
      "No DHCP",
      "2 seconds",
      "6 seconds (2+4)",
      "14 seconds (6+8)",
      "30 seconds (14+16)",
      "1 minute 2 seconds  (30+32) ",
      "2 minites 6 seconds (62+64)",
      "4 minutes 14 seconds (126+128)",
      "8 minutes30 Seconds  (254+256)",
      "17 minutes 2 seconds (510+512)",
  };
  TSetIpCheck dialog;
  ASSERT_EQ(dialog.ComboBox1->count(), 10);
  EXPECT_FALSE(dialog.ComboBox1->isEditable());
  for (int i = 0; i < 10; ++i) EXPECT_EQ(dialog.ComboBox1->itemText(i), expected[i]) << i;
  EXPECT_EQ(DhcpTimeoutTexts(), expected);
}

TEST(SetIpDialog, OctetEditsTakeAtMostThreeDigits) {
  TSetIpCheck dialog;
  dialog.show();
  TypeInto(dialog.MaskEdit(1), QStringLiteral("12a3 4"));
  EXPECT_EQ(dialog.MaskEdit(1)->text(), QStringLiteral("123"));
}

// ---- Ip and Mask properties ------------------------------------------------------

TEST(SetIpDialog, WritingIpAndMaskFillsTheOctets) {
  TSetIpCheck dialog;
  dialog.SetIp(QStringLiteral("10.1.22.213"));
  dialog.SetMask(QStringLiteral("255.255.240.0"));
  const std::array<const char*, 8> expected = {"10", "1", "22", "213", "255", "255", "240", "0"};
  for (int n = 1; n <= 8; ++n) EXPECT_EQ(dialog.MaskEdit(n)->text(), QString::fromLatin1(expected[n - 1])) << n;
  EXPECT_EQ(dialog.Ip(), QStringLiteral("10.1.22.213"));
  EXPECT_EQ(dialog.Mask(), QStringLiteral("255.255.240.0"));
}

TEST(SetIpDialog, AnUnreadableTextShowsAs255) {
  TSetIpCheck dialog;
  dialog.SetIp(QStringLiteral("not an address"));
  dialog.SetMask(QStringLiteral("1.2.3"));
  for (int n = 1; n <= 8; ++n) EXPECT_EQ(dialog.MaskEdit(n)->text(), QStringLiteral("255")) << n;
  EXPECT_EQ(dialog.Ip(), QStringLiteral("not an address"));  // the property keeps what was written
  EXPECT_EQ(dialog.Mask(), QStringLiteral("1.2.3"));
}

// ---- OK with valid entries ---------------------------------------------------------

struct TValidCase {
  TOctets ip;
  TOctets mask;
  const char* expectedIp;
  const char* expectedMask;
};

class SetIpValidTest : public ::testing::TestWithParam<TValidCase> {};

TEST_P(SetIpValidTest, OkClosesWithTheEnteredValues) {
  const TValidCase& c = GetParam();
  TSetIpCheck dialog;
  dialog.SetIp(QStringLiteral("192.168.0.10"));
  dialog.SetMask(QStringLiteral("255.255.255.0"));
  dialog.show();
  TypeOctets(dialog, c.ip, c.mask);
  TMessageBoxAnswerer answerer;
  QTest::mouseClick(dialog.Button1, Qt::LeftButton);
  EXPECT_EQ(answerer.Count(), 0) << answerer.LastText().toStdString();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Ip(), QString::fromLatin1(c.expectedIp));
  EXPECT_EQ(dialog.Mask(), QString::fromLatin1(c.expectedMask));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, SetIpValidTest,
    ::testing::Values(
        TValidCase{{"192", "168", "1", "20"}, {"255", "255", "255", "0"}, "192.168.1.20", "255.255.255.0"},
        TValidCase{{"1", "0", "0", "1"}, {"255", "0", "0", "0"}, "1.0.0.1", "255.0.0.0"},
        TValidCase{{"223", "255", "254", "1"}, {"255", "255", "255", "0"}, "223.255.254.1", "255.255.255.0"},
        TValidCase{{"172", "16", "0", "200"}, {"255", "240", "0", "0"}, "172.16.0.200", "255.240.0.0"},
        // Leading zeros are digits of a decimal number and are not kept.
        TValidCase{{"010", "001", "002", "003"}, {"255", "000", "0", "0"}, "10.1.2.3", "255.0.0.0"},
        // A point-to-point mask has no network or broadcast address to avoid.
        TValidCase{{"10", "0", "0", "0"}, {"255", "255", "255", "254"}, "10.0.0.0", "255.255.255.254"},
        TValidCase{{"10", "9", "8", "7"}, {"255", "255", "255", "255"}, "10.9.8.7", "255.255.255.255"}));

TEST(SetIpDialog, EnterInAnOctetIsOk) {
  TSetIpCheck dialog;
  dialog.SetIp(QStringLiteral("192.168.0.10"));
  dialog.SetMask(QStringLiteral("255.255.255.0"));
  dialog.show();
  QTest::keyClick(dialog.MaskEdit(4), Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Ip(), QStringLiteral("192.168.0.10"));
}

// ---- OK with a faulty entry ----------------------------------------------------------

struct TFaultCase {
  TOctets ip;
  TOctets mask;
  int failedEdit;
  const char* message;
};

class SetIpFaultTest : public ::testing::TestWithParam<TFaultCase> {};

TEST_P(SetIpFaultTest, OkSaysWhatIsWrongAndStaysOpen) {
  const TFaultCase& c = GetParam();
  TSetIpCheck dialog;
  dialog.SetIp(QStringLiteral("192.168.0.10"));
  dialog.SetMask(QStringLiteral("255.255.255.0"));
  dialog.show();
  TypeOctets(dialog, c.ip, c.mask);
  TMessageBoxAnswerer answerer;
  QTest::mouseClick(dialog.Button1, Qt::LeftButton);
  EXPECT_EQ(answerer.Count(), 1);
  EXPECT_EQ(answerer.LastText(), QString::fromUtf8(c.message));
  EXPECT_EQ(answerer.LastTitle(), QStringLiteral("Set IP"));
  EXPECT_EQ(answerer.LastIcon(), QMessageBox::Warning);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.focusWidget(), dialog.MaskEdit(c.failedEdit));
  // The properties keep what the caller wrote.
  EXPECT_EQ(dialog.Ip(), QStringLiteral("192.168.0.10"));
  EXPECT_EQ(dialog.Mask(), QStringLiteral("255.255.255.0"));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, SetIpFaultTest,
    ::testing::Values(
        TFaultCase{{"0", "1", "1", "1"},
                   {"255", "0", "0", "0"},
                   1,
                   "Number 1 of the IP address is \"0\"; enter a whole number from 1 to 223."},
        TFaultCase{{"224", "1", "1", "1"},
                   {"255", "0", "0", "0"},
                   1,
                   "Number 1 of the IP address is \"224\"; enter a whole number from 1 to 223."},
        TFaultCase{{"", "1", "1", "1"},
                   {"255", "0", "0", "0"},
                   1,
                   "Number 1 of the IP address is empty; enter a whole number from 1 to 223."},
        TFaultCase{{"127", "0", "0", "1"},
                   {"255", "0", "0", "0"},
                   1,
                   "An IP address starting with 127 is a loopback address, which a box cannot use."},
        TFaultCase{{"10", "256", "1", "1"},
                   {"255", "0", "0", "0"},
                   2,
                   "Number 2 of the IP address is \"256\"; enter a whole number from 0 to 255."},
        TFaultCase{{"10", "1", "", "1"},
                   {"255", "0", "0", "0"},
                   3,
                   "Number 3 of the IP address is empty; enter a whole number from 0 to 255."},
        TFaultCase{{"10", "1", "1", "999"},
                   {"255", "0", "0", "0"},
                   4,
                   "Number 4 of the IP address is \"999\"; enter a whole number from 0 to 255."},
        // The first mask number is checked like the others.
        TFaultCase{{"10", "1", "1", "1"},
                   {"300", "0", "0", "0"},
                   5,
                   "Number 1 of the mask is \"300\"; enter a whole number from 0 to 255."},
        TFaultCase{{"10", "1", "1", "1"},
                   {"255", "256", "0", "0"},
                   6,
                   "Number 2 of the mask is \"256\"; enter a whole number from 0 to 255."},
        TFaultCase{{"10", "1", "1", "1"},
                   {"255", "255", "", "0"},
                   7,
                   "Number 3 of the mask is empty; enter a whole number from 0 to 255."},
        TFaultCase{{"10", "1", "1", "1"},
                   {"255", "0", "255", "0"},
                   5,
                   "The mask 255.0.255.0 is not a subnet mask: it must be ones followed only by zeros, such as "
                   "255.255.255.0."},
        TFaultCase{{"10", "1", "1", "1"},
                   {"0", "0", "0", "0"},
                   5,
                   "The mask 0.0.0.0 is not a subnet mask: it must be ones followed only by zeros, such as "
                   "255.255.255.0."},
        TFaultCase{{"192", "168", "1", "0"},
                   {"255", "255", "255", "0"},
                   4,
                   "192.168.1.0 is the network address of its subnet under the mask 255.255.255.0; a box cannot "
                   "use it."},
        TFaultCase{{"192", "168", "1", "255"},
                   {"255", "255", "255", "0"},
                   4,
                   "192.168.1.255 is the broadcast address of its subnet under the mask 255.255.255.0; a box "
                   "cannot use it."}));

TEST(SetIpDialog, AFaultCanBeCorrectedAndOkPressedAgain) {
  TSetIpCheck dialog;
  dialog.show();
  TypeOctets(dialog, {"224", "1", "2", "3"}, {"255", "255", "0", "0"});
  TMessageBoxAnswerer answerer;
  QTest::mouseClick(dialog.Button1, Qt::LeftButton);
  ASSERT_EQ(answerer.Count(), 1);
  ASSERT_TRUE(dialog.isVisible());
  // The cursor sits in the faulty octet with its text selected: typing replaces it.
  QTest::keyClicks(dialog.MaskEdit(1), QStringLiteral("100"));
  EXPECT_EQ(dialog.MaskEdit(1)->text(), QStringLiteral("100"));
  QTest::mouseClick(dialog.Button1, Qt::LeftButton);
  EXPECT_EQ(answerer.Count(), 1);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Ip(), QStringLiteral("100.1.2.3"));
  EXPECT_EQ(dialog.Mask(), QStringLiteral("255.255.0.0"));
}

// ---- The check itself, without the widgets ---------------------------------------------

TEST(CheckIpEntries, TrimsAndReadsDecimal) {
  const TIpEntryCheck check = CheckIpEntries({" 192 ", "168", "\t1", "020"}, {"255 ", "255", "255", " 0"});
  ASSERT_TRUE(check.Ok) << check.Message.toStdString();
  EXPECT_EQ(check.Ip, 0xC0A80114u);
  EXPECT_EQ(check.Mask, 0xFFFFFF00u);
  EXPECT_EQ(check.FailedEdit, 0);
  EXPECT_TRUE(check.Message.isEmpty());
}

TEST(CheckIpEntries, RefusesNonDigitsAndLongNumbers) {
  EXPECT_EQ(CheckIpEntries({"+1", "1", "1", "1"}, {"255", "0", "0", "0"}).FailedEdit, 1);
  EXPECT_EQ(CheckIpEntries({"1", "0x1", "1", "1"}, {"255", "0", "0", "0"}).FailedEdit, 2);
  EXPECT_EQ(CheckIpEntries({"1", "1", "1 1", "1"}, {"255", "0", "0", "0"}).FailedEdit, 3);
  EXPECT_EQ(CheckIpEntries({"1", "1", "1", "0001"}, {"255", "0", "0", "0"}).FailedEdit, 4);
  EXPECT_EQ(CheckIpEntries({"1", "1", "1", "1"}, {"255", "-0", "0", "0"}).FailedEdit, 6);
}

TEST(CheckIpEntries, TheFirstFaultIsReported) {
  const TIpEntryCheck check = CheckIpEntries({"1", "", "300", ""}, {"", "", "", ""});
  EXPECT_FALSE(check.Ok);
  EXPECT_EQ(check.FailedEdit, 2);
}

// ---- DHCP check box and list ----------------------------------------------------------

TEST(SetIpDialog, TickingUseDhcpWithNoDhcpSelectsSixSeconds) {
  TSetIpCheck dialog;
  dialog.show();
  ASSERT_EQ(dialog.ComboBox1->currentIndex(), 0);
  ClickCheckBox(dialog.DHCP);
  EXPECT_TRUE(dialog.DHCP->isChecked());
  EXPECT_EQ(dialog.ComboBox1->currentIndex(), 2);
  EXPECT_EQ(dialog.ComboBox1->currentText(), QStringLiteral("6 seconds (2+4)"));
}

TEST(SetIpDialog, ClearingUseDhcpSelectsNoDhcp) {
  TSetIpCheck dialog;
  dialog.show();
  ChooseByKeys(dialog.ComboBox1, 7);
  ASSERT_TRUE(dialog.DHCP->isChecked());
  ClickCheckBox(dialog.DHCP);
  EXPECT_FALSE(dialog.DHCP->isChecked());
  EXPECT_EQ(dialog.ComboBox1->currentIndex(), 0);
}

struct TListCase {
  int index;
  bool ticked;
};

class SetIpListTest : public ::testing::TestWithParam<TListCase> {};

TEST_P(SetIpListTest, ChoosingAnEntrySetsUseDhcp) {
  const TListCase& c = GetParam();
  for (bool startTicked : {false, true}) {
    TSetIpCheck dialog;
    dialog.SetDhcpSetting(startTicked ? 4 : 0);
    dialog.show();
    ChooseByKeys(dialog.ComboBox1, c.index);
    EXPECT_EQ(dialog.ComboBox1->currentIndex(), c.index);
    EXPECT_EQ(dialog.DHCP->isChecked(), c.ticked) << "index " << c.index << " from ticked " << startTicked;
    EXPECT_EQ(dialog.DhcpSetting(), c.index);
  }
}

INSTANTIATE_TEST_SUITE_P(Entries, SetIpListTest,
                         ::testing::Values(TListCase{0, false}, TListCase{1, true}, TListCase{2, true},
                                           TListCase{5, true}, TListCase{9, true}));

struct TPreloadCase {
  uint8_t setting;
  int index;
  bool ticked;
};

class SetIpPreloadTest : public ::testing::TestWithParam<TPreloadCase> {};

TEST_P(SetIpPreloadTest, ABoxSettingShowsAsListEntryAndTick) {
  const TPreloadCase& c = GetParam();
  TSetIpCheck dialog;
  dialog.SetDhcpSetting(c.setting);
  EXPECT_EQ(dialog.ComboBox1->currentIndex(), c.index);
  EXPECT_EQ(dialog.DHCP->isChecked(), c.ticked);
}

INSTANTIATE_TEST_SUITE_P(Settings, SetIpPreloadTest,
                         ::testing::Values(TPreloadCase{0, 0, false}, TPreloadCase{1, 1, true},
                                           TPreloadCase{9, 9, true}, TPreloadCase{10, 2, true},
                                           TPreloadCase{12, 2, true}, TPreloadCase{255, 2, true}));

// ---- Cancel -------------------------------------------------------------------------------

TEST(SetIpDialog, EscapeCancelsWithoutChecking) {
  TSetIpCheck dialog;
  dialog.SetIp(QStringLiteral("192.168.0.10"));
  dialog.SetMask(QStringLiteral("255.255.255.0"));
  dialog.show();
  TypeOctets(dialog, {"0", "", "", ""}, {"300", "", "", ""});
  TMessageBoxAnswerer answerer;
  QTest::keyClick(dialog.MaskEdit(1), Qt::Key_Escape);
  EXPECT_EQ(answerer.Count(), 0);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(dialog.Ip(), QStringLiteral("192.168.0.10"));
  EXPECT_EQ(dialog.Mask(), QStringLiteral("255.255.255.0"));
}

TEST(SetIpDialog, TheCloseButtonCancelsWithoutChecking) {
  TSetIpCheck dialog;
  dialog.show();
  TMessageBoxAnswerer answerer;
  EXPECT_TRUE(dialog.close());
  EXPECT_EQ(answerer.Count(), 0);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_TRUE(dialog.Ip().isEmpty());
}

// ---- EditIpSettings, the call the box model makes --------------------------------------------

TEST(EditIpSettings, PreloadsTheDialogAndReturnsTheEnteredValues) {
  TIpSettings settings{0xC0A80114u, 0xFFFFFF00u, 0};  // 192.168.1.20 / 255.255.255.0, no DHCP
  bool result = false;
  DriveModal([&] { result = EditIpSettings(nullptr, settings); },
             [](QWidget* modal) {
               auto* dialog = qobject_cast<TSetIpCheck*>(modal);
               ASSERT_NE(dialog, nullptr);
               EXPECT_EQ(dialog->Ip(), QStringLiteral("192.168.1.20"));
               EXPECT_EQ(dialog->Mask(), QStringLiteral("255.255.255.0"));
               EXPECT_EQ(dialog->MaskEdit(4)->text(), QStringLiteral("20"));
               EXPECT_FALSE(dialog->DHCP->isChecked());
               TypeInto(dialog->MaskEdit(3), QStringLiteral("7"));
               TypeInto(dialog->MaskEdit(7), QStringLiteral("0"));
               ClickCheckBox(dialog->DHCP);
               QTest::mouseClick(dialog->Button1, Qt::LeftButton);
             });
  EXPECT_TRUE(result);
  EXPECT_EQ(settings, (TIpSettings{0xC0A80714u, 0xFFFF0000u, 2}));
}

class EditIpSettingsDhcpTest : public ::testing::TestWithParam<int> {};

TEST_P(EditIpSettingsDhcpTest, TheChosenEntryIsTheDhcpByte) {
  const int index = GetParam();
  TIpSettings settings{0x0A000002u, 0xFF000000u, 3};
  bool result = false;
  DriveModal([&] { result = EditIpSettings(nullptr, settings); },
             [index](QWidget* modal) {
               auto* dialog = qobject_cast<TSetIpCheck*>(modal);
               ASSERT_NE(dialog, nullptr);
               EXPECT_EQ(dialog->ComboBox1->currentIndex(), 3);
               ChooseByKeys(dialog->ComboBox1, index);
               QTest::mouseClick(dialog->Button1, Qt::LeftButton);
             });
  EXPECT_TRUE(result);
  EXPECT_EQ(settings.Dhcp, index);
  EXPECT_EQ(settings.DefaultIp, 0x0A000002u);
  EXPECT_EQ(settings.Mask, 0xFF000000u);
}

INSTANTIATE_TEST_SUITE_P(Entries, EditIpSettingsDhcpTest, ::testing::Range(0, 10));

TEST(EditIpSettings, ASettingBeyondTheListIsSavedAsTheEntryShown) {
  TIpSettings settings{0x0A000002u, 0xFF000000u, 12};
  bool result = false;
  DriveModal([&] { result = EditIpSettings(nullptr, settings); },
             [](QWidget* modal) {
               auto* dialog = qobject_cast<TSetIpCheck*>(modal);
               ASSERT_NE(dialog, nullptr);
               EXPECT_TRUE(dialog->DHCP->isChecked());
               EXPECT_EQ(dialog->ComboBox1->currentIndex(), 2);
               QTest::mouseClick(dialog->Button1, Qt::LeftButton);
             });
  EXPECT_TRUE(result);
  EXPECT_EQ(settings.Dhcp, 2);
}

TEST(EditIpSettings, CancelChangesNothing) {
  const TIpSettings before{0xC0A80114u, 0xFFFFFF00u, 5};
  TIpSettings settings = before;
  bool result = true;
  DriveModal([&] { result = EditIpSettings(nullptr, settings); },
             [](QWidget* modal) {
               auto* dialog = qobject_cast<TSetIpCheck*>(modal);
               ASSERT_NE(dialog, nullptr);
               TypeInto(dialog->MaskEdit(1), QStringLiteral("10"));
               ChooseByKeys(dialog->ComboBox1, 0);
               QTest::keyClick(dialog->MaskEdit(1), Qt::Key_Escape);
               EXPECT_FALSE(dialog->isVisible());
             });
  EXPECT_FALSE(result);
  EXPECT_EQ(settings, before);
}

TEST(EditIpSettings, AFaultKeepsTheDialogOpenUntilCorrected) {
  TIpSettings settings{0xC0A80114u, 0xFFFFFF00u, 0};
  bool result = false;
  DriveModal([&] { result = EditIpSettings(nullptr, settings); },
             [](QWidget* modal) {
               auto* dialog = qobject_cast<TSetIpCheck*>(modal);
               ASSERT_NE(dialog, nullptr);
               TMessageBoxAnswerer answerer;
               TypeInto(dialog->MaskEdit(6), QStringLiteral("256"));
               QTest::mouseClick(dialog->Button1, Qt::LeftButton);
               EXPECT_EQ(answerer.Count(), 1);
               EXPECT_TRUE(dialog->isVisible());
               TypeInto(dialog->MaskEdit(6), QStringLiteral("255"));
               QTest::mouseClick(dialog->Button1, Qt::LeftButton);
               EXPECT_EQ(answerer.Count(), 1);
               EXPECT_FALSE(dialog->isVisible());
             });
  EXPECT_TRUE(result);
  EXPECT_EQ(settings, (TIpSettings{0xC0A80114u, 0xFFFFFF00u, 0}));
}

}  // namespace
