#include "browser/VelaControls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstring>

#include "browser/ControlMenus.h"
#include "browser/InpEntry.h"
#include "framework/FieldValues.h"
#include "framework/SConstants.h"
#include "framework/velaobject.h"

namespace vela {

namespace {

constexpr int kDragDistance = 5;

}  // namespace

TVlaControl::TVlaControl(QWidget* Parent) : QWidget(Parent) {
  resize(24, 24);
  setMouseTracking(false);
}

TVlaControl::~TVlaControl() { fBinding.Release(); }

void TVlaControl::SetVlaObject(TVelaObject* Obj) {
  if (fBinding.Bind(Obj)) UpdateData();
}

void TVlaControl::SetListenData(bool v) {
  fBinding.SetListenData(v);
  UpdateData();
}

void TVlaControl::SetFieldId(uint32_t Id) {
  fFieldId = Id;
  UpdateData();
}

void TVlaControl::SetFieldKind(TSFieldKind Kind) {
  fFieldKind = Kind;
  UpdateData();
}

void TVlaControl::SetDirectPointer(void* Ptr) {
  fDirectPointer = Ptr;
  UpdateData();
}

void TVlaControl::SetPushDown(bool v) {
  if (v == fPushDown) return;
  fPushDown = v;
  if (v && OnPushDown) OnPushDown(this);
  update();
}

QString TVlaControl::FieldText() {
  if (fDirectPointer) return FormatFieldValue(fDirectPointer, fFieldKind);
  if (OnGetFF) return OnGetFF(this, fFieldKind, static_cast<uint8_t>(fFieldId));
  if (TVelaObject* obj = VlaObject()) return obj->FF(fFieldKind, fFieldId, 0, 0);
  return {};
}

void TVlaControl::UpdateData() {
  if (OnDataChanged) OnDataChanged(this);
  fText = FieldText();
  update();
}

void TVlaControl::ObjectNotified(uint32_t Msg) {
  switch (Msg) {
    case SOM_DataChanged:
    case SOM_NameChanged:
    case SOM_DataInc: UpdateData(); break;
    default: break;
  }
}

void TVlaControl::StatusDelivered(TStBits, TDtBits) { UpdateData(); }

void TVlaControl::Dispatch(TMessage& Message) {
  auto* obj = reinterpret_cast<TVelaObject*>(Message.WParam);
  switch (Message.Msg) {
    case CM_BindObject: SetVlaObject(obj); return;
    case CM_ExecuteRequest:
      if (Message.WParam == 1 && OnExecute) OnExecute(this, Qt::NoModifier, 1);
      if (Message.WParam == 2 && OnExecute) OnExecute(this, Qt::NoModifier, 0);
      // 4 asks for a pick from a list; this system offers none.
      Message.Result = reinterpret_cast<intptr_t>(static_cast<QWidget*>(this));
      return;
    case SOM_StatusDirty: {
      TStBits status;
      TDtBits data;
      if (fBinding.StatusReport(Message, status, data)) StatusDelivered(status, data);
      return;
    }
    case SOM_Exchanged:
      if (TVelaObject* to = nullptr; fBinding.Exchanged(Message, to)) SetVlaObject(to);
      return;
    case SOM_ToBeDeleted:
      if (fBinding.GoesWith(obj)) SetVlaObject(nullptr);
      return;
    default:
      if (fBinding.Holds(obj)) ObjectNotified(Message.Msg);
      return;
  }
}

bool TVlaControl::Increment(int IncX, int IncY) {
  if (OnIncrement) return fBinding.Incremented(OnIncrement(this, IncX, IncY));
  return fBinding.Increment(this, {}, fFieldKind, fFieldId, IncX, IncY);
}

void TVlaControl::DirectEntry() {
  TVelaObject* obj = VlaObject();
  if (!fDirectInput || !obj || !InpEntryReady(false)) return;
  uint8_t data[kMaxFieldData] = {};
  switch (fFieldKind) {
    case FK_Word: {
      int32_t v = InpEntryTall(true);
      // A percentage becomes a byte level spread over the word's range.
      if (fInputAsPercent) v = static_cast<int32_t>(std::lround(v * 255.0 / 100.0)) * 257;
      const uint16_t w = static_cast<uint16_t>(std::clamp(v, 0, 65535));
      std::memcpy(data, &w, 2);
      break;
    }
    case FK_Integer: {
      const int32_t v = InpEntryTall(true);
      std::memcpy(data, &v, 4);
      break;
    }
    case FK_TimeDate: {
      const double t = InpEntryTimeValue(true);
      std::memcpy(data, &t, 8);
      break;
    }
    default: return;  // picking from a list: none is offered
  }
  if (OnSetField)
    OnSetField(this, obj, fFieldKind, fFieldId, data);
  else
    obj->DoSetField(true, fFieldKind, fFieldId, data, 0, 0);
}

void TVlaControl::paintEvent(QPaintEvent*) {
  bool drawDefault = true;
  if (OnCustomDraw) OnCustomDraw(this, drawDefault);
  if (!drawDefault) return;
  QPainter p(this);
  QRect r = rect();
  if (fRounding > 0) {
    QPainterPath clip;
    clip.addRoundedRect(r, fRounding, fRounding);
    p.setClipPath(clip);
  }
  if (!fTransparent) {
    if (fBorderStyle == bsSingle) {
      p.setPen(palette().color(QPalette::WindowText));
      p.setBrush(fColor);
      p.drawRect(r.adjusted(0, 0, -1, -1));
    } else {
      p.fillRect(r, fColor);
    }
  }
  QRect icon(r.left() + 1, r.top() + 1, r.height() - 2, r.height() - 2);
  bool painted = false;
  if (OnPaintIcon)
    painted = OnPaintIcon(this, icon);
  else if (fAutoPaintIcon && VlaObject())
    painted = VlaObject()->PaintImage(&p, icon, fFieldKind, fFieldId, 0, nullptr);
  if (painted && !OnPaintIcon) {
    p.setPen(palette().color(QPalette::Mid));
    p.setBrush(Qt::NoBrush);
    p.drawRect(icon.adjusted(0, 0, -1, -1));
  }
  QRect textRect = r.adjusted(fMarginH, fMarginV, -fMarginH, -fMarginV);
  if (painted) textRect.setLeft(icon.right() + 1 + fMarginH);
  int flags = fAlignment == taRightJustify ? Qt::AlignRight : fAlignment == taCenter ? Qt::AlignHCenter : Qt::AlignLeft;
  flags |= fWordWrap ? (Qt::TextWordWrap | Qt::AlignTop) : (Qt::TextSingleLine | Qt::AlignVCenter);
  p.setPen(palette().color(QPalette::WindowText));
  p.drawText(textRect, flags, fText);
}

void TVlaControl::mousePressEvent(QMouseEvent* e) {
  fDownShift = e->modifiers();
  if (e->button() == Qt::LeftButton && !(e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)))
    SetPushDown(true);
  if (e->button() == Qt::RightButton && fWheelInc) fBinding.BeginTrap(this, e);
  e->accept();
}

