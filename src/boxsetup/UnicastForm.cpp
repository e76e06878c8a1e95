#include "boxsetup/UnicastForm.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace vela {

TUnicastEntryCheck CheckUnicastAddress(const QString& text) {
  TUnicastEntryCheck check;
  const auto ip = ParseIpv4(text.trimmed());
  if (!ip) {
    check.Result = TUnicastEntryCheck::Unreadable;
    check.Message = QStringLiteral("The string %1 does not translate into a valid IP.").arg(text);
    return check;
  }
  check.Address = *ip;
  const TIpv4Class addressClass = ClassifyIpv4(*ip);
  if (!IsUnicastTargetClass(addressClass)) {
    check.Result = TUnicastEntryCheck::Refused;
    check.Message = QStringLiteral(
                        "%1 is a %2 address, which cannot receive unicast data. "
                        "Enter the address of one box or computer.")
                        .arg(Ipv4Text(*ip), Ipv4ClassText(addressClass));
    return check;
  }
  check.Result = TUnicastEntryCheck::Accepted;
  return check;
}

TUniMultiForm::TUniMultiForm(QWidget* parent)
    : QDialog(parent),
      UnicastCheck(new QCheckBox(QStringLiteral("Unicast"), this)),
      Label1(new QLabel(QStringLiteral("Unicast address:"), this)),
      Edit1(new QLineEdit(this)),
      Button1(new QPushButton(QStringLiteral("Ok"), this)),
      Button2(new QPushButton(QStringLiteral("Cancel"), this)) {
  setWindowTitle(QStringLiteral("Distribute mode"));
  UnicastCheck->setObjectName(QStringLiteral("UnicastCheck"));
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Button1->setObjectName(QStringLiteral("Button1"));
  Button2->setObjectName(QStringLiteral("Button2"));
  Label1->setBuddy(Edit1);
  Button1->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(UnicastCheck);
  layout->addWidget(Label1);
  layout->addWidget(Edit1);
  layout->addStretch();
  layout->addLayout(buttons);
  resize(233, 193);

  connect(Button1, &QPushButton::clicked, this, &TUniMultiForm::accept);
  connect(Button2, &QPushButton::clicked, this, &TUniMultiForm::reject);
}

void TUniMultiForm::accept() {
  if (UnicastCheck->isChecked()) {
    const TUnicastEntryCheck check = CheckUnicastAddress(Edit1->text());
    if (check.Result != TUnicastEntryCheck::Accepted) {
      const bool unreadable = check.Result == TUnicastEntryCheck::Unreadable;
      QMessageBox box(unreadable ? QMessageBox::Critical : QMessageBox::Warning,
                      unreadable ? QStringLiteral("Error") : windowTitle(), check.Message, QMessageBox::Ok, this);
      box.exec();
      Edit1->setFocus(Qt::OtherFocusReason);
      Edit1->selectAll();
      return;
    }
  }
  QDialog::accept();
}

bool EditDistributeMode(QWidget* parent, TUnicastTarget& inOut) {
  TUniMultiForm dialog(parent);
  dialog.UnicastCheck->setChecked(inOut.Unicast);
  dialog.Edit1->setText(Ipv4Text(inOut.Address));
  if (dialog.exec() != QDialog::Accepted) return false;
  inOut.Unicast = dialog.UnicastCheck->isChecked();
  if (const auto ip = ParseIpv4(dialog.Edit1->text().trimmed())) inOut.Address = *ip;
  return true;
}

}  // namespace vela
