#pragma once
// Shared helpers of the device tests: a settable clock, a notification
// recorder, stream helpers and a connection class registered for streams.
#include <gtest/gtest.h>

#include <QByteArray>
#include <vector>

#include "common/QtPrinters.h"
#include "devices/DeviceClock.h"
#include "devices/DmxAdapter.h"
#include "framework/FrameworkHooks.h"

namespace vela::testing {

// The device clock, set by the test; starts at day 45000, noon.
class TFakeClock {
 public:
  TFakeClock() {
    SetDeviceClock([this] { return fNow; });
  }
  ~TFakeClock() { SetDeviceClock({}); }
  TFakeClock(const TFakeClock&) = delete;
  TFakeClock& operator=(const TFakeClock&) = delete;

  TDateTime Now() const { return fNow; }
  void Set(TDateTime Now) { fNow = Now; }
  void AdvanceSeconds(double Seconds) { fNow += SecondsToDays(Seconds); }

 private:
  TDateTime fNow = 45000.5;
};

struct TNote {
  uint32_t Msg;
  TVelaObject* Obj;
};

// Records the tree's notifications while it lives.
class TNoteRecorder {
 public:
  TNoteRecorder() {
    FrameworkHooks().Notify = [this](uint32_t m, TVelaObject* o, intptr_t, int32_t) { Notes.push_back({m, o}); };
  }
  ~TNoteRecorder() { FrameworkHooks().Notify = nullptr; }
  int Count(uint32_t Msg, const TVelaObject* Obj = nullptr) const {
    int n = 0;
    for (const TNote& note : Notes)
      if (note.Msg == Msg && (!Obj || note.Obj == Obj)) ++n;
    return n;
  }
  std::vector<TNote> Notes;
};

// An adapter class with an object type of its own, so it can go into streams.
class TTestAdapter : public TDmxAdapter {
  VELA_CLASS(TTestAdapter, TDmxAdapter)
};
constexpr uint32_t kTestAdapterType = 60001;
void RegisterDeviceTestTypes();

// The object written by Put into an EV_6 stream without net ids.
QByteArray StreamBytes(TSobject* Obj);
// Reads one object back from Bytes (same settings); null when it fails.
TSobject* ReadObject(const QByteArray& Bytes);
// Hexadecimal text without separators to bytes.
QByteArray Hex(const char* Text);

// Frees an object at the end of a scope.
template <class T>
struct TFreeAtEnd {
  explicit TFreeAtEnd(T* Obj) : Ptr(Obj) {}
  ~TFreeAtEnd() { FreeObj(Ptr); }
  TFreeAtEnd(const TFreeAtEnd&) = delete;
  TFreeAtEnd& operator=(const TFreeAtEnd&) = delete;
  T* operator->() const { return Ptr; }
  T* Ptr;
};

}  // namespace vela::testing