void TVlaControl::mouseMoveEvent(QMouseEvent* e) {
  fBinding.TrapMove(e, [this](int IncX, int IncY) { return Increment(IncX, IncY); });
  e->accept();
}

void TVlaControl::mouseReleaseEvent(QMouseEvent* e) {
  SetPushDown(false);
  if (e->button() == Qt::RightButton) {
    const bool incremented = fBinding.EndTrapLocal(fFieldKind, fFieldId);
    // A right click that did not increment offers the field menu.
    if (!incremented) {
      bool handled = false;
      if (auto* self = dynamic_cast<TVelaControl*>(this); self && self->OnContextPopup)
        self->OnContextPopup(this, e->pos(), handled);
      if (!handled) ShowFieldMenu(VlaObject(), this, fFieldKind, fFieldId, nullptr, e->pos().x(), e->pos().y());
    }
    e->accept();
    return;
  }
  if (e->button() == Qt::LeftButton) {
    if (fAfterDoubleClick) {
      fAfterDoubleClick = false;
      if (OnDoubleClickUp)
        OnDoubleClickUp(this);
      else
        DirectEntry();
    } else if (onclick && rect().contains(e->pos())) {
      onclick(this);
    }
  }
  e->accept();
}

void TVlaControl::mouseDoubleClickEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  if (OnDoubleClick)
    OnDoubleClick(this);
  else
    fAfterDoubleClick = true;
  e->accept();
}

