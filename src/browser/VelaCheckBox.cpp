#include "browser/VelaCheckBox.h"

#include <cstring>

#include "browser/VelaEdit.h"
#include "framework/SConstants.h"
#include "framework/velaobject.h"

namespace vela {

TsaCheckBox::TsaCheckBox(QWidget* Parent) : QCheckBox(Parent) {}

TsaCheckBox::~TsaCheckBox() { fBinding.Release(); }

void TsaCheckBox::SetMyObject(TVelaObject* Obj) {
  if (!fBinding.Bind(Obj)) return;
  ReadValue();
  if (OnDataChanged) OnDataChanged(this);
}

void TsaCheckBox::SetBitOffset(uint8_t v) {
  fBitOffset = v;
  ReadValue();
}

void TsaCheckBox::SetFieldId(uint32_t Id) {
  fFieldId = Id;
  ReadValue();
}

void TsaCheckBox::SetFieldKind(TSFieldKind Kind) {
  fFieldKind = Kind;
  ReadValue();
}

void TsaCheckBox::ReadValue() {
  ++fUpdating;
  TVelaObject* obj = MyObject();
  const uint32_t value = obj ? static_cast<uint32_t>(obj->FN(fFieldKind, fFieldId, 0, 0)) : 0;
  setChecked(fBitOffset < 32 && ((value >> fBitOffset) & 1u) != 0);
  --fUpdating;
}

void TsaCheckBox::nextCheckState() {
  TVelaObject* obj = MyObject();
  if (Updating() || !obj) return;
  const bool want = !isChecked();
  uint32_t data = 0;
  switch (fFieldKind) {
    case FK_Byte:
    case FK_Word:
    case FK_LongWord:
    case Fk_LongBits: {
      if (fBitOffset >= 32) return;
      const uint32_t bit = 1u << fBitOffset;
      const uint32_t value = static_cast<uint32_t>(obj->FN(fFieldKind, fFieldId, 0, 0));
      data = want ? value | bit : value & ~bit;
      break;
    }
    case FK_Bool: data = want ? 1 : 0; break;
    default: return;
  }
  uint8_t bytes[8] = {};
  std::memcpy(bytes, &data, 4);
  obj->DoSetField(true, fFieldKind, fFieldId, bytes, 0, 0);
  // The object's notification moves the box; without one it stays put.
  ReadValue();
}

void TsaCheckBox::Dispatch(TMessage& Message) {
  auto* obj = reinterpret_cast<TVelaObject*>(Message.WParam);
  switch (Message.Msg) {
    case CM_BindObject: SetMyObject(obj); return;
    case SOM_StatusDirty:
      if (fBinding.ReportsOn(Message)) ReadValue();
      return;
    case SOM_DataChanged:
    case SOM_DataInc:
      if (fBinding.Holds(obj)) ReadValue();
      return;
    case SOM_ToBeDeleted:
      if (fBinding.GoesWith(obj)) SetMyObject(nullptr);
      return;
    default: return;
  }
}

}  // namespace vela
