#pragma once
// The field-bound choice box: a drop-down list whose items come from the
// object's selection list (for the list kinds) or from the host, showing the
// item of the field's value and writing the item chosen.
#include <QComboBox>
#include <cstdint>
#include <functional>

#include "browser/BoundField.h"
#include "browser/VelaEdit.h"
#include "framework/VelaTypes.h"
#include "platform/Messages.h"

namespace vela {

class TVelaObject;

class TsaComboBox : public QComboBox, public TMessageReceiver {
 public:
  explicit TsaComboBox(QWidget* Parent = nullptr);
  ~TsaComboBox() override;

  TVelaObject* MyObject() const { return fBinding.Object(); }
  void SetMyObject(TVelaObject* Obj);
  uint32_t FieldId() const { return fFieldId; }
  void SetFieldId(uint32_t Id) { fFieldId = Id; }
  TSFieldKind FieldKind() const { return fFieldKind; }
  void SetFieldKind(TSFieldKind Kind) { fFieldKind = Kind; }
  uint16_t FieldParam2() const { return fFieldParam2; }
  void SetFieldParam2(uint16_t v) { fFieldParam2 = v; }
  // Owner-drawn items with the object's pictures.
  bool DrawGr() const { return fDrawGr; }
  void SetDrawGr(bool v);
  // Items of the selection list in alphabetical order (case ignored) rather
  // than in the object's order.
  bool Sorted() const { return fSorted; }
  void SetSorted(bool v) { fSorted = v; }
  bool Updating() const { return fUpdating > 0; }
  bool Cancelling() const { return fCancelling; }

  std::function<void(QObject* Sender)> OnNotDropped;
  TsaOnSetField OnSetField;

  // Whether the items come from the object's selection list.
  static bool IsListKind(TSFieldKind Kind);
  // Reloads the items of a list kind and shows the item of the field value.
  void ReadValue();
  // Writes the chosen item; false when nothing was written.
  bool WriteValue();
  // Writes the item the operator chose, unless it has been written already:
  // a pick is written once (the object may show the old value until its
  // change is confirmed, so writing the shown item again would undo it).
  bool WritePending();

  void showPopup() override;
  void hidePopup() override;
  void Dispatch(TMessage& Message) override;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  void LoadItems();
  TBoundField fBinding{this};
  uint32_t fFieldId = 0;
  TSFieldKind fFieldKind = FK_WordKind;
  uint16_t fFieldParam2 = 0;
  bool fDrawGr = false;
  bool fSorted = false;
  bool fCancelling = false;
  bool fAboutToDrop = false;
  bool fChosen = false;  // the shown item was chosen and is not written yet
  int fUpdating = 0;
};

}  // namespace vela
