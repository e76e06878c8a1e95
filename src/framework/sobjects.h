#pragma once
// Bottom layer of the object framework: the root class with its numeric
// object type, class records, growable pointer collections (plain, sorted,
// sorted from outside) and the class registry.
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>

#include "platform/Messages.h"

namespace vela {

class TSobject;
class TSReader;
class TSWriter;
struct TObjectMessage;

// One record per class: its name, its parent's record and the two ways of
// making an instance (plain construction, and construction from a stream).
struct TSClassInfo {
  const char* Name;
  const TSClassInfo* Parent;
  TSobject* (*Create)();           // null for classes without a plain constructor
  TSobject* (*Load)(TSReader& r);  // null for classes that cannot be read from a stream
  bool InheritsFrom(const TSClassInfo* other) const;
  // Registry id cache (see ObjTypeOfClass).
  mutable uint32_t CachedObjtype = 0;
  mutable uint32_t CachedGeneration = 0;
};
using TSobjectClass = const TSClassInfo*;

// Frees an object the framework's way: BeforeDestruction, then delete.
void FreeObj(TSobject* obj);
struct TSFree {
  void operator()(TSobject* obj) const { FreeObj(obj); }
};
template <class T>
using TSOwned = std::unique_ptr<T, TSFree>;

// Makes an object with its plain constructor and finishes its construction
// (object type, InitObject, AfterSubsLoaded). Every framework object is made
// this way.
template <class T, class... Args>
T* SNew(Args&&... args) {
  T* obj = new T(std::forward<Args>(args)...);
  try {
    obj->AfterCreate();
  } catch (...) {
    FreeObj(obj);
    throw;
  }
  return obj;
}

// Makes an object of class T and reads it from the reader.
template <class T>
TSobject* SLoadNew(TSReader& reader);

template <class T>
TSobject* SCreateOf() {
  if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>)
    return SNew<T>();
  else
    return nullptr;
}

#define VELA_CLASS_COMMON(Cls)                                          \
 public:                                                                \
  static ::vela::TSobjectClass StaticClass();                           \
  ::vela::TSobjectClass ClassType() const override { return StaticClass(); }

// In a class body: declares the class record of Cls, a descendant of Base.
#define VELA_CLASS(Cls, Base) \
  VELA_CLASS_COMMON(Cls)      \
  using inherited = Base;     \
                              \
 public:

// In one source file: defines the class record of Cls.
#define VELA_CLASS_IMPL(Cls, Base)                                                                       \
  ::vela::TSobjectClass Cls::StaticClass() {                                                             \
    static const ::vela::TSClassInfo info{#Cls, Base::StaticClass(), &::vela::SCreateOf<Cls>,            \
                                          ::vela::LoadFactoryOf<Cls>()};                                 \
    return &info;                                                                                        \
  }

class TSobject : public TMessageReceiver {
 public:
  static TSobjectClass StaticClass();
  virtual TSobjectClass ClassType() const { return StaticClass(); }
  QString ClassName() const { return QString::fromLatin1(ClassType()->Name); }
  bool InheritsFrom(TSobjectClass cls) const { return ClassType()->InheritsFrom(cls); }

  TSobject() = default;
  ~TSobject() override;

  uint32_t Objtype() const { return FObjtype; }
  void ConvertToType(uint16_t aType) { FObjtype = aType; }

  virtual uint16_t GetVlcObjtype() const { return 0; }
  // The reading part of the loading constructor; the base reads nothing.
  virtual void Load(TSReader& reader);
  virtual void VLCLoad(TSReader& reader);
  virtual void VLCStore(TSWriter& writer);
  virtual void Store(TSWriter& writer);
  // A deep copy through a memory stream; null when the copy fails.
  virtual TSobject* SCopy();

  // Construction steps (see SNew and SLoadNew).
  virtual void AfterCreate();
  virtual void AfterLoadConstruction();
  // First step of freeing, while the whole object is still intact.
  virtual void BeforeDestruction() {}

  // Message dispatch: window-style messages and object message records.
  void Dispatch(TMessage& message) override;
  virtual void DispatchObject(TObjectMessage& message);

  // Takes the object type the registry gives the class (construction and loading).
  void SetObjtypeFromClass();

 private:
  uint32_t FObjtype = 0;
};

template <class T>
TSobject* SLoadNew(TSReader& reader) {
  std::unique_ptr<T, TSFree> obj(new T());
  obj->SetObjtypeFromClass();  // a loaded object is typed before it reads its data
  obj->Load(reader);
  obj->AfterLoadConstruction();
  return obj.release();
}

template <class T>
constexpr TSobject* (*LoadFactoryOf())(TSReader&) {
  if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>)
    return &SLoadNew<T>;
  else
    return nullptr;
}

using TForEachProc = std::function<void(void* item)>;
using TTestProc = std::function<bool(void* item)>;

class TSCollection : public TSobject {
  VELA_CLASS(TSCollection, TSobject)
  static constexpr int MaxCollectionSize = 0x7FFFFFF;

  explicit TSCollection(int ALimit = 16, int ADelta = 16);
  ~TSCollection() override;

