#pragma once
// The field-bound check box: shows one bit of a field (or a bool) and writes
// the clicked state; the box itself follows the object, not the click.
#include <QCheckBox>
#include <cstdint>
#include <functional>

#include "browser/BoundField.h"
#include "framework/VelaTypes.h"
#include "platform/Messages.h"

namespace vela {

class TVelaObject;

class TsaCheckBox : public QCheckBox, public TMessageReceiver {
 public:
  explicit TsaCheckBox(QWidget* Parent = nullptr);
  ~TsaCheckBox() override;

  TVelaObject* MyObject() const { return fBinding.Object(); }
  void SetMyObject(TVelaObject* Obj);
  // Bit number from 0 in the field's value.
  uint8_t BitOffset() const { return fBitOffset; }
  void SetBitOffset(uint8_t v);
  uint32_t FieldId() const { return fFieldId; }
  void SetFieldId(uint32_t Id);
  TSFieldKind FieldKind() const { return fFieldKind; }
  void SetFieldKind(TSFieldKind Kind);
  // Stored only: the plain check box has no word wrap of its own.
  bool MultiLine() const { return fMultiLine; }
  void SetMultiLine(bool v) { fMultiLine = v; }
  bool Updating() const { return fUpdating > 0; }

  std::function<void(QObject* Sender)> OnDataChanged;

  void ReadValue();
  void Dispatch(TMessage& Message) override;

 protected:
  // A click writes the new state instead of changing the box.
  void nextCheckState() override;

 private:
  TBoundField fBinding{this};
  uint8_t fBitOffset = 0;
  uint32_t fFieldId = 0;
  TSFieldKind fFieldKind = FK_Bool;
  bool fMultiLine = false;
  int fUpdating = 0;
};

}  // namespace vela
