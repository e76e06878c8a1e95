#pragma once
// The box model: one object per Tyx box. TCustomTyxBox carries identity,
// kind, addresses and the command sending (alone it stands for a box that
// announced itself uninitialised); TTyxBox adds the ports with their
// confirmed and pending setups, the IP settings, LEDs, web flag, restart
// handling and the DMX channel ranges for boxes reached by unicast.
//
// The box opens no socket. Commands leave through an ITyxCommandSender and
// DMX for WAN boxes through an ITyxDmxSender; the box manager implements
// both. A box uses the sender set on it, else its owner when the owner
// implements the interface.
//
// The implementation is split by role: TyxBox.cpp (identity, construction,
// properties, commands, reports), TyxBoxPorts.cpp (port queries, port
// changes, limits, commit and sending the setup, DMX to WAN boxes) and
// TyxBoxFields.cpp (columns, field texts and numbers, field writes and their
// checks, pick lists, protocol names, the context menu entry).
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "devices/DMX.h"
#include "devices/DmxAdapter.h"
#include "devices/TyxProtocol.h"
#include "devices/TyxReports.h"
#include "platform/Ipv4.h"

namespace vela {

class TCustomTyxBox;
class TTyxBox;

// Registered object type of TTyxBox.
constexpr uint32_t kTyxBoxType = 603;
// Seconds after which DMX is sent to a WAN box again even when unchanged.
constexpr double kWanDmxRefreshSeconds = 4.0;

// Field ids of a box. The port fields add the port number (0..7) to their id.
enum : uint32_t {
  TYF_Name = 0,             // (FK_Text, 0): the box name; a write renames the box
  TYF_Version = 1,          // (FK_Special, 1): firmware version text
  TYF_Ip = 2,               // (FK_Special, 2): IP address text
  TYF_Status = 3,           // (FK_Special, 3): status text
  TYF_Mac = 4,              // (FK_Special, 4): MAC text
  TYF_Leds = 1,             // (FK_Bool, 1): LEDs on or off, write only
  TYF_NeedReboot = 3,       // (FK_Bool, 3): read only
  TYF_Identify = 2,         // (FK_Command, 2)
  TYF_PortMode = 10,        // (FK_ByteKind, 10 + port)
  TYF_PortProtocol = 20,    // (FK_ByteKind, 20 + port)
  TYF_PortTimeout = 40,     // (FK_Byte, 40 + port), also (FK_Bool, 40 + port)
  TYF_PortSubNet = 10,      // (FK_Word, 10 + port): subnet, group or net
  TYF_PortUniverse = 20,    // (FK_Word, 20 + port): universe, or start channel in offset mode
  TYF_PortSize = 30,        // (FK_Word, 30 + port): channel count
  TYF_PortOffsetMode = 10,  // (FK_Bool, 10 + port)
};
constexpr int kTyxMaxPorts = 8;

// Sends a command packet to a box's command destination
// (TCustomTyxBox::CommandDestination) through the status socket.
class ITyxCommandSender {
 public:
  virtual ~ITyxCommandSender() = default;
  virtual void SendToBox(TCustomTyxBox& Box, const QByteArray& Packet) = 0;
};

// Sends DMX pool levels to a WAN box: Levels are the channels from StartOffset
// (0-based) on, for the given net group and universe.
class ITyxDmxSender {
 public:
  virtual ~ITyxDmxSender() = default;
  virtual void SendDmxToBox(TTyxBox& Box, int NetGroup, int Universe, int StartOffset,
                            std::span<const uint8_t> Levels) = 0;
};

// Opens the Set IP dialog on InOut; true (with InOut changed) on OK. The GUI
// layer installs it; without it the box's IP dialog does nothing.
std::function<bool(TIpSettings& InOut)>& TyxIpDialogHook();

class TCustomTyxBox : public TDmxAdapter {
  VELA_CLASS(TCustomTyxBox, TDmxAdapter)

  TCustomTyxBox() = default;
  ~TCustomTyxBox() override;

  // ---- construction (the plain constructor serves the class registry)
  static TCustomTyxBox* Create(TTyxKind Kind, const QString& MacName, const QString& Name);
  static TCustomTyxBox* CreateDetected(TTyxKind Kind, const TEmac& Mac, uint32_t Ip, const QString& Name);
  // Takes MAC, IP and name from a detection and marks the box detected.
  void UpdateFromDetection(const QString& Name, uint32_t Ip, const TEmac& Mac);

