#include "framework/sobjects.h"

#include <cstring>

#include "framework/SConstants.h"

namespace vela {

bool TSClassInfo::InheritsFrom(const TSClassInfo* other) const {
  if (!other) return false;
  for (const TSClassInfo* c = this; c; c = c->Parent)
    if (c == other) return true;
  return false;
}

void FreeObj(TSobject* obj) {
  if (!obj) return;
  obj->BeforeDestruction();
  delete obj;
}

// ---------------------------------------------------------------------------
// TSobject

TSobjectClass TSobject::StaticClass() {
  static const TSClassInfo info{"TSobject", nullptr, &SCreateOf<TSobject>, LoadFactoryOf<TSobject>()};
  return &info;
}

TSobject::~TSobject() = default;

void TSobject::Load(TSReader&) {}
void TSobject::VLCLoad(TSReader&) {}
void TSobject::VLCStore(TSWriter&) {}
void TSobject::Store(TSWriter&) {}
void TSobject::AfterCreate() { SetObjtypeFromClass(); }
void TSobject::AfterLoadConstruction() {}
void TSobject::Dispatch(TMessage&) {}
void TSobject::DispatchObject(TObjectMessage&) {}
void TSobject::SetObjtypeFromClass() { FObjtype = ObjTypeOfClass(ClassType()); }

// ---------------------------------------------------------------------------
// TSCollection

VELA_CLASS_IMPL(TSCollection, TSobject)

TSCollection::TSCollection(int ALimit, int ADelta) : FDelta(ADelta) { SetLimit(ALimit); }

TSCollection::~TSCollection() {
  if (!FNotFreeAllOnDestroy) FreeAll();
  FCount = 0;
  SetLimit(0);
}

void TSCollection::SetCount(int value) {
  if (value < 0) value = 0;
  if (value > FLimit) SetLimit(value);
  for (int i = value; i < FCount; ++i) FItems[i] = nullptr;
  FCount = value;
}

void TSCollection::SetLimit(int ALimit) {
  if (ALimit < FCount) ALimit = FCount;
  if (ALimit > MaxCollectionSize) ALimit = MaxCollectionSize;
  if (ALimit == FLimit) return;
  void** items = nullptr;
  if (ALimit > 0) {
    items = new void*[ALimit]();
    if (FCount > 0) std::memcpy(items, FItems, sizeof(void*) * FCount);
  }
  delete[] FItems;
  FItems = items;
  FLimit = ALimit;
}

void* TSCollection::At(int Index) const {
  if (Index < 0 || Index >= FCount) {
    const_cast<TSCollection*>(this)->Error(-1, Index);
    return nullptr;
  }
  return FItems[Index];
}

void TSCollection::AtPut(int Index, void* Item) {
  if (Index < 0 || Index >= FCount) return Error(-1, Index);
  FItems[Index] = Item;
}

void TSCollection::AtInsert(int Index, void* Item) {
  if (Index < 0 || Index > FCount) return Error(-1, Index);
  if (FLimit == FCount) SetLimit(FLimit + FDelta);
  if (FLimit == FCount) return Error(-2, Index);  // cannot grow (Delta 0 or at the cap)
  if (Index < FCount) std::memmove(FItems + Index + 1, FItems + Index, sizeof(void*) * (FCount - Index));
  FItems[Index] = Item;
  ++FCount;
}

void TSCollection::AtDelete(int Index) {
  if (Index < 0 || Index >= FCount) return Error(-1, Index);
  --FCount;
  if (Index < FCount) std::memmove(FItems + Index, FItems + Index + 1, sizeof(void*) * (FCount - Index));
  FItems[FCount] = nullptr;
}

void TSCollection::AtFree(int Index) {
  if (Index < 0 || Index >= FCount) return Error(-1, Index);
  void* item = FItems[Index];
  AtDelete(Index);
  FreeItem(item);
}

void TSCollection::InsertIfNot(void* Item) {
  if (!Item || IndexOf(Item) >= 0) return;
  AtInsert(FCount, Item);
}

int TSCollection::ScanIndexOf(const void* Item) const {
  for (int i = 0; i < FCount; ++i)
    if (FItems[i] == Item) return i;
  return -1;
}

void TSCollection::Delete(void* Item) {
  const int i = ScanIndexOf(Item);
  if (i >= 0) AtDelete(i);
}

void TSCollection::Remove(void* Item) {
  Delete(Item);
  FreeItem(Item);
}

void TSCollection::FreeAll() {
  // Items are taken out one by one from the front so that an item's
  // destruction never sees a slot that points at freed memory.
  for (int i = 0; i < FCount; ++i) {
    void* item = FItems[i];
    FItems[i] = nullptr;
    FreeItem(item);
  }
  FCount = 0;
}

void TSCollection::ForEach(const TForEachProc& Action) const {
  const int n = FCount;
  for (int i = 0; i < n && i < FCount; ++i) Action(FItems[i]);
}

void* TSCollection::FirstThat(const TTestProc& Test) const {
  for (int i = 0; i < FCount; ++i)
    if (Test(FItems[i])) return FItems[i];
  return nullptr;
}

void* TSCollection::LastThat(const TTestProc& Test) const {
  for (int i = FCount - 1; i >= 0; --i)
    if (Test(FItems[i])) return FItems[i];
  return nullptr;
}

void TSCollection::FreeItem(void* Item) {
  if (Item) FreeObj(static_cast<TSobject*>(Item));
}

void TSCollection::Error(int, int) {}

int TSCollection::IndexOf(const void* Item) const { return ScanIndexOf(Item); }

void TSCollection::Insert(void* Item) { AtInsert(FCount, Item); }

// ---------------------------------------------------------------------------
// TSortedCollection

VELA_CLASS_IMPL(TSortedCollection, TSCollection)

TSortedCollection::TSortedCollection(int ALimit, int ADelta) : TSCollection(ALimit, ADelta) { fsorted = true; }

int TSortedCollection::Compare(const void* Key1, const void* Key2) const {
  const auto a = reinterpret_cast<uintptr_t>(Key1);
  const auto b = reinterpret_cast<uintptr_t>(Key2);
  return a < b ? -1 : (a > b ? 1 : 0);
}

const void* TSortedCollection::KeyOf(const void* Item) const { return Item; }

bool TSortedCollection::Search(const void* Key, int& Index) const {
  if (!Key) return false;
  bool found = false;
  int lo = 0;
  int hi = FCount - 1;
  while (lo <= hi) {
    const int mid = static_cast<int>((static_cast<unsigned>(lo) + static_cast<unsigned>(hi)) >> 1);
    const int c = Compare(KeyOf(FItems[mid]), Key);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (!Duplicates) lo = mid;
      }
    }
  }
  Index = lo;
  return found;
}

