#pragma once
// The process-wide list of views that hear the framework's broadcast
// messages. The application's image data module owns the one list; views in
// any library register with it through TheViewList().
#include <cstdint>

#include "framework/sobjects.h"
#include "platform/Messages.h"

namespace vela {

class TVelaObject;

class TViewList {
 public:
  TViewList();
  ~TViewList();
  TViewList(const TViewList&) = delete;
  TViewList& operator=(const TViewList&) = delete;

  TSCollection* Views() const { return fViews; }
  bool ViewsChanged() const { return fViewsChanged; }
  void RegisterView(TMessageReceiver* view);
  void UnregisterView(TMessageReceiver* view);
  // Hands a message (number, object concerned in WParam, sender in LParam)
  // to every registered view; see the .cpp for the walk's rules.
  void Broadcast(uint32_t Msg, TVelaObject* Obj, intptr_t Sender);

 private:
  TSCollection* fViews;
  bool fViewsChanged = false;
};

// The list in use, or null (before the image data module exists, after it is
// gone, or while the program terminates).
TViewList* TheViewList();
void SetTheViewList(TViewList* list);

// Convenience for views: register / unregister with the list in use, if any.
void RegisterView(TMessageReceiver* view);
void UnregisterView(TMessageReceiver* view);

}  // namespace vela
