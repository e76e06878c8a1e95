#include "devices/DmxBlock.h"

#include <QColor>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "devices/Connection.h"
#include "devices/DeviceClock.h"
#include "devices/DmxArea.h"
#include "devices/DmxSources.h"
#include "framework/sstreams.h"
#include "platform/Assertion.h"
#include "platform/Endian.h"

namespace vela {

namespace {
const QString kUnit = QStringLiteral("Velanet/DMX");

uint16_t Word(const void* Data) {
  uint16_t v = 0;
  std::memcpy(&v, Data, sizeof v);
  return v;
}
}  // namespace

QString SourceKindText(int Kind) {
  switch (Kind) {
    case DMXS_Any: return QStringLiteral("Any");
    case DMXS_Lightboard: return QStringLiteral("Lightboard");
    case DMXS_DmxPlayer: return QStringLiteral("DMX Recorder");
    default: return QStringLiteral("??");
  }
}

VELA_CLASS_IMPL(TDmxBlock, TVelanetObject)

// A block starts disabled, which reads as all off.
TDmxBlock::TDmxBlock() { fStatus = TStBits{ST(4)}; }

TDmxBlock::~TDmxBlock() { FreeObj(FACNDevs); }

// ---------------------------------------------------------------------------
// Levels

uint8_t TDmxBlock::GetLevel(int Index) const { return (Index >= 0 && Index < FBlockSize) ? fBuffer[Index] : 0; }

void TDmxBlock::SetLevel(int Index, uint8_t Level) {
  if (Index < 0 || Index >= FBlockSize) return;
  if (fBuffer[Index] == Level) {
    FLastSeen = DeviceNow();
    return;
  }
  fBuffer[Index] = Level;
  SetLastChanged(DeviceNow());
}

uint8_t TDmxBlock::GetLevelOffs1(int Channel) const { return Channel >= 1 ? GetLevel(Channel - 1) : 0; }

void TDmxBlock::SetLevelOffs1(int Channel, uint8_t Level) {
  if (Channel >= 1) SetLevel(Channel - 1, Level);
}

void TDmxBlock::TakeLevels(const uint8_t* Source, int Start, int Length, bool MarkSeen) {
  if (std::memcmp(fBuffer.data() + Start, Source, static_cast<size_t>(Length)) == 0) {
    if (MarkSeen) FLastSeen = DeviceNow();
    return;
  }
  std::memcpy(fBuffer.data() + Start, Source, static_cast<size_t>(Length));
  SetLastChanged(DeviceNow());
}

void TDmxBlock::CopyFromBuf(std::span<const uint8_t> Buffer, int& Index) {
  if (Index < 0) return;
  const int length = static_cast<int>(std::min<qsizetype>(kDmxChannels, static_cast<qsizetype>(Buffer.size()) - Index));
  if (length <= 0) return;
  if (FEnabled) TakeLevels(Buffer.data() + Index, 0, length, true);
  // A disabled block still passes over its share, so the blocks after it
  // take their own part of a flat buffer.
  Index += length;
}

void TDmxBlock::CopyOffsFromBuf(std::span<const uint8_t> Buffer, int Start, bool MarkSeen) {
  if (!FEnabled || Start < 0 || Start > kDmxChannels) return;
  int length = static_cast<int>(std::min<size_t>(Buffer.size(), kDmxChannels));
  if (Start + length >= kDmxChannels) length = kDmxChannels - Start;
  if (length <= 0) return;
  TakeLevels(Buffer.data(), Start, length, MarkSeen);
}

void TDmxBlock::CopyLongBuffer(std::span<const uint32_t> Values) {
  const size_t count = std::min<size_t>(Values.size(), FBlockSize);
  TDmxOneBlock bytes{};
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(Values[i]);
  int index = 0;
  CopyFromBuf(std::span<const uint8_t>(bytes.data(), count), index);
}

bool TDmxBlock::WriteToBuf1(std::span<uint8_t> Buffer, int& Index) const {
  if (Index < 0) return false;
  const qsizetype room = static_cast<qsizetype>(Buffer.size()) - Index;
  if (room <= 0) {
    Index += FBlockSize;
    return false;
  }
  const int length = room >= kDmxChannels ? kDmxChannels : static_cast<int>(room);
  uint8_t* target = Buffer.data() + Index;
  const bool differs = std::memcmp(target, fBuffer.data(), static_cast<size_t>(length)) != 0;
  if (differs) std::memcpy(target, fBuffer.data(), static_cast<size_t>(length));
  if (room >= kDmxChannels)
    Index += FBlockSize;
  else
    Index = static_cast<int>(Buffer.size());
  return differs;
}

int TDmxBlock::WriteToExtBufOffset(std::span<uint8_t> Buffer, int Offset) const {
  if (Offset < 0 || Offset >= FBlockSize) return 0;
  const int count = static_cast<int>(std::min<size_t>(Buffer.size(), static_cast<size_t>(FBlockSize - Offset)));
  std::memcpy(Buffer.data(), fBuffer.data() + Offset, static_cast<size_t>(count));
  return count;
}

void TDmxBlock::CopyFromBlock(const TDmxBlock& Other) {
  if (!FEnabled) return;
  IsBlind = FAcceptBlind && Other.UseBlind();
  const uint8_t* source = IsBlind ? Other.fPBlindBuffer->data() : Other.fBuffer.data();
  TakeLevels(source, 0, std::min(FBlockSize, Other.FBlockSize), true);
}

bool TDmxBlock::LastNetBufferChanged() {
  if (fBuffer == LastNetBuffer) return false;
  LastNetBuffer = fBuffer;
  return true;
}

void TDmxBlock::ClearLevels() {
  if (std::all_of(fBuffer.begin(), fBuffer.end(), [](uint8_t v) { return v == 0; })) return;
  fBuffer.fill(0);
  SetStatusDataDirty(DT(2));
  if (OnChanged) OnChanged(this);
}

// ---------------------------------------------------------------------------
// Times and state

void TDmxBlock::SetLastChanged(TDateTime Value) {
  FLastChanged = Value;
  FLastSeen = Value;
  SetStatusDataDirty(DT(2));
  if (OnChanged) OnChanged(this);
}

void TDmxBlock::SetValidated() { fValidated = DeviceNow(); }

void TDmxBlock::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  if (Value && OnEnabledChanged && !OnEnabledChanged(this, true)) return;
  if (Value) {
    // A port may be input or output: the block of this port in the other
    // area goes off first.
    TDmxArea* area = Area();
    TVelaObject* owner = area ? area->SOwner() : nullptr;
    if (owner && owner->InheritsFrom(TConnection::StaticClass())) {
      auto* connection = static_cast<TConnection*>(owner);
      if (connection->InOrOutMutex) {
        TDmxArea* other = area == connection->InBlocks() ? connection->OutBlocks() : connection->InBlocks();
        TDmxBlock* twin = other && other != area ? other->Block(OwnerIndex()) : nullptr;
        if (twin) twin->SetEnabled(false);
      }
    }
  }
  FEnabled = Value;
  if (Value) {
    SetActiveState(Dmx_Passive);
  } else {
    fBuffer.fill(0);
    FsimulateStarted = false;
    SetLastChanged(0);
    SetActiveState(DMX_AllOff);
  }
  if (OnEnabledChanged) OnEnabledChanged(this, false);
  SetDataChanged(FK_Bool, BF_Enabled, true);
}

