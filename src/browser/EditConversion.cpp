#include "browser/EditConversion.h"

#include <QLocale>
#include <QStringList>
#include <QUuid>
#include <cmath>
#include <cstring>

#include "platform/DateTime.h"

namespace vela {

namespace {

template <typename T>
void Put(TEditValue& Value, T v) {
  std::memcpy(Value.Bytes, &v, sizeof v);
}

std::optional<int64_t> Decimal(const QString& Text) {
  bool ok = false;
  const qlonglong v = Text.trimmed().toLongLong(&ok);
  if (!ok) return std::nullopt;
  return v;
}

// "12.34" as 123: the whole part in tenths plus the first decimal digit.
std::optional<int64_t> Tenths(const QString& Text) {
  const QString t = Text.trimmed();
  const qsizetype dot = t.indexOf(QLatin1Char('.'));
  auto whole = Decimal(dot < 0 ? t : t.left(dot));
  if (!whole) return std::nullopt;
  int64_t v = *whole * 10;
  if (dot >= 0 && dot + 1 < t.size()) {
    const QChar d = t.at(dot + 1);
    if (!d.isDigit()) return std::nullopt;
    v += (*whole < 0 ? -1 : 1) * d.digitValue();
  }
  return v;
}

int64_t LowerZeroAsOne(int64_t v, bool ZeroAsOne) { return ZeroAsOne && v != 0 ? v - 1 : v; }

}  // namespace

QString DmxAddressText(int32_t Value) {
  if (Value <= 0) return QStringLiteral("---");
  return QStringLiteral("%1.%2").arg((Value - 1) / 512 + 1).arg((Value - 1) % 512 + 1);
}

uint32_t DmxAddressFromText(const QString& Text) {
  const QString t = Text.trimmed();
  const qsizetype sep = std::max(t.lastIndexOf(QLatin1Char('.')), t.lastIndexOf(QLatin1Char(':')));
  bool ok = false;
  if (sep < 0) {
    const uint v = t.toUInt(&ok);
    if (!ok) throw TConversionError{t};
    return v;
  }
  bool ok2 = false;
  const int u = t.left(sep).trimmed().toInt(&ok);
  const int c = t.mid(sep + 1).trimmed().toInt(&ok2);
  if (!ok || !ok2) throw TConversionError{t};
  return static_cast<uint32_t>((u - 1) * 512 + c);
}

QString NormalizeTimeText(const QString& Text, QChar DecimalSeparator) {
  QString t = Text.trimmed();
  const auto colons = t.count(QLatin1Char(':'));
  if (colons == 1)
    t.prepend(QStringLiteral("00:"));
  else if (colons == 0)
    t.prepend(QStringLiteral("00:00:"));
  const qsizetype sep = t.indexOf(DecimalSeparator);
  if (sep >= 0) {
    QString decimals = t.mid(sep + 1).left(3);
    while (decimals.size() < 3) decimals.append(QLatin1Char('0'));
    t = t.left(sep + 1) + decimals;
  }
  return t;
}

std::optional<double> TimeFromText(const QString& Text, QChar DecimalSeparator) {
  QString t = NormalizeTimeText(Text, DecimalSeparator);
  int ms = 0;
  const qsizetype sep = t.indexOf(DecimalSeparator);
  if (sep >= 0) {
    bool ok = false;
    ms = t.mid(sep + 1).toInt(&ok);
    if (!ok) return std::nullopt;
    t = t.left(sep);
  }
  const QStringList parts = t.split(QLatin1Char(':'));
  if (parts.size() != 3) return std::nullopt;
  int hms[3] = {};
  for (int i = 0; i < 3; ++i) {
    bool ok = false;
    hms[i] = parts[i].trimmed().toInt(&ok);
    if (!ok || hms[i] < 0) return std::nullopt;
  }
  if (hms[1] > 59 || hms[2] > 59) return std::nullopt;
  return EncodeTime(hms[0], hms[1], hms[2], ms);
}

TEditConversion ConvertEditText(TSFieldKind Kind, const QString& Text, const TEditConversionOptions& O,
                                TEditValue& Value) {
  using C = TEditConversion;
  switch (Kind) {
    case FK_Text: Value.Text = Text; return C::Converted;
    case FK_Byte: {
      auto v = Decimal(Text);
      if (!v || *v < 0 || *v >= 256) return C::Rejected;
      int64_t n = *v;
      if (O.ZeroAsOne)
        n = LowerZeroAsOne(n, true);
      else if (O.ProsKind) {
        if (n > 100) return C::Rejected;
        n = (n * 255 + 50) / 100;
      }
      Put<uint8_t>(Value, static_cast<uint8_t>(n));
      return C::Converted;
    }
    case FK_CalibrateValue:
      if (O.Legacy) return C::NotWritten;
      [[fallthrough]];
    case FK_Word: {
      if (O.DmxStyle && !O.Legacy) {
        Put<uint16_t>(Value, static_cast<uint16_t>(DmxAddressFromText(Text)));
        return C::Converted;
      }
      auto v = O.DivBy10Kind ? Tenths(Text) : Decimal(Text);
      if (!v) return O.Legacy ? C::Rejected : C::RangeError;
      int64_t n = O.DivBy10Kind ? *v : LowerZeroAsOne(*v, O.ZeroAsOne);
      if (O.DivBy10Kind && O.ZeroAsOne) n = LowerZeroAsOne(n, true);
      // The range check applies to the stored value, so that a tenths entry
      // cannot wrap round either.
      if (!O.Legacy && (n < 0 || n > 65535)) return C::RangeError;
      Put<uint16_t>(Value, static_cast<uint16_t>(n));
      return C::Converted;
    }
    case FK_SmallInt:
    case FK_Integer: {
      auto v = Decimal(Text);
      if (!v) return C::Rejected;
      Put<int32_t>(Value, static_cast<int32_t>(LowerZeroAsOne(*v, O.ZeroAsOne)));
      return C::Converted;
    }
    case FK_LongWord: {
      bool ok = false;
      const qulonglong v = Text.trimmed().toULongLong(&ok);
      const uint32_t low = ok ? static_cast<uint32_t>(v) : 0;
      Put<uint32_t>(Value, O.ZeroAsOne && low != 0 ? low - 1 : low);
      return C::Converted;
    }
    case FK_TimeDate: {
      auto t = TimeFromText(Text, QLocale().decimalPoint().at(0));
      if (!t) {
        if (O.Legacy) throw TConversionError{Text};
        return C::TimeError;
      }
      Put<double>(Value, *t);
      return C::Converted;
    }
    case FK_Single: {
      bool ok = false;
      const float f = Text.trimmed().toFloat(&ok);
      if (!ok) return C::Rejected;
      Put<float>(Value, f);
      return C::Converted;
    }
    case FK_Pros1000: {
      auto v = Tenths(Text);
      if (!v) return C::Rejected;
      Put<double>(Value, static_cast<double>(*v) / 864000.0);
      return C::Converted;
    }
    case FK_ProsWord: {
      if (O.Legacy) return C::NotWritten;
      auto v = Tenths(Text);
      if (!v || *v < 0 || *v > 65535) return C::Rejected;
      Put<uint16_t>(Value, static_cast<uint16_t>(*v));
      return C::Converted;
    }
    case FK_Guid: {
      if (O.Legacy) return C::NotWritten;
      const QUuid id = QUuid::fromString(QStringLiteral("{%1}").arg(Text.trimmed()));
      if (id.isNull() && Text.trimmed() != QStringLiteral("00000000-0000-0000-0000-000000000000")) return C::Rejected;
      Put<uint32_t>(Value, id.data1);
      std::memcpy(Value.Bytes + 4, &id.data2, 2);
      std::memcpy(Value.Bytes + 6, &id.data3, 2);
      std::memcpy(Value.Bytes + 8, id.data4, 8);
      return C::Converted;
    }
    default: return C::NotWritten;
  }
}

}  // namespace vela
