#pragma once
// TVelaBrowser: the generic object browser frame. It shows a tree of
// framework objects, either as a tree whose top row is the root object or as
// a list of the root object's direct subs, with one column per field
// definition of each row's own object. It keeps itself up to date from the
// framework's notifications (it registers in the view list) and from the
// status list, repainting only the cells on screen whose objects changed.
#include <QFrame>
#include <QModelIndex>
#include <QPointer>
#include <functional>
#include <vector>

#include "browser/ColumnSets.h"
#include "framework/VelaTypes.h"
#include "platform/Messages.h"

class QAction;
class QMenu;
class QPainter;
class QStyleOptionViewItem;

namespace vela {

class TBrowserModel;
class TBrowserView;
class TParameterFilter;
class TVelaObject;
class TVisibleColl;

// Messages the frame answers besides the framework's notifications.
constexpr uint32_t WM_BrowserSelection = 33883;   // WParam 1: a new list of the selected objects (caller frees)
constexpr uint32_t WM_BrowserShowObject = 33978;  // WParam: the object to show and focus alone
constexpr uint32_t WM_BrowserIgnored = 33877;

// A list of objects handed out by WM_BrowserSelection.
using TObjectList = std::vector<TVelaObject*>;

class TVelaBrowser : public QFrame, public TMessageReceiver {
  Q_OBJECT

 public:
  explicit TVelaBrowser(QWidget* parent = nullptr);
  ~TVelaBrowser() override;

  // ---- parts
  TParameterFilter* ParameterFilter() const { return fFilter; }
  TBrowserView* TreeView() const { return fView; }
  TBrowserModel* Model() const { return fModel; }
  TColumnColl& ColDefs();
  TVisibleColl& VisibleColl();
  QMenu* PopupMenu2() const { return fPopupMenu2; }
  QMenu* DropMenu() const { return fDropMenu; }
  QAction* Explore1() const { return fExplore1; }
  QAction* Track1() const { return fTrack1; }
  QAction* ZoomAction() const { return fZoomAction; }

  // ---- properties
  TVelaObject* RootObject() const;
  void SetRootObject(TVelaObject* Value);
  bool WithColumns() const { return fWithColumns; }
  void SetWithColumns(bool Value);
  bool AsListView() const;
  void SetAsListView(bool Value);
  bool AutoExpand() const { return fAutoExpand; }
  void SetAutoExpand(bool Value) { fAutoExpand = Value; }
  bool TreeEditAllowed() const { return fEditAllowed; }
  void SetTreeEditAllowed(bool Value) { fEditAllowed = Value; }
  int Zoom() const { return fZoom; }
  void SetZoom(int Value);
  bool Zoomed() const { return fZoom != 100; }
  uint16_t LocalHeaderSize() const { return fLocalHeaderSize; }
  void SetLocalHeaderSize(uint16_t Value) { fLocalHeaderSize = Value; }
  bool DropsDisabled() const { return fDropsDisabled; }
  void SetDropsDisabled(bool Value) { fDropsDisabled = Value; }
  bool ObjectMenusDisabled() const { return fObjectMenusDisabled; }
  void SetObjectMenusDisabled(bool Value) { fObjectMenusDisabled = Value; }
  bool DeleteInsertDisabled() const { return fDeleteInsertDisabled; }
  void SetDeleteInsertDisabled(bool Value) { fDeleteInsertDisabled = Value; }
  bool AutoExpandRoot() const { return fAutoExpandRoot; }
  void SetAutoExpandRoot(bool Value) { fAutoExpandRoot = Value; }
  bool InsertEnabled() const { return fInsertEnabled; }
  void SetInsertEnabled(bool Value) { fInsertEnabled = Value; }
  bool PopupMode() const { return fPopupMode; }
  void SetPopupMode(bool Value);
  bool HideParamsBar() const { return fHideParamsBar; }
  void SetHideParamsBar(bool Value);
  // The object of the focused row, null when none.
  TVelaObject* Selected() const;
  // The object of the row at the top of the view; setting scrolls its row there.
  TVelaObject* TopObject() const;
  void SetTopObject(TVelaObject* Value);
  // The in-place editor now open (set by the editors).
  QPointer<QWidget> MyEditLink;
  // The character that opened the current in-place editor.
  QChar InitialChar;
  TSFieldKind Sort_FK() const;
  uint32_t Sort_FID() const;

