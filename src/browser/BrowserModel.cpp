#include "browser/BrowserModel.h"

#include <QBrush>
#include <QColor>
#include <algorithm>

#include "browser/BrowserIcons.h"
#include "framework/velaobject.h"

namespace vela {

namespace {
constexpr uint32_t kBoxType = 603;  // a box, whose reboot flag colours its cells

bool NeedsReboot(TVelaObject* part) { return part && part->Objtype() == kBoxType && part->FN(FK_Bool, 3) != 0; }

QColor FromTColor(int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

Qt::Alignment AlignmentOf(TAlignment a) {
  switch (a) {
    case taLeftJustify: return Qt::AlignLeft | Qt::AlignVCenter;
    case taRightJustify: return Qt::AlignRight | Qt::AlignVCenter;
    case taCenter: break;
  }
  return Qt::AlignCenter;
}
}  // namespace

int TBrowserNode::Level() const {
  int level = -1;
  for (const TBrowserNode* p = Parent; p; p = p->Parent) ++level;
  return std::max(level, 0);
}

TBrowserModel::TBrowserModel(QObject* parent) : QAbstractItemModel(parent), fRoot(std::make_unique<TBrowserNode>()) {
  fRoot->ChildrenCreated = true;
  fColDefs.PrepareOpt = [this](TParamsOpt& opt) { PrepareOpt(opt); };
  fColDefs.OnSetCreated = [this](TColumndefs* set) {
    if (!fWithColumns || set->Count() <= fColumnCount || fColumnCheckQueued) return;
    // Sets are often made while the view paints: grow the columns afterwards.
    fColumnCheckQueued = true;
    QMetaObject::invokeMethod(this, &TBrowserModel::CheckColumnCount, Qt::QueuedConnection);
  };
}

TBrowserModel::~TBrowserModel() = default;

void TBrowserModel::PrepareOpt(TParamsOpt& Opt) const {
  if (DisplayOptions) DisplayOptions(Opt);
}

// ---------------------------------------------------------------------------
// QAbstractItemModel

TBrowserNode* TBrowserModel::NodeOf(const QModelIndex& Index) const {
  return Index.isValid() ? static_cast<TBrowserNode*>(Index.internalPointer()) : nullptr;
}

QModelIndex TBrowserModel::IndexOf(const TBrowserNode* Node, int Column) const {
  if (!Node || Node == fRoot.get()) return QModelIndex();
  return createIndex(Node->Row, Column, const_cast<TBrowserNode*>(Node));
}

TVelaObject* TBrowserModel::ObjectOf(const QModelIndex& Index) const {
  TBrowserNode* node = NodeOf(Index);
  return node ? node->Obj : nullptr;
}

QModelIndex TBrowserModel::index(int row, int column, const QModelIndex& parent) const {
  const TBrowserNode* p = parent.isValid() ? NodeOf(parent) : fRoot.get();
  if (!p || row < 0 || column < 0 || column >= columnCount() || row >= static_cast<int>(p->Children.size()))
    return QModelIndex();
  return createIndex(row, column, p->Children[row].get());
}

QModelIndex TBrowserModel::parent(const QModelIndex& child) const {
  const TBrowserNode* node = NodeOf(child);
  if (!node || !node->Parent || node->Parent == fRoot.get()) return QModelIndex();
  return createIndex(node->Parent->Row, 0, node->Parent);
}

int TBrowserModel::rowCount(const QModelIndex& parent) const {
  if (parent.column() > 0) return 0;
  const TBrowserNode* p = parent.isValid() ? NodeOf(parent) : fRoot.get();
  return p ? static_cast<int>(p->Children.size()) : 0;
}

int TBrowserModel::columnCount(const QModelIndex&) const { return fWithColumns ? fColumnCount : 1; }

bool TBrowserModel::hasChildren(const QModelIndex& parent) const {
  if (parent.column() > 0) return false;
  const TBrowserNode* p = parent.isValid() ? NodeOf(parent) : fRoot.get();
  if (!p) return false;
  if (p->ChildrenCreated) return !p->Children.empty();
  return p->HasChildren && !fSimpleList;
}

bool TBrowserModel::canFetchMore(const QModelIndex& parent) const {
  const TBrowserNode* p = NodeOf(parent);
  return p && !p->ChildrenCreated && p->HasChildren && !fSimpleList;
}

void TBrowserModel::fetchMore(const QModelIndex& parent) {
  if (!canFetchMore(parent)) return;
  FillChildren(parent, true);
  if (TVelaObject* obj = ObjectOf(parent)) {
    try {
      obj->DoExpand();
    } catch (...) {
    }
  }
}

Qt::ItemFlags TBrowserModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
  if (fWithColumns) f |= Qt::ItemIsEditable;
  return f;
}

QVariant TBrowserModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0) return QVariant();
  if (section >= static_cast<int>(fHeader.size())) {
    if (role == Qt::DisplayRole && section == 0 && !fWithColumns) return QStringLiteral("Browser");
    return QVariant();
  }
  const THeaderColumn& c = fHeader[section];
  switch (role) {
    case Qt::DisplayRole: return c.Head;
    case Qt::ToolTipRole: return c.FullHeader;
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(c.Centred ? Qt::Alignment(Qt::AlignCenter) : (Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::DecorationRole: return c.Icon.isNull() ? QVariant() : QVariant(c.Icon);
    default: return QVariant();
  }
}

// ---------------------------------------------------------------------------
// Cell data

TColumndefs* TBrowserModel::SetOfRow(const QModelIndex& Index, bool Force) const {
  TBrowserNode* node = NodeOf(Index);
  if (!node) return fColDefs.Refresh(0, nullptr, false);
  return fColDefs.Refresh(static_cast<uint32_t>(node->Row), node->Obj, Force || fSimpleList);
}

TColumnDef* TBrowserModel::ColumnDef(const QModelIndex& Index) const {
  TBrowserNode* node = NodeOf(Index);
  if (!node) return nullptr;
  // The set is re-read whenever another object than the last one asks (the
  // cache's own rule); a row that paints re-reads it first, so its cells
  // reuse that reading. In a simple list every row shows the same object, so
  // another row re-reads too.
  const bool force = fNodeCount <= 1 || (fSimpleList && node != fLastNode);
  fLastNode = node;
  return fColDefs.ColumnDef(static_cast<uint32_t>(node->Row), node->Obj, force, Index.column());
}

QString TBrowserModel::CellText(const QModelIndex& Index) const { return data(Index, Qt::DisplayRole).toString(); }

QVariant TBrowserModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return QVariant();
  const bool useDefs = (fWithColumns || fColDefs.OnGetPDef()) && (fWithColumns || fColDefs.Count() > 0);
  TColumnDef* def = useDefs ? ColumnDef(index) : nullptr;
  return CellData(index, role, def, useDefs);
}

