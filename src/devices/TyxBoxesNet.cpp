// The box manager's sockets, poll timer and sending.
#include <QHostAddress>
#include <QTimer>
#include <QUdpSocket>
#include <array>

#include "devices/TyxBoxes.h"
#include "devices/TyxCommands.h"

namespace vela {

namespace {

constexpr auto kBindMode = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;

const QHostAddress& StatusGroup() {
  static const QHostAddress group(QString::fromLatin1(kTyxStatusGroup));
  return group;
}

const QHostAddress& AnnounceGroup() {
  static const QHostAddress group(QString::fromLatin1(kTyxAnnounceGroup));
  return group;
}

bool HasIpv4(const QNetworkInterface& Iface, uint32_t Ip) {
  for (const QNetworkAddressEntry& entry : Iface.addressEntries()) {
    bool ok = false;
    if (entry.ip().toIPv4Address(&ok) == Ip && ok) return true;
  }
  return false;
}

}  // namespace

std::optional<QNetworkInterface> FindNetInterface(const QString& Text, QString* Error) {
  const QString wanted = Text.trimmed();
  auto fail = [&](const QString& Reason) -> std::optional<QNetworkInterface> {
    if (Error) *Error = Reason;
    return std::nullopt;
  };
  if (wanted.isEmpty()) return fail(QStringLiteral("no interface given"));
  const std::optional<uint32_t> ip = ParseIpv4(wanted);
  for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
    const bool match = ip ? HasIpv4(iface, *ip) : iface.name().compare(wanted, Qt::CaseInsensitive) == 0;
    if (!match) continue;
    if (!iface.flags().testFlag(QNetworkInterface::IsUp))
      return fail(QStringLiteral("interface %1 is down").arg(iface.name()));
    return iface;
  }
  return fail(ip ? QStringLiteral("no local interface has the address %1").arg(wanted)
                 : QStringLiteral("no interface is named %1").arg(wanted));
}

// ---------------------------------------------------------------------------
// Starting

void TTyxBoxes::Fail(const QString& Reason) {
  fOpenError = true;
  fOpenErrorText = Reason;
  SetName(FailedName());
}

bool TTyxBoxes::StartNet(std::unique_ptr<QUdpSocket> Socket) {
  // A new start begins from closed sockets and the plain name.
  fPollTimer.reset();
  fPollSock.reset();
  fPollSendSock.reset();
  if (fOpenError) SetName(ManagerName());
  fOpenError = false;
  fOpenErrorText.clear();
  fInterface.reset();
  if (!fNetOptions.Interface.trimmed().isEmpty()) {
    QString reason;
    fInterface = FindNetInterface(fNetOptions.Interface, &reason);
    if (!fInterface) {
      Fail(reason);
      return false;
    }
  }
  if (!OpenSockets(std::move(Socket))) return false;
  fPollTimer = std::make_unique<QTimer>();
  fPollTimer->setInterval(kTyxPollIntervalMs);
  QObject::connect(fPollTimer.get(), &QTimer::timeout, fPollTimer.get(), [this] { SendPoll(); });
  fPollTimer->start();
  return true;
}

bool TTyxBoxes::OpenGroupSocket(QUdpSocket& Socket, uint16_t Port, const QHostAddress& Group, const char* What) {
  if (!Socket.bind(QHostAddress::AnyIPv4, Port, kBindMode)) {
    Fail(QStringLiteral("cannot open the %1 port %2: %3").arg(QLatin1String(What)).arg(Port).arg(Socket.errorString()));
    return false;
  }
  Socket.setSocketOption(QAbstractSocket::MulticastTtlOption, QVariant(kTyxMulticastTtl));
  if (fInterface) Socket.setMulticastInterface(*fInterface);
  const bool joined = fInterface ? Socket.joinMulticastGroup(Group, *fInterface) : Socket.joinMulticastGroup(Group);
  if (!joined) {
    Fail(QStringLiteral("cannot join %1: %2").arg(Group.toString(), Socket.errorString()));
    return false;
  }
  return true;
}

bool TTyxBoxes::OpenSockets(std::unique_ptr<QUdpSocket> Socket) {
  fPollSock = Socket ? std::move(Socket) : std::make_unique<QUdpSocket>();
  // A socket handed in already bound is used as it is.
  if (fPollSock->state() != QAbstractSocket::BoundState) {
    QObject::connect(fPollSock.get(), &QUdpSocket::readyRead, fPollSock.get(),
                     [this] { DrainSocket(fPollSock, &TTyxBoxes::HandleStatusDatagram); });
    if (!OpenGroupSocket(*fPollSock, fNetOptions.StatusPort, StatusGroup(), "status")) return false;
  }
  fPollSendSock = std::make_unique<QUdpSocket>();
  QObject::connect(fPollSendSock.get(), &QUdpSocket::readyRead, fPollSendSock.get(),
                   [this] { DrainSocket(fPollSendSock, &TTyxBoxes::HandleAnnouncementDatagram); });
  return OpenGroupSocket(*fPollSendSock, fNetOptions.AnnouncePort, AnnounceGroup(), "announcement");
}

// ---------------------------------------------------------------------------
// Receiving: every pending datagram, each cut to the receive buffer's size.

void TTyxBoxes::DrainSocket(const std::unique_ptr<QUdpSocket>& Socket, TDatagramHandler Handler) {
  std::array<uint8_t, kTyxReceiveBufferSize> buffer;
  QHostAddress sender;
  // The socket may go while a handler runs (the manager stopped from a
  // notification); stop reading then.
  while (Socket && Socket->hasPendingDatagrams()) {
    const qint64 size = Socket->readDatagram(reinterpret_cast<char*>(buffer.data()), buffer.size(), &sender, nullptr);
    if (size <= 0) continue;
    (this->*Handler)(std::span<const uint8_t>(buffer.data(), static_cast<size_t>(size)), sender.toIPv4Address());
  }
}

// ---------------------------------------------------------------------------
// Sending

void TTyxBoxes::SendPoll() {
  const QByteArray poll = BuildPoll();
  const int count = BoxCount();
  for (int i = 0; i < count; ++i) {
    TCustomTyxBox* box = BoxAt(i);
    // A WAN box without an address yet has nowhere to be polled.
    if (!box || !box->WanBox() || box->IP() == 0 || !fPollSock) continue;
    fPollSock->writeDatagram(poll, QHostAddress(box->IP()), fNetOptions.StatusPort);
  }
  // A box's check may free boxes through its notifications: count again each step.
  for (int i = 0; i < BoxCount(); ++i) {
    if (TCustomTyxBox* box = BoxAt(i)) {
      TMessage check{VM_AliveCheck, 0, 0, 0};
      box->Dispatch(check);
    }
  }
}

void TTyxBoxes::SendToBox(TCustomTyxBox& Box, const QByteArray& Packet) {
  if (!fPollSock) return;
  fPollSock->writeDatagram(Packet, QHostAddress(Box.CommandDestination()), fNetOptions.StatusPort);
}

void TTyxBoxes::SendVelaboxPacket(const QByteArray& Packet, int Length) {
  if (!fPollSock || Length <= 0) return;
  fPollSock->writeDatagram(Packet.left(Length), StatusGroup(), fNetOptions.StatusPort);
}

}  // namespace vela
