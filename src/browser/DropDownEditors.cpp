#include "browser/DropDownEditors.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <cstring>

#include "framework/SConstants.h"
#include "framework/ViewList.h"
#include "framework/velaobject.h"
#include "platform/DateTime.h"

namespace vela {

TLMDVelaCheckListCombo::TLMDVelaCheckListCombo(QWidget* Parent) : QComboBox(Parent) {
  setModel(new QStandardItemModel(this));
  // Clicks on items tick them instead of closing the list.
  view()->viewport()->installEventFilter(this);
  view()->installEventFilter(this);
}

TLMDVelaCheckListCombo::~TLMDVelaCheckListCombo() {
  if (fObject) UnregisterView(this);
}

void TLMDVelaCheckListCombo::SetMyObject(TVelaObject* Obj) {
  if (Obj == fObject) return;
  if (fObject) UnregisterView(this);
  fObject = Obj;
  if (fObject) RegisterView(this);
  Fill();
}

int TLMDVelaCheckListCombo::BitsPerGroup() const {
  switch (fFieldKind) {
    case Fk_LongBits: return 32;
    case FK_WordBits: return 16;
    default: return 8;
  }
}

uint32_t TLMDVelaCheckListCombo::ItemFieldId(int Item) const {
  return (fFieldId & 0xFFFF0000u) | static_cast<uint32_t>(Item / BitsPerGroup());
}

bool TLMDVelaCheckListCombo::ItemTicked(int Item) const {
  auto* m = static_cast<QStandardItemModel*>(model());
  return Item >= 0 && Item < count() && m->item(Item)->checkState() == Qt::Checked;
}

void TLMDVelaCheckListCombo::Fill() {
  ++fUpdating;
  clear();
  if (fObject) {
    TParamsOpt opt;
    InitParamsOpt(opt);
    const TSelectionList list = fObject->GetSelectionList(fFieldKind, fFieldId, opt, 0, 0);
    auto* m = static_cast<QStandardItemModel*>(model());
    int widest = 0;
    const QFontMetrics fm(font());
    for (const TSelectionEntry& e : list) {
      auto* item = new QStandardItem(e.Text);
      item->setCheckable(true);
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
      m->appendRow(item);
      widest = std::max(widest, fm.horizontalAdvance(e.Text));
    }
    view()->setMinimumWidth(std::max(width(), widest + 40));
  }
  --fUpdating;
  ReadChecks();
}

void TLMDVelaCheckListCombo::ReadChecks() {
  if (!fObject) return;
  ++fUpdating;
  auto* m = static_cast<QStandardItemModel*>(model());
  const int bits = BitsPerGroup();
  for (int i = 0; i < count(); ++i) {
    const uint32_t value = static_cast<uint32_t>(fObject->FN(fFieldKind, ItemFieldId(i), 0, 0));
    m->item(i)->setCheckState(((value >> (i % bits)) & 1u) ? Qt::Checked : Qt::Unchecked);
  }
  --fUpdating;
}

void TLMDVelaCheckListCombo::ToggleItem(int Item) {
  if (Updating() || !fObject || Item < 0 || Item >= count()) return;
  // The record: the new state (one byte), then the item's bit as a mask.
  uint8_t record[8] = {};
  record[0] = ItemTicked(Item) ? 0 : 1;
  const uint32_t mask = 1u << (Item % BitsPerGroup());
  std::memcpy(record + 1, &mask, 4);
  fObject->DoSetField(true, fFieldKind, ItemFieldId(Item), record, 0, 0);
  ReadChecks();
}

void TLMDVelaCheckListCombo::showPopup() {
  Fill();
  QComboBox::showPopup();
}

bool TLMDVelaCheckListCombo::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == view()->viewport() && Event->type() == QEvent::MouseButtonRelease) {
    const auto* me = static_cast<QMouseEvent*>(Event);
    const QModelIndex at = view()->indexAt(me->position().toPoint());
    if (at.isValid()) ToggleItem(at.row());
    return true;
  }
  if (Watched == view() && Event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(Event)->key() == Qt::Key_Space) {
    ToggleItem(view()->currentIndex().row());
    return true;
  }
  return QComboBox::eventFilter(Watched, Event);
}

void TLMDVelaCheckListCombo::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Down && !view()->isVisible()) {
    showPopup();
    e->accept();
    return;
  }
  QComboBox::keyPressEvent(e);
}

void TLMDVelaCheckListCombo::Dispatch(TMessage& Message) {
  auto* obj = reinterpret_cast<TVelaObject*>(Message.WParam);
  if (Message.Msg == SOM_DataChanged && fObject && obj == fObject) ReadChecks();
  if (Message.Msg == SOM_ToBeDeleted && fObject && obj && (obj == fObject || fObject->HasOwner(obj)))
    SetMyObject(nullptr);
}

// ---------------------------------------------------------------------------

TLmdVelaCalendarEdit::TLmdVelaCalendarEdit(QWidget* Parent) : QDateEdit(Parent) {
  setCalendarPopup(true);
  connect(this, &QDateEdit::dateChanged, this, [this](QDate d) { DateEdited(d); });
}

TLmdVelaCalendarEdit::~TLmdVelaCalendarEdit() {
  if (fObject) UnregisterView(this);
}

void TLmdVelaCalendarEdit::SetMyObject(TVelaObject* Obj) {
  if (Obj == fObject) return;
  if (fObject) UnregisterView(this);
  fObject = Obj;
  if (fObject) RegisterView(this);
  ReadDate();
}

void TLmdVelaCalendarEdit::ReadDate() {
  if (!fObject) return;
  ++fUpdating;
  setDate(DateTimeToQt(fObject->FNDate(fFieldId, 0, 0)).date());
  --fUpdating;
}

void TLmdVelaCalendarEdit::DateEdited(QDate Date) {
  if (Updating() || !fObject) return;
  const double days = DateTimeFromQt(QDateTime(Date, QTime(0, 0)));
  fObject->DoSetField(true, FK_Date, fFieldId, &days, 0, 0);
}

void TLmdVelaCalendarEdit::Dispatch(TMessage& Message) {
  auto* obj = reinterpret_cast<TVelaObject*>(Message.WParam);
  if (Message.Msg == SOM_DataChanged && fObject && obj == fObject) ReadDate();
  if (Message.Msg == SOM_ToBeDeleted && fObject && obj && (obj == fObject || fObject->HasOwner(obj)))
    SetMyObject(nullptr);
}

}  // namespace vela
