#include "boxsetup/SetIp.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>
#include <optional>

#include "devices/TyxProtocol.h"

namespace vela {

QStringList DhcpTimeoutTexts() {
  return {
      QStringLiteral("No DHCP"),
      QStringLiteral("2 seconds"),
      QStringLiteral("6 seconds (2+4)"),
      QStringLiteral("14 seconds (6+8)"),
      QStringLiteral("30 seconds (14+16)"),
      QStringLiteral("1 minute 2 seconds  (30+32) "),
      QStringLiteral("2 minites 6 seconds (62+64)"),
      QStringLiteral("4 minutes 14 seconds (126+128)"),
      QStringLiteral("8 minutes30 Seconds  (254+256)"),
      QStringLiteral("17 minutes 2 seconds (510+512)"),
  };
}

namespace {

// One octet edit's text as a number: trimmed, 1 to 3 ASCII digits.
std::optional<int> ReadOctet(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty() || t.size() > 3) return std::nullopt;
  int value = 0;
  for (QChar c : t) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c.unicode() - u'0');
  }
  return value;
}

QString Shown(const QString& text) {
  const QString t = text.trimmed();
  return t.isEmpty() ? QStringLiteral("empty") : QStringLiteral("\"%1\"").arg(t);
}

TIpEntryCheck Fail(int edit, const QString& message) {
  TIpEntryCheck result;
  result.FailedEdit = edit;
  result.Message = message;
  return result;
}

}  // namespace

TIpEntryCheck CheckIpEntries(const std::array<QString, 4>& ipOctets, const std::array<QString, 4>& maskOctets) {
  uint32_t ip = 0;
  for (int i = 0; i < 4; ++i) {
    const int low = i == 0 ? 1 : 0;
    const int high = i == 0 ? 223 : 255;
    const auto value = ReadOctet(ipOctets[i]);
    if (!value || *value < low || *value > high) {
      return Fail(i + 1, QStringLiteral("Number %1 of the IP address is %2; enter a whole number from %3 to %4.")
                             .arg(i + 1)
                             .arg(Shown(ipOctets[i]))
                             .arg(low)
                             .arg(high));
    }
    // 127.x.x.x never leaves the machine that uses it: a box there is unreachable.
    if (i == 0 && *value == 127) {
      return Fail(1, QStringLiteral("An IP address starting with 127 is a loopback address, which a box cannot use."));
    }
    ip = (ip << 8) | static_cast<uint32_t>(*value);
  }

  // Every mask octet is checked, the first one too: "300" would otherwise
  // reach the box as an unreadable mask.
  uint32_t mask = 0;
  for (int i = 0; i < 4; ++i) {
    const auto value = ReadOctet(maskOctets[i]);
    if (!value || *value > 255) {
      return Fail(i + 5, QStringLiteral("Number %1 of the mask is %2; enter a whole number from 0 to 255.")
                             .arg(i + 1)
                             .arg(Shown(maskOctets[i])));
    }
    mask = (mask << 8) | static_cast<uint32_t>(*value);
  }
  if (mask == 0 || !IsContiguousMask(mask)) {
    return Fail(5, QStringLiteral("The mask %1 is not a subnet mask: it must be ones followed only by zeros, "
                                  "such as 255.255.255.0.")
                       .arg(Ipv4Text(mask)));
  }
  // Subnets of one or two addresses have no network and broadcast addresses to avoid.
  if (MaskPrefixLength(mask) <= 30) {
    const uint32_t host = ip & ~mask;
    if (host == 0 || host == ~mask) {
      return Fail(4, QStringLiteral("%1 is the %2 address of its subnet under the mask %3; a box cannot use it.")
                         .arg(Ipv4Text(ip), host == 0 ? QStringLiteral("network") : QStringLiteral("broadcast"),
                              Ipv4Text(mask)));
    }
  }

  TIpEntryCheck result;
  result.Ok = true;
  result.Ip = ip;
  result.Mask = mask;
  return result;
}