TDmxActivestate TDmxBlock::ActiveState() const {
  if (GetStatus(ST(2))) return DmxUpdated;
  if (GetStatus(ST(1))) return Dmx_Active;
  if (!GetStatus(ST(4))) return Dmx_Passive;
  return DMX_AllOff;
}

void TDmxBlock::SetActiveState(TDmxActivestate Value) {
  if (ActiveState() >= Dmx_Active && Value < Dmx_Active) {
    FLastSeen = 0;
    FLastChanged = 0;
  }
  if (Value == DMX_AllOff || (Value == Dmx_Passive && !FEnabled)) {
    SetStatus(TStBits{ST(1), ST(2)}, false);
    SetStatus(ST(4), true);
  } else {
    SetStatus(ST(1), Value > Dmx_Passive);
    SetStatus(ST(2), Value == DmxUpdated);
    SetStatus(ST(4), false);
  }
}

int TDmxBlock::GetStateindex() {
  if (!FEnabled) return 4;
  switch (ActiveState()) {
    case Dmx_Active: return 2;
    case DmxUpdated: return 3;
    default: return 1;
  }
}

void TDmxBlock::SetNetGroup(uint16_t Value) {
  if (Value == FNetGroup) return;
  if (!OnNetUniverseChanged || OnNetUniverseChanged(this, true)) FNetGroup = Value;
  // Also when refused, so that the views show the kept value again.
  SetDataChanged(FK_Word, BF_NetGroup, true);
}

