#pragma once
// The framework side of the main window's message handling: the window that
// receives the tree's notifications and deferred commands, the dispatcher
// for those messages, and the status timer's pass.
//
// Main window, in order:
//   construction   BeginStatusByTimer(this)
//   100 ms timer   StatusTimerTick()
//   Dispatch       if (IsFrameworkMessage(m.Msg)) DispatchFrameworkMessage(m);
//   destruction    stop the timer, StatusShutdown(), and SetNotifyWindow(nullptr)
//                  before the window can no longer take messages
#include <cstdint>

#include "platform/Messages.h"

namespace vela {

class TVelaObject;

// Makes Window the target of the notifications and commands (null uninstalls
// the hooks: notifications are dropped, commands report false).
// Notifications raised on the GUI thread are sent: WParam = the second object,
// LParam = the object concerned. Raised on another thread they are posted.
// DispatchCommand posts SOM_Command (WParam = the object, LParam =
// Command * 65536 + (Data & 0xFFFF)); DispatchCommandLong, and Command 0xFFFF,
// post SOM_CommandLong with the whole Data.
void SetNotifyWindow(TMessageReceiver* Window);
TMessageReceiver* NotifyWindow();

// SOM_Command, SOM_CommandLong and 0x84B1..0x8513.
bool IsFrameworkMessage(uint32_t Msg);

// Handles a framework message that reached the window. Commands go to the
// message dispatch of the object in WParam (ExecCommand; a command for an
// object freed since the post is dropped; exceptions are swallowed).
// Notifications are broadcast as (number, object concerned = LParam, sender =
// WParam): through the Broadcast hook when one is installed, else to the view
// list in use. After SOM_SubsDirty the object's replaced sub collection is
// released. Notifications get Result 1.
void DispatchFrameworkMessage(TMessage& Message);

// Construction of the main window: passes by timer from now on, the status
// list exists, Window receives the framework's messages.
void BeginStatusByTimer(TMessageReceiver* Window);
// The status timer: one pass when something is pending and the window is not
// closing; an exception inside the pass is dropped.
void StatusTimerTick();
// Destruction of the main window: no pass runs afterwards.
void StatusShutdown();

}  // namespace vela