void TSortedCollection::Insert(void* Item) {
  int index = 0;
  const void* key = KeyOf(Item);
  const bool found = Search(key, index);
  if (!key) index = FCount;  // a null key cannot be searched; it goes to the end
  if (found && !Duplicates) return;
  if (found && INSERTBEHIND)
    while (index < FCount && Compare(KeyOf(FItems[index]), key) == 0) ++index;
  AtInsert(index, Item);
}

int TSortedCollection::IndexOf(const void* Item) const {
  if (!Item) return -1;
  int index = 0;
  if (!Search(KeyOf(Item), index)) return -1;
  if (Duplicates) {
    while (index < FCount && FItems[index] != Item) ++index;
    if (index >= FCount) return -1;
  }
  return index;
}

int TSortedCollection::IndexOfKey(const void* Key) const {
  int index = 0;
  Search(Key, index);
  return index;
}

void* TSortedCollection::Find(const void* Key) const {
  int index = 0;
  return Search(Key, index) ? FItems[index] : nullptr;
}

void TSortedCollection::ReSort() {
  std::unique_ptr<void*[]> items(new void*[FCount > 0 ? FCount : 1]);
  const int n = FCount;
  if (n > 0) std::memcpy(items.get(), FItems, sizeof(void*) * n);
  SetCount(0);
  for (int i = 0; i < n; ++i) Insert(items[i]);
}

// ---------------------------------------------------------------------------
// TTempSortedCollection

VELA_CLASS_IMPL(TTempSortedCollection, TSortedCollection)

TTempSortedCollection::TTempSortedCollection(int ALimit, int ADelta, TSortProc aSortProc)
    : TSortedCollection(ALimit, ADelta), fSortProc(std::move(aSortProc)) {}