void TDmxBlock::SetNetUniverse(uint16_t Value) {
  if (Value == FNetUniverse) return;
  if (!OnNetUniverseChanged || OnNetUniverseChanged(this, false)) FNetUniverse = Value;
  SetDataChanged(FK_Word, BF_NetUniverse, true);
}

void TDmxBlock::SetPortId(uint8_t Value) {
  if (Value == FPortId) return;
  FPortId = Value;
  SetDataChanged(FK_Byte, BF_PortId, true);
}

void TDmxBlock::SetBlockSize(uint16_t Value) { FBlockSize = std::min<uint16_t>(Value, kDmxChannels); }

void TDmxBlock::SetBlockIsOutput(bool Value) {
  if (Value == fBlockIsOutput) return;
  fBlockIsOutput = Value;
  SetDataChanged(FK_Undefined, 0, true);
}

void TDmxBlock::SetUseBlind(bool Value) {
  if (!Value)
    fPBlindBuffer.reset();
  else if (!fPBlindBuffer)
    fPBlindBuffer = std::make_unique<TDmxOneBlock>();
}

// ---------------------------------------------------------------------------
// Place in the tree

TDmxArea* TDmxBlock::Area() const {
  TVelaObject* owner = SOwner();
  return owner && owner->InheritsFrom(TDmxArea::StaticClass()) ? static_cast<TDmxArea*>(owner) : nullptr;
}

bool TDmxBlock::IsInput() const {
  const TDmxArea* area = Area();
  return area && area->AreaState().Has(St_DmxFromVelaNet);
}

TConnection* TDmxBlock::BConnection() const {
  TDmxArea* area = Area();
  TVelaObject* owner = area ? area->SOwner() : nullptr;
  VelaAssert(owner && owner->InheritsFrom(TConnection::StaticClass()),
             QStringLiteral("Connection for DMXBlock missing"), kUnit);
  return static_cast<TConnection*>(owner);
}

bool TDmxBlock::AcceptSource(TDmxBlock* Other) const {
  return BConnection()->AcceptDMX(Other, const_cast<TDmxBlock*>(this));
}

QString TDmxBlock::Namepath() { return GetServerName() + '\\' + Name(); }

QString TDmxBlock::InputNamepath() {
  const int position = OwnerIndex();
  TDmxArea* inputs = BConnection()->InBlocks();
  if (inputs && position >= 0 && position < inputs->NumInblocks()) return inputs->Block(position)->SourcePath();
  return QStringLiteral("Port ") + QString::number(position + 1) + QStringLiteral(" out of range");
}

// ---------------------------------------------------------------------------
// Sources

void TDmxBlock::SetACNDevs(TAcnDevs* Value) {
  if (Value == FACNDevs) return;
  FreeObj(FACNDevs);
  FACNDevs = Value;
  if (Value) Value->SetSOwner(this);
}

TAcnDevs* TDmxBlock::EnsureACNDevs() {
  if (!FACNDevs) {
    SetACNDevs(SNew<TAcnDevs>());
    FACNDevs->SetName(Name() + QStringLiteral(" DMX Sources"));
  }
  return FACNDevs;
}

int TDmxBlock::NumSources() const { return FACNDevs ? FACNDevs->Count() : 0; }

