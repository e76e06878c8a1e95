#pragma once
// One DMX universe: 512 channel levels with the block's network address,
// enabled and active state, change times, blind levels, simulation and the
// sources it merges its levels from.
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "devices/DMX.h"
#include "devices/VelanetObject.h"

namespace vela {

class TAcnDevs;
class TConnection;
class TDeviceRef;
class TDmxArea;

// Field ids of a block.
enum : uint32_t {
  BF_NetGroup = 1,        // (FK_Word, 1)
  BF_NetUniverse = 2,     // (FK_Word, 2)
  BF_SourceUniverse = 3,  // (FK_Word, 3)
  BF_Enabled = 1,         // (FK_Bool, 1)
  BF_PortId = 1,          // (FK_Byte or FK_ByteKind, 1)
  BF_SourceKind = 2,      // (FK_ByteKind, 2)
  BF_Position = 0,        // (FK_Special, 0): the position in the area from 1
  BF_Source = 1,          // (FK_Special, 1) and (FK_Text, 1): the source path
  BF_ServerName = 2,      // (FK_Text, 2)
  BF_NamePath = 1101,     // (FK_Special, 1101)
};
// Block commands (ExecCommand).
enum : uint32_t { BC_NetRequest = 1001, BC_Validate = 1003, BC_ClearValidated = 1004 };

class TDmxBlock : public TVelanetObject {
  VELA_CLASS(TDmxBlock, TVelanetObject)

  TDmxBlock();
  ~TDmxBlock() override;

  // ---- levels (indexes from 0, channels from 1)
  uint8_t GetLevel(int Index) const;
  // Equal level: last seen now; different: stored, last changed now.
  void SetLevel(int Index, uint8_t Level);
  uint8_t GetLevelOffs1(int Channel) const;
  void SetLevelOffs1(int Channel, uint8_t Level);
  const TDmxOneBlock& Levels() const { return fBuffer; }
  uint8_t* BufPtr() { return fBuffer.data(); }
  // Takes up to 512 bytes of Buffer from Index (advancing it by what the
  // block takes) when enabled; equal bytes only mark the block seen.
  void CopyFromBuf(std::span<const uint8_t> Buffer, int& Index);
  // Copies Buffer into the levels from Start (0..512) when enabled; equal
  // bytes mark the block seen only with MarkSeen.
  void CopyOffsFromBuf(std::span<const uint8_t> Buffer, int Start, bool MarkSeen);
  // The low byte of each value, at most BlockSize of them, as CopyFromBuf.
  void CopyLongBuffer(std::span<const uint32_t> Values);
  // Writes the levels into Buffer at Index where they differ; true when
  // something was written. Index advances by BlockSize, or to the end of a
  // buffer too short for the whole block.
  bool WriteToBuf1(std::span<uint8_t> Buffer, int& Index) const;
  // Copies the levels from Offset into Buffer; returns how many.
  int WriteToExtBufOffset(std::span<uint8_t> Buffer, int Offset) const;
  // Takes the other block's levels (its blind levels when this block
  // accepts blind data and it has them) when enabled.
  void CopyFromBlock(const TDmxBlock& Other);
  // True when the levels differ from what was last sent, which is updated.
  bool LastNetBufferChanged();
  // Zeroes the levels; a change is told like any other.
  void ClearLevels();

  // ---- times
  TDateTime LastChanged() const { return FLastChanged; }
  // Also sets LastSeen, marks DT_2 dirty and tells OnChanged.
  void SetLastChanged(TDateTime Value);
  TDateTime LastSeen() const { return FLastSeen; }
  void SetLastSeen(TDateTime Value) { FLastSeen = Value; }
  TDateTime Validated() const { return fValidated; }
  void SetValidated();
  void ClearValidated() { fValidated = 0; }
  TDateTime LastExecuted() const { return FLastExecuted; }
  void SetLastExecuted(TDateTime Value) { FLastExecuted = Value; }
  TDateTime LastNetRequest = 0;
  TDateTime LastNetSent = 0;
  TDateTime LastLocalRequest = 0;
  TDateTime LastLocalSent = 0;
  TDateTime LastSimulateDispatch = 0;
  uint8_t ListenID = 0;