// ---------------------------------------------------------------------------

TSMultiControl::TSMultiControl(QWidget* Parent) : TVlaControl(Parent) {}

TSMultiControl::~TSMultiControl() {
  if (OnDestroy) OnDestroy(this);
}

TRealTime* TSMultiControl::RTObject() const { return fBinding.RealTime(); }

void TSMultiControl::SetVlaObject(TVelaObject* Obj) {
  if (fBinding.BindRealTime(Obj)) RealTimeChanged({}, {});
}

void TSMultiControl::SetStatusBits(TStBits v) { fBinding.SetStatusBits(v); }

void TSMultiControl::SetStatusDataBits(TDtBits v) { fBinding.SetStatusDataBits(v); }

void TSMultiControl::SetDisplayData(bool v) {
  fDisplayData = v;
  UpdateData();
}

void TSMultiControl::UpdateData() {
  if (OnDataChanged) OnDataChanged(this);
  if (fDisplayData)
    fText = FieldText();
  else
    fText.clear();
  update();
}

void TSMultiControl::RealTimeChanged(TStBits Status, TDtBits Data) {
  bool doDefault = true;
  if (OnRealTimeChanged) {
    doDefault = false;
    OnRealTimeChanged(this, VlaObject(), Status, Data, doDefault);
  }
  if (!doDefault) return;
  TVelaObject* obj = VlaObject();
  if (OnGetFF)
    fText = OnGetFF(this, fFieldKind, static_cast<uint8_t>(fFieldId));
  else if (obj && fFieldKind != FK_Undefined && fDisplayData)
    fText = obj->FF(fFieldKind, fFieldId, 0, 0);
  else if (!obj)
    fText.clear();
  update();
}

void TSMultiControl::StatusDelivered(TStBits Status, TDtBits Data) { RealTimeChanged(Status, Data); }

void TSMultiControl::Assign(const TSMultiControl& From) {
  fWordWrap = From.fWordWrap;
  fBinding.CopyStatusBits(From.fBinding);
  OnRealTimeChanged = From.OnRealTimeChanged;
  OnGetFF = From.OnGetFF;
  OnPaintIcon = From.OnPaintIcon;
  OnDataChanged = From.OnDataChanged;
  OnIncrement = From.OnIncrement;
  OnSetField = From.OnSetField;
  OnPushDown = From.OnPushDown;
  OnExecute = From.OnExecute;
  onclick = From.onclick;
  OnDoubleClick = From.OnDoubleClick;
  OnDoubleClickUp = From.OnDoubleClickUp;
  fDisplayData = From.fDisplayData;
  fPushDown = From.fPushDown;
  fColor = From.fColor;
  fBackColor = From.fBackColor;
  fMode = From.fMode;
  fBorderStyle = From.fBorderStyle;
  fRounding = From.fRounding;
  fAlignment = From.fAlignment;
  resize(From.size());
  fBinding.UpdateStatusRegistration();
  update();
}

void BindVelaControl(QWidget* Control, TVelaObject* Obj) {
  if (auto* c = dynamic_cast<TVlaControl*>(Control)) c->SetVlaObject(Obj);
}

}  // namespace vela