QString TDmxBlock::SourceName() {
  const int n = NumSources();
  if (n == 0) return QStringLiteral("No Source Defined");
  if (n > 1) return QStringLiteral("Multiple Sources");
  TDeviceRef* ref = FACNDevs->Ref(0);
  return ref ? ref->SourceName() : QString();
}

QString TDmxBlock::SourcePath() {
  const int n = NumSources();
  if (n == 0) return QStringLiteral("No Source Defined");
  if (n > 1) return QStringLiteral("Multiple Sources");
  TDeviceRef* ref = FACNDevs->Ref(0);
  return ref ? ref->SourceNode() + '\\' + ref->SourceName() : QString();
}

TDeviceRef* TDmxBlock::AddDevRef(TVelaObject* Source) {
  if (!Source) return nullptr;
  auto* ref = SNew<TDeviceRef>();
  ref->SetPriority(0);
  ref->SetSize(kDmxChannels);
  ref->SetStart(1);
  ref->SetDMX(1);
  ref->SetReference(Source);
  EnsureACNDevs()->SInsert(ref);
  SetDataChanged(FK_Undefined, 0, true);
  return ref;
}

void TDmxBlock::RemoveDevRef(TVelaObject* Source) {
  TDeviceRef* ref = GetDevRef(Source);
  if (!ref) return;
  FACNDevs->SFree(ref);
  SetDataChanged(FK_Undefined, 0, true);
}

void TDmxBlock::ClearSources() {
  if (!FACNDevs || FACNDevs->Count() == 0) return;
  FACNDevs->ClearSubs();
  SetDataChanged(FK_Undefined, 0, true);
}

TDeviceRef* TDmxBlock::GetDevRef(TVelaObject* Source) const { return FACNDevs ? FACNDevs->Find(Source) : nullptr; }

TDeviceRef* TDmxBlock::AddSourceByPath(const QString& Path) {
  const qsizetype split = Path.indexOf('\\');
  const QString node = split < 0 ? QString() : Path.left(split);
  const QString name = split < 0 ? Path : Path.mid(split + 1);
  if (name.isEmpty()) return nullptr;
  if (TDeviceRef* known = FACNDevs ? FACNDevs->FindByName(name, node) : nullptr) return known;
  auto* ref = SNew<TDeviceRef>();
  ref->SetPriority(0);
  ref->SetSize(kDmxChannels);
  ref->SetStart(1);
  ref->SetDMX(1);
  ref->SetTimeOut(SecondsToDays(6));
  ref->SetRefObjType(static_cast<uint16_t>(kDmxBlockType));
  ref->SetRefName(name);
  ref->SetNode(node);
  ref->Link(TDmxArea::FindToNetBlock(node, name));
  EnsureACNDevs()->SInsert(ref);
  SetDataChanged(FK_Text, BF_Source, true);
  return ref;
}

TDmxBlock* TDmxBlock::SingleSource() const {
  if (NumSources() != 1) return nullptr;
  TDeviceRef* ref = FACNDevs->Ref(0);
  return ref ? ref->SourceBlock() : nullptr;
}

void TDmxBlock::UpdateDevs() {
  if (NumSources() == 0) return;
  TDmxOneBlock merged{};
  FACNDevs->Update(merged, false);
  CopyOffsFromBuf(merged, 0, true);
}

void TDmxBlock::SourceChanged() { SetDataChanged(FK_Special, BF_Source, true); }

// ---------------------------------------------------------------------------
// Simulation

void TDmxBlock::DoSimulate1(TDateTime Now) {
  if (!FEnabled || !FSimulate) return;
  if (!FsimulateStarted) {
    // The ramp starts at the low 32 bits of the time value.
    const auto s = static_cast<uint32_t>(DoubleToBits(Now));
    for (int i = 0; i < kDmxChannels; ++i) fBuffer[i] = static_cast<uint8_t>(s + static_cast<uint32_t>(i) + 1);
    FsimulateStarted = true;
  }
  const uint8_t last = fBuffer[kDmxChannels - 1];
  for (int i = 1; i < kDmxChannels; ++i) fBuffer[i] = static_cast<uint8_t>(fBuffer[i] - 1);
  fBuffer[0] = last;
  FLastSeen = Now;
  SetLastChanged(Now);
}

