// Object menus: the menu entry class, the base entries every object offers
// (edit, explore, track, insert, add, delete), and the default click handler
// that carries out those generic commands.
#include "framework/ObjectMenus.h"

#include <QIconEngine>
#include <QPainter>

#include "framework/FrameworkHooks.h"
#include "framework/velaobject.h"

namespace vela {

namespace {

// Paints an icon and the cross over it, so that a crossed entry "draws as
// usual and then the cross" wherever the menu puts its icon square.
class TCrossedIconEngine : public QIconEngine {
 public:
  explicit TCrossedIconEngine(QIcon base) : fBase(std::move(base)) {}
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    if (!fBase.isNull()) fBase.paint(painter, rect, Qt::AlignCenter, mode, state);
    TVelaMenuItem::PaintCross(*painter, rect);
  }
  QIconEngine* clone() const override { return new TCrossedIconEngine(fBase); }

 private:
  QIcon fBase;
};

}  // namespace

// ---------------------------------------------------------------------------
// TVelaMenuItem

TVelaMenuItem::TVelaMenuItem(QObject* aOwner) : QAction(aOwner) {
  connect(this, &QAction::triggered, this, [this] { Click(); });
}

TVelaMenuItem::~TVelaMenuItem() {
  // The object entries of this level go first, while the level is intact, so
  // that they can still see their siblings.
  const QList<QPointer<QAction>> entries = fItems;
  for (const QPointer<QAction>& e : entries) {
    if (!e) continue;
    if (auto* item = AsVelaMenuItem(e.data()))
      delete item;
    else
      disconnect(e.data(), nullptr, this, nullptr);
  }
  fItems.clear();

  if (TempVelaObject) {
    // A sibling that still refers to the temporary object takes it over, so
    // that it is freed once and never while an entry can still use it.
    bool handedOver = false;
    if (fParentItem)
      for (const QPointer<QAction>& e : fParentItem->fItems)
        if (auto* sibling = AsVelaMenuItem(e.data());
            sibling && sibling != this && sibling->TempVelaObject == TempVelaObject)
          handedOver = true;
    if (!handedOver) FreeObj(TempVelaObject);
    TempVelaObject = nullptr;
  }
  Unlist();
}

void TVelaMenuItem::Unlist() {
  if (!fParentItem) return;
  fParentItem->fItems.removeIf([this](const QPointer<QAction>& p) { return p.isNull() || p.data() == this; });
  fParentItem = nullptr;
}

void TVelaMenuItem::Click() {
  const TMenuClick handler = OnClicked;  // the handler may free this entry
  handler(this);
}

void TVelaMenuItem::SetCrossed(bool Value) {
  if (Value == fCrossed) return;
  if (Value) fPlainIcon = icon();
  fCrossed = Value;
  setIcon(fCrossed ? QIcon(new TCrossedIconEngine(fPlainIcon)) : fPlainIcon);
}

void TVelaMenuItem::SetPlainIcon(const QIcon& Icon) {
  fPlainIcon = Icon;
  setIcon(fCrossed ? QIcon(new TCrossedIconEngine(fPlainIcon)) : fPlainIcon);
}

void TVelaMenuItem::PaintCross(QPainter& Painter, const QRect& R) {
  const int h = R.height();
  const int l = R.left();
  const int t = R.top();
  const int b = R.top() + h;  // exclusive bottom
  Painter.save();
  Painter.setPen(QPen(Qt::black, 1));
  Painter.setRenderHint(QPainter::Antialiasing, false);
  Painter.drawLine(l + 3, t + 3, l + h - 3, b - 3);
  Painter.drawLine(l + h - 3, t + 3, l + 3, b - 3);
  Painter.restore();
}

void TVelaMenuItem::Compact() const {
  fItems.removeIf([](const QPointer<QAction>& p) { return p.isNull(); });
}

int TVelaMenuItem::Count() const {
  Compact();
  return static_cast<int>(fItems.size());
}

QAction* TVelaMenuItem::Items(int Index) const {
  Compact();
  return (Index >= 0 && Index < fItems.size()) ? fItems[Index].data() : nullptr;
}

