#pragma once
// The framework's network record streams: the status stream, the data
// stream and the object stream, read through HandleNetStream and written by
// StoreNetdata and WriteNetStatusRecord.
//
// Every record starts with the absolute position of the next record (signed
// 32-bit) and the net id of its object (unsigned 32-bit). The readers check
// each record against the stream's size, catch the errors of a record they
// cannot read and go on at the next record; they stop at a position of 0 or
// less and at any position that would not move forward or lies beyond the end.
#include <QIODevice>
#include <cstdint>
#include <memory>

#include "framework/sstreams.h"

namespace vela {

class TVelaObject;
class TSCollection;

// Stream commands (the same numbers are the operations offered to Sendtoserver).
enum TNetStreamCommand : int {
  NC_Inserted = 4100,  // object stream: insert silently at Index, return the object
  NC_Insert = 4101,    // object stream: SInsert with notification
  NC_InsertAt = 4102,  // object stream: SAtInsert at Index with notification
  NC_Freed = 4103,
  NC_Free = 4104,
  NC_Moved = 4105,
  NC_Move = 4106,
  NC_SetField = 4107,  // as a stream command: a data stream
  NC_IncField = 4108,
  NC_Status = 4109,        // a status stream
  NC_CommandObject = 4114  // object stream: the object goes to SetFieldValue(FK_Command, Index)
};

// Buffer sizes of the three record streams.
constexpr int kNetStatusBufSize = 1024;
constexpr int kNetDataBufSize = 4096;
constexpr int kNetObjectBufSize = 1024;
// Next position and net id.
constexpr int kNetRecordHeaderSize = 8;

// A writer or reader for one of the record streams (Mode R_Status, R_Data or
// R_Sobject): its buffer size, EV_6, net ids on. The stream is taken over.
std::unique_ptr<TSWriter> NewNetWriter(QIODevice* Stream, TRWMode Mode);
std::unique_ptr<TSReader> NewNetReader(QIODevice* Stream, TRWMode Mode, TVelaObject* Server = nullptr);

// Consumes Stream (it is always freed) and acts by Command for Receiver:
// the object commands look the target up by ServerId (Receiver.FindServerid)
// and return the inserted object (null when nothing was inserted; an object
// that was read but not taken is freed); 4107 and 4109 read a data or a
// status stream for the objects found below Receiver; other commands only
// free the stream. Bad input never raises out of here. With 4114 the target's
// SetFieldValue gets, as Data, the address of a TSobject* holding the object
// (field writes get the address of their value); the object is freed after.
TVelaObject* HandleNetStream(TVelaObject& Receiver, QIODevice* Stream, uint32_t ServerId, int Index, int Command);

// The record readers behind 4107 and 4109; Reader is positioned at the first
// record. They never raise because of the stream's content.
void ReadNetDataStream(TVelaObject& Receiver, TSReader& Reader);
void ReadNetStatusStream(TVelaObject& Receiver, TSReader& Reader);

// Writes one status record of Obj: a placeholder for the next position, the
// net id, Obj's StoreStatus block; then flushes and patches the placeholder
// with the position after the record. A real-time object calls it from its
// StoreNetStatus.
void WriteNetStatusRecord(TSWriter& Writer, TVelaObject& Obj);

// Writes the data records of Obj and of the changed objects below it: a record
// for an object with changed data (any of data flags 0 to 5) holds the next
// position, the net id, the data flags byte, the sub collection when the flags
// hold S_SubsChanged, then the object's Storedata form. Below an object that
// is VS_ChildrenDataDirty (and did not just write its whole subs) each direct
// sub does the same. Afterwards VS_ChildrenDataDirty and data flags 0 to 5 are
// cleared.
void StoreNetdata(TSWriter& Writer, TVelaObject& Obj);

// Reads a sub collection object: null, or a collection whose items are all
// objects of the tree. Anything else is freed and raises EStreamReadError.
TSCollection* ReadSubCollection(TSReader& Reader);

}  // namespace vela