  // ---- identity and texts
  TTyxKind BoxKind() const { return fBoxKind; }
  // Also sets the port count from the kind (unchanged for Uninitialized).
  void SetBoxKind(TTyxKind Value);
  int NumPorts() const { return FNumPorts; }
  QString KindText() const { return TyxKindText(fBoxKind); }
  const TEmac& BoxMac() const { return fBoxMac; }
  const QString& MacName() const { return fMacName; }
  QString MacText() const { return vela::MacText(fBoxMac); }
  uint32_t SerialNo() const { return vela::SerialNo(fBoxMac); }
  const TFirmVer& SVersion() const { return fSVersion; }
  void SetSVersion(const TFirmVer& Value) { fSVersion = Value; }
  uint32_t FirmVersion() const { return vela::FirmVersion(fSVersion); }
  QString GetVersionStr() const { return FirmVersionText(fSVersion); }
  QString VersionStr() const { return GetVersionStr(); }
  bool CanCompressed() const { return vela::CanCompressed(FirmVersion()); }
  bool CanVelaUnicastOutput() const { return vela::CanVelaUnicastOutput(FirmVersion()); }
  // The box takes only uncompressed DMX pool data.
  bool NeedsUncompressed() const { return !FWanBox && !CanCompressed(); }
  // "Rebooting", "Save Changes", "Alive" or "Not Alive".
  virtual QString StatusText() const;
  // Kind text, the name, then short MAC text and IP in brackets.
  QString GetNodetext() override;
  // Kind text, "-", short MAC text.
  QString RegistryName() override;

  // ---- addresses and IP settings
  uint32_t IP() const { return fIP; }
  void SetIP(uint32_t Value);
  QString IpStr() const { return Ipv4Text(fIP); }
  // The box's own address for a WAN box, else the status group 237.1.1.1.
  uint32_t CommandDestination() const;
  bool WanBox() const { return FWanBox; }
  void SetWanBox(bool Value);
  uint8_t UseDHCP() const { return FUseDHCP; }
  void SetUseDHCP(uint8_t Value) { FUseDHCP = Value; }
  uint32_t DefaultIp() const { return FDefaultIp; }
  void SetDefaultIp(uint32_t Value) { FDefaultIp = Value; }
  uint32_t DefaultMask() const { return FDefaultMask; }
  void SetDefaultMask(uint32_t Value) { FDefaultMask = Value; }

  // ---- state
  // Becoming alive ends a restart.
  void SetAlive(bool Value) override;
  bool ReBooting() const { return FReBooting; }
  // True on a live box: restarting, shown not alive until heard again.
  void SetReBooting(bool Value);
  virtual bool NeedReboot() const { return false; }

  // ---- commands
  ITyxCommandSender* CommandSender() const;
  void SetCommandSender(ITyxCommandSender* Sender) { fSender = Sender; }
  // Builds command Code with the box's MAC and sends it; false without a sender.
  bool SendCommand(uint16_t Code, std::span<const uint8_t> Data = {});
  bool SendPacket(const QByteArray& Packet);
  void Identify();
  void FlashMe();
  // Command 4 with the name trimmed and cut to 31 characters; the name the
  // object shows changes with the next report.
  void SetBoxName(const QString& Name);
  void SendLeds(bool On);
  // Command 6 only.
  void SetDefault(uint32_t Ip, uint32_t Mask, uint8_t Dhcp);
  // Command 6 with the parsed texts, then restarting. Texts that are no
  // dotted-quad address send nothing; false then.
  bool SetDefault(const QString& IpText, const QString& MaskText, uint8_t Dhcp);
  // Command 6 with the stored default settings, then restarting.
  void SetCurrentIp();
  // Restarts the box with unchanged IP settings, so it stores what needed a restart.
  void SaveAndReboot();
  // The Set IP dialog through TyxIpDialogHook; on OK the result is sent.
  bool ShowIpDialog();

  // ---- fields and columns
  // Name, MAC and IP, none of them editable.
  uint16_t DefaultPDef(TLParamDef& Arr, TParamsOpt& Opt) override;
  // Adds the IP and MAC texts.
  QString FF(TSFieldKind AFkind, uint32_t AFid, int Param1 = 0, int Param2 = 0) override;

 protected:
  // Stores the port count; TTyxBox also resizes its port records.
  virtual void SetNumPorts(int Count) { FNumPorts = static_cast<uint8_t>(Count); }
  void Init(TTyxKind Kind, const QString& MacName, const QString& Name);
  void DataChanged() { SetDataChanged(FK_Undefined, 0, false); }

  TTyxKind fBoxKind = E_Tyx2_10;
  uint8_t FNumPorts = 0;
  uint32_t fIP = 0;
  QString fMacName;
  TFirmVer fSVersion{};
  TEmac fBoxMac{};
  bool FWanBox = false;
  uint8_t FUseDHCP = 0;
  uint32_t FDefaultIp = 0;
  uint32_t FDefaultMask = 0;
  bool FReBooting = false;

