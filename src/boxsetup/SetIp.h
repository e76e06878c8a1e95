#pragma once
// The Set IP dialog: a box's default IP address, subnet mask and DHCP setting
// (used by the box after its next start). It sends nothing; its caller hands
// the result to the box, which sends the IP settings command.
#include <QDialog>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

#include "platform/Ipv4.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vela {

// The ten entries of the DHCP time-out list; the index is the DHCP setting byte.
// The texts are the ones the operators know, spelling included.
QStringList DhcpTimeoutTexts();

// What the OK check found in the eight octet texts.
struct TIpEntryCheck {
  bool Ok = false;
  int FailedEdit = 0;  // 1..8: the octet edit to correct (1..4 address, 5..8 mask); 0 when Ok
  QString Message;     // why, for the operator; empty when Ok
  uint32_t Ip = 0;     // the address read, when Ok
  uint32_t Mask = 0;   // the mask read, when Ok
};

// The check behind OK. Each octet is read trimmed as 1 to 3 decimal digits
// (a leading zero is only a digit here). The address needs 1..223 (not 127)
// then 0..255; the mask needs 0..255 in every octet and must be a subnet mask
// (ones, then zeros, not 0.0.0.0); the address must not be the network or the
// broadcast address of its subnet. The first fault found is reported.
TIpEntryCheck CheckIpEntries(const std::array<QString, 4>& ipOctets, const std::array<QString, 4>& maskOctets);

class TSetIpCheck : public QDialog {
  Q_OBJECT

 public:
  explicit TSetIpCheck(QWidget* parent = nullptr);

  // The address as dotted text. Writing shows the address in the four octet
  // edits (255.255.255.255 when the text is no address); after OK it holds the
  // entered address, written without leading zeros.
  QString Ip() const { return FIp; }
  void SetIp(const QString& ip);
  // The same for the mask.
  QString Mask() const { return FMask; }
  void SetMask(const QString& mask);

  // The DHCP setting byte as the dialog shows it: the selected list index.
  uint8_t DhcpSetting() const;
  // Ticks "Use DHCP" for a non-zero setting and selects its list entry (entry
  // 2 for a value beyond the list), as both callers of the dialog do.
  void SetDhcpSetting(uint8_t setting);

  // Octet edit n, 1..4 for the address and 5..8 for the mask.
  QLineEdit* MaskEdit(int n) const;

  // The controls callers and tests reach directly.
  QLabel* const Label1;
  QLabel* const Label2;
  QLabel* const Label3;
  QCheckBox* const DHCP;
  QComboBox* const ComboBox1;
  QPushButton* const Button1;

  // OK runs the check; on a fault the dialog beeps, says what is wrong, puts
  // the cursor into the octet to correct and stays open. Closing any other way
  // (title bar, Escape) is a cancel and checks nothing.
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ListChanged(int index);
  void DhcpToggled(bool on);
  static void ShowOctets(const std::array<QLineEdit*, 4>& edits, const QString& text);

  QString FIp;
  QString FMask;
  std::array<QLineEdit*, 4> fIpEdits{};
  std::array<QLineEdit*, 4> fMaskEdits{};
  bool fCentred = false;
};

// Opens the Set IP dialog filled from `inOut` and, on OK, stores the entered
// values in it and returns true; Cancel leaves `inOut` as it was. A null
// parent makes the dialog application-owned, centred on the screen.
bool EditIpSettings(QWidget* parent, TIpSettings& inOut);

}  // namespace vela
