#include "framework/sstreams.h"

#include <QBuffer>
#include <cmath>
#include <cstring>

#include "framework/sobjects.h"
#include "platform/Assertion.h"
#include "platform/CodePages.h"
#include "platform/Endian.h"

namespace vela {

namespace {
const QString kUnit = QStringLiteral("velaobject/sobjects");
}

// ---------------------------------------------------------------------------
// TSFiler

TSFiler::TSFiler(QIODevice* Stream, int BufSize, TRWMode Amode, TKeaStreamVersion aKeaversion)
    : RWMode(Amode), KeaVersion(aKeaversion), FStream(Stream), FBufSize(BufSize > 0 ? BufSize : 1) {
  FBuffer.resize(FBufSize);
}

TSFiler::~TSFiler() {
  if (!KeepStream) delete FStream;
}

qint64 TSFiler::Size() const { return FStream ? FStream->size() : 0; }

// ---------------------------------------------------------------------------
// TSReader

TSReader::TSReader(QIODevice* Stream, int BufSize, TRWMode Amode, TKeaStreamVersion aKeaversion)
    : TSFiler(Stream, BufSize, Amode, aKeaversion) {}

void TSReader::Read(void* Buf, qint64 Count) {
  if (Count <= 0) return;
  if (!FStream || FStream->read(static_cast<char*>(Buf), Count) != Count)
    throw EStreamReadError("read past the end of the stream");
}

qint64 TSReader::Position() const { return FStream ? FStream->pos() : 0; }
void TSReader::SetPosition(qint64 pos) {
  if (FStream) FStream->seek(pos);
}
qint64 TSReader::BytesLeft() const { return FStream ? FStream->size() - FStream->pos() : 0; }
void TSReader::FlushBuffer() { SetPosition(Position()); }

TSobject* TSReader::Get() {
  const int32_t type = ReadInteger();
  if (type == 0) return nullptr;
  TSobjectClass cls = GetClassOfType(static_cast<uint32_t>(type));
  if (!cls || !cls->Load) return nullptr;
  if (fNesting >= MaxNesting) throw EStreamReadError("objects nested too deep");
  struct NestGuard {
    int& n;
    explicit NestGuard(int& v) : n(v) { ++n; }
    ~NestGuard() { --n; }
  } guard(fNesting);
  return cls->Load(*this);
}

uint8_t TSReader::ReadByte() {
  uint8_t b = 0;
  Read(&b, 1);
  return b;
}
bool TSReader::ReadBool() { return ReadByte() != 0; }
uint16_t TSReader::ReadWord() {
  uint8_t b[2];
  Read(b, 2);
  return GetLE16(b);
}
int16_t TSReader::ReadSmallInteger() { return static_cast<int16_t>(ReadWord()); }
uint32_t TSReader::ReadDWord() {
  uint8_t b[4];
  Read(b, 4);
  return GetLE32(b);
}
int32_t TSReader::ReadInteger() { return static_cast<int32_t>(ReadDWord()); }
int64_t TSReader::Read64() {
  uint8_t b[8];
  Read(b, 8);
  return static_cast<int64_t>(GetLE64(b));
}
float TSReader::ReadSingle() { return FloatFromBits(ReadDWord()); }
TDateTime TSReader::ReadDateTime() { return DoubleFromBits(static_cast<uint64_t>(Read64())); }

TDateTime TSReader::ReadWtoDT() {
  const uint16_t w = ReadWord();
  return EncodeTime(w / 36000, (w / 600) % 60, (w / 10) % 60, (w % 10) * 100);
}

TGuid TSReader::ReadGuid() {
  uint8_t b[16];
  Read(b, 16);
  return TGuid::FromBytes(b);
}

QString TSReader::ReadStrDos() {
  const uint8_t n = ReadByte();
  QByteArray bytes(n, '\0');
  Read(bytes.data(), n);
  return OemToString(bytes);
}

QString TSReader::ReadString(bool AsAnsi) {
  if (KeaVersion < EV_2) {
    const int32_t len = ReadInteger();
    VelaAssert(len <= 32767, QStringLiteral("String too long"), kUnit);
    if (len <= 0) return QString();
    QByteArray bytes(len, '\0');
    Read(bytes.data(), len);
    return AnsiToString(bytes);
  }
  const uint8_t first = ReadByte();
  if (first == 0) return QString();
  const int len = (first & 0x7F) * 256 + ReadByte();
  if (KeaVersion >= EV_6 && !AsAnsi) {
    QByteArray bytes(len * 2, '\0');
    Read(bytes.data(), len * 2);
    QString s(len, Qt::Uninitialized);
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    for (int i = 0; i < len; ++i) s[i] = QChar(GetLE16(p + 2 * i));
    return s;
  }
  QByteArray bytes(len, '\0');
  Read(bytes.data(), len);
  return AnsiToString(bytes);
}

void TSReader::ReadStrings(QStringList& S) {
  const int64_t size = Read64();
  if (size <= 0) return;
  if (size > BytesLeft()) throw EStreamReadError("string list larger than the stream");
  QByteArray block(static_cast<int>(size), '\0');
  Read(block.data(), size);
  // Lines end at CR LF as written; a lone CR or LF also ends one, as the
  // platform's list loading accepts them.
  const QString text = AnsiToString(block);
  QStringList lines;
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c != u'\r' && c != u'\n') continue;
    lines.append(text.mid(start, i - start));
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.append(text.mid(start));
  S = lines;
}