void TBrowserModel::multiData(const QModelIndex& index, QModelRoleDataSpan roleDataSpan) const {
  if (!index.isValid()) {
    for (QModelRoleData& rd : roleDataSpan) rd.clearData();
    return;
  }
  const bool useDefs = (fWithColumns || fColDefs.OnGetPDef()) && (fWithColumns || fColDefs.Count() > 0);
  // One definition lookup for all the roles the painter asks at once.
  TColumnDef* def = useDefs ? ColumnDef(index) : nullptr;
  for (QModelRoleData& rd : roleDataSpan) rd.setData(CellData(index, rd.role(), def, useDefs));
}

QVariant TBrowserModel::CellData(const QModelIndex& Index, int Role, TColumnDef* Def, bool HaveDefs) const {
  TBrowserNode* node = NodeOf(Index);
  TVelaObject* obj = node ? node->Obj : nullptr;
  const int column = Index.column();
  try {
    // Row images of the main column come from the row object itself.
    if (column == 0 && obj) {
      if (Role == BR_NodeImage || Role == Qt::DecorationRole) {
        int image = -1;
        if (!OnGetImageIndex || !OnGetImageIndex(obj, Index, image)) image = obj->GetImageindex(node->Expanded);
        if (Role == BR_NodeImage) return image;
        const QIcon icon = ListIcon(IL_Network, image);
        return icon.isNull() ? QVariant() : QVariant(icon);
      }
      if (Role == BR_StateImage || Role == BR_StateIcon) {
        const int image = obj->GetStateindex();
        if (Role == BR_StateImage) return image;
        const QIcon icon = ListIcon(IL_State, image);
        return icon.isNull() ? QVariant() : QVariant(icon);
      }
    }
    if (!HaveDefs) {
      if (Role == Qt::DisplayRole) return obj ? obj->NodeText() : QStringLiteral("---");
      return QVariant();
    }
    if (Role == BR_HasDefinition) return Def != nullptr;
    if (!Def) {
      // A row without any set shows "---"; columns beyond a row's own set are not shown at all.
      if (Role == Qt::DisplayRole) return (!obj || !fColDefs.LastCDefs) ? QStringLiteral("---") : QString();
      if (Role == BR_FieldKind) return -1;
      return QVariant();
    }
    const TLParam& p = Def->CProps;
    TVelaObject* part = p.Part;
    TVelaObject* target = part ? part : obj;
    switch (Role) {
      case Qt::DisplayRole: {
        if (!obj) return QStringLiteral("---");
        TParamsOpt opt;
        InitParamsOpt(opt);
        PrepareOpt(opt);
        QString text;
        const bool wholeKind = p.FK == FK_Byte || p.FK == FK_Word || p.FK == FK_Integer || p.FK == FK_LongWord;
        if (part && p.ZeroAsOne && wholeKind) {
          // A field the object shows as empty (a port without DMX has no
          // universe) stays empty instead of reading "1".
          text = part->FFProps(p, &opt);
          if (!text.isEmpty()) text = QString::number(part->FN(p.FK, p.ID, static_cast<uint16_t>(p.Param2), 0) + 1);
        } else if (part && p.FK == FK_Parameter)
          text = obj->FFProps(p, &opt);
        else if (part)
          text = part->FFProps(p, &opt);
        else
          text = obj->FFProps(p, &opt);
        if (column == 0 && p.FK == FK_Text && p.DisplayId == 0 && text.isEmpty()) text = obj->NodeText();
        return text;
      }
      case Qt::AccessibleDescriptionRole:
      case BR_ColumnTitle: return p.Head;
      case Qt::AccessibleTextRole:
        // A colour cell has no text; a screen reader reads the colour.
        if (p.FK == FK_Color && target) return FromTColor(target->FN(FK_Color, p.ID, 0, 0)).name();
        return QVariant();
      case Qt::ToolTipRole:
        if (p.LPEditMode.Has(LPE_CheckBox) || p.LPEditMode.Has(LPE_CheckBoxHint)) return p.FullHeader;
        return QVariant();
      case Qt::TextAlignmentRole: return QVariant::fromValue(AlignmentOf(p.Alignment));
      case Qt::ForegroundRole: return NeedsReboot(part) ? QVariant(QBrush(Qt::red)) : QVariant();
      case BR_Bold: return p.LPEditMode.Has(LPE_Primary) || (NeedsReboot(part) && p.FK == FK_Special && p.ID == 3);
      case BR_FieldKind: return static_cast<int>(p.FK);
      case BR_FieldId: return p.ID;
      case BR_EditModes: return p.LPEditMode.ToBits();
      case BR_CheckImage:
        if (p.FK != FK_Bool || !p.LPEditMode.Has(LPE_CheckBox) || !target) return QVariant();
        return target->FN(p.FK, p.ID, 0, 0) < 1 ? 9 : 13;
      case BR_Bar:
        if (p.FK != FK_Word || !p.LPEditMode.Has(LPE_ShowBar) || !target) return QVariant();
        return static_cast<double>(static_cast<uint16_t>(target->FN(FK_Word, p.ID, 0, 0))) / 65535.0;
      case BR_BarRealTime: return target && target->GetSRtl() == target;
      case BR_Swatch:
        if (p.FK != FK_Color || !target) return QVariant();
        return FromTColor(target->FN(FK_Color, p.ID, 0, 0));
      case BR_PicturePart:
        if (p.FK != FK_Graphic || !target) return QVariant();
        return QVariant::fromValue(reinterpret_cast<quintptr>(target->MySelf()));
      case BR_NodeImage:
      case Qt::DecorationRole: {
        if (column == 0) return QVariant();
        if (!p.LPEditMode.Has(LPE_Graphic) && !p.LPEditMode.Has(LE_GraphicAnyway))
          return Role == BR_NodeImage ? -1 : QVariant();
        TVelaObject* self = part ? part->MySelf() : obj;
        if (!self) return QVariant();
        int image = self->ImageIndexByFieldId(p.FK, p.ID, static_cast<int>(p.Param2));
        if (image == -1 && p.LPEditMode.Has(LE_GraphicAnyway)) image = self->GetImageindex(false);
        if (Role == BR_NodeImage) return image;
        const QIcon icon = ListIcon(IL_Network, image);
        return icon.isNull() ? QVariant() : QVariant(icon);
      }
      default: return QVariant();
    }
  } catch (...) {
    return Role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
  }
}

