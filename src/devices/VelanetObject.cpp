#include "devices/VelanetObject.h"

#include <algorithm>

#include "framework/sstreams.h"

namespace vela {

namespace {
std::vector<TVelanetObject*>& NetObjects() {
  static std::vector<TVelanetObject*> list;
  return list;
}

// The object with net id Id strictly below Owner.
TVelaObject* FindBelow(TVelaObject* Owner, uint32_t Id) {
  if (!Owner || Id == 0) return nullptr;
  TVelaObject* found = nullptr;
  Owner->ScanSubs([&](TVelaObject* o) { return o->NetId() == Id ? (found = o, true) : false; },
                  TSlSet{SLev_1, Slev_all}, true);
  return found;
}
}  // namespace

const std::vector<TVelanetObject*>& VelanetObjects() { return NetObjects(); }

VELA_CLASS_IMPL(TVelanetObject, TRealTime)

TVelanetObject::TVelanetObject() { NetObjects().push_back(this); }

TVelanetObject::~TVelanetObject() { std::erase(NetObjects(), this); }

intptr_t TVelanetObject::PassToNetOwner(uint32_t Call, intptr_t Param1, intptr_t Param2) {
  for (TVelaObject* o = SOwner(); o; o = o->SOwner())
    if (o->InheritsFrom(TVelanetObject::StaticClass()))
      return static_cast<TVelanetObject*>(o)->PassToNetOwner(Call, Param1, Param2);
  return 0;
}

void TVelanetObject::HandleDataStream(QIODevice& Stream, int) { ReadRecords(Stream, false); }

void TVelanetObject::HandleStatusStream(QIODevice& Stream, int) { ReadRecords(Stream, true); }

void TVelanetObject::StatusRecordRead(TVelaObject*) {}

bool TVelanetObject::AddToStatusBroadcast(std::span<uint8_t>, int&) { return true; }

int TVelanetObject::ReadFromStatusBroadcast(std::span<const uint8_t>, int&) { return 0; }

void TVelanetObject::ReadRecords(QIODevice& Stream, bool Status) {
  constexpr int kHeader = 16;
  TSReader reader(&Stream, Status ? 1024 : 4096, Status ? R_Status : R_Data, EV_6);
  reader.KeepStream = true;
  reader.UseNetid = true;
  reader.SetServerObject(this);
  const qint64 size = reader.Size();
  while (reader.BytesLeft() >= kHeader) {
    const qint64 here = reader.Position();
    const qint64 next = reader.ReadInteger();
    const uint32_t ownerType = reader.ReadDWord();
    reader.ReadDWord();
    const uint32_t serverId = reader.ReadDWord();
    TVelaObject* owner = FindOwnerType(static_cast<int>(ownerType));
    TVelaObject* obj = FindBelow(owner, serverId);
    bool read = false;
    if (obj) {
      try {
        if (Status) {
          obj->LoadStatus(reader);
          StatusRecordRead(obj);
          if (TVelaObject* rt = obj->GetSRtl(); rt && !static_cast<TRealTime*>(rt)->DirtyStatusData().Empty())
            obj->SetStatusChanged();
        } else {
          obj->Loaddata(reader);
          obj->SetDataChanged(FK_Undefined, 0, false);
        }
        read = true;
      } catch (const EStreamReadError&) {
        if (next <= 0) break;
      }
    }
    // Records are found by their next position, never by what a record's
    // reader consumed; a position that does not move forward ends the walk.
    if (next <= here || next > size) break;
    if (!read || next > reader.Position()) reader.SetPosition(next);
  }
}

void TVelanetObject::AfterInsert(TVelaObject* Obj) {
  TRealTime::AfterInsert(Obj);
  StoreSettings();
}

void TVelanetObject::PostDelete(TVelaObject* Obj) {
  TRealTime::PostDelete(Obj);
  StoreSettings();
}

void TVelanetObject::Dispatch(TMessage& Message) {
  if (Message.Msg == VM_Periodic) {
    PeriodicStep();
    return;
  }
  TRealTime::Dispatch(Message);
}

void TVelanetObject::DispatchObject(TObjectMessage& Message) {
  TMessage m;
  m.Msg = Message.Msg;
  m.WParam = static_cast<intptr_t>(Message.Kind) | (static_cast<intptr_t>(Message.Command) << 16);
  m.LParam = Message.Value;
  Dispatch(m);
}

}  // namespace vela