int TVelaMenuItem::IndexOf(const QAction* Entry) const {
  Compact();
  for (int i = 0; i < fItems.size(); ++i)
    if (fItems[i].data() == Entry) return i;
  return -1;
}

void TVelaMenuItem::Add(QAction* Entry) { Insert(Count(), Entry); }

void TVelaMenuItem::Insert(int Index, QAction* Entry) {
  if (!Entry || Entry == this) return;
  if (auto* item = AsVelaMenuItem(Entry)) {
    item->Unlist();
    item->fParentItem = this;
  } else {
    Remove(Entry);
    // A plain action freed elsewhere drops out of the list.
    connect(Entry, &QObject::destroyed, this, [this] { Compact(); });
  }
  Compact();
  if (Index < 0 || Index > fItems.size()) Index = static_cast<int>(fItems.size());
  fItems.insert(Index, QPointer<QAction>(Entry));
}

void TVelaMenuItem::Remove(QAction* Entry) {
  if (!Entry) return;
  if (auto* item = AsVelaMenuItem(Entry)) {
    if (item->fParentItem == this) item->Unlist();
    return;
  }
  disconnect(Entry, nullptr, this, nullptr);
  fItems.removeIf([Entry](const QPointer<QAction>& p) { return p.isNull() || p.data() == Entry; });
}

TVelaMenuItem* TVelaMenuItem::FindCommand(uint16_t aCommand) const {
  Compact();
  for (const QPointer<QAction>& e : fItems)
    if (auto* item = AsVelaMenuItem(e.data()); item && item->VelaCommand == aCommand) return item;
  return nullptr;
}

void ClearObjectMenuItems(TVelaMenuItem& PopupMenu) {
  for (int i = PopupMenu.Count() - 1; i >= 0; --i)
    if (TVelaMenuItem* item = AsVelaMenuItem(PopupMenu.Items(i))) delete item;
}

void RemoveDuplicateMenuItems(TVelaMenuItem& PopupMenu) {
  int i = 0;
  while (i < PopupMenu.Count()) {
    TVelaMenuItem* item = AsVelaMenuItem(PopupMenu.Items(i));
    bool duplicate = false;
    if (item && item->Count() == 0) {
      for (int j = i + 1; j < PopupMenu.Count() && !duplicate; ++j) {
        TVelaMenuItem* later = AsVelaMenuItem(PopupMenu.Items(j));
        duplicate = later && later->VelaCommand == item->VelaCommand && later->RefVelaObject == item->RefVelaObject &&
                    later->OnClicked == item->OnClicked;
      }
    }
    if (duplicate)
      delete item;  // the list closes up; the same index is looked at again
    else
      ++i;
  }
}

// ---------------------------------------------------------------------------
// The base entries

