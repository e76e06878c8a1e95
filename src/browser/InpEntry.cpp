#include "browser/InpEntry.h"

#include <cstring>

#include "browser/InpBox.h"

namespace vela {

namespace {
TInpBox** gCurrentVar = nullptr;

template <class T>
void Put(void* Data, T value) {
  std::memcpy(Data, &value, sizeof(T));
}

// Tenths from a text such as "12.5": integer value × 10 + the digit after the first ".", in 16 bits.
uint16_t Tenths(const QString& Text) {
  const QString s = Text.trimmed();
  uint32_t value = static_cast<uint32_t>(EntryIntValue(s)) * 10u;
  const int dot = s.indexOf('.');
  if (dot >= 0 && dot + 1 < s.size()) value += static_cast<uint32_t>(EntryIntValue(QString(s[dot + 1])));
  return static_cast<uint16_t>(value);
}
}  // namespace

TInpBox** CurrentInputBoxVar() { return gCurrentVar; }
void SetCurrentInputBoxVar(TInpBox** Var) { gCurrentVar = Var; }
TInpBox* CurrentInputBox() { return gCurrentVar ? *gCurrentVar : nullptr; }

void InpBoxKeyDown(int& Key, Qt::KeyboardModifiers Shift) {
  if (TInpBox* box = CurrentInputBox()) box->BoxKeyDown(Key, Shift);
}

void InpBoxKeyPress(QChar& Key) {
  if (TInpBox* box = CurrentInputBox()) box->BoxKeyPress(Key);
  if (Key == ',' || Key == '.' || (Key >= '0' && Key <= '9')) Key = QChar();
}

bool InpEntryReady(bool SetUsed) {
  TInpBox* box = CurrentInputBox();
  if (!box || !box->IsInpReady()) return false;
  if (SetUsed) box->SetInpUsed();
  return true;
}

bool InpEntryUsable(Qt::KeyboardModifiers Shift) {
  TInpBox* box = CurrentInputBox();
  if (!box) return false;
  return box->IsInpReady() || (!box->IsInpEmpty() && (Shift & Qt::AltModifier));
}

void InpEntryUsed() {
  if (TInpBox* box = CurrentInputBox()) box->SetInpUsed();
}

int32_t InpEntryTall(bool SetUsed) {
  TInpBox* box = CurrentInputBox();
  return box ? box->InpTall(SetUsed) : 0;
}

uint16_t InpEntryPreset10(bool SetUsed, bool OnlyUnused) {
  TInpBox* box = CurrentInputBox();
  if (!box || (OnlyUnused && box->IsInpUsed())) return 0;
  return box->Preset10(SetUsed);
}

QString InpEntryText(bool SetUsed) {
  TInpBox* box = CurrentInputBox();
  if (!box) return QString();
  const QString text = box->Text();
  if (SetUsed) box->SetInpUsed();
  return text;
}

uint32_t InpEntryDMX(bool SetUsed) {
  TInpBox* box = CurrentInputBox();
  return box ? box->InpDMX(SetUsed) : 0;
}

uint16_t InpEntryTime(bool SetUsed) {
  TInpBox* box = CurrentInputBox();
  return box ? box->InpTime(SetUsed) : 0;
}

double InpEntryTimeValue(bool SetUsed) {
  const uint32_t t = InpEntryTime(SetUsed);
  const uint32_t hours = t / 36000;
  const uint32_t minutes = t / 600 % 60;
  const uint32_t seconds = t / 10 % 60;
  const uint32_t ms = t % 10 * 100;
  return (((hours * 60.0 + minutes) * 60.0 + seconds) * 1000.0 + ms) / 86400000.0;
}

bool InputEntryToField(int FieldKind, void* Data, bool SetUsed) {
  if (!Data) return false;
  switch (static_cast<TSFieldKind>(FieldKind % 128)) {
    case FK_Byte:
    case FK_ByteKind:
    case FK_ShortInt: Put(Data, static_cast<uint8_t>(InpEntryTall(SetUsed))); return true;
    case FK_Word:
    case FK_WordKind:
    case FK_SmallInt: Put(Data, static_cast<uint16_t>(InpEntryTall(SetUsed))); return true;
    case FK_Integer:
    case FK_IntegerKind: Put(Data, InpEntryTall(SetUsed)); return true;
    case FK_TimeDate: Put(Data, InpEntryTimeValue(SetUsed)); return true;
    case FK_Pros1000: Put(Data, Tenths(InpEntryText(SetUsed)) / 864000.0); return true;
    case FK_ProsWord: Put(Data, Tenths(InpEntryText(SetUsed))); return true;
    default: return false;
  }
}

}  // namespace vela
