#pragma once
// Value rules of the field kinds on raw storage: size, number, storing,
// formatting and incrementing. The object field protocol is built on these;
// controls that hold a raw storage address use them directly.
#include <QString>
#include <cstdint>

#include "framework/VelaTypes.h"

namespace vela {

// Room for the largest value of any kind (a GUID), plus a bit-mask flag.
constexpr int kMaxFieldData = 24;

// Bytes of a kind's storage form; 0 for kinds that store nothing (and for text).
int FieldStorageSize(TSFieldKind Kind);
// The number of a stored value (the FN rule of the kind).
int32_t FieldNumber(TSFieldKind Kind, const void* Storage);
// Writes Value into Data in the storage form of Kind (integer kinds only).
void PutFieldNumber(TSFieldKind Kind, void* Data, uint32_t Value);
// Stores Source into Dest by the set rule of Kind; true when it counts as a change.
bool StoreFieldValue(TSFieldKind FieldKind, const void* Source, void* Dest);
// Formats a stored value; BitNumber (1-based, 0 for none) shows one bit as "On"/"Off".
QString FormatFieldValue(const void* Dest, TSFieldKind FieldKind, int BitNumber = 0);
// Tenths of a percent as a five-character level text.
QString LevelText(int Tenths);
// A time of day as the field text ("hh:nn:ss", or "nn:ss.zz" below an hour).
QString TimeFieldText(double Days);
// Computes Current + IncY by the increment rule of Kind into Next; false when
// the value does not change.
bool IncrementFieldValue(TSFieldKind Kind, const void* Current, int IncY, void* Next);

}  // namespace vela
