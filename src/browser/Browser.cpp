// The browser frame: its parts, properties, operations, focus, keys and menus.
#include "browser/Browser.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <cstring>

#include "browser/BrowserModel.h"
#include "browser/BrowserView.h"
#include "browser/CellPainter.h"
#include "browser/EditLink.h"
#include "browser/InpEntry.h"
#include "browser/MessageBoxes.h"
#include "browser/ParamFilter.h"
#include "framework/ObjectMenus.h"
#include "framework/ViewList.h"
#include "framework/velaobject.h"

namespace vela {

TVelaBrowser::TVelaBrowser(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("VelaBrowser"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  fFilter = new TParameterFilter(this);
  fFilter->hide();
  layout->addWidget(fFilter);
  fModel = new TBrowserModel(this);
  fView = new TBrowserView(this, this);
  fView->setModel(fModel);
  layout->addWidget(fView, 1);

  // The frame's events may be set at any time; the model asks through these.
  fModel->DisplayOptions = [this](TParamsOpt& opt) {
    if (!fFilter->isHidden()) opt.DisplayValue = fFilter->DisplayValue();
  };
  fModel->OnAddnode = [this](TVelaObject* s, bool& visible, int& check) {
    return !OnAddnode || OnAddnode(s, visible, check);
  };
  fModel->AddProc = [this](const QModelIndex& node, TVelaObject* s, bool anyway) {
    if (!AddProc) return false;
    AddProc(this, node, s, anyway);
    return true;
  };
  fModel->OnGetImageIndex = [this](TVelaObject* obj, const QModelIndex& node, int& image) {
    if (!OnGetImageIndex) return false;
    image = OnGetImageIndex(obj, node);
    return true;
  };
  fView->Painter()->OnPaintCell = [this](bool& allow, QPainter* painter, QStyleOptionViewItem& option,
                                         const QModelIndex& index) {
    if (!OnPaintCell || !fWithColumns) return;
    TColumnDef* def = GetColumnDef(index);
    TVelaObject* s = def && def->CProps.Part ? def->CProps.Part : GetNodeObject(index);
    OnPaintCell(this, allow, s, def ? def->CProps.FK : FK_Undefined, def ? def->CProps.ID : 0, painter, option);
  };
  connect(fModel, &TBrowserModel::ChildMarkChanged, fView, [this] { fView->RelayoutRows(); });
  connect(fView, &QTreeView::expanded, this, &TVelaBrowser::Expanded);
  connect(fView, &QTreeView::collapsed, this, &TVelaBrowser::Collapsed);
  fFilter->OnFilterChanged = [this](TParameterFilter*) { FilterChanged(); };

  BuildMenus();
  InstallMessageBoxHooks();
  InstallEditLinks(this);
  fWithColumns = true;  // so that the switch below takes effect
  SetWithColumns(false);
  RegisterView(this);
}

TVelaBrowser::~TVelaBrowser() {
  fDestroying = true;
  ForgetDrop();
  ClearObjectMenuItems(*fTreeItems);
  ClearObjectMenuItems(*fDropItems);
  fView->Timer1()->stop();
  fView->fBrowser = nullptr;
  StatusRemoveListener(this, false);
  UnregisterView(this);
  // The view and the model call back into the frame (its events and hooks):
  // they go now, while the frame is whole, not with the widget base.
  delete fView;
  fView = nullptr;
  delete fModel;
  fModel = nullptr;
}

void TVelaBrowser::BuildMenus() {
  fExplore1 = new QAction(QStringLiteral("Explore"), this);
  fExplore1->setObjectName(QStringLiteral("Explore1"));
  fExplore1->setVisible(false);
  fTrack1 = new QAction(QStringLiteral("Track"), this);
  fTrack1->setObjectName(QStringLiteral("Track1"));
  fTrack1->setEnabled(false);
  fZoomAction = new QAction(QStringLiteral("DoZoom"), this);
  fZoomAction->setObjectName(QStringLiteral("ZoomAction"));

  fPopupMenu2 = new QMenu(this);
  fPopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
  fPopupMenu2->addAction(fExplore1);
  fPopupMenu2->addAction(QStringLiteral("Collapse All"), this, &TVelaBrowser::CollapseAll);
  fPopupMenu2->addAction(QStringLiteral("Expand all from this"), this, &TVelaBrowser::ExpandAllFromFocused);
  QMenu* zoom = fPopupMenu2->addMenu(QStringLiteral("Zoom (Shift MouseWheel)"));
  for (int value : {100, 150, 200}) {
    QAction* a = zoom->addAction(QStringLiteral("%1%").arg(value));
    a->setData(value);  // the item's tag is the zoom value
    connect(a, &QAction::triggered, this, [this, value] { SetZoom(value); });
  }
  connect(fExplore1, &QAction::triggered, this, &TVelaBrowser::ExploreClick);

  fDropMenu = new QMenu(this);
  fDropMenu->setObjectName(QStringLiteral("DropMenu"));
  struct TDropItem {
    const char* Name;
    const char* Text;
    void (TVelaBrowser::*Click)();
  };
  const TDropItem dropItems[] = {{"Cancel1", "Cancel", nullptr},
                                 {"Copy1", "Copy", &TVelaBrowser::Copy1Click},
                                 {"Move1", "Move", &TVelaBrowser::Move1Click},
                                 {"SetReference1", "Fetch Reference", &TVelaBrowser::SetReference1Click},
                                 {"AddReference1", "Add Reference", &TVelaBrowser::AddReference1Click},
                                 {"DeleteRef1", "Delete Reference", &TVelaBrowser::DeleteRef1Click},
                                 {"ReplaceRef1", "Replace reference", &TVelaBrowser::ReplaceRef1Click}};
  for (const TDropItem& item : dropItems) {
    QAction* a = fDropMenu->addAction(QString::fromLatin1(item.Text));
    a->setObjectName(QString::fromLatin1(item.Name));
    if (item.Click) connect(a, &QAction::triggered, this, item.Click);
  }
  fTreeItems = new TVelaMenuItem(this);
  fDropItems = new TVelaMenuItem(this);
}

TColumnColl& TVelaBrowser::ColDefs() { return fModel->ColDefs(); }
TVisibleColl& TVelaBrowser::VisibleColl() { return fView->VisibleColl(); }
TSFieldKind TVelaBrowser::Sort_FK() const { return fView->Sort_FK; }
uint32_t TVelaBrowser::Sort_FID() const { return fView->Sort_FID; }

// ---------------------------------------------------------------------------
// Properties

TVelaObject* TVelaBrowser::RootObject() const { return fModel->RootObject(); }

void TVelaBrowser::SetRootObject(TVelaObject* Value) {
  AddAllSubs3(QModelIndex(), Value, false);
  if (OnRootChanged) OnRootChanged(this);
}

bool TVelaBrowser::AsListView() const { return fModel->AsListView(); }
void TVelaBrowser::SetAsListView(bool Value) { fModel->SetAsListView(Value); }

void TVelaBrowser::SetOnGetPDef(TGetPdef Value) { fModel->ColDefs().SetOnGetPDef(std::move(Value)); }
const TGetPdef& TVelaBrowser::OnGetPDef() const { return fModel->ColDefs().OnGetPDef(); }

void TVelaBrowser::SetWithColumns(bool Value) {
  if (Value == fWithColumns) return;
  TVelaObject* selected = Selected();
  fView->setUpdatesEnabled(false);
  fWithColumns = Value;
  fView->SetWithColumns(Value);
  fModel->SetWithColumns(Value);
  fView->header()->setVisible(Value);
  // With columns the cells are edited and the focus scrolls into view.
  fView->setAutoScroll(Value);
  fView->setUpdatesEnabled(true);
  fView->viewport()->update();
  if (selected) {
    if (fView->selectionModel()) fView->selectionModel()->clearCurrentIndex();
    FocusObject(selected);
  }
  fView->SyncHeader();
}

void TVelaBrowser::SetZoom(int Value) {
  Value = std::clamp(Value, 100, 200);
  if (Value == fZoom) return;
  fZoom = Value;
  fView->SetZoom(Value);
  fView->SyncHeader();
  if (OnZoomed) OnZoomed(this);
}

void TVelaBrowser::SetPopupMode(bool Value) {
  fPopupMode = Value;
  fView->setDragEnabled(!Value);
  if (Value) fInsertEnabled = false;
}

void TVelaBrowser::SetHideParamsBar(bool Value) {
  fHideParamsBar = Value;
  fFilter->ParamsBar->setVisible(!Value);
}

TVelaObject* TVelaBrowser::Selected() const { return fModel->ObjectOf(fView->currentIndex()); }

TVelaObject* TVelaBrowser::TopObject() const { return fModel->ObjectOf(fView->RowAt(0)); }

void TVelaBrowser::SetTopObject(TVelaObject* Value) {
  const QModelIndex row = SearchForNode(Value);
  if (row.isValid()) fView->scrollTo(row, QAbstractItemView::PositionAtTop);
}

// ---------------------------------------------------------------------------
// Operations

void TVelaBrowser::AddAllSubs3(const QModelIndex& Node, TVelaObject* s, bool anyway) {
  if (!Node.isValid()) {
    fView->setUpdatesEnabled(false);
    fModel->Build(fDestroying ? nullptr : s);
    EnumerateNodesVisible();
    if (!AsListView() && fModel->rowCount() > 0) fView->ExpandRow(fModel->index(0, 0));
    fView->RegistryDirty();
    fView->setUpdatesEnabled(true);
    if (OnChange && fView->currentIndex().isValid()) FocusChanged(fView->currentIndex(), QModelIndex());
    fView->SyncHeader();
    return;
  }
  bool visible = true;
  int check = 0;
  if (OnAddnode && !OnAddnode(s, visible, check)) return;
  if (!s) return;
  const QModelIndex node = fModel->InsertNode(Node, -1, s, visible, check);
  if (!visible) fView->setRowHidden(node.row(), node.parent(), true);
  if (AddProc) {
    AddProc(this, node, s, anyway);
  } else if (anyway) {
    fModel->FillChildren(node, true);
  }
}

void TVelaBrowser::MakeListView(TVelaObject* aOwner, int aMax, TGetPdef aOnGetPdef) {
  SetOnGetPDef(std::move(aOnGetPdef));
  fModel->BuildSimpleList(aOwner, std::max(aMax, 0));
  fView->RegistryDirty();
  fView->SyncHeader();
}

QModelIndex TVelaBrowser::SearchForNode(TVelaObject* S) const { return fModel->SearchForNode(S); }

TVelaObject* TVelaBrowser::GetNodeObject(const QModelIndex& Node) const { return fModel->ObjectOf(Node); }

void TVelaBrowser::FocusNode(const QModelIndex& Node) {
  if (!Node.isValid() || !fView->selectionModel()) return;
  const int column = std::max(fView->currentIndex().column(), 0);
  QModelIndex cell = Node.sibling(Node.row(), std::min(column, fModel->columnCount(Node.parent()) - 1));
  cell = fView->ClampToRowSet(cell);
  fView->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  fView->scrollTo(cell);
}

void TVelaBrowser::FocusObject(TVelaObject* Aobj, bool DoExpand, TVelaObject* aOwner, bool ExpandChild) {
  if (!Aobj) return;
  QModelIndex node = SearchForNode(Aobj);
  if (node.isValid()) return FocusNode(node);
  if (!DoExpand) return;
  // Up to the first owner that has a row (in list mode the root's row is the tree root).
  TVelaObject* current = aOwner ? aOwner : Aobj->SOwner();
  QModelIndex row;
  bool found = false;
  for (; current; current = current->SOwner()) {
    if (OwnerRow(current, row)) {
      found = true;
      break;
    }
  }
  if (!found) return;
  if (row.isValid()) fView->ExpandRow(row);
  // Then down the subs that lead to Aobj.
  for (int guard = 0; guard < 1000 && current; ++guard) {
    TVelaObject* step = nullptr;
    for (int i = 0; i < current->Subcount() && !step; ++i)
      if (TVelaObject* sub = current->Sub(i); sub && Aobj->HasOwner(sub)) step = sub;
    if (!step) return;
    const QModelIndex next = fModel->FindChild(row, step);
    if (!next.isValid()) return;
    if (step == Aobj) {
      FocusNode(next);
      if (ExpandChild) fView->ExpandRow(next);
      return;
    }
    fView->ExpandRow(next);
    row = next;
    current = step;
  }
}

void TVelaBrowser::ShowObject(TVelaObject* Obj) {
  if (!Obj) return;
  FocusObject(Obj, true);
  const QModelIndex node = SearchForNode(Obj);
  if (node.isValid()) fView->scrollTo(node, QAbstractItemView::EnsureVisible);
}

bool TVelaBrowser::SelectNextNode(TVelaObject* Origin) {
  TVelaObject* obj = Origin ? Origin : Selected();
  const QModelIndex node = SearchForNode(obj);
  if (!node.isValid()) return false;
  const QModelIndex next = node.sibling(node.row() + 1, 0);
  if (!next.isValid()) return false;
  FocusNode(next);
  return true;
}

void TVelaBrowser::SetFocusedIndex(int I) {
  if (I < 0 || I >= fModel->rowCount()) return;
  FocusNode(fModel->index(I, 0));
}

std::vector<TVelaObject*> TVelaBrowser::GetSelPArray() const {
  std::vector<TVelaObject*> out;
  for (const QModelIndex& row : SelectedRows()) out.push_back(fModel->ObjectOf(row));
  return out;
}

TColumnDef* TVelaBrowser::GetColumnDef(const QModelIndex& Node, int Column) const {
  TBrowserNode* node = fModel->NodeOf(Node);
  if (!node) return nullptr;
  return fModel->ColDefs().ColumnDef(static_cast<uint32_t>(node->Row), node->Obj, fModel->SimpleList(), Column);
}

void TVelaBrowser::EnumerateNodesVisible() {
  std::vector<QModelIndex> stack;
  for (int r = fModel->rowCount() - 1; r >= 0; --r) stack.push_back(fModel->index(r, 0));
  while (!stack.empty()) {
    const QModelIndex idx = stack.back();
    stack.pop_back();
    TBrowserNode* node = fModel->NodeOf(idx);
    if (node && OnAddnode) {
      bool visible = true;
      int check = node->CheckType;
      OnAddnode(node->Obj, visible, check);
      node->NodeVisible = visible;
      node->CheckType = check;
    }
    if (node) fView->setRowHidden(idx.row(), idx.parent(), !node->NodeVisible);
    for (int r = fModel->rowCount(idx) - 1; r >= 0; --r) stack.push_back(fModel->index(r, 0, idx));
  }
}

void TVelaBrowser::CollapseAll() {
  for (int r = 0; r < fModel->rowCount(); ++r) fView->collapse(fModel->index(r, 0));
}

void TVelaBrowser::ExpandAllFromFocused() {
  const QModelIndex current = fView->currentIndex();
  if (current.isValid()) fView->expandRecursively(current.sibling(current.row(), 0));
}

// ---------------------------------------------------------------------------
// Focus, keys, clicks and menus

void TVelaBrowser::FocusChanged(const QModelIndex& Current, const QModelIndex&) {
  if (fDestroying || !Current.isValid()) return;
  TVelaObject* obj = GetNodeObject(Current);
  if (!obj) return;
  TColumnDef* def = fWithColumns ? GetColumnDef(Current) : nullptr;
  if (OnChange) OnChange(obj, Current.column(), def, Current);
  def = fWithColumns ? GetColumnDef(Current) : nullptr;  // the handler may have read other rows
  TVelaObject* part = def ? def->CProps.Part : obj;
  try {
    fTrack1->setEnabled(!fPopupMode && part && part->TrackMe());
    fInsertEnabled = !fPopupMode && part && part->SOwner() && part->SOwner()->GetNumInsertClasses() > 0;
  } catch (...) {
  }
}

void TVelaBrowser::VisibleChanged() {
  if (OnVisibleChanged) OnVisibleChanged(this);
}

void TVelaBrowser::FilterChanged() {
  if (OnFilterChanged) OnFilterChanged(this);
  EnumerateNodesVisible();
  fModel->ColDefs().ForgetObjects();
  fView->RegistryDirty();
  fView->viewport()->update();
}

void TVelaBrowser::Expanded(const QModelIndex& Index) {
  fModel->SetExpanded(Index, true);
  fView->RegistryDirty();
}

void TVelaBrowser::Collapsed(const QModelIndex& Index) {
  // The root object's row stays open in tree mode.
  if (!AsListView() && !Index.parent().isValid()) {
    fView->ExpandRow(Index);
    return;
  }
  fModel->SetExpanded(Index, false);
  if (TVelaObject* obj = GetNodeObject(Index)) {
    try {
      obj->DoExpand();
    } catch (...) {
    }
  }
  // A collapse that hides the focused row hands the focus to the collapsed row.
  for (QModelIndex p = fView->currentIndex().parent(); p.isValid(); p = p.parent())
    if (p == Index.sibling(Index.row(), 0)) {
      FocusNode(Index);
      break;
    }
  // Children of collapsed rows are freed and made again on the next expansion.
  fModel->RemoveChildren(Index);
  fView->RegistryDirty();
}

bool TVelaBrowser::ViewKeyPress(QKeyEvent* Event) {
  const int key = Event->key();
  const Qt::KeyboardModifiers mods = Event->modifiers();
  const bool ctrl = mods & Qt::ControlModifier;
  const QModelIndex current = fView->currentIndex();
  const QModelIndex row = current.isValid() ? current.sibling(current.row(), 0) : QModelIndex();
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      int k = key;
      InpBoxKeyDown(k, mods);  // the numeric input box may take it
      if (k == 0) return true;
      if (fWithColumns) {
        ActivateCell(0, mods);
        return true;
      }
      if (OnSelectDblClick && Selected()) OnSelectDblClick(this, row, Selected());
      return true;
    }
    case Qt::Key_Left:
      if (!ctrl || !row.isValid()) return false;
      if (fView->isExpanded(row)) {
        fView->collapse(row);
      } else if (row.parent().isValid() && GetNodeObject(row.parent()) && GetNodeObject(row.parent()) != RootObject()) {
        FocusNode(row.parent());
      }
      return true;
    case Qt::Key_Right:
      if (!ctrl || !row.isValid()) return false;
      if (!fView->isExpanded(row)) fView->ExpandRow(row);
      return true;
    case Qt::Key_F9:
      if (!row.isValid()) return true;
      if (ctrl) {
        if (fView->isExpanded(row)) fView->collapse(row);
      } else {
        fView->setExpanded(row, !fView->isExpanded(row));
      }
      return true;
    case Qt::Key_Insert:
      if (fInsertEnabled) Insert1Click();
      return true;
    case Qt::Key_Delete: Delete1Click(); return true;
    default: return false;
  }
}

void TVelaBrowser::ViewClicked(const QModelIndex& Index) {
  if (OnSelectClick && Index.isValid()) OnSelectClick(this, Index.sibling(Index.row(), 0), GetNodeObject(Index));
}

void TVelaBrowser::SetTreePopupMenu(QMenu* Menu) {
  if (!Menu || Menu == fPopupMenu2) return;
  Menu->addSeparator();
  Menu->addAction(fExplore1);
  fPopupMenu2 = Menu;
}

void TVelaBrowser::keyPressEvent(QKeyEvent* Event) {
  if (Event->key() == Qt::Key_Delete || Event->key() == Qt::Key_Insert) {
    ViewKeyPress(Event);
    return;
  }
  QFrame::keyPressEvent(Event);
}

}  // namespace vela
