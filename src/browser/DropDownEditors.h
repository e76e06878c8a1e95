#pragma once
// The two bound drop-down editors of the browser cells: a check list of the
// bits of a field and a date with a calendar.
#include <QComboBox>
#include <QDateEdit>
#include <cstdint>

#include "framework/VelaTypes.h"
#include "platform/Messages.h"

namespace vela {

class TVelaObject;

// One item per bit; the items come from the object's selection list.
class TLMDVelaCheckListCombo : public QComboBox, public TMessageReceiver {
 public:
  explicit TLMDVelaCheckListCombo(QWidget* Parent = nullptr);
  ~TLMDVelaCheckListCombo() override;

  TVelaObject* MyObject() const { return fObject; }
  void SetMyObject(TVelaObject* Obj);
  uint32_t FieldId() const { return fFieldId; }
  void SetFieldId(uint32_t Id) { fFieldId = Id; }
  TSFieldKind FieldKind() const { return fFieldKind; }
  void SetFieldKind(TSFieldKind Kind) { fFieldKind = Kind; }
  bool Updating() const { return fUpdating > 0; }
  // Bits per field value: 32, 8 or 16 by kind.
  int BitsPerGroup() const;
  // The field id of item i: high word of FieldId, low word the group.
  uint32_t ItemFieldId(int Item) const;
  bool ItemTicked(int Item) const;
  // Writes the item's new state to the object.
  void ToggleItem(int Item);
  void Fill();
  void ReadChecks();

  void showPopup() override;
  void Dispatch(TMessage& Message) override;

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  TVelaObject* fObject = nullptr;
  uint32_t fFieldId = 0;
  TSFieldKind fFieldKind = FK_ByteBits;
  int fUpdating = 0;
};

class TLmdVelaCalendarEdit : public QDateEdit, public TMessageReceiver {
 public:
  explicit TLmdVelaCalendarEdit(QWidget* Parent = nullptr);
  ~TLmdVelaCalendarEdit() override;

  TVelaObject* MyObject() const { return fObject; }
  void SetMyObject(TVelaObject* Obj);
  uint32_t FieldId() const { return fFieldId; }
  void SetFieldId(uint32_t Id) { fFieldId = Id; }
  TSFieldKind FieldKind() const { return fFieldKind; }
  void SetFieldKind(TSFieldKind Kind) { fFieldKind = Kind; }
  bool Updating() const { return fUpdating > 0; }
  void ReadDate();

  void Dispatch(TMessage& Message) override;

 private:
  void DateEdited(QDate Date);

  TVelaObject* fObject = nullptr;
  uint32_t fFieldId = 0;
  TSFieldKind fFieldKind = FK_Date;
  int fUpdating = 0;
};

}  // namespace vela