// ---------------------------------------------------------------------------
// Columns

void TBrowserModel::SetWithColumns(bool Value) {
  if (Value == fWithColumns) return;
  const int target = Value ? std::max({1, fColumnCount, fColDefs.MaxColumns()}) : 1;
  if (Value) {
    fWithColumns = true;
    if (target > 1) {
      beginInsertColumns(QModelIndex(), 1, target - 1);
      fColumnCount = target;
      endInsertColumns();
    }
  } else {
    if (fColumnCount > 1) {
      beginRemoveColumns(QModelIndex(), 1, fColumnCount - 1);
      fWithColumns = false;
      fColumnCount = 1;
      endRemoveColumns();
    }
    fWithColumns = false;
    fHeader.clear();
  }
  fColDefs.ForgetObjects();
}

void TBrowserModel::EnsureColumnCount(int N) {
  if (!fWithColumns || N <= fColumnCount) return;
  beginInsertColumns(QModelIndex(), fColumnCount, N - 1);
  fColumnCount = N;
  endInsertColumns();
}

void TBrowserModel::CheckColumnCount() {
  fColumnCheckQueued = false;
  EnsureColumnCount(fColDefs.MaxColumns());
}

void TBrowserModel::SetHeaderSet(TColumndefs* Set, TVelaObject* RowObj) {
  if (!Set) return;
  const int old = static_cast<int>(fHeader.size());
  fHeader.clear();
  for (int i = 0; i < Set->Count(); ++i) {
    const TLParam& p = Set->Def(i)->CProps;
    THeaderColumn c{p.Head, p.FullHeader, p.FK != FK_Text, QIcon()};
    if (!p.LPEditMode.Has(LE_NoHeaderIcon)) {
      try {
        int image = -1;
        if (p.Part) {
          TVelaObject* self = p.Part->MySelf();
          if (self) image = self->FN(FK_FieldImage, p.FK, static_cast<int>(p.ID), self == RowObj ? 1 : 0);
        } else if (RowObj) {
          image = RowObj->FN(FK_FieldImage, p.FK, static_cast<int>(p.ID), 1);
        }
        c.Icon = ListIcon(IL_Network, image);
      } catch (...) {
      }
    }
    fHeader.push_back(std::move(c));
  }
  EnsureColumnCount(Set->Count());
  const int last = std::max(old, static_cast<int>(fHeader.size())) - 1;
  if (last >= 0) emit headerDataChanged(Qt::Horizontal, 0, std::min(last, columnCount() - 1));
}