  // ---- events
  std::function<bool(TVelaObject* s, bool& NodeVisible, int& CheckType)> OnAddnode;
  std::function<bool(TVelaBrowser* Tree, const QModelIndex& aNode, TVelaObject* s, bool anyway)> AddProc;
  void SetOnGetPDef(TGetPdef Value);
  const TGetPdef& OnGetPDef() const;
  std::function<void(TVelaObject* S, int Column, TColumnDef* C, const QModelIndex& Node)> OnChange;
  std::function<void(TVelaBrowser* Tree, const QModelIndex& aNode, TVelaObject* s)> OnSelectClick;
  std::function<void(TVelaBrowser* Tree, const QModelIndex& aNode, TVelaObject* s)> OnSelectDblClick;
  std::function<void(TVelaBrowser* Sender, bool& allow, TVelaObject* S, TSFieldKind FK, uint32_t Fid,
                     Qt::KeyboardModifiers Shift)>
      OnEdit;
  std::function<bool(QObject* Sender, TVelaObject* aObject, TSFieldKind FieldKind, uint32_t FieldId, void* Data)>
      OnSetField;
  std::function<bool(QObject* Sender, TVelaObject* aObject, TSFieldKind aFieldKind, uint32_t aFieldid, int IncX,
                     int IncY)>
      OnIncField;
  std::function<void(TVelaBrowser* Tree, bool& allow, TVelaObject* S, TSFieldKind FK, uint32_t Fid, QPainter* Painter,
                     QStyleOptionViewItem& Option)>
      OnPaintCell;
  std::function<int(TVelaObject* Sender, const QModelIndex& Node)> OnGetImageIndex;
  using TRowCommand =
      std::function<void(TVelaObject* S, uint32_t NodeIndex, int Column, TColumnDef* C, bool& DoDefault)>;
  TRowCommand OnDelete, OnInsert, OnAdd;
  std::function<void(TVelaBrowser*Sender)> OnVisibleChanged, OnRootChanged, OnZoomed, OnFilterChanged;
  // Enter on a cell with columns, and a double click on a cell: the in-place
  // editing of the commands (without a handler the view's editor opens).
  std::function<void(TVelaBrowser* Sender, const QModelIndex& Cell)> OnActivateCell;
  // Lets the host add entries (object menus) before the tree menu shows.
  std::function<void(TVelaBrowser* Sender, QMenu* Menu, TVelaObject* Obj)> OnTreeMenu;