  int Count() const { return FCount; }
  // Sets the number of items in use (slots beyond it are cleared when shrinking).
  void SetCount(int value);
  int Limit() const { return FLimit; }
  int Delta() const { return FDelta; }
  bool Sorted() const { return fsorted; }
  bool NotFreeAllOnDestroy() const { return FNotFreeAllOnDestroy; }
  void SetNotFreeAllOnDestroy(bool value) { FNotFreeAllOnDestroy = value; }

  void SetLimit(int ALimit);
  void* At(int Index) const;
  TSobject* AtObj(int Index) const { return static_cast<TSobject*>(At(Index)); }
  void AtPut(int Index, void* Item);
  void AtInsert(int Index, void* Item);
  void AtDelete(int Index);
  void AtFree(int Index);
  void InsertIfNot(void* Item);
  int ScanIndexOf(const void* Item) const;
  void Delete(void* Item);
  void Remove(void* Item);
  void DeleteAll() { FCount = 0; }
  void FreeAll();
  void Pack() {}
  void ForEach(const TForEachProc& Action) const;
  void* FirstThat(const TTestProc& Test) const;
  void* LastThat(const TTestProc& Test) const;

  virtual void FreeItem(void* Item);
  virtual void Error(int Code, int Info);
  virtual void* GetItem(TSReader& reader);
  virtual int IndexOf(const void* Item) const;
  virtual void Insert(void* Item);
  virtual void PutItem(TSWriter& writer, void* Item);

  void Load(TSReader& reader) override;
  void Store(TSWriter& writer) override;
  void VLCLoad(TSReader& reader) override;
  void VLCStore(TSWriter& writer) override;

 protected:
  void** FItems = nullptr;
  int FCount = 0;
  int FLimit = 0;
  int FDelta = 0;
  bool fsorted = false;
  bool FNotFreeAllOnDestroy = false;
};

class TSortedCollection : public TSCollection {
  VELA_CLASS(TSortedCollection, TSCollection)
  explicit TSortedCollection(int ALimit = 16, int ADelta = 16);

  bool Duplicates = false;
  bool INSERTBEHIND = false;

  virtual int Compare(const void* Key1, const void* Key2) const;
  virtual const void* KeyOf(const void* Item) const;
  virtual bool Search(const void* Key, int& Index) const;

  void Insert(void* Item) override;
  int IndexOf(const void* Item) const override;
  int IndexOfKey(const void* Key) const;
  void* Find(const void* Key) const;
  void ReSort();

  void Load(TSReader& reader) override;
  void Store(TSWriter& writer) override;
};

using TSortProc = std::function<int(const void* Key1, const void* Key2)>;
using TKeyOfProc = std::function<const void*(const void* Item)>;

class TTempSortedCollection : public TSortedCollection {
  VELA_CLASS(TTempSortedCollection, TSortedCollection)
  explicit TTempSortedCollection(int ALimit = 16, int ADelta = 16, TSortProc aSortProc = {});

  const TSortProc& SortProc() const { return fSortProc; }
  void SetSortProc(TSortProc proc) { fSortProc = std::move(proc); }
  const TKeyOfProc& KeyOfProc() const { return FKeyOfProc; }
  void SetKeyOfProc(TKeyOfProc proc) { FKeyOfProc = std::move(proc); }

  int Compare(const void* Key1, const void* Key2) const override;
  const void* KeyOf(const void* Item) const override;

  // Compares two 16-byte keys as four signed 32-bit words, in order.
  static int SortByGuidProc(const void* Key1, const void* Key2);

 private:
  TSortProc fSortProc;
  TKeyOfProc FKeyOfProc;
};

// ---------------------------------------------------------------------------
// Class registry

struct TSobjRegister {
  TSobjRegister(uint32_t aobjid, TSobjectClass aclassp, const QString& aHumanName)
      : objid(aobjid), Classp(aclassp), HumanName(aHumanName) {}
  uint32_t objid;
  TSobjectClass Classp;
  QString HumanName;
};

class TSobjcoll : public TSortedCollection {
  VELA_CLASS(TSobjcoll, TSortedCollection)
  TSobjcoll(int ALimit = 512, int ADelta = 64);

  const void* KeyOf(const void* Item) const override;
  int Compare(const void* Key1, const void* Key2) const override;
  void FreeItem(void* Item) override;

  void AddObjtype(uint32_t aobjid, TSobjectClass aclassp, const QString& MyClassName);
  TSobjectClass Getclass(uint32_t id) const;
  QString GetclassHumanName(uint32_t id) const;
  uint32_t GetObjid(TSobjectClass AClass) const;
  bool ClassIs(uint32_t AskClass, uint32_t InheritsfromClass) const;
  TSobjRegister* Entry(int index) const { return static_cast<TSobjRegister*>(At(index)); }
  // Grows with every registration; class records use it to refresh their cache.
  uint32_t Generation() const { return fGeneration; }

 private:
  uint32_t fGeneration = 1;
};

// The one registry; created on first use, before any class registers.
TSobjcoll* ObjectRegistry();
void RegisterObjType(uint32_t objid, TSobjectClass Class, const QString& HumanName = QString());
uint32_t ObjTypeOfClass(TSobjectClass AClass);
QString ObjTypeHumanName(uint32_t id);
TSobjectClass GetClassOfType(uint32_t id);
bool ClassIs(uint32_t AskClass, uint32_t InheritsfromClass);

// Registers the classes of this library (ids 1 to 5, 101, 103); idempotent.
void RegisterFrameworkTypes();

}  // namespace vela
