#include "ControlFixtures.h"

#include <QApplication>
#include <QWheelEvent>
#include <cstring>

namespace vela::testing {

VELA_CLASS_IMPL(TFields, TRealTime)

bool TFields::GetFieldPointer(TSFieldKind k, uint32_t id, void*& p) {
  if (k == FK_Text && id == kText) return p = &Text, true;
  if (k == FK_Byte && id == kByte) return p = &Byte, true;
  if (k == FK_Word && id == kWord) return p = &Word, true;
  if (k == FK_Integer && id == kInt) return p = &Int, true;
  if (k == FK_Bool && id == kFlag) return p = &Flag, true;
  if (k == FK_WordKind && id == kChoice) return p = &Choice, true;
  if (k == FK_TimeDate && id == kTime) return p = &Time, true;
  if (k == FK_Byte && id == kBits) return p = &Bits, true;
  if (k == FK_LongWord && id == kLong) return p = &Long, true;
  if (k == FK_Date && id == kDate) return p = &Date, true;
  if (k == FK_ByteBits && (id & 0xFFFF0000u) == kBitGroups && (id & 0xFFFF) < 2)
    return p = &BitGroups[id & 0xFFFF], true;
  return TRealTime::GetFieldPointer(k, id, p);
}

bool TFields::ValidateField(bool IsInc, TSFieldKind& k, uint32_t& id, const void* v) {
  ++Writes;
  if (!IsInc && k == FK_Word && id == kWord && v) {
    uint16_t w = 0;
    std::memcpy(&w, v, 2);
    if (w == RefusedWord) return false;
  }
  return TRealTime::ValidateField(IsInc, k, id, v);
}

QString TFields::FC(TSFieldKind k, uint32_t id, int index, int32_t& DataId) {
  if (k == FK_WordKind && id == kChoice && index < 3) {
    static const char* names[] = {"Ten", "Twenty", "Thirty"};
    DataId = 10 * (index + 1);
    return QString::fromLatin1(names[index]);
  }
  if (k == FK_ByteBits && index < 16) {
    DataId = index;
    return QStringLiteral("Bit %1").arg(index);
  }
  return TRealTime::FC(k, id, index, DataId);
}

void TFields::ApplyFieldValue(TSFieldKind k, uint32_t id, const void* Data) {
  if (k != FK_ByteBits) return TRealTime::ApplyFieldValue(k, id, Data);
  // A bit record: the new state, then the mask of the bit.
  LastBitsId = id;
  std::memcpy(LastBitsRecord, Data, 5);
  uint32_t mask = 0;
  std::memcpy(&mask, LastBitsRecord + 1, 4);
  uint8_t& group = BitGroups[(id & 0xFFFF) % 2];
  group = LastBitsRecord[0] ? (group | mask) : (group & ~mask);
  SetDataChanged(k, id, false);
}

void ControlTest::SetUp() {
  BrowserTest::SetUp();
  obj = SNew<TFields>();
  obj->SetName(QStringLiteral("Fields"));
  roots.push_back(obj);
}

void ControlTest::TearDown() { BrowserTest::TearDown(); }

void ShowFocused(QWidget* w) {
  w->show();
  QApplication::setActiveWindow(w->window());
  w->setFocus();
  QApplication::processEvents();
}

void WheelNotch(QWidget* w, int direction) {
  const QPointF local(w->width() / 2.0, w->height() / 2.0);
  QWheelEvent wheel(local, w->mapToGlobal(local), QPoint(), QPoint(0, 120 * direction), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &wheel);
}

}  // namespace vela::testing
