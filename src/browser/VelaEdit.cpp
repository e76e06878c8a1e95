#include "browser/VelaEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QWheelEvent>

#include "browser/MessageBoxes.h"
#include "framework/FieldValues.h"
#include "framework/SConstants.h"
#include "framework/velaobject.h"

namespace vela {

namespace {

bool IsIntegerKind(TSFieldKind k) {
  return k == FK_Byte || k == FK_Word || k == FK_SmallInt || k == FK_Integer || k == FK_LongWord;
}

// Raises a control's updating counter for a scope.
struct TUpdating {
  explicit TUpdating(int& c) : count(c) { ++count; }
  ~TUpdating() { --count; }
  int& count;
};

}  // namespace

std::function<void()>& TsaEdit::RangeErrorHook() {
  static std::function<void()> hook = [] { ErrorBox(QStringLiteral("Number is out of range!")); };
  return hook;
}

std::function<void()>& TsaEdit::TimeErrorHook() {
  static std::function<void()> hook = [] { QApplication::beep(); };
  return hook;
}

TsaEdit::TsaEdit(QWidget* Parent) : QLineEdit(Parent) {
  // The right button drags increments; the line edit's own menu would get
  // in the way.
  setContextMenuPolicy(Qt::PreventContextMenu);
}

TsaEdit::~TsaEdit() {
  EndTrap();
  fBinding.Release();
}

void TsaEdit::SetMyObject(TVelaObject* Obj) {
  if (!fBinding.Bind(Obj)) return;
  ShowValue();
  if (OnDataChanged) OnDataChanged(this);
}

void TsaEdit::SetFieldPointer(void* Ptr) {
  fFieldPointer = Ptr;
  ShowValue();
}

void TsaEdit::SetFieldId(uint32_t Id) {
  fFieldId = Id;
  ShowValue();
}

void TsaEdit::SetFieldKind(TSFieldKind Kind) {
  fFieldKind = Kind;
  ShowValue();
}

void TsaEdit::SetMyLabel(QWidget* Label) {
  fLabel = Label;
  if (fLabel) fLabel->setVisible(isVisibleTo(parentWidget()) || !parentWidget());
}

void TsaEdit::ShowValue() {
  TUpdating updating(fUpdating);
  QString text;
  TVelaObject* obj = MyObject();
  if (fFieldPointer && !fLegacy) {
    text = FormatFieldValue(fFieldPointer, fFieldKind);
  } else if (obj) {
    if (!IsIntegerKind(fFieldKind))
      text = obj->FF(fFieldKind, fFieldId, 0, 0);
    else if (fOptions.DmxStyle && !fLegacy)
      text = DmxAddressText(obj->FN(fFieldKind, fFieldId, 0, 0));
    else if (fOptions.ZeroAsOne)
      text = QString::number(static_cast<int64_t>(obj->FN(fFieldKind, fFieldId, 0, 0)) + 1);
    else
      text = obj->FF(fFieldKind, fFieldId, 0, 0);
  }
  setText(text);
  fInitialText = text;
  if (isEnabled() && (obj || fFieldPointer)) selectAll();
}

bool TsaEdit::WriteValue() {
  const QString current = text();
  if (current == fInitialText || (!MyObject() && !(fFieldPointer && !fLegacy))) return false;
  TEditValue value;
  TEditConversionOptions options = fOptions;
  options.Legacy = fLegacy;
  TEditConversion result = TEditConversion::Rejected;
  try {
    result = ConvertEditText(fFieldKind, current, options, value);
  } catch (const TConversionError&) {
    // An unreadable DMX address or time: the entry is refused and the
    // object's value comes back, rather than an error escaping the event.
    ShowValue();
    return false;
  }
  switch (result) {
    case TEditConversion::Converted: break;
    case TEditConversion::RangeError:
      if (RangeErrorHook()) RangeErrorHook()();
      ShowValue();
      return false;
    case TEditConversion::TimeError:
      if (TimeErrorHook()) TimeErrorHook()();
      ShowValue();
      return false;
    case TEditConversion::Rejected:
    case TEditConversion::NotWritten:
      // The edit must not go on showing a value the object does not hold.
      ShowValue();
      return false;
  }
  fInitialText = current;
  if (!WriteData(value)) {
    ShowValue();
    return false;
  }
  return true;
}

bool TsaEdit::WriteData(const TEditValue& Value) {
  const void* data = Value.Data(fFieldKind);
  if (OnSetField) return OnSetField(this, MyObject(), fFieldKind, fFieldId, data);
  if (fFieldPointer) return StoreFieldValue(fFieldKind, data, fFieldPointer);
  return MyObject() && MyObject()->DoSetField(true, fFieldKind, fFieldId, data, fFieldParam2, 0);
}

bool TsaEdit::Increment(int IncX, int IncY) {
  return fBinding.Increment(this, onIncField, fFieldKind, fFieldId, IncX, IncY);
}

void TsaEdit::Dispatch(TMessage& Message) {
  auto* obj = reinterpret_cast<TVelaObject*>(Message.WParam);
  switch (Message.Msg) {
    case CM_BindObject: SetMyObject(obj); return;
    case CM_WritePending: WriteValue(); return;
    case SOM_StatusDirty:
      if (fBinding.ReportsOn(Message)) ShowValue();
      return;
    case SOM_ToBeDeleted:
      // An owner on its way out takes the bound object with it.
      if (fBinding.GoesWith(obj)) SetMyObject(nullptr);
      return;
    case SOM_DataChanged:
    case SOM_DataInc:
      if (fBinding.Holds(obj)) ShowValue();
      return;
    case SOM_NameChanged:
      if (fBinding.Holds(obj) && fFieldKind == FK_Text && fFieldId == 0) ShowValue();
      return;
    default: return;
  }
}

void TsaEdit::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
    WriteValue();
    e->accept();
    return;
  }
  if (e->key() == Qt::Key_Escape) {
    ShowValue();
    QLineEdit::keyPressEvent(e);
    return;
  }
  if (fFieldKind == FK_TimeDate && e->text() == QStringLiteral(".")) {
    insert(QLocale().decimalPoint());
    e->accept();
    return;
  }
  QLineEdit::keyPressEvent(e);
}