// ---------------------------------------------------------------------------
// Fields and columns

bool TDmxBlock::GetFieldPointer(TSFieldKind FieldKind, uint32_t FieldId, void*& Ptr) {
  switch (FieldKind) {
    case FK_Word:
      if (FieldId == BF_NetGroup) return Ptr = &FNetGroup, true;
      if (FieldId == BF_NetUniverse) return Ptr = &FNetUniverse, true;
      if (FieldId == BF_SourceUniverse) return Ptr = &FSourceUniverse, true;
      break;
    case FK_Bool:
      if (FieldId == BF_Enabled) return Ptr = &FEnabled, true;
      break;
    case FK_Byte:
      if (FieldId == BF_PortId) return Ptr = &FPortId, true;
      break;
    case FK_ByteKind:
      if (FieldId == BF_PortId) return Ptr = &FPortId, true;
      if (FieldId == BF_SourceKind) return Ptr = &FSourceKind, true;
      break;
    default: break;
  }
  return TVelanetObject::GetFieldPointer(FieldKind, FieldId, Ptr);
}

QString TDmxBlock::FF(TSFieldKind AFkind, uint32_t AFid, int Param1, int Param2) {
  if (AFkind == FK_Special) {
    if (AFid == BF_Position) return QString::number(OwnerIndex() + 1);
    if (AFid == BF_Source) return SourcePath();
    if (AFid == BF_NamePath) return Namepath();
  }
  if (AFkind == FK_Text) {
    if (AFid == BF_Source) return SourcePath();
    if (AFid == BF_ServerName) return GetServerName();
  }
  return TVelanetObject::FF(AFkind, AFid, Param1, Param2);
}

QString TDmxBlock::FC(TSFieldKind AFkind, uint32_t AFid, int index, int32_t& DataId) {
  if (AFkind == FK_ByteKind && AFid == BF_SourceKind) {
    if (index < 0) return SourceKindText(DataId);
    if (index > DMXS_DmxPlayer) return QString();
    DataId = index;
    return SourceKindText(index);
  }
  if (AFkind == FK_ByteKind && AFid == BF_PortId && index < 0) return QString::number(DataId);
  return TVelanetObject::FC(AFkind, AFid, index, DataId);
}

void TDmxBlock::SetFieldValue(TSFieldKind FieldKind, uint32_t FieldId, const void* Data, bool AsIncrement) {
  // The property writes carry the block's rules; each marks its change.
  bool handled = Data != nullptr;
  if (handled) {
    if (FieldKind == FK_Bool && FieldId == BF_Enabled)
      SetEnabled(*static_cast<const uint8_t*>(Data) != 0);
    else if (FieldKind == FK_Word && FieldId == BF_NetGroup)
      SetNetGroup(Word(Data));
    else if (FieldKind == FK_Word && FieldId == BF_NetUniverse)
      SetNetUniverse(Word(Data));
    else if ((FieldKind == FK_Byte || FieldKind == FK_ByteKind) && FieldId == BF_PortId)
      SetPortId(*static_cast<const uint8_t*>(Data));
    else if (FieldKind == FK_ByteKind && FieldId == BF_SourceKind) {
      SetSourceKind(*static_cast<const uint8_t*>(Data));
      SetFieldChanged(FieldKind, FieldId, false);
    } else if (FieldKind == FK_Text && FieldId == BF_Source)
      AddSourceByPath(*static_cast<const QString*>(Data));
    else
      handled = false;
  }
  if (!handled) return TVelanetObject::SetFieldValue(FieldKind, FieldId, Data, AsIncrement);
  if (AsIncrement) Notify(SOM_DataInc, MySelf(), FieldKind, static_cast<int32_t>(FieldId));
}

