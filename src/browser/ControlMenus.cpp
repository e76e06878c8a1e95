#include "browser/ControlMenus.h"

#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include "framework/ObjectMenus.h"
#include "framework/velaobject.h"

namespace vela {

namespace {
bool gMenusOnControls = false;

// A shared menu lives with the application object (its entries are QActions).
TVelaMenuItem& Shared(QPointer<TVelaMenuItem>& menu) {
  if (!menu) menu = new TVelaMenuItem(QCoreApplication::instance());
  return *menu;
}

// The control asks for the menu itself: every Qt widget can take the
// messages a windowed control took.
QObject* CallerOf(QWidget* Control) { return Control; }

// The menu is made for one showing and goes when it closes.
void PopUp(TVelaMenuItem& Level, QWidget* Control, int X, int Y) {
  QMenu* menu = MenuOf(Level, Control);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(Control->mapToGlobal(QPoint(X, Y)));
}
}  // namespace

bool ObjectMenusOnControls() { return gMenusOnControls; }
void SetObjectMenusOnControls(bool Value) { gMenusOnControls = Value; }

TVelaMenuItem& SharedFieldMenu() {
  static QPointer<TVelaMenuItem> menu;
  return Shared(menu);
}

TVelaMenuItem& SharedDropMenu() {
  static QPointer<TVelaMenuItem> menu;
  return Shared(menu);
}

QMenu* MenuOf(TVelaMenuItem& Level, QWidget* Parent) {
  auto* menu = new QMenu(Parent);
  for (int i = 0; i < Level.Count(); ++i) {
    QAction* entry = Level.Items(i);
    if (!entry) continue;
    TVelaMenuItem* item = AsVelaMenuItem(entry);
    if (item && item->Count() > 0) {
      QMenu* sub = MenuOf(*item, menu);
      sub->setTitle(item->text());
      sub->setIcon(item->icon());
      menu->addMenu(sub);
    } else {
      menu->addAction(entry);  // the menu shows the entry without owning it
    }
  }
  return menu;
}

bool ShowFieldMenu(TVelaObject* Obj, QWidget* Control, TSFieldKind FieldKind, uint32_t FieldId, TVelaObject* ParamObj,
                   int X, int Y, const std::function<void(TVelaMenuItem*)>& OnAddItems) {
  if (!Obj || !Control || !gMenusOnControls) return false;
  TVelaMenuItem& menu = SharedFieldMenu();
  ClearObjectMenuItems(menu);
  const int before = menu.Count();
  TVelaObject* self = Obj->MySelf();
  if (!self) return false;
  self->AddMenuItems(CallerOf(Control), Pop_LocalMenu, &menu, FieldKind, FieldId, self, 0, TDropParams{}, ParamObj);
  if (OnAddItems) OnAddItems(&menu);
  if (menu.Count() == before) return false;
  PopUp(menu, Control, X, Y);
  return true;
}

void ShowControlDropMenu(TVelaObject* Obj, QWidget* Control, TSFieldKind FieldKind, uint32_t FieldId,
                         TVelaObject* ParamObj, int X, int Y, const TDropParams& DropParams) {
  if (!Obj || !Control || !gMenusOnControls) return;
  TVelaMenuItem& menu = SharedDropMenu();
  ClearObjectMenuItems(menu);
  TVelaObject* self = Obj->MySelf();
  if (!self) return;
  const TDropParams params = DropParams;  // the objects get a copy
  self->AddMenuItems(CallerOf(Control), Pop_Drop, &menu, FieldKind, FieldId, self, 1, params, ParamObj);
  PopUp(menu, Control, X, Y);
}

}  // namespace vela