TSetIpCheck::TSetIpCheck(QWidget* parent)
    : QDialog(parent),
      Label1(new QLabel(QStringLiteral("IP"), this)),
      Label2(new QLabel(QStringLiteral("Mask"), this)),
      Label3(new QLabel(QStringLiteral("DHCP Timeout"), this)),
      DHCP(new QCheckBox(QStringLiteral("Use DHCP"), this)),
      ComboBox1(new QComboBox(this)),
      Button1(new QPushButton(QStringLiteral("Ok"), this)) {
  setWindowTitle(QStringLiteral("Set IP"));
  // A fixed single border with only the close button in the title bar.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  auto* grid = new QGridLayout;
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(Label2, 1, 0);
  // Three optional digits, the blank shown as "_"; the width fits "000".
  const int editWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12;
  for (int i = 0; i < 8; ++i) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("MaskEdit%1").arg(i + 1));
    edit->setInputMask(QStringLiteral("000;_"));  // "0": an optional digit
    edit->setFixedWidth(editWidth);
    grid->addWidget(edit, i / 4, 1 + i % 4);
    (i < 4 ? fIpEdits[i] : fMaskEdits[i - 4]) = edit;
  }
  grid->setColumnStretch(5, 1);  // the octets stay beside their labels when the list is wider
  Label1->setBuddy(fIpEdits[0]);
  Label2->setBuddy(fMaskEdits[0]);
  fMaskEdits[0]->setText(QStringLiteral("255"));

  DHCP->setObjectName(QStringLiteral("DHCP"));
  DHCP->setLayoutDirection(Qt::RightToLeft);  // text on the left of the box
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->addItems(DhcpTimeoutTexts());
  ComboBox1->setCurrentIndex(0);
  Label3->setBuddy(ComboBox1);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setDefault(true);

  auto* dhcpRow = new QHBoxLayout;
  dhcpRow->addWidget(DHCP);
  dhcpRow->addStretch();
  auto* listRow = new QHBoxLayout;
  listRow->addWidget(Label3);
  listRow->addWidget(ComboBox1, 1);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch();
  buttonRow->addWidget(Button1);
  buttonRow->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(dhcpRow);
  layout->addLayout(listRow);
  layout->addLayout(buttonRow);
  // Fixed size, grown from the design's 209 x 154 to whatever the font needs.
  layout->setSizeConstraint(QLayout::SetFixedSize);
  setMinimumSize(209, 154);

  connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TSetIpCheck::ListChanged);
  connect(DHCP, &QCheckBox::toggled, this, &TSetIpCheck::DhcpToggled);
  connect(Button1, &QPushButton::clicked, this, &TSetIpCheck::accept);
}

QLineEdit* TSetIpCheck::MaskEdit(int n) const {
  if (n >= 1 && n <= 4) return fIpEdits[n - 1];
  if (n >= 5 && n <= 8) return fMaskEdits[n - 5];
  return nullptr;
}

void TSetIpCheck::ShowOctets(const std::array<QLineEdit*, 4>& edits, const QString& text) {
  const uint32_t ip = ParseIpv4(text).value_or(kIpv4None);
  for (int i = 0; i < 4; ++i) edits[i]->setText(QString::number((ip >> (24 - 8 * i)) & 0xFF));
}

void TSetIpCheck::SetIp(const QString& ip) {
  FIp = ip;
  ShowOctets(fIpEdits, ip);
}

void TSetIpCheck::SetMask(const QString& mask) {
  FMask = mask;
  ShowOctets(fMaskEdits, mask);
}

uint8_t TSetIpCheck::DhcpSetting() const {
  const int index = ComboBox1->currentIndex();
  return index > 0 ? static_cast<uint8_t>(index) : 0;
}

void TSetIpCheck::SetDhcpSetting(uint8_t setting) {
  DHCP->setChecked(DhcpEnabled(setting));
  ComboBox1->setCurrentIndex(DhcpListIndex(setting));
}

// The check box and the list always agree: ticked exactly when an entry
// other than "No DHCP" is selected.
void TSetIpCheck::ListChanged(int index) {
  if (DHCP->isChecked() != (index > 0)) DHCP->setChecked(index > 0);
}

void TSetIpCheck::DhcpToggled(bool on) {
  const int index = ComboBox1->currentIndex();
  if (on == (index > 0)) return;
  ComboBox1->setCurrentIndex(on ? 2 : 0);  // ticked: "6 seconds (2+4)"; cleared: "No DHCP"
}

void TSetIpCheck::accept() {
  std::array<QString, 4> ip;
  std::array<QString, 4> mask;
  for (int i = 0; i < 4; ++i) {
    ip[i] = fIpEdits[i]->text();
    mask[i] = fMaskEdits[i]->text();
  }
  const TIpEntryCheck check = CheckIpEntries(ip, mask);
  if (!check.Ok) {
    QApplication::beep();
    QMessageBox box(QMessageBox::Warning, windowTitle(), check.Message, QMessageBox::Ok, this);
    box.exec();
    if (QLineEdit* edit = MaskEdit(check.FailedEdit)) {
      edit->setFocus(Qt::OtherFocusReason);
      edit->selectAll();
    }
    return;
  }
  // Written from the numbers, so that a typed "010" cannot be read as octal later.
  FIp = Ipv4Text(check.Ip);
  FMask = Ipv4Text(check.Mask);
  QDialog::accept();
}

void TSetIpCheck::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (fCentred || event->spontaneous()) return;
  fCentred = true;
  if (QScreen* s = screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    move(frame.topLeft());
  }
}

bool EditIpSettings(QWidget* parent, TIpSettings& inOut) {
  TSetIpCheck dialog(parent);
  dialog.SetIp(Ipv4Text(inOut.DefaultIp));
  dialog.SetMask(Ipv4Text(inOut.Mask));
  dialog.SetDhcpSetting(inOut.Dhcp);
  if (dialog.exec() != QDialog::Accepted) return false;
  // Both texts were written by the dialog's check, so they always read back.
  inOut.DefaultIp = ParseIpv4(dialog.Ip()).value_or(inOut.DefaultIp);
  inOut.Mask = ParseIpv4(dialog.Mask()).value_or(inOut.Mask);
  inOut.Dhcp = dialog.DhcpSetting();
  return true;
}

}  // namespace vela
