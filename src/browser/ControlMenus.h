#pragma once
// The field menu and the drop menu that field-bound controls show for their
// object: the object (and its owners) fill a shared popup menu, which pops up
// at the control. Both work only while object menus on controls are
// switched on, which this program leaves off.
#include <cstdint>
#include <functional>

#include "framework/DragMenuTypes.h"
#include "framework/VelaTypes.h"

class QMenu;
class QWidget;

namespace vela {

class TVelaObject;
class TVelaMenuItem;

bool ObjectMenusOnControls();
void SetObjectMenusOnControls(bool Value);

// The shared menus (their top levels), made on first use.
TVelaMenuItem& SharedFieldMenu();
TVelaMenuItem& SharedDropMenu();
// The popup menu that shows the entries of a top level (made anew each time).
QMenu* MenuOf(TVelaMenuItem& Level, QWidget* Parent);

// The field menu of a control's object at (X, Y) of Control; false when
// nothing was shown (no object, the switch off, or no entries).
bool ShowFieldMenu(TVelaObject* Obj, QWidget* Control, TSFieldKind FieldKind, uint32_t FieldId, TVelaObject* ParamObj,
                   int X, int Y, const std::function<void(TVelaMenuItem* Items)>& OnAddItems = {});
// The drop menu of a control's object; nothing without object or with the switch off.
void ShowControlDropMenu(TVelaObject* Obj, QWidget* Control, TSFieldKind FieldKind, uint32_t FieldId,
                         TVelaObject* ParamObj, int X, int Y, const TDropParams& DropParams);

}  // namespace vela