// ---------------------------------------------------------------------------
// Structure

void TBrowserModel::Clear() {
  fLastNode = nullptr;
  fRoot = std::make_unique<TBrowserNode>();
  fRoot->ChildrenCreated = true;
  fRootObject = nullptr;
  fNodeCount = 0;
  fColDefs.ForgetObjects();
}

int TBrowserModel::CountNodes(const TBrowserNode* Node) const {
  int n = 1;
  for (const auto& c : Node->Children) n += CountNodes(c.get());
  return n;
}

void TBrowserModel::Renumber(TBrowserNode* Parent, int From) {
  for (int i = std::max(From, 0); i < static_cast<int>(Parent->Children.size()); ++i) Parent->Children[i]->Row = i;
}

TBrowserNode* TBrowserModel::AddChild(TBrowserNode* Parent, int Position, TVelaObject* Obj, bool NodeVisible,
                                      int CheckType) {
  const int count = static_cast<int>(Parent->Children.size());
  if (Position < 0 || Position > count) Position = count;
  auto node = std::make_unique<TBrowserNode>();
  node->Obj = Obj;
  node->Parent = Parent;
  node->NodeVisible = NodeVisible;
  node->CheckType = CheckType;
  TBrowserNode* raw = node.get();
  if (!fBuilding) {
    if (fWithColumns) EnsureColumnCount(SetOfRowCount(Obj, Position));
    beginInsertRows(IndexOf(Parent), Position, Position);
  }
  Parent->Children.insert(Parent->Children.begin() + Position, std::move(node));
  Renumber(Parent, Position);
  ++fNodeCount;
  if (!fBuilding) endInsertRows();
  return raw;
}

