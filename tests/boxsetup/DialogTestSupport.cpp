#include "DialogTestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

namespace vela {

void PrintTo(const TIpSettings& s, std::ostream* os) {
  *os << "{" << Ipv4Text(s.DefaultIp).toStdString() << ", " << Ipv4Text(s.Mask).toStdString() << ", DHCP "
      << int(s.Dhcp) << "}";
}

void PrintTo(const TUnicastTarget& t, std::ostream* os) {
  *os << "{" << (t.Unicast ? "unicast" : "multicast") << ", " << Ipv4Text(t.Address).toStdString() << "}";
}

}  // namespace vela

namespace vela::test {

int TMessageBoxAnswerer::sOrdinary = 0;

TMessageBoxAnswerer::TMessageBoxAnswerer(bool stray) : fStray(stray) {
  if (!fStray) ++sOrdinary;
  connect(&fTimer, &QTimer::timeout, this, &TMessageBoxAnswerer::Poll);
  fTimer.start(5);
}

TMessageBoxAnswerer::~TMessageBoxAnswerer() {
  if (!fStray) --sOrdinary;
}

void TMessageBoxAnswerer::Poll() {
  if (fStray && sOrdinary > 0) return;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (box == nullptr || !box->isVisible()) continue;
    ++fCount;
    fText = box->text();
    fTitle = box->windowTitle();
    fIcon = box->icon();
    if (fStray) ADD_FAILURE() << "unexpected message box: " << fText.toStdString();
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
      QTest::mouseClick(ok, Qt::LeftButton);
    } else {
      box->reject();
    }
  }
}

void TypeInto(QLineEdit* edit, const QString& text) {
  QTest::mouseClick(edit, Qt::LeftButton);
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClick(edit, Qt::Key_Home);
  QTest::keyClicks(edit, text);
}

void ClickCheckBox(QCheckBox* check) {
  QStyleOptionButton option;
  option.initFrom(check);
  const QRect indicator = check->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, check);
  QTest::mouseClick(check, Qt::LeftButton, Qt::NoModifier, indicator.center());
}

void ChooseByKeys(QComboBox* combo, int index) {
  QTest::keyClick(combo, Qt::Key_Home);
  for (int i = 0; i < index; ++i) QTest::keyClick(combo, Qt::Key_Down);
}

void DriveModal(const std::function<void()>& open, const std::function<void(QWidget* modal)>& drive) {
  bool driven = false;
  QObject guard;  // cancels the drive should `open` return without a modal loop
  TMessageBoxAnswerer stray(true);
  QTimer::singleShot(0, &guard, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    driven = true;
    if (modal == nullptr) {
      ADD_FAILURE() << "no modal dialog open";
      return;
    }
    drive(modal);
    if (modal->isVisible()) {
      if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    }
  });
  open();
  EXPECT_TRUE(driven);
}

}  // namespace vela::test
