#pragma once
// The numeric input box: a small display line into which the user types a
// number. Commands read the entry in the form they need and mark it used, so
// that the next digit starts a new entry. Every live box shows the same entry:
// each change is copied to all other boxes.
#include <QFrame>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

#include "platform/Messages.h"

class QLabel;

namespace vela {

// Sent by a box to every other box after its entry changed; WParam = the source box.
constexpr uint32_t WM_InpBoxMirror = 34074;

// A text that had to be a whole number and is not one.
class EConvertError : public std::runtime_error {
 public:
  explicit EConvertError(const QString& text) : std::runtime_error(text.toStdString()) {}
};

// The integer value of a text as the entry reads it: leading blanks skipped,
// an optional sign, decimal digits or hexadecimal ones after "$", "x", "X" or
// "0x"; the digits before the first foreign character count ("12.5" is 12,
// "" is 0).
int32_t EntryIntValue(const QString& Text);
// The text as a whole is an integer (blanks around it allowed).
bool EntryStrictInt(const QString& Text, int32_t& Value);
// The entry text read as a time in tenths of a second; 0 when it cannot be read.
uint16_t EntryTimeValue(const QString& Text);

class TInpBox : public QFrame, public TMessageReceiver {
  Q_OBJECT

 public:
  explicit TInpBox(QWidget* parent = nullptr);
  ~TInpBox() override;

  QFrame* InpviewPanel = nullptr;
  QLabel* InputView = nullptr;

  // Key events the box passes on (a handler consumes a key by setting it to 0).
  std::function<void(int& Key, Qt::KeyboardModifiers Shift)> OnKeyDown;
  std::function<void(QChar& Key)> OnKeyPress;
  std::function<void(int& Key, Qt::KeyboardModifiers Shift)> OnKeyUp;

  // ---- the entry
  void AddInpChar(QChar CH);
  void ClearInp();
  void SetInpStr(const QString& S, bool SetNotUsed);
  void SetInpUsed();
  bool IsInpUsed() const { return fUsed; }
  bool IsInpEmpty() const { return fText.isEmpty(); }
  bool IsInpReady() const { return !fUsed && !fText.isEmpty(); }
  bool LastIsPoint() const { return fText.endsWith('.'); }
  QString Text() const { return fText; }
  // The display colour: green for a fresh entry, red for a used one.
  QColor EntryColour() const;

  // ---- reading the entry (SetUsed marks it used afterwards)
  int32_t InpTall(bool SetUsed);
  uint16_t Preset10(bool SetUsed);
  uint32_t Inp2Word(bool SetUsed);
  // Raises EConvertError for a text without separator that is no integer.
  uint32_t InpDMX(bool SetUsed);
  bool ValidInpDMX() const;
  uint16_t InpTime(bool SetUsed);

  // ---- key handling of the box (also used by the global entry functions);
  // a consumed key is set to 0 (QChar() for characters).
  void BoxKeyDown(int& Key, Qt::KeyboardModifiers Shift);
  void BoxKeyPress(QChar& Key);
  void BoxKeyUp(int& Key, Qt::KeyboardModifiers Shift);

  // Receives the mirror message of another box.
  void Dispatch(TMessage& Message) override;

  // Every live box, in the order they were made.
  static const std::vector<TInpBox*>& Registry();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  void Show();
  void Mirror();
  void MarkUsed(bool SetUsed);

  QString fText;
  bool fUsed = false;
};

}  // namespace vela
