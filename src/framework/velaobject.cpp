#include "framework/velaobject.h"

#include "framework/FrameworkHooks.h"
#include "framework/TreeLock.h"
#include "platform/Assertion.h"

namespace vela {

namespace {
const QString kUnit = QStringLiteral("velaobject/velaobject");
bool gEditingEnabled = true;
}  // namespace

TFrameworkHooks& FrameworkHooks() {
  static TFrameworkHooks hooks;
  return hooks;
}

bool EditingEnabled() { return gEditingEnabled; }
void SetEditingEnabled(bool enabled) { gEditingEnabled = enabled; }

void RoleString(TKeaRole role, QString& Text) {
  switch (role) {
    case er_offline: Text = QStringLiteral("OffLine"); break;
    case er_alone: Text = QStringLiteral("Alone"); break;
    case er_client: Text = QStringLiteral("Client"); break;
    case er_backup: Text = QStringLiteral("Backup"); break;
    case er_server: Text = QStringLiteral("Master"); break;
  }
}

void InitParamsOpt(TParamsOpt& Opt) { Opt = TParamsOpt{}; }

// ---------------------------------------------------------------------------
// Construction and destruction

VELA_CLASS_IMPL(TVelaObject, TSobject)

TVelaObject::TVelaObject() {
  BeforeConstruction();
  if (XmlCreatePending()) {
    XmlCreatePending() = false;
    fStatusFlags += VS_XmlCreating;
  }
  fDataFlags += S_NotSaved;
}

void TVelaObject::BeforeConstruction() { fStatusFlags += VS_Creating; }

void TVelaObject::AfterCreate() {
  TSobject::AfterCreate();
  InitObject();
  AfterSubsLoaded();
  fStatusFlags -= VS_Creating;
}

void TVelaObject::AfterLoadConstruction() {
  TSobject::AfterLoadConstruction();
  fStatusFlags -= VS_Creating;
}

void TVelaObject::MarkDestroying() {
  if (fStatusFlags.Has(VS_Destroying)) return;
  fStatusFlags += VS_Destroying;
  if (!fSubs || fSubs->NotFreeAllOnDestroy()) return;
  for (int i = 0; i < fSubs->Count(); ++i) {
    auto* sub = static_cast<TVelaObject*>(fSubs->At(i));
    if (sub && sub->fOwner == this && !sub->fStatusFlags.Has(VS_Destroying)) sub->MarkDestroying();
  }
}

void TVelaObject::BeforeDestruction() {
  if (fStatusFlags.Has(VS_Destroying) && fDestructionPrepared) return;
  MarkDestroying();
  fDestructionPrepared = true;
  UnregisterNetId(this, FNetId, 0);
  if (!fOwner && !Temporary()) Notify(SOM_ToBeDeleted, this, reinterpret_cast<intptr_t>(this));
}

TVelaObject::~TVelaObject() {
  // An object deleted without FreeObj still gets its destruction prologue
  // (without the descendants' overrides, which are gone by now).
  if (!fDestructionPrepared) TVelaObject::BeforeDestruction();
  delete fSubs;
  fSubs = nullptr;
  delete OldSubs;
  OldSubs = nullptr;
}

void TVelaObject::CreateStdSubs() {
  if (!fSubs) fSubs = SNew<TSCollection>(16, 16);
}

void TVelaObject::CreateWordIdSubs() {
  if (!fSubs) fSubs = SNew<TWordIdColl>(16, 16);
}

void TVelaObject::DeleteMe() {
  if (fOwner)
    fOwner->SFree(this, true);
  else
    FreeObj(this);
}

void TVelaObject::SetTemporary(bool v) {
  if (v)
    fStatusFlags += VS_Temporary;
  else
    fStatusFlags -= VS_Temporary;
}

void TVelaObject::SetStatusFlags(TSD_FLAGS Value) {
  if (Value.Has(VS_SelfDirty))
    for (TVelaObject* o = fOwner; o; o = o->fOwner) o->fStatusFlags += VS_PChildrenStatusDirty;
  fStatusFlags = Value;
}

// ---------------------------------------------------------------------------
// Network operations: this system has no server, so they forward to the
// owner and take the local path at the root.

void TVelaObject::AssignNetId(TVelaObject* Obj) {
  if (fOwner) fOwner->AssignNetId(Obj);
}
void TVelaObject::RegisterNetId(TVelaObject* Obj, uint32_t Id) {
  if (fOwner) fOwner->RegisterNetId(Obj, Id);
}
void TVelaObject::UnregisterNetId(TVelaObject* Obj, uint32_t Id, int Flag) {
  if (fOwner && !fOwner->fStatusFlags.Has(VS_Destroying)) fOwner->UnregisterNetId(Obj, Id, Flag);
}
TVelaObject* TVelaObject::FindServerid(uint32_t Aid, int Auniverse) {
  if (fOwner) return fOwner->FindServerid(Aid, Auniverse);
  // The local answer: the object with net id Aid below this one.
  TVelaObject* found = nullptr;
  if (Aid == 0) return nullptr;
  ScanSubs([&](TVelaObject* o) { return o->FNetId == Aid ? (found = o, true) : false; },
           TSlSet{SLev_0, SLev_1, Slev_all}, true);
  return found;
}
bool TVelaObject::Sendtoserver(int Command, TVelaObject* Obj, int Index, const void* Data) {
  return fOwner ? fOwner->Sendtoserver(Command, Obj, Index, Data) : false;
}
TVelaObject* TVelaObject::OwnerNet1() { return fOwner ? fOwner->OwnerNet1() : nullptr; }
TKeaRole TVelaObject::NetRole() { return fOwner ? fOwner->NetRole() : er_offline; }
TVelaObject* TVelaObject::GetRefId(int RefKind, uint32_t RefId, bool IdAsIndex) {
  return fOwner ? fOwner->GetRefId(RefKind, RefId, IdAsIndex) : nullptr;
}

int TVelaObject::GetImageindex(bool Expanded) {
  auto& hook = FrameworkHooks().ImageIndex;
  return hook ? hook(this, Expanded) : -1;
}

// ---------------------------------------------------------------------------
// Notifications

void TVelaObject::Notify(uint32_t Msg, TVelaObject* Obj, intptr_t Second, int32_t Integer) {
  if (fStatusFlags.Has(VS_Creating)) return;
  auto& hook = FrameworkHooks().Notify;
  if (hook) hook(Msg, Obj, Second, Integer);
}

void TVelaObject::SetDataChanged(TSFieldKind FK, uint32_t FID, bool DoSetNotSaved) {
  if (fStatusFlags.Has(VS_Creating)) return;
  Notify(SOM_DataChanged, MySelf(), FK, static_cast<int32_t>(FID));
  AddDataFlags({S_SomethingDirty}, DoSetNotSaved);
}

void TVelaObject::SetDataChangedLocal(bool DoMessages, TSFieldKind, uint32_t) {
  if (fStatusFlags.Has(VS_Creating)) return;
  Notify(SOM_DataChanged, MySelf(), 0, 0);
  if (DoMessages) ProcessPendingMessages();
}

void TVelaObject::SetSubsChanged(bool LocalOnly, bool AsSubsChanged, bool Silent) {
  // The sub notice goes out even while creating; the hook still drops it
  // when no window listens.
  if (!Silent) {
    auto& hook = FrameworkHooks().Notify;
    if (hook) hook(SOM_SubsDirty, this, 0, 0);
  }
  if (!LocalOnly) AddDataFlags({AsSubsChanged ? S_SubsChanged : S_SubsSortDirty}, true);
}

void TVelaObject::AddDataFlags(TD_FLAGS AddFlag, bool DoSetNotSaved) {
  fDataFlags += AddFlag;
  if (fDataFlags.HasAny(kTransientDataFlags)) {
    if (DoSetNotSaved) fDataFlags += S_NotSaved;
    for (TVelaObject* o = fOwner; o; o = o->fOwner) o->fStatusFlags += VS_ChildrenDataDirty;
  }
}

void TVelaObject::SetStatusChangedLocal() { Notify(SOM_StatusChanged, this, 0); }

void TVelaObject::SetStatusChanged() {
  SetStatusChangedLocal();
  SetStatusFlags(StatusFlags() + VS_SelfDirty);
}

void TVelaObject::SetTobeDeleted() { Notify(SOM_ToBeDeleted, this, reinterpret_cast<intptr_t>(this)); }

void TVelaObject::SetInserted() { Notify(SOM_Inserted, this, reinterpret_cast<intptr_t>(fOwner)); }

void TVelaObject::SetSubDeleted(TVelaObject* aObject) {
  Notify(SOM_Deleted, this, reinterpret_cast<intptr_t>(aObject));
}

void TVelaObject::SetFieldChanged(TSFieldKind FK, uint32_t FID, bool Silent) {
  if (!Silent) SetDataChanged(FK, FID, true);
}

// ---------------------------------------------------------------------------
// Sub-object operations

TVelaObject* TVelaObject::SInsert(TVelaObject* Aobject, bool Domessage) {
  if (!Aobject || !fSubs || Sendtoserver(4101, Aobject, -1, nullptr)) return Aobject;
  CheckUniqueSubId(Aobject);
  int position = -1;
  bool usePosition = false;
  InsertPosition(position, Aobject, usePosition);  // consulted; SInsert keeps the collection's own place
  {
    TTreeLock lock;
    fSubs->Insert(Aobject);
  }
  Aobject->fOwner = this;
  fDataFlags += S_NotSaved;
  AfterInsert(Aobject);
  Sendtoserver(4100, Aobject, -1, nullptr);
  if (Domessage) Notify(SOM_Inserted, Aobject, reinterpret_cast<intptr_t>(fOwner));
  return Aobject;
}

TVelaObject* TVelaObject::SAtInsert(TVelaObject* Aobject, int Index, bool Domessage) {
  if (!Aobject) return nullptr;
  if (!fSubs) {
    AfterInsert(Aobject);
    return Aobject;
  }
  if (Index < 0 || Index > Subcount()) return nullptr;
  if (!Sendtoserver(4102, Aobject, Index, nullptr)) {
    CheckUniqueSubId(Aobject);
    bool usePosition = false;
    InsertPosition(Index, Aobject, usePosition);
    if (Index < 0 || Index > Subcount()) Index = Subcount();
    {
      TTreeLock lock;
      fSubs->AtInsert(Index, Aobject);
    }
    Aobject->fOwner = this;
    fDataFlags += S_NotSaved;
  }
  AfterInsert(Aobject);
  Sendtoserver(4100, Aobject, Index, nullptr);
  if (Domessage) Aobject->SetInserted();
  return Aobject;
}

TVelaObject* TVelaObject::SilentSimpleInsert(TVelaObject* aObject, int Index) {
  if (!aObject || !fSubs || fSubs->ScanIndexOf(aObject) >= 0) return aObject;
  CheckUniqueSubId(aObject);
  {
    TTreeLock lock;
    if (Index < 0)
      fSubs->Insert(aObject);
    else
      fSubs->AtInsert(Index, aObject);
  }
  aObject->fOwner = this;
  AfterInsert(aObject);
  return aObject;
}

TVelaObject* TVelaObject::SFree(TVelaObject* Aobject, bool Domessage) {
  if (!Aobject || !fSubs || fSubs->ScanIndexOf(Aobject) < 0) return nullptr;
  if (Sendtoserver(4104, Aobject, -1, nullptr)) return nullptr;
  BeforeSubRemove(Aobject);
  if (Domessage) Notify(SOM_ToBeDeleted, Aobject, reinterpret_cast<intptr_t>(Aobject));
  {
    TTreeLock lock;
    fSubs->Delete(Aobject);
  }
  PostDelete(Aobject);
  fDataFlags += S_NotSaved;
  Sendtoserver(4103, Aobject, -1, nullptr);
  FreeObj(Aobject);
  // The removed object no longer exists; its former address only identifies it.
  if (Domessage) Notify(SOM_Deleted, this, reinterpret_cast<intptr_t>(Aobject));
  return nullptr;
}

TVelaObject* TVelaObject::SFree(int Index, bool Domessage) { return SFree(Sub(Index), Domessage); }

void TVelaObject::SilentSimpleSFree(TVelaObject* aObject) {
  if (!aObject || !fSubs || fSubs->ScanIndexOf(aObject) < 0) return;
  BeforeSubRemove(aObject);
  {
    TTreeLock lock;
    fSubs->Delete(aObject);
  }
  PostDelete(aObject);
  FreeObj(aObject);
}

TVelaObject* TVelaObject::SDelete_(TVelaObject* Aobject, bool Domessage) {
  if (!Aobject || !fSubs || fSubs->ScanIndexOf(Aobject) < 0) return nullptr;
  if (Domessage) Notify(SOM_ToBeDeleted, Aobject, reinterpret_cast<intptr_t>(this));
  BeforeSubRemove(Aobject);
  {
    TTreeLock lock;
    fSubs->Delete(Aobject);
  }
  PostDelete(Aobject);
  Aobject->fOwner = nullptr;
  fDataFlags += S_NotSaved;
  if (Domessage) Notify(SOM_Deleted, MySelf(), reinterpret_cast<intptr_t>(this));
  return nullptr;
}

void TVelaObject::MoveSub(TVelaObject* aObject, bool IsMove, int Index, bool Internal) {
  if (!aObject) return;
  if (!Internal && Sendtoserver(IsMove ? 4106 : 4101, aObject, Index, nullptr)) return;
  TVelaObject* moving = nullptr;
  if (IsMove && aObject->fOwner) {
    TVelaObject* oldOwner = aObject->fOwner;
    if (!oldOwner->fSubs || oldOwner->fSubs->ScanIndexOf(aObject) < 0) return;
    aObject->Notify(SOM_ToBeDeleted, aObject, reinterpret_cast<intptr_t>(oldOwner));
    {
      TTreeLock lock;
      oldOwner->fSubs->Delete(aObject);
    }
    aObject->fOwner = nullptr;
    moving = aObject;
  } else {
    moving = aObject->SCopyTree();
    if (!moving) return;
  }
  if (Index < 0 || Index > Subcount() - 1) Index = -1;
  SilentSimpleInsert(moving, Index);
  AfterInsert(moving);
  moving->SetInserted();
  fDataFlags += S_NotSaved;
  if (!Internal) Sendtoserver(4105, moving, Index, nullptr);
}

void TVelaObject::ClearSubs() {
  if (!fSubs) return;
  {
    TTreeLock lock;
    fSubs->FreeAll();
  }
  if (fOwner) SetSubsChanged(false, true, false);
}

void TVelaObject::SetSubobjects(TSCollection* Value) {
  if (Value == fSubs) return;
  TSCollection* old = fSubs;
  if (old) {
    // A collection replaced earlier and not yet released goes now.
    ReleaseOldSubs();
    OldSubs = old;
  }
  fSubs = Value;
  SetSubOwner();
  if (old) SetSubsChanged(true, false, false);
}

void TVelaObject::ReleaseOldSubs() {
  if (!OldSubs) return;
  TSCollection* old = OldSubs;
  OldSubs = nullptr;
  for (int i = 0; i < old->Count(); ++i) {
    auto* sub = static_cast<TVelaObject*>(old->At(i));
    if (sub && sub->fOwner == this) sub->fOwner = nullptr;
  }
  FreeObj(old);
}

void TVelaObject::SetSubOwner() {
  if (fSubs) {
    for (int i = 0; i < fSubs->Count(); ++i) {
      auto* sub = static_cast<TVelaObject*>(fSubs->At(i));
      VelaAssert(sub != nullptr, QStringLiteral("Subobject=NIL in ") + ObjTypeHumanName(Objtype()), kUnit);
      sub->fOwner = this;
      if (sub->FNetId != 0) sub->RegisterNetId(sub, sub->FNetId);
    }
  }
  if (FNetId != 0) RegisterNetId(this, FNetId);
}

void TVelaObject::ExchangeObject(TVelaObject*& aObject, TVelaObject* New) {
  if (!New) return;
  TVelaObject* old = aObject;
  aObject = New;
  New->fOwner = this;
  if (old && old != New) {
    Notify(SOM_Exchanged, old, reinterpret_cast<intptr_t>(New));
    FreeObj(old);
  }
}

bool TVelaObject::DeleteOk(TVelaObject* S) { return SIndexof(S) >= 0 && RQ(RQ_DeleteDenied, S) == 0; }

void TVelaObject::CheckUniqueSubId(TVelaObject* aObject) {
  if (!aObject || RQ(RQ_UniqueSubsWordId, aObject) < 1) return;
  uint16_t candidate = aObject->WordId();
  if (candidate == 0) candidate = static_cast<uint16_t>(RQ(RQ_FirstSubId, aObject));
  const uint32_t type = aObject->Objtype();
  auto taken = [&](uint16_t id) {
    return ScanSubs(
        [&](TVelaObject* o) { return o != aObject && o->Objtype() == type && o->WordId() == id; },
        TSlSet{SLev_1, Slev_all}, true);
  };
  // 65536 tries at most: every id of the type being taken cannot loop forever.
  for (int tries = 0; tries < 65536 && taken(candidate); ++tries) candidate = static_cast<uint16_t>(candidate + 1);
  aObject->SetWordId(candidate);
}

TVelaObject* TVelaObject::EditAddSub(TMessageReceiver* UpdateHandle, int Position, int Kind) {
  if (!EditingEnabled() || RQ(RQ_InsertDenied) != 0) return nullptr;
  TVelaObject* obj = CreateStdSubObject(Kind);
  if (!obj) return nullptr;
  TVelaObject* inserted = nullptr;
  if (Position < 0 || (fSubs && fSubs->Sorted())) {
    int index = Position;
    bool usePosition = false;
    InsertPosition(index, obj, usePosition);
    inserted = usePosition ? SAtInsert(obj, index, true) : SInsert(obj, true);
  } else {
    inserted = SAtInsert(obj, Position, true);
  }
  if (!inserted || (fSubs && fSubs->ScanIndexOf(obj) < 0)) {
    // Not taken (bad position, duplicate key): nobody owns it.
    FreeObj(obj);
    return nullptr;
  }
  if (UpdateHandle) {
    ProcessPendingMessages();
    PostMessageTo(UpdateHandle, SOM_SelectNewObject, reinterpret_cast<intptr_t>(obj), 0);
  }
  return obj;
}

void TVelaObject::BeginUpdateSubs() {
  fStatusFlags += VS_UpdatingSubs;
  Notify(SOM_BeginUpdateSubs, this, 0);
}

void TVelaObject::EndUpdateSubs() {
  fStatusFlags -= VS_UpdatingSubs;
  Notify(SOM_EndUpdateSubs, this, 0);
}

TVelaObject* TVelaObject::CreateStdSubObject(int Index) {
  TClassArr classes;
  const int n = GetStdSubTypes(classes);
  if (Index < 0 || Index >= n || Index >= static_cast<int>(classes.size()) || !classes[Index] ||
      !classes[Index]->Create)
    return nullptr;
  TSobject* obj = classes[Index]->Create();
  if (obj && !obj->InheritsFrom(TVelaObject::StaticClass())) {
    FreeObj(obj);
    return nullptr;
  }
  return static_cast<TVelaObject*>(obj);
}

void TVelaObject::InsertPosition(int&, TVelaObject*, bool&) {}

int TVelaObject::GetStdSubTypes(TClassArr& ClassArr) {
  ClassArr.clear();
  return 0;
}

int TVelaObject::GetNumInsertClasses() {
  TClassArr classes;
  return GetStdSubTypes(classes);
}

QString TVelaObject::GetInsertSubName(int Index) {
  TClassArr classes;
  const int n = GetStdSubTypes(classes);
  if (Index < 0 || Index >= n || Index >= static_cast<int>(classes.size())) return QString();
  const QString name = ObjTypeHumanName(ObjTypeOfClass(classes[Index]));
  return name.isEmpty() ? QStringLiteral("Standard Subobject") : name;
}

int TVelaObject::GetValidContainedTypes(int, std::vector<uint32_t>& Arr, uint32_t) {
  Arr.clear();
  return 0;
}

// ---------------------------------------------------------------------------
// Naming

QString TVelaObject::GetName() {
  try {
    if (!fName.isEmpty()) return fName;
    if (Objtype() != 0) {
      if (!GetClassOfType(Objtype())) return QStringLiteral("??");
      const QString human = ObjTypeHumanName(Objtype());
      if (!human.isEmpty()) return human;
    }
    return '[' + ClassName() + ']';
  } catch (...) {
    return QStringLiteral("[Error]");
  }
}

void TVelaObject::SetName(const QString& Value) {
  if (Value == fName || RejectName(Value)) return;
  fName = Value;
  if (fStatusFlags.Has(VS_Creating)) return;
  SetFieldChanged(FK_Text, 0, true);
  Notify(SOM_NameChanged, this, 0);
  fDataFlags += TD_FLAGS{S_NameDirty, S_NotSaved};
}

QString TVelaObject::ParentPath(uint32_t TopClass) {
  QStringList parts;
  for (TVelaObject* o = this; o; o = o->fOwner) {
    parts.prepend(o->GetNodetext());
    if (o != this && o->Objtype() == TopClass) break;
  }
  return parts.join('\\');
}

QString TVelaObject::GetServerName() {
  TVelaObject* net = OwnerNet1();
  return net ? net->GetName() : QString();
}

QString TVelaObject::GetRefIdName(int RefKind, uint32_t RefId, bool IdAsIndex) {
  TVelaObject* ref = GetRefId(RefKind, RefId, IdAsIndex);
  if (!ref) return QStringLiteral("???");
  if (!ref->NameAssigned()) return '#' + QString::number(RefId);
  return ref->fName;
}

// ---------------------------------------------------------------------------
// Searching

TVelaObject* TVelaObject::TrackOwner() {
  void* ptr = nullptr;
  if (GetFieldPointer(FK_Special, 1104, ptr)) return static_cast<TVelaObject*>(ptr);
  return nullptr;
}

bool TVelaObject::HasOwner(const TVelaObject* Who) const {
  if (!Who) return false;
  for (const TVelaObject* o = this; o; o = o->fOwner)
    if (o == Who) return true;
  return false;
}

bool TVelaObject::HasOwnerType(int Atype) const {
  if (Atype < 0) return false;
  for (const TVelaObject* o = this; o; o = o->fOwner)
    if (o->Objtype() == static_cast<uint32_t>(Atype)) return true;
  return false;
}

bool TVelaObject::HasRealOwnerType(int Atype) const {
  if (Atype < 0) return false;
  const TVelaObject* child = nullptr;
  for (const TVelaObject* o = this; o; child = o, o = o->fOwner) {
    if (child && o->SIndexof(child) < 0) return false;
    if (o->Objtype() == static_cast<uint32_t>(Atype)) return true;
  }
  return false;
}

TVelaObject* TVelaObject::FindOwnerType(int Atype, int Levels) {
  int seen = 0;
  for (TVelaObject* o = this; o && seen < Levels; o = o->fOwner, ++seen)
    if (Atype >= 0 && o->Objtype() == static_cast<uint32_t>(Atype)) return o;
  return nullptr;
}

TVelaObject* TVelaObject::FindOwnerTypeInherit(uint32_t Atype) {
  TSobjectClass base = GetClassOfType(Atype);
  if (!base) return nullptr;
  for (TVelaObject* o = this; o; o = o->fOwner) {
    TSobjectClass cls = GetClassOfType(o->Objtype());
    if (cls && cls->InheritsFrom(base)) return o;
  }
  return nullptr;
}

TVelaObject* TVelaObject::FindSubType(uint32_t Atype, bool ScanAll) {
  if (ScanAll) {
    TVelaObject* found = nullptr;
    ScanSubs([&](TVelaObject* o) { return o->Objtype() == Atype ? (found = o, true) : false; },
             TSlSet{SLev_0, SLev_1, Slev_all}, true);
    return found;
  }
  for (int i = 0; i < Subcount(); ++i)
    if (TVelaObject* s = Sub(i); s && s->Objtype() == Atype) return s;
  return nullptr;
}

TVelaObject* TVelaObject::FindSubTypeInh(TSobjectClass aClass) {
  if (!aClass) return nullptr;
  for (int i = 0; i < Subcount(); ++i) {
    TVelaObject* s = Sub(i);
    if (!s) continue;
    TSobjectClass cls = GetClassOfType(s->Objtype());
    if (cls && cls->InheritsFrom(aClass)) return s;
  }
  return nullptr;
}

TVelaObject* TVelaObject::FindSubTypeInh(uint32_t AvlcObjType) { return FindSubTypeInh(GetClassOfType(AvlcObjType)); }

TVelaObject* TVelaObject::FindOwnerSub(int OwnerType, uint32_t SubType) {
  TVelaObject* owner = FindOwnerType(OwnerType, 65535);
  return owner ? owner->FindSubType(SubType) : nullptr;
}

TVelaObject* TVelaObject::FindOwnerSubId(int OwnerType, uint32_t SubType, uint16_t SubId) {
  TVelaObject* holder = FindOwnerSub(OwnerType, SubType);
  if (!holder) return nullptr;
  for (int i = 0; i < holder->Subcount(); ++i)
    if (TVelaObject* s = holder->Sub(i); s && s->WordId() == SubId) return s;
  return nullptr;
}

TVelaObject* TVelaObject::GetWordIdSub(uint16_t aWord) {
  if (!fSubs) return nullptr;
  if (fSubs->InheritsFrom(TSortedCollection::StaticClass())) {
    auto* sorted = static_cast<TSortedCollection*>(fSubs);
    uint16_t key = aWord;
    int index = 0;
    if (fSubs->InheritsFrom(TWordIdColl::StaticClass()))
      return sorted->Search(&key, index) ? Sub(index) : nullptr;
    return static_cast<TVelaObject*>(sorted->Find(&key));
  }
  for (int i = 0; i < Subcount(); ++i)
    if (TVelaObject* s = Sub(i); s && s->WordId() == aWord) return s;
  return nullptr;
}

int TVelaObject::SIndexof(const TVelaObject* S) const { return (fSubs && S) ? fSubs->IndexOf(S) : -1; }

int TVelaObject::OwnerIndex() const { return fOwner ? fOwner->SIndexof(this) : -1; }

bool TVelaObject::IsInherit(uint32_t aObjtype) const { return IsInherit(GetClassOfType(aObjtype)); }

bool TVelaObject::IsInherit(TSobjectClass aClass) const {
  TSobjectClass own = GetClassOfType(Objtype());
  return own && aClass && own->InheritsFrom(aClass);
}

bool TVelaObject::ScanSubs(const TScanProc& Proc, TSlSet Lev, bool find) {
  return PrivatScanSubs(nullptr, Proc, Lev, find) != nullptr;
}

TVelaObject* TVelaObject::PrivatScanSubs(void* ABP, const TScanProc& Proc, TSlSet Lev, bool find) {
  if (Lev.Has(SLev_0) && Proc(this) && find) return this;
  if (!fSubs || !(Lev.Has(SLev_1) || Lev.Has(Slev_all))) return nullptr;
  TSlSet subLev;
  if (Lev.Has(SLev_1)) subLev += SLev_0;
  if (Lev.Has(Slev_all)) subLev += TSlSet{SLev_1, Slev_all};
  for (int i = 0; i < fSubs->Count(); ++i) {
    auto* sub = static_cast<TVelaObject*>(fSubs->At(i));
    if (!sub) continue;
    TVelaObject* found = nullptr;
    try {
      found = sub->PrivatScanSubs(ABP, Proc, subLev, find);
    } catch (...) {
      found = nullptr;
    }
    if (find && found) return found;
  }
  return nullptr;
}

bool TVelaObject::NotSaved() {
  return ScanSubs([](TVelaObject* o) { return o->fDataFlags.Has(S_NotSaved); }, TSlSet{SLev_0, SLev_1, Slev_all},
                  true);
}

void TVelaObject::ResetNotSaved() {
  ScanSubs(
      [](TVelaObject* o) {
        o->fDataFlags -= TD_FLAGS{S_NotSaved, S_RootNotSaved};
        return false;
      },
      TSlSet{SLev_0, SLev_1, Slev_all}, false);
  SetDataChanged(FK_Undefined, 0, false);
}

TGuid TVelaObject::InstanceGuid() {
  for (TVelaObject* o = this; o; o = o->fOwner) {
    void* ptr = nullptr;
    if (o->GetFieldPointer(FK_Guid, 1101, ptr) && ptr) return *static_cast<TGuid*>(ptr);
  }
  return TGuid{};
}

TUniqueId TVelaObject::UniqueId() {
  TUniqueId id;
  id.ClassId = static_cast<uint16_t>(Objtype());
  return id;
}

TVelaObject* TVelaObject::GetObjByUniqueId(const TUniqueId& aId) {
  return GetRefId(aId.ClassId, static_cast<uint32_t>(aId.SubId) * 65536u + aId.ObjectId, false);
}

// ---------------------------------------------------------------------------
// Comparing

bool TVelaObject::EQ(TVelaObject* aObj, TEQOptions Opt) {
  if (!aObj || aObj->Objtype() != Objtype()) return false;
  if (Opt.Has(EQ_CheckName) && aObj->fName != fName) return false;
  if (Opt.Has(EQ_CheckSubs)) {
    if (Subcount() != aObj->Subcount()) return false;
    for (int i = 0; i < Subcount(); ++i) {
      TVelaObject* a = Sub(i);
      TVelaObject* b = aObj->Sub(i);
      if (!a || !b) {
        if (a != b) return false;
        continue;
      }
      if (!a->EQ(b, Opt)) return false;
    }
  }
  return true;
}

void TVelaObject::WriteAsc(QStringList& Lines, int Level) {
  for (int i = 0; i < Subcount(); ++i)
    if (TVelaObject* s = Sub(i)) s->WriteAsc(Lines, Level);
}

void TVelaObject::SetRefObject(TVelaObject*) {
  throw EVelaAssertion(ClassName() + QStringLiteral(".SetRefObject: abstract call"), kUnit);
}

// ---------------------------------------------------------------------------
// Commands

bool TVelaObject::DispatchCommand(uint32_t Command, uint32_t Data) {
  if (Command == 0xFFFF) return DispatchCommandLong(Data);
  auto& hook = FrameworkHooks().Command;
  return hook ? hook(this, Command, Data) : false;
}

bool TVelaObject::DispatchCommandLong(uint32_t Data) {
  auto& hook = FrameworkHooks().CommandLong;
  return hook ? hook(this, Data) : false;
}

void TVelaObject::ExecCommand(uint32_t, uint32_t) {}

void TVelaObject::Dispatch(TMessage& message) {
  const auto param = static_cast<uint32_t>(message.LParam);
  if (message.Msg == SOM_Command)
    ExecCommand(param >> 16, param & 0xFFFF);
  else if (message.Msg == SOM_CommandLong)
    ExecCommand(0xFFFF, param);
  else
    TSobject::Dispatch(message);
}

// ---------------------------------------------------------------------------
// TWordIdColl

VELA_CLASS_IMPL(TWordIdColl, TSortedCollection)

TWordIdColl::TWordIdColl(int ALimit, int ADelta) : TSortedCollection(ALimit, ADelta) {}

const void* TWordIdColl::KeyOf(const void* Item) const {
  auto* obj = static_cast<TVelaObject*>(const_cast<void*>(Item));
  return obj ? obj->DirectFieldPointer(FK_Word, 0) : nullptr;
}

int TWordIdColl::Compare(const void* Key1, const void* Key2) const {
  const uint16_t a = Key1 ? *static_cast<const uint16_t*>(Key1) : 0;
  const uint16_t b = Key2 ? *static_cast<const uint16_t*>(Key2) : 0;
  return a < b ? -1 : (a > b ? 1 : 0);
}

}  // namespace vela
