#pragma once
// An object with one field of each kind the bound controls edit, and a
// fixture in which notifications reach the views at once.
#include <gtest/gtest.h>

#include <QTest>
#include <vector>

#include "BrowserFixtures.h"
#include "browser/Browser.h"
#include "framework/RealTime.h"

namespace vela::testing {

// Field ids of TFields.
enum : uint32_t {
  kText = 1,
  kByte = 2,
  kWord = 3,
  kInt = 4,
  kFlag = 5,
  kChoice = 6,
  kTime = 7,
  kBits = 8,
  kLong = 9,
  kDate = 10,
};

class TFields : public TRealTime {
  VELA_CLASS(TFields, TRealTime)
  TFields() = default;
  bool GetFieldPointer(TSFieldKind k, uint32_t id, void*& p) override;
  bool ValidateField(bool IsInc, TSFieldKind& k, uint32_t& id, const void* v) override;
  QString FC(TSFieldKind k, uint32_t id, int index, int32_t& DataId) override;
  void ApplyFieldValue(TSFieldKind k, uint32_t id, const void* Data) override;

  QString Text = QStringLiteral("first");
  uint8_t Byte = 7;
  uint16_t Word = 100;
  int32_t Int = -5;
  bool Flag = false;
  uint16_t Choice = 20;
  double Time = 0;
  uint8_t Bits = 5;
  uint32_t Long = 0;
  double Date = 45000;  // 2023-03-15
  // A word of this value is refused by the object.
  uint16_t RefusedWord = 999;
  int Writes = 0;
  // Two groups of eight bits under field ids (5 << 16) + group; the last
  // bit record written to them.
  uint8_t BitGroups[2] = {0, 0};
  uint32_t LastBitsId = 0;
  uint8_t LastBitsRecord[5] = {};
};
constexpr uint32_t kBitGroups = 5u << 16;

class ControlTest : public BrowserTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  TFields* obj = nullptr;
};

// Shows a widget and gives it the keyboard focus.
void ShowFocused(QWidget* w);
// One mouse wheel notch over w (positive: away from the user).
void WheelNotch(QWidget* w, int direction);

}  // namespace vela::testing
