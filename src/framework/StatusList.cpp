#include "framework/StatusList.h"

#include <functional>

#include "framework/RealTime.h"
#include "framework/SConstants.h"
#include "framework/TreeLock.h"

namespace vela {

namespace {

TStatuslist* gStatusList = nullptr;
std::atomic<bool> gStatusByTimer{false};
std::atomic<bool> gStatusClosing{false};
// The message the list is handing to a listener right now (innermost).
thread_local const TStatusMessage* gDelivering = nullptr;

// The real-time object behind Obj; an exception counts as none.
TRealTime* RealTimeOf(TVelaObject* Obj) {
  if (!Obj) return nullptr;
  try {
    TVelaObject* rt = Obj->GetSRtl();
    return rt && rt->InheritsFrom(TRealTime::StaticClass()) ? static_cast<TRealTime*>(rt) : nullptr;
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

TRealTime* StatusMessageSource(const TMessage& Message) {
  return gDelivering && gDelivering == &Message ? gDelivering->Source : nullptr;
}

VELA_CLASS_IMPL(TStatusDirty, TSobject)
VELA_CLASS_IMPL(TStatuslist, TSortedCollection)

class TStatuslist::TListLock {
 public:
  explicit TListLock(TStatuslist& List) : fList(List) { fList.Lock(); }
  ~TListLock() { fList.Unlock(); }
  TListLock(const TListLock&) = delete;
  TListLock& operator=(const TListLock&) = delete;

 private:
  TStatuslist& fList;
};

TStatuslist::TStatuslist() : TSortedCollection(1024, 512) { Duplicates = true; }

TStatuslist::~TStatuslist() {
  if (gStatusList == this) gStatusList = nullptr;
  // The inherited destruction frees the entries.
}

const void* TStatuslist::KeyOf(const void* Item) const {
  return Item ? static_cast<const TStatusDirty*>(Item)->Source : nullptr;
}

int TStatuslist::Compare(const void* Key1, const void* Key2) const {
  // The full reference: a 64-bit address cut to 32 bits could make two
  // sources compare equal.
  if (std::less<const void*>{}(Key1, Key2)) return -1;
  return std::less<const void*>{}(Key2, Key1) ? 1 : 0;
}

void TStatuslist::Lock() {
  Sema.lock();
  ++fStopCount;
}

void TStatuslist::Unlock() {
  --fStopCount;
  Sema.unlock();
}

int TStatuslist::FirstIndexOf(const TRealTime* Source) const {
  int index = 0;
  return Source && Search(Source, index) ? index : -1;
}

TStatusDirty* TStatuslist::FindEntry(const TMessageReceiver* Listener, const TRealTime* Source) const {
  const int first = FirstIndexOf(Source);
  if (first < 0) return nullptr;
  for (int i = first; i < Count(); ++i) {
    TStatusDirty* e = Entry(i);
    if (e->Source != Source) break;
    // A deleted source or a dead listener may share the address of a live
    // one; such entries only wait for the next pass to drop them.
    if (e->Listener == Listener && !e->FSourceDeleted && !e->fListenerAlive.expired()) return e;
  }
  return nullptr;
}

std::vector<TStatusDirty*> TStatuslist::EntriesOf(const TMessageReceiver* Listener) const {
  std::vector<TStatusDirty*> result;
  for (int i = 0; i < Count(); ++i)
    if (Entry(i)->Listener == Listener) result.push_back(Entry(i));
  return result;
}

void TStatuslist::InsertEntry(TStatusDirty* Entry) { Insert(Entry); }

void TStatuslist::TakeOut(TStatusDirty* Entry) {
  const int i = ScanIndexOf(Entry);
  if (i >= 0) AtDelete(i);
}

void TStatuslist::Release(TStatusDirty* Entry) {
  if (Entry->fBusy > 0)
    Entry->fRemoved = true;  // the delivery in progress frees it
  else
    FreeObj(Entry);
}

void TStatuslist::RecomputeSomeDirty() {
  TListLock lock(*this);
  for (int i = 0; i < Count(); ++i) {
    const TStatusDirty* e = Entry(i);
    if (e->Pending() || e->FSourceDeleted || e->fListenerAlive.expired()) {
      fSomeDirty = true;
      return;
    }
  }
}

// ---------------------------------------------------------------------------
// Registration

TStatusDirty* TStatuslist::AddStatusListener(TRealTime* Source, TMessageReceiver* Listener, TDtBits WantStatusData,
                                             TStBits WantStatus) {
  if (!Source || !Listener || (WantStatusData.Empty() && WantStatus.Empty())) return nullptr;
  TListLock lock(*this);
  if (TStatusDirty* e = FindEntry(Listener, Source)) {
    e->WantStatus += WantStatus;
    e->WantStatusData += WantStatusData;
    return e;
  }
  auto* e = SNew<TStatusDirty>();
  e->Listener = Listener;
  e->Source = Source;
  e->WantStatus = WantStatus;
  e->WantStatusData = WantStatusData;
  e->fListenerAlive = Listener->AliveToken();
  InsertEntry(e);
  return e;
}

void TStatuslist::SetWantStatus(TMessageReceiver* Listener, TRealTime* Source, TStBits Mask) {
  TListLock lock(*this);
  if (TStatusDirty* e = FindEntry(Listener, Source)) e->WantStatus = Mask;
}

void TStatuslist::SetWantStatusData(TMessageReceiver* Listener, TRealTime* Source, TDtBits Mask) {
  TListLock lock(*this);
  if (TStatusDirty* e = FindEntry(Listener, Source)) e->WantStatusData = Mask;
}

void TStatuslist::ChangeListenerSource(TMessageReceiver* Listener, TVelaObject* OldSource, TDtBits WantStatusData,
                                       TStBits WantStatus, TVelaObject* NewSource) {
  TRealTime* oldRt = RealTimeOf(OldSource);
  TRealTime* newRt = RealTimeOf(NewSource);
  if (!oldRt) {
    AddStatusListener(newRt, Listener, WantStatusData, WantStatus);
    return;
  }
  if (!newRt) {
    RemoveStatusListener(Listener, false);
    return;
  }
  bool moved = false;
  {
    TListLock lock(*this);
    std::vector<TStatusDirty*> taken;
    for (TStatusDirty* e : EntriesOf(Listener))
      if (e->Source == oldRt && !e->FSourceDeleted) taken.push_back(e);
    for (TStatusDirty* e : taken) TakeOut(e);
    // Inserted again under the new source, so that the order by source holds.
    for (TStatusDirty* e : taken) {
      e->Source = newRt;
      e->WantStatus = WantStatus;
      e->WantStatusData = WantStatusData;
      if (TStatusDirty* existing = FindEntry(Listener, newRt)) {
        // One entry per listener and source: merge into the one there.
        existing->WantStatus = WantStatus;
        existing->WantStatusData = WantStatusData;
        existing->NewStatusDirty += e->NewStatusDirty;
        existing->NewStatusDataDirty += e->NewStatusDataDirty;
        Release(e);
      } else {
        InsertEntry(e);
      }
    }
    moved = !taken.empty();
  }
  if (!moved) AddStatusListener(newRt, Listener, WantStatusData, WantStatus);
}

void TStatuslist::RemoveStatusListener(TMessageReceiver* Listener, bool DeliverFirst) {
  std::vector<TStatusDirty*> taken;
  {
    TListLock lock(*this);
    taken = EntriesOf(Listener);
    for (TStatusDirty* e : taken) TakeOut(e);
  }
  for (TStatusDirty* e : taken) ++e->fBusy;
  if (DeliverFirst)
    for (TStatusDirty* e : taken)
      if (!e->FSourceDeleted) Deliver(e);
  for (TStatusDirty* e : taken) {
    --e->fBusy;
    Release(e);
  }
}

void TStatuslist::FlushListener(TMessageReceiver* Listener) {
  std::vector<TStatusDirty*> entries;
  {
    TListLock lock(*this);
    entries = EntriesOf(Listener);
  }
  // Pinned, so that a listener removing itself meanwhile frees nothing that
  // this loop still holds.
  for (TStatusDirty* e : entries) ++e->fBusy;
  for (TStatusDirty* e : entries)
    if (!e->fRemoved && !e->FSourceDeleted) Deliver(e);
  for (TStatusDirty* e : entries)
    if (--e->fBusy == 0 && e->fRemoved) FreeObj(e);
}

// ---------------------------------------------------------------------------
// Marking

void TStatuslist::SourceDeleted(TRealTime* Source) {
  TListLock lock(*this);
  const int first = FirstIndexOf(Source);
  if (first < 0) return;
  for (int i = first; i < Count() && Entry(i)->Source == Source; ++i) {
    Entry(i)->FSourceDeleted = true;
    fSomeDirty = true;
  }
}

void TStatuslist::StatusDirty(TRealTime* Source, TStBits Mask) {
  TListLock lock(*this);
  const int first = FirstIndexOf(Source);
  if (first < 0) return;
  for (int i = first; i < Count() && Entry(i)->Source == Source; ++i) {
    TStatusDirty* e = Entry(i);
    if (e->FSourceDeleted) continue;
    e->NewStatusDirty += (Mask * e->WantStatus) - e->NewStatusDirty;
    if (e->Pending()) fSomeDirty = true;
  }
}

void TStatuslist::StatusDataDirty(TRealTime* Source, TDtBits Mask) {
  TListLock lock(*this);
  const int first = FirstIndexOf(Source);
  if (first < 0) return;
  for (int i = first; i < Count() && Entry(i)->Source == Source; ++i) {
    TStatusDirty* e = Entry(i);
    if (e->FSourceDeleted) continue;
    e->NewStatusDataDirty += (Mask * e->WantStatusData) - e->NewStatusDataDirty;
    if (e->Pending()) fSomeDirty = true;
  }
}

// ---------------------------------------------------------------------------
// Delivery

bool TStatuslist::SendToListener(TStatusDirty* Entry, TStatusMessage& Message) {
  const std::shared_ptr<void> alive = Entry->fListenerAlive.lock();
  if (!alive) return !Entry->fRemoved;
  TMessageReceiver* target = Entry->Listener;
  ++Entry->fBusy;
  const TStatusMessage* outer = gDelivering;
  gDelivering = &Message;
  try {
    target->Dispatch(Message);
  } catch (...) {
    // A failing listener must not stop the others.
  }
  gDelivering = outer;
  // The result field is the listener's own business.
  if (--Entry->fBusy == 0 && Entry->fRemoved) {
    FreeObj(Entry);
    return false;
  }
  return !Entry->fRemoved;
}

bool TStatuslist::Deliver(TStatusDirty* Entry) {
  if (!Entry->Pending()) return true;
  TStatusMessage message;
  {
    TTreeLock lock;
    Entry->DeskStatusDirty = Entry->NewStatusDirty;
    Entry->DeskStatusDataDirty = Entry->NewStatusDataDirty;
    Entry->NewStatusDirty = {};
    Entry->NewStatusDataDirty = {};
    message.Msg = SOM_StatusDirty;
    message.WParam = static_cast<intptr_t>(Entry->DeskStatusDirty.ToBits());
    message.LParam = static_cast<intptr_t>(Entry->DeskStatusDataDirty.ToBits());
    message.Source = Entry->Source;
  }
  return SendToListener(Entry, message);
}

void TStatuslist::Execute() {
  fUpdating = true;
  fSomeDirty = false;
  ++fPassCount;
  int i = 0;
  while (i < Count() && !StatusClosing() && fStopCount.load() <= 0) {
    TStatusDirty* e = Entry(i);
    if (e->FSourceDeleted || e->fListenerAlive.expired()) {
      bool present = true;
      if (e->FSourceDeleted) {
        TStatusMessage message;
        message.Msg = SOM_ToBeDeleted;
        message.Source = e->Source;
        present = SendToListener(e, message);
      }
      if (present) {
        {
          TListLock lock(*this);
          TakeOut(e);
        }
        Release(e);
      }
      continue;  // the index stays: the next entry moved into it
    }
    if (!Deliver(e)) continue;  // removed by its listener; the index stays
    // The listener may have changed the list; go on right behind the entry.
    if (i < Count() && Entry(i) == e) {
      ++i;
    } else {
      const int j = ScanIndexOf(e);
      if (j >= 0) i = j + 1;
    }
  }
  fUpdating = false;
  // Entries skipped by an early stop or by changes made during the pass
  // keep the next pass due.
  RecomputeSomeDirty();
}

// ---------------------------------------------------------------------------
// Global state

TStatuslist* TheStatusList() { return gStatusList; }

TStatuslist* CreateStatusList() {
  if (!gStatusList) gStatusList = SNew<TStatuslist>();
  return gStatusList;
}

void DestroyStatusList() {
  TStatuslist* list = gStatusList;
  gStatusList = nullptr;
  FreeObj(list);
}

bool StatusByTimer() { return gStatusByTimer.load(); }
void SetStatusByTimer(bool Value) { gStatusByTimer = Value; }
bool StatusPending() { return gStatusList && gStatusList->SomeDirty(); }
bool StatusClosing() { return gStatusClosing.load(); }
void SetStatusClosing(bool Value) { gStatusClosing = Value; }

}  // namespace vela
