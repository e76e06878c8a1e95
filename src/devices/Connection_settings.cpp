// Fields, stream forms, key-value storage and registry values of a connection.
#include <algorithm>

#include "devices/Connection.h"
#include "devices/DmxArea.h"
#include "devices/DmxBlock.h"
#include "framework/sstreams.h"
#include "platform/Storage.h"

namespace vela {

namespace {
// More blocks than any device has; a stored count above it is damage.
constexpr int kMaxStoredBlocks = 1024;

const QString kMidi = QStringLiteral("Midi");
const QString kTimeCode = QStringLiteral("TimeCode");
const QString kTimeAsHour = QStringLiteral("Time As Hour");
const QString kMidiIn = QStringLiteral("Midi In");
const QString kMidiOut = QStringLiteral("Midi Out");
const QString kTCSource = QStringLiteral("TC Source");
const QString kDenyRemoteAdmin = QStringLiteral("Deny Remote Admin");

TDmxArea* ReadArea(TSReader& Reader) {
  TSobject* obj = Reader.Get();
  if (obj && !obj->InheritsFrom(TDmxArea::StaticClass())) {
    FreeObj(obj);
    throw EStreamReadError("DMX area of the wrong class");
  }
  return static_cast<TDmxArea*>(obj);
}
}  // namespace

// ---------------------------------------------------------------------------
// Fields

bool TConnection::GetFieldPointer(TSFieldKind FieldKind, uint32_t FieldId, void*& Ptr) {
  if (FieldKind == FK_Byte && FieldId == CF_FrameType) return Ptr = &FSTcFrameType, true;
  if (FieldKind == FK_Bool && FieldId == CF_SendTimeAsHour) return Ptr = &FSendTimeAsHour, true;
  if (FieldKind == FK_Bool && FieldId == CF_DenyRemoteAdmin) return Ptr = &FDenyRemoteAdmin, true;
  return TVelanetObject::GetFieldPointer(FieldKind, FieldId, Ptr);
}

void TConnection::_SetField(bool IsNetId, int Afield, const void* Data) {
  auto partner = [Data] { return Data ? *static_cast<TConnection* const*>(Data) : nullptr; };
  switch (Afield) {
    case CSF_MidiIn: ReplaceMidiPartner(FMidiIn, FMidiInPath, partner()); return;
    case CSF_MidiOut: ReplaceMidiPartner(FMidiOut, FMidiOutPath, partner()); return;
    case CSF_TCSource: {
      TConnection* source = partner();
      FTCSource.Set(source);
      FTCSourcePath = source ? NamePath(source) : QString();
      return;
    }
    case CSF_FrameType:
      SetFieldValue(FK_Byte, CF_FrameType, Data, false);
      StoreSettings();
      return;
    case CSF_SendTimeAsHour:
      SetFieldValue(FK_Bool, CF_SendTimeAsHour, Data, false);
      StoreSettings();
      return;
    case CSF_DenyRemoteAdmin:
      SetFieldValue(FK_Bool, CF_DenyRemoteAdmin, Data, false);
      StoreSettings();
      return;
    default: TVelanetObject::_SetField(IsNetId, Afield, Data);
  }
}

// ---------------------------------------------------------------------------
// Stream forms

void TConnection::Storedata(TSWriter& Writer) {
  TVelanetObject::Storedata(Writer);
  Writer.WriteBool(fCanMidiOut);
  Writer.WriteByte(FSTcFrameType);
  Writer.WriteBool(FSendTimeAsHour);
  Writer.WriteString(FMidiInPath);
  Writer.WriteString(FMidiOutPath);
  Writer.WriteString(FTCSourcePath);
  Writer.WriteBool(FDenyRemoteAdmin);
}

void TConnection::Loaddata(TSReader& Reader) {
  TVelanetObject::Loaddata(Reader);
  fCanMidiOut = Reader.ReadBool();
  FSTcFrameType = Reader.ReadByte();
  FSendTimeAsHour = Reader.ReadBool();
  const QString midiIn = Reader.ReadString();
  const QString midiOut = Reader.ReadString();
  const QString tcSource = Reader.ReadString();
  FDenyRemoteAdmin = Reader.ReadBool();
  SetMidiInPath(midiIn);
  SetMidiOutPath(midiOut);
  SetTCSourcePath(tcSource);
}

void TConnection::Store(TSWriter& Writer) {
  TVelanetObject::Store(Writer);
  Writer.Put(fCInBlocks);
  Writer.Put(fCOutBlocks);
}

void TConnection::Load(TSReader& Reader) {
  TVelanetObject::Load(Reader);
  SetInBlocks(ReadArea(Reader));
  SetOutBlocks(ReadArea(Reader));
}

void TConnection::StoreStatus(TSWriter& Writer) {
  TVelanetObject::StoreStatus(Writer);
  Writer.WriteBool(FActive);
  Writer.WriteBool(fAlive);
}

void TConnection::LoadStatus(TSReader& Reader) {
  TVelanetObject::LoadStatus(Reader);
  FActive = Reader.ReadBool();
  fAlive = Reader.ReadBool();
  SetStatusChanged();
}

// ---------------------------------------------------------------------------
// Key-value storage: the number of blocks of each area and per block its
// name, enabled state, net group and universe, source universe, port id and
// source kind, in "<area><n>" folders below the connection's.

void TConnection::StoreDataToXml(TVelaStorage& Storage) {
  TVelanetObject::StoreDataToXml(Storage);
  const std::pair<QString, TDmxArea*> areas[] = {{QStringLiteral("In"), fCInBlocks},
                                                 {QStringLiteral("Out"), fCOutBlocks}};
  for (const auto& [name, area] : areas) {
    const int count = area ? area->Numblocks() : 0;
    Storage.WriteInteger(QStringLiteral("Num") + name, count);
    for (int i = 0; i < count; ++i) {
      TDmxBlock* block = area->Block(i);
      if (!block) continue;
      const QString path = TVelaStorage::JoinPath(Storage.CurrentPath(), name + QString::number(i + 1));
      if (block->NameAssigned())
        Storage.WriteString(path, QStringLiteral("Name"), block->NameIfName());
      else
        Storage.DeleteValue(path, QStringLiteral("Name"));
      Storage.WriteInteger(path, QStringLiteral("Enabled"), block->Enabled() ? 1 : 0);
      Storage.WriteInteger(path, QStringLiteral("G"), block->NetGroup());
      Storage.WriteInteger(path, QStringLiteral("U"), block->NetUniverse());
      Storage.WriteInteger(path, QStringLiteral("S"), block->SourceUniverse());
      Storage.WriteInteger(path, QStringLiteral("ID"), block->PortId());
      Storage.WriteInteger(path, QStringLiteral("SK"), block->SourceKind());
    }
  }
}

void TConnection::LoadDataFromXml(TVelaStorage& Storage) {
  TVelanetObject::LoadDataFromXml(Storage);
  for (const bool in : {true, false}) {
    const QString name = in ? QStringLiteral("In") : QStringLiteral("Out");
    const int count = std::min(Storage.ReadInteger(QStringLiteral("Num") + name, 0), kMaxStoredBlocks);
    if (count <= 0) continue;
    TDmxArea* area = in ? EnsureInArea(count, true) : EnsureOutArea(count, false);
    for (int i = 0; i < count; ++i) {
      TDmxBlock* block = area->Block(i);
      if (!block) continue;
      const QString path = TVelaStorage::JoinPath(Storage.CurrentPath(), name + QString::number(i + 1));
      const QString blockName = Storage.ReadString(path, QStringLiteral("Name"), QString());
      if (!blockName.isEmpty()) block->SetName(blockName);
      block->SetEnabled(Storage.ReadInteger(path, QStringLiteral("Enabled"), 0) != 0);
      block->SetNetGroup(static_cast<uint16_t>(Storage.ReadInteger(path, QStringLiteral("G"), 0)));
      block->SetNetUniverse(static_cast<uint16_t>(Storage.ReadInteger(path, QStringLiteral("U"), i)));
      block->SetSourceUniverse(static_cast<uint16_t>(Storage.ReadInteger(path, QStringLiteral("S"), i + 1)));
      block->SetPortId(static_cast<uint8_t>(Storage.ReadInteger(path, QStringLiteral("ID"), 0)));
      block->SetSourceKind(static_cast<uint8_t>(Storage.ReadInteger(path, QStringLiteral("SK"), 0)));
    }
  }
}

// ---------------------------------------------------------------------------
// Registry values

void TConnection::LoadFromRegistry(TVelaStorage& Key) {
  if (NotStoreRegistry) return;
  if (Key.ValueExists(kMidi)) fCanMidiOut = Key.ReadInteger(kMidi, 0) != 0;
  if (Key.ValueExists(kTimeCode)) FSTcFrameType = static_cast<uint8_t>(Key.ReadInteger(kTimeCode, 0));
  if (fCanMidiOut) {
    if (Key.ValueExists(kTimeAsHour)) FSendTimeAsHour = Key.ReadInteger(kTimeAsHour, 0) != 0;
    if (Key.ValueExists(kMidiIn)) SetMidiInPath(Key.ReadString(kMidiIn, QString()));
    if (Key.ValueExists(kMidiOut)) SetMidiOutPath(Key.ReadString(kMidiOut, QString()));
    if (Key.ValueExists(kTCSource)) SetTCSourcePath(Key.ReadString(kTCSource, QString()));
  }
  if (Key.ValueExists(kDenyRemoteAdmin)) FDenyRemoteAdmin = Key.ReadInteger(kDenyRemoteAdmin, 0) != 0;
}

void TConnection::StoreToRegistry(TVelaStorage& Key) {
  if (NotStoreRegistry) return;
  // The MIDI switch and the frame type are read whenever present, so they
  // are always written: turning MIDI off must survive the next start.
  Key.WriteInteger(kMidi, fCanMidiOut ? 1 : 0);
  Key.WriteInteger(kTimeCode, FSTcFrameType);
  if (fCanMidiOut) {
    Key.WriteInteger(kTimeAsHour, FSendTimeAsHour ? 1 : 0);
    Key.WriteString(kMidiIn, FMidiInPath);
    Key.WriteString(kMidiOut, FMidiOutPath);
    Key.WriteString(kTCSource, FTCSourcePath);
  }
  Key.WriteInteger(kDenyRemoteAdmin, FDenyRemoteAdmin ? 1 : 0);
}

}  // namespace vela
