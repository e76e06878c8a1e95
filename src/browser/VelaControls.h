#pragma once
// The field-bound caption controls: a painted text (and icon) of one field
// of one object. TVlaControl shows the field and takes double-click input
// and right-drag increments; TSMultiControl prefers the object's real-time
// status object and listens to its status bits; TSRtField and TVelaControl
// are the published forms the frames place.
#include <QColor>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "browser/BoundField.h"
#include "browser/VelaEdit.h"
#include "framework/VelaTypes.h"
#include "platform/Messages.h"

namespace vela {

class TVelaObject;
class TRealTime;
class TVelaMenuItem;

enum TSmode : uint8_t { Mode_Button, Mode_Fader };
enum TBorderStyle : uint8_t { bsNone, bsSingle };

using TOnGetFF = std::function<QString(QObject* Sender, TSFieldKind FK, uint8_t FID)>;
using TOnRealTimeChanged =
    std::function<void(QObject* Sender, TVelaObject* RefObject, TStBits StatDirty, TDtBits DatDirty, bool& DoDefault)>;
using TOnIncrement = std::function<bool(QObject* Sender, int& IncX, int& IncY)>;
using TVlaPaintIcon = std::function<bool(QObject* Sender, QRect& R)>;
using TOnExecute = std::function<void(QObject* Sender, Qt::KeyboardModifiers Shift, int Arg)>;
using TCustomDrawEvent = std::function<void(QObject* Sender, bool& DrawDefault)>;
using TNotifyEvent = std::function<void(QObject* Sender)>;

class TVlaControl : public QWidget, public TMessageReceiver {
 public:
  explicit TVlaControl(QWidget* Parent = nullptr);
  ~TVlaControl() override;

  // ---- binding and field
  TVelaObject* VlaObject() const { return fBinding.Object(); }
  virtual void SetVlaObject(TVelaObject* Obj);
  uint32_t FieldId() const { return fFieldId; }
  void SetFieldId(uint32_t Id);
  TSFieldKind FieldKind() const { return fFieldKind; }
  void SetFieldKind(TSFieldKind Kind);
  // A raw storage location shown instead of the object's field.
  void* DirectPointer() const { return fDirectPointer; }
  void SetDirectPointer(void* Ptr);

  // ---- look
  TAlignment Alignment() const { return fAlignment; }
  void SetAlignment(TAlignment v) {
    fAlignment = v;
    update();
  }
  bool AutoPaintIcon() const { return fAutoPaintIcon; }
  void SetAutoPaintIcon(bool v) {
    fAutoPaintIcon = v;
    update();
  }
  QColor Color() const { return fColor; }
  void SetColor(const QColor& v) {
    fColor = v;
    update();
  }
  // Stored and copied only.
  QColor BackColor() const { return fBackColor; }
  void SetBackColor(const QColor& v) { fBackColor = v; }
  TSmode Mode() const { return fMode; }
  void SetMode(TSmode v) { fMode = v; }
  bool CustomDraw() const { return fCustomDraw; }
  void SetCustomDraw(bool v) { fCustomDraw = v; }
  uint8_t Rounding() const { return fRounding; }
  void SetRounding(uint8_t v) {
    fRounding = v;
    update();
  }
  bool Transparent() const { return fTransparent; }
  void SetTransparent(bool v) {
    fTransparent = v;
    update();
  }
  bool WordWrap() const { return fWordWrap; }
  void SetWordWrap(bool v) {
    fWordWrap = v;
    update();
  }
  int MarginHorizontal() const { return fMarginH; }
  void SetMarginHorizontal(int v) {
    fMarginH = v;
    update();
  }
  int MarginVertical() const { return fMarginV; }
  void SetMarginVertical(int v) {
    fMarginV = v;
    update();
  }
  TBorderStyle BorderStyle() const { return fBorderStyle; }
  void SetBorderStyle(TBorderStyle v) {
    fBorderStyle = v;
    update();
  }