int TBrowserModel::SetOfRowCount(TVelaObject* Obj, int Row) const {
  TColumndefs* set = fColDefs.Refresh(static_cast<uint32_t>(Row), Obj, true);
  return set ? set->Count() : 0;
}

void TBrowserModel::AddAllSubs(TBrowserNode* Parent, TVelaObject* s, bool Anyway) {
  bool visible = true;
  int checkType = 0;
  if (OnAddnode && !OnAddnode(s, visible, checkType)) return;
  if (!s) return;
  TBrowserNode* node = nullptr;
  if (!fAsListView || Parent) {
    node = AddChild(Parent ? Parent : fRoot.get(), -1, s, visible, checkType);
  } else {
    node = fRoot.get();  // list mode: the root object has no row of its own
    node->Obj = s;
  }
  if (AddProc) {
    const bool made = node->ChildrenCreated;
    node->ChildrenCreated = true;  // the handler adds the children itself
    if (AddProc(IndexOf(node), s, Anyway)) return;
    node->ChildrenCreated = made;
  }
  if (s->Subcount() <= 0) {
    node->HasChildren = false;
    node->ChildrenCreated = true;
  } else if (Anyway || (fAsListView && !Parent)) {
    node->ChildrenCreated = true;
    for (int i = 0; i < s->Subcount(); ++i)
      if (TVelaObject* sub = s->Sub(i)) AddAllSubs(node, sub, false);
  } else {
    node->HasChildren = true;
  }
}

void TBrowserModel::Build(TVelaObject* s) {
  beginResetModel();
  Clear();
  fSimpleList = false;
  fRootObject = s;
  if (s) {
    try {
      s->SetImageLists();
    } catch (...) {
    }
  }
  fBuilding = true;
  try {
    AddAllSubs(nullptr, s, false);
  } catch (...) {
  }
  fBuilding = false;
  fNodeCount = CountNodes(fRoot.get()) - 1;
  if (fWithColumns) {
    // The column count covers the sets of the rows made now.
    int most = 1;
    std::vector<const TBrowserNode*> stack{fRoot.get()};
    while (!stack.empty()) {
      const TBrowserNode* n = stack.back();
      stack.pop_back();
      for (const auto& c : n->Children) {
        most = std::max(most, SetOfRowCount(c->Obj, c->Row));
        stack.push_back(c.get());
      }
    }
    fColumnCount = std::max(most, fColDefs.MaxColumns());
  }
  fColDefs.ForgetObjects();
  endResetModel();
}

void TBrowserModel::BuildSimpleList(TVelaObject* Obj, int Count) {
  beginResetModel();
  Clear();
  fSimpleList = true;
  fBuilding = true;
  for (int i = 0; i < Count; ++i) {
    TBrowserNode* node = AddChild(fRoot.get(), -1, Obj, true, 0);
    node->ChildrenCreated = true;
  }
  fBuilding = false;
  if (fWithColumns)
    for (int i = 0; i < std::min(Count, 64); ++i) fColumnCount = std::max(fColumnCount, SetOfRowCount(Obj, i));
  fColDefs.ForgetObjects();
  endResetModel();
}

QModelIndex TBrowserModel::InsertNode(const QModelIndex& Parent, int Position, TVelaObject* Obj, bool NodeVisible,
                                      int CheckType) {
  TBrowserNode* p = Parent.isValid() ? NodeOf(Parent) : fRoot.get();
  if (!p || !Obj) return QModelIndex();
  if (!p->ChildrenCreated) {
    // A node whose children were never made gets them made first.
    FillChildren(Parent, true);
    QModelIndex existing = FindChild(Parent, Obj);
    if (existing.isValid()) return existing;
  }
  TBrowserNode* node = AddChild(p, Position, Obj, NodeVisible, CheckType);
  node->HasChildren = Obj->Subcount() > 0;
  node->ChildrenCreated = !node->HasChildren;
  if (!p->HasChildren) p->HasChildren = true;
  return IndexOf(node);
}

void TBrowserModel::RemoveNode(const QModelIndex& Index) {
  TBrowserNode* node = NodeOf(Index);
  if (!node || !node->Parent) return;
  TBrowserNode* p = node->Parent;
  const int row = node->Row;
  beginRemoveRows(IndexOf(p), row, row);
  fNodeCount -= CountNodes(node);
  fLastNode = nullptr;
  p->Children.erase(p->Children.begin() + row);
  Renumber(p, row);
  fColDefs.ForgetObjects();
  endRemoveRows();
}

