#pragma once
// A group of DMX blocks: the in area (data from the network, going to the
// device) or the out area (data from the device, going to the network) of a
// connection. Every area stands in one process-wide list from creation to
// destruction; references between blocks are linked by name through it.
#include <QString>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "devices/DMX.h"
#include "framework/velaobject.h"

namespace vela {

class TDmxBlock;

class TDmxArea : public TVelaObject {
  VELA_CLASS(TDmxArea, TVelaObject)

  TDmxArea();
  ~TDmxArea() override;

  // A new area of Count blocks under Owner (not one of Owner's subs).
  static TDmxArea* Create1(TVelaObject* Owner, TDmxAreaState State, int Count);

  // ---- blocks
  int Numblocks() const { return Subcount() > 0 ? Subcount() : 0; }
  // Adds blocks (made by OnCreateBlock, or plain ones that have sources in
  // an area from the network) or frees them from the end, then links names.
  void SetNumblocks(int Count);
  TDmxBlock* Block(int Index) const;
  // Appends Block (a new plain one when null); returns it.
  TDmxBlock* AddInblock1(TDmxBlock* Block);
  int NumInblocks() const { return AreaState().Has(St_DmxFromVelaNet) ? Numblocks() : 0; }
  int TotalChans() const;
  bool BlockEnabled(int Index) const;
  void SetBlockEnabled(int Index, bool Value);
  bool IsNetUniverseUsed(uint16_t Universe) const;

  // ---- levels across the blocks (channels from 1)
  uint8_t GetFlatLevel(int Channel) const;
  void SetFlatLevel(int Channel, uint8_t Level);
  // Fills the blocks in order from Buffer, starting at Start.
  void CopyFromFlatbuffer(int Start, std::span<const uint8_t> Buffer);
  void CopyToFlatbuffer(int Start, std::span<uint8_t> Buffer) const;
  // Buffer holds the channels from StartChannel on, in the space of the
  // blocks' NetUniverse; every enabled block takes its overlapping part.
  void DataToNetBlocks(int StartChannel, std::span<const uint8_t> Buffer);
  // Block i takes block i of Other, for the blocks both have.
  void ReadBlocks(const TDmxArea& Other);

  // ---- state
  // The highest active state of the blocks.
  TDmxActivestate BlocksState() const;
  // Sets every block's state; blocks set below Dmx_Active lose their levels.
  void SetBlocksState(TDmxActivestate Value);
  TDmxAreaState AreaState() const { return fAreaState; }
  void SetAreaState(TDmxAreaState Value) { fAreaState = Value; }
  bool IsOutput() const { return FIsOutput; }
  void SetIsOutput(bool Value);
  bool OutputRestricted() const { return FOutputRestricted; }
  void SetOutputRestricted(bool Value);
  bool Blind() const { return FBlind; }
  void SetBlind(bool Value);
  bool AcceptBlind() const { return FAcceptBlind; }
  void SetAcceptBlind(bool Value);
  bool HandleByOwner() const { return FHandleByOwner; }
  void SetHandleByOwner(bool Value) { FHandleByOwner = Value; }
  QString GetChannelHint() const { return QString(); }

  // ---- events
  std::function<void(TDmxArea* Sender)> OnSourceChanged;
  // The change event of every block (given to existing blocks too).
  const std::function<void(TDmxBlock*)>& OnBlockChanged() const { return FOnChanged; }
  void SetOnBlockChanged(std::function<void(TDmxBlock*)> Value);
  // Makes a new block for SetNumblocks.
  std::function<TDmxBlock*(TDmxArea* Sender)> OnCreateBlock;

  int32_t fOutBlocks = 0;
  int32_t FNumOutblocks = 0;
  int32_t LockCount = 0;
  int32_t DefaultOutEnabled = 0;
  bool InputNamesRead = false;

  // Re-links references by name: an area to the network points the
  // references that name its blocks at them; an area from the network
  // points its blocks' references at the blocks they name.
  void CheckRemoteNames1();
  // The block named Name of an area to the network whose server name is Node.
  static TDmxBlock* FindToNetBlock(const QString& Node, const QString& Name);

  // ---- overrides
  void Storedata(TSWriter& Writer) override;
  void Loaddata(TSReader& Reader) override;
  void Store(TSWriter& Writer) override;
  void Load(TSReader& Reader) override;
  void AfterSubsLoaded() override;
  // A connection holding the area forgets it.
  void BeforeDestruction() override;

 private:
  // Gives a block the area's flags, change event and name for position Index.
  void Adopt(TDmxBlock* Block, int Index);

  TDmxAreaState fAreaState;
  bool FHandleByOwner = false;
  bool FBlind = false;
  bool FAcceptBlind = false;
  bool FIsOutput = false;
  bool FOutputRestricted = false;
  std::function<void(TDmxBlock*)> FOnChanged;
};

// Every area alive, in order of creation.
const std::vector<TDmxArea*>& DmxAreas();
// The state of an area for icons: 0 without an area, else BlocksState + 1.
int DmxAreaIconState(const TDmxArea* Area);

}  // namespace vela
