#pragma once
// The object tree: TVelaObject, its owner and sub collection, naming,
// searching, change notifications, its field protocol and its stream and
// key-value storage forms.
//
// The implementation is split by role: velaobject.cpp (tree, naming,
// notifications), velaobject_fields.cpp (field access), velaobject_stream.cpp
// (stream forms), velaobject_xml.cpp (key-value storage form).
#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

#include "framework/DragMenuTypes.h"
#include "framework/SConstants.h"
#include "framework/VelaTypes.h"
#include "framework/sobjects.h"
#include "platform/Guid.h"

class QPainter;
class QObject;

namespace vela {

class TVelaStorage;
class TVelaMenuItem;  // ObjectMenus.h
class TMenuClick;     // ObjectMenus.h
class TVelaObject;

// A list of texts, each with an associated value (an id or an object).
struct TSelectionEntry {
  QString Text;
  intptr_t Value = 0;
};
using TSelectionList = std::vector<TSelectionEntry>;

using TScanProc = std::function<bool(TVelaObject* obj)>;
using TClassArr = std::vector<TSobjectClass>;

class TVelaObject : public TSobject {
  VELA_CLASS(TVelaObject, TSobject)

  TVelaObject();
  ~TVelaObject() override;

  // ---- construction steps
  void AfterCreate() override;
  void AfterLoadConstruction() override;
  void BeforeDestruction() override;
  virtual void InitObject() {}
  virtual void AfterSubsLoaded() {}
  virtual void BeforeConstruction();
  // Creates the sub collection unless one exists.
  void CreateStdSubs();
  void CreateWordIdSubs();
  // Frees the object through its owner (with notification) or directly.
  void DeleteMe();

  // ---- properties
  TVelaObject* SOwner() const { return fOwner; }
  void SetSOwner(TVelaObject* owner) { fOwner = owner; }
  TSD_FLAGS StatusFlags() const { return fStatusFlags; }
  virtual void SetStatusFlags(TSD_FLAGS Value);
  TD_FLAGS DataFlags() const { return fDataFlags; }
  void SetDataFlagsRaw(TD_FLAGS v) { fDataFlags = v; }
  TSCollection* Subobjects() const { return fSubs; }
  virtual void SetSubobjects(TSCollection* Value);
  void SetsubsSilent(TSCollection* Value) { fSubs = Value; }
  TSCollection* OldSubsCollection() const { return OldSubs; }
  // Releases OldSubs after the views saw SOM_SubsDirty.
  void ReleaseOldSubs();
  uint32_t NetId() const { return FNetId; }
  void SetNetId(uint32_t id) { FNetId = id; }
  QString Name() { return GetName(); }
  virtual void SetName(const QString& Value);
  QString NameIfName() const { return fName; }
  QString GetNameIfName() const { return fName; }
  bool NameAssigned() const { return !fName.isEmpty(); }
  QString NodeText() { return GetNodetext(); }
  int Subcount() const { return fSubs ? fSubs->Count() : -1; }
  TVelaObject* Sub(int Index) const { return fSubs ? static_cast<TVelaObject*>(fSubs->At(Index)) : nullptr; }
  int StateIndex1() { return GetStateindex(); }
  uint16_t WordId();
  void SetWordId(uint16_t value);
  bool Temporary() const { return fStatusFlags.Has(VS_Temporary); }
  void SetTemporary(bool v);
  bool UpdatingSubs() const { return fStatusFlags.Has(VS_UpdatingSubs); }
  TVelaObject* SRTL() { return GetSRtl(); }