 private:
  ITyxCommandSender* fSender = nullptr;
};

// One port: the setup as the box last reported it, the setup the operator
// wants, and what was last sent to a WAN box.
struct TTyxPort {
  TOnePortSetup Setup;
  TOnePortSetup NewSetup;
  TDmxOneBlock LastSentBuf{};
  TDateTime LastSent = 0;
};

struct TSimplePatchEntry {
  TTyxProts SourceProt = tyxp_none;
  uint8_t SubNet = 0;
  uint16_t Channel = 0;
};
using TSimplePatch = std::array<TSimplePatchEntry, kDmxChannels>;

struct TChRangeEntry {
  uint16_t Min = 1;
  uint16_t Max = kDmxChannels;
};
using TChRange = std::array<TChRangeEntry, 2>;

class TTyxBox : public TCustomTyxBox {
  VELA_CLASS(TTyxBox, TCustomTyxBox)

  TTyxBox() = default;
  ~TTyxBox() override;

  static TTyxBox* Create(TTyxKind Kind, const QString& MacName, const QString& Name);
  static TTyxBox* CreateDetected(TTyxKind Kind, const TEmac& Mac, uint32_t Ip, const QString& Name);

  // ---- state
  // Leaving the alive state forgets that the setup was received.
  void SetAlive(bool Value) override;
  QString StatusText() const override;
  bool NeedReboot() const override { return FNeedReboot; }
  void SetNeedReboot(bool Value);
  uint16_t Debug1() const { return fDebug1; }
  void SetDebug1(uint16_t Value) { fDebug1 = Value; }
  uint8_t LedsLevel() const { return FLedsLevel; }
  // A change is sent (command 7); the report confirms it.
  void SetLedsLevel(uint8_t Value);
  bool WebDisabled() const { return FWebDisabled; }
  // Sends command 11; the flag follows the next report.
  void SetWebDisabled(bool Value);
  bool DirtyOnNext() const { return fDirtyOnNext; }
  // True also tells the views to show the values again (undoing a refused edit).
  void SetDirtyOnNext(bool Value);
  void ClearDirtyOnNext() { fDirtyOnNext = false; }

  // A report with port records arrived since the box last stopped being alive.
  bool SetupReceived = false;
  // Re-entry counter of the box manager's report handler.
  int32_t UpdatingBox = 0;
  // Dummy box: never sends setups.
  bool AsDemo = false;
  // Held for the multi-protocol patch mode; nothing uses them here.
  TSimplePatch fPatch1{};
  TSimplePatch fPatch2{};

  // ---- the content of a status report (the manager's receive handler)
  // For a report with port records: takes the setups (both confirmed and
  // pending), firmware and, when present, settings, need-reboot flag, debug
  // word and name; when anything changed or dirty-on-next was set, tells the
  // views, clears dirty-on-next and marks the data changed; then
  // SetupReceived. False (nothing taken) for a report without port records.
  bool TakeStatusReport(const TTyxStatusReport& Report);

  // ---- ports
  std::span<TTyxPort> TyxPorts() { return fTyxPorts; }
  std::span<const TTyxPort> TyxPorts() const { return fTyxPorts; }
  bool ValidPort(int Port) const { return Port >= 0 && Port < static_cast<int>(fTyxPorts.size()); }
  // The confirmed setup of a port; null outside the valid ports.
  const TOnePortSetup* PortSetup(int Port) const;
  const TOnePortSetup* PendingSetup(int Port) const;

  // Queries of the confirmed setup; 0 for a port outside the valid ports.
  TTyxProts PortProtocol(int Port) const;
  TEboxPortMode PortMode(int Port) const;
  int PortSubNet(int Port) const;
  int PortUniverse(int Port) const;
  int PortTermination(int Port) const;
  int PortTimeout(int Port) const;
  int PortSize(int Port) const;
  bool PortOffsetMode(int Port) const;
  // Unicast flag, and the partner's address as text in IpText.
  bool GetUnicastIp(int Port, QString& IpText) const;

  // Changes of the pending setup; each accepted change is committed.
  void SetPortProtocol(int Port, TTyxProts Value);
  void SetPortSubNet(int Port, int Value);
  void SetPortUniverse(int Port, int Value);
  void SetPortTermination(int Port, int Value);
  void SetPortTimeout(int Port, int Value);
  void SetPortSize(int Port, int Value);
  void SetPortMode(int Port, TEboxPortMode Value);
  void SetPortOffsetMode(int Port, bool Value);
  void SetUnicastIp(int Port, bool Unicast, const QString& IpText);

