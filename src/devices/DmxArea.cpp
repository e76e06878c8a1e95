#include "devices/DmxArea.h"

#include <algorithm>

#include "devices/Connection.h"
#include "devices/DmxBlock.h"
#include "devices/DmxSources.h"
#include "framework/sstreams.h"

namespace vela {

namespace {
std::vector<TDmxArea*>& Areas() {
  static std::vector<TDmxArea*> list;
  return list;
}

// Runs Action on every reference of every block of Area.
template <class F>
void ForEachRef(const TDmxArea& Area, F Action) {
  for (int i = 0; i < Area.Numblocks(); ++i) {
    TDmxBlock* block = Area.Block(i);
    TAcnDevs* sources = block ? block->ACNDevs() : nullptr;
    if (!sources) continue;
    for (int k = 0; k < sources->Count(); ++k)
      if (TDeviceRef* ref = sources->Ref(k)) Action(*ref);
  }
}
}  // namespace

const std::vector<TDmxArea*>& DmxAreas() { return Areas(); }

int DmxAreaIconState(const TDmxArea* Area) { return Area ? Area->BlocksState() + 1 : 0; }

VELA_CLASS_IMPL(TDmxArea, TVelaObject)

TDmxArea::TDmxArea() {
  CreateStdSubs();
  Areas().push_back(this);
}

TDmxArea::~TDmxArea() { std::erase(Areas(), this); }

void TDmxArea::BeforeDestruction() {
  TConnection::ReleaseArea(this);
  TVelaObject::BeforeDestruction();
}

TDmxArea* TDmxArea::Create1(TVelaObject* Owner, TDmxAreaState State, int Count) {
  auto* area = SNew<TDmxArea>();
  area->SetSOwner(Owner);
  area->fAreaState = State;
  area->SetNumblocks(Count);
  return area;
}

// ---------------------------------------------------------------------------
// Blocks

TDmxBlock* TDmxArea::Block(int Index) const {
  TVelaObject* sub = Sub(Index);
  return sub && sub->InheritsFrom(TDmxBlock::StaticClass()) ? static_cast<TDmxBlock*>(sub) : nullptr;
}

void TDmxArea::Adopt(TDmxBlock* Block, int Index) {
  // Quiet while it is not in the tree yet: no view knows the block.
  Block->SetStatusFlags(Block->StatusFlags() + VS_Creating);
  Block->SetOutputRestricted(FOutputRestricted);
  Block->SetBlockIsOutput(FIsOutput);
  Block->SetSourceUniverse(static_cast<uint16_t>(Index + 1));
  Block->OnChanged = FOnChanged;
  const QString prefix = SOwner() ? SOwner()->Name() + QStringLiteral(".DmxBlock.") : QStringLiteral("DmxBlock.");
  Block->SetName(prefix + QString::number(Index + 1));
  if (TAcnDevs* sources = Block->ACNDevs()) sources->SetName(Block->Name() + QStringLiteral(" DMX Sources"));
  Block->SetStatusFlags(Block->StatusFlags() - VS_Creating);
}

TDmxBlock* TDmxArea::AddInblock1(TDmxBlock* Block) {
  if (Block && SIndexof(Block) >= 0) return Block;
  if (!Block) {
    Block = SNew<TDmxBlock>();
    if (fAreaState.Has(St_DmxFromVelaNet)) Block->EnsureACNDevs();
  }
  Adopt(Block, Numblocks());
  SInsert(Block, false);
  SetDataChanged(FK_Undefined, 0, true);
  return Block;
}

void TDmxArea::SetNumblocks(int Count) {
  Count = std::max(Count, 0);
  while (Numblocks() < Count) {
    TDmxBlock* block = OnCreateBlock ? OnCreateBlock(this) : nullptr;
    if (block && SIndexof(block) >= 0) block = nullptr;
    if (!block) {
      block = SNew<TDmxBlock>();
      if (fAreaState.Has(St_DmxFromVelaNet)) block->EnsureACNDevs();
    }
    Adopt(block, Numblocks());
    SInsert(block, false);
  }
  while (Numblocks() > Count) SFree(Numblocks() - 1, true);
  CheckRemoteNames1();
}

int TDmxArea::TotalChans() const {
  int total = 0;
  for (int i = 0; i < Numblocks(); ++i)
    if (TDmxBlock* b = Block(i)) total += b->BlockSize();
  return total;
}

bool TDmxArea::BlockEnabled(int Index) const {
  TDmxBlock* b = Block(Index);
  return b && b->Enabled();
}

void TDmxArea::SetBlockEnabled(int Index, bool Value) {
  if (TDmxBlock* b = Block(Index)) b->SetEnabled(Value);
}

bool TDmxArea::IsNetUniverseUsed(uint16_t Universe) const {
  for (int i = 0; i < Numblocks(); ++i)
    if (TDmxBlock* b = Block(i); b && b->Enabled() && b->NetUniverse() == Universe) return true;
  return false;
}

// ---------------------------------------------------------------------------
// Levels across the blocks

uint8_t TDmxArea::GetFlatLevel(int Channel) const {
  if (Channel < 1) return 0;
  TDmxBlock* b = Block((Channel - 1) / kDmxChannels);
  return b ? b->GetLevel((Channel - 1) % kDmxChannels) : 0;
}

void TDmxArea::SetFlatLevel(int Channel, uint8_t Level) {
  if (Channel < 1) return;
  if (TDmxBlock* b = Block((Channel - 1) / kDmxChannels)) b->SetLevel((Channel - 1) % kDmxChannels, Level);
}

void TDmxArea::CopyFromFlatbuffer(int Start, std::span<const uint8_t> Buffer) {
  int index = Start;
  for (int i = 0; i < Numblocks() && index < static_cast<int>(Buffer.size()); ++i)
    if (TDmxBlock* b = Block(i)) b->CopyFromBuf(Buffer, index);
}

void TDmxArea::CopyToFlatbuffer(int Start, std::span<uint8_t> Buffer) const {
  int index = Start;
  for (int i = 0; i < Numblocks() && index < static_cast<int>(Buffer.size()); ++i)
    if (TDmxBlock* b = Block(i)) b->WriteToBuf1(Buffer, index);
}

void TDmxArea::DataToNetBlocks(int StartChannel, std::span<const uint8_t> Buffer) {
  if (Buffer.empty()) return;
  const int64_t first = StartChannel;
  const int64_t last = first + static_cast<int64_t>(Buffer.size()) - 1;
  for (int i = 0; i < Numblocks(); ++i) {
    TDmxBlock* b = Block(i);
    if (!b || !b->Enabled() || b->BlockSize() == 0) continue;
    const int64_t blockFirst = b->NetUniverse();
    const int64_t blockLast = blockFirst + b->BlockSize() - 1;
    const int64_t from = std::max(first, blockFirst);
    const int64_t to = std::min(last, blockLast);
    if (from > to) continue;
    b->CopyOffsFromBuf(Buffer.subspan(static_cast<size_t>(from - first), static_cast<size_t>(to - from + 1)),
                       static_cast<int>(from - blockFirst), true);
  }
}

void TDmxArea::ReadBlocks(const TDmxArea& Other) {
  const int count = std::max(Numblocks(), Other.Numblocks());
  for (int i = 0; i < count; ++i) {
    TDmxBlock* mine = Block(i);
    TDmxBlock* theirs = Other.Block(i);
    if (mine && theirs) mine->CopyFromBlock(*theirs);
  }
}

// ---------------------------------------------------------------------------
// State

TDmxActivestate TDmxArea::BlocksState() const {
  TDmxActivestate state = DMX_AllOff;
  for (int i = 0; i < Numblocks() && state < DmxUpdated; ++i)
    if (TDmxBlock* b = Block(i)) state = std::max(state, b->ActiveState());
  return state;
}

void TDmxArea::SetBlocksState(TDmxActivestate Value) {
  for (int i = 0; i < Numblocks(); ++i) {
    TDmxBlock* b = Block(i);
    if (!b) continue;
    b->SetActiveState(Value);
    if (Value < Dmx_Active) b->ClearLevels();
  }
}

void TDmxArea::SetIsOutput(bool Value) {
  FIsOutput = Value;
  for (int i = 0; i < Numblocks(); ++i)
    if (TDmxBlock* b = Block(i)) b->SetBlockIsOutput(Value);
}

void TDmxArea::SetOutputRestricted(bool Value) {
  FOutputRestricted = Value;
  for (int i = 0; i < Numblocks(); ++i)
    if (TDmxBlock* b = Block(i)) b->SetOutputRestricted(Value);
}

void TDmxArea::SetBlind(bool Value) {
  if (Value == FBlind) return;
  FBlind = Value;
  for (int i = 0; i < Numblocks(); ++i)
    if (TDmxBlock* b = Block(i)) b->SetUseBlind(Value);
}

void TDmxArea::SetAcceptBlind(bool Value) {
  if (Value == FAcceptBlind) return;
  FAcceptBlind = Value;
  for (int i = 0; i < Numblocks(); ++i)
    if (TDmxBlock* b = Block(i)) b->SetAcceptBlind(Value);
}

void TDmxArea::SetOnBlockChanged(std::function<void(TDmxBlock*)> Value) {
  FOnChanged = std::move(Value);
  for (int i = 0; i < Numblocks(); ++i)
    if (TDmxBlock* b = Block(i)) b->OnChanged = FOnChanged;
}

// ---------------------------------------------------------------------------
// Linking references by name

TDmxBlock* TDmxArea::FindToNetBlock(const QString& Node, const QString& Name) {
  for (TDmxArea* area : Areas()) {
    if (!area->fAreaState.Has(St_DmxToVelaNet) || area->GetServerName() != Node) continue;
    for (int i = 0; i < area->Numblocks(); ++i)
      if (TDmxBlock* b = area->Block(i); b && b->Name() == Name) return b;
  }
  return nullptr;
}

void TDmxArea::CheckRemoteNames1() {
  if (fAreaState.Has(St_DmxToVelaNet)) {
    const QString server = GetServerName();
    for (TDmxArea* from : Areas()) {
      if (!from->fAreaState.Has(St_DmxFromVelaNet)) continue;
      ForEachRef(*from, [&](TDeviceRef& ref) {
        if (ref.Node() != server) return;
        for (int i = 0; i < Numblocks(); ++i)
          if (TDmxBlock* b = Block(i); b && b->Name() == ref.RefName()) return ref.Link(b);
      });
    }
  }
  if (fAreaState.Has(St_DmxFromVelaNet)) {
    ForEachRef(*this, [](TDeviceRef& ref) {
      if (TDmxBlock* b = FindToNetBlock(ref.Node(), ref.RefName())) ref.Link(b);
    });
  }
}

// ---------------------------------------------------------------------------
// Stream form: the blind flags right after the type, the state and output
// flags after the name.

void TDmxArea::Storedata(TSWriter& Writer) {
  TVelaObject::Storedata(Writer);
  Writer.WriteByte(fAreaState.ToBits());
  Writer.WriteInteger(FNumOutblocks);
  Writer.WriteBool(FIsOutput);
  Writer.WriteBool(FOutputRestricted);
}

void TDmxArea::Loaddata(TSReader& Reader) {
  TVelaObject::Loaddata(Reader);
  fAreaState = TDmxAreaState::FromBits(Reader.ReadByte());
  Reader.ReadInteger();
  FIsOutput = Reader.ReadBool();
  FOutputRestricted = Reader.ReadBool();
}

void TDmxArea::Store(TSWriter& Writer) {
  Writer.WriteBool(FBlind);
  Writer.WriteBool(FAcceptBlind);
  TVelaObject::Store(Writer);
}

void TDmxArea::Load(TSReader& Reader) {
  FBlind = Reader.ReadBool();
  FAcceptBlind = Reader.ReadBool();
  TVelaObject::Load(Reader);
  // Everything here takes its subs for blocks.
  for (int i = 0; i < Subcount(); ++i)
    if (!Block(i)) throw EStreamReadError("DMX area holding an object that is not a block");
}

void TDmxArea::AfterSubsLoaded() {
  TVelaObject::AfterSubsLoaded();
  for (int i = 0; i < Numblocks(); ++i) {
    if (TDmxBlock* b = Block(i)) {
      b->SetUseBlind(FBlind);
      b->SetAcceptBlind(FAcceptBlind);
      b->OnChanged = FOnChanged;
    }
  }
  CheckRemoteNames1();
}

}  // namespace vela
