#include "devices/DeviceClock.h"

namespace vela {

namespace {
std::function<TDateTime()>& Clock() {
  static std::function<TDateTime()> clock;
  return clock;
}
}  // namespace

TDateTime DeviceNow() { return Clock() ? Clock()() : Now(); }

void SetDeviceClock(std::function<TDateTime()> NewClock) { Clock() = std::move(NewClock); }

}  // namespace vela