  // ---- virtual operations
  virtual void AfterLoadNetStatus() {}
  virtual QString GetName();
  virtual bool GetFieldPointer(TSFieldKind FieldKind, uint32_t FieldId, void*& Ptr);
  virtual void AssignNetId(TVelaObject* Obj);
  virtual void RegisterNetId(TVelaObject* Obj, uint32_t Id);
  virtual void UnregisterNetId(TVelaObject* Obj, uint32_t Id, int Flag);
  virtual void LoadSubs(TSReader& Reader);
  virtual void StoreSubs(TSWriter& Writer);
  virtual int GetImageindex(bool Expanded);
  virtual int GetStateindex() { return -1; }
  virtual QString GetNodetext() { return GetName(); }
  virtual void SetFieldValue(TSFieldKind FieldKind, uint32_t FieldId, const void* Data, bool AsIncrement);
  virtual void ApplyFieldValue(TSFieldKind FieldKind, uint32_t FieldId, const void* Data);
  virtual int ReservedSlot() { return 0; }
  virtual TVelaObject* FindServerid(uint32_t Aid, int Auniverse);
  // Offers an operation (a stream command number) to a server; false means
  // the caller performs it locally.
  virtual bool Sendtoserver(int Command, TVelaObject* Obj, int Index, const void* Data);
  virtual TVelaObject* GetSRtl() { return nullptr; }
  virtual bool PaintImage(QPainter* Canvas, const QRect& Bounds, TSFieldKind AFkind, uint32_t AFid, int Index,
                          const void* Data);
  virtual TVelaObject* RefByFieldId(TSFieldKind aFk, uint32_t aFid, int Param);
  virtual int ImageIndexByFieldId(TSFieldKind aFk, uint32_t aFid, int Param);
  virtual TVelaObject* MySelf() { return this; }
  virtual void AddArrData(TLParamDef& Arr, int& Index, TSFieldKind aFK, uint32_t aID, const QString& aHead,
                          int aSizeX, TLpEditModes aLPEditMode, TStBits aDStat, TDtBits aDDStat,
                          TVelaObject* aPart);
  virtual TVelaObject* PrivatScanSubs(void* ABP, const TScanProc& Proc, TSlSet Lev, bool find);
  virtual void SetFieldChanged(TSFieldKind FK, uint32_t FID, bool Silent);
  virtual void SetStatusChanged();
  virtual double FNtime(uint32_t AFid, int Param1 = 0, int Param2 = 0);
  virtual QString FF(TSFieldKind AFkind, uint32_t AFid, int Param1 = 0, int Param2 = 0);
  virtual QString FFProps(const TLParam& Props, const TParamsOpt* Opt = nullptr);
  virtual int32_t FN(TSFieldKind AFkind, uint32_t AFid, int Param1 = 0, int Param2 = 0);
  virtual TVelaObject* OwnerNet1();
  virtual void StoreNetStatus(TSWriter& Writer);
  virtual void Storedata(TSWriter& Writer);
  virtual void Loaddata(TSReader& Reader);
  virtual void StoreContent(TSWriter& Writer);
  virtual void LoadContent(TSReader& Reader);
  virtual void StoreStatus(TSWriter&) {}
  virtual void LoadStatus(TSReader&) {}
  virtual uint16_t DefaultPDef(TLParamDef& Arr, TParamsOpt& Opt);
  virtual void AddPDef(int& n, TLParamDef& Arr, TParamsOpt& Opt);
  // Class-level: the caption of a field.
  virtual QString SFName(TSFieldKind AFkind, uint32_t AFid);
  virtual TVelaObject* GetRefId(int RefKind, uint32_t RefId, bool IdAsIndex);
  virtual TVelaObject* RefObject() { return this; }
  virtual TKeaRole NetRole();

