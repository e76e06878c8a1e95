// The browser frame's commands on rows and cells: activating a cell by its
// field kind, the in-place editor, writing values to one or every selected
// row, delete, insert and add, the object menus of the tree, dragging and
// dropping objects with the drop menu, and Explore.
#include <QAction>
#include <QMenu>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "browser/Browser.h"
#include "browser/BrowserModel.h"
#include "browser/BrowserView.h"
#include "browser/ControlMenus.h"
#include "browser/InpBox.h"
#include "browser/InpEntry.h"
#include "browser/MessageBoxes.h"
#include "framework/Drag.h"
#include "framework/FieldValues.h"
#include "framework/FrameworkHooks.h"
#include "framework/ObjectMenus.h"
#include "framework/velaobject.h"

namespace vela {

std::function<void(TVelaObject* Obj)>& ExploreHook() {
  static std::function<void(TVelaObject*)> hook;
  return hook;
}

namespace {

// What activating a cell does, by the cell's field kind.
enum class TCellAction : uint8_t {
  None,
  Command,
  Level,
  Text,
  Number,
  Date,
  PercentWord,
  Time,
  Choice,
  Bool,
  Bits,
  Ident
};

TCellAction CellActionOf(TSFieldKind Kind) {
  switch (Kind) {
    case FK_Special:
    case FK_Status: return TCellAction::Command;
    case FK_ChanLevel: return TCellAction::Level;
    case FK_Text: return TCellAction::Text;
    case FK_Byte:
    case FK_Word:
    case FK_SmallInt:
    case FK_Integer:
    case FK_LongWord:
    case FK_Single:
    case FK_CalibrateValue:
    case FK_ShortInt: return TCellAction::Number;
    case FK_Date: return TCellAction::Date;
    case FK_ProsWord: return TCellAction::PercentWord;
    case FK_TimeDate:
    case FK_Pros1000: return TCellAction::Time;
    case FK_WordKind:
    case FK_ByteKind:
    case FK_IntegerKind:
    case FK_PackedPalettes: return TCellAction::Choice;
    case FK_Bool: return TCellAction::Bool;
    case Fk_LongBits:
    case FK_ByteBits:
    case FK_WordBits: return TCellAction::Bits;
    case FK_Int64:
    case FK_UniqueId: return TCellAction::Ident;
    default: return TCellAction::None;
  }
}

// A percent entry (0..100) as a level 0..255, rounded to nearest.
int32_t PercentToLevel(int32_t Percent) { return static_cast<int32_t>(std::lround(Percent * 255.0 / 100.0)); }

// The part of a value that is copied for every selected row: the kinds of
// fixed small size are copied, any other value is passed as it is.
size_t CopiedSize(TSFieldKind Kind) {
  switch (Kind) {
    case FK_Byte:
    case FK_ByteKind: return 1;
    case FK_Word:
    case FK_WordKind: return 2;
    case FK_Integer:
    case FK_IntegerKind: return 4;
    default: return 0;
  }
}

// Where the mouse is on a row: its upper and lower quarter are above and below.
TDmode DropModeAt(const QRect& Band, int Y) {
  if (Band.height() <= 0) return dmNowhere;
  const int quarter = Band.height() / 4;
  if (Y < Band.top() + quarter) return dmAbove;
  if (Y > Band.bottom() - quarter) return dmBelow;
  return dmOnNode;
}

QString TextOf(TVelaObject* Obj) { return Obj ? Obj->FF(FK_Text, 0, 0, 0) : QString(); }

template <class F>
void Guarded(F&& Body) {
  try {
    Body();
  } catch (const std::exception&) {
    // An object refused the command in its own way; the command ends.
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Cells

TColumnDef* TVelaBrowser::CellDefOf(const QModelIndex& Row, int Column, bool Force) const {
  TBrowserNode* node = fModel->NodeOf(Row);
  if (!node || Column < 0) return nullptr;
  return fModel->ColDefs().ColumnDef(static_cast<uint32_t>(node->Row), node->Obj, Force, Column);
}

TColumnDef* TVelaBrowser::FocusedCellDef(bool Force) const {
  const QModelIndex current = fView->currentIndex();
  return current.isValid() ? CellDefOf(current, current.column(), Force) : nullptr;
}

TVelaObject* TVelaBrowser::CellTarget(const TLParam& Param) const {
  return Param.Part ? Param.Part->MySelf() : Selected();
}

std::vector<QModelIndex> TVelaBrowser::SelectedRows() const {
  std::vector<QModelIndex> out;
  QItemSelectionModel* sel = fView->selectionModel();
  if (!sel) return out;
  // Tree order: depth first over the rows that exist.
  std::vector<QModelIndex> stack;
  for (int r = fModel->rowCount() - 1; r >= 0; --r) stack.push_back(fModel->index(r, 0));
  while (!stack.empty()) {
    const QModelIndex idx = stack.back();
    stack.pop_back();
    if (sel->isRowSelected(idx.row(), idx.parent())) out.push_back(idx);
    for (int r = fModel->rowCount(idx) - 1; r >= 0; --r) stack.push_back(fModel->index(r, 0, idx));
  }
  return out;
}

void TVelaBrowser::ActivateCell(int Key, Qt::KeyboardModifiers Shift) {
  const QModelIndex current = fView->currentIndex();
  if (!current.isValid()) return;
  const TColumnDef* def = CellDefOf(current, current.column(), true);
  if (!def) return;
  const TLParam p = def->CProps;  // the set may be re-filled by what follows
  Guarded([&] {
    TVelaObject* target = CellTarget(p);
    bool allow = true;
    if (OnEdit) OnEdit(this, allow, target, p.FK, p.ID, Shift);
    if (!allow || !p.Part || !target) return;
    const QChar key = Key > 0 ? QChar(Key) : QChar();
    const TLpEditModes modes = p.LPEditMode;
    switch (CellActionOf(p.FK)) {
      case TCellAction::None: break;
      case TCellAction::Command:
        if (modes.Has(LPE_UserSet)) p.Part->DoSetField(true, p.FK, p.ID);  // the object runs the field
        break;
      case TCellAction::Level:
        if (modes.Has(LPE_InpBox)) PercentEntry(p);
        break;
      case TCellAction::Number:
        if (p.BitOffset > 0)
          p.Part->ToggleBit(true, p.FK, p.ID, p.BitOffset);
        else if (modes.Has(LE_DirectInput) && InpEntryReady(false))
          DirectNumberEntry(p);
        else
          OpenCellEditor(key);
        break;
      case TCellAction::PercentWord:
      case TCellAction::Time:
        if (InpEntryReady(false)) {
          uint8_t data[kMaxFieldData] = {};
          if (InputEntryToField(p.FK, data, true)) WriteCell(data);
        } else {
          OpenCellEditor(key);
        }
        break;
      case TCellAction::Text:
      case TCellAction::Date:
      case TCellAction::Choice:
      case TCellAction::Bits: OpenCellEditor(key); break;
      case TCellAction::Bool: {
        bool value = target->FN(FK_Bool, p.ID, 0, 0) == 0;
        if (SelectedRows().size() > 1)
          WriteToSelected(FK_Bool, p.ID, &value);
        else if (OnSetField)
          OnSetField(this, target, p.FK, p.ID, &value);
        else
          target->ToggleBool(true, p.ID);
        break;
      }
      case TCellAction::Ident:
        if (!modes.Has(LPE_Pick) && modes.Has(LPE_UserSet)) p.Part->DoSetField(true, p.FK, p.ID);
        break;
    }
  });
}

void TVelaBrowser::PercentEntry(const TLParam& Param) {
  if (!InpEntryReady(false)) return;
  const int32_t entry = InpEntryTall(true);
  if (entry > 100) return;
  uint8_t data[kMaxFieldData] = {};
  const int32_t level = PercentToLevel(entry);
  std::memcpy(data, &level, sizeof(level));
  const std::vector<QModelIndex> rows = SelectedRows();
  if (rows.size() < 2) {
    if (TVelaObject* target = CellTarget(Param)) target->DoSetField(false, Param.FK, Param.ID, data);
    return;
  }
  std::vector<std::pair<TVelaObject*, std::weak_ptr<void>>> objects;
  for (const QModelIndex& row : rows)
    if (TVelaObject* obj = GetNodeObject(row)) objects.emplace_back(obj, obj->AliveToken());
  for (auto& [obj, alive] : objects)
    if (!alive.expired()) obj->DoSetField(false, Param.FK, Param.ID, data);
}

void TVelaBrowser::DirectNumberEntry(const TLParam& Param) {
  const TLpEditModes modes = Param.LPEditMode;
  int64_t value = 0;
  try {
    if (modes.Has(LPE_Prs10))
      value = InpEntryPreset10(true, false);
    else if (modes.Has(LPE_Pros))
      value = PercentToLevel(InpEntryTall(true));
    else if (modes.Has(LE_DMX))
      value = InpEntryDMX(true);
    else
      value = InpEntryTall(true);
  } catch (const EConvertError&) {
    return;  // not a number for this field: nothing is written
  }
  uint8_t data[kMaxFieldData] = {};
  if (Param.FK == FK_Single) {
    const float f = static_cast<float>(value);
    std::memcpy(data, &f, sizeof(f));
  } else {
    PutFieldNumber(Param.FK, data, static_cast<uint32_t>(value));
  }
  WriteCell(data);
}

void TVelaBrowser::ViewDoubleClicked(const QModelIndex& Index, Qt::MouseButtons Buttons, Qt::KeyboardModifiers Shift) {
  if (!Index.isValid()) return;
  if (fWithColumns) {
    // Only on the focused cell, which the first click of the pair focused.
    if (Index != fView->currentIndex()) return;
    if (Buttons & Qt::LeftButton) ActivateCell(0, Shift);
    fView->viewport()->update();
    return;
  }
  const QModelIndex row = Index.sibling(Index.row(), 0);
  if (TVelaObject* obj = GetNodeObject(row); obj && OnSelectDblClick) OnSelectDblClick(this, row, obj);
}

bool TVelaBrowser::CellEditAllowed(const QModelIndex& Cell) const {
  if (!fWithColumns || !Cell.isValid()) return false;
  const TColumnDef* def = GetColumnDef(Cell);
  return def && def->CProps.LPEditMode.Has(LPE_Edit);
}

void TVelaBrowser::OpenCellEditor(QChar Key) {
  const QModelIndex current = fView->currentIndex();
  if (!current.isValid()) return;
  InitialChar = Key;
  fView->edit(current);
}

void TVelaBrowser::WriteCell(const void* Data) {
  const TColumnDef* def = FocusedCellDef(true);
  if (!def) return;
  const TLParam p = def->CProps;
  TVelaObject* target = CellTarget(p);
  if (!target) return;
  if (OnSetField) {
    OnSetField(this, target, p.FK, p.ID, const_cast<void*>(Data));
    return;
  }
  if (SelectedRows().size() >= 2)
    WriteToSelected(p.FK, p.ID, Data);
  else
    target->DoSetField(true, p.FK, p.ID, Data);
}

void TVelaBrowser::WriteToSelected(TSFieldKind FieldKind, uint32_t FieldId, const void* Data) {
  // Every row gets the same value, even when a write changes the caller's buffer.
  uint8_t copy[kMaxFieldData] = {};
  const void* data = Data;
  if (const size_t size = CopiedSize(FieldKind); size > 0 && Data) {
    std::memcpy(copy, Data, size);
    data = copy;
  }
  const int column = fView->currentIndex().column();
  // The cells first: the writes may rebuild rows.
  std::vector<std::pair<TVelaObject*, std::weak_ptr<void>>> targets;
  for (const QModelIndex& row : SelectedRows()) {
    const TColumnDef* def = CellDefOf(row, column, true);
    if (!def || def->CProps.FK != FieldKind || def->CProps.ID != FieldId) continue;
    TVelaObject* target = def->CProps.Part ? def->CProps.Part : GetNodeObject(row);
    if (target) targets.emplace_back(target, target->AliveToken());
  }
  for (auto& [target, alive] : targets)
    if (!alive.expired()) target->DoSetField(true, FieldKind, FieldId, data);
}

bool TVelaBrowser::EditSetField(QObject*, TVelaObject* aObject, void* Data, uint32_t FieldId, TSFieldKind FieldKind) {
  Guarded([&] {
    if (SelectedRows().size() >= 2)
      WriteToSelected(FieldKind, FieldId, Data);
    else if (aObject)
      aObject->DoSetField(true, FieldKind, FieldId, Data);
  });
  return false;
}

// ---------------------------------------------------------------------------
// Delete, insert, add

void TVelaBrowser::Delete1Click() {
  TVelaObject* selected = Selected();
  if (!fEditAllowed || fDeleteInsertDisabled || !selected) return;
  Guarded([&] {
    const QModelIndex current = fView->currentIndex();
    if (OnDelete) {
      bool doDefault = false;
      OnDelete(selected, static_cast<uint32_t>(current.row()), current.column(),
               CellDefOf(current, current.column(), true), doDefault);
      if (!doDefault) return;
    }
    const std::vector<TVelaObject*> objects = GetSelPArray();
    if (objects.size() > 1) {
      TSOwned<TSDdragCollection> coll(SNew<TSDdragCollection>(objects));
      if (!coll->DeleteAllOk()) {
        ErrorBox(QStringLiteral("Some items can not be deleted!"));
        return;
      }
      if (!ConfirmDeleteText(coll->NodeText())) return;
      TVelaObject* root = RootObject();
      coll->DeleteAll(root && root->IsClient());
      return;
    }
    TVelaObject* owner = selected->SOwner();
    if (owner && owner->DeleteOk(selected) && ConfirmDelete(selected)) owner->SFree(selected, true);
  });
}

void TVelaBrowser::DeleteAllSelectedClick(TVelaMenuItem*) { Delete1Click(); }

void TVelaBrowser::Insert1Click() { RowCommand(OnInsert, false); }

void TVelaBrowser::Add1Click() { RowCommand(OnAdd, true); }

void TVelaBrowser::RowCommand(const TRowCommand& Handler, bool Add) {
  if (!fEditAllowed || fDeleteInsertDisabled) return;
  TVelaObject* selected = Selected();
  Guarded([&] {
    if (Handler) {
      if (!selected) return;
      bool doDefault = false;
      const QModelIndex current = fView->currentIndex();
      Handler(selected, static_cast<uint32_t>(current.row()), current.column(),
              CellDefOf(current, current.column(), true), doDefault);
      if (!doDefault) return;
    }
    if (!selected || !selected->SOwner()) return;
    TVelaObject* owner = selected->SOwner();
    const int position = Add ? owner->Subcount() : owner->SIndexof(selected);
    owner->EditAddSub(this, position, 0);  // the owner posts 34469, which focuses the new row
  });
}

// ---------------------------------------------------------------------------
// The tree menu

TVelaMenuItem& TVelaBrowser::TreeMenuItems() { return *fTreeItems; }
TVelaMenuItem& TVelaBrowser::DropMenuItems() { return *fDropItems; }

TVelaObject* TVelaBrowser::ContextObject(const QPoint& MousePos, bool DoFocus) {
  if (MousePos.x() <= 0) return Selected();
  const QModelIndex cell = fView->indexAt(MousePos);
  const QModelIndex row = cell.isValid() ? cell.sibling(cell.row(), 0) : fView->RowAt(MousePos.y());
  if (!row.isValid()) return nullptr;
  TVelaObject* obj = GetNodeObject(row);
  QItemSelectionModel* sel = fView->selectionModel();
  if (!sel) return obj;
  if (DoFocus && SelectedRows().size() < 2) {
    FocusObject(obj);
    // The menu is the clicked cell's: its column becomes the focused one.
    const QModelIndex current = fView->currentIndex();
    if (cell.isValid() && current.isValid() && current.sibling(current.row(), 0) == row && current != cell)
      sel->setCurrentIndex(cell, QItemSelectionModel::NoUpdate);
  } else {
    sel->setCurrentIndex(cell.isValid() ? cell : row, QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  return obj;
}

void TVelaBrowser::RemoveObjectEntries(QMenu* Menu, TMenuEntries& Entries) {
  for (const QPointer<QMenu>& sub : Entries.Submenus) delete sub.data();
  for (const QPointer<QAction>& a : Entries.Actions) {
    if (!a) continue;
    if (Menu) Menu->removeAction(a);
    if (a->isSeparator() && a->parent() == this) delete a.data();
  }
  Entries = {};
}

void TVelaBrowser::AppendObjectEntries(QMenu* Menu, TVelaMenuItem& Level, TMenuEntries& Entries) {
  for (int i = 0; i < Level.Count(); ++i) {
    QAction* entry = Level.Items(i);
    if (!entry) continue;
    TVelaMenuItem* item = AsVelaMenuItem(entry);
    if (item && item->Count() > 0) {
      QMenu* sub = MenuOf(*item, Menu);
      sub->setTitle(item->text());
      sub->setIcon(item->icon());
      Menu->addMenu(sub);
      Entries.Submenus.emplace_back(sub);
    } else {
      Menu->addAction(entry);  // shown, not owned: the level frees its entries
      Entries.Actions.emplace_back(entry);
    }
  }
}

bool TVelaBrowser::ShowTreeMenu(const QPoint& ViewportPos, const QPoint& GlobalPos) {
  const bool simpleList = fModel->SimpleList();
  TVelaObject* obj = ContextObject(ViewportPos, !simpleList);
  bool rootMenu = false;
  if (!obj) {
    obj = RootObject();
    rootMenu = true;
  }
  if (!obj) return false;
  RemoveObjectEntries(fPopupMenu2, fTreeEntries);
  ClearObjectMenuItems(*fTreeItems);
  bool show = true;
  Guarded([&] {
    if (fObjectMenusDisabled || !fEditAllowed) return;
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    fPopupMenu2->addAction(separator);
    fTreeEntries.Actions.emplace_back(separator);
    TLParam p;
    if (!rootMenu) {
      const TColumnDef* def = FocusedCellDef(true);
      if (!def) {
        show = false;
        return;
      }
      p = def->CProps;
    }
    TDropParams params;
    if (!rootMenu && p.IsHistorical) params.Inf.Include(DP_HitIsHistory);
    TVelaObject* owner = obj->SOwner();
    const QModelIndex focused = fView->currentIndex();
    const bool parentShowsOwner = focused.isValid() && owner && GetNodeObject(focused.parent()) == owner;
    if (obj == RootObject() || rootMenu || (owner && !parentShowsOwner)) params.Inf = {DP_HitIsRoot};
    if (owner && focused.isValid() && !params.Inf.Has(DP_HitIsHistory) && !parentShowsOwner)
      params.Inf.Include(DP_DeleteEnabled);
    params.SelectCount = static_cast<int32_t>(SelectedRows().size());
    const TPopMenuKind kind = simpleList ? Pop_ListMenu : Pop_Click;
    TVelaMenuItem* items = fTreeItems;
    if (rootMenu) {
      obj->AddMenuItems(this, kind, items, FK_Undefined, 0, obj, 0, params, nullptr);
    } else {
      if (params.SelectCount > 1)
        obj->CreateMenuItem(this, items, 0, QStringLiteral("Delete all selected items"), items, nullptr,
                            TMenuClick(this, &TVelaBrowser::DeleteAllSelectedClick));
      TVelaObject* part = p.Part ? p.Part->MySelf() : nullptr;
      if (part && part != obj) {
        part->AddMenuItems(this, kind, items, p.FK, p.ID, part, 0, params, nullptr);
        obj->AddMenuItems(this, kind, items, FK_Text, 0, part, 0, params, nullptr);
      } else {
        obj->AddMenuItems(this, kind, items, p.FK, p.ID, obj, 0, params, nullptr);
      }
    }
    RemoveDuplicateMenuItems(*items);
    AppendObjectEntries(fPopupMenu2, *items, fTreeEntries);
  });
  if (!show) return false;
  fPopupMenu2->popup(GlobalPos);
  return true;
}

void TVelaBrowser::ExploreClick() {
  TVelaObject* selected = Selected();
  if (!selected) return;
  if (auto& explore = ExploreHook()) {
    explore(selected);
  } else if (auto& open = FrameworkHooks().ObjectWindow) {
    open(selected, this, 0);
  }
}

// ---------------------------------------------------------------------------
// Drag and drop

TVelaObject* TVelaBrowser::DroppedObject() const { return fDroppedAlive.expired() ? nullptr : fDroppedObject; }
TVelaObject* TVelaBrowser::TargetObject() const { return fTargetAlive.expired() ? nullptr : fTargetObject; }
TVelaObject* TVelaBrowser::DroppedAt() const { return fDroppedAtAlive.expired() ? nullptr : fDroppedAt; }

TSDrag* TVelaBrowser::StartObjectDrag() {
  TVelaObject* selected = Selected();
  if (fPopupMode || !selected) return nullptr;
  TSDrag* drag = nullptr;
  Guarded([&] {
    TVelaObject* dragged = selected;
    TSFieldKind kind = FK_Text;
    uint32_t id = 0;
    if (const TColumnDef* def = FocusedCellDef(true)) {
      if (def->CProps.IsHistorical) return;
      dragged = def->CProps.Part;
      kind = def->CProps.FK;
      id = def->CProps.ID;
    }
    if (!dragged || dragged->RQ(RQ_DragDenied, dragged, 0, 0) > 0) return;
    const std::vector<TVelaObject*> objects = GetSelPArray();
    if (objects.size() >= 2)
      drag = TSDrag::CreateColl(SNew<TSDdragCollection>(objects), FK_Text, 0);
    else
      drag = TSDrag::Create(dragged, kind, id);
  });
  return drag;
}

bool TVelaBrowser::ObjectDragOver(TSDrag* Source, const QPoint& Pos, Qt::KeyboardModifiers Shift) {
  if (fDropsDisabled || !Source || !Source->DragObj()) return false;
  const QModelIndex row = fView->RowAt(Pos.y());
  TVelaObject* at = GetNodeObject(row);
  if (!at) return false;
  bool accepted = false;
  Guarded([&] {
    DropMode = Source->GetDMode(DropModeAt(fView->RowBand(row), Pos.y()));
    TSDropkind kinds;
    TVelaObject* target = at->Acceptdrop(Source->DragObj(), kinds, DropMode, Shift);
    Dropkind = kinds;
    accepted = target && !kinds.Empty();
  });
  return accepted;
}

bool TVelaBrowser::ObjectDrop(TSDrag* Source, const QPoint& Pos, const QPoint& GlobalPos, Qt::KeyboardModifiers Shift) {
  if (fDropsDisabled || !Source || !Source->DragObj()) return false;
  const QModelIndex row = fView->RowAt(Pos.y());
  TVelaObject* at = GetNodeObject(row);
  if (!at) return false;
  ForgetDrop();
  TVelaObject* dragged = Source->DragObj();
  TDropParams params;
  params.DropFK = Source->DragFKind();
  params.DropID = Source->DragFId();
  const QModelIndex cell = fView->indexAt(Pos);
  const TColumnDef* def =
      cell.isValid() && cell.sibling(cell.row(), 0) == row ? CellDefOf(row, cell.column(), true) : nullptr;
  const TLParam p = def ? def->CProps : TLParam{};
  TVelaObject* target = nullptr;
  Guarded([&] {
    DropMode = Source->GetDMode(DropModeAt(fView->RowBand(row), Pos.y()));
    TSDropkind kinds;
    target = at->Acceptdrop(dragged, kinds, DropMode, Shift);
    Dropkind = kinds;
  });
  if (!target || Dropkind.Empty()) return false;
  fDroppedAt = at;
  fDroppedAtAlive = at->AliveToken();
  fTargetObject = target;
  fTargetAlive = target->AliveToken();
  fDroppedObject = dragged;
  fDroppedAlive = dragged->AliveToken();
  // The drop is taken: a dragged collection is the frame's now.
  fOwnsDropped = AsDragCollection(dragged) != nullptr;

  if (Dropkind == TSDropkind{DSD_DirectDrop}) {
    DroppedKind = DSD_copy;
    Guarded([&] { target->Receivedrop(dragged, at, DroppedKind, DropMode); });
    ForgetDrop();
    return true;
  }

  auto show = [this](const char* Name, bool Visible, const QString& Caption = QString()) {
    if (QAction* a = fDropMenu->findChild<QAction*>(QString::fromLatin1(Name))) {
      a->setVisible(Visible);
      if (!Caption.isEmpty()) a->setText(Caption);
    }
  };
  const QString to = TextOf(dragged) + QStringLiteral(" to ") + TextOf(target);
  show("Move1", Dropkind.Has(DSD_move), QStringLiteral("Move ") + to);
  show("Copy1", Dropkind.Has(DSD_copy), QStringLiteral("Copy ") + to);
  show("SetReference1", Dropkind.Has(DSD_Reference));
  show("AddReference1", Dropkind.Has(DSD_AddRef));
  show("DeleteRef1", Dropkind.Has(DSD_RemoveRef));
  show("ReplaceRef1", Dropkind.Has(DSD_ReplaceRef));
  show("Cancel1", true);

  RemoveObjectEntries(fDropMenu, fDropEntries);
  ClearObjectMenuItems(*fDropItems);
  Guarded([&] {
    if (def)
      target->AddMenuItems(this, Pop_Drop, fDropItems, p.FK, p.ID, at, 0, params, dragged);
    else
      at->AddMenuItems(this, Pop_Drop, fDropItems, FK_Text, 0, at, 0, params, dragged);
    AppendObjectEntries(fDropMenu, *fDropItems, fDropEntries);
  });
  // The menu runs until an entry has been carried out or it was dismissed;
  // whatever was dropped and not taken then goes.
  const QPointer<TVelaBrowser> self(this);
  fDropMenu->exec(GlobalPos);
  if (self) ForgetDrop();
  return true;
}

void TVelaBrowser::DropMenuClick(TSDropkinds Kind) {
  TVelaObject* target = TargetObject();
  TVelaObject* dropped = DroppedObject();
  if (!target || !dropped) return;
  Guarded([&] {
    TVelaObject* result = target->Receivedrop(dropped, DroppedAt(), Kind, DropMode);
    const std::weak_ptr<void> resultAlive = result ? result->AliveToken() : std::weak_ptr<void>();
    if (Kind == DSD_copy) ProcessPendingMessages();
    if ((Kind == DSD_copy || Kind == DSD_move) && result && !resultAlive.expired()) FocusObject(result);
  });
}

void TVelaBrowser::Copy1Click() { DropMenuClick(DSD_copy); }
void TVelaBrowser::Move1Click() { DropMenuClick(DSD_move); }
void TVelaBrowser::SetReference1Click() { DropMenuClick(DSD_Reference); }
void TVelaBrowser::AddReference1Click() { DropMenuClick(DSD_AddRef); }
void TVelaBrowser::DeleteRef1Click() { DropMenuClick(DSD_RemoveRef); }
void TVelaBrowser::ReplaceRef1Click() { DropMenuClick(DSD_ReplaceRef); }

void TVelaBrowser::ForgetDrop() {
  if (fOwnsDropped && !fDroppedAlive.expired())
    if (TSDdragCollection* coll = AsDragCollection(fDroppedObject)) FreeObj(coll);
  fOwnsDropped = false;
  fDroppedObject = fTargetObject = fDroppedAt = nullptr;
  fDroppedAlive.reset();
  fTargetAlive.reset();
  fDroppedAtAlive.reset();
}

}  // namespace vela