namespace {

// The insert entries for the standard sub types of X: none, one entry
// "Caption: name", or a submenu "Caption" with one entry per type.
void AddInsertEntries(TVelaObject* Clicked, TVelaObject* X, QObject* Caller, TVelaMenuItem* Menu,
                      const QString& Caption, uint16_t Command) {
  TClassArr classes;
  const int listed = X->GetStdSubTypes(classes);  // fills classes before its size is read
  const int k = std::min(listed, static_cast<int>(classes.size()));
  if (k <= 0) return;
  if (k == 1) {
    Clicked->CreateMenuItem(Caller, Menu, Command, Caption + QStringLiteral(": ") + X->GetInsertSubName(0), Menu,
                            classes[0]);
    return;
  }
  TVelaMenuItem* sub = Clicked->CreateMenuItem(Caller, Menu, Command, Caption, Menu, nullptr);
  for (int i = 0; i < k; ++i) Clicked->CreateMenuItem(Caller, sub, Command, X->GetInsertSubName(i), sub, classes[i]);
}

void AddDeleteEntry(TVelaObject* Obj, QObject* Caller, TVelaMenuItem* Menu) {
  TVelaObject* owner = Obj->SOwner();
  if (!owner || owner->RQ(RQ_DeleteDenied, Obj) != 0) return;
  Obj->CreateMenuItem(Caller, Menu, MC_Delete, QStringLiteral("Delete ") + Obj->MenuTitle(), Menu, nullptr);
}

TVelaMenuItem* AddEditEntryFor(TVelaObject* Obj, TVelaObject* Ref, QObject* Caller, TVelaMenuItem* Menu) {
  TVelaMenuItem* item =
      Obj->CreateMenuItem(Caller, Menu, MC_Edit, QStringLiteral("Edit ") + Ref->MenuTitle(), Menu, nullptr);
  item->RefVelaObject = Ref;
  return item;
}

// The object's own edit entry, or its explore entry when it has no editor.
void AddEditEntry(TVelaObject* Obj, QObject* Caller, TVelaMenuItem* Menu) {
  if (Obj->Objtype() == 0 || Obj->RQ(RQ_BrowseEditDenied) != 0) return;
  if (Obj->ParamEditorClass()) {
    AddEditEntryFor(Obj, Obj, Caller, Menu);
  } else if (Obj->Hassubs()) {
    TVelaMenuItem* item =
        Obj->CreateMenuItem(Caller, Menu, MC_Explore, QStringLiteral("Explore ") + Obj->MenuTitle(), Menu, nullptr);
    item->RefVelaObject = Obj;
  }
}

// An edit entry for the object the hit field refers to.
void AddReferencedEntry(TVelaObject* Obj, QObject* Caller, TVelaMenuItem* Menu, TSFieldKind AFkind, uint32_t AFid) {
  TVelaObject* ref = Obj->RefByFieldId(AFkind, AFid, 0);
  if (!ref || ref == Obj || !ref->ParamEditorClass()) return;
  AddEditEntryFor(Obj, ref, Caller, Menu)->ImageIndex = ref->GetImageindex(false);
}

void AddTrackEntry(TVelaObject* Obj, QObject* Caller, TVelaMenuItem* Menu) {
  if (!Obj->TrackMe()) return;
  Obj->CreateMenuItem(Caller, Menu, MC_Track, QStringLiteral("Track ") + Obj->NodeText(), Menu, nullptr);
}

void AddClickEntries(TVelaObject* Obj, QObject* Caller, TVelaMenuItem* Menu, TSFieldKind AFkind, uint32_t AFid,
                     TDropParamInfs p) {
  if (AFkind == FK_Special && AFid == 1102) {
    if (TVelaObject* tracking = Obj->TrackOwner())
      AddEditEntryFor(Obj, tracking, Caller, Menu)->ImageIndex = tracking->GetImageindex(false);
  }
  AddEditEntry(Obj, Caller, Menu);
  AddReferencedEntry(Obj, Caller, Menu, AFkind, AFid);
  AddTrackEntry(Obj, Caller, Menu);
  if (p.Has(DP_HitIsHistory) || !EditingEnabled()) return;

  AddInsertEntries(Obj, Obj, Caller, Menu, QStringLiteral("Insert Sub"), MC_InsertSub);
  TVelaObject* owner = Obj->SOwner();
  const bool inOwner = owner && owner->SIndexof(Obj) >= 0;
  if (p.Has(DP_HitIsRoot) || !inOwner) {
    if (p.Has(DP_DeleteEnabled) && inOwner) AddDeleteEntry(Obj, Caller, Menu);
    return;
  }
  AddInsertEntries(Obj, owner, Caller, Menu, QStringLiteral("Insert"), MC_Insert);
  if (!owner->Subobjects()->Sorted()) AddInsertEntries(Obj, owner, Caller, Menu, QStringLiteral("Add"), MC_Add);
  AddDeleteEntry(Obj, Caller, Menu);
}

// The index of Cls among X's standard sub types, -1 when X does not offer it.
int StdSubIndex(TVelaObject* X, TSobjectClass Cls) {
  if (!X || !Cls) return -1;
  TClassArr classes;
  const int listed = X->GetStdSubTypes(classes);
  const int n = std::min(listed, static_cast<int>(classes.size()));
  for (int i = 0; i < n; ++i)
    if (classes[i] == Cls) return i;
  return -1;
}

bool ConfirmDelete(TVelaObject* Obj) {
  auto& confirm = FrameworkHooks().Confirm;
  return confirm && confirm(QStringLiteral("Confirm delete"), QStringLiteral("Confirm delete\r") + Obj->NodeText());
}

}  // namespace

