// Drag and drop of DMX blocks: onto a block as its source reference, onto a
// sources object (or one of its references) as a further reference.
#include <vector>

#include "devices/DmxBlock.h"
#include "devices/DmxSources.h"
#include "framework/Drag.h"

namespace vela {

namespace {

TDmxBlock* AsBlock(TVelaObject* Obj) {
  return Obj && Obj->InheritsFrom(TDmxBlock::StaticClass()) ? static_cast<TDmxBlock*>(Obj) : nullptr;
}

// The dragged objects: those of a collection, or the one object.
std::vector<TVelaObject*> DroppedObjects(TVelaObject* Dropped) {
  std::vector<TVelaObject*> objects;
  if (TSDdragCollection* coll = AsDragCollection(Dropped)) {
    for (int i = 0; i < coll->Subcount(); ++i)
      if (TVelaObject* o = coll->Sub(i)) objects.push_back(o);
  } else if (Dropped) {
    objects.push_back(Dropped);
  }
  return objects;
}

// A drop that was taken consumes a dragged collection.
void Consume(TVelaObject* Dropped) {
  if (TSDdragCollection* coll = AsDragCollection(Dropped)) FreeObj(coll);
}

// The first dragged object, for the acceptance question.
TVelaObject* FirstDropped(TVelaObject* Fromobj) {
  TSDdragCollection* coll = AsDragCollection(Fromobj);
  return coll ? coll->FirstSub() : Fromobj;
}

}  // namespace

// ---------------------------------------------------------------------------
// Blocks

TVelaObject* TDmxBlock::Acceptdrop(TVelaObject* Fromobj, TSDropkind& Dropkind, TSDropMode DropMode,
                                   Qt::KeyboardModifiers Shift) {
  TDmxBlock* other = AsBlock(FirstDropped(Fromobj));
  if (other && other != this && other->IsInput() != IsInput()) {
    Dropkind = TSDropkind{DSD_Reference};
    return this;
  }
  return TVelanetObject::Acceptdrop(Fromobj, Dropkind, DropMode, Shift);
}

TVelaObject* TDmxBlock::Receivedrop(TVelaObject* Dropped, TVelaObject* DroppedAt, TSDropkinds DropKind,
                                    TSDropMode DropMode) {
  TDmxBlock* other = AsBlock(FirstDropped(Dropped));
  if (DropKind != DSD_Reference || !other || other == this || other->IsInput() == IsInput())
    return TVelanetObject::Receivedrop(Dropped, DroppedAt, DropKind, DropMode);
  TDmxBlock* input = IsInput() ? this : other;
  TDmxBlock* source = IsInput() ? other : this;
  TDeviceRef* ref = input->AddSourceByPath(source->Namepath());
  Consume(Dropped);
  return ref;
}

// ---------------------------------------------------------------------------
// Sources

TVelaObject* TAcnDevs::Acceptdrop(TVelaObject* Fromobj, TSDropkind& Dropkind, TSDropMode DropMode,
                                  Qt::KeyboardModifiers Shift) {
  if (AsBlock(FirstDropped(Fromobj))) {
    Dropkind = TSDropkind{DSD_AddRef};
    return this;
  }
  return TVelanetObject::Acceptdrop(Fromobj, Dropkind, DropMode, Shift);
}

TVelaObject* TAcnDevs::Receivedrop(TVelaObject* Dropped, TVelaObject* DroppedAt, TSDropkinds DropKind,
                                   TSDropMode DropMode) {
  TDmxBlock* owner = OwnerUniverse();
  if (DropKind != DSD_AddRef || !owner || !AsBlock(FirstDropped(Dropped)))
    return TVelanetObject::Receivedrop(Dropped, DroppedAt, DropKind, DropMode);
  TVelaObject* result = nullptr;
  for (TVelaObject* o : DroppedObjects(Dropped))
    if (TDmxBlock* block = AsBlock(o); block && block != owner) result = owner->AddDevRef(block);
  Consume(Dropped);
  return result;
}

TVelaObject* TDeviceRef::Receivedrop(TVelaObject* Dropped, TVelaObject* DroppedAt, TSDropkinds DropKind,
                                     TSDropMode DropMode) {
  TVelaObject* owner = SOwner();
  if (DropKind == DSD_AddRef && owner && owner->InheritsFrom(TAcnDevs::StaticClass()))
    return owner->Receivedrop(Dropped, DroppedAt, DropKind, DropMode);
  return TVelanetObject::Receivedrop(Dropped, DroppedAt, DropKind, DropMode);
}

}  // namespace vela
