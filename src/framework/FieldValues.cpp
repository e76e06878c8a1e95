#include "framework/FieldValues.h"

#include <QDate>
#include <QLocale>
#include <cmath>
#include <cstring>

#include "platform/DateTime.h"
#include "platform/Guid.h"

namespace vela {

namespace {

constexpr double kTenMsInDays = 1.1574074074e-7;

template <class T>
T Load(const void* p) {
  T v;
  std::memcpy(&v, p, sizeof(T));
  return v;
}

template <class T>
void StoreIfChanged(const void* src, void* dst, bool& changed) {
  changed = std::memcmp(src, dst, sizeof(T)) != 0;
  if (changed) std::memcpy(dst, src, sizeof(T));
}

QString BitNumbers(uint32_t value, int width) {
  QStringList parts;
  for (int b = 0; b < width; ++b)
    if (value & (1u << b)) parts << QString::number(b + 1);
  return parts.join(',');
}

QString Centred(const QString& text, int width) {
  const int pad = width - static_cast<int>(text.size());
  if (pad <= 0) return text;
  const int left = pad / 2;
  return QString(left, ' ') + text + QString(pad - left, ' ');
}

// Clamped signed / unsigned step: lands exactly on the limit; no change when
// already there.
bool StepClamped(int64_t value, int64_t inc, int64_t lo, int64_t hi, int64_t& out) {
  int64_t next = value + inc;
  if (next > hi) next = hi;
  if (next < lo) next = lo;
  out = next;
  return next != value;
}

}  // namespace

int FieldStorageSize(TSFieldKind Kind) {
  switch (Kind) {
    case FK_Byte:
    case FK_Bool:
    case FK_ByteKind:
    case FK_ByteBits:
    case FK_ShortInt: return 1;
    case FK_Word:
    case FK_SmallInt:
    case FK_WordKind:
    case FK_WordBits:
    case FK_ProsWord:
    case FK_CalibrateValue: return 2;
    case FK_Color: return 3;
    case FK_Integer:
    case FK_LongWord:
    case FK_IntegerKind:
    case Fk_LongBits:
    case FK_Single: return 4;
    case FK_TimeDate:
    case FK_Date:
    case FK_Pros1000:
    case FK_Int64:
    case FK_UniqueId: return 8;
    case FK_Guid: return 16;
    case FK_Graphic: return static_cast<int>(sizeof(void*));
    default: return 0;
  }
}

int32_t FieldNumber(TSFieldKind Kind, const void* p) {
  switch (Kind) {
    case FK_Byte:
    case FK_ByteKind:
    case FK_ByteBits: return Load<uint8_t>(p);
    case FK_Bool: return Load<uint8_t>(p) != 0 ? 1 : 0;
    case FK_Word:
    case FK_WordKind:
    case FK_WordBits:
    case FK_ProsWord: return Load<uint16_t>(p);
    case FK_SmallInt: return Load<int16_t>(p);
    case FK_Integer:
    case FK_IntegerKind: return Load<int32_t>(p);
    case FK_LongWord:
    case Fk_LongBits: return static_cast<int32_t>(Load<uint32_t>(p));
    case FK_ShortInt: return Load<int8_t>(p);
    case FK_TimeDate: {
      const double ms = std::round(Load<double>(p) * kMsPerDay);
      return ms > 2147483647.0 ? 2147483647 : (ms < -2147483648.0 ? INT32_MIN : static_cast<int32_t>(ms));
    }
    case FK_Pros1000: {
      const double v = std::trunc(Load<double>(p));
      return v > 2147483647.0 ? 2147483647 : (v < -2147483648.0 ? INT32_MIN : static_cast<int32_t>(v));
    }
    case FK_Subobject: return static_cast<int32_t>(reinterpret_cast<intptr_t>(p));
    case FK_Color: {
      const auto* b = static_cast<const uint8_t*>(p);
      return b[0] * 65536 + b[1] * 256 + b[2];
    }
    default: return 0;
  }
}

void PutFieldNumber(TSFieldKind Kind, void* Data, uint32_t Value) {
  switch (FieldStorageSize(Kind)) {
    case 1: {
      const auto v = static_cast<uint8_t>(Value);
      std::memcpy(Data, &v, 1);
      break;
    }
    case 2: {
      const auto v = static_cast<uint16_t>(Value);
      std::memcpy(Data, &v, 2);
      break;
    }
    case 4: std::memcpy(Data, &Value, 4); break;
    default: break;
  }
}

bool StoreFieldValue(TSFieldKind FieldKind, const void* Source, void* Dest) {
  bool changed = true;
  switch (FieldKind) {
    case FK_Text: {
      const auto& src = *static_cast<const QString*>(Source);
      auto& dst = *static_cast<QString*>(Dest);
      changed = src != dst;
      if (changed) dst = src;
      break;
    }
    case FK_Bool: {
      const uint8_t v = Load<uint8_t>(Source) != 0 ? 1 : 0;
      changed = Load<uint8_t>(Dest) != v;
      std::memcpy(Dest, &v, 1);
      break;
    }
    case FK_Byte:
    case FK_ByteKind:
    case FK_ShortInt: StoreIfChanged<uint8_t>(Source, Dest, changed); break;
    case FK_Word:
    case FK_WordKind:
    case FK_SmallInt:
    case FK_ProsWord: StoreIfChanged<uint16_t>(Source, Dest, changed); break;
    case FK_Integer:
    case FK_IntegerKind:
    case FK_LongWord:
    case FK_Single: StoreIfChanged<uint32_t>(Source, Dest, changed); break;
    case FK_Int64:
    case FK_UniqueId: StoreIfChanged<uint64_t>(Source, Dest, changed); break;
    case FK_Color: {
      changed = std::memcmp(Source, Dest, 3) != 0;
      if (changed) std::memcpy(Dest, Source, 3);
      break;
    }
    case FK_Guid: {
      changed = std::memcmp(Source, Dest, 16) != 0;
      if (changed) std::memcpy(Dest, Source, 16);
      break;
    }
    case FK_TimeDate:
    case FK_Pros1000: {
      double v = Load<double>(Source);
      if (!(v >= kTenMsInDays)) v = 0.0;  // also catches NaN
      std::memcpy(Dest, &v, 8);
      break;
    }
    case FK_Date: {
      const double v = std::trunc(Load<double>(Source));
      changed = Load<double>(Dest) != v;
      std::memcpy(Dest, &v, 8);
      break;
    }
    case Fk_LongBits:
    case FK_ByteBits:
    case FK_WordBits: {
      // Data: a set/clear flag followed by the mask of the kind's width.
      const auto* src = static_cast<const uint8_t*>(Source);
      const bool set = src[0] != 0;
      const int width = FieldStorageSize(FieldKind);
      uint32_t mask = 0;
      std::memcpy(&mask, src + 1, width);
      uint32_t value = 0;
      std::memcpy(&value, Dest, width);
      value = set ? (value | mask) : (value & ~mask);
      std::memcpy(Dest, &value, width);
      break;
    }
    default: break;  // kinds that store nothing count as changed
  }
  return changed;
}

QString TimeFieldText(double Days) {
  int h = 0, m = 0, s = 0, ms = 0;
  if (Days >= 1.0 / 24.0) {
    DecodeTime(Days, h, m, s, ms);
    return QString::asprintf("%02d:%02d:%02d", h, m, s);
  }
  if (!(Days >= kTenMsInDays)) Days = 0.0;
  DecodeTime(Days, h, m, s, ms);
  const QString text = QString::asprintf("%02d:%02d", m, s) + QLocale().decimalPoint() + QString::asprintf("%03d", ms);
  return text.left(8);
}

QString LevelText(int Tenths) {
  if (Tenths == 1000) return QStringLiteral("  %  ");
  QString text;
  if (Tenths < 1000) {
    const int v = Tenths < 0 ? 0 : Tenths;
    text = QString::number(v / 10).rightJustified(2, ' ') + '.' + QString::number(v % 10) + '%';
  } else {
    text = QString::number(Tenths / 10).rightJustified(4, ' ') + '%';
  }
  return Centred(text, 5);
}

QString FormatFieldValue(const void* Dest, TSFieldKind FieldKind, int BitNumber) {
  if (BitNumber != 0) {
    uint32_t value = 0;
    switch (FieldKind) {
      case FK_Byte: value = Load<uint8_t>(Dest); break;
      case FK_Word: value = Load<uint16_t>(Dest); break;
      case FK_LongWord: value = Load<uint32_t>(Dest); break;
      default: return QStringLiteral("NoBit");
    }
    if (BitNumber < 1 || BitNumber > 32) return QStringLiteral("Off");
    return (value >> (BitNumber - 1)) & 1u ? QStringLiteral("On") : QStringLiteral("Off");
  }
  switch (FieldKind) {
    case FK_Text: return *static_cast<const QString*>(Dest);
    case FK_Byte: return QString::number(Load<uint8_t>(Dest));
    case FK_Word: return QString::number(Load<uint16_t>(Dest));
    case FK_SmallInt: return QString::number(Load<int16_t>(Dest));
    case FK_Integer: return QString::number(Load<int32_t>(Dest));
    case FK_LongWord: return QString::number(Load<uint32_t>(Dest));
    case FK_ShortInt: return QString::number(Load<int8_t>(Dest));
    case FK_Bool: return Load<uint8_t>(Dest) != 0 ? QStringLiteral("On") : QStringLiteral("Off");
    case FK_TimeDate: {
      const double v = Load<double>(Dest);
      return v == 0.0 ? QString() : TimeFieldText(v);
    }
    case FK_Single: return QString::asprintf("%2.2f", static_cast<double>(Load<float>(Dest)));
    case FK_ByteBits: return BitNumbers(Load<uint8_t>(Dest), 8);
    case FK_WordBits: return BitNumbers(Load<uint16_t>(Dest), 16);
    case FK_Date: {
      const double v = Load<double>(Dest);
      return v == 0.0 ? QString() : QLocale().toString(DateTimeToQt(v).date(), QLocale::ShortFormat);
    }
    case FK_ProsWord: return LevelText(Load<uint16_t>(Dest));
    case FK_Pros1000: {
      const double t = std::round(Load<double>(Dest) * 864000.0);
      return LevelText(t > 2147483647.0 ? 2147483647 : (t < -2147483647.0 ? -2147483647 : static_cast<int>(t)));
    }
    case FK_Color:
    case FK_Graphic: return QString();
    case FK_Guid: return TGuid::FromBytes(static_cast<const uint8_t*>(Dest)).ToText();
    default: return QStringLiteral("??");
  }
}

bool IncrementFieldValue(TSFieldKind Kind, const void* Current, int IncY, void* Next) {
  int64_t out = 0;
  bool changed = false;
  switch (Kind) {
    case FK_Byte:
      changed = StepClamped(Load<uint8_t>(Current), IncY, 0, 255, out);
      PutFieldNumber(Kind, Next, static_cast<uint32_t>(out));
      return changed;
    case FK_Word:
    case FK_CalibrateValue:
      changed = StepClamped(Load<uint16_t>(Current), IncY, 0, 65535, out);
      PutFieldNumber(Kind, Next, static_cast<uint32_t>(out));
      return changed;
    case FK_SmallInt:
      changed = StepClamped(Load<int16_t>(Current), IncY, -32767, 32767, out);
      PutFieldNumber(Kind, Next, static_cast<uint32_t>(out));
      return changed;
    case FK_Integer:
      changed = StepClamped(Load<int32_t>(Current), IncY, -2147483647, 2147483647, out);
      PutFieldNumber(Kind, Next, static_cast<uint32_t>(out));
      return changed;
    case FK_ShortInt:
      changed = StepClamped(Load<int8_t>(Current), IncY, -127, 127, out);
      PutFieldNumber(Kind, Next, static_cast<uint32_t>(out));
      return changed;
    case FK_LongWord:
      changed = StepClamped(Load<uint32_t>(Current), IncY, 0, 4294967295LL, out);
      PutFieldNumber(Kind, Next, static_cast<uint32_t>(out));
      return changed;
    case FK_TimeDate: {
      const double old = Load<double>(Current);
      double v = old + IncY / 864000.0;
      if (v < 0) v = 0;
      std::memcpy(Next, &v, 8);
      return v != old;
    }
    case FK_Single: {
      const float old = Load<float>(Current);
      const float v = old + static_cast<float>(IncY) / 10.0f;
      std::memcpy(Next, &v, 4);
      return v != old;
    }
    case FK_ProsWord: {
      const int old = Load<uint16_t>(Current);
      int c = old + IncY;
      if (c > 1000) c = old + 10 * IncY;
      if (c < 0) c = 0;
      if (c > 65535) c = 65535;
      PutFieldNumber(Kind, Next, static_cast<uint32_t>(c));
      return c != old;
    }
    case FK_Pros1000: {
      const double old = Load<double>(Current);
      double d = old + IncY / 864000.0;
      if (d > 1000) d = old + 10.0 * IncY / 864000.0;
      if (d < 0) d = 0;
      std::memcpy(Next, &d, 8);
      return d != old;
    }
    default: return false;
  }
}

}  // namespace vela