  // ---- operations
  // Adds a node for s under Node (invalid: rebuilds the tree with s as root).
  void AddAllSubs3(const QModelIndex& Node, TVelaObject* s, bool anyway);
  // Simple list mode: aMax rows all showing aOwner, told apart by row.
  void MakeListView(TVelaObject* aOwner, int aMax, TGetPdef aOnGetPdef);
  QModelIndex SearchForNode(TVelaObject* S) const;
  TVelaObject* GetNodeObject(const QModelIndex& Node) const;
  // Focuses Aobj's row, expanding the way to it when DoExpand.
  void FocusObject(TVelaObject* Aobj, bool DoExpand = true, TVelaObject* aOwner = nullptr, bool ExpandChild = false);
  // Focuses the next sibling of Origin's row (null: the selected object).
  bool SelectNextNode(TVelaObject* Origin = nullptr);
  void SetFocusedIndex(int I);
  std::vector<TVelaObject*> GetSelPArray() const;
  TColumnDef* GetColumnDef(const QModelIndex& Node, int Column) const;
  TColumnDef* GetColumnDef(const QModelIndex& Cell) const { return GetColumnDef(Cell, Cell.column()); }
  // Writes an edited value: to the object, or to the same cell of every selected row.
  bool EditSetField(QObject* Sender, TVelaObject* aObject, void* Data, uint32_t FieldId, TSFieldKind FieldKind);
  void EnumerateNodesVisible();
  // The object under a viewport point (the selected one for an invalid point).
  TVelaObject* ContextObject(const QPoint& MousePos, bool DoFocus);
  void Rebuild() {}
  // Focuses a row alone.
  void FocusNode(const QModelIndex& Node);
  // Makes an object's row visible, expanding its owners, and focuses it alone.
  void ShowObject(TVelaObject* Obj);
  void CollapseAll();
  void ExpandAllFromFocused();
  // A host's own menu for the tree; it gets a separator and the Explore entry.
  void SetTreePopupMenu(QMenu* Menu);
  // Deletes the selected objects after confirmation (the Delete key).
  void DeleteFocused();
  // Inserts a new sibling at the focused object's place, or adds one at the end (the Insert key).
  void InsertOrAdd(bool Add);

  // Framework notifications, the status list's deliveries and the frame's own messages.
  void Dispatch(TMessage& Message) override;

  // ---- used by the view
  bool ViewKeyPress(class QKeyEvent* Event);
  void FocusChanged(const QModelIndex& Current, const QModelIndex& Previous);
  void VisibleChanged();
  void ShowTreeMenu(const QPoint& GlobalPos, const QModelIndex& At);
  void ViewClicked(const QModelIndex& Index);
  void ViewDoubleClicked(const QModelIndex& Index);
  bool LoadingOrDestroying() const { return fDestroying; }

 protected:
  // Insert and Delete act the same when the frame itself has the keyboard.
  void keyPressEvent(class QKeyEvent* Event) override;

 private:
  // Notification handlers (BrowserRefresh.cpp).
  void ObjectInserted(TVelaObject* Owner, TVelaObject* Sub);
  void ObjectDeleted(TVelaObject* Owner);
  void ObjectToBeDeleted(TVelaObject* Obj);
  void SubsDirty(TVelaObject* Obj);
  void ObjectExchanged(TVelaObject* Old, TVelaObject* New);
  void Invalidate(TVelaObject* Obj);
  // The row of an owner: the tree root in list mode for the root object.
  bool OwnerRow(TVelaObject* Owner, QModelIndex& Row) const;
  // Removes a row, moving the focus to its next or previous sibling or its parent.
  void RemoveRow(const QModelIndex& Row);
  void BeginTreeUpdate();
  void EndTreeUpdate();

  void BuildMenus();
  void FilterChanged();
  void Expanded(const QModelIndex& Index);
  void Collapsed(const QModelIndex& Index);

  TParameterFilter* fFilter = nullptr;
  TBrowserView* fView = nullptr;
  TBrowserModel* fModel = nullptr;
  QMenu* fPopupMenu2 = nullptr;
  QMenu* fDropMenu = nullptr;
  QAction* fExplore1 = nullptr;
  QAction* fTrack1 = nullptr;
  QAction* fZoomAction = nullptr;

  bool fWithColumns = false;
  bool fAutoExpand = false;
  bool fEditAllowed = true;
  bool fInsertEnabled = false;
  bool fPopupMode = false;
  bool fDropsDisabled = false;
  bool fObjectMenusDisabled = false;
  bool fDeleteInsertDisabled = false;
  bool fAutoExpandRoot = true;
  bool fHideParamsBar = false;
  bool fDestroying = false;
  int fZoom = 100;
  uint16_t fLocalHeaderSize = 16;
  int fUpdateDepth = 0;
};

}  // namespace vela