  // Limits of a protocol on a port.
  int MaxSubNet(int Port, TTyxProts Protocol) const;
  int MaxUniverse(int Port, TTyxProts Protocol) const;
  static bool ProtocolValid(TTyxProts Protocol);

  // Sends (detected box) or takes over (box entered by hand) the pending setups.
  void Commit();
  // Sends the pending setups when the setup was received, the box is no dummy
  // and some port's pending setup differs from its confirmed one. True when sent.
  bool SendSetup();

  // ---- DMX to a WAN box
  const TChRange& ChRange() const { return fChRange; }
  void SetMaxMin(int Min1, int Max1, int Min2, int Max2);
  ITyxDmxSender* DmxSender() const;
  void SetDmxSender(ITyxDmxSender* Sender) { fDmxSender = Sender; }
  // Sends the changed (or stale) channel ranges of ports 0 and 1 to a WAN box.
  void SendDmxToWan();
  // VM_Periodic runs the DMX-to-WAN step.
  void PeriodicStep() override { SendDmxToWan(); }

  // ---- fields and columns
  // Name, MAC, IP, firmware and status, then per port its mode, protocol and
  // time-out and the address columns its protocol uses. Only the ports in a
  // DMX mode are editable beyond their mode.
  uint16_t DefaultPDef(TLParamDef& Arr, TParamsOpt& Opt) override;
  // Port subnet, universe and protocol read empty on ports not in a DMX mode.
  QString FF(TSFieldKind AFkind, uint32_t AFid, int Param1 = 0, int Param2 = 0) override;
  int32_t FN(TSFieldKind AFkind, uint32_t AFid, int Param1 = 0, int Param2 = 0) override;
  // A write becomes a box operation: rename, LEDs, identify or a port change.
  void SetFieldValue(TSFieldKind FieldKind, uint32_t FieldId, const void* Data, bool AsIncrement) override;
  // Refuses port values beyond the protocol's limits and sizes above 512. An
  // edit of the IP cell opens the IP dialog instead, one of the status cell
  // saves and restarts a box that needs it; both refuse the edit itself.
  bool ValidateField(bool ISINC, TSFieldKind& aFieldKind, uint32_t& aFieldId, const void* AVALUE) override;
  // The modes and protocols that can be chosen, each with its value.
  TSelectionList GetSelectionList(TSFieldKind AFkind, uint32_t AFid, TParamsOpt& Opt, int Param1 = 0,
                                  int Param2 = 0) override;
  // The connection's entries, then "Identify" on a click.
  void AddMenuItems(QObject* Caller, TPopMenuKind Kind, TVelaMenuItem* Menu, TSFieldKind AFkind, uint32_t AFid,
                    TVelaObject* Initiator, int ParentLevel, const TDropParams& DropParams,
                    TVelaObject* ParamObj) override;
  // Writes (FK_Command, TYF_Identify).
  void IdentifyClick(TVelaMenuItem* Sender);

  // ---- mode and protocol names
  // By TEboxPortMode value; a name with "*" cannot be chosen. Empty beyond the modes.
  static QString PortModeText(int Mode);
  // The name of a protocol in the output list (a port in mode DMX Out) or the
  // input list; a name with "*" cannot be chosen. Empty beyond the protocols.
  static QString GetEProtocolName(bool Output, int Value);
  // The number of names that can be chosen in a list.
  static int GetNumValidProtocols(bool Output);
  // The Index-th name that can be chosen (from 0), with its protocol in
  // Value; empty (and tyxp_notdefined) beyond them.
  static QString GetEProtocolNameByIndex(bool Output, int Index, TTyxProts& Value);
  // The caption of a port's subnet column; empty when its protocol has none.
  QString SubNetCaption(int Port) const;
  // Mode DMX Out, DMX In or DMX from the network.
  bool PortIsDmx(int Port) const;

 protected:
  void SetNumPorts(int Count) override;

 private:
  // The pending setup of a valid port, else null.
  TOnePortSetup* Pending(int Port);
  // Nothing stored; the views show the old value again.
  void Reject() { SetDirtyOnNext(true); }
  static void ApplyOffsetMode(TOnePortSetup& Setup, bool Value);
  // The protocol the pending setup will use (limits are checked against it).
  TTyxProts PendingProtocol(int Port) const;
  int MaxUniverseFor(const TOnePortSetup& Setup, TTyxProts Protocol) const;

  uint16_t fDebug1 = 0;
  uint8_t FLedsLevel = 0;
  bool fDirtyOnNext = false;
  std::vector<TTyxPort> fTyxPorts;
  bool FWebDisabled = false;
  bool FNeedReboot = false;
  TChRange fChRange{};
  ITyxDmxSender* fDmxSender = nullptr;
};

}  // namespace vela