void TsaEdit::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  selectAll();
}

void TsaEdit::focusOutEvent(QFocusEvent* e) {
  if (!fCancelling) WriteValue();
  QLineEdit::focusOutEvent(e);
}

void TsaEdit::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::RightButton) {
    setFocus(Qt::MouseFocusReason);
    selectAll();
    if (fWheelInc) fBinding.BeginTrap(this, e);
    e->accept();
    return;
  }
  QLineEdit::mousePressEvent(e);
}

void TsaEdit::mouseMoveEvent(QMouseEvent* e) {
  if (fBinding.TrapMove(e, [this](int IncX, int IncY) { return Increment(IncX, IncY); })) {
    e->accept();
    return;
  }
  QLineEdit::mouseMoveEvent(e);
}

void TsaEdit::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::RightButton) {
    EndTrap();
    e->accept();
    return;
  }
  QLineEdit::mouseReleaseEvent(e);
}

void TsaEdit::EndTrap() { fBinding.EndTrapLocal(fFieldKind, fFieldId); }

void TsaEdit::wheelEvent(QWheelEvent* e) {
  const int dy = e->angleDelta().y();
  if (!fWheelInc || dy == 0) {
    QLineEdit::wheelEvent(e);
    return;
  }
  Increment(0, dy > 0 ? 1 : -1);
  e->accept();
}

void TsaEdit::showEvent(QShowEvent* e) {
  QLineEdit::showEvent(e);
  if (fLabel) fLabel->show();
}

void TsaEdit::hideEvent(QHideEvent* e) {
  QLineEdit::hideEvent(e);
  if (fLabel) fLabel->hide();
}

// ---------------------------------------------------------------------------

TVelaEdit::TVelaEdit(QWidget* Parent) : TsaEdit(Parent) { fLegacy = true; }

bool TVelaEdit::WriteData(const TEditValue& Value) {
  const void* data = Value.Data(FieldKind());
  return MyObject() && MyObject()->DoSetField(true, FieldKind(), FieldId(), data, 0, 0);
}

void BindVelaEdit(QWidget* Control, TVelaObject* Obj) {
  if (auto* edit = dynamic_cast<TVelaEdit*>(Control)) edit->SetMyObject(Obj);
}

}  // namespace vela