  // ---- dynamically dispatched operations (virtual here)
  virtual bool ValidateField(bool ISINC, TSFieldKind& aFieldKind, uint32_t& aFieldId, const void* AVALUE);
  virtual QString FC(TSFieldKind AFkind, uint32_t AFid, int index, int32_t& DataId);
  virtual int32_t RQ(TRQ ARQ, TVelaObject* S = nullptr, int Param1 = 0, int Param2 = 0);
  virtual void _SetField(bool IsNetId, int Afield, const void* Data);
  virtual TSelectionList GetSelectionList(TSFieldKind AFkind, uint32_t AFid, TParamsOpt& Opt, int Param1 = 0,
                                          int Param2 = 0);
  virtual int SortCompare(TVelaObject* S, TSFieldKind AFkind, uint32_t AFid);
  virtual int GetStdSubTypes(TClassArr& ClassArr);
  virtual QString GetInsertSubName(int Index);
  virtual int GetValidContainedTypes(int TopLevelKind, std::vector<uint32_t>& Arr, uint32_t aFiedId);
  virtual void CheckUniqueSubId(TVelaObject* aObject);
  virtual void AfterInsert(TVelaObject*) {}
  virtual bool DeleteOk(TVelaObject* S);
  virtual void ClearSubs();
  virtual void BeginUpdateSubs();
  virtual void EndUpdateSubs();
  virtual bool EQ(TVelaObject* aObj, TEQOptions Opt);
  virtual TUniqueId UniqueId();
  virtual void Cleanup() {}
  virtual void DoExpand() {}
  virtual void SetImageLists() {}
  virtual void WriteAsc(QStringList& Lines, int Level);
  virtual void ReadAsc(const QStringList&, int&) {}
  virtual void AddListener(TVelaObject*) {}
  virtual void RemoveListener(TVelaObject*) {}
  virtual TVelaObject* TrackMe() { return nullptr; }
  virtual void SetRefObject(TVelaObject* Obj);
  virtual QString XmlPath();
  virtual void StoreDataToXml(TVelaStorage& Storage);
  virtual void LoadDataFromXml(TVelaStorage& Storage);
  virtual bool DispatchCommand(uint32_t Command, uint32_t Data);
  virtual bool DispatchCommandLong(uint32_t Data);
  virtual void ExecCommand(uint32_t Command, uint32_t Data);
  virtual bool PropsEditor(bool) { return false; }
  virtual QObject* ParamEditor(QObject* AOwner, const void* aClassType);
  virtual const void* ParamEditorClass();
  virtual QObject* DoEditorWindow(QObject* Caller);
  virtual bool RejectName(const QString&) { return false; }
  virtual TVelaObject* CreateStdSubObject(int Index);
  virtual bool CanIncField(TSFieldKind FieldKind, uint32_t FieldId = 0, int IncY = 0);
  virtual void InsertPosition(int& Index, TVelaObject* Obj, bool& UsePosition);
  virtual void BeforeSubRemove(TVelaObject*) {}
  virtual void PostDelete(TVelaObject*) {}

  // ---- drag and drop (Drag.cpp)
  // The object that accepts Fromobj, putting the drop kinds it offers into
  // Dropkind; the base asks up the owner chain, and the root declines.
  virtual TVelaObject* Acceptdrop(TVelaObject* Fromobj, TSDropkind& Dropkind, TSDropMode DropMode,
                                  Qt::KeyboardModifiers Shift = Qt::NoModifier);
  // Drops Dropped (an object or a TSDdragCollection) on DroppedAt; returns
  // the inserted object or null.
  virtual TVelaObject* Receivedrop(TVelaObject* Dropped, TVelaObject* DroppedAt, TSDropkinds DropKind,
                                   TSDropMode DropMode);

  // ---- object menus (ObjectMenus.cpp)
  // Adds this object's entries to Menu, then asks the owner (ParentLevel + 1).
  virtual void AddMenuItems(QObject* Caller, TPopMenuKind Kind, TVelaMenuItem* Menu, TSFieldKind AFkind,
                            uint32_t AFid, TVelaObject* Initiator, int ParentLevel, const TDropParams& DropParams,
                            TVelaObject* ParamObj);
  // The default click handler: carries out the generic commands of Sender.
  virtual void MenuCommand(TVelaMenuItem* Sender);
  // A new entry created by this object, owned by aOwner and appended to
  // MenuOwner when given; without a handler it gets MenuCommand.
  TVelaMenuItem* CreateMenuItem(QObject* Caller, QObject* aOwner, uint16_t aCommand, const QString& aCaption,
                                TVelaMenuItem* MenuOwner, TSobjectClass ParamClass);
  TVelaMenuItem* CreateMenuItem(QObject* Caller, QObject* aOwner, uint16_t aCommand, const QString& aCaption,
                                TVelaMenuItem* MenuOwner, TSobjectClass ParamClass, const TMenuClick& aOnClicked);
  // The object's title in menu captions.
  QString MenuTitle();

