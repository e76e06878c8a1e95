#include "platform/DateTime.h"

#include <cmath>

namespace vela {

namespace {
const QDate kEpoch(1899, 12, 30);
}

TDateTime DateTimeFromQt(const QDateTime& value) {
  const double days = static_cast<double>(kEpoch.daysTo(value.date()));
  const double frac = value.time().msecsSinceStartOfDay() / kMsPerDay;
  // Days before the epoch keep a positive time part, as the original format does.
  return days >= 0 ? days + frac : days - frac;
}

QDateTime DateTimeToQt(TDateTime value) {
  const double whole = std::trunc(value);
  const double frac = std::fabs(value - whole);
  qint64 ms = std::llround(frac * kMsPerDay);
  qint64 days = static_cast<qint64>(whole);
  if (ms >= static_cast<qint64>(kMsPerDay)) {
    ms -= static_cast<qint64>(kMsPerDay);
    days += value >= 0 ? 1 : -1;
  }
  return QDateTime(kEpoch.addDays(days), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

TDateTime EncodeTime(int hours, int minutes, int seconds, int milliseconds) {
  return (((hours * 60.0 + minutes) * 60.0 + seconds) * 1000.0 + milliseconds) / kMsPerDay;
}

void DecodeTime(TDateTime value, int& hours, int& minutes, int& seconds, int& milliseconds) {
  double frac = std::fabs(value - std::trunc(value));
  qint64 ms = std::llround(frac * kMsPerDay) % static_cast<qint64>(kMsPerDay);
  hours = static_cast<int>(ms / 3600000);
  minutes = static_cast<int>(ms / 60000 % 60);
  seconds = static_cast<int>(ms / 1000 % 60);
  milliseconds = static_cast<int>(ms % 1000);
}

TDateTime Now() { return DateTimeFromQt(QDateTime::currentDateTime()); }

}  // namespace vela
