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
#include <memory>
#include <vector>

#include "browser/ColumnSets.h"
#include "framework/DragMenuTypes.h"
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
class TSDrag;
class TVelaMenuItem;
class TVelaObject;
class TVisibleColl;

// Messages the frame answers besides the framework's notifications.
constexpr uint32_t WM_BrowserSelection = 33883;   // WParam 1: a new list of the selected objects (caller frees)
constexpr uint32_t WM_BrowserShowObject = 33978;  // WParam: the object to show and focus alone
constexpr uint32_t WM_BrowserIgnored = 33877;

// A list of objects handed out by WM_BrowserSelection.
using TObjectList = std::vector<TVelaObject*>;

// Where the browsers' Explore command sends the selected object; the tool
// window layer sets it. Without it the object window hook opens the object.
std::function<void(TVelaObject* Obj)>& ExploreHook();

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
  void EnumerateNodesVisible();
  void Rebuild() {}
  // Focuses a row alone.
  void FocusNode(const QModelIndex& Node);
  // Makes an object's row visible, expanding its owners, and focuses it alone.
  void ShowObject(TVelaObject* Obj);
  void CollapseAll();
  void ExpandAllFromFocused();
  // A host's own menu for the tree; it gets a separator and the Explore entry.
  void SetTreePopupMenu(QMenu* Menu);

  // ---- commands on rows and cells (BrowserCommands.cpp)
  // The definition of the focused cell (Force: re-read from its object).
  TColumnDef* FocusedCellDef(bool Force = true) const;
  // Enter or a double click on the focused cell (Key 0): acts by the cell's field kind.
  void ActivateCell(int Key, Qt::KeyboardModifiers Shift);
  // Whether the tree may open an editor on Cell: with columns and LPE_Edit only.
  bool CellEditAllowed(const QModelIndex& Cell) const;
  // Opens the in-place editor on the focused cell; Key is the character that opened it.
  void OpenCellEditor(QChar Key);
  // Writes a value to the focused cell: through OnSetField, to every
  // selected row, or to the cell's object.
  void WriteCell(const void* Data);
  // Writes the value to the same field of every selected row's focused cell.
  void WriteToSelected(TSFieldKind FieldKind, uint32_t FieldId, const void* Data);
  // Writes an edited value: to the object, or to the same cell of every selected row.
  bool EditSetField(QObject* Sender, TVelaObject* aObject, void* Data, uint32_t FieldId, TSFieldKind FieldKind);
  // Deletes the selected objects after confirmation (the Delete key).
  void Delete1Click();
  // A new sibling at the selected object's place (the Insert key) or at the end of its owner.
  void Insert1Click();
  void Add1Click();
  // The object of the context menu at a viewport point; x <= 0 (the menu
  // key) gives the selected object. DoFocus focuses the row alone.
  TVelaObject* ContextObject(const QPoint& MousePos, bool DoFocus);
  // Fills the tree menu from the objects and shows it at GlobalPos; false
  // when nothing was shown. ViewportPos with x <= 0 stands for the menu key.
  bool ShowTreeMenu(const QPoint& ViewportPos, const QPoint& GlobalPos);
  // The entries the objects added to the tree menu and to the drop menu.
  TVelaMenuItem& TreeMenuItems();
  TVelaMenuItem& DropMenuItems();
  // The selected object to the explore hook.
  void ExploreClick();

  // ---- drag and drop (BrowserCommands.cpp); the view calls these, and so
  // may anyone who carries a TSDrag between views.
  // A new drag of the selected object, the focused cell's part or the
  // selection; null when nothing may be dragged.
  TSDrag* StartObjectDrag();
  // Whether the row at a viewport point takes the drag.
  bool ObjectDragOver(TSDrag* Source, const QPoint& Pos, Qt::KeyboardModifiers Shift);
  // The drop at a viewport point: received at once, or offered in the drop
  // menu at GlobalPos, which runs modally; a dropped collection that no
  // entry took is freed when the menu has closed. False when nobody takes
  // the drop (the drag's collection is then the drag's own to free).
  bool ObjectDrop(TSDrag* Source, const QPoint& Pos, const QPoint& GlobalPos, Qt::KeyboardModifiers Shift);
  void Copy1Click();
  void Move1Click();
  void SetReference1Click();
  void AddReference1Click();
  void DeleteRef1Click();
  void ReplaceRef1Click();
  // The last drop.
  TSDropkind Dropkind;
  TSDropkinds DroppedKind = DSD_copy;
  TSDropMode DropMode;
  TVelaObject* DroppedObject() const;
  TVelaObject* TargetObject() const;
  TVelaObject* DroppedAt() const;

  // Framework notifications, the status list's deliveries and the frame's own messages.
  void Dispatch(TMessage& Message) override;

  // ---- used by the view
  bool ViewKeyPress(class QKeyEvent* Event);
  void FocusChanged(const QModelIndex& Current, const QModelIndex& Previous);
  void VisibleChanged();
  void ViewClicked(const QModelIndex& Index);
  void ViewDoubleClicked(const QModelIndex& Index, Qt::MouseButtons Buttons, Qt::KeyboardModifiers Shift);
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
  // Commands (BrowserCommands.cpp).
  TVelaObject* CellTarget(const TLParam& Param) const;
  TColumnDef* CellDefOf(const QModelIndex& Row, int Column, bool Force) const;
  std::vector<QModelIndex> SelectedRows() const;
  void PercentEntry(const TLParam& Param);
  void DirectNumberEntry(const TLParam& Param);
  void RowCommand(const TRowCommand& Handler, bool Add);
  void DeleteAllSelectedClick(TVelaMenuItem* Sender);
  // What the objects' entries put into a menu: a separator, the entries and
  // submenus for entries with entries of their own.
  struct TMenuEntries {
    std::vector<QPointer<QAction>> Actions;
    std::vector<QPointer<QMenu>> Submenus;
  };
  void AppendObjectEntries(QMenu* Menu, TVelaMenuItem& Level, TMenuEntries& Entries);
  void RemoveObjectEntries(QMenu* Menu, TMenuEntries& Entries);
  void DropMenuClick(TSDropkinds Kind);
  // Lets go of the last drop, freeing a dropped collection nobody took.
  void ForgetDrop();
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

  TVelaMenuItem* fTreeItems = nullptr;
  TVelaMenuItem* fDropItems = nullptr;
  TMenuEntries fTreeEntries, fDropEntries;
  // The last drop; a dropped collection stays the frame's until the drop
  // menu is done with it.
  TVelaObject* fDroppedObject = nullptr;
  TVelaObject* fTargetObject = nullptr;
  TVelaObject* fDroppedAt = nullptr;
  std::weak_ptr<void> fDroppedAlive, fTargetAlive, fDroppedAtAlive;
  bool fOwnsDropped = false;
};

}  // namespace vela
