#pragma once
// Helpers of the stream tests: byte strings from hex, writers and readers
// on memory blocks, a probe class with data and a status block (registered
// under a test-only id) and a recorder of the tree's notifications.
#include <QBuffer>
#include <QByteArray>
#include <functional>
#include <memory>
#include <vector>

#include "framework/FrameworkHooks.h"
#include "framework/sstreams.h"
#include "framework/velaobject.h"

namespace streamtest {

using namespace vela;

// Test-only object types.
constexpr uint32_t kProbeType = 60001;
constexpr uint32_t kServerProbeType = 60002;

// "65 00 00 00" -> the four bytes (spaces are ignored).
QByteArray Hex(const char* hex);
// The bytes as "65 00 00 00", for readable failure messages.
std::string ToHex(const QByteArray& bytes);

// A memory stream holding bytes, open for reading (or for reading and writing).
QBuffer* MemoryStream(const QByteArray& bytes = {}, QIODevice::OpenMode mode = QIODevice::ReadOnly);

// Runs Write on a writer over a fresh memory block and returns the bytes.
QByteArray Written(const std::function<void(TSWriter&)>& Write, TKeaStreamVersion Version = EV_6, bool UseNetid = false,
                   TRWMode Mode = R_ObjCopy);
// Runs Write on a record-stream writer (NewNetWriter) of Mode over a fresh
// memory block and returns the bytes.
QByteArray NetWritten(TRWMode Mode, const std::function<void(TSWriter&)>& Write);
// A reader over a copy of bytes.
std::unique_ptr<TSReader> ReaderOn(const QByteArray& bytes, TKeaStreamVersion Version = EV_6, bool UseNetid = false,
                                   TRWMode Mode = R_ObjCopy);

// A tree object with a 32-bit value, a word id (field FK_Word 0) and a
// status block, written like a real-time object's: status word and dirty
// status-data word. Counts its instances and the calls the streams make.
class TProbe : public TVelaObject {
  VELA_CLASS(TProbe, TVelaObject)
  TProbe();
  ~TProbe() override;

  static int Alive;

  int32_t Value = 0;
  uint16_t Word = 0;
  uint32_t Status = 0;
  uint32_t DirtyStatus = 0;
  uint32_t DirtyData = 0;

  int AfterLoadNetStatusCalls = 0;
  int AfterSubsLoadedCalls = 0;
  // FK_Command writes: the field id and the name of the object handed over.
  std::vector<std::pair<uint32_t, QString>> Commands;

  bool GetFieldPointer(TSFieldKind FieldKind, uint32_t FieldId, void*& Ptr) override;
  void SetFieldValue(TSFieldKind FieldKind, uint32_t FieldId, const void* Data, bool AsIncrement) override;
  void Storedata(TSWriter& Writer) override;
  void Loaddata(TSReader& Reader) override;
  void StoreStatus(TSWriter& Writer) override;
  void LoadStatus(TSReader& Reader) override;
  void AfterLoadNetStatus() override { ++AfterLoadNetStatusCalls; }
  void AfterSubsLoaded() override { ++AfterSubsLoadedCalls; }
  // As a real-time object: one status record when the object is dirty.
  void StoreNetStatus(TSWriter& Writer) override;

  // Marks a status change the way a real-time object does.
  void ChangeStatus(uint32_t NewStatus);
};

// An object that records the net ids it is told of.
class TServerProbe : public TVelaObject {
  VELA_CLASS(TServerProbe, TVelaObject)
  std::vector<uint32_t> Registered;
  void RegisterNetId(TVelaObject* Obj, uint32_t Id) override {
    Registered.push_back(Id);
    TVelaObject::RegisterNetId(Obj, Id);
  }
};

// An object of a class that is never registered.
class TUnregisteredThing : public TVelaObject {
  VELA_CLASS(TUnregisteredThing, TVelaObject)
};

// Registers the test classes (idempotent).
void RegisterTestTypes();

TProbe* NewProbe(const QString& Name, uint32_t NetId, int32_t Value = 0, uint16_t Word = 0);

// Records the notifications raised while it lives.
class TNotifications {
 public:
  struct Entry {
    uint32_t Msg;
    TVelaObject* Obj;
  };
  TNotifications();
  ~TNotifications();
  int Count(uint32_t Msg, const TVelaObject* Obj = nullptr) const;
  std::vector<Entry> Entries;

 private:
  decltype(TFrameworkHooks::Notify) fSaved;
};

// Every sub in the subtree of Obj has Obj's subtree member as owner.
bool OwnersConsistent(TVelaObject* Obj);

}  // namespace streamtest
