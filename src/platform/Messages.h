#pragma once
// Window-message stand-in: a numbered record that is sent (a direct call) or
// posted (queued on the GUI thread's event loop) to a receiver.
#include <cstdint>
#include <memory>

namespace vela {

struct TMessage {
  uint32_t Msg = 0;
  intptr_t WParam = 0;
  intptr_t LParam = 0;
  intptr_t Result = 0;
};

// Anything that takes messages. A posted message whose receiver has been
// destroyed before delivery is dropped.
class TMessageReceiver {
 public:
  TMessageReceiver() = default;
  TMessageReceiver(const TMessageReceiver&) = delete;
  TMessageReceiver& operator=(const TMessageReceiver&) = delete;
  virtual ~TMessageReceiver();
  virtual void Dispatch(TMessage& Message) = 0;

  // Token that lives exactly as long as the receiver; posted messages hold a
  // weak reference to it.
  std::weak_ptr<void> AliveToken();

 private:
  std::shared_ptr<void> fAlive;
};

// Send: delivered before the call returns; returns the message's Result.
intptr_t SendMessageTo(TMessageReceiver* Target, uint32_t Msg, intptr_t WParam = 0, intptr_t LParam = 0);
// Post: delivered later on the GUI thread. Returns false when it cannot be
// queued (no target or no application object).
bool PostMessageTo(TMessageReceiver* Target, uint32_t Msg, intptr_t WParam = 0, intptr_t LParam = 0);
// Delivers every posted message that is waiting (the "process pending GUI
// messages" step of the original platform).
void ProcessPendingMessages();

}  // namespace vela
