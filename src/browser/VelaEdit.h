#pragma once
// The field-bound text edits: TsaEdit shows one field of one object and
// writes what the operator types back through the object's field protocol
// (or a host's OnSetField, or a raw storage location); TVelaEdit is the
// older edit with the same display and fewer write options.
#include <QLineEdit>
#include <QPointer>
#include <cstdint>
#include <functional>

#include "browser/BoundField.h"
#include "browser/EditConversion.h"
#include "framework/VelaTypes.h"
#include "platform/Messages.h"

namespace vela {

class TVelaObject;

// Private messages of the bound controls.
enum : uint32_t {
  CM_BindObject = 33981,      // WParam: the object to bind
  CM_WritePending = 33982,    // write the pending value now
  CM_ExecuteRequest = 33983,  // caption control: WParam 1, 2 or 4
};

// (Sender, object, kind, id, data): true when the value was taken.
using TsaOnSetField = std::function<bool(QObject* Sender, TVelaObject* aObject, TSFieldKind FieldKind, uint32_t FieldId,
                                         const void* Data)>;
// TsaInIncField, the increment hook, comes with the binding (BoundField.h).

class TsaEdit : public QLineEdit, public TMessageReceiver {
 public:
  explicit TsaEdit(QWidget* Parent = nullptr);
  ~TsaEdit() override;

  // ---- binding
  TVelaObject* MyObject() const { return fBinding.Object(); }
  void SetMyObject(TVelaObject* Obj);
  // A raw storage location shown and written instead of an object field.
  void* FieldPointer() const { return fFieldPointer; }
  void SetFieldPointer(void* Ptr);

  // ---- properties
  uint32_t FieldId() const { return fFieldId; }
  void SetFieldId(uint32_t Id);
  TSFieldKind FieldKind() const { return fFieldKind; }
  void SetFieldKind(TSFieldKind Kind);
  uint16_t FieldParam2() const { return fFieldParam2; }
  void SetFieldParam2(uint16_t v) { fFieldParam2 = v; }
  QWidget* MyLabel() const { return fLabel; }
  void SetMyLabel(QWidget* Label);
  bool ZeroAsOne() const { return fOptions.ZeroAsOne; }
  void SetZeroAsOne(bool v) { fOptions.ZeroAsOne = v; }
  bool WheelInc() const { return fWheelInc; }
  void SetWheelInc(bool v) { fWheelInc = v; }
  bool DivBy10Kind() const { return fOptions.DivBy10Kind; }
  void SetDivBy10Kind(bool v) { fOptions.DivBy10Kind = v; }
  bool ProsKind() const { return fOptions.ProsKind; }
  void SetProsKind(bool v) { fOptions.ProsKind = v; }
  bool DmxStyle() const { return fOptions.DmxStyle; }
  void SetDmxStyle(bool v) { fOptions.DmxStyle = v; }
  // Set while a host cancels the edit: leaving the control then writes nothing.
  bool Cancelling() const { return fCancelling; }
  void SetCancelling(bool v) { fCancelling = v; }
  bool Updating() const { return fUpdating > 0; }
  QString InitialText() const { return fInitialText; }

  std::function<void(QObject* Sender)> OnDataChanged;
  TsaOnSetField OnSetField;
  TsaInIncField onIncField;

  // ---- operations
  // Shows the bound value (the object's field, the raw location or nothing).
  void ShowValue();
  // Writes the text when it changed; false when nothing was taken.
  bool WriteValue();
  // One increment through onIncField or the object's DoIncField.
  bool Increment(int IncX, int IncY);

  void Dispatch(TMessage& Message) override;

  // The box for a word out of range; tests replace it. Shows the error box
  // "Number is out of range!" by default.
  static std::function<void()>& RangeErrorHook();
  // The error beep of a time the edit cannot read.
  static std::function<void()>& TimeErrorHook();

 protected:
  // Hands the converted value to its target; false when it was refused.
  virtual bool WriteData(const TEditValue& Value);
  bool fLegacy = false;

  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 private:
  void EndTrap();

  TBoundField fBinding{this};
  void* fFieldPointer = nullptr;
  uint32_t fFieldId = 0;
  TSFieldKind fFieldKind = FK_Text;
  uint16_t fFieldParam2 = 0;
  QPointer<QWidget> fLabel;
  TEditConversionOptions fOptions;
  bool fWheelInc = false;
  bool fCancelling = false;
  int fUpdating = 0;
  QString fInitialText;
};

// The older edit: always writes through DoSetField (no OnSetField, no raw
// location, no parameter), no word range check and no DMX form.
class TVelaEdit : public TsaEdit {
 public:
  explicit TVelaEdit(QWidget* Parent = nullptr);

 protected:
  bool WriteData(const TEditValue& Value) override;
};

// Binds a TVelaEdit (other widgets are left alone).
void BindVelaEdit(QWidget* Control, TVelaObject* Obj);

}  // namespace vela
