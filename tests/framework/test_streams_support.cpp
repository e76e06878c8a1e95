#include "test_streams_support.h"

#include <cstring>

#include "framework/NetStreams.h"

namespace streamtest {

QByteArray Hex(const char* hex) { return QByteArray::fromHex(QByteArray(hex).replace(' ', "")); }

std::string ToHex(const QByteArray& bytes) { return bytes.toHex(' ').toUpper().toStdString(); }

QBuffer* MemoryStream(const QByteArray& bytes, QIODevice::OpenMode mode) {
  auto* buffer = new QBuffer;
  buffer->setData(bytes);
  buffer->open(mode);
  return buffer;
}

QByteArray Written(const std::function<void(TSWriter&)>& Write, TKeaStreamVersion Version, bool UseNetid,
                   TRWMode Mode) {
  QByteArray bytes;
  {
    auto* out = new QBuffer(&bytes);
    out->open(QIODevice::WriteOnly);
    TSWriter writer(out, 16, Mode, Version);  // a small buffer: writes cross it often
    writer.UseNetid = UseNetid;
    Write(writer);
  }
  return bytes;
}

QByteArray NetWritten(TRWMode Mode, const std::function<void(TSWriter&)>& Write) {
  QByteArray bytes;
  {
    auto* out = new QBuffer(&bytes);
    out->open(QIODevice::ReadWrite);
    std::unique_ptr<TSWriter> writer = NewNetWriter(out, Mode);
    Write(*writer);
  }
  return bytes;
}

std::unique_ptr<TSReader> ReaderOn(const QByteArray& bytes, TKeaStreamVersion Version, bool UseNetid, TRWMode Mode) {
  auto reader = std::make_unique<TSReader>(MemoryStream(bytes), 1024, Mode, Version);
  reader->UseNetid = UseNetid;
  return reader;
}

// ---------------------------------------------------------------------------
// TProbe

VELA_CLASS_IMPL(TProbe, TVelaObject)
VELA_CLASS_IMPL(TServerProbe, TVelaObject)
VELA_CLASS_IMPL(TUnregisteredThing, TVelaObject)

int TProbe::Alive = 0;

TProbe::TProbe() { ++Alive; }
TProbe::~TProbe() { --Alive; }

bool TProbe::GetFieldPointer(TSFieldKind FieldKind, uint32_t FieldId, void*& Ptr) {
  if (FieldKind == FK_Word && FieldId == 0) {
    Ptr = &Word;
    return true;
  }
  return TVelaObject::GetFieldPointer(FieldKind, FieldId, Ptr);
}

void TProbe::SetFieldValue(TSFieldKind FieldKind, uint32_t FieldId, const void* Data, bool AsIncrement) {
  if (FieldKind != FK_Command) return TVelaObject::SetFieldValue(FieldKind, FieldId, Data, AsIncrement);
  TSobject* obj = *static_cast<TSobject* const*>(Data);
  QString name = QStringLiteral("<null>");
  if (obj && obj->InheritsFrom(TVelaObject::StaticClass())) name = static_cast<TVelaObject*>(obj)->NameIfName();
  Commands.emplace_back(FieldId, name);
}

void TProbe::Storedata(TSWriter& Writer) {
  TVelaObject::Storedata(Writer);
  Writer.WriteInteger(Value);
  Writer.WriteWord(Word);
}

void TProbe::Loaddata(TSReader& Reader) {
  TVelaObject::Loaddata(Reader);
  Value = Reader.ReadInteger();
  Word = Reader.ReadWord();
}

void TProbe::StoreStatus(TSWriter& Writer) {
  TVelaObject::StoreStatus(Writer);
  Writer.WriteDWord(Status);
  Writer.WriteDWord(DirtyData);
}

void TProbe::LoadStatus(TSReader& Reader) {
  TVelaObject::LoadStatus(Reader);
  Status = Reader.ReadDWord();
  DirtyData = Reader.ReadDWord();
}

void TProbe::StoreNetStatus(TSWriter& Writer) {
  if (StatusFlags().Has(VS_SelfDirty)) {
    SetStatusFlags(StatusFlags() - VS_SelfDirty);
    if (DirtyStatus != 0 || DirtyData != 0) WriteNetStatusRecord(Writer, *this);
    DirtyStatus = 0;
    DirtyData = 0;
  }
  TVelaObject::StoreNetStatus(Writer);
}

void TProbe::ChangeStatus(uint32_t NewStatus) {
  DirtyStatus |= Status ^ NewStatus;
  Status = NewStatus;
  SetStatusFlags(StatusFlags() + VS_SelfDirty);
}

void RegisterTestTypes() {
  RegisterObjType(kProbeType, TProbe::StaticClass());
  RegisterObjType(kServerProbeType, TServerProbe::StaticClass());
}

TProbe* NewProbe(const QString& Name, uint32_t NetId, int32_t Value, uint16_t Word) {
  RegisterTestTypes();
  TProbe* p = SNew<TProbe>();
  p->SetName(Name);
  p->SetNetId(NetId);
  p->Value = Value;
  p->Word = Word;
  p->SetDataFlagsRaw({});
  return p;
}

// ---------------------------------------------------------------------------
// TNotifications

TNotifications::TNotifications() : fSaved(FrameworkHooks().Notify) {
  FrameworkHooks().Notify = [this](uint32_t Msg, TVelaObject* Obj, intptr_t, int32_t) {
    Entries.push_back({Msg, Obj});
  };
}

TNotifications::~TNotifications() { FrameworkHooks().Notify = fSaved; }

int TNotifications::Count(uint32_t Msg, const TVelaObject* Obj) const {
  int n = 0;
  for (const Entry& e : Entries)
    if (e.Msg == Msg && (!Obj || e.Obj == Obj)) ++n;
  return n;
}

bool OwnersConsistent(TVelaObject* Obj) {
  for (int i = 0; i < Obj->Subcount(); ++i) {
    TVelaObject* sub = Obj->Sub(i);
    if (!sub || sub->SOwner() != Obj || !OwnersConsistent(sub)) return false;
  }
  return true;
}

}  // namespace streamtest
