#include "browser/VisibleRegistry.h"

#include <algorithm>
#include <functional>

#include "framework/velaobject.h"
#include "platform/Messages.h"

// The status list is a separate part of the framework; the browser works
// (without status deliveries) where it is not built in.
#if __has_include("framework/StatusList.h")
#include "framework/RealTime.h"
#include "framework/StatusList.h"
#define VELA_HAS_STATUS_LIST 1
#else
#define VELA_HAS_STATUS_LIST 0
#endif

namespace vela {

void TVisibleColl::Clear() {
  fItems.clear();
  fBySource.clear();
}

void TVisibleColl::Finish() {
  std::stable_sort(fItems.begin(), fItems.end(), [](const TVisibleItem& a, const TVisibleItem& b) {
    return std::less<const void*>()(a.RefObject, b.RefObject);
  });
  fBySource.clear();
  for (int i = 0; i < Count(); ++i)
    if (fItems[i].Source) fBySource.push_back(i);
  std::stable_sort(fBySource.begin(), fBySource.end(),
                   [this](int a, int b) { return std::less<const void*>()(fItems[a].Source, fItems[b].Source); });
}

namespace {
struct TByObject {
  bool operator()(const TVisibleItem& a, const TVelaObject* b) const {
    return std::less<const void*>()(a.RefObject, b);
  }
  bool operator()(const TVelaObject* a, const TVisibleItem& b) const {
    return std::less<const void*>()(a, b.RefObject);
  }
};
}  // namespace

std::pair<const TVisibleItem*, const TVisibleItem*> TVisibleColl::ItemsOf(const TVelaObject* Obj) const {
  auto range = std::equal_range(fItems.begin(), fItems.end(), Obj, TByObject());
  if (range.first == range.second) return {nullptr, nullptr};
  return {&*range.first, &*range.first + (range.second - range.first)};
}

std::vector<const TVisibleItem*> TVisibleColl::ItemsOfSource(const void* Source) const {
  std::vector<const TVisibleItem*> out;
  auto it = std::lower_bound(fBySource.begin(), fBySource.end(), Source,
                             [this](int i, const void* s) { return std::less<const void*>()(fItems[i].Source, s); });
  for (; it != fBySource.end() && fItems[*it].Source == Source; ++it) out.push_back(&fItems[*it]);
  return out;
}

TVelaObject* RealTimeOf(TVelaObject* Obj) {
  if (!Obj) return nullptr;
  try {
    return Obj->GetSRtl();
  } catch (...) {
    return nullptr;
  }
}

#if VELA_HAS_STATUS_LIST

bool StatusListAvailable() { return TheStatusList() != nullptr; }

void StatusAddListener(TVelaObject* Source, TMessageReceiver* Listener, TStBits Status, TDtBits Data) {
  TStatuslist* list = TheStatusList();
  if (!list || !Source || !Source->InheritsFrom(TRealTime::StaticClass())) return;
  try {
    list->AddStatusListener(static_cast<TRealTime*>(Source), Listener, Data, Status);
  } catch (...) {
  }
}

void StatusRemoveListener(TMessageReceiver* Listener, bool DeliverFirst) {
  if (TStatuslist* list = TheStatusList()) {
    try {
      list->RemoveStatusListener(Listener, DeliverFirst);
    } catch (...) {
    }
  }
}

const void* StatusSourceOf(const TMessage& Message) { return StatusMessageSource(Message); }

#else

bool StatusListAvailable() { return false; }
void StatusAddListener(TVelaObject*, TMessageReceiver*, TStBits, TDtBits) {}
void StatusRemoveListener(TMessageReceiver*, bool) {}
const void* StatusSourceOf(const TMessage&) { return nullptr; }

#endif

}  // namespace vela
