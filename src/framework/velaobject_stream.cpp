// Stream form of TVelaObject, and the copies built on it.
#include <QBuffer>
#include <vector>

#include "framework/NetStreams.h"
#include "framework/TreeLock.h"
#include "framework/sstreams.h"
#include "framework/velaobject.h"
#include "platform/Assertion.h"

namespace vela {

void TVelaObject::Store(TSWriter& writer) {
  if (writer.UseNetid) {
    if (FNetId == 0) AssignNetId(this);
    writer.WriteDWord(FNetId);
  }
  StoreContent(writer);
  StoreSubs(writer);
}

void TVelaObject::Load(TSReader& reader) {
  BeforeConstruction();
  // A loaded object is what its stream says, not a new unsaved one.
  fDataFlags = {};
  if (reader.KeaVersion <= EV_2) reader.ReadByte();
  if (reader.UseNetid) {
    FNetId = reader.ReadDWord();
    TSobject* server = reader.ServerObject();
    if (server && server->InheritsFrom(TVelaObject::StaticClass()))
      static_cast<TVelaObject*>(server)->RegisterNetId(this, FNetId);
  }
  LoadContent(reader);
  LoadSubs(reader);
  AfterSubsLoaded();
}

void TVelaObject::Storedata(TSWriter& Writer) {
  if (Writer.KeaVersion < EV_2)
    Writer.WriteStrDos(fName);
  else
    Writer.WriteString(fName);
}

void TVelaObject::Loaddata(TSReader& Reader) {
  fName = Reader.KeaVersion < EV_2 ? Reader.ReadStrDos() : Reader.ReadString();
}

void TVelaObject::StoreContent(TSWriter& Writer) {
  Storedata(Writer);
  if (Writer.UseNetid) StoreStatus(Writer);
}

void TVelaObject::LoadContent(TSReader& Reader) {
  Loaddata(Reader);
  if (Reader.UseNetid) LoadStatus(Reader);
}

void TVelaObject::StoreSubs(TSWriter& Writer) { Writer.Put(fSubs); }

// A sub collection read from a stream must be a collection of objects of the
// tree; anything else is freed here, before the tree code (which takes every
// sub for a TVelaObject) can see it.
TSCollection* ReadSubCollection(TSReader& Reader) {
  TSOwned<TSobject> subs(Reader.Get());
  if (!subs) return nullptr;
  if (!subs->InheritsFrom(TSCollection::StaticClass())) throw EStreamReadError("sub collection of the wrong class");
  auto* coll = static_cast<TSCollection*>(subs.get());
  for (int i = 0; i < coll->Count(); ++i) {
    TSobject* item = coll->AtObj(i);
    if (!item || !item->InheritsFrom(TVelaObject::StaticClass()))
      throw EStreamReadError("sub-object missing or of the wrong class");
  }
  subs.release();
  return coll;
}

void TVelaObject::LoadSubs(TSReader& Reader) {
  FreeObj(fSubs);
  fSubs = nullptr;
  fSubs = ReadSubCollection(Reader);
  SetSubOwner();
}

void TVelaObject::StoreNetStatus(TSWriter& Writer) {
  if (!fStatusFlags.Has(VS_PChildrenStatusDirty)) return;
  fStatusFlags -= VS_PChildrenStatusDirty;
  for (int i = 0; i < Subcount(); ++i)
    if (TVelaObject* s = Sub(i)) s->StoreNetStatus(Writer);
}

TSobject* TVelaObject::SCopy() { return CopyThroughStream(this); }

TVelaObject* TVelaObject::SCopyTree() {
  TSobject* copy = SCopy();
  if (copy && !copy->InheritsFrom(TVelaObject::StaticClass())) {
    FreeObj(copy);
    return nullptr;
  }
  return static_cast<TVelaObject*>(copy);
}

TVelaObject* TVelaObject::SCopyNoSubs() {
  if (!fSubs) return SCopyTree();
  // The subs are hidden for the copy (the collection is written with Count
  // 0) and put back in their order; the lock keeps walkers out meanwhile.
  TTreeLock lock;
  const int count = fSubs->Count();
  std::vector<void*> saved(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) saved[static_cast<size_t>(i)] = fSubs->At(i);
  fSubs->SetCount(0);
  struct Restore {
    TSCollection* subs;
    const std::vector<void*>& items;
    ~Restore() {
      for (void* item : items) subs->AtInsert(subs->Count(), item);
    }
  } restore{fSubs, saved};
  return SCopyTree();
}

void TVelaObject::CopyData(TVelaObject* From) {
  VelaAssert(From && From->InheritsFrom(ClassType()), QStringLiteral("CopyData from an object of another class"),
             QStringLiteral("velaobject/velaobject"));
  QByteArray bytes;
  {
    auto* out = new QBuffer(&bytes);
    out->open(QIODevice::WriteOnly);
    TSWriter writer(out, 1024, R_ObjCopy, EV_6);
    From->Storedata(writer);
    writer.FlushBuffer();
  }
  auto* in = new QBuffer;
  in->setData(bytes);
  in->open(QIODevice::ReadOnly);
  TSReader reader(in, 1024, R_ObjCopy, EV_6);
  Loaddata(reader);
  SetDataChanged(FK_Undefined, 0, true);
}

}  // namespace vela