bool TSReader::ReadBitmap(QByteArray& bmpImage) {
  const int64_t size = Read64();
  if (size <= 0) return false;
  if (size > BytesLeft()) throw EStreamReadError("bitmap larger than the stream");
  bmpImage.resize(static_cast<int>(size));
  Read(bmpImage.data(), size);
  return true;
}

// ---------------------------------------------------------------------------
// TSWriter

TSWriter::TSWriter(QIODevice* Stream, int BufSize, TRWMode Amode, TKeaStreamVersion aKeaversion)
    : TSFiler(Stream, BufSize, Amode, aKeaversion) {}

TSWriter::~TSWriter() {
  try {
    FlushBuffer();
  } catch (...) {
    // A failed final flush cannot be reported from a destructor.
  }
}

void TSWriter::Write(const void* Buf, qint64 Count) {
  const auto* src = static_cast<const char*>(Buf);
  while (Count > 0) {
    if (FBufPos == FBufSize) FlushBuffer();
    const qint64 n = std::min<qint64>(Count, FBufSize - FBufPos);
    std::memcpy(FBuffer.data() + FBufPos, src, static_cast<size_t>(n));
    FBufPos += static_cast<int>(n);
    src += n;
    Count -= n;
  }
}

void TSWriter::FlushBuffer() {
  if (FBufPos == 0) return;
  const int n = FBufPos;
  FBufPos = 0;
  if (!FStream || FStream->write(FBuffer.constData(), n) != n)
    throw EVelaAssertion(QStringLiteral("Stream write error"), kUnit);
}

qint64 TSWriter::Position() const { return (FStream ? FStream->pos() : 0) + FBufPos; }

void TSWriter::SetPosition(qint64 pos) {
  FlushBuffer();
  if (FStream) FStream->seek(pos);
}

void TSWriter::Put(TSobject* P) {
  if (!P) return WriteInteger(0);
  VelaAssert(P->Objtype() != 0, P->ClassName() + QStringLiteral(" not registered"), kUnit);
  WriteDWord(P->Objtype());
  P->Store(*this);
}

void TSWriter::WriteByte(uint8_t v) { Write(&v, 1); }
void TSWriter::WriteBool(bool v) { WriteByte(v ? 1 : 0); }
void TSWriter::WriteWord(uint16_t v) {
  uint8_t b[2];
  PutLE16(b, v);
  Write(b, 2);
}
void TSWriter::WriteSmallInteger(int16_t v) { WriteWord(static_cast<uint16_t>(v)); }
void TSWriter::WriteWordSwapped(uint16_t v) {
  uint8_t b[2];
  PutBE16(b, v);
  Write(b, 2);
}
void TSWriter::WriteDWord(uint32_t v) {
  uint8_t b[4];
  PutLE32(b, v);
  Write(b, 4);
}
void TSWriter::WriteInteger(int32_t v) { WriteDWord(static_cast<uint32_t>(v)); }
void TSWriter::WriteI64(int64_t v) {
  uint8_t b[8];
  PutLE64(b, static_cast<uint64_t>(v));
  Write(b, 8);
}
void TSWriter::WriteSingle(float v) { WriteDWord(FloatToBits(v)); }
void TSWriter::WriteDateTime(TDateTime v) { WriteI64(static_cast<int64_t>(DoubleToBits(v))); }

void TSWriter::WriteDTtoW(TDateTime DT) {
  // Nearest integer with ties to even, as the platform's Round does; a NaN
  // or a negative time writes 0, anything from 65535 tenths on is capped.
  const double tenths = std::nearbyint(DT * 864000.0);
  uint16_t w = 0;
  if (tenths >= 65535.0)
    w = 65535;
  else if (tenths > 0.0)
    w = static_cast<uint16_t>(tenths);
  WriteWord(w);
}

void TSWriter::WriteGuid(const TGuid& aGuid) {
  const auto b = aGuid.ToBytes();
  Write(b.data(), 16);
}

void TSWriter::WriteDummy(int len) {
  static const char zeros[64] = {};
  while (len > 0) {
    const int n = std::min(len, 64);
    Write(zeros, n);
    len -= n;
  }
}

void TSWriter::WriteStrDos(const QString& Value) {
  const QByteArray bytes = StringToOem(Value.left(255));
  WriteByte(static_cast<uint8_t>(bytes.size()));
  Write(bytes.constData(), bytes.size());
}