int TTempSortedCollection::Compare(const void* Key1, const void* Key2) const {
  return fSortProc ? fSortProc(Key1, Key2) : TSortedCollection::Compare(Key1, Key2);
}

const void* TTempSortedCollection::KeyOf(const void* Item) const {
  return FKeyOfProc ? FKeyOfProc(Item) : Item;
}

int TTempSortedCollection::SortByGuidProc(const void* Key1, const void* Key2) {
  for (int i = 0; i < 4; ++i) {
    int32_t a = 0;
    int32_t b = 0;
    std::memcpy(&a, static_cast<const char*>(Key1) + 4 * i, 4);
    std::memcpy(&b, static_cast<const char*>(Key2) + 4 * i, 4);
    if (a != b) return a < b ? -1 : 1;
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Registry

VELA_CLASS_IMPL(TSobjcoll, TSortedCollection)

TSobjcoll::TSobjcoll(int ALimit, int ADelta) : TSortedCollection(ALimit, ADelta) {}

const void* TSobjcoll::KeyOf(const void* Item) const {
  // The id itself travels as the key; id 0 has no entry, so a key is never null.
  return reinterpret_cast<const void*>(static_cast<uintptr_t>(static_cast<const TSobjRegister*>(Item)->objid));
}

int TSobjcoll::Compare(const void* Key1, const void* Key2) const {
  const auto a = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(Key1));
  const auto b = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(Key2));
  return a < b ? -1 : (a > b ? 1 : 0);
}

void TSobjcoll::FreeItem(void* Item) { delete static_cast<TSobjRegister*>(Item); }

void TSobjcoll::AddObjtype(uint32_t aobjid, TSobjectClass aclassp, const QString& MyClassName) {
  auto* entry = new TSobjRegister(aobjid, aclassp, MyClassName);
  int index = 0;
  if (aobjid == 0 || Search(KeyOf(entry), index)) {
    delete entry;
    return;
  }
  AtInsert(index, entry);
  ++fGeneration;
}

TSobjectClass TSobjcoll::Getclass(uint32_t id) const {
  auto* e = static_cast<TSobjRegister*>(Find(reinterpret_cast<const void*>(static_cast<uintptr_t>(id))));
  return e ? e->Classp : nullptr;
}

QString TSobjcoll::GetclassHumanName(uint32_t id) const {
  auto* e = static_cast<TSobjRegister*>(Find(reinterpret_cast<const void*>(static_cast<uintptr_t>(id))));
  return e ? e->HumanName : QStringLiteral("??");
}

uint32_t TSobjcoll::GetObjid(TSobjectClass AClass) const {
  for (int i = 0; i < FCount; ++i)
    if (Entry(i)->Classp == AClass) return Entry(i)->objid;
  return 0;
}

bool TSobjcoll::ClassIs(uint32_t AskClass, uint32_t InheritsfromClass) const {
  TSobjectClass ask = Getclass(AskClass);
  TSobjectClass base = Getclass(InheritsfromClass);
  return ask && base && ask->InheritsFrom(base);
}

TSobjcoll* ObjectRegistry() {
  static TSobjcoll* registry = new TSobjcoll(512, 64);  // lives until the program ends
  return registry;
}

void RegisterObjType(uint32_t objid, TSobjectClass Class, const QString& HumanName) {
  ObjectRegistry()->AddObjtype(objid, Class, HumanName);
}

uint32_t ObjTypeOfClass(TSobjectClass AClass) {
  if (!AClass) return 0;
  TSobjcoll* reg = ObjectRegistry();
  if (AClass->CachedGeneration != reg->Generation()) {
    AClass->CachedObjtype = reg->GetObjid(AClass);
    AClass->CachedGeneration = reg->Generation();
  }
  return AClass->CachedObjtype;
}

QString ObjTypeHumanName(uint32_t id) { return ObjectRegistry()->GetclassHumanName(id); }
TSobjectClass GetClassOfType(uint32_t id) { return ObjectRegistry()->Getclass(id); }
bool ClassIs(uint32_t AskClass, uint32_t InheritsfromClass) {
  return ObjectRegistry()->ClassIs(AskClass, InheritsfromClass);
}

}  // namespace vela
