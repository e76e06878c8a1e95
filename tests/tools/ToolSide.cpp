#include "ToolSide.h"

#include <QSignalSpy>
#include <QVariant>

namespace boxsim_test {

namespace {
constexpr auto kShare = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
const QHostAddress kLocalHost(QStringLiteral("127.0.0.1"));
}  // namespace

quint16 FreeUdpPort() {
  QUdpSocket probe;
  probe.bind(kLocalHost, 0);
  return probe.localPort();
}

QNetworkInterface LoopbackInterface() {
  for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
    if (iface.flags().testFlag(QNetworkInterface::IsLoopBack) && iface.flags().testFlag(QNetworkInterface::IsUp)) {
      return iface;
    }
  }
  return {};
}

bool MulticastOnLoopbackWorks() {
  static const bool works = [] {
    const QHostAddress group(QStringLiteral("237.1.1.1"));
    const quint16 port = FreeUdpPort();
    TGroupListener listener(group, port);
    if (!listener.Joined()) return false;
    TToolSocket sender;
    if (!sender.SendToGroup("probe", group, port)) return false;
    const auto got = listener.Next(1000);
    return got && got->data() == "probe";
  }();
  return works;
}

std::optional<QNetworkDatagram> NextDatagram(QUdpSocket& socket, int ms) {
  if (!socket.hasPendingDatagrams()) {
    QSignalSpy spy(&socket, &QUdpSocket::readyRead);
    if (!spy.wait(ms) && !socket.hasPendingDatagrams()) return std::nullopt;
  }
  return socket.receiveDatagram();
}

TToolSocket::TToolSocket() {
  fSocket.bind(kLocalHost, 0);
  fSocket.setMulticastInterface(LoopbackInterface());
  fSocket.setSocketOption(QAbstractSocket::MulticastLoopbackOption, QVariant(1));
}

bool TToolSocket::Send(const QByteArray& datagram, const QHostAddress& to, quint16 port) {
  return fSocket.writeDatagram(datagram, to, port) == datagram.size();
}

bool TToolSocket::SendToGroup(const QByteArray& datagram, const QHostAddress& group, quint16 port) {
  return Send(datagram, group, port);
}

TGroupListener::TGroupListener(const QHostAddress& group, quint16 port) {
  const QNetworkInterface loopback = LoopbackInterface();
  fJoined = loopback.isValid() && fSocket.bind(QHostAddress::AnyIPv4, port, kShare) &&
            fSocket.joinMulticastGroup(group, loopback);
}

}  // namespace boxsim_test
