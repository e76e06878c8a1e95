#pragma once
// The clock of the device objects. Alive time-outs, last-seen stamps, the
// source time-outs and the simulation read "now" from here, so a test (or a
// replay) can set the time instead of waiting for it.
#include <functional>

#include "platform/DateTime.h"

namespace vela {

// Now as days (the platform clock unless a clock is installed).
TDateTime DeviceNow();
// Installs Clock; an empty function restores the platform clock.
void SetDeviceClock(std::function<TDateTime()> Clock);

constexpr double kSecondsPerDay = 86400.0;
inline TDateTime SecondsToDays(double Seconds) { return Seconds / kSecondsPerDay; }

}  // namespace vela
