#pragma once
// The distribute-mode dialog: whether one port sends its DMX pool output by
// multicast or by unicast, and to which address. It sends nothing; its caller
// hands the result to the box.
#include <QDialog>
#include <QString>

#include "platform/Ipv4.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vela {

// What the OK check found in the unicast address text.
struct TUnicastEntryCheck {
  enum TResult { Accepted, Unreadable, Refused };
  TResult Result = Unreadable;
  uint32_t Address = 0;  // the address read (Accepted and Refused)
  QString Message;       // for the operator; empty when Accepted
};

// The check behind OK when "Unicast" is ticked. The text, trimmed, must be a
// strict dotted quad ("The string %s does not translate into a valid IP."
// otherwise) of a private network or an internet host; loopback, multicast,
// broadcast, reserved, future-use and 0.x.x.x addresses are refused with a
// message that names the class.
TUnicastEntryCheck CheckUnicastAddress(const QString& text);

class TUniMultiForm : public QDialog {
  Q_OBJECT

 public:
  explicit TUniMultiForm(QWidget* parent = nullptr);

  // The controls the caller fills and reads.
  QCheckBox* const UnicastCheck;
  QLabel* const Label1;
  QLineEdit* const Edit1;
  QPushButton* const Button1;  // "Ok": checks, then closes with OK
  QPushButton* const Button2;  // "Cancel": closes with cancel

  // "Ok": with "Unicast" clear the dialog closes at once, whatever the address
  // field holds; with it ticked only an accepted address closes it, any other
  // text gets a message and the dialog stays open.
  void accept() override;
};

// Opens the distribute-mode dialog filled from `inOut` (the address is shown
// also when unicast is off) and, on OK, stores the result and returns true.
// With unicast off an address text that does not read keeps the old address.
// Cancel leaves `inOut` as it was.
bool EditDistributeMode(QWidget* parent, TUnicastTarget& inOut);

}  // namespace vela