  // ---- state
  bool Enabled() const { return FEnabled; }
  // Enabling may be refused by OnEnabledChanged; disabling clears the levels,
  // the times and the simulation.
  void SetEnabled(bool Value);
  // Derived from ST_1 (active), ST_2 (updated) and ST_4 (all off).
  TDmxActivestate ActiveState() const;
  void SetActiveState(TDmxActivestate Value);
  // Status bit ST_3.
  bool OutputRestricted() const { return GetStatus(ST(3)); }
  void SetOutputRestricted(bool Value) { SetStatus(ST(3), Value); }
  // 4 disabled, 2 active, 3 updated, else 1.
  int GetStateindex() override;

  // ---- addressing and settings
  uint16_t NetGroup() const { return FNetGroup; }
  void SetNetGroup(uint16_t Value);
  uint16_t NetUniverse() const { return FNetUniverse; }
  void SetNetUniverse(uint16_t Value);
  uint16_t SourceUniverse() const { return FSourceUniverse; }
  void SetSourceUniverse(uint16_t Value) { FSourceUniverse = Value; }
  uint8_t PortId() const { return FPortId; }
  void SetPortId(uint8_t Value);
  uint8_t SourceKind() const { return FSourceKind; }
  // Values above DMXS_DmxPlayer store DMXS_Any.
  void SetSourceKind(uint8_t Value) { FSourceKind = Value > DMXS_DmxPlayer ? uint8_t{DMXS_Any} : Value; }
  // Number of channels, at most 512 (the level buffer's size).
  uint16_t BlockSize() const { return FBlockSize; }
  void SetBlockSize(uint16_t Value);
  bool BlockIsOutput() const { return fBlockIsOutput; }
  void SetBlockIsOutput(bool Value);
  bool UseDevices() const { return FUseDevices; }
  void SetUseDevices(bool Value) { FUseDevices = Value; }
  bool Simulate() const { return FSimulate; }
  void SetSimulate(bool Value) { FSimulate = Value; }
  bool AcceptBlind() const { return FAcceptBlind; }
  void SetAcceptBlind(bool Value) { FAcceptBlind = Value; }
  // The blind (preview) levels, BlockSize bytes, present while UseBlind.
  bool UseBlind() const { return fPBlindBuffer != nullptr; }
  void SetUseBlind(bool Value);
  uint8_t* PBlindBuffer() const { return fPBlindBuffer ? fPBlindBuffer->data() : nullptr; }
  // The last copy took blind data.
  bool IsBlind = false;

  // ---- events
  // Asked before enabling (IsTest true; false refuses) and told after a change (IsTest false).
  std::function<bool(TDmxBlock* Sender, bool IsTest)> OnEnabledChanged;
  // Asked before the net group (IsGroup) or universe changes; false refuses.
  std::function<bool(TDmxBlock* Sender, bool IsGroup)> OnNetUniverseChanged;
  // Told after the levels changed.
  std::function<void(TDmxBlock* Sender)> OnChanged;

  // ---- place in the tree
  TDmxArea* Area() const;
  // The owning area takes data from the network.
  bool IsInput() const;
  // The area's owner; a block without one is a programming error.
  TConnection* BConnection() const;
  bool AcceptSource(TDmxBlock* Other) const;
  // The server name, "\" and the name.
  QString Namepath();
  // The source path of the in-area block at this block's position.
  QString InputNamepath();

