#pragma once
// The box manager: the root of the box tree. It owns the status socket
// (reports in; commands, polls and raw packets out), the announcement socket
// (announcements of uninitialised boxes in) and the one-second poll timer,
// turns every report and announcement into a box it finds or creates, keeps
// the boxes' alive state ticking and keeps the file of hand-entered WAN boxes.
//
// The implementation is split by role: TyxBoxes.cpp (construction, finding
// and creating boxes, the receive handlers, the box operations),
// TyxBoxesNet.cpp (sockets, interface choice, timer, sending) and
// TyxBoxesPredefined.cpp (the predefined boxes file).
#include <QByteArray>
#include <QNetworkInterface>
#include <QString>
#include <QTimer>
#include <QUdpSocket>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>

#include "devices/TyxBox.h"

namespace vela {

// Registered object type of TTyxBoxes.
constexpr uint32_t kTyxBoxesType = 604;

// Where the manager listens and sends. The defaults are the boxes' ports and
// the system's choice of interface.
struct TTyxNetOptions {
  // Empty: the system's default multicast interface. Otherwise an IPv4
  // address of a local interface or an interface name ("eth1", "lo"): group
  // memberships and outgoing multicast use that interface only.
  QString Interface;
  uint16_t StatusPort = kTyxStatusPort;
  uint16_t AnnouncePort = kTyxAnnouncePort;
};

// The interface an interface option names (an IPv4 address of it, or its
// name), or none with the reason in Error.
std::optional<QNetworkInterface> FindNetInterface(const QString& Text, QString* Error = nullptr);

class TTyxBoxes : public TDmxAdapter, public ITyxCommandSender, public ITyxDmxSender {
  VELA_CLASS(TTyxBoxes, TDmxAdapter)

  TTyxBoxes();
  ~TTyxBoxes() override;

  static QString ManagerName() { return QStringLiteral("Ethernet Velaboxes"); }
  static QString FailedName() { return QStringLiteral("Ethernet Velaboxes, initialization failed"); }

  // A manager; with CreateDummy it holds the two dummy boxes from the start.
  static TTyxBoxes* Create(bool CreateDummy);

  // ---- network
  const TTyxNetOptions& NetOptions() const { return fNetOptions; }
  // Takes effect at the next StartNet.
  void SetNetOptions(const TTyxNetOptions& Options) { fNetOptions = Options; }
  // Opens the sockets and starts the poll timer. A socket given is taken
  // over as the status socket; when already bound it is used unchanged (its
  // events are not hooked). A failure renames the manager to FailedName()
  // and leaves discovery off; false then, with the reason in OpenErrorText().
  bool StartNet(std::unique_ptr<QUdpSocket> Socket = nullptr);
  bool OpenError() const { return fOpenError; }
  const QString& OpenErrorText() const { return fOpenErrorText; }
  QUdpSocket* PollSock() const { return fPollSock.get(); }
  QUdpSocket* PollSendSock() const { return fPollSendSock.get(); }
  QTimer* PollTimer() const { return fPollTimer.get(); }
  // The timer's step: polls the WAN boxes by unicast, then every box runs
  // its alive check.
  void SendPoll();
  // The first Length bytes of Packet to the status group, from the status socket.
  void SendVelaboxPacket(const QByteArray& Packet, int Length);

  // ---- datagrams (the sockets' receive handlers end here)
  // A datagram from the status socket; the box it concerned, or null.
  TCustomTyxBox* HandleStatusDatagram(std::span<const uint8_t> Datagram, uint32_t SourceIp);
  // A datagram from the announcement socket; the box it concerned, or null.
  TCustomTyxBox* HandleAnnouncementDatagram(std::span<const uint8_t> Datagram, uint32_t SourceIp);
  // DMX pool data (a full-universe packet) from a box: its levels go into the
  // out block of the port the packet names.
  void HandleDmxPoolIn(uint32_t SourceIp, std::span<const uint8_t> Packet);

  // ---- boxes
  int BoxCount() const { return Subcount() < 0 ? 0 : Subcount(); }
  // Box Index in list order; null outside the list.
  TCustomTyxBox* BoxAt(int Index) const;
  // The box with this MAC, else a WAN box still without an address; never creates.
  TCustomTyxBox* GetBox(const TEmac& Mac) const;
  // Finds the box of a report or announcement and, when allowed, creates or
  // upgrades it (see TyxBoxes.cpp).
  TCustomTyxBox* FindOrCreateBox(TTyxKind Kind, const QString& Name, bool CreateAllowed, const TEmac& Mac, uint32_t Ip);
  // A new TYX2-10 WAN box without address, inserted with the inserted message.
  TTyxBox* AddTyx2();
  // Sets the IP of one of this manager's boxes; text that is no address is ignored.
  void SetBoxIp(TCustomTyxBox* Box, const QString& IpText);
  void SetMaxMin(TCustomTyxBox* Box, int Min1, int Max1, int Min2, int Max2);
  bool IsOwnBox(const TCustomTyxBox* Box) const;
  // With a box: whether it takes compressed DMX pool data. Without: whether
  // every box in the list does (or is a WAN box).
  bool CompressedAllowed(const TCustomTyxBox* Box = nullptr) const;

