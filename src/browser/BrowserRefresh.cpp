// The browser frame's message handling: framework notifications change the
// rows, status deliveries repaint the cells on screen.
#include <QHeaderView>
#include <QScrollBar>

#include "browser/Browser.h"
#include "browser/BrowserModel.h"
#include "browser/BrowserView.h"
#include "framework/SConstants.h"
#include "framework/StatusList.h"
#include "framework/velaobject.h"

namespace vela {

namespace {
constexpr TStBits kAllStatus = TStBits::FromBits(0xFFFFFFFFu);
constexpr TDtBits kAllData = TDtBits::FromBits(0xFFFFFFFFu);
}  // namespace

void TVelaBrowser::Dispatch(TMessage& Message) {
  if (fDestroying) return;
  // Deliveries of the status list name their real-time source.
  if (const void* source = StatusSourceOf(Message)) {
    if (Message.Msg == SOM_StatusDirty)
      fView->InvalidateSource(source, TStBits::FromBits(static_cast<uint32_t>(Message.WParam)),
                              TDtBits::FromBits(static_cast<uint32_t>(Message.LParam)));
    else if (Message.Msg == SOM_ToBeDeleted)
      fView->RegistryDirty();  // the list drops the registration itself
    return;
  }
  auto* obj = reinterpret_cast<TVelaObject*>(Message.WParam);
  switch (Message.Msg) {
    case WM_BrowserSelection:
      if (Message.WParam == 1) {
        const TObjectList selected = GetSelPArray();
        Message.Result = selected.size() < 2 ? 0 : reinterpret_cast<intptr_t>(new TObjectList(selected));
      }
      return;
    case SOM_SelectNewObject:
    case WM_BrowserShowObject: try { ShowObject(obj);
      } catch (...) {
      }
      return;
    case WM_BrowserIgnored: return;
    default: break;
  }
  if (Message.Msg < SOM_FirstFramework || Message.Msg > SOM_LastFramework) return;
  if (StatusClosing()) return;  // the application is closing: nothing to show any more
  try {
    switch (Message.Msg) {
      case SOM_Inserted:
        if (obj) ObjectInserted(obj->SOwner(), obj);
        break;
      case SOM_Deleted: ObjectDeleted(obj); break;
      case SOM_ToBeDeleted: ObjectToBeDeleted(obj); break;
      case SOM_SubsDirty: SubsDirty(obj); break;
      case SOM_Exchanged: ObjectExchanged(obj, reinterpret_cast<TVelaObject*>(Message.LParam)); break;
      case SOM_DataChanged:
      case SOM_NameChanged:
      case SOM_StatusChanged:
      case SOM_DataInc: Invalidate(obj); break;
      case SOM_EndUpdateSubs: EndTreeUpdate(); break;
      case SOM_BeginUpdateSubs: BeginTreeUpdate(); break;
      default: break;  // every other framework number is swallowed
    }
  } catch (...) {
  }
}

bool TVelaBrowser::OwnerRow(TVelaObject* Owner, QModelIndex& Row) const {
  Row = QModelIndex();
  if (!Owner) return false;
  if (AsListView() && Owner == RootObject()) return true;  // the tree root
  Row = SearchForNode(Owner);
  return Row.isValid();
}

void TVelaBrowser::Invalidate(TVelaObject* Obj) {
  // Should the change alter the row's field layout, the repaint notices it
  // and the registry follows.
  if (Obj) fView->InvalidateObject(Obj, kAllStatus, kAllData, false);
}

void TVelaBrowser::ObjectInserted(TVelaObject* Owner, TVelaObject* Sub) {
  bool visible = true;
  int check = 0;
  if (OnAddnode && !OnAddnode(Sub, visible, check)) return;
  QModelIndex row;
  if (!OwnerRow(Owner, row)) {
    Invalidate(Owner);
    return;
  }
  fView->RegistryDirty();
  const bool open = !row.isValid() || fView->isExpanded(row);
  if (open) {
    if (fModel->FindChild(row, Sub).isValid()) return;
    const int position = std::min(Owner->SIndexof(Sub), fModel->rowCount(row));
    const QModelIndex node = fModel->InsertNode(row, position, Sub, visible, check);
    if (!visible) fView->setRowHidden(node.row(), node.parent(), true);
    if (row.isValid()) fView->ExpandRow(row);
    return;
  }
  const QModelIndex top = fView->RowAt(0);
  if (fAutoExpand || row == top) {
    fView->ExpandRow(row);  // makes the children from the objects
    return;
  }
  ++fView->UpdateVisibleCount;
  fModel->SetHasChildren(row, Owner->Subcount() > 0);
  fModel->SetOfRow(row, true);
  fView->viewport()->update(fView->RowBand(row));
  --fView->UpdateVisibleCount;
}

void TVelaBrowser::RemoveRow(const QModelIndex& Row) {
  if (!Row.isValid()) return;
  const QModelIndex current = fView->currentIndex();
  bool hadFocus = false;
  for (QModelIndex p = current; p.isValid(); p = p.parent())
    if (p.row() == Row.row() && p.parent() == Row.parent()) hadFocus = true;
  QPersistentModelIndex next;
  if (hadFocus) {
    // The focus goes to the next sibling, else the previous one, else the parent.
    const int column = current.column();
    QModelIndex candidate = Row.sibling(Row.row() + 1, 0);
    if (!candidate.isValid() && Row.row() > 0) candidate = Row.sibling(Row.row() - 1, 0);
    if (!candidate.isValid()) candidate = Row.parent();
    if (candidate.isValid()) next = candidate.sibling(candidate.row(), std::max(column, 0));
  }
  fModel->RemoveNode(Row);
  fView->RegistryDirty();
  if (hadFocus && next.isValid()) FocusNode(next);
}

void TVelaBrowser::ObjectDeleted(TVelaObject* Owner) {
  QModelIndex row;
  if (!OwnerRow(Owner, row)) {
    Invalidate(Owner);
    return;
  }
  TBrowserNode* node = row.isValid() ? fModel->NodeOf(row) : fModel->RootNode();
  if (!node) return;
  if (node->Children.empty()) {
    if (node->HasChildren && Owner->Subcount() <= 0) {
      fModel->SetHasChildren(row, false);
      fView->viewport()->update(fView->RowBand(row));
    }
    return;
  }
  // The removed object is gone: compare addresses only, never look into it.
  TSCollection* subs = Owner->Subobjects();
  for (const auto& child : node->Children) {
    if (!subs || subs->ScanIndexOf(child->Obj) < 0) {
      RemoveRow(fModel->IndexOf(child.get()));
      return;
    }
  }
}

void TVelaBrowser::ObjectToBeDeleted(TVelaObject* Obj) {
  if (!Obj) return;
  fModel->ColDefs().ForgetObjects();
  fView->RegistryDirty();
  TVelaObject* root = RootObject();
  if (root && root->HasOwner(Obj)) {
    SetRootObject(nullptr);
    return;
  }
  bool found = false;
  for (QModelIndex row = SearchForNode(Obj); row.isValid(); row = SearchForNode(Obj)) {
    RemoveRow(row);
    found = true;
  }
  if (!found) Invalidate(Obj);
}

void TVelaBrowser::SubsDirty(TVelaObject* Obj) {
  QModelIndex row;
  if (!OwnerRow(Obj, row)) return;
  TVelaObject* selected = Selected();
  const bool remember = selected && (selected == Obj || selected->SOwner() == Obj);
  const int oldY = remember ? fView->RowBand(fView->currentIndex()).top() : 0;
  const bool wasOpen = !row.isValid() || fView->isExpanded(row);
  fModel->RemoveChildren(row);
  fModel->FillChildren(row, true);
  fView->RegistryDirty();
  if (remember) {
    if (row.isValid()) fView->ExpandRow(row);
    FocusObject(selected, false);
    // The focused row stays at the same height on screen.
    const QModelIndex current = fView->currentIndex();
    const int rowHeight = fView->RowBand(current).height();
    const int newY = fView->RowBand(current).top();
    if (rowHeight > 0 && newY != oldY) {
      QScrollBar* bar = fView->verticalScrollBar();
      bar->setValue(bar->value() + (newY - oldY) / rowHeight);
    }
  } else if (row.isValid() && (wasOpen || Obj == RootObject())) {
    fView->ExpandRow(row);
  }
}

void TVelaBrowser::ObjectExchanged(TVelaObject* Old, TVelaObject* New) {
  if (!Old) return;
  fModel->ColDefs().ForgetObjects();
  fView->RegistryDirty();
  // Replacing the root (or an owner of it) re-roots the browser.
  TVelaObject* root = RootObject();
  if (root && root->HasOwner(Old)) {
    SetRootObject(root == Old ? New : nullptr);
    return;
  }
  const QModelIndex row = SearchForNode(Old);
  if (!row.isValid()) return;
  const QPersistentModelIndex parent = row.parent();
  const int position = row.row();
  const QModelIndex current = fView->currentIndex();
  const bool hadFocus = current.isValid() && current.row() == row.row() && current.parent() == row.parent();
  fModel->RemoveNode(row);
  if (!New) return;
  const QModelIndex node = fModel->InsertNode(parent, position, New);
  if (hadFocus) FocusNode(node);
}

void TVelaBrowser::BeginTreeUpdate() {
  if (fUpdateDepth++ == 0) fView->setUpdatesEnabled(false);
}

void TVelaBrowser::EndTreeUpdate() {
  if (fUpdateDepth == 0) return;  // an end without a begin changes nothing
  if (--fUpdateDepth == 0) {
    fView->setUpdatesEnabled(true);
    fView->RegistryDirty();
    fView->viewport()->update();
  }
}

}  // namespace vela
