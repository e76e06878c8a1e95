#pragma once
// Text entered in a field-bound edit, turned into the stored form of the
// field's kind; and the DMX address form (universe.channel) of word fields.
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "framework/FieldValues.h"
#include "framework/VelaTypes.h"

namespace vela {

// How an edit reads its text.
struct TEditConversionOptions {
  bool ZeroAsOne = false;
  bool ProsKind = false;
  bool DivBy10Kind = false;
  bool DmxStyle = false;
  // The older edit (TVelaEdit): no word range check, no DMX form, a time it
  // cannot read is a conversion error, and fewer kinds are written.
  bool Legacy = false;
};

// The value to write: Text for FK_Text, Bytes for every other kind.
struct TEditValue {
  QString Text;
  uint8_t Bytes[kMaxFieldData] = {};
  const void* Data(TSFieldKind Kind) const {
    return Kind == FK_Text ? static_cast<const void*>(&Text) : static_cast<const void*>(Bytes);
  }
};

enum class TEditConversion : uint8_t {
  Converted,   // Value holds the data to write
  Rejected,    // the entry is not valid for the field; nothing is written
  NotWritten,  // the kind is not written by this edit
  RangeError,  // a word out of range: the caller shows "Number is out of range!"
  TimeError,   // a time the edit cannot read: the caller beeps
};

// Thrown where the older edit raised a conversion error.
struct TConversionError {
  QString Text;
};

TEditConversion ConvertEditText(TSFieldKind Kind, const QString& Text, const TEditConversionOptions& Options,
                                TEditValue& Value);

// 0 as "---", v as "U.C" with 512 channels a universe.
QString DmxAddressText(int32_t Value);
// "U.C" or "U:C" back to the value; a plain number is taken as it is. An
// invalid text throws TConversionError.
uint32_t DmxAddressFromText(const QString& Text);

// The time text rules of the time edit: missing hours and minutes are added
// and a decimal part is padded or cut to milliseconds. DecimalSeparator is
// the locale's.
QString NormalizeTimeText(const QString& Text, QChar DecimalSeparator);
// Reads "h:m:s[<sep>fff]" as a time of day in days; nullopt when invalid.
std::optional<double> TimeFromText(const QString& Text, QChar DecimalSeparator);

}  // namespace vela