uint16_t TDmxBlock::DefaultPDef(TLParamDef& Arr, TParamsOpt&) {
  Arr.clear();
  int n = 0;
  SetArrData(Arr, 0, FK_Special, BF_Position, QStringLiteral("Block"), 40, {}, TStBits{ST(1), ST(2), ST(4)}, {},
             nullptr);
  AddArrData(Arr, n, FK_Bool, BF_Enabled, QStringLiteral("Enabled"), 50, {}, {}, {}, nullptr);
  if (IsInput()) AddArrData(Arr, n, FK_Special, BF_Source, QStringLiteral("Source"), 160, {}, {}, {}, nullptr);
  AddArrData(Arr, n, FK_Graphic, 0, QStringLiteral("Content"), FBlockSize, {}, {}, TDtBits{DT(2)}, nullptr);
  return static_cast<uint16_t>(n + 1);
}

void TDmxBlock::PaintLevels(QPainter& Canvas, const QRect& Bounds, std::span<const uint8_t> Levels) {
  Canvas.fillRect(Bounds, Qt::black);
  const int height = Bounds.height();
  const int columns = std::min({static_cast<int>(Levels.size()), kDmxChannels, Bounds.width()});
  for (int i = 0; i < columns; ++i) {
    const int bar = Levels[i] * height / 255;
    if (bar > 0) Canvas.fillRect(QRect(Bounds.left() + i, Bounds.bottom() - bar + 1, 1, bar), QColor(Qt::yellow));
  }
}

bool TDmxBlock::PaintImage(QPainter* Canvas, const QRect& Bounds, TSFieldKind AFkind, uint32_t AFid, int Index,
                           const void* Data) {
  if (AFkind == FK_Graphic && AFid == 0) {
    if (!Canvas) return false;
    PaintLevels(*Canvas, Bounds, std::span<const uint8_t>(fBuffer.data(), FBlockSize));
    return true;
  }
  return TVelanetObject::PaintImage(Canvas, Bounds, AFkind, AFid, Index, Data);
}

// ---------------------------------------------------------------------------
// Commands and messages

void TDmxBlock::ExecCommand(uint32_t Command, uint32_t Data) {
  switch (Command) {
    case BC_NetRequest: LastNetRequest = DeviceNow(); break;
    case BC_Validate: SetValidated(); break;
    case BC_ClearValidated: ClearValidated(); break;
    default: break;
  }
  TVelanetObject::ExecCommand(Command, Data);
}

void TDmxBlock::Dispatch(TMessage& Message) {
  if (Message.Msg == VM_DeviceState && Message.WParam == VMP_Off) {
    SetStatus(TStBits{ST(1), ST(2)}, false);
    return;
  }
  TVelanetObject::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// Stream form: after the base data the flags and the address; the sources
// object follows the subs.

void TDmxBlock::Storedata(TSWriter& Writer) {
  TVelanetObject::Storedata(Writer);
  Writer.WriteBool(FUseDevices);
  Writer.WriteBool(FEnabled);
  Writer.WriteBool(FSimulate);
  Writer.WriteBool(fBlockIsOutput);
  Writer.WriteWord(FNetGroup);
  Writer.WriteWord(FNetUniverse);
}

void TDmxBlock::Loaddata(TSReader& Reader) {
  TVelanetObject::Loaddata(Reader);
  FUseDevices = Reader.ReadBool();
  FEnabled = Reader.ReadBool();
  FSimulate = Reader.ReadBool();
  fBlockIsOutput = Reader.ReadBool();
  FNetGroup = Reader.ReadWord();
  FNetUniverse = Reader.ReadWord();
  FBlockSize = kDmxChannels;
}

void TDmxBlock::Store(TSWriter& Writer) {
  TVelanetObject::Store(Writer);
  Writer.Put(FACNDevs);
}

void TDmxBlock::Load(TSReader& Reader) {
  TVelanetObject::Load(Reader);
  TSobject* sources = Reader.Get();
  if (sources && !sources->InheritsFrom(TAcnDevs::StaticClass())) {
    FreeObj(sources);
    throw EStreamReadError("DMX sources of the wrong class");
  }
  SetACNDevs(static_cast<TAcnDevs*>(sources));
}

}  // namespace vela
