#pragma once
// Object menus: the menu entry class that remembers which object made it and
// what it does, click handlers that compare like bound methods, and the
// helpers that tidy a popup's entries.
//
// Model code builds menus without widgets: a popup's top level is a
// TVelaMenuItem too (the root entry, whose own caption is not shown), and a
// submenu entry holds its entries the same way. The GUI puts them into a
// QMenu: a QAction may sit in a QMenu without the menu owning it.
#include <QAction>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <array>
#include <cstring>
#include <functional>

#include "framework/DragMenuTypes.h"
#include "framework/sobjects.h"

class QPainter;

namespace vela {

class TVelaObject;
class TVelaMenuItem;

// A click handler: a method bound to its object. Two handlers are equal when
// they name the same method of the same object, so duplicate entries can be
// recognised by their handler.
class TMenuClick {
 public:
  TMenuClick() = default;
  template <class C>
  TMenuClick(C* Obj, void (C::*Method)(TVelaMenuItem* Sender))
      : fObject(Obj), fClassTag(&kClassTag<C>), fCall([Obj, Method](TVelaMenuItem* s) { (Obj->*Method)(s); }) {
    static_assert(sizeof(Method) <= sizeof(fMethod));
    std::memcpy(fMethod.data(), &Method, sizeof(Method));
  }

  explicit operator bool() const { return static_cast<bool>(fCall); }
  void operator()(TVelaMenuItem* Sender) const {
    if (fCall) fCall(Sender);
  }
  bool operator==(const TMenuClick& o) const {
    return fObject == o.fObject && fClassTag == o.fClassTag && fMethod == o.fMethod;
  }

 private:
  template <class C>
  static inline const char kClassTag = 0;
  const void* fObject = nullptr;
  const void* fClassTag = nullptr;
  std::array<unsigned char, 4 * sizeof(void*)> fMethod{};
  std::function<void(TVelaMenuItem*)> fCall;
};

class TVelaMenuItem : public QAction {
  Q_OBJECT

 public:
  explicit TVelaMenuItem(QObject* aOwner = nullptr);
  // Frees the object entries it holds and its TempVelaObject (unless a
  // sibling entry still refers to that object, which then frees it).
  ~TVelaMenuItem() override;

  uint16_t VelaCommand = 0;                 // the generic command (MC_...)
  TVelaObject* CreatedBy = nullptr;         // the default click handler runs on it
  TSobjectClass CreateClass = nullptr;      // the class the insert commands create
  QObject* Caller = nullptr;                // the view that asked for the menu
  TVelaObject* TempVelaObject = nullptr;    // a temporary object owned by the entry
  TVelaObject* RefVelaObject = nullptr;     // the object the entry acts on
  TVelaObject* TargetVelaObject = nullptr;  // a target for a class's own entries
  uint32_t Param1 = 0;                      // a parameter of a class's own entries
  int ImageIndex = -1;                      // picture in the network image list, -1 none
  TMenuClick OnClicked;

  // Drawn crossed out: the entry's icon gets a black cross over it.
  bool Crossed() const { return fCrossed; }
  void SetCrossed(bool Value);
  // The icon without the cross (setIcon is overridden while crossed).
  void SetPlainIcon(const QIcon& Icon);
  // The cross over the square at the left of an entry rectangle R of height h:
  // (L+3, T+3)-(L+h-3, B-3) and (L+h-3, T+3)-(L+3, B-3), B the exclusive bottom.
  static void PaintCross(QPainter& Painter, const QRect& R);

  // Runs the click handler, as a trigger of the action does.
  void Click();

  // ---- the entries of this level (a popup's top level or a submenu)
  int Count() const;
  QAction* Items(int Index) const;
  int IndexOf(const QAction* Entry) const;
  // Appends Entry (taking it out of any other level first). Object entries
  // are freed with the level; plain actions stay the caller's.
  void Add(QAction* Entry);
  void Insert(int Index, QAction* Entry);
  // Takes Entry out of this level without freeing it.
  void Remove(QAction* Entry);
  TVelaMenuItem* ParentItem() const { return fParentItem; }
  // The first direct entry that is a TVelaMenuItem with that command, or null.
  TVelaMenuItem* FindCommand(uint16_t aCommand) const;

 private:
  void Compact() const;
  void Unlist();

  mutable QList<QPointer<QAction>> fItems;
  TVelaMenuItem* fParentItem = nullptr;
  bool fCrossed = false;
  QIcon fPlainIcon;
};

// The menu entry behind an action, or null for a plain action.
inline TVelaMenuItem* AsVelaMenuItem(QAction* a) { return qobject_cast<TVelaMenuItem*>(a); }

// Frees every top-level TVelaMenuItem of the popup; other entries stay.
void ClearObjectMenuItems(TVelaMenuItem& PopupMenu);
// Of top-level childless entries with the same command, RefVelaObject and
// click handler as a later top-level entry, only the last one stays.
void RemoveDuplicateMenuItems(TVelaMenuItem& PopupMenu);

}  // namespace vela
