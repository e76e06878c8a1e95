#pragma once
// The registry of the areas now on screen: which object (a row object or the
// part a cell shows) is drawn where and which status bits make it repaint.
// The browser rebuilds it after a paint that changed the layout and looks
// objects up in it when they report changes, so that only what is on screen
// is repainted. It also keeps the browser's registrations with the status
// list in step with what it holds.
#include <QRect>
#include <utility>
#include <vector>

#include "framework/VelaTypes.h"

namespace vela {

class TVelaObject;
class TMessageReceiver;

struct TVisibleItem {
  TVelaObject* RefObject = nullptr;  // the object shown in the area
  const void* Source = nullptr;      // its real-time object, which status deliveries name
  const void* RefNode = nullptr;     // the row (identity only)
  QRect NRect;                       // viewport coordinates
  TStBits Dt;                        // status bits wanted for the area
  TDtBits DDT;                       // status-data bits wanted
};

class TVisibleColl {
 public:
  void Clear();
  void Add(const TVisibleItem& Item) { fItems.push_back(Item); }
  // Sorts the items added since the last Clear; lookups need it.
  void Finish();
  int Count() const { return static_cast<int>(fItems.size()); }
  const TVisibleItem& Item(int Index) const { return fItems[Index]; }

  // The items of an object, adjacent in the registry.
  std::pair<const TVisibleItem*, const TVisibleItem*> ItemsOf(const TVelaObject* Obj) const;
  // The items whose real-time source is Source.
  std::vector<const TVisibleItem*> ItemsOfSource(const void* Source) const;

 private:
  std::vector<TVisibleItem> fItems;
  std::vector<int> fBySource;  // indexes of items with a source, sorted by source
};

// The real-time object behind an object (its GetSRtl), null when it has none
// or asking raised.
TVelaObject* RealTimeOf(TVelaObject* Obj);
// Whether the status list exists in this build and now.
bool StatusListAvailable();
// Registers Listener with the status list for the bits of Source (a real-time object).
void StatusAddListener(TVelaObject* Source, TMessageReceiver* Listener, TStBits Status, TDtBits Data);
// Removes every registration of Listener; with DeliverFirst its pending bits are delivered first.
void StatusRemoveListener(TMessageReceiver* Listener, bool DeliverFirst);
// The real-time object a status-list message is about; null for any other message.
const void* StatusSourceOf(const struct TMessage& Message);

}  // namespace vela
