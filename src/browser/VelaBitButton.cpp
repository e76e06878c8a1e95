#include "browser/VelaBitButton.h"

#include <QContextMenuEvent>
#include <QIcon>
#include <QMouseEvent>

#include "browser/ControlMenus.h"
#include "framework/FrameworkHooks.h"
#include "framework/RealTime.h"
#include "framework/SConstants.h"
#include "framework/velaobject.h"

namespace vela {

TSaBitButton::TSaBitButton(QWidget* Parent) : QPushButton(Parent) {
  connect(this, &QPushButton::clicked, this, [this] { Clicked(); });
}

TSaBitButton::~TSaBitButton() { fBinding.Release(); }

TRealTime* TSaBitButton::RTObject() const { return fBinding.RealTime(); }

void TSaBitButton::SetVlaObject(TVelaObject* Obj) {
  if (!fBinding.BindRealTime(Obj)) return;
  if (TVelaObject* obj = VlaObject(); !obj) {
    setText(QString());
    if (fAutoIcon || fNoIconOnNil) SetImageIndex(-1);
  } else if (fAutoIcon) {
    SetImageIndex(obj->GetImageindex(fIconExpanded));
  }
  UpdateDisplay();
}

void TSaBitButton::SetListenData(bool v) {
  fBinding.SetListenData(v);
  UpdateDisplay();
}

void TSaBitButton::SetStatusBits(TStBits v) { fBinding.SetStatusBits(v); }

void TSaBitButton::SetStatusDataBits(TDtBits v) { fBinding.SetStatusDataBits(v); }

void TSaBitButton::SetImageIndex(int Index) {
  fImageIndex = Index;
  auto& icon = FrameworkHooks().Icon;
  setIcon(Index >= 0 && icon ? icon(0, Index) : QIcon());
}

void TSaBitButton::UpdateDisplay() {
  if (OnDataChanged) OnDataChanged(this);
  if (OnGetFF) {
    setText(OnGetFF(this, fFieldKind, static_cast<uint8_t>(fFieldId)));
  } else if (TVelaObject* obj = VlaObject(); ListenData() && obj) {
    TLParam props;
    props.FK = fFieldKind;
    props.ID = fFieldId;
    props.DisplayFk = fFieldKind;
    props.DisplayId = fFieldId;
    TParamsOpt opt;
    InitParamsOpt(opt);
    setText(obj->FFProps(props, &opt));
    if (opt.CurrentImageIndex >= -1) SetImageIndex(opt.CurrentImageIndex);
  }
}

void TSaBitButton::Clicked() {
  TVelaObject* obj = VlaObject();
  if (!obj || !fDoToggleStBits) return;
  if (fFieldKind == FK_Bool) {
    obj->ToggleBool(true, fFieldId);
  } else if (TRealTime* rt = RTObject(); rt && !StatusBits().Empty()) {
    rt->SetStatus(StatusBits(), !rt->GetStatus(StatusBits()));
  }
  if (OnRealTimeChanged) {
    bool doDefault = false;
    OnRealTimeChanged(this, obj, StatusBits(), StatusDataBits(), doDefault);
  }
}

bool TSaBitButton::Increment(int IncX, int IncY) {
  return fBinding.Increment(this, onIncField, fFieldKind, fFieldId, IncX, IncY);
}

void TSaBitButton::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::RightButton && fWheelInc) {
    fBinding.BeginTrap(this, e);
    e->accept();
    return;
  }
  QPushButton::mousePressEvent(e);
}

void TSaBitButton::mouseMoveEvent(QMouseEvent* e) {
  if (fBinding.TrapMove(e, [this](int IncX, int IncY) { return Increment(IncX, IncY); })) {
    e->accept();
    return;
  }
  QPushButton::mouseMoveEvent(e);
}

void TSaBitButton::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::RightButton && fBinding.Trap().Active()) {
    if (fBinding.Trap().End() && VlaObject()) VlaObject()->SetDataChanged(fFieldKind, fFieldId, true);
    e->accept();
    return;
  }
  QPushButton::mouseReleaseEvent(e);
}

void TSaBitButton::contextMenuEvent(QContextMenuEvent* e) {
  // A right drag that just ended is not a menu request.
  if (fWheelInc && e->reason() == QContextMenuEvent::Mouse) {
    e->accept();
    return;
  }
  ShowFieldMenu(VlaObject(), this, fFieldKind, fFieldId, nullptr, e->pos().x(), e->pos().y(), OnCreatePopupMenu);
  e->accept();
}

void TSaBitButton::Dispatch(TMessage& Message) {
  auto* obj = reinterpret_cast<TVelaObject*>(Message.WParam);
  switch (Message.Msg) {
    case CM_BindObject: SetVlaObject(obj); return;
    case SOM_StatusDirty: {
      TStBits status;
      TDtBits data;
      if (!fBinding.StatusReport(Message, status, data)) return;
      bool doDefault = true;
      if (OnRealTimeChanged) {
        doDefault = false;
        OnRealTimeChanged(this, VlaObject(), status, data, doDefault);
      }
      if (doDefault) {
        UpdateDisplay();
        update();
      }
      return;
    }
    case SOM_Exchanged:
      if (TVelaObject* to = nullptr; fBinding.Exchanged(Message, to)) SetVlaObject(to);
      return;
    case SOM_ToBeDeleted:
      if (fBinding.GoesWith(obj)) SetVlaObject(nullptr);
      return;
    case SOM_DataChanged:
    case SOM_NameChanged:
    case SOM_DataInc:
      if (fBinding.Holds(obj)) UpdateDisplay();
      return;
    default: return;
  }
}

}  // namespace vela
