#pragma once
// Date-times as days since 1899-12-30 held in a double; the fraction is the
// time of day.
#include <QDateTime>

namespace vela {

using TDateTime = double;

constexpr double kMsPerDay = 86400000.0;

TDateTime DateTimeFromQt(const QDateTime& value);
QDateTime DateTimeToQt(TDateTime value);
// Builds a time of day as a fraction of a day.
TDateTime EncodeTime(int hours, int minutes, int seconds, int milliseconds);
// Splits the time-of-day part into its components (milliseconds rounded).
void DecodeTime(TDateTime value, int& hours, int& minutes, int& seconds, int& milliseconds);
TDateTime Now();

}  // namespace vela
