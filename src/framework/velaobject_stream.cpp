// Stream form of TVelaObject, and the copies built on it.
#include <QBuffer>

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
    if (auto* server = dynamic_cast<TVelaObject*>(reader.ServerObject()); server && FNetId != 0)
      server->RegisterNetId(this, FNetId);
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

void TVelaObject::LoadSubs(TSReader& Reader) {
  delete fSubs;
  fSubs = nullptr;
  TSobject* subs = Reader.Get();
  if (subs && !subs->InheritsFrom(TSCollection::StaticClass())) {
    FreeObj(subs);
    throw EStreamReadError("sub collection of the wrong class");
  }
  fSubs = static_cast<TSCollection*>(subs);
  if (!fSubs) return;
  for (int i = 0; i < fSubs->Count(); ++i) {
    TSobject* item = fSubs->AtObj(i);
    if (!item || !item->InheritsFrom(TVelaObject::StaticClass()))
      throw EStreamReadError("sub-object missing or of the wrong class");
  }
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
  TVelaObject* copy = nullptr;
  const int count = fSubs->Count();
  // The subs are hidden for the copy; the lock keeps walkers out meanwhile.
  TTreeLock lock;
  void** saved = new void*[count > 0 ? count : 1];
  for (int i = 0; i < count; ++i) saved[i] = fSubs->At(i);
  fSubs->SetCount(0);
  try {
    copy = SCopyTree();
  } catch (...) {
    for (int i = 0; i < count; ++i) fSubs->AtInsert(i, saved[i]);
    delete[] saved;
    throw;
  }
  for (int i = 0; i < count; ++i) fSubs->AtInsert(i, saved[i]);
  delete[] saved;
  return copy;
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