QString TVelaObject::MenuTitle() {
  const QString text = GetNodetext();
  const QString display = ObjTypeHumanName(Objtype());
  if (display.left(5) != text.left(5)) return display + QStringLiteral(": ") + text;
  return text;
}

TVelaMenuItem* TVelaObject::CreateMenuItem(QObject* Caller, QObject* aOwner, uint16_t aCommand, const QString& aCaption,
                                           TVelaMenuItem* MenuOwner, TSobjectClass ParamClass) {
  return CreateMenuItem(Caller, aOwner, aCommand, aCaption, MenuOwner, ParamClass, TMenuClick{});
}

TVelaMenuItem* TVelaObject::CreateMenuItem(QObject* Caller, QObject* aOwner, uint16_t aCommand, const QString& aCaption,
                                           TVelaMenuItem* MenuOwner, TSobjectClass ParamClass,
                                           const TMenuClick& aOnClicked) {
  auto* item = new TVelaMenuItem(aOwner);
  item->setText(aCaption);
  item->VelaCommand = aCommand;
  item->CreateClass = ParamClass;
  item->Caller = Caller;
  item->CreatedBy = this;
  item->OnClicked = aOnClicked ? aOnClicked : TMenuClick(this, &TVelaObject::MenuCommand);
  if (MenuOwner) MenuOwner->Add(item);
  return item;
}

void TVelaObject::AddMenuItems(QObject* Caller, TPopMenuKind Kind, TVelaMenuItem* Menu, TSFieldKind AFkind,
                               uint32_t AFid, TVelaObject* Initiator, int ParentLevel, const TDropParams& DropParams,
                               TVelaObject* ParamObj) {
  if (!Menu) return;
  if (ParentLevel == 0) {
    switch (Kind) {
      case Pop_Click: AddClickEntries(this, Caller, Menu, AFkind, AFid, DropParams.Inf); break;
      case Pop_LocalMenu:
        AddEditEntry(this, Caller, Menu);
        AddReferencedEntry(this, Caller, Menu, AFkind, AFid);
        AddTrackEntry(this, Caller, Menu);
        break;
      case Pop_ListMenu: AddReferencedEntry(this, Caller, Menu, AFkind, AFid); break;
      default: break;
    }
  }
  if (fOwner && fOwner->SIndexof(this) >= 0)
    fOwner->AddMenuItems(Caller, Kind, Menu, AFkind, AFid, Initiator, ParentLevel + 1, DropParams, ParamObj);
}

void TVelaObject::MenuCommand(TVelaMenuItem* Sender) {
  if (!Sender) return;
  // The view that asked for the menu selects a new object when it takes
  // messages (views are widgets that are also message receivers).
  auto* view = dynamic_cast<TMessageReceiver*>(Sender->Caller);
  TVelaObject* ref = Sender->RefVelaObject;
  switch (Sender->VelaCommand) {
    case MC_InsertSub:
      if (const int k = StdSubIndex(this, Sender->CreateClass); k >= 0) EditAddSub(view, -1, k);
      break;
    case MC_Insert:
      if (const int k = StdSubIndex(fOwner, Sender->CreateClass); k >= 0) fOwner->EditAddSub(view, OwnerIndex(), k);
      break;
    case MC_Add:
      if (const int k = StdSubIndex(fOwner, Sender->CreateClass); k >= 0)
        fOwner->EditAddSub(view, fOwner->Subcount(), k);
      break;
    case MC_Delete:
      if (fOwner && fOwner->DeleteOk(this) && ConfirmDelete(this)) fOwner->SFree(this, true);  // frees this
      break;
    case MC_Edit:
      if (ref) ref->DoEditorWindow(Sender->Caller);
      break;
    case MC_Explore:
      if (auto& open = FrameworkHooks().ObjectWindow; ref && open) open(ref, Sender->Caller, 0);
      break;
    case MC_DropCopy:
    case MC_DropMove:
      if (fOwner && ref)
        fOwner->Receivedrop(ref, this, Sender->VelaCommand == MC_DropCopy ? DSD_copy : DSD_move, TSDropMode{});
      break;
    default: break;  // MC_Track included: no class of this program yields a tracking object
  }
}

}  // namespace vela
