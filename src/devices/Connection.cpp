#include "devices/Connection.h"

#include <algorithm>
#include <cmath>

#include "devices/DeviceClock.h"
#include "devices/DmxArea.h"
#include "devices/DmxBlock.h"

namespace vela {

VELA_CLASS_IMPL(TConnection, TVelanetObject)

TConnection::TConnection() = default;

TConnection::~TConnection() {
  fListeners.clear();
  SetOutBlocks(nullptr);
  SetInBlocks(nullptr);
  if (TConnection* out = FMidiOut.Get()) out->SetPortOpen(false);
}

// ---------------------------------------------------------------------------
// Alive, active, detected

void TConnection::SetAlive(bool Value) {
  if (Value) {
    fLastSeen = DeviceNow();
    if (fKeepconnection && !Connected()) SetConnected(true);
    if (fAlive) return;
    fAlive = true;
    SetStatusChanged();
    FireDetectedChanged();
    return;
  }
  if (!fAlive) {
    SetActive(false);
    return;
  }
  // The connection is cycled: a device that comes back finds it fresh.
  const bool wasConnected = Connected();
  SetConnected(false);
  if (wasConnected) SetConnected(true);
  fAlive = false;
  FActive = false;
  SetStatusChanged();
  FireDetectedChanged();
}

void TConnection::SetActive(bool Value) {
  if (Value) {
    SetAlive(true);
    fActiveSet = DeviceNow();
  }
  if (Value == FActive) return;
  FActive = Value;
  SetStatusChanged();
}

void TConnection::SetIsDetected(bool Value) {
  if (Value == IsDetected()) return;
  SetStatus(ST(1), Value);
  SetDataChanged(FK_Undefined, 0, false);
  FireDetectedChanged();
}

void TConnection::SetConnected(bool Value) {
  if (Value == fConnected) return;
  fConnected = Value;
  SetDataChanged(FK_Undefined, 0, false);
}

void TConnection::SetIoStatus(uint8_t Value) {
  if (Value == FIoStatus) return;
  FIoStatus = Value;
  SetStatusChanged();
}

void TConnection::FireDetectedChanged() {
  if (OnDetectedChanged) OnDetectedChanged(this);
}

void TConnection::AliveCheck() {
  const TDateTime now = DeviceNow();
  // Whole seconds, ties to even as the platform's rounding does.
  const double seconds = std::nearbyint((now - fLastSeen) * kSecondsPerDay);
  if (fAliveTimeout != 0) {
    if (seconds > fAliveTimeout && fAlive) SetAlive(false);
    if (seconds >= 2 && !fAlive) SetActive(false);
  } else if ((now - fActiveSet) * kSecondsPerDay >= 2) {
    SetActive(false);
  }
  if (FBehaveFlags.Has(bh_HartBeat) && fAlive) Notify(SOM_Activity, this, 0);
}

void TConnection::RaiseBrStatusDirty() {
  if (fBrStatusDirty < 5) ++fBrStatusDirty;
}

void TConnection::LowerBrStatusDirty() {
  if (fBrStatusDirty > 0) --fBrStatusDirty;
}

QString TConnection::FrameTypeText(int FrameType) {
  switch (FrameType) {
    case 0: return QStringLiteral("24 Fps");
    case 1: return QStringLiteral("25 Fps");
    case 2: return QStringLiteral("30 Drop");
    case 3: return QStringLiteral("30 Fps");
    default: return QStringLiteral("******");
  }
}

int TConnection::GetImageindex(bool Expanded) {
  const int index = TVelanetObject::GetImageindex(Expanded);
  return (UseDoubleIcon && !fAlive && index >= 0) ? index + 1 : index;
}

// ---------------------------------------------------------------------------
// DMX areas

// An area has one place: taking it over from another slot (of this or
// another connection) empties that slot, so no area is freed twice.
void TConnection::ReleaseArea(TDmxArea* Area) {
  TVelaObject* owner = Area ? Area->SOwner() : nullptr;
  if (!owner || !owner->InheritsFrom(TConnection::StaticClass())) return;
  auto* holder = static_cast<TConnection*>(owner);
  if (holder->fCInBlocks == Area) holder->fCInBlocks = nullptr;
  if (holder->fCOutBlocks == Area) holder->fCOutBlocks = nullptr;
}

void TConnection::SetInBlocks(TDmxArea* Value) {
  if (Value == fCInBlocks) return;
  ReleaseArea(Value);
  TDmxArea* old = fCInBlocks;
  fCInBlocks = nullptr;
  FreeObj(old);
  fCInBlocks = Value;
  if (Value) Value->SetSOwner(this);
}

void TConnection::SetOutBlocks(TDmxArea* Value) {
  if (Value == fCOutBlocks) return;
  ReleaseArea(Value);
  TDmxArea* old = fCOutBlocks;
  fCOutBlocks = nullptr;
  FreeObj(old);
  fCOutBlocks = Value;
  if (Value) Value->SetSOwner(this);
}

TDmxArea* TConnection::EnsureInArea(int Count, bool IsOutput) {
  if (!fCInBlocks) SetInBlocks(TDmxArea::Create1(this, TDmxAreaState{St_DmxFromVelaNet}, Count));
  fCInBlocks->SetNumblocks(Count);
  fCInBlocks->SetIsOutput(IsOutput);
  return fCInBlocks;
}

TDmxArea* TConnection::EnsureOutArea(int Count, bool OutputRestricted) {
  if (!fCOutBlocks) SetOutBlocks(TDmxArea::Create1(this, TDmxAreaState{St_DmxToVelaNet}, Count));
  fCOutBlocks->SetNumblocks(Count);
  fCOutBlocks->SetOutputRestricted(OutputRestricted);
  return fCOutBlocks;
}

void TConnection::EnableInBlock(int Port, bool On) {
  TDmxBlock* block = fCInBlocks ? fCInBlocks->Block(Port) : nullptr;
  if (block && block->Enabled() != On) block->SetEnabled(On);
}

void TConnection::EnableOutBlock(int Port, bool On) {
  TDmxBlock* block = fCOutBlocks ? fCOutBlocks->Block(Port) : nullptr;
  if (!block || block->Enabled() == On) return;
  if (InOrOutMutex && On) EnableInBlock(Port, false);
  block->SetEnabled(On);
}

int TConnection::PortUse(int Port) {
  if (TDmxBlock* in = fCInBlocks ? fCInBlocks->Block(Port) : nullptr; in && in->Enabled()) return PU_In;
  if (TDmxBlock* out = fCOutBlocks ? fCOutBlocks->Block(Port) : nullptr; out && out->Enabled()) return PU_Out;
  return PU_None;
}

void TConnection::SetPortUse(int Port, int Use) {
  switch (Use) {
    case PU_None:
      EnableInBlock(Port, false);
      EnableOutBlock(Port, false);
      break;
    case PU_In:
      EnableOutBlock(Port, false);
      EnableInBlock(Port, true);
      break;
    case PU_Out:
      EnableInBlock(Port, false);
      EnableOutBlock(Port, true);
      break;
    default: break;
  }
}

bool TConnection::AcceptDMX(TDmxBlock* From, TDmxBlock* To) {
  if (To) {
    if (!From) return false;
    return !To->BlockIsOutput() || !From->OutputRestricted();
  }
  if (!fCInBlocks) return false;
  if (!fCInBlocks->IsOutput()) return true;
  return From && !From->OutputRestricted();
}

bool TConnection::ValidateNetUniverse(bool IsNet, int Value, bool& DisplayFromOne, int& Max, int& Min) {
  Min = 0;
  Max = 255;
  DisplayFromOne = !IsNet;
  return Value >= Min && Value <= Max;
}

int TConnection::DefaultNetUniverse(bool, int Index) { return Index; }

TVelaObject* TConnection::PrivatScanSubs(void* ABP, const TScanProc& Proc, TSlSet Lev, bool find) {
  TVelaObject* found = TVelanetObject::PrivatScanSubs(ABP, Proc, Lev, find);
  if (find && found) return found;
  if (!(Lev.Has(SLev_1) || Lev.Has(Slev_all))) return found;
  // The areas are walked like subs.
  TSlSet subLev;
  if (Lev.Has(SLev_1)) subLev += SLev_0;
  if (Lev.Has(Slev_all)) subLev += TSlSet{SLev_1, Slev_all};
  TDmxArea* in = (fCInBlocks && fCInBlocks->SOwner() == this) ? fCInBlocks : nullptr;
  for (TDmxArea* area : {in, fCOutBlocks}) {
    if (!area) continue;
    TVelaObject* r = nullptr;
    try {
      r = area->PrivatScanSubs(ABP, Proc, subLev, find);
    } catch (...) {
      r = nullptr;
    }
    if (find && r) return r;
  }
  return found;
}

// ---------------------------------------------------------------------------
// Partners

QString TConnection::NamePath(TVelaObject* Obj) {
  QStringList names;
  for (TVelaObject* o = Obj; o; o = o->SOwner()) names.prepend(o->Name());
  return names.join('\\');
}

void TConnection::SetMidiIn(TConnection* Value) { _SetField(false, CSF_MidiIn, &Value); }
void TConnection::SetMidiOut(TConnection* Value) { _SetField(false, CSF_MidiOut, &Value); }
void TConnection::SetTCSource(TConnection* Value) { _SetField(false, CSF_TCSource, &Value); }

void TConnection::ReplaceMidiPartner(TObjRef<TConnection>& Partner, QString& Path, TConnection* Value) {
  if (TConnection* old = Partner.Get()) old->SetPortOpen(false);
  Partner.Set(Value);
  Path = Value ? NamePath(Value) : QString();
  if (Value) Value->SetPortOpen(true);
}

void TConnection::ReplaceMidiPartnerPath(TObjRef<TConnection>& Partner, QString& Path, const QString& NewPath) {
  if (TConnection* old = Partner.Get()) old->SetPortOpen(false);
  Path = NewPath;
  Partner.Set(ResolvePartnerPath(NewPath));
  if (TConnection* now = Partner.Get()) now->SetPortOpen(true);
}

void TConnection::SetMidiInPath(const QString& Path) { ReplaceMidiPartnerPath(FMidiIn, FMidiInPath, Path); }
void TConnection::SetMidiOutPath(const QString& Path) { ReplaceMidiPartnerPath(FMidiOut, FMidiOutPath, Path); }

void TConnection::SetTCSourcePath(const QString& Path) {
  FTCSourcePath = Path;
  FTCSource.Set(ResolvePartnerPath(Path));
}

TConnection* TConnection::ResolvePartnerPath(const QString&) { return nullptr; }

// ---------------------------------------------------------------------------
// Listeners

void TConnection::AddListener(TVelaObject* Obj) {
  if (!Obj || !Obj->InheritsFrom(TConnection::StaticClass())) return;
  auto* c = static_cast<TConnection*>(Obj);
  std::erase_if(fListeners, [](const TObjRef<TConnection>& r) { return !r; });
  if (std::none_of(fListeners.begin(), fListeners.end(), [c](const auto& r) { return r.Is(c); }))
    fListeners.emplace_back(c);
}

void TConnection::RemoveListener(TVelaObject* Obj) {
  std::erase_if(fListeners, [Obj](const TObjRef<TConnection>& r) { return !r || r.Get() == Obj; });
}

std::vector<TConnection*> TConnection::Listeners() const {
  std::vector<TConnection*> out;
  for (const auto& r : fListeners)
    if (TConnection* c = r.Get()) out.push_back(c);
  return out;
}

// ---------------------------------------------------------------------------
// Messages

void TConnection::Dispatch(TMessage& Message) {
  if (Message.Msg == VM_AliveCheck) {
    AliveCheck();
    return;
  }
  if (Message.Msg == VM_DeviceState && Message.WParam == VMP_Off) {
    SetAlive(false);
    return;
  }
  TVelanetObject::Dispatch(Message);
}

}  // namespace vela
