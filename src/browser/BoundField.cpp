#include "browser/BoundField.h"

#include <QMouseEvent>
#include <QWidget>

#include "framework/RealTime.h"
#include "framework/StatusList.h"
#include "framework/ViewList.h"
#include "framework/velaobject.h"

namespace vela {

TRealTime* TBoundField::RealTime() const {
  return fObject && fObject->InheritsFrom(TRealTime::StaticClass()) ? static_cast<TRealTime*>(fObject) : nullptr;
}

TVelaObject* TBoundField::RealTimeTarget(TVelaObject* Obj) { return Obj && Obj->GetSRtl() ? Obj->GetSRtl() : Obj; }

void TBoundField::UpdateViewRegistration() {
  const bool want = fObject && fListenData;
  if (want == fRegistered) return;
  if (want)
    RegisterView(fOwner);
  else
    UnregisterView(fOwner);
  fRegistered = want;
}

bool TBoundField::Bind(TVelaObject* Obj) {
  if (Obj == fObject) return false;
  // Leave the view list before the object changes, join again after.
  if (fRegistered) {
    UnregisterView(fOwner);
    fRegistered = false;
  }
  fObject = Obj;
  UpdateViewRegistration();
  return true;
}

bool TBoundField::BindRealTime(TVelaObject* Obj) {
  if (!Bind(RealTimeTarget(Obj))) return false;
  UpdateStatusRegistration();
  return true;
}

void TBoundField::SetListenData(bool v) {
  fListenData = v;
  UpdateViewRegistration();
}

void TBoundField::SetStatusBits(TStBits v) {
  fStatusBits = v;
  UpdateStatusRegistration();
}

void TBoundField::SetStatusDataBits(TDtBits v) {
  fStatusDataBits = v;
  UpdateStatusRegistration();
}

void TBoundField::CopyStatusBits(const TBoundField& From) {
  fStatusBits = From.fStatusBits;
  fStatusDataBits = From.fStatusDataBits;
}

void TBoundField::UpdateStatusRegistration() {
  TStatuslist* list = TheStatusList();
  if (!list) return;
  list->RemoveStatusListener(fOwner, false);
  if (TRealTime* rt = RealTime(); rt && (!fStatusBits.Empty() || !fStatusDataBits.Empty()))
    list->AddStatusListener(rt, fOwner, fStatusDataBits, fStatusBits);
}

void TBoundField::Release() {
  fTrap.End();
  if (fRegistered) UnregisterView(fOwner);
  fRegistered = false;
  fObject = nullptr;
  if (auto* list = TheStatusList()) list->RemoveStatusListener(fOwner, false);
}

bool TBoundField::GoesWith(const TVelaObject* Obj) const {
  return fObject && Obj && (Obj == fObject || fObject->HasOwner(Obj));
}

bool TBoundField::Exchanged(const TMessage& Message, TVelaObject*& Rebind) const {
  const auto* obj = reinterpret_cast<const TVelaObject*>(Message.WParam);
  // The replacement takes the place of the bound object; an object owned by
  // the replaced one goes with it.
  if (fObject && obj == fObject) {
    Rebind = reinterpret_cast<TVelaObject*>(Message.LParam);
    return true;
  }
  if (fObject && obj && fObject->HasOwner(obj)) {
    Rebind = nullptr;
    return true;
  }
  return false;
}

bool TBoundField::ReportsOn(const TMessage& Message) const {
  // From the status list the source is the object; a broadcast names it.
  return fObject && (StatusMessageSource(Message) == static_cast<void*>(fObject) ||
                     reinterpret_cast<TVelaObject*>(Message.WParam) == fObject);
}

bool TBoundField::StatusReport(const TMessage& Message, TStBits& Status, TDtBits& Data) const {
  if (!fObject) return false;
  const TRealTime* source = StatusMessageSource(Message);
  if (source == static_cast<void*>(fObject)) {
    Status = TStBits::FromBits(static_cast<uint32_t>(Message.WParam));
    Data = TDtBits::FromBits(static_cast<uint32_t>(Message.LParam));
    return true;
  }
  if (!source && reinterpret_cast<TVelaObject*>(Message.WParam) == fObject) {
    Status = {};
    Data = {};
    return true;
  }
  return false;
}

bool TBoundField::Incremented(bool Changed) {
  if (Changed) fTrap.MarkIncremented();
  return Changed;
}

bool TBoundField::Increment(QObject* Sender, const TsaInIncField& Hook, TSFieldKind Kind, uint32_t Id, int IncX,
                            int IncY) {
  bool changed = false;
  if (Hook)
    changed = Hook(Sender, fObject, Kind, Id, IncX, IncY);
  else if (fObject)
    changed = fObject->DoIncField(true, Kind, Id, IncX, IncY);
  return Incremented(changed);
}

void TBoundField::BeginTrap(QWidget* Control, const QMouseEvent* e) {
  fTrap.Begin(Control, e->globalPosition().toPoint());
}

bool TBoundField::TrapMove(const QMouseEvent* e, const std::function<bool(int IncX, int IncY)>& Inc) {
  if (!fTrap.Active()) return false;
  const QPoint d = fTrap.Move(e->globalPosition().toPoint());
  if (d.y() != 0) Inc(-d.x(), -d.y());
  return true;
}

bool TBoundField::EndTrapLocal(TSFieldKind Kind, uint32_t Id) {
  const bool incremented = fTrap.End();
  if (incremented && fObject) {
    fObject->SetDataChangedLocal(true, Kind, Id);
    ProcessPendingMessages();
  }
  return incremented;
}

}  // namespace vela