  // Told after a box was created or first detected.
  std::function<void(TCustomTyxBox* Box)> OnInserted;
  // Told while the manager is destroyed.
  std::function<void()> OnDestroyed;
  // The sender of DMX pool data to WAN boxes (not owned); may be none.
  ITyxDmxSender* TyxProtocol() const { return fTyxProtocol; }
  void SetTyxProtocol(ITyxDmxSender* Value) { fTyxProtocol = Value; }

  // ---- the predefined boxes file
  // The executable's directory followed by "VelaBoxes.def".
  static QString DefaultPredefinedFile();
  // Marks the boxes of Section as WAN boxes (adding those not known) and
  // sets their channel ranges. Bad entries are skipped. False when the file
  // cannot be read.
  bool LoadPredefined(const QString& File, const QString& Section);
  // Rewrites Section from the WAN boxes. False when the file cannot be written.
  bool StorePredefined(const QString& File, const QString& Section);

  // ---- the box senders
  void SendToBox(TCustomTyxBox& Box, const QByteArray& Packet) override;
  void SendDmxToBox(TTyxBox& Box, int NetGroup, int Universe, int StartOffset,
                    std::span<const uint8_t> Levels) override;

  // ---- overrides
  bool ValidateNetUniverse(bool IsNet, int Value, bool& DisplayFromOne, int& Max, int& Min) override;
  int GetStateindex() override { return -1; }
  int32_t RQ(TRQ ARQ, TVelaObject* S = nullptr, int Param1 = 0, int Param2 = 0) override;
  QString GetNodetext() override { return Name(); }
  void SendDmx(TDmxArea*, int, uint32_t) override {}
  // VM_Periodic: every box sends its DMX to WAN step first.
  void Dispatch(TMessage& Message) override;
  // Every change of the box list makes the MAC index stale.
  void AfterInsert(TVelaObject* Obj) override;
  void BeforeSubRemove(TVelaObject* Obj) override;
  void PostDelete(TVelaObject* Obj) override;
  void ClearSubs() override;
  void SetSubobjects(TSCollection* Value) override;
  void LoadSubs(TSReader& Reader) override;

 private:
  void AddDummies();
  void Fail(const QString& Reason);
  bool OpenSockets(std::unique_ptr<QUdpSocket> Socket);
  // Binds Socket to Port and joins Group; on failure names What in the reason.
  bool OpenGroupSocket(QUdpSocket& Socket, uint16_t Port, const QHostAddress& Group, const char* What);
  using TDatagramHandler = TCustomTyxBox* (TTyxBoxes::*)(std::span<const uint8_t>, uint32_t);
  // Hands every pending datagram of Socket to Handler.
  void DrainSocket(const std::unique_ptr<QUdpSocket>& Socket, TDatagramHandler Handler);
  // The box's load-settings hook and OnInserted.
  void Inserted(TCustomTyxBox* Box);
  // The first box in list order with this MAC: through the MAC index, the
  // list itself deciding whenever the index has no entry that still holds.
  TCustomTyxBox* FindByMac(const TEmac& Mac) const;
  TCustomTyxBox* ScanByMac(const TEmac& Mac) const;
  bool MacIndexCurrent() const;
  void RebuildMacIndex() const;
  void InvalidateMacIndex() { fMacIndexValid = false; }
  TCustomTyxBox* FindWanByIp(uint32_t Ip) const;
  TCustomTyxBox* FindByIp(uint32_t Ip) const;

  TTyxNetOptions fNetOptions;
  std::optional<QNetworkInterface> fInterface;
  std::unique_ptr<QUdpSocket> fPollSock;
  std::unique_ptr<QUdpSocket> fPollSendSock;
  std::unique_ptr<QTimer> fPollTimer;
  bool fOpenError = false;
  QString fOpenErrorText;
  ITyxDmxSender* fTyxProtocol = nullptr;

  // MAC (six bytes in a number) -> the first box with it and its list position.
  // Built from the list on demand; any list change marks it stale, and a hit
  // is used only while that position still holds that box with that MAC.
  struct TMacEntry {
    TCustomTyxBox* Box;
    int Position;
  };
  mutable std::unordered_map<uint64_t, TMacEntry> fMacIndex;
  mutable const TSCollection* fMacIndexSubs = nullptr;
  mutable int fMacIndexCount = 0;
  mutable bool fMacIndexValid = false;
};

}  // namespace vela
