#include "framework/ViewList.h"

#include "framework/SConstants.h"
#include "framework/velaobject.h"

namespace vela {

namespace {
TViewList* gViewList = nullptr;
}

TViewList* TheViewList() { return gViewList; }
void SetTheViewList(TViewList* list) { gViewList = list; }

void RegisterView(TMessageReceiver* view) {
  if (gViewList) gViewList->RegisterView(view);
}

void UnregisterView(TMessageReceiver* view) {
  if (gViewList) gViewList->UnregisterView(view);
}

TViewList::TViewList() : fViews(SNew<TSCollection>(64, 16)) { fViews->SetNotFreeAllOnDestroy(true); }

TViewList::~TViewList() {
  if (gViewList == this) gViewList = nullptr;
  FreeObj(fViews);
}

void TViewList::RegisterView(TMessageReceiver* view) {
  if (view && fViews->ScanIndexOf(view) < 0) fViews->Insert(view);
  fViewsChanged = true;
}

void TViewList::UnregisterView(TMessageReceiver* view) {
  fViews->Delete(view);
  fViewsChanged = true;
}

void TViewList::Broadcast(uint32_t Msg, TVelaObject* Obj, intptr_t Sender) {
  // Views skip news about objects being destroyed, except that they go.
  if (Obj && Msg != SOM_ToBeDeleted && Obj->StatusFlags().Has(VS_Destroying)) return;
  TMessage message{Msg, reinterpret_cast<intptr_t>(Obj), Sender, 0};
  // When the list changes during a walk, the walk starts again from the
  // first view. A list that changes on every walk would restart forever;
  // after this many walks the broadcast gives up.
  constexpr int kMaxWalks = 64;
  for (int walk = 0; walk < kMaxWalks; ++walk) {
    fViewsChanged = false;
    for (int i = 0; i < fViews->Count(); ++i) {
      auto* view = static_cast<TMessageReceiver*>(fViews->At(i));
      message.Result = 0;
      try {
        view->Dispatch(message);
      } catch (...) {
        return;  // a raising view ends this broadcast
      }
      if (fViewsChanged) break;
    }
    if (!fViewsChanged) return;
  }
}

}  // namespace vela
