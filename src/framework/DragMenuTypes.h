#pragma once
// Small types of object drag and drop and of object menus. They travel
// through the object tree's own operations (Acceptdrop, Receivedrop,
// AddMenuItems), so the tree's header includes them.
#include <cstdint>

#include "framework/VelaTypes.h"
#include "platform/SmallSet.h"

namespace vela {

// What a drop does.
enum TSDropkinds : uint8_t {
  DSD_copy = 0,
  DSD_move = 1,
  DSD_Reference = 2,
  DSD_InsertRef = 3,
  DSD_AddRef = 4,
  DSD_RemoveRef = 5,
  DSD_ReplaceRef = 6,
  DSD_AskTarget = 7,
  DSD_DirectDrop = 8,
};
// The drop kinds a target offers.
using TSDropkind = TSmallSet<TSDropkinds, uint16_t>;

// Where the mouse is relative to the node under it.
enum TDmode : uint8_t { dmNowhere = 0, dmAbove = 1, dmOnNode = 2, dmBelow = 3 };

struct TSDropMode {
  TDmode DMode = dmNowhere;
  TSFieldKind DFK = FK_Text;  // the field kind the drag started from
  uint32_t DID = 0;           // its field id
};

// The occasion of an object menu.
enum TPopMenuKind : uint8_t {
  Pop_Drop = 0,
  Pop_Click = 1,
  Pop_Command = 2,
  Pop_LocalMenu = 3,
  Pop_ChannelMenu = 4,
  Pop_ListMenu = 5,
};

enum TDropParamInf : uint8_t { DP_HitIsRoot = 0, DP_DeleteEnabled = 1, DP_HitIsHistory = 2 };
using TDropParamInfs = TSmallSet<TDropParamInf, uint8_t>;

// Passed along with a menu request; "all zero" is the default value.
struct TDropParams {
  TSFieldKind DropFK = FK_Text;
  uint32_t DropID = 0;
  TDropParamInfs Inf;
  int32_t SelectCount = 0;
};

// The generic commands of object menu entries, carried out by the default
// click handler TVelaObject::MenuCommand. Other values do nothing there.
enum : uint16_t {
  MC_InsertSub = 1,  // a new sub of CreateClass, appended
  MC_Insert = 2,     // a new sibling in front of the object
  MC_Delete = 3,     // delete the object after confirmation
  MC_Add = 4,        // a new sibling at the end of the owner's subs
  MC_Edit = 5,       // the property editor window of RefVelaObject
  MC_Track = 7,      // a tracking window (no class of this program offers one)
  MC_Explore = 8,    // the object window on RefVelaObject
  MC_DropCopy = 9,   // RefVelaObject copied onto the object
  MC_DropMove = 10,  // RefVelaObject moved onto the object
};

}  // namespace vela