void TBrowserModel::RemoveChildren(const QModelIndex& Index) {
  TBrowserNode* node = Index.isValid() ? NodeOf(Index) : fRoot.get();
  if (!node) return;
  const int n = static_cast<int>(node->Children.size());
  if (n > 0) {
    beginRemoveRows(Index, 0, n - 1);
    for (const auto& c : node->Children) fNodeCount -= CountNodes(c.get());
    node->Children.clear();
    fLastNode = nullptr;
    fColDefs.ForgetObjects();
    endRemoveRows();
  }
  node->ChildrenCreated = false;
  node->HasChildren = node->Obj && node->Obj->Subcount() > 0;
  emit ChildMarkChanged(Index);
}

bool TBrowserModel::FillChildren(const QModelIndex& Index, bool Anyway) {
  TBrowserNode* node = Index.isValid() ? NodeOf(Index) : fRoot.get();
  if (!node) return false;
  TVelaObject* s = node->Obj;
  bool visible = true;
  int checkType = 0;
  if (OnAddnode) OnAddnode(s, visible, checkType);  // asked, but it does not stop the filling
  if (!s) return false;
  if (AddProc) {
    const bool made = node->ChildrenCreated;
    node->ChildrenCreated = true;
    if (AddProc(Index, s, Anyway)) return false;
    node->ChildrenCreated = made;
  }
  if (s->Subcount() <= 0) {
    node->HasChildren = false;
    node->ChildrenCreated = true;
    emit ChildMarkChanged(Index);
    return false;
  }
  if (!Index.isValid() || Anyway) {
    node->ChildrenCreated = true;
    for (int i = 0; i < s->Subcount(); ++i) {
      TVelaObject* sub = s->Sub(i);
      if (!sub) continue;
      bool subVisible = true;
      int subCheck = 0;
      if (OnAddnode && !OnAddnode(sub, subVisible, subCheck)) continue;
      TBrowserNode* child = AddChild(node, -1, sub, subVisible, subCheck);
      child->HasChildren = sub->Subcount() > 0;
      child->ChildrenCreated = !child->HasChildren;
    }
    return false;
  }
  node->HasChildren = true;
  emit ChildMarkChanged(Index);
  return s == fRootObject;
}

void TBrowserModel::SetHasChildren(const QModelIndex& Index, bool Value) {
  TBrowserNode* node = NodeOf(Index);
  if (!node) return;
  if (Value) {
    if (node->ChildrenCreated && node->Children.empty()) node->ChildrenCreated = false;
    node->HasChildren = true;
  } else if (node->Children.empty()) {
    node->HasChildren = false;
    node->ChildrenCreated = true;
  }
  emit ChildMarkChanged(Index);
}

void TBrowserModel::SetExpanded(const QModelIndex& Index, bool Value) {
  if (TBrowserNode* node = NodeOf(Index)) node->Expanded = Value;
}

QModelIndex TBrowserModel::FindChild(const QModelIndex& Parent, TVelaObject* Obj) const {
  const TBrowserNode* p = Parent.isValid() ? NodeOf(Parent) : fRoot.get();
  if (!p) return QModelIndex();
  for (const auto& c : p->Children)
    if (c->Obj == Obj) return IndexOf(c.get());
  return QModelIndex();
}

QModelIndex TBrowserModel::SearchForNode(TVelaObject* s) const {
  if (!s) return QModelIndex();
  std::vector<const TBrowserNode*> stack;
  for (auto it = fRoot->Children.rbegin(); it != fRoot->Children.rend(); ++it) stack.push_back(it->get());
  while (!stack.empty()) {
    const TBrowserNode* n = stack.back();
    stack.pop_back();
    if (n->Obj == s) return IndexOf(n);
    for (auto it = n->Children.rbegin(); it != n->Children.rend(); ++it) stack.push_back(it->get());
  }
  return QModelIndex();
}

void TBrowserModel::RowChanged(const QModelIndex& Index) {
  if (!Index.isValid()) return;
  emit dataChanged(Index.sibling(Index.row(), 0), Index.sibling(Index.row(), columnCount() - 1));
}

void TBrowserModel::AllChanged() {
  fColDefs.ForgetObjects();
  emit layoutAboutToBeChanged();
  emit layoutChanged();
}

}  // namespace vela