  // Handles SOM_Command / SOM_CommandLong addressed to this object.
  void Dispatch(TMessage& message) override;

  // ---- sub-object operations
  TVelaObject* SInsert(TVelaObject* Aobject, bool Domessage = true);
  TVelaObject* SAtInsert(TVelaObject* Aobject, int Index, bool Domessage = true);
  TVelaObject* SIlentInsert(TVelaObject* Aobject) { return SInsert(Aobject, false); }
  TVelaObject* SilentSimpleInsert(TVelaObject* aObject, int Index);
  TVelaObject* SFree(TVelaObject* Aobject, bool Domessage = true);
  TVelaObject* SFree(int Index, bool Domessage = true);
  void SilentSimpleSFree(TVelaObject* aObject);
  TVelaObject* SDelete_(TVelaObject* Aobject, bool Domessage = true);
  void MoveSub(TVelaObject* aObject, bool IsMove, int Index, bool Internal);
  void SetSubOwner();
  // Replaces aObject by New (owned by this object); the old one is freed.
  void ExchangeObject(TVelaObject*& aObject, TVelaObject* New);
  TVelaObject* EditAddSub(TMessageReceiver* UpdateHandle, int Position, int Kind);

  // ---- naming and paths
  QString ParentPath(uint32_t TopClass);
  QString GetServerName();
  QString GetRefIdName(int RefKind, uint32_t RefId, bool IdAsIndex);

  // ---- searching
  bool Hassubs() const { return fSubs != nullptr; }
  TVelaObject* TrackOwner();
  bool HasOwner(const TVelaObject* Who) const;
  bool HasOwnerType(int Atype) const;
  bool HasRealOwnerType(int Atype) const;
  TVelaObject* FindOwnerType(int Atype, int Levels = 65535);
  TVelaObject* FindOwnerTypeInherit(uint32_t Atype);
  TVelaObject* FindSubType(uint32_t Atype, bool ScanAll = false);
  TVelaObject* FindSubTypeInh(TSobjectClass aClass);
  TVelaObject* FindSubTypeInh(uint32_t AvlcObjType);
  TVelaObject* FindOwnerSub(int OwnerType, uint32_t SubType);
  TVelaObject* FindOwnerSubId(int OwnerType, uint32_t SubType, uint16_t SubId);
  TVelaObject* GetWordIdSub(uint16_t aWord);
  int SIndexof(const TVelaObject* S) const;
  int OwnerIndex() const;
  bool IsInherit(uint32_t aObjtype) const;
  bool IsInherit(TSobjectClass aClass) const;
  bool ScanSubs(const TScanProc& Proc, TSlSet Lev, bool find = false);
  bool NotSaved();
  void ResetNotSaved();
  TGuid InstanceGuid();
  TVelaObject* GetObjByUniqueId(const TUniqueId& aId);
  bool IsClient() { return NetRole() == er_client || NetRole() == er_backup; }
  bool IsBackup() { return NetRole() == er_backup; }
  bool IsServer() { return NetRole() == er_server; }
  bool InvalidClient() { return IsClient() && FNetId == 0; }

  // ---- copying
  // A deep copy with all subs (through the stream form); null on failure.
  TVelaObject* SCopyTree();
  // A copy whose sub collection is empty but of the same kind.
  TVelaObject* SCopyNoSubs();
  void CopyData(TVelaObject* From);