  // ---- behaviour
  bool DirectInput() const { return fDirectInput; }
  void SetDirectInput(bool v) { fDirectInput = v; }
  bool EditAllowed() const { return fEditAllowed; }
  void SetEditAllowed(bool v) { fEditAllowed = v; }
  bool InputAsPercent() const { return fInputAsPercent; }
  void SetInputAsPercent(bool v) { fInputAsPercent = v; }
  // Follow the object's notifications (join the view list while bound).
  bool ListenData() const { return fBinding.ListenData(); }
  void SetListenData(bool v);
  bool WheelInc() const { return fWheelInc; }
  void SetWheelInc(bool v) { fWheelInc = v; }
  bool PickPopupActive() const { return fPickPopupActive; }
  void SetPickPopupActive(bool v) { fPickPopupActive = v; }
  bool PushDown() const { return fPushDown; }
  void SetPushDown(bool v);
  Qt::KeyboardModifiers DownShiftState() const { return fDownShift; }

  // The text shown (after UpdateData).
  QString Text() const { return fText; }
  // Reads the field again and repaints.
  virtual void UpdateData();

  TCustomDrawEvent OnCustomDraw;
  TNotifyEvent OnDataChanged;
  TNotifyEvent OnDoubleClick;
  TNotifyEvent OnDoubleClickUp;
  TOnExecute OnExecute;
  TOnGetFF OnGetFF;
  TOnIncrement OnIncrement;
  TVlaPaintIcon OnPaintIcon;
  TNotifyEvent OnPushDown;
  TsaOnSetField OnSetField;
  TNotifyEvent onclick;

  void Dispatch(TMessage& Message) override;

 protected:
  // The text of the field as this control reads it.
  QString FieldText();
  virtual void ObjectNotified(uint32_t Msg);
  virtual void StatusDelivered(TStBits Status, TDtBits Data);
  bool Increment(int IncX, int IncY);
  // The double-click input of the numeric input box.
  void DirectEntry();

  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

  // The object, the view list while it listens, the status list for
  // TSMultiControl, the right-drag trap.
  TBoundField fBinding{this, false};
  uint32_t fFieldId = 0;
  TSFieldKind fFieldKind = FK_Text;
  void* fDirectPointer = nullptr;
  QString fText;

  TAlignment fAlignment = taLeftJustify;
  bool fAutoPaintIcon = false;
  QColor fColor = Qt::white;
  QColor fBackColor = Qt::white;
  TSmode fMode = Mode_Button;
  bool fCustomDraw = false;
  uint8_t fRounding = 0;
  bool fTransparent = false;
  bool fWordWrap = false;
  int fMarginH = 2;
  int fMarginV = 2;
  TBorderStyle fBorderStyle = bsNone;
  bool fDirectInput = false;
  bool fEditAllowed = false;
  bool fInputAsPercent = false;
  bool fWheelInc = false;
  bool fPickPopupActive = false;
  bool fPushDown = false;
  bool fAfterDoubleClick = false;
  Qt::KeyboardModifiers fDownShift;
};

class TSMultiControl : public TVlaControl {
 public:
  explicit TSMultiControl(QWidget* Parent = nullptr);
  ~TSMultiControl() override;

  // Binds the object's real-time status object when it has one.
  void SetVlaObject(TVelaObject* Obj) override;
  // The bound object as a real-time object, or null.
  TRealTime* RTObject() const;
  bool DisplayData() const { return fDisplayData; }
  void SetDisplayData(bool v);
  TStBits StatusBits() const { return fBinding.StatusBits(); }
  void SetStatusBits(TStBits v);
  TDtBits StatusDataBits() const { return fBinding.StatusDataBits(); }
  void SetStatusDataBits(TDtBits v);

  void UpdateData() override;
  // Copies look, events and status settings from another control.
  void Assign(const TSMultiControl& From);

  TOnRealTimeChanged OnRealTimeChanged;
  TNotifyEvent OnDestroy;

 protected:
  void StatusDelivered(TStBits Status, TDtBits Data) override;
  // OnRealTimeChanged, or the default display.
  void RealTimeChanged(TStBits Status, TDtBits Data);

  bool fDisplayData = true;
};

// The published real-time field.
class TSRtField : public TSMultiControl {
 public:
  using TSMultiControl::TSMultiControl;
};

// The caption control the frames place (IP address buttons and the like).
class TVelaControl : public TSRtField {
 public:
  using TSRtField::TSRtField;
  // Asked before the field menu pops up; setting Handled keeps it closed.
  std::function<void(QObject* Sender, const QPoint& MousePos, bool& Handled)> OnContextPopup;
};

// Binds a caption control (other widgets are left alone).
void BindVelaControl(QWidget* Control, TVelaObject* Obj);

}  // namespace vela
