#pragma once
// The global entry functions: views that take direct numeric input read the
// entry of the application's current input box through these. Without a
// current box every function gives its "no entry" answer.
#include <QChar>
#include <QString>
#include <Qt>
#include <cstdint>

#include "framework/VelaTypes.h"

namespace vela {

class TInpBox;

// The variable that holds the application's current input box; null (the
// state of this program) means there is none.
TInpBox** CurrentInputBoxVar();
void SetCurrentInputBoxVar(TInpBox** Var);
TInpBox* CurrentInputBox();

// The current box's key handling; a consumed key is set to 0.
void InpBoxKeyDown(int& Key, Qt::KeyboardModifiers Shift);
// The current box's character handling; "," "." and digits are consumed
// (set to QChar()) whether or not there is a box.
void InpBoxKeyPress(QChar& Key);

bool InpEntryReady(bool SetUsed);
// Ready, or (with Alt held) at least not empty.
bool InpEntryUsable(Qt::KeyboardModifiers Shift);
void InpEntryUsed();
int32_t InpEntryTall(bool SetUsed);
uint16_t InpEntryPreset10(bool SetUsed, bool OnlyUnused);
QString InpEntryText(bool SetUsed);
uint32_t InpEntryDMX(bool SetUsed);
uint16_t InpEntryTime(bool SetUsed);
// The entry as a time of day in days (0.0, midnight, without a box).
double InpEntryTimeValue(bool SetUsed);

// Converts the entry into the stored form of a field of kind FieldKind
// (taken modulo 128) and writes it to Data, which holds at least 8 bytes.
// False, and nothing written, for kinds without a numeric form.
bool InputEntryToField(int FieldKind, void* Data, bool SetUsed);

}  // namespace vela