  // ---- change notifications and marking
  void Notify(uint32_t Msg, TVelaObject* Obj, intptr_t Second, int32_t Integer = 0);
  void SetDataChanged(TSFieldKind FK, uint32_t FID, bool DoSetNotSaved);
  void SetDataChangedLocal(bool DoMessages, TSFieldKind FK, uint32_t FID);
  void SetSubsChanged(bool LocalOnly, bool AsSubsChanged, bool Silent);
  void AddDataFlags(TD_FLAGS AddFlag, bool DoSetNotSaved);
  bool AnyChanged() const { return !fDataFlags.Empty(); }
  void SetStatusChangedLocal();
  void SetTobeDeleted();
  void SetInserted();
  void SetSubDeleted(TVelaObject* aObject);

  // ---- fields (generic access over GetFieldPointer)
  void* DirectFieldPointer(TSFieldKind aFieldKind, uint32_t aFieldid);
  double FNDate(uint32_t AFid, int Param1 = 0, int Param2 = 0);
  TVelaObject* FNObject(TSFieldKind AFkind, uint32_t AFid, int Param1 = 0, int Param2 = 0);
  bool DoSetField(bool Validate, TSFieldKind aFieldKind, uint32_t aFieldId, const void* Data, int Param1 = 0,
                  int Param2 = 0);
  bool DoSetField(bool Validate, TSFieldKind aFieldKind, uint32_t aFieldId);
  bool ToggleBool(bool Validate, uint32_t aFieldid);
  bool ToggleBit(bool Validate, TSFieldKind FieldKind, uint32_t aFieldid, int aBit);
  bool DoIncField(bool DoValidate, TSFieldKind aFieldKind, uint32_t aFieldId, int IncX, int IncY);
  void SetArrData(TLParamDef& Arr, int Index, TSFieldKind aFK, uint32_t aID, const QString& aHead, int aSizeX,
                  TLpEditModes aLPEditMode, TStBits aDStat, TDtBits aDDStat, TVelaObject* aPart);
  TSelectionList SubList(TSFieldKind aFieldKind, uint32_t aFieldId, bool DisplayId, bool AddEmpty, bool IncId,
                         bool SubAsObj);
  TSelectionList CreateSubList(int RefKind, uint32_t RefId, bool IdAsIndex, TSFieldKind aFieldKind,
                               uint32_t aFieldId, bool DisplayId, bool AddEmpty, bool IncId);
  int GetNumInsertClasses();
  QObject* PropsComponent(QObject*) { return nullptr; }

  // ---- stream form
  void Load(TSReader& reader) override;
  void Store(TSWriter& writer) override;
  TSobject* SCopy() override;

  // ---- key-value storage form
  void StoreToXml(TVelaStorage& Storage);
  void LoadFromXml(TVelaStorage& Storage, bool LoadSubs, bool Recursive);
  void LoadSubsFromXml(TVelaStorage& Storage, bool Recursive);

 protected:
  void MarkDestroying();

  TVelaObject* fOwner = nullptr;
  TSD_FLAGS fStatusFlags;
  TD_FLAGS fDataFlags;
  TSCollection* fSubs = nullptr;
  uint32_t FNetId = 0;
  QString fName;
  TSCollection* OldSubs = nullptr;
  bool fDestructionPrepared = false;
};

// Sub collection sorted by the subs' word ids.
class TWordIdColl : public TSortedCollection {
  VELA_CLASS(TWordIdColl, TSortedCollection)
  explicit TWordIdColl(int ALimit = 16, int ADelta = 16);
  const void* KeyOf(const void* Item) const override;
  int Compare(const void* Key1, const void* Key2) const override;
};

// Whether editing is enabled (true for the whole run of this program).
bool EditingEnabled();
void SetEditingEnabled(bool enabled);

// Makes an object of the class registered under id via XmlCreate; null when
// the id is not registered or the class has no plain constructor.
TVelaObject* XmlCreateOfType(uint32_t id);
// Set while XmlCreateOfType constructs an object.
bool& XmlCreatePending();

}  // namespace vela
