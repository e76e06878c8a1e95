#pragma once
// The connection base of every device object: the alive, active and detected
// state with its time-outs, the two DMX areas (data going to the device and
// data coming from it), the MIDI and time-code partners named by path, the
// listeners, and the persistence of these settings in streams, in key-value
// storage and in the registry key a caller opens.
//
// The implementation is split by role: Connection.cpp (state, alive check,
// areas, partners, messages) and Connection_settings.cpp (fields, streams,
// key-value storage, registry values).
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "devices/DMX.h"
#include "devices/ObjRef.h"
#include "devices/VelanetObject.h"

namespace vela {

class TDmxArea;
class TDmxBlock;
class TVelaStorage;

enum TBehaveFlag : uint8_t { bh_HartBeat = 0 };
using TBehaveFlags = TSmallSet<TBehaveFlag, uint8_t>;

// Field ids of a connection.
enum : uint32_t {
  CF_FrameType = 101,         // (FK_Byte, 101)
  CF_SendTimeAsHour = 1101,   // (FK_Bool, 1101)
  CF_DenyRemoteAdmin = 1102,  // (FK_Bool, 1102)
};
// Field writes through _SetField.
enum : int {
  CSF_MidiIn = 301,
  CSF_MidiOut = 302,
  CSF_TCSource = 303,
  CSF_FrameType = 304,
  CSF_SendTimeAsHour = 305,
  CSF_DenyRemoteAdmin = 306,
};

// Port use of a connection's port.
enum : int { PU_None = 0, PU_In = 1, PU_Out = 2 };

class TConnection : public TVelanetObject {
  VELA_CLASS(TConnection, TVelanetObject)

  TConnection();
  ~TConnection() override;

  // ---- alive, active, detected
  bool Alive() const { return fAlive; }
  // True: last seen now (connecting when asked to keep the connection);
  // a change fires OnDetectedChanged. False: a live connection is cycled and
  // goes not alive and inactive; on a dead one only Active is cleared.
  virtual void SetAlive(bool Value);
  bool Active() const { return FActive; }
  // True also makes the connection alive.
  void SetActive(bool Value);
  // Status bit ST_1.
  bool IsDetected() const { return GetStatus(ST(1)); }
  virtual void SetIsDetected(bool Value);
  virtual bool Connected() { return fConnected; }
  virtual void SetConnected(bool Value);
  TDateTime LastSeen() const { return fLastSeen; }
  TDateTime ActiveSet() const { return fActiveSet; }
  // Seconds of silence before the device counts as not alive; 0 switches the check off.
  uint16_t AliveTimeout() const { return fAliveTimeout; }
  void SetAliveTimeout(uint16_t Value) { fAliveTimeout = Value; }
  bool KeepConnection() const { return fKeepconnection; }
  void SetKeepConnection(bool Value) { fKeepconnection = Value; }
  TBehaveFlags BehaveFlags() const { return FBehaveFlags; }
  void SetBehaveFlags(TBehaveFlags Value) { FBehaveFlags = Value; }
  // State icon override (0 none).
  uint8_t IoStatus() const { return FIoStatus; }
  void SetIoStatus(uint8_t Value);
  // Told when detected, alive or the shown data change.
  std::function<void(TConnection* Sender)> OnDetectedChanged;
  void FireDetectedChanged();
  // The alive check of VM_AliveCheck (once a second from the box manager).
  virtual void AliveCheck();

  // ---- settings shown and stored
  bool DenyRemoteAdmin() const { return FDenyRemoteAdmin; }
  void SetDenyRemoteAdmin(bool Value) { FDenyRemoteAdmin = Value; }
  bool CanMidiOut() const { return fCanMidiOut; }
  void SetCanMidiOut(bool Value) { fCanMidiOut = Value; }
  bool SendTrackAsHour() const { return FSendTimeAsHour; }
  virtual void SetSendTrackAsHour(bool Value) { FSendTimeAsHour = Value; }
  uint8_t FrameType() const { return FSTcFrameType; }
  virtual void SetFrameType(uint8_t Value) { FSTcFrameType = Value; }
  QString FrameTypeStr() const { return FrameTypeText(FSTcFrameType); }
  // "24 Fps", "25 Fps", "30 Drop", "30 Fps"; "******" for other values.
  static QString FrameTypeText(int FrameType);
  virtual QString TimeStr() { return QStringLiteral("**:**:**:**"); }
  QObject* PrEditor() const { return FPrEditor.data(); }
  virtual void SetPrEditor(QObject* Value) { FPrEditor = Value; }
  // This program has no port collections.
  virtual TVelaObject* ComPorts() { return nullptr; }
  virtual void SetComPorts(TVelaObject*) {}

  // ---- DMX areas (owned)
  virtual TDmxArea* InBlocks() { return fCInBlocks; }
  virtual TDmxArea* OutBlocks() { return fCOutBlocks; }
  // Frees the old area and takes Value, becoming its owner.
  virtual void SetInBlocks(TDmxArea* Value);
  virtual void SetOutBlocks(TDmxArea* Value);
  // Creates the area when missing (in: from the network; out: to it), then
  // sets its number of blocks and the flag.
  TDmxArea* EnsureInArea(int Count, bool IsOutput);
  TDmxArea* EnsureOutArea(int Count, bool OutputRestricted);
  // Empties the slot of the connection that holds Area, without freeing it
  // (an area taken over elsewhere, or one being freed).
  static void ReleaseArea(TDmxArea* Area);
  virtual void EnableInBlock(int Port, bool On);
  virtual void EnableOutBlock(int Port, bool On);
  // PU_In when the port's in block is enabled, else PU_Out when its out
  // block is, else PU_None; setting enables the one and disables the other.
  virtual int PortUse(int Port);
  virtual void SetPortUse(int Port, int Use);
  // Whether To may take DMX from From; without To, whether the in area may.
  virtual bool AcceptDMX(TDmxBlock* From, TDmxBlock* To);
  virtual TDmxArea* RefOutBlocks() { return nullptr; }
  virtual void SendDmx(TDmxArea*, int /*PortId*/, uint32_t /*TargetIp*/) {}
  virtual void HandleVelaPacketIn(const QByteArray&, uint32_t /*SourceIp*/) {}
  virtual TConnection* Detect() { return this; }
  // A port may carry input or output, not both.
  bool InOrOutMutex = false;
  // The icon index is followed by a variant for the not-alive state.
  bool UseDoubleIcon = false;
  int32_t Busy = 0;

