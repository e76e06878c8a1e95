#include "framework/WindowHandoff.h"

#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "framework/FrameworkHooks.h"
#include "framework/SConstants.h"
#include "framework/StatusList.h"
#include "framework/TreeLock.h"
#include "framework/ViewList.h"
#include "framework/velaobject.h"

namespace vela {

namespace {

TMessageReceiver* gNotifyWindow = nullptr;

// A posted command carries only the object's address. Each post leaves a
// ticket holding the object's life token; the message takes the oldest
// ticket of its address, so a command for an object freed in between is
// recognised (its ticket expired) even when a new object took the address.
std::mutex gTicketSection;
std::unordered_map<const TVelaObject*, std::deque<std::weak_ptr<void>>> gCommandTickets;

void AddTicket(TVelaObject* Obj) {
  std::weak_ptr<void> token = Obj->AliveToken();
  std::lock_guard<std::mutex> g(gTicketSection);
  gCommandTickets[Obj].push_back(std::move(token));
}

void DropLastTicket(const TVelaObject* Obj) {
  std::lock_guard<std::mutex> g(gTicketSection);
  auto it = gCommandTickets.find(Obj);
  if (it == gCommandTickets.end()) return;
  it->second.pop_back();
  if (it->second.empty()) gCommandTickets.erase(it);
}

// Whether the object of an arriving command still exists. A command that was
// not posted through the hook has no ticket and is trusted.
bool TakeTicket(const TVelaObject* Obj) {
  std::lock_guard<std::mutex> g(gTicketSection);
  auto it = gCommandTickets.find(Obj);
  if (it == gCommandTickets.end()) return true;
  const bool alive = !it->second.front().expired();
  it->second.pop_front();
  if (it->second.empty()) gCommandTickets.erase(it);
  return alive;
}

bool PostCommand(TMessageReceiver* Window, uint32_t Msg, TVelaObject* Obj, uint32_t Param) {
  if (!Obj) return false;
  AddTicket(Obj);
  if (PostMessageTo(Window, Msg, reinterpret_cast<intptr_t>(Obj), static_cast<intptr_t>(Param))) return true;
  DropLastTicket(Obj);
  return false;
}

}  // namespace

void SetNotifyWindow(TMessageReceiver* Window) {
  TFrameworkHooks& hooks = FrameworkHooks();
  gNotifyWindow = Window;
  {
    std::lock_guard<std::mutex> g(gTicketSection);
    gCommandTickets.clear();
  }
  if (!Window) {
    hooks.Notify = nullptr;
    hooks.Command = nullptr;
    hooks.CommandLong = nullptr;
    return;
  }
  // The hooks stop on their own when the window dies without uninstalling.
  std::weak_ptr<void> alive = Window->AliveToken();

  hooks.Notify = [Window, alive](uint32_t Msg, TVelaObject* Obj, intptr_t Second, int32_t) {
    if (alive.expired()) return;
    const auto concerned = reinterpret_cast<intptr_t>(Obj);
    // Another thread must not run the window's dispatch; its notices queue.
    if (IsMainThread())
      SendMessageTo(Window, Msg, Second, concerned);
    else
      PostMessageTo(Window, Msg, Second, concerned);
  };
  hooks.Command = [Window, alive](TVelaObject* Obj, uint32_t Command, uint32_t Data) {
    if (alive.expired()) return false;
    if (Command == 0xFFFF) return PostCommand(Window, SOM_CommandLong, Obj, Data);
    return PostCommand(Window, SOM_Command, Obj, (Command << 16) + (Data & 0xFFFF));
  };
  hooks.CommandLong = [Window, alive](TVelaObject* Obj, uint32_t Data) {
    if (alive.expired()) return false;
    return PostCommand(Window, SOM_CommandLong, Obj, Data);
  };
}

TMessageReceiver* NotifyWindow() { return gNotifyWindow; }

bool IsFrameworkMessage(uint32_t Msg) {
  return Msg == SOM_Command || Msg == SOM_CommandLong || (Msg >= SOM_FirstFramework && Msg <= SOM_LastFramework);
}

void DispatchFrameworkMessage(TMessage& Message) {
  if (Message.Msg == SOM_Command || Message.Msg == SOM_CommandLong) {
    auto* obj = reinterpret_cast<TVelaObject*>(Message.WParam);
    if (!obj || !TakeTicket(obj)) return;
    try {
      obj->Dispatch(Message);
    } catch (...) {
      // A failing command must not take the message loop down.
    }
    return;
  }
  if (Message.Msg < SOM_FirstFramework || Message.Msg > SOM_LastFramework) return;
  auto* concerned = reinterpret_cast<TVelaObject*>(Message.LParam);
  try {
    if (auto& broadcast = FrameworkHooks().Broadcast)
      broadcast(Message.Msg, concerned, Message.WParam);
    else if (TViewList* views = TheViewList())
      views->Broadcast(Message.Msg, concerned, Message.WParam);
  } catch (...) {
    // The broadcast guards each view itself; nothing may reach the tree
    // operation that raised the notice.
  }
  // The views have seen the new subs; the replaced collection can go.
  if (Message.Msg == SOM_SubsDirty && concerned) concerned->ReleaseOldSubs();
  Message.Result = 1;
}

void BeginStatusByTimer(TMessageReceiver* Window) {
  // A window opened after an earlier one closed runs the passes again.
  SetStatusClosing(false);
  SetStatusByTimer(true);
  CreateStatusList();
  SetNotifyWindow(Window);
}

void StatusTimerTick() {
  if (StatusClosing()) return;
  TStatuslist* list = TheStatusList();
  if (!list || !StatusPending()) return;
  try {
    list->Execute();
  } catch (...) {
    // The next tick runs the next pass.
  }
}

void StatusShutdown() { SetStatusClosing(true); }

}  // namespace vela