void TSWriter::WriteString(const QString& Value, bool AsAnsi) {
  const int len = static_cast<int>(Value.size());
  VelaAssert(len <= 32767, QStringLiteral("String too long for the stream"), kUnit);
  if (len == 0) return WriteByte(0);
  WriteWordSwapped(static_cast<uint16_t>(0x8000 + len));
  if (KeaVersion >= EV_6 && !AsAnsi) {
    QByteArray bytes(len * 2, '\0');
    auto* p = reinterpret_cast<uint8_t*>(bytes.data());
    for (int i = 0; i < len; ++i) PutLE16(p + 2 * i, Value[i].unicode());
    Write(bytes.constData(), bytes.size());
  } else {
    QByteArray bytes(len, '\0');
    for (int i = 0; i < len; ++i) bytes[i] = static_cast<char>(Value[i].unicode() & 0xFF);
    Write(bytes.constData(), len);
  }
}

void TSWriter::WriteStrings(const QStringList& S) {
  QByteArray block;
  for (const QString& line : S) block += StringToAnsi(line) + "\r\n";
  WriteI64(block.size());
  Write(block.constData(), block.size());
}

void TSWriter::WriteBitmap(const QByteArray& bmpImage) {
  WriteI64(bmpImage.size());
  Write(bmpImage.constData(), bmpImage.size());
}

// ---------------------------------------------------------------------------
// Copies

TSobject* CopyThroughStream(TSobject* Obj) {
  QByteArray bytes;
  {
    auto* out = new QBuffer(&bytes);
    out->open(QIODevice::WriteOnly);
    TSWriter writer(out, 1024, R_ObjCopy, EV_6);
    writer.Put(Obj);
    writer.FlushBuffer();
  }
  auto* in = new QBuffer;
  in->setData(bytes);
  in->open(QIODevice::ReadOnly);
  TSReader reader(in, 1024, R_ObjCopy, EV_6);
  try {
    return reader.Get();
  } catch (const EStreamReadError&) {
    return nullptr;
  }
}

TSobject* TSobject::SCopy() { return CopyThroughStream(this); }

// ---------------------------------------------------------------------------
// Collection forms

void TSCollection::Store(TSWriter& writer) {
  writer.WriteInteger(FCount);
  writer.WriteInteger(FLimit);
  writer.WriteInteger(FDelta);
  for (int i = 0; i < FCount; ++i) PutItem(writer, FItems[i]);
}

void TSCollection::PutItem(TSWriter& writer, void* Item) { writer.Put(static_cast<TSobject*>(Item)); }

void* TSCollection::GetItem(TSReader& reader) { return reader.Get(); }

namespace {

// Every stored item takes at least minItemBytes, so a count beyond what the
// rest of the stream can hold is corrupt; a limit is kept within reach of it.
void CheckCounts(TSReader& reader, int count, int& limit, int minItemBytes) {
  if (count < 0 || count > TSCollection::MaxCollectionSize ||
      static_cast<qint64>(count) * minItemBytes > reader.BytesLeft())
    throw EStreamReadError("collection count larger than the stream");
  const qint64 reachable = count + reader.BytesLeft() / minItemBytes + 1024;
  if (limit < count) limit = count;
  if (limit > reachable) limit = static_cast<int>(reachable);
}

}  // namespace

void TSCollection::Load(TSReader& reader) {
  FreeAll();
  const int count = reader.ReadInteger();
  int limit = reader.ReadInteger();
  FDelta = reader.ReadInteger();
  CheckCounts(reader, count, limit, 4);
  SetLimit(limit);
  for (int i = 0; i < count; ++i) {
    void* item = GetItem(reader);
    FItems[FCount++] = item;
  }
}

void TSCollection::VLCStore(TSWriter& writer) {
  writer.WriteWord(static_cast<uint16_t>(FCount));
  writer.WriteWord(static_cast<uint16_t>(FLimit));
  writer.WriteWord(static_cast<uint16_t>(FDelta));
  for (int i = 0; i < FCount; ++i) PutItem(writer, FItems[i]);
}

void TSCollection::VLCLoad(TSReader& reader) {
  FreeAll();
  const int count = reader.ReadWord();
  int limit = reader.ReadWord();
  FDelta = reader.ReadWord();
  CheckCounts(reader, count, limit, 4);
  SetLimit(limit);
  for (int i = 0; i < count; ++i) {
    void* item = GetItem(reader);
    FItems[FCount++] = item;
  }
}

void TSortedCollection::Store(TSWriter& writer) {
  TSCollection::Store(writer);
  writer.WriteBool(Duplicates);
}

void TSortedCollection::Load(TSReader& reader) {
  TSCollection::Load(reader);
  Duplicates = reader.ReadBool();
  INSERTBEHIND = false;
}

}  // namespace vela
