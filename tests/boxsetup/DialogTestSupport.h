#pragma once
// Helpers for driving the modal dialogs with real input events.
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <ostream>

#include "platform/Ipv4.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

namespace vela {
// Readable values in failure messages.
void PrintTo(const TIpSettings& s, std::ostream* os);
void PrintTo(const TUnicastTarget& t, std::ostream* os);
}  // namespace vela

namespace vela::test {

// While it lives, answers every message box that opens (with its OK button)
// and records what it said. It polls the top-level widgets from a timer, so
// it also answers boxes shown inside a nested event loop, such as the one an
// OK click opens.
class TMessageBoxAnswerer : public QObject {
 public:
  // A stray answerer acts only while no ordinary one lives, and reports every
  // box it answers as a test failure: it keeps an unexpected box from hanging
  // the test.
  explicit TMessageBoxAnswerer(bool stray = false);
  ~TMessageBoxAnswerer() override;

  int Count() const { return fCount; }
  QString LastText() const { return fText; }
  QString LastTitle() const { return fTitle; }
  QMessageBox::Icon LastIcon() const { return fIcon; }

 private:
  void Poll();

  static int sOrdinary;
  bool fStray;
  QTimer fTimer;
  int fCount = 0;
  QString fText;
  QString fTitle;
  QMessageBox::Icon fIcon = QMessageBox::NoIcon;
};

// Replaces the whole text of a line edit by typing: click into it, select
// all, delete, then type `text` key by key.
void TypeInto(QLineEdit* edit, const QString& text);

// Clicks a check box on its indicator (its centre may lie beside its text).
void ClickCheckBox(QCheckBox* check);

// Selects list entry `index` with the keyboard (Home, then Down).
void ChooseByKeys(QComboBox* combo, int index);

// Runs `drive` on the application's modal widget once `open` has shown it.
// `open` is the call that runs the dialog modally (for example EditIpSettings).
// Should `drive` leave the dialog open, it is closed as a cancel, and a
// message box that nobody expected is answered as a failure, so that the test
// cannot hang.
void DriveModal(const std::function<void()>& open, const std::function<void(QWidget* modal)>& drive);

}  // namespace vela::test
