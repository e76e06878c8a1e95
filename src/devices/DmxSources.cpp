#include "devices/DmxSources.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "devices/DeviceClock.h"
#include "devices/DmxArea.h"
#include "devices/DmxBlock.h"
#include "framework/sstreams.h"

namespace vela {

// ---------------------------------------------------------------------------
// TDeviceRef

VELA_CLASS_IMPL(TDeviceRef, TVelanetObject)

void TDeviceRef::SetReference(TVelaObject* Source) {
  ffReference.Set(Source);
  if (!Source) return;
  fRefObjType = static_cast<uint16_t>(Source->Objtype());
  fRefName = Source->Name();
  fNode = Source->GetServerName();
}

TDmxBlock* TDeviceRef::SourceBlock() const {
  TVelaObject* source = Reference();
  return source && source->InheritsFrom(TDmxBlock::StaticClass()) ? static_cast<TDmxBlock*>(source) : nullptr;
}

TDmxBlock* TDeviceRef::OwnerBlock() const {
  TVelaObject* owner = SOwner();
  return owner && owner->InheritsFrom(TAcnDevs::StaticClass()) ? static_cast<TAcnDevs*>(owner)->OwnerUniverse()
                                                               : nullptr;
}

QString TDeviceRef::SourceText() {
  TVelaObject* source = Reference();
  return source ? source->Name() : '(' + fRefName + ')';
}

QString TDeviceRef::SourceName() {
  TVelaObject* source = Reference();
  return source ? source->Name() : fRefName;
}

QString TDeviceRef::SourceNode() {
  TVelaObject* source = Reference();
  return source ? source->GetServerName() : fNode;
}

bool TDeviceRef::GetFieldPointer(TSFieldKind FieldKind, uint32_t FieldId, void*& Ptr) {
  if (FieldKind == FK_Word) {
    switch (FieldId) {
      case RF_Patch: return Ptr = &FDMX, true;
      case RF_Size: return Ptr = &FSize, true;
      case RF_Priority: return Ptr = &FPriority, true;
      case RF_Start: return Ptr = &FStart, true;
      default: break;
    }
  }
  if (FieldKind == FK_TimeDate && FieldId == RF_TimeOut) return Ptr = &FTimeOut, true;
  return TVelanetObject::GetFieldPointer(FieldKind, FieldId, Ptr);
}

QString TDeviceRef::FF(TSFieldKind AFkind, uint32_t AFid, int Param1, int Param2) {
  if (AFkind == FK_Text && AFid == 0) return QStringLiteral("SourceRef: ") + SourceText();
  if (AFkind == FK_Text && AFid == RF_Node) return SourceNode();
  if (AFkind == FK_Special && AFid == RF_Source) return SourceText();
  return TVelanetObject::FF(AFkind, AFid, Param1, Param2);
}

QString TDeviceRef::GetNodetext() {
  return NameAssigned() ? NameIfName() : QStringLiteral("SourceRef: ") + SourceText();
}

void TDeviceRef::SetFieldValue(TSFieldKind FieldKind, uint32_t FieldId, const void* Data, bool AsIncrement) {
  const auto before = std::make_tuple(FDMX, FSize, FPriority, FStart, FTimeOut);
  TVelanetObject::SetFieldValue(FieldKind, FieldId, Data, AsIncrement);
  if (before == std::make_tuple(FDMX, FSize, FPriority, FStart, FTimeOut)) return;
  if (TDmxBlock* block = OwnerBlock()) block->SourceChanged();
}

uint16_t TDeviceRef::DefaultPDef(TLParamDef& Arr, TParamsOpt&) {
  Arr.clear();
  int n = -1;
  auto add = [&](TSFieldKind kind, uint32_t id, const char* head, int width, TLpEditModes modes, TVelaObject* part) {
    if (n < 0) {
      n = 0;
      SetArrData(Arr, 0, kind, id, QString::fromLatin1(head), width, modes, {}, {}, part);
    } else {
      AddArrData(Arr, n, kind, id, QString::fromLatin1(head), width, modes, {}, {}, part);
    }
  };
  const bool block = RefersToBlock();
  if (block) {
    add(FK_Special, RF_Source, "Source", 170, TLpEditModes{LPE_UserSet}, nullptr);
    add(FK_Word, RF_Patch, "Patch", 40, {}, nullptr);
  }
  add(FK_Word, RF_Start, "Start", 30, {}, nullptr);
  add(FK_Word, RF_Size, "Size", 30, {}, nullptr);
  add(FK_Word, RF_Priority, "Priority", 40, {}, nullptr);
  add(FK_TimeDate, RF_TimeOut, "Timeout", 60, {}, nullptr);
  if (block) add(FK_Text, RF_Node, "Node", 170, {}, Reference());
  return static_cast<uint16_t>(n + 1);
}

void TDeviceRef::Storedata(TSWriter& Writer) {
  TVelanetObject::Storedata(Writer);
  Writer.WriteWord(FDMX);
  Writer.WriteWord(fRefObjType);
  // A present source is stored by its current names, so it is found again.
  Writer.WriteString(SourceName());
  Writer.WriteString(SourceNode());
  Writer.WriteWord(FStart);
  Writer.WriteWord(FSize);
  Writer.WriteWord(FPriority);
  Writer.WriteDateTime(FTimeOut);
}

void TDeviceRef::Loaddata(TSReader& Reader) {
  TVelanetObject::Loaddata(Reader);
  FDMX = Reader.ReadWord();
  fRefObjType = Reader.ReadWord();
  const QString name = Reader.ReadString();
  const QString node = Reader.ReadString();
  FStart = Reader.ReadWord();
  FSize = Reader.ReadWord();
  FPriority = Reader.ReadWord();
  FTimeOut = Reader.ReadDateTime();
  if (name == fRefName && node == fNode) return;
  fRefName = name;
  fNode = node;
  ffReference.Clear();
  // A reference loaded into a block of an area links at once; one read as
  // part of a whole area is linked by the area when its blocks are loaded.
  TDmxBlock* block = OwnerBlock();
  if (TDmxArea* area = block ? block->Area() : nullptr) area->CheckRemoteNames1();
}

// ---------------------------------------------------------------------------
// TAcnDevs

VELA_CLASS_IMPL(TAcnDevs, TVelanetObject)

TAcnDevs::TAcnDevs() { CreateStdSubs(); }

TDmxBlock* TAcnDevs::OwnerUniverse() const {
  TVelaObject* owner = SOwner();
  return owner && owner->InheritsFrom(TDmxBlock::StaticClass()) ? static_cast<TDmxBlock*>(owner) : nullptr;
}

TDeviceRef* TAcnDevs::Ref(int Index) const {
  TVelaObject* sub = Sub(Index);
  return sub && sub->InheritsFrom(TDeviceRef::StaticClass()) ? static_cast<TDeviceRef*>(sub) : nullptr;
}

TDeviceRef* TAcnDevs::Find(const TVelaObject* Source) const {
  if (!Source) return nullptr;
  for (int i = 0; i < Count(); ++i)
    if (TDeviceRef* ref = Ref(i); ref && ref->Reference() == Source) return ref;
  return nullptr;
}

TDeviceRef* TAcnDevs::FindByName(const QString& Name, const QString& Node) const {
  for (int i = 0; i < Count(); ++i)
    if (TDeviceRef* ref = Ref(i); ref && ref->SourceName() == Name && ref->SourceNode() == Node) return ref;
  return nullptr;
}

bool TAcnDevs::Update(std::span<uint8_t> Levels, bool CheckOnly, TDateTime* LastChanged) {
  TDmxBlock* owner = OwnerUniverse();
  const int destSize = std::min<int>({owner ? owner->BlockSize() : 0, static_cast<int>(Levels.size()), kDmxChannels});
  if (destSize <= 0) return false;
  std::array<uint16_t, kDmxChannels> priority{};
  const TDateTime now = DeviceNow();
  bool taken = false;
  for (int i = 0; i < Count(); ++i) {
    TDeviceRef* ref = Ref(i);
    TDmxBlock* source = ref ? ref->SourceBlock() : nullptr;
    if (!source || !source->Enabled() || source->BlockSize() == 0 || !owner->AcceptSource(source)) continue;
    if (ref->TimeOut() > 0 && now - source->LastSeen() > ref->TimeOut()) continue;
    if (LastChanged) *LastChanged = source->LastChanged();
    if (CheckOnly) {
      taken = true;
      continue;
    }
    const int d = std::min(ref->DMX() > 0 ? ref->DMX() - 1 : 0, destSize - 1);
    const int s = std::min(ref->Start() > 0 ? ref->Start() - 1 : 0, source->BlockSize() - 1);
    const int n = std::min({source->BlockSize() - s, static_cast<int>(ref->Size()), destSize - d});
    if (n <= 0) continue;
    const uint8_t* from = source->Levels().data() + s;
    const uint16_t p = ref->Priority();
    for (int k = 0; k < n; ++k) {
      uint8_t& level = Levels[static_cast<size_t>(d + k)];
      uint16_t& chanPriority = priority[static_cast<size_t>(d + k)];
      // The first source is taken as it is; later ones win a channel by a
      // higher priority, or by a higher level at the same priority.
      if (!taken || (p >= chanPriority && (p > chanPriority || from[k] > level))) {
        level = from[k];
        chanPriority = p;
      }
    }
    taken = true;
  }
  return taken;
}

int TAcnDevs::GetStdSubTypes(TClassArr& ClassArr) {
  ClassArr = {TDeviceRef::StaticClass()};
  return 1;
}

}  // namespace vela
