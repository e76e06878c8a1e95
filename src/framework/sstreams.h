#pragma once
// Binary object streams: typed values, objects written as their registered
// type followed by their data, and their reading back through the registry.
#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <stdexcept>

#include "platform/DateTime.h"
#include "platform/Guid.h"

namespace vela {

class TSobject;

enum TRWMode : uint8_t {
  R_FromFile = 0,
  W_ToFile = 1,
  R_FromNet = 2,
  W_ToNet = 3,
  R_Status = 4,
  R_Data = 5,
  R_ObjCopy = 6,
  R_Sobject = 7,
  R_FlatStream = 8,
};

enum TKeaStreamVersion : uint8_t { EV_Old = 0, EV_1, EV_2, EV_3, EV_4, EV_5, EV_6 };

// A read that runs past the end of the stream, or data that cannot be what
// the stream claims (a count larger than the bytes left, nesting too deep).
class EStreamReadError : public std::runtime_error {
 public:
  explicit EStreamReadError(const char* what) : std::runtime_error(what) {}
};

class TSFiler {
 public:
  // Takes the stream; it is freed with the filer unless KeepStream is set.
  TSFiler(QIODevice* Stream, int BufSize, TRWMode Amode, TKeaStreamVersion aKeaversion);
  virtual ~TSFiler();
  TSFiler(const TSFiler&) = delete;
  TSFiler& operator=(const TSFiler&) = delete;

  QIODevice* Stream() const { return FStream; }
  qint64 Size() const;
  virtual void FlushBuffer() = 0;

  bool IgnoreChildren() const { return FIgnoreChildren; }
  void SetIgnoreChildren(bool v) { FIgnoreChildren = v; }
  int Nextpos() const { return fNextPos; }
  void SetNextpos(int v) { fNextPos = v; }
  bool NonVLC() const { return FNonVLC; }
  void SetNonVLC(bool v) { FNonVLC = v; }
  int Status() const { return fStatus; }

  bool UseNetid = false;
  uint8_t VlcUniverse = 0;
  bool KeepStream = false;
  TRWMode RWMode;
  TKeaStreamVersion KeaVersion;

 protected:
  QIODevice* FStream;
  QByteArray FBuffer;
  int FBufSize;
  int FBufPos = 0;
  int FBufEnd = 0;
  bool FIgnoreChildren = false;
  int fNextPos = 0;
  bool FNonVLC = true;
  int fStatus = 0;
};

class TSReader : public TSFiler {
 public:
  TSReader(QIODevice* Stream, int BufSize, TRWMode Amode, TKeaStreamVersion aKeaversion);

  // Reads exactly Count bytes; a short read raises EStreamReadError.
  void Read(void* Buf, qint64 Count);
  qint64 Position() const;
  void SetPosition(qint64 pos);
  qint64 BytesLeft() const;
  void FlushBuffer() override;

  // Reads an object: its type, then its data through the class's loading
  // constructor. Type 0 and unregistered types yield null.
  virtual TSobject* Get();

  uint8_t ReadByte();
  bool ReadBool();
  uint16_t ReadWord();
  int16_t ReadSmallInteger();
  int32_t ReadInteger();
  uint32_t ReadDWord();
  int64_t Read64();
  float ReadSingle();
  TDateTime ReadDateTime();
  // A time of day from tenths of a second.
  TDateTime ReadWtoDT();
  TGuid ReadGuid();
  QString ReadStrDos();
  QString ReadString(bool AsAnsi = false);
  void ReadStrings(QStringList& S);
  // The framed BMP file image of a bitmap; false when the frame is empty.
  bool ReadBitmap(QByteArray& bmpImage);

  TSobject* ServerObject() const { return FServerObject; }
  void SetServerObject(TSobject* v) { FServerObject = v; }

  // Guards against unbounded recursion of nested objects.
  static constexpr int MaxNesting = 200;
  int Nesting() const { return fNesting; }

 private:
  TSobject* FServerObject = nullptr;
  int fNesting = 0;
};

class TSWriter : public TSFiler {
 public:
  TSWriter(QIODevice* Stream, int BufSize, TRWMode Amode, TKeaStreamVersion aKeaversion);
  ~TSWriter() override;

  void Write(const void* Buf, qint64 Count);
  void FlushBuffer() override;
  qint64 Position() const;
  void SetPosition(qint64 pos);

  // Writes an object as its type followed by its data; null as type 0.
  virtual void Put(TSobject* P);

  void WriteByte(uint8_t v);
  void WriteBool(bool v);
  void WriteWord(uint16_t v);
  void WriteSmallInteger(int16_t v);
  void WriteWordSwapped(uint16_t v);
  void WriteInteger(int32_t v);
  void WriteDWord(uint32_t v);
  void WriteI64(int64_t v);
  void WriteSingle(float v);
  void WriteDateTime(TDateTime v);
  void WriteDTtoW(TDateTime DT);
  void WriteGuid(const TGuid& aGuid);
  void WriteDummy(int len);
  void WriteStrDos(const QString& Value);
  void WriteString(const QString& Value, bool AsAnsi = false);
  void WriteStrings(const QStringList& S);
  void WriteBitmap(const QByteArray& bmpImage);

  int LastPosition = 0;
  bool AsCrashFile = false;
};

// Writes Obj into a memory block and reads it back as a new object, with
// the copy settings (buffer 1024, R_ObjCopy, EV_6). Null when reading fails.
TSobject* CopyThroughStream(TSobject* Obj);

}  // namespace vela
