#pragma once
// Message numbers and the object message record of the framework.
#include <cstdint>

namespace vela {

class TSobject;

// Framework notifications (raised by the object tree, broadcast to views).
enum : uint32_t {
  SOM_Command = 0x8451,
  SOM_CommandLong = 0x8454,
  SOM_Inserted = 0x84B1,
  SOM_Deleted = 0x84B2,
  SOM_DataChanged = 0x84B3,
  SOM_ToBeDeleted = 0x84B4,
  SOM_NameChanged = 0x84B5,
  SOM_SubsDirty = 0x84B6,
  SOM_Exchanged = 0x84B7,
  SOM_StatusChanged = 0x84B8,
  SOM_StatusDirty = 0x84B9,
  SOM_DataInc = 0x84BB,
  SOM_Activity = 0x84BC,
  SOM_EndUpdateSubs = 0x84C0,
  SOM_BeginUpdateSubs = 0x84C1,
  SOM_FirstFramework = 0x84B1,
  SOM_LastFramework = 0x8513,
  // Posted to a view after EditAddSub so that it can select the new object.
  SOM_SelectNewObject = 0x86A5,
};

// The 24-byte object message record: number, kind, command, value and an
// optional object reference (offsets 8..15 stay zero).
struct TObjectMessage {
  uint32_t Msg = 0;
  uint16_t Kind = 0;
  uint16_t Command = 0;
  uint32_t Reserved1 = 0;
  uint32_t Reserved2 = 0;
  int32_t Value = 0;
  TSobject* Obj = nullptr;
};

// Fills an object message record and hands it to Target's message dispatch.
// A null Target is an assertion failure.
void DispatchObjectMessage(TSobject* Target, uint32_t Msg, int32_t Value, uint16_t Command, uint16_t Kind);

}  // namespace vela
