#pragma once
// Where a block's levels come from: references to source blocks
// (TDeviceRef), collected in the block's sources object (TAcnDevs), which
// merges them by priority.
#include <QString>
#include <cstdint>
#include <span>

#include "devices/DMX.h"
#include "devices/ObjRef.h"
#include "devices/VelanetObject.h"

namespace vela {

class TDmxBlock;

// Field ids of a reference.
enum : uint32_t {
  RF_Patch = 1,     // (FK_Word, 1): first channel in the receiving block, from 1
  RF_Size = 2,      // (FK_Word, 2): number of channels taken
  RF_Priority = 3,  // (FK_Word, 3)
  RF_Start = 4,     // (FK_Word, 4): first channel in the source, from 1
  RF_TimeOut = 1,   // (FK_TimeDate, 1): days; a source not seen for longer is skipped, 0 never
  RF_Node = 2,      // (FK_Text, 2): the source's server name
  RF_Source = 1,    // (FK_Special, 1): the source's name
};

class TDeviceRef : public TVelanetObject {
  VELA_CLASS(TDeviceRef, TVelanetObject)

  TDeviceRef() = default;

  // The source object (not owned; none once it is gone).
  TVelaObject* Reference() const { return ffReference.Get(); }
  // Points at Source and remembers its name, server name and type.
  void SetReference(TVelaObject* Source);
  // Points at Source, keeping the stored name and node.
  void Link(TVelaObject* Source) { ffReference.Set(Source); }
  // The source when it is a DMX block.
  TDmxBlock* SourceBlock() const;
  // The block whose sources hold this reference.
  TDmxBlock* OwnerBlock() const;

  uint16_t DMX() const { return FDMX; }
  void SetDMX(uint16_t Value) { FDMX = Value; }
  uint16_t Priority() const { return FPriority; }
  void SetPriority(uint16_t Value) { FPriority = Value; }
  uint16_t Size() const { return FSize; }
  void SetSize(uint16_t Value) { FSize = Value; }
  uint16_t Start() const { return FStart; }
  void SetStart(uint16_t Value) { FStart = Value; }
  TDateTime TimeOut() const { return FTimeOut; }
  void SetTimeOut(TDateTime Value) { FTimeOut = Value; }
  const QString& RefName() const { return fRefName; }
  void SetRefName(const QString& Value) { fRefName = Value; }
  const QString& Node() const { return fNode; }
  void SetNode(const QString& Value) { fNode = Value; }
  uint16_t RefObjType() const { return fRefObjType; }
  void SetRefObjType(uint16_t Value) { fRefObjType = Value; }
  bool RefersToBlock() const { return fRefObjType == kDmxBlockType; }

  // The source's name, or the stored name in parentheses.
  QString SourceText();
  // The source's name, or the stored name.
  QString SourceName();
  // The source's server name, or the stored node.
  QString SourceNode();

  bool GetFieldPointer(TSFieldKind FieldKind, uint32_t FieldId, void*& Ptr) override;
  QString FF(TSFieldKind AFkind, uint32_t AFid, int Param1 = 0, int Param2 = 0) override;
  QString GetNodetext() override;
  // A changed patch, range, priority or time-out is told to the owning block.
  void SetFieldValue(TSFieldKind FieldKind, uint32_t FieldId, const void* Data, bool AsIncrement) override;
  uint16_t DefaultPDef(TLParamDef& Arr, TParamsOpt& Opt) override;
  void Storedata(TSWriter& Writer) override;
  void Loaddata(TSReader& Reader) override;
  // A block dropped on a reference is added to the reference's sources.
  TVelaObject* Receivedrop(TVelaObject* Dropped, TVelaObject* DroppedAt, TSDropkinds DropKind,
                           TSDropMode DropMode) override;

 private:
  TObjRef<TVelaObject> ffReference;
  uint16_t FDMX = 1;
  QString fRefName;
  QString fNode;
  uint16_t fRefObjType = 0;
  uint16_t FPriority = 0;
  uint16_t FSize = kDmxChannels;
  uint16_t FStart = 1;
  TDateTime FTimeOut = 0;
};

class TAcnDevs : public TVelanetObject {
  VELA_CLASS(TAcnDevs, TVelanetObject)

  TAcnDevs();

  // The block these are the sources of.
  TDmxBlock* OwnerUniverse() const;
  int Count() const { return Subcount() > 0 ? Subcount() : 0; }
  // The reference at Index, or null (also for a sub of another class).
  TDeviceRef* Ref(int Index) const;
  TDeviceRef* Find(const TVelaObject* Source) const;
  TDeviceRef* FindByName(const QString& Name, const QString& Node) const;

  // Merges the live sources into Levels (the first 512 bytes, cleared by the
  // caller), priority per channel: a higher priority wins, an equal one
  // takes the higher level. With CheckOnly no levels are taken. Returns
  // whether any source was taken; LastChanged (when given) gets the last
  // taken source's change time.
  bool Update(std::span<uint8_t> Levels, bool CheckOnly, TDateTime* LastChanged = nullptr);

  int GetStdSubTypes(TClassArr& ClassArr) override;
  // Dropped blocks are added as references (DSD_AddRef).
  TVelaObject* Acceptdrop(TVelaObject* Fromobj, TSDropkind& Dropkind, TSDropMode DropMode,
                          Qt::KeyboardModifiers Shift = Qt::NoModifier) override;
  TVelaObject* Receivedrop(TVelaObject* Dropped, TVelaObject* DroppedAt, TSDropkinds DropKind,
                           TSDropMode DropMode) override;
};

}  // namespace vela
