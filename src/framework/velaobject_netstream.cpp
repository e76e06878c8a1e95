// Network record streams of the object tree: HandleNetStream and the readers
// of the data and status streams, and the writers of data and status records.
#include <QBuffer>
#include <cstdint>
#include <exception>

#include "framework/NetStreams.h"
#include "framework/TreeLock.h"
#include "framework/velaobject.h"
#include "platform/Assertion.h"

namespace vela {

namespace {

const QString kUnit = QStringLiteral("velaobject/velaobject");
constexpr TD_FLAGS kSavedFlags{S_NotSaved, S_RootNotSaved};

int BufSizeOf(TRWMode Mode) { return Mode == R_Data ? kNetDataBufSize : kNetStatusBufSize; }

// Walks the records of a data or status stream. ReadOne reads the body of a
// record whose net id names a live object below Receiver; whatever it raises
// ends only that record. The walk goes on at the record's stored next
// position, which has to lie after the record's header and within the
// stream: so every step moves forward and the walk always ends.
template <class F>
void ForEachRecord(TVelaObject& Receiver, TSReader& Reader, F&& ReadOne) {
  try {
    const qint64 size = Reader.Size();
    while (size - Reader.Position() >= kNetRecordHeaderSize) {
      const qint64 start = Reader.Position();
      const int32_t next = Reader.ReadInteger();
      const uint32_t id = Reader.ReadDWord();
      TVelaObject* obj = Receiver.FindServerid(id, 0);
      if (obj && !obj->StatusFlags().Has(VS_Destroying)) {
        try {
          ReadOne(*obj);
        } catch (const std::exception&) {
          // A record that cannot be read is skipped.
        }
      }
      if (next <= 0 || next < start + kNetRecordHeaderSize || next > size) break;
      Reader.SetPosition(next);
    }
  } catch (const std::exception&) {
    // The stream itself failed (not readable): nothing more can be read.
  }
}

// Puts Obj back into its owner's subs after a sort-dirty reload, at its
// sorted place; an equal key must not drop it from the tree.
void Reinsert(TSCollection& Subs, TVelaObject& Obj) {
  TTreeLock lock;
  Subs.Insert(&Obj);
  if (Subs.ScanIndexOf(&Obj) >= 0) return;
  const int at =
      Subs.Sorted()
          ? static_cast<TSortedCollection&>(Subs).IndexOfKey(static_cast<TSortedCollection&>(Subs).KeyOf(&Obj))
          : Subs.Count();
  Subs.AtInsert(at, &Obj);
}

// The part of a data record after its flags byte (flags already taken).
void LoadDataRecordBody(TSReader& Reader, TVelaObject& Obj) {
  const TD_FLAGS flags = Obj.DataFlags();
  if (flags.Has(S_SubsChanged)) {
    Obj.SetSubobjects(ReadSubCollection(Reader));
    Obj.AfterSubsLoaded();
  }
  TVelaObject* owner = Obj.SOwner();
  TSCollection* ownerSubs = owner ? owner->Subobjects() : nullptr;
  if (!flags.Has(S_SortDirty) || !ownerSubs || ownerSubs->ScanIndexOf(&Obj) < 0) {
    Obj.Loaddata(Reader);
    return;
  }
  {
    TTreeLock lock;
    ownerSubs->Delete(&Obj);
  }
  try {
    Obj.Loaddata(Reader);
  } catch (...) {
    Reinsert(*ownerSubs, Obj);
    throw;
  }
  Reinsert(*ownerSubs, Obj);
  owner->SetSubsChanged(true, false, false);
}

void ReadDataRecord(TSReader& Reader, TVelaObject& Obj) {
  Obj.SetDataFlagsRaw(TD_FLAGS::FromBits(Reader.ReadByte()));
  try {
    LoadDataRecordBody(Reader, Obj);
  } catch (...) {
    Obj.SetDataFlagsRaw(Obj.DataFlags() * kSavedFlags);
    throw;
  }
  // The notice is chosen from the flags the record brought; the flags are
  // reduced before it goes out, since its handlers may change the tree.
  TVelaObject* owner = Obj.SOwner();
  const bool ownerResorts = owner && owner->DataFlags().Has(S_SubsSortDirty);
  const bool selfResorts = Obj.DataFlags().Has(S_SubsSortDirty);
  const bool silent = Obj.DataFlags().Has(S_SilentDirty);
  Obj.SetDataFlagsRaw(Obj.DataFlags() * kSavedFlags);
  if (ownerResorts)
    owner->SetSubsChanged(true, false, false);
  else if (selfResorts)
    Obj.SetSubsChanged(true, false, false);
  else if (!silent)
    Obj.SetDataChangedLocal(true, FK_Undefined, 0);
}

void ReadStatusRecord(TSReader& Reader, TVelaObject& Obj) {
  Obj.LoadStatus(Reader);
  Obj.AfterLoadNetStatus();
}

// Writes a record of Obj: the next position (patched once the body is out),
// the net id, then what Body writes.
template <class F>
void WriteRecord(TSWriter& Writer, TVelaObject& Obj, F&& Body) {
  if (Obj.NetId() == 0) Obj.AssignNetId(&Obj);
  const qint64 at = Writer.Position();
  Writer.WriteInteger(0);
  Writer.WriteDWord(Obj.NetId());
  Body();
  Writer.FlushBuffer();
  const qint64 end = Writer.Position();
  VelaAssert(end <= INT32_MAX, QStringLiteral("Record stream too large"), kUnit);
  Writer.SetPosition(at);
  Writer.WriteInteger(static_cast<int32_t>(end));
  Writer.SetPosition(end);
}

// The object commands: one object, written by Put, for the object with net
// id ServerId.
TVelaObject* HandleObjectStream(TVelaObject& Receiver, QIODevice* Stream, uint32_t ServerId, int Index, int Command) {
  TSOwned<TSobject> read;
  {
    std::unique_ptr<TSReader> reader = NewNetReader(Stream, R_Sobject, &Receiver);
    try {
      read.reset(reader->Get());
    } catch (const std::exception&) {
      return nullptr;  // the half-read object is freed by its loading
    }
  }
  TVelaObject* target = read ? Receiver.FindServerid(ServerId, 0) : nullptr;
  if (!target) return nullptr;
  if (Command == NC_CommandObject) {
    // The field write gets the address of the object reference, as field
    // writes get the address of their value.
    TSobject* raw = read.get();
    target->SetFieldValue(FK_Command, static_cast<uint32_t>(Index), &raw, false);
    return nullptr;
  }
  if (!read->InheritsFrom(TVelaObject::StaticClass())) return nullptr;
  auto* obj = static_cast<TVelaObject*>(read.get());
  switch (Command) {
    case NC_Inserted:
      if (TSCollection* subs = target->Subobjects()) {
        TTreeLock lock;
        if (Index >= 0 && Index <= subs->Count())
          subs->AtInsert(Index, obj);
        else
          subs->Insert(obj);
      }
      break;
    case NC_Insert: target->SInsert(obj, true); break;
    case NC_InsertAt: target->SAtInsert(obj, Index, true); break;
    default: return nullptr;
  }
  TSCollection* subs = target->Subobjects();
  if (!subs || subs->ScanIndexOf(obj) < 0) {
    // Not taken (no subs, bad index, an equal key): it goes as a root, so the
    // views that may have heard of its insertion hear of its end.
    obj->SetSOwner(nullptr);
    return nullptr;
  }
  read.release();
  if (Command == NC_Inserted) {
    obj->SetSOwner(target);
    obj->SetSubOwner();
  }
  return obj;
}

}  // namespace

std::unique_ptr<TSWriter> NewNetWriter(QIODevice* Stream, TRWMode Mode) {
  auto writer = std::make_unique<TSWriter>(Stream, BufSizeOf(Mode), Mode, EV_6);
  writer->UseNetid = true;
  return writer;
}

std::unique_ptr<TSReader> NewNetReader(QIODevice* Stream, TRWMode Mode, TVelaObject* Server) {
  auto reader = std::make_unique<TSReader>(Stream, BufSizeOf(Mode), Mode, EV_6);
  reader->UseNetid = true;
  reader->SetServerObject(Server);
  return reader;
}

TVelaObject* HandleNetStream(TVelaObject& Receiver, QIODevice* Stream, uint32_t ServerId, int Index, int Command) {
  if (!Stream) return nullptr;
  switch (Command) {
    case NC_Inserted:
    case NC_Insert:
    case NC_InsertAt:
    case NC_CommandObject: return HandleObjectStream(Receiver, Stream, ServerId, Index, Command);
    case NC_SetField: {
      std::unique_ptr<TSReader> reader = NewNetReader(Stream, R_Data);
      ReadNetDataStream(Receiver, *reader);
      return nullptr;
    }
    case NC_Status: {
      std::unique_ptr<TSReader> reader = NewNetReader(Stream, R_Status);
      ReadNetStatusStream(Receiver, *reader);
      return nullptr;
    }
    default: delete Stream; return nullptr;
  }
}

void ReadNetDataStream(TVelaObject& Receiver, TSReader& Reader) {
  ForEachRecord(Receiver, Reader, [&](TVelaObject& obj) { ReadDataRecord(Reader, obj); });
}

void ReadNetStatusStream(TVelaObject& Receiver, TSReader& Reader) {
  ForEachRecord(Receiver, Reader, [&](TVelaObject& obj) { ReadStatusRecord(Reader, obj); });
}

void WriteNetStatusRecord(TSWriter& Writer, TVelaObject& Obj) {
  WriteRecord(Writer, Obj, [&] { Obj.StoreStatus(Writer); });
}

void StoreNetdata(TSWriter& Writer, TVelaObject& Obj) {
  const TD_FLAGS flags = Obj.DataFlags();
  const bool wroteSubs = flags.HasAny(kTransientDataFlags) && flags.Has(S_SubsChanged);
  if (flags.HasAny(kTransientDataFlags)) {
    WriteRecord(Writer, Obj, [&] {
      Writer.WriteByte(flags.ToBits());
      if (wroteSubs) Writer.Put(Obj.Subobjects());
      Obj.Storedata(Writer);
    });
  }
  if (Obj.StatusFlags().Has(VS_ChildrenDataDirty) && !wroteSubs)
    for (int i = 0; i < Obj.Subcount(); ++i)
      if (TVelaObject* sub = Obj.Sub(i)) StoreNetdata(Writer, *sub);
  Obj.SetStatusFlags(Obj.StatusFlags() - VS_ChildrenDataDirty);
  Obj.SetDataFlagsRaw(Obj.DataFlags() - kTransientDataFlags);
}

}  // namespace vela
