// Object drag and drop: the drag object, the collection of dragged objects,
// the tree's drop operations and the painting of object pictures in cells.
#include "framework/Drag.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/Assertion.h"

namespace vela {

namespace {
const QString kUnit = QStringLiteral("basic/Drag");

bool Contains(const std::vector<TVelaObject*>& list, const TVelaObject* obj) {
  return std::find(list.begin(), list.end(), obj) != list.end();
}

// Whether a strict owner of obj is in list.
bool HasOwnerIn(const TVelaObject* obj, const std::vector<TVelaObject*>& list) {
  for (const TVelaObject* o = obj->SOwner(); o; o = o->SOwner())
    if (Contains(list, o)) return true;
  return false;
}

std::vector<TVelaObject*> Listed(const TVelaObject* coll) {
  std::vector<TVelaObject*> out;
  for (int i = 0; i < coll->Subcount(); ++i) out.push_back(coll->Sub(i));
  return out;
}
}  // namespace

TSDdragCollection* AsDragCollection(TVelaObject* Obj) {
  return (Obj && Obj->InheritsFrom(TSDdragCollection::StaticClass())) ? static_cast<TSDdragCollection*>(Obj) : nullptr;
}

// ---------------------------------------------------------------------------
// TSDdragCollection

VELA_CLASS_IMPL(TSDdragCollection, TVelaObject)

TSDdragCollection::TSDdragCollection(const std::vector<TVelaObject*>& Objects) {
  SetTemporary(true);
  fSubs = SNew<TSCollection>(static_cast<int>(Objects.size()), 1);
  fSubs->SetNotFreeAllOnDestroy(true);
  // Plain collection inserts: the objects keep their owners. Null and
  // repeated entries are left out, so that each object is handled once.
  for (TVelaObject* o : Objects) fSubs->InsertIfNot(o);
  if (TVelaObject* first = FirstSub()) fDragObjType = static_cast<uint16_t>(first->Objtype());
}

QString TSDdragCollection::GetNodetext() {
  // An empty collection has no type, hence no name.
  const QString typeName = fDragObjType ? ObjTypeHumanName(fDragObjType) : QString();
  return QStringLiteral("Collection of %1 %2s").arg(Subcount()).arg(typeName);
}

QString TSDdragCollection::FF(TSFieldKind AFkind, uint32_t AFid, int Param1, int Param2) {
  if (AFkind == FK_Text && AFid == 0) return GetNodetext();
  return TVelaObject::FF(AFkind, AFid, Param1, Param2);
}

bool TSDdragCollection::DeleteAllOk() {
  for (TVelaObject* o : Listed(this))
    if (!o->SOwner() || !o->SOwner()->DeleteOk(o)) return false;
  return true;
}

void TSDdragCollection::DeleteAll(bool AsClient) {
  const std::vector<TVelaObject*> listed = Listed(this);
  std::vector<TVelaObject*> agreed;
  for (TVelaObject* o : listed)
    if (o->SOwner() && o->SOwner()->DeleteOk(o)) agreed.push_back(o);
  // An object below another one that goes is freed with it; freeing it on its
  // own as well would touch freed memory.
  std::vector<TVelaObject*> roots;
  for (TVelaObject* o : agreed)
    if (!HasOwnerIn(o, agreed)) roots.push_back(o);
  // Everything that goes leaves the list first, so it never lists freed objects.
  for (TVelaObject* o : listed)
    if (Contains(agreed, o) || HasOwnerIn(o, agreed)) fSubs->Delete(o);

  TVelaObject* bracket = (listed.size() > 10) ? listed.front()->SOwner() : nullptr;
  // The bracketed owner may itself be among the deleted objects.
  const std::weak_ptr<void> bracketAlive = bracket ? bracket->AliveToken() : std::weak_ptr<void>();
  if (bracket) bracket->BeginUpdateSubs();
  for (TVelaObject* o : roots) {
    o->SOwner()->SFree(o, true);
    if (AsClient) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (bracket && !bracketAlive.expired()) bracket->EndUpdateSubs();
}

// ---------------------------------------------------------------------------
// TSDrag

TSDrag::TSDrag(TVelaObject* Dragged, TSFieldKind Kind, uint32_t Id, int32_t ImageIndex)
    : FDragObj(Dragged),
      fDragObjAlive(Dragged->AliveToken()),
      FDragFId(Id),
      FDragFKind(Kind),
      fList(MakeDragImage(Dragged->GetNodetext())),
      fDragImageIndex(ImageIndex) {}

TSDrag::~TSDrag() = default;

TSDrag* TSDrag::Create(TVelaObject* ADrag, TSFieldKind Afk, uint32_t AFid) {
  VelaAssert(ADrag != nullptr, QStringLiteral("Drag of no object"), kUnit);
  TVelaObject* dragged = ADrag->RefByFieldId(Afk, AFid, 0);
  if (!dragged) dragged = ADrag;
  const bool itself = dragged == ADrag;
  return new TSDrag(dragged, itself ? Afk : FK_Text, itself ? AFid : 0, dragged->GetImageindex(false));
}

TSDrag* TSDrag::CreateColl(TSDdragCollection* ADrag, TSFieldKind, uint32_t) {
  VelaAssert(ADrag != nullptr && ADrag->FirstSub() != nullptr, QStringLiteral("Drag of an empty collection"), kUnit);
  ADrag->SetDragObjType(static_cast<uint16_t>(ADrag->FirstSub()->Objtype()));
  return new TSDrag(ADrag, FK_Text, 0, -1);
}

void TSDrag::Finished(QObject*, int, int, bool Accepted) {
  // A dropped collection may already be gone (Receivedrop frees it).
  if (!Accepted && !fDragObjAlive.expired())
    if (TSDdragCollection* coll = AsDragCollection(FDragObj)) FreeObj(coll);
  delete this;
}

QImage TSDrag::MakeDragImage(const QString& Text) {
  QFont font;
  font.setPixelSize(16);
  font.setBold(true);
  const QFontMetrics metrics(font);
  const int width = metrics.horizontalAdvance(Text) + 16;
  const int height = std::max(1, metrics.height());
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(QRect(16, 0, width - 16, height), Qt::AlignLeft | Qt::AlignTop, Text);
  return image;
}

// ---------------------------------------------------------------------------
// The tree's drop operations

TVelaObject* TVelaObject::Acceptdrop(TVelaObject* Fromobj, TSDropkind& Dropkind, TSDropMode DropMode,
                                     Qt::KeyboardModifiers Shift) {
  if (TSDdragCollection* coll = AsDragCollection(Fromobj)) {
    TVelaObject* first = coll->FirstSub();
    return first ? Acceptdrop(first, Dropkind, DropMode, Shift) : nullptr;
  }
  if (!fOwner) return nullptr;
  DropMode.DMode = dmOnNode;
  return fOwner->Acceptdrop(Fromobj, Dropkind, DropMode, Shift);
}

namespace {

// Where the received objects go in the target T.
struct TDropPlace {
  TVelaObject* T = nullptr;
  bool Valid = false;
  bool Sorted = false;  // T decides through InsertPosition
  bool Append = false;  // dropped on T itself: at the end
  int Index = -1;       // the next position (sorted: DroppedAt's index, the hint)
};

TDropPlace MakePlace(TVelaObject* T, TVelaObject* DroppedAt, bool ReceiverHasOwner) {
  TDropPlace place;
  place.T = T;
  if (!ReceiverHasOwner || !T->Hassubs()) return place;
  place.Sorted = T->Subobjects()->Sorted();
  place.Index = T->SIndexof(DroppedAt);
  place.Append = !place.Sorted && DroppedAt == T;
  place.Valid = place.Sorted || place.Append || place.Index >= 0;
  return place;
}

// Whether T's sorted subs would silently refuse C (an equal key without
// duplicates). For a move the equal key may be the original, which goes first.
bool SortedInsertRefused(TVelaObject* T, TVelaObject* C, TVelaObject* O, TSDropkinds Kind) {
  TSCollection* subs = T->Subobjects();
  if (!subs->InheritsFrom(TSortedCollection::StaticClass())) return false;
  auto* sorted = static_cast<TSortedCollection*>(subs);
  // Owners that renumber their subs' word ids make the key unique on insert.
  if (sorted->Duplicates || T->RQ(RQ_UniqueSubsWordId, C) >= 1) return false;
  int index = 0;
  if (!sorted->Search(sorted->KeyOf(C), index)) return false;
  return !(Kind == DSD_move && sorted->At(index) == O);
}

// Copies O into the place; a move then deletes O. Everything that can refuse
// the insertion is asked before O goes, so a move never loses the object.
TVelaObject* ReceiveOne(TDropPlace& place, TVelaObject* O, TSDropkinds Kind, bool Rename) {
  TVelaObject* T = place.T;
  if (!place.Valid) return nullptr;
  if (Kind == DSD_move && T->HasOwner(O)) return nullptr;  // into itself or its own subtree
  TVelaObject* C = O->SCopyTree();
  if (!C) return nullptr;
  // Until it is inserted no view knows the copy: freeing it then is silent.
  C->SetTemporary(true);
  if (Rename && Kind == DSD_copy && C->NameAssigned()) C->SetName(QStringLiteral("Copy of ") + C->NameIfName());

  int index = place.Index;
  bool usePosition = !place.Append;
  if (place.Sorted) {
    usePosition = false;
    T->InsertPosition(index, C, usePosition);
    if (!usePosition && SortedInsertRefused(T, C, O, Kind)) {
      FreeObj(C);
      return nullptr;
    }
  }

  if (Kind == DSD_move) {
    const int oldIndex = T->SIndexof(O);
    if (usePosition && oldIndex >= 0 && oldIndex < index) --index;  // the positions close up behind O
    const std::weak_ptr<void> targetAlive = T->AliveToken();
    if (TVelaObject* owner = O->SOwner()) {
      owner->SFree(O, true);
      ProcessPendingMessages();
    } else {
      FreeObj(O);
    }
    if (targetAlive.expired()) {  // a pending message took the target away
      FreeObj(C);
      return nullptr;
    }
  }

  C->SetTemporary(false);
  if (usePosition)
    T->SAtInsert(C, std::clamp(index, 0, T->Subcount()), true);
  else
    T->SInsert(C, true);
  const int at = T->SIndexof(C);
  if (at < 0) {
    C->SetTemporary(true);
    FreeObj(C);
    return nullptr;
  }
  // The next object of a collection goes behind this one, keeping the
  // dragged order in front of DroppedAt.
  if (!place.Sorted && !place.Append) place.Index = at + 1;
  return C;
}

}  // namespace

TVelaObject* TVelaObject::Receivedrop(TVelaObject* Dropped, TVelaObject* DroppedAt, TSDropkinds DropKind,
                                      TSDropMode DropMode) {
  if (!Dropped) return nullptr;
  TSDdragCollection* coll = AsDragCollection(Dropped);
  TVelaObject* first = coll ? coll->FirstSub() : Dropped;
  if (!first) return nullptr;
  const bool hasOwner = fOwner != nullptr;
  TSDropkind kinds;
  TVelaObject* target = Acceptdrop(first, kinds, DropMode, Qt::NoModifier);

  if (target && target != this && target != fOwner) {
    const std::weak_ptr<void> droppedAlive = Dropped->AliveToken();
    if (TVelaObject* result = target->Receivedrop(Dropped, DroppedAt, DropKind, DropMode)) return result;
    if (droppedAlive.expired()) return nullptr;  // the target consumed the drop
  }
  if (DropKind != DSD_copy && DropKind != DSD_move) return nullptr;
  if (!target) return nullptr;

  TDropPlace place = MakePlace(target, DroppedAt, hasOwner);
  if (!coll) return ReceiveOne(place, Dropped, DropKind, true);

  // Objects below another dragged object travel inside its copy.
  std::vector<TVelaObject*> objects = Listed(coll);
  std::vector<TVelaObject*> topmost;
  for (TVelaObject* o : objects)
    if (!HasOwnerIn(o, objects)) topmost.push_back(o);
  TVelaObject* result = nullptr;
  for (TVelaObject* o : topmost)
    if (TVelaObject* c = ReceiveOne(place, o, DropKind, false)) result = c;
  FreeObj(coll);
  return result;
}

// ---------------------------------------------------------------------------
// Cells

bool PaintObjectCell(QPainter* Canvas, QRect& Rect, TVelaObject* Obj, TSFieldKind AFkind, uint32_t AFid, int Index,
                     const QString& Text, uint32_t ContrastFlags, bool Fill, const void* Data) {
  if (!Canvas) return false;
  const QColor brush = Canvas->brush().color();
  if (Fill) Canvas->fillRect(Rect, Canvas->brush());
  const int h = Rect.height();
  const QRect square(Rect.left() + 1, Rect.top() + 1, h - 2, h - 2);
  TVelaObject* self = Obj ? Obj->MySelf() : nullptr;
  bool painted = false;
  if (self && square.isValid() && self->PaintImage(Canvas, square, AFkind, AFid, Index + 1, Data)) {
    QColor frame = brush;
    if (brush.red() > 192 || brush.green() > 192 || brush.blue() > 192)
      frame = Qt::black;
    else if (ContrastFlags & 1)
      frame = Qt::white;
    Canvas->save();
    Canvas->setRenderHint(QPainter::Antialiasing, false);
    Canvas->setPen(QPen(frame, 1));
    Canvas->setBrush(Qt::NoBrush);
    Canvas->drawRect(square.adjusted(0, 0, -1, -1));  // on the square's outer pixels
    Canvas->restore();
    const int squareEnd = square.left() + square.width();  // first pixel right of the square
    Rect.setLeft(squareEnd + (Fill ? 5 : 1));
    painted = true;
  }
  if (Fill) {
    Canvas->save();
    QFont font = Canvas->font();
    font.setPointSize(9);
    Canvas->setFont(font);
    Canvas->drawText(Rect, Qt::AlignLeft | Qt::AlignVCenter, Text);
    Canvas->restore();
  }
  return painted;
}

}  // namespace vela
