#pragma once
// The network-aware object of the tree: the common base of every device
// object (connections, DMX blocks and their sources). Every instance stands
// in one process-wide list from construction to destruction.
#include <QIODevice>
#include <cstdint>
#include <span>
#include <vector>

#include "devices/ObjRef.h"
#include "framework/RealTime.h"
#include "platform/DateTime.h"

namespace vela {

// Messages the device objects take (Dispatch, or DispatchObject with the
// first parameter in Kind).
enum : uint32_t {
  VM_AliveCheck = 0x844D,   // a connection runs its alive check (the box manager's poll tick)
  VM_Periodic = 0x844E,     // the periodic hook
  VM_DeviceState = 0x8452,  // with first parameter VMP_Off: a connection goes not alive, a block inactive
};
constexpr intptr_t VMP_Off = 1002;

class TVelanetObject : public TRealTime {
  VELA_CLASS(TVelanetObject, TRealTime)

  TVelanetObject();
  ~TVelanetObject() override;

  uint16_t ItemId() const { return FItemId; }
  void SetItemId(uint16_t Value) { FItemId = Value; }
  TVelanetObject* MidiOutPorts() const { return FMidiPorts.Get(); }
  void SetMidiOutPorts(TVelanetObject* Value) { FMidiPorts.Set(Value); }
  TVelanetObject* MidiInPorts() const { return FMidiInPorts.Get(); }
  void SetMidiInPorts(TVelanetObject* Value) { FMidiInPorts.Set(Value); }
  // When set the object keeps no settings in the registry.
  bool NotStoreRegistry = false;

  // ---- virtual operations
  // Hands the call to the nearest owner that is a network object; 0 at the top.
  virtual intptr_t PassToNetOwner(uint32_t Call, intptr_t Param1, intptr_t Param2);
  // Runs on VM_Periodic; empty here.
  virtual void PeriodicStep() {}
  // Record streams of a network peer (none exists in this program): each
  // record is the next record's position, an owner type, an unused number
  // and the server id of an object below the owner of that type, followed by
  // the object's data or status. Stream stays the caller's.
  virtual void HandleDataStream(QIODevice& Stream, int Universe);
  virtual void HandleStatusStream(QIODevice& Stream, int Universe);
  // Runs after a status record was read for Obj; empty here.
  virtual void StatusRecordRead(TVelaObject* Obj);
  virtual int HandledmxinDoNotUse() { return 0; }
  // The status broadcast of a peer: an object appends its record at Offset
  // (advancing it) and reads one back. The base writes and reads nothing.
  virtual bool AddToStatusBroadcast(std::span<uint8_t> Buffer, int& Offset);
  virtual int ReadFromStatusBroadcast(std::span<const uint8_t> Buffer, int& Offset);

  // ---- settings (the registry key is opened by a caller; here nothing does)
  virtual void StoreSettings() {}
  virtual void LoadSettings1() {}
  virtual QString RegistryName() { return Name(); }
  virtual int NumInblocs() { return 0; }

  // ---- overrides
  void AfterInsert(TVelaObject* Obj) override;
  void PostDelete(TVelaObject* Obj) override;
  void Dispatch(TMessage& Message) override;
  // An object message is handled as the window message whose first
  // parameter is Kind + 65536 * Command.
  void DispatchObject(TObjectMessage& Message) override;

 private:
  void ReadRecords(QIODevice& Stream, bool Status);

  uint16_t FItemId = 0;
  TObjRef<TVelanetObject> FMidiPorts;
  TObjRef<TVelanetObject> FMidiInPorts;
};

// Every network object alive, in order of construction.
const std::vector<TVelanetObject*>& VelanetObjects();

}  // namespace vela
