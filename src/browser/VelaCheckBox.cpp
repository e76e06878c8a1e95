#include "browser/VelaCheckBox.h"

#include <cstring>

#include "browser/VelaEdit.h"
#include "framework/SConstants.h"
#include "framework/StatusList.h"
#include "framework/ViewList.h"
#include "framework/velaobject.h"

namespace vela {

TsaCheckBox::TsaCheckBox(QWidget* Parent) : QCheckBox(Parent) {}

TsaCheckBox::~TsaCheckBox() {
  Unbind();
  if (auto* list = TheStatusList()) list->RemoveStatusListener(this, false);
}

void TsaCheckBox::Unbind() {
  if (fObject) UnregisterView(this);
  fObject = nullptr;
}

void TsaCheckBox::SetMyObject(TVelaObject* Obj) {
  if (Obj == fObject) return;
  Unbind();
  fObject = Obj;
  if (fObject) RegisterView(this);
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
  const uint32_t value = fObject ? static_cast<uint32_t>(fObject->FN(fFieldKind, fFieldId, 0, 0)) : 0;
  setChecked(fBitOffset < 32 && ((value >> fBitOffset) & 1u) != 0);
  --fUpdating;
}

void TsaCheckBox::nextCheckState() {
  if (Updating() || !fObject) return;
  const bool want = !isChecked();
  uint32_t data = 0;
  switch (fFieldKind) {
    case FK_Byte:
    case FK_Word:
    case FK_LongWord:
    case Fk_LongBits: {
      if (fBitOffset >= 32) return;
      const uint32_t bit = 1u << fBitOffset;
      const uint32_t value = static_cast<uint32_t>(fObject->FN(fFieldKind, fFieldId, 0, 0));
      data = want ? value | bit : value & ~bit;
      break;
    }
    case FK_Bool: data = want ? 1 : 0; break;
    default: return;
  }
  uint8_t bytes[8] = {};
  std::memcpy(bytes, &data, 4);
  fObject->DoSetField(true, fFieldKind, fFieldId, bytes, 0, 0);
  // The object's notification moves the box; without one it stays put.
  ReadValue();
}

void TsaCheckBox::Dispatch(TMessage& Message) {
  auto* obj = reinterpret_cast<TVelaObject*>(Message.WParam);
  switch (Message.Msg) {
    case CM_BindObject: SetMyObject(obj); return;
    case SOM_StatusDirty:
      if (fObject && (StatusMessageSource(Message) == static_cast<void*>(fObject) || obj == fObject)) ReadValue();
      return;
    case SOM_DataChanged:
    case SOM_DataInc:
      if (fObject && obj == fObject) ReadValue();
      return;
    case SOM_ToBeDeleted:
      if (fObject && obj && (obj == fObject || fObject->HasOwner(obj))) SetMyObject(nullptr);
      return;
    default: return;
  }
}

}  // namespace vela