  // ---- sources
  TAcnDevs* ACNDevs() const { return FACNDevs; }
  // Creates the sources object when missing.
  TAcnDevs* EnsureACNDevs();
  int NumSources() const;
  QString SourceName();
  QString SourcePath();
  TDeviceRef* AddDevRef(TVelaObject* Source);
  void RemoveDevRef(TVelaObject* Source);
  void ClearSources();
  TDeviceRef* GetDevRef(TVelaObject* Source) const;
  // "node\name", or a name alone; adds a reference unless one with that
  // name and node exists, then links the names.
  TDeviceRef* AddSourceByPath(const QString& Path);
  // The source block when there is exactly one reference and it names a block.
  TDmxBlock* SingleSource() const;
  // Merges the sources into the levels.
  void UpdateDevs();
  // A reference changed its patch, range, priority or time-out.
  void SourceChanged();

  // ---- simulation: a moving ramp, one step per call
  void DoSimulate1(TDateTime Now);

  // ---- overrides
  bool GetFieldPointer(TSFieldKind FieldKind, uint32_t FieldId, void*& Ptr) override;
  QString FF(TSFieldKind AFkind, uint32_t AFid, int Param1 = 0, int Param2 = 0) override;
  QString FC(TSFieldKind AFkind, uint32_t AFid, int index, int32_t& DataId) override;
  void SetFieldValue(TSFieldKind FieldKind, uint32_t FieldId, const void* Data, bool AsIncrement) override;
  uint16_t DefaultPDef(TLParamDef& Arr, TParamsOpt& Opt) override;
  // (FK_Graphic, 0): the levels as a bar graph.
  bool PaintImage(QPainter* Canvas, const QRect& Bounds, TSFieldKind AFkind, uint32_t AFid, int Index,
                  const void* Data) override;
  void ExecCommand(uint32_t Command, uint32_t Data) override;
  void Dispatch(TMessage& Message) override;
  void Storedata(TSWriter& Writer) override;
  void Loaddata(TSReader& Reader) override;
  void Store(TSWriter& Writer) override;
  void Load(TSReader& Reader) override;
  // On a click or in the local menu: "Show Block content".
  void AddMenuItems(QObject* Caller, TPopMenuKind Kind, TVelaMenuItem* Menu, TSFieldKind AFkind, uint32_t AFid,
                    TVelaObject* Initiator, int ParentLevel, const TDropParams& DropParams,
                    TVelaObject* ParamObj) override;
  void ShowContentClick(TVelaMenuItem* Sender);
  // A block takes another block as a reference (DSD_Reference) when exactly
  // one of the two is an input block; the input block then takes the other
  // one's name path as its source.
  TVelaObject* Acceptdrop(TVelaObject* Fromobj, TSDropkind& Dropkind, TSDropMode DropMode,
                          Qt::KeyboardModifiers Shift = Qt::NoModifier) override;
  TVelaObject* Receivedrop(TVelaObject* Dropped, TVelaObject* DroppedAt, TSDropkinds DropKind,
                           TSDropMode DropMode) override;

  // Paints the bar graph of Levels (at most 512 columns) into Bounds.
  static void PaintLevels(QPainter& Canvas, const QRect& Bounds, std::span<const uint8_t> Levels);

 private:
  void SetACNDevs(TAcnDevs* Value);
  // Copies Length bytes into the levels at Start; equal bytes mark the
  // block seen when MarkSeen.
  void TakeLevels(const uint8_t* Source, int Start, int Length, bool MarkSeen);

  TAcnDevs* FACNDevs = nullptr;
  uint16_t FNetUniverse = 0;
  uint16_t FNetGroup = 0;
  uint16_t FSourceUniverse = 0;
  TDmxOneBlock fBuffer{};
  std::unique_ptr<TDmxOneBlock> fPBlindBuffer;
  TDateTime FLastChanged = 0;
  TDateTime FLastSeen = 0;
  bool FEnabled = false;
  bool FSimulate = false;
  bool FsimulateStarted = false;
  bool FAcceptBlind = false;
  uint16_t FBlockSize = kDmxChannels;
  bool fBlockIsOutput = false;
  TDateTime fValidated = 0;
  bool FUseDevices = false;
  uint8_t FPortId = 0;
  uint8_t FSourceKind = DMXS_Any;
  TDateTime FLastExecuted = 0;
  TDmxOneBlock LastNetBuffer{};
};

}  // namespace vela
