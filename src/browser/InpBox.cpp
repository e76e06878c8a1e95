#include "browser/InpBox.h"

#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

namespace vela {

namespace {

std::vector<TInpBox*>& Boxes() {
  static std::vector<TInpBox*> boxes;
  return boxes;
}

int DigitValue(QChar c, bool hex) {
  if (c >= '0' && c <= '9') return c.unicode() - '0';
  if (!hex) return -1;
  if (c >= 'a' && c <= 'f') return c.unicode() - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c.unicode() - 'A' + 10;
  return -1;
}

// Reads a number from the start of Text; Consumed tells how far it got and
// Digits how many digits it saw. The value wraps at 32 bits.
int32_t ParseLeading(const QString& Text, int& Consumed, int& Digits) {
  int i = 0;
  const int n = Text.size();
  while (i < n && Text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (Text[i] == '+' || Text[i] == '-')) negative = Text[i++] == '-';
  bool hex = false;
  if (i < n && (Text[i] == '$' || Text[i] == 'x' || Text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && Text[i] == '0' && (Text[i + 1] == 'x' || Text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  uint32_t value = 0;
  Digits = 0;
  for (int d; i < n && (d = DigitValue(Text[i], hex)) >= 0; ++i, ++Digits)
    value = value * (hex ? 16u : 10u) + static_cast<uint32_t>(d);
  Consumed = i;
  return static_cast<int32_t>(negative ? 0u - value : value);
}

}  // namespace

int32_t EntryIntValue(const QString& Text) {
  int consumed = 0;
  int digits = 0;
  return ParseLeading(Text, consumed, digits);
}

bool EntryStrictInt(const QString& Text, int32_t& Value) {
  const QString s = Text.trimmed();
  int consumed = 0;
  int digits = 0;
  Value = ParseLeading(s, consumed, digits);
  return digits > 0 && consumed == s.size();
}

uint16_t EntryTimeValue(const QString& Text) {
  QString s = Text.trimmed();
  if (s.startsWith('.') && s.size() == 2) s.prepend('0');
  if (s.isEmpty()) return 0;
  // Whole numbers: the last two digits are seconds, the ones before minutes.
  auto t = static_cast<uint16_t>(EntryIntValue(s) * 10);
  int32_t whole = 0;
  if (t >= 100 && EntryStrictInt(s, whole)) t = static_cast<uint16_t>(t % 1000 + (t / 1000) * 600);
  const int colon = s.indexOf(':');
  if (colon >= 0) {
    int32_t minutes = 0;
    int32_t seconds = 0;
    if (!EntryStrictInt(s.left(colon), minutes) || !EntryStrictInt(s.mid(colon + 1), seconds)) return 0;
    return static_cast<uint16_t>(minutes * 600 + seconds * 10);
  }
  if (s.endsWith('.')) {
    int32_t before = 0;
    return EntryStrictInt(s.left(s.size() - 1), before) ? static_cast<uint16_t>(10 * before) : 0;
  }
  const int dot = s.indexOf('.');
  if (dot < 0) return s.size() > 4 ? 0 : t;
  if (s.size() - dot - 1 != 1) return 0;
  int32_t before = 0;
  int32_t tenth = 0;
  if (!EntryStrictInt(s.left(dot), before) || !EntryStrictInt(s.mid(dot + 1), tenth)) return 0;
  return static_cast<uint16_t>(10 * before + tenth);
}

// ---------------------------------------------------------------------------

TInpBox::TInpBox(QWidget* parent) : QFrame(parent) {
  resize(141, 28);
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setFocusPolicy(Qt::StrongFocus);
  InpviewPanel = new QFrame(this);
  InpviewPanel->setObjectName(QStringLiteral("InpviewPanel"));
  InpviewPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  InputView = new QLabel(InpviewPanel);
  InputView->setObjectName(QStringLiteral("InputView"));
  InputView->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  InputView->setAutoFillBackground(true);
  QFont font = InputView->font();
  font.setPixelSize(13);
  font.setBold(true);
  InputView->setFont(font);
  auto* inner = new QVBoxLayout(InpviewPanel);
  inner->setContentsMargins(1, 1, 1, 1);
  inner->addWidget(InputView);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(1, 1, 1, 1);
  outer->addWidget(InpviewPanel);
  Show();
  Boxes().push_back(this);
}

TInpBox::~TInpBox() {
  auto& boxes = Boxes();
  boxes.erase(std::remove(boxes.begin(), boxes.end(), this), boxes.end());
}

const std::vector<TInpBox*>& TInpBox::Registry() { return Boxes(); }

QColor TInpBox::EntryColour() const { return fUsed ? QColor(255, 0, 0) : QColor(0, 128, 0); }

void TInpBox::Show() {
  InputView->setText(fText);
  QPalette pal = InputView->palette();
  pal.setColor(QPalette::Window, EntryColour());
  pal.setColor(QPalette::WindowText, Qt::white);
  InputView->setPalette(pal);
}

void TInpBox::Mirror() {
  Show();
  // A copy, since a receiving box must not change the registry, but be safe.
  const std::vector<TInpBox*> boxes = Boxes();
  for (TInpBox* box : boxes)
    if (box != this) SendMessageTo(box, WM_InpBoxMirror, reinterpret_cast<intptr_t>(this));
}

void TInpBox::Dispatch(TMessage& Message) {
  if (Message.Msg != WM_InpBoxMirror) return;
  auto* source = reinterpret_cast<TInpBox*>(Message.WParam);
  const auto& boxes = Boxes();
  if (!source || source == this || std::find(boxes.begin(), boxes.end(), source) == boxes.end()) return;
  fText = source->fText;
  fUsed = source->fUsed;
  Show();
}

void TInpBox::AddInpChar(QChar CH) {
  if (fUsed) {
    fText.clear();
    fUsed = false;
  }
  fText += CH;
  Mirror();
}

void TInpBox::ClearInp() {
  fText.clear();
  fUsed = false;
  Mirror();
}

void TInpBox::SetInpStr(const QString& S, bool SetNotUsed) {
  fText = S;
  if (SetNotUsed) fUsed = false;
  Mirror();
}

void TInpBox::SetInpUsed() {
  fUsed = true;
  Mirror();
}

void TInpBox::MarkUsed(bool SetUsed) {
  if (SetUsed) SetInpUsed();
}

int32_t TInpBox::InpTall(bool SetUsed) {
  const int32_t value = EntryIntValue(fText);
  MarkUsed(SetUsed);
  return value;
}

uint16_t TInpBox::Preset10(bool SetUsed) {
  const QString s = fText.trimmed();
  uint32_t value = static_cast<uint32_t>(EntryIntValue(s)) * 10u;
  const int dot = s.indexOf('.');
  if (dot >= 0 && dot + 1 < s.size()) value += static_cast<uint32_t>(EntryIntValue(QString(s[dot + 1])));
  MarkUsed(SetUsed);
  return static_cast<uint16_t>(value);
}

uint32_t TInpBox::Inp2Word(bool SetUsed) {
  const int dot = fText.indexOf('.');
  if (dot < 0) return static_cast<uint32_t>(InpTall(SetUsed));
  const auto high = static_cast<uint32_t>(EntryIntValue(fText.left(dot)));
  const auto low = static_cast<uint32_t>(EntryIntValue(fText.mid(dot + 1)));
  MarkUsed(SetUsed);
  return (high << 16) | low;
}

uint32_t TInpBox::InpDMX(bool SetUsed) {
  const int split = std::max(fText.lastIndexOf('.'), fText.lastIndexOf(':'));
  uint32_t value = 0;
  if (split < 0) {
    int32_t whole = 0;
    if (!EntryStrictInt(fText, whole))
      throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(fText));
    value = static_cast<uint32_t>(whole);
  } else {
    const auto universe = static_cast<uint32_t>(EntryIntValue(fText.left(split)));
    const auto channel = static_cast<uint32_t>(EntryIntValue(fText.mid(split + 1)));
    value = (universe - 1u) * 512u + channel;
  }
  MarkUsed(SetUsed);
  return value;
}

bool TInpBox::ValidInpDMX() const {
  int split = fText.indexOf('.');
  if (split < 0) split = fText.indexOf(':');
  if (split < 0) return true;
  int32_t universe = 0;
  int32_t channel = 0;
  return EntryStrictInt(fText.left(split), universe) && universe > 0 && EntryStrictInt(fText.mid(split + 1), channel) &&
         channel >= 1 && channel <= 512;
}

uint16_t TInpBox::InpTime(bool SetUsed) {
  const uint16_t value = EntryTimeValue(fText);
  MarkUsed(SetUsed);
  return value;
}

// ---------------------------------------------------------------------------
// Keys

void TInpBox::BoxKeyDown(int& Key, Qt::KeyboardModifiers Shift) {
  if (Key == Qt::Key_Backspace) {
    ClearInp();
    Key = 0;
    return;
  }
  const bool plain = !(Shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
  if (Key == Qt::Key_Minus && (Shift & Qt::KeypadModifier) && plain) {
    if (fUsed || fText.isEmpty()) {
      AddInpChar('-');
      Key = 0;
    }
    return;
  }
  if (OnKeyDown) OnKeyDown(Key, Shift);
}

void TInpBox::BoxKeyPress(QChar& Key) {
  if (Key == '\b') {
    ClearInp();
    Key = QChar();
  } else if (Key == ',' || Key == '.') {
    AddInpChar('.');
    Key = QChar();
  } else if (Key >= '0' && Key <= '9') {
    AddInpChar(Key);
    Key = QChar();
  } else if (OnKeyPress) {
    OnKeyPress(Key);
  }
}

void TInpBox::BoxKeyUp(int& Key, Qt::KeyboardModifiers Shift) {
  if (Key == Qt::Key_Backspace) {
    Key = 0;
    return;
  }
  if (OnKeyUp) OnKeyUp(Key, Shift);
}

void TInpBox::keyPressEvent(QKeyEvent* event) {
  int key = event->key();
  BoxKeyDown(key, event->modifiers());
  if (key == 0) return event->accept();
  const QString text = event->text();
  if (text.size() == 1) {
    QChar ch = text[0];
    BoxKeyPress(ch);
    if (ch.isNull()) return event->accept();
  }
  QFrame::keyPressEvent(event);
}

void TInpBox::keyReleaseEvent(QKeyEvent* event) {
  int key = event->key();
  BoxKeyUp(key, event->modifiers());
  if (key == 0) return event->accept();
  QFrame::keyReleaseEvent(event);
}

}  // namespace vela
