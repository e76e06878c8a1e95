#pragma once
// The status list: views register as listeners of a real-time object for
// the status and status-data bits they show; changes mark the listeners, and
// a pass on the GUI thread hands each marked listener one SOM_StatusDirty
// message with the union of its changed bits.
//
// There is no watcher thread: the main window's 100 ms timer calls
// StatusTimerTick (WindowHandoff.h), which runs a pass when SomeDirty is set.
// That behaves like the thread that only mirrored the flag, and nothing can
// block the GUI thread. All operations belong to the GUI thread; the list
// lock only keeps the entries consistent should a marking ever come from
// elsewhere.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "framework/VelaTypes.h"
#include "framework/sobjects.h"
#include "platform/Messages.h"

namespace vela {

class TRealTime;
class TVelaObject;

// The message a listener receives from the list. Its Dispatch gets it as a
// TMessage; WParam carries the status bits, LParam the status-data bits
// (both 0 for SOM_ToBeDeleted) and Source the real-time object concerned.
// A listener reads the source through StatusMessageSource. After
// SOM_ToBeDeleted the source is being destroyed: compare it, never use it.
struct TStatusMessage : TMessage {
  TRealTime* Source = nullptr;
};

// The source of a message that the status list is delivering right now;
// null for any other message (so it is safe on every message a view gets).
TRealTime* StatusMessageSource(const TMessage& Message);

// One listener registration.
class TStatusDirty : public TSobject {
  VELA_CLASS(TStatusDirty, TSobject)

  TMessageReceiver* Listener = nullptr;
  TRealTime* Source = nullptr;
  TStBits WantStatus;
  TDtBits WantStatusData;
  TStBits NewStatusDirty;
  TStBits DeskStatusDirty;
  TDtBits NewStatusDataDirty;
  TDtBits DeskStatusDataDirty;
  bool FSourceDeleted = false;

  bool Pending() const { return !NewStatusDirty.Empty() || !NewStatusDataDirty.Empty(); }

 private:
  friend class TStatuslist;
  // Expires with the listener: a listener that died without unregistering
  // gets nothing and its entry is dropped.
  std::weak_ptr<void> fListenerAlive;
  // Deliveries in progress to this entry; an entry removed meanwhile is
  // freed when the last of them returns.
  int fBusy = 0;
  bool fRemoved = false;
};

class TStatuslist : public TSortedCollection {
  VELA_CLASS(TStatuslist, TSortedCollection)

  TStatuslist();
  ~TStatuslist() override;

  // Sorted by source (the reference itself), so one source's entries are
  // adjacent.
  const void* KeyOf(const void* Item) const override;
  int Compare(const void* Key1, const void* Key2) const override;

  TStatusDirty* Entry(int Index) const { return static_cast<TStatusDirty*>(At(Index)); }

  // Registers Listener for Source; an existing registration gets the masks
  // added. Null (nothing registered) without source, listener or bits.
  TStatusDirty* AddStatusListener(TRealTime* Source, TMessageReceiver* Listener, TDtBits WantStatusData,
                                  TStBits WantStatus);
  void SetWantStatus(TMessageReceiver* Listener, TRealTime* Source, TStBits Mask);
  void SetWantStatusData(TMessageReceiver* Listener, TRealTime* Source, TDtBits Mask);
  // Moves the listener's registrations from the real-time object behind
  // OldSource to the one behind NewSource (either may be none).
  void ChangeListenerSource(TMessageReceiver* Listener, TVelaObject* OldSource, TDtBits WantStatusData,
                            TStBits WantStatus, TVelaObject* NewSource);
  // Removes every registration of the listener; with DeliverFirst their
  // pending bits are delivered first.
  void RemoveStatusListener(TMessageReceiver* Listener, bool DeliverFirst);
  // Delivers the listener's pending bits now.
  void FlushListener(TMessageReceiver* Listener);

  // Marking, called by the real-time objects.
  void SourceDeleted(TRealTime* Source);
  void StatusDirty(TRealTime* Source, TStBits Mask);
  void StatusDataDirty(TRealTime* Source, TDtBits Mask);

  // One delivery pass.
  void Execute();
  void Terminate() {}

  bool SomeDirty() const { return fSomeDirty.load(); }
  bool Updating() const { return fUpdating; }
  int StopCount() const { return fStopCount.load(); }
  // Passes run so far (diagnostics and tests).
  int PassCount() const { return fPassCount; }
  // The registrations of a listener, in list order.
  std::vector<TStatusDirty*> EntriesOf(const TMessageReceiver* Listener) const;

  // The list lock; StopCount counts its holders.
  void Lock();
  void Unlock();

 private:
  class TListLock;
  int FirstIndexOf(const TRealTime* Source) const;
  TStatusDirty* FindEntry(const TMessageReceiver* Listener, const TRealTime* Source) const;
  void InsertEntry(TStatusDirty* Entry);
  // Takes an entry out of the collection (lock held by the caller).
  void TakeOut(TStatusDirty* Entry);
  // Frees an entry that is no longer in the collection.
  static void Release(TStatusDirty* Entry);
  // Delivers an entry's pending bits; false when the entry went away during
  // the delivery (it is freed then).
  bool Deliver(TStatusDirty* Entry);
  // Sends Message to the entry's listener unless the listener is gone;
  // false when the entry was removed meanwhile.
  bool SendToListener(TStatusDirty* Entry, TStatusMessage& Message);
  void RecomputeSomeDirty();

  std::recursive_mutex Sema;
  std::atomic<int> fStopCount{0};
  std::atomic<bool> fSomeDirty{false};
  bool fUpdating = false;
  int fPassCount = 0;
};

// The program's status list; null before CreateStatusList and after
// DestroyStatusList.
TStatuslist* TheStatusList();
// Creates the list unless it exists; returns it.
TStatuslist* CreateStatusList();
void DestroyStatusList();

// Passes are run by the main window's timer (set when the window exists).
bool StatusByTimer();
void SetStatusByTimer(bool Value);
// Something waits for a pass: the list's SomeDirty (read directly; there is
// no thread that copies it).
bool StatusPending();
// The main window is closing: no pass runs any more.
bool StatusClosing();
void SetStatusClosing(bool Value);

}  // namespace vela
