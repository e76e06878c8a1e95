#include "browser/VelaComboBox.h"

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cstring>

#include "browser/ControlMenus.h"
#include "framework/FieldValues.h"
#include "framework/SConstants.h"
#include "framework/velaobject.h"

namespace vela {

namespace {

constexpr int kValueRole = Qt::UserRole + 1;

struct TUpdating {
  explicit TUpdating(int& c) : count(c) { ++count; }
  ~TUpdating() { --count; }
  int& count;
};

// Items painted by the bound object: a framed square picture, then the text.
class TGraphicItemDelegate : public QStyledItemDelegate {
 public:
  explicit TGraphicItemDelegate(TsaComboBox* Box) : QStyledItemDelegate(Box), fBox(Box) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize s = QStyledItemDelegate::sizeHint(option, index);
    return {s.width() + 36, std::max(s.height(), 32)};
  }
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    opt.text.clear();
    QStyledItemDelegate::paint(p, opt, index);
    const QRect r = option.rect;
    const QRect icon(r.left() + 2, r.top() + 2, r.height() - 4, r.height() - 4);
    if (TVelaObject* o = fBox->MyObject()) {
      const intptr_t value = index.data(kValueRole).value<qlonglong>();
      o->PaintImage(p, icon, fBox->FieldKind(), fBox->FieldId(), index.row(), &value);
    }
    p->save();
    p->setPen(option.palette.color(QPalette::Text));
    p->drawRect(icon.adjusted(0, 0, -1, -1));
    QFont f = p->font();
    f.setPointSize(9);
    p->setFont(f);
    p->drawText(r.adjusted(icon.width() + 8, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                index.data(Qt::DisplayRole).toString());
    p->restore();
  }

 private:
  TsaComboBox* fBox;
};

}  // namespace

TsaComboBox::TsaComboBox(QWidget* Parent) : QComboBox(Parent) {
  setEditable(false);
  setMaxVisibleItems(16);
  connect(this, &QComboBox::activated, this, [this](int) { WriteValue(); });
  connect(this, &QComboBox::currentIndexChanged, this, [this](int) {
    if (!Updating()) fChosen = true;
  });
}

TsaComboBox::~TsaComboBox() { fBinding.Release(); }

bool TsaComboBox::IsListKind(TSFieldKind Kind) {
  return Kind == FK_WordKind || Kind == FK_ByteKind || Kind == FK_IntegerKind || Kind == FK_Graphic ||
         Kind == FK_PackedPalettes;
}

void TsaComboBox::SetMyObject(TVelaObject* Obj) {
  if (!fBinding.Bind(Obj)) return;
  if (!Obj) {
    TUpdating updating(fUpdating);
    clear();
    return;
  }
  ReadValue();
}

void TsaComboBox::SetDrawGr(bool v) {
  fDrawGr = v;
  setItemDelegate(v ? static_cast<QAbstractItemDelegate*>(new TGraphicItemDelegate(this))
                    : new QStyledItemDelegate(this));
  setMaxVisibleItems(v ? 8 : 16);
}

void TsaComboBox::LoadItems() {
  TParamsOpt opt;
  InitParamsOpt(opt);
  TSelectionList list = MyObject()->GetSelectionList(fFieldKind, fFieldId, opt, 0, 0);
  if (fSorted)
    std::stable_sort(list.begin(), list.end(), [](const TSelectionEntry& a, const TSelectionEntry& b) {
      return a.Text.compare(b.Text, Qt::CaseInsensitive) < 0;
    });
  clear();
  for (const TSelectionEntry& e : list) addItem(e.Text, QVariant::fromValue<qlonglong>(e.Value));
  // The values travel in the item data; keep them under our own role too.
  for (int i = 0; i < count(); ++i) setItemData(i, itemData(i), kValueRole);
}

void TsaComboBox::ReadValue() {
  TVelaObject* obj = MyObject();
  if (!obj) return;
  TUpdating updating(fUpdating);
  // A failing object leaves the shown item as it is.
  try {
    const int32_t value = obj->FN(fFieldKind, fFieldId, 0, 0);
    if (IsListKind(fFieldKind)) {
      LoadItems();
      int shown = -1;
      for (int i = 0; i < count(); ++i)
        if (itemData(i, kValueRole).value<qlonglong>() == value) shown = i;
      setCurrentIndex(shown);
    } else if (value >= 0 && value < count()) {
      setCurrentIndex(value);
    }
  } catch (...) {
  }
}

bool TsaComboBox::WriteValue() {
  TVelaObject* obj = MyObject();
  if (Updating() || !obj || currentIndex() < 0) return false;
  uint8_t data[kMaxFieldData] = {};
  if (IsListKind(fFieldKind)) {
    const qlonglong value = itemData(currentIndex(), kValueRole).value<qlonglong>();
    if (fFieldKind == FK_Graphic || fFieldKind == FK_PackedPalettes) {
      const intptr_t v = static_cast<intptr_t>(value);
      std::memcpy(data, &v, sizeof v);
    } else {
      PutFieldNumber(fFieldKind, data, static_cast<uint32_t>(value));
    }
  } else {
    const int32_t index = currentIndex();
    std::memcpy(data, &index, 4);
  }
  fChosen = false;
  const bool taken = OnSetField ? OnSetField(this, obj, fFieldKind, fFieldId, data)
                                : obj->DoSetField(true, fFieldKind, fFieldId, data, fFieldParam2, 0);
  ReadValue();
  return taken;
}

bool TsaComboBox::WritePending() { return fChosen && WriteValue(); }

void TsaComboBox::showPopup() {
  fCancelling = false;
  fAboutToDrop = true;
  if (MyObject() && IsListKind(fFieldKind)) ReadValue();
  QComboBox::showPopup();
  if (!view()->isVisible() && OnNotDropped) OnNotDropped(this);
}

void TsaComboBox::hidePopup() {
  QComboBox::hidePopup();
  fAboutToDrop = false;
  // A pick closes the list before it is reported as activated, so only a
  // cancelled list reads the object again here.
  if (fCancelling) ReadValue();
  fCancelling = false;
}

void TsaComboBox::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    fCancelling = true;
    QComboBox::keyPressEvent(e);
    return;
  }
  // Typed characters do not pick items.
  if (!e->text().isEmpty() && e->text().at(0).isPrint()) {
    e->accept();
    return;
  }
  QComboBox::keyPressEvent(e);
}

void TsaComboBox::contextMenuEvent(QContextMenuEvent* e) {
  if (ShowFieldMenu(MyObject(), this, fFieldKind, fFieldId, nullptr, e->pos().x(), e->pos().y())) {
    e->accept();
    return;
  }
  QComboBox::contextMenuEvent(e);
}

void TsaComboBox::Dispatch(TMessage& Message) {
  auto* obj = reinterpret_cast<TVelaObject*>(Message.WParam);
  switch (Message.Msg) {
    case CM_BindObject: SetMyObject(obj); return;
    case CM_WritePending: WritePending(); return;
    case SOM_StatusDirty:
      if (fBinding.ReportsOn(Message)) ReadValue();
      return;
    case SOM_DataChanged:
      if (fBinding.Holds(obj)) ReadValue();
      return;
    case SOM_ToBeDeleted:
      if (fBinding.GoesWith(obj)) SetMyObject(nullptr);
      return;
    default: return;
  }
}

}  // namespace vela