  // ---- network group and universe rules
  // Min 0, max 255, valid in 0..255; a universe is shown from one.
  virtual bool ValidateNetUniverse(bool IsNet, int Value, bool& DisplayFromOne, int& Max, int& Min);
  virtual int DefaultNetUniverse(bool IsInput, int Index);
  virtual int DefaultNetGroup() { return 0; }
  virtual QObject* AdvancedSetup(QObject*) { return nullptr; }
  virtual bool CanAdvansedSetup() { return false; }

  // ---- MIDI and time-code partners, named by "\"-separated paths
  TConnection* MidiIn() const { return FMidiIn.Get(); }
  TConnection* MidiOut() const { return FMidiOut.Get(); }
  TConnection* TCSource() const { return FTCSource.Get(); }
  void SetMidiIn(TConnection* Value);
  void SetMidiOut(TConnection* Value);
  virtual void SetTCSource(TConnection* Value);
  const QString& MidiInPath() const { return FMidiInPath; }
  const QString& MidiOutPath() const { return FMidiOutPath; }
  const QString& TCSourcePath() const { return FTCSourcePath; }
  void SetMidiInPath(const QString& Path);
  void SetMidiOutPath(const QString& Path);
  void SetTCSourcePath(const QString& Path);
  // The partner a path names. Nothing in this program resolves paths: none.
  virtual TConnection* ResolvePartnerPath(const QString& Path);
  // Opens or closes a local MIDI port; only MIDI ports act on it.
  virtual void SetPortOpen(bool) {}
  // The names from the root down to Obj, joined by "\".
  static QString NamePath(TVelaObject* Obj);

  // ---- pending browser status refreshes, held in 0..5
  uint16_t BrStatusDirty() const { return fBrStatusDirty; }
  void RaiseBrStatusDirty();
  void LowerBrStatusDirty();

  // ---- listeners (connections, not owned)
  void AddListener(TVelaObject* Obj) override;
  void RemoveListener(TVelaObject* Obj) override;
  std::vector<TConnection*> Listeners() const;

  // ---- registry values in the key the caller opened (Storage's current folder)
  virtual void LoadFromRegistry(TVelaStorage& Key);
  virtual void StoreToRegistry(TVelaStorage& Key);

  // ---- overrides
  int GetImageindex(bool Expanded) override;
  bool GetFieldPointer(TSFieldKind FieldKind, uint32_t FieldId, void*& Ptr) override;
  void _SetField(bool IsNetId, int Afield, const void* Data) override;
  void Storedata(TSWriter& Writer) override;
  void Loaddata(TSReader& Reader) override;
  void Store(TSWriter& Writer) override;
  void Load(TSReader& Reader) override;
  void StoreStatus(TSWriter& Writer) override;
  void LoadStatus(TSReader& Reader) override;
  void StoreDataToXml(TVelaStorage& Storage) override;
  void LoadDataFromXml(TVelaStorage& Storage) override;
  TVelaObject* PrivatScanSubs(void* ABP, const TScanProc& Proc, TSlSet Lev, bool find) override;
  void Dispatch(TMessage& Message) override;
  // On a click or in the channel menu: "Show Output" (the in area) and
  // "Show Input" (the out area) for the areas that exist.
  void AddMenuItems(QObject* Caller, TPopMenuKind Kind, TVelaMenuItem* Menu, TSFieldKind AFkind, uint32_t AFid,
                    TVelaObject* Initiator, int ParentLevel, const TDropParams& DropParams,
                    TVelaObject* ParamObj) override;
  // Opens the output map on the area of the entry (Param1: 1 in, 0 out).
  void ShowAreaClick(TVelaMenuItem* Sender);

 protected:
  // Closes the MIDI partner Partner before it is replaced, reopens afterwards.
  void ReplaceMidiPartner(TObjRef<TConnection>& Partner, QString& Path, TConnection* Value);
  void ReplaceMidiPartnerPath(TObjRef<TConnection>& Partner, QString& Path, const QString& NewPath);

  bool fAlive = false;
  bool FActive = false;
  bool FDenyRemoteAdmin = false;
  bool fKeepconnection = false;
  bool fConnected = false;
  TDateTime fLastSeen = 0;
  uint16_t fAliveTimeout = 0;
  TDateTime fActiveSet = 0;
  TDmxArea* fCInBlocks = nullptr;
  TDmxArea* fCOutBlocks = nullptr;
  bool fCanMidiOut = false;
  TObjRef<TConnection> FMidiOut;
  TObjRef<TConnection> FMidiIn;
  TObjRef<TConnection> FTCSource;
  bool FSendTimeAsHour = false;
  uint8_t FSTcFrameType = 0;
  QString FMidiInPath;
  QString FMidiOutPath;
  QString FTCSourcePath;
  QPointer<QObject> FPrEditor;
  uint16_t fBrStatusDirty = 0;
  TBehaveFlags FBehaveFlags;
  uint8_t FIoStatus = 0;

 private:
  std::vector<TObjRef<TConnection>> fListeners;
};

}  // namespace vela
