#include "browser/VelaBitButton.h"

#include <QContextMenuEvent>
#include <QIcon>
#include <QMouseEvent>

#include "browser/ControlMenus.h"
#include "framework/FrameworkHooks.h"
#include "framework/RealTime.h"
#include "framework/SConstants.h"
#include "framework/StatusList.h"
#include "framework/ViewList.h"
#include "framework/velaobject.h"

namespace vela {

TSaBitButton::TSaBitButton(QWidget* Parent) : QPushButton(Parent) {
  connect(this, &QPushButton::clicked, this, [this] { Clicked(); });
}

TSaBitButton::~TSaBitButton() {
  fTrap.End();
  if (fRegistered) UnregisterView(this);
  if (auto* list = TheStatusList()) list->RemoveStatusListener(this, false);
}

TRealTime* TSaBitButton::RTObject() const {
  return fObject && fObject->InheritsFrom(TRealTime::StaticClass()) ? static_cast<TRealTime*>(fObject) : nullptr;
}

void TSaBitButton::UpdateViewRegistration() {
  const bool want = fObject && fListenData;
  if (want == fRegistered) return;
  if (want)
    RegisterView(this);
  else
    UnregisterView(this);
  fRegistered = want;
}

void TSaBitButton::UpdateStatusRegistration() {
  TStatuslist* list = TheStatusList();
  if (!list) return;
  list->RemoveStatusListener(this, false);
  if (TRealTime* rt = RTObject(); rt && (!fStatusBits.Empty() || !fStatusDataBits.Empty()))
    list->AddStatusListener(rt, this, fStatusDataBits, fStatusBits);
}

void TSaBitButton::SetVlaObject(TVelaObject* Obj) {
  TVelaObject* target = Obj && Obj->GetSRtl() ? Obj->GetSRtl() : Obj;
  if (target == fObject) return;
  if (fRegistered) {
    UnregisterView(this);
    fRegistered = false;
  }
  fObject = target;
  UpdateViewRegistration();
  UpdateStatusRegistration();
  if (!fObject) {
    setText(QString());
    if (fAutoIcon || fNoIconOnNil) SetImageIndex(-1);
  } else if (fAutoIcon) {
    SetImageIndex(fObject->GetImageindex(fIconExpanded));
  }
  UpdateDisplay();
}

void TSaBitButton::SetListenData(bool v) {
  fListenData = v;
  UpdateViewRegistration();
  UpdateDisplay();
}

void TSaBitButton::SetStatusBits(TStBits v) {
  fStatusBits = v;
  UpdateStatusRegistration();
}

void TSaBitButton::SetStatusDataBits(TDtBits v) {
  fStatusDataBits = v;
  UpdateStatusRegistration();
}

void TSaBitButton::SetImageIndex(int Index) {
  fImageIndex = Index;
  auto& icon = FrameworkHooks().Icon;
  setIcon(Index >= 0 && icon ? icon(0, Index) : QIcon());
}

void TSaBitButton::UpdateDisplay() {
  if (OnDataChanged) OnDataChanged(this);
  if (OnGetFF) {
    setText(OnGetFF(this, fFieldKind, static_cast<uint8_t>(fFieldId)));
  } else if (fListenData && fObject) {
    TLParam props;
    props.FK = fFieldKind;
    props.ID = fFieldId;
    props.DisplayFk = fFieldKind;
    props.DisplayId = fFieldId;
    TParamsOpt opt;
    InitParamsOpt(opt);
    setText(fObject->FFProps(props, &opt));
    if (opt.CurrentImageIndex >= -1) SetImageIndex(opt.CurrentImageIndex);
  }
}

void TSaBitButton::Clicked() {
  if (!fObject || !fDoToggleStBits) return;
  if (fFieldKind == FK_Bool) {
    fObject->ToggleBool(true, fFieldId);
  } else if (TRealTime* rt = RTObject(); rt && !fStatusBits.Empty()) {
    rt->SetStatus(fStatusBits, !rt->GetStatus(fStatusBits));
  }
  if (OnRealTimeChanged) {
    bool doDefault = false;
    OnRealTimeChanged(this, fObject, fStatusBits, fStatusDataBits, doDefault);
  }
}

bool TSaBitButton::Increment(int IncX, int IncY) {
  bool changed = false;
  if (onIncField)
    changed = onIncField(this, fObject, fFieldKind, fFieldId, IncX, IncY);
  else if (fObject)
    changed = fObject->DoIncField(true, fFieldKind, fFieldId, IncX, IncY);
  if (changed) fTrap.MarkIncremented();
  return changed;
}

void TSaBitButton::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::RightButton && fWheelInc) {
    fTrap.Begin(this, e->globalPosition().toPoint());
    e->accept();
    return;
  }
  QPushButton::mousePressEvent(e);
}

void TSaBitButton::mouseMoveEvent(QMouseEvent* e) {
  if (fTrap.Active()) {
    const QPoint d = fTrap.Move(e->globalPosition().toPoint());
    if (d.y() != 0) Increment(-d.x(), -d.y());
    e->accept();
    return;
  }
  QPushButton::mouseMoveEvent(e);
}

void TSaBitButton::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::RightButton && fTrap.Active()) {
    if (fTrap.End() && fObject) fObject->SetDataChanged(fFieldKind, fFieldId, true);
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
  ShowFieldMenu(fObject, this, fFieldKind, fFieldId, nullptr, e->pos().x(), e->pos().y(), OnCreatePopupMenu);
  e->accept();
}

void TSaBitButton::Dispatch(TMessage& Message) {
  auto* obj = reinterpret_cast<TVelaObject*>(Message.WParam);
  switch (Message.Msg) {
    case CM_BindObject: SetVlaObject(obj); return;
    case SOM_StatusDirty: {
      if (!fObject) return;
      const TRealTime* source = StatusMessageSource(Message);
      if (source != static_cast<void*>(fObject) && !(!source && obj == fObject)) return;
      bool doDefault = true;
      if (OnRealTimeChanged) {
        doDefault = false;
        OnRealTimeChanged(this, fObject, TStBits::FromBits(static_cast<uint32_t>(source ? Message.WParam : 0)),
                          TDtBits::FromBits(static_cast<uint32_t>(source ? Message.LParam : 0)), doDefault);
      }
      if (doDefault) {
        UpdateDisplay();
        update();
      }
      return;
    }
    case SOM_Exchanged:
      if (fObject && obj == fObject)
        SetVlaObject(reinterpret_cast<TVelaObject*>(Message.LParam));
      else if (fObject && obj && fObject->HasOwner(obj))
        SetVlaObject(nullptr);
      return;
    case SOM_ToBeDeleted:
      if (fObject && obj && (obj == fObject || fObject->HasOwner(obj))) SetVlaObject(nullptr);
      return;
    case SOM_DataChanged:
    case SOM_NameChanged:
    case SOM_DataInc:
      if (fObject && obj == fObject) UpdateDisplay();
      return;
    default: return;
  }
}

}  // namespace vela
