#pragma once
// What the field-bound controls share: the bound object, the control's place
// in the view list (while it holds an object and listens) and in the status
// list (for the bound real-time object and the control's status bits), the
// right-drag trap and the increments it drives. A control holds one as a
// member, names itself as the owner and refreshes its own display after a
// call here changed the binding.
#include <QPoint>
#include <cstdint>
#include <functional>

#include "browser/IncrementTrap.h"
#include "framework/VelaTypes.h"
#include "platform/Messages.h"

class QMouseEvent;
class QObject;
class QWidget;

namespace vela {

class TRealTime;
class TVelaObject;

// A control's increment hook (Sender, object, kind, id, IncX, IncY): true
// when something changed.
using TsaInIncField = std::function<bool(QObject* Sender, TVelaObject* aObject, TSFieldKind aFieldKind,
                                         uint32_t aFieldid, int IncX, int IncY)>;

class TBoundField {
 public:
  // Owner joins the view list and the status list; with ListenData off it
  // joins the view list only once SetListenData turns it on.
  explicit TBoundField(TMessageReceiver* Owner, bool ListenData = true) : fOwner(Owner), fListenData(ListenData) {}
  TBoundField(const TBoundField&) = delete;
  TBoundField& operator=(const TBoundField&) = delete;

  TVelaObject* Object() const { return fObject; }
  // The bound object as a real-time object, or null.
  TRealTime* RealTime() const;
  // What a real-time control binds for Obj: its real-time status object
  // when it has one, else Obj itself.
  static TVelaObject* RealTimeTarget(TVelaObject* Obj);

  // Binds Obj; false, with nothing done, when Obj is bound already. The
  // owner leaves the view list before the object changes and joins again
  // after while it listens. The status list is left as it is.
  bool Bind(TVelaObject* Obj);
  // Bind for the real-time target of Obj, then the status registration.
  bool BindRealTime(TVelaObject* Obj);

  bool ListenData() const { return fListenData; }
  void SetListenData(bool v);

  TStBits StatusBits() const { return fStatusBits; }
  void SetStatusBits(TStBits v);
  TDtBits StatusDataBits() const { return fStatusDataBits; }
  void SetStatusDataBits(TDtBits v);
  // Takes both status bit sets of From without registering them.
  void CopyStatusBits(const TBoundField& From);
  // The owner's status-list registration: for the bound real-time object
  // with the status bits, none without such an object or without bits.
  void UpdateStatusRegistration();

  // Leaves the view list and the status list and lets go of the object;
  // the owner's destructor calls it.
  void Release();

  // ---- the notifications a control reads
  // Obj is the bound object.
  bool Holds(const TVelaObject* Obj) const { return fObject && Obj == fObject; }
  // Obj is the bound object or one of its owners: its deletion takes the
  // bound object with it.
  bool GoesWith(const TVelaObject* Obj) const;
  // SOM_Exchanged: true when the exchange concerns the binding, with what is
  // to be bound now (the replacement of the bound object; nothing when an
  // owner of it was replaced).
  bool Exchanged(const TMessage& Message, TVelaObject*& Rebind) const;
  // SOM_StatusDirty from the status list for the bound object, or one
  // naming it in WParam.
  bool ReportsOn(const TMessage& Message) const;
  // SOM_StatusDirty for the bound object: from the status list (with its
  // dirty bits) or as a broadcast naming it (with none).
  bool StatusReport(const TMessage& Message, TStBits& Status, TDtBits& Data) const;

  // ---- increments
  TIncrementTrap& Trap() { return fTrap; }
  // Marks the trap incremented when Changed; returns Changed.
  bool Incremented(bool Changed);
  // One increment: Hook when set, else the bound object's DoIncField.
  bool Increment(QObject* Sender, const TsaInIncField& Hook, TSFieldKind Kind, uint32_t Id, int IncX, int IncY);
  // Starts the trap for Control at the press position.
  void BeginTrap(QWidget* Control, const QMouseEvent* e);
  // A mouse move while trapped: a vertical movement increments by
  // (-dx, -dy) through Inc. False when no trap is active.
  bool TrapMove(const QMouseEvent* e, const std::function<bool(int IncX, int IncY)>& Inc);
  // Ends the trap; after an increment the bound object hears that its data
  // changed locally (pending messages processed). Returns whether it was
  // incremented.
  bool EndTrapLocal(TSFieldKind Kind, uint32_t Id);

 private:
  void UpdateViewRegistration();

  TMessageReceiver* fOwner;
  TVelaObject* fObject = nullptr;
  bool fListenData;
  bool fRegistered = false;
  TStBits fStatusBits;
  TDtBits fStatusDataBits;
  TIncrementTrap fTrap;
};

}  // namespace vela
