#pragma once
// The tool's side of the simulator tests: sockets on loopback that send what
// the tool sends and wait, bounded, for what comes back.
#include <QByteArray>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QUdpSocket>
#include <optional>

namespace boxsim_test {

constexpr int kWaitMs = 3000;  // the longest any test waits for one thing

// A UDP port nobody on loopback uses right now, so parallel test runs never share ports.
quint16 FreeUdpPort();

// The loopback interface (invalid when there is none).
QNetworkInterface LoopbackInterface();

// Whether a datagram sent to a group on the loopback interface comes back to a
// member there; without it (no multicast route on lo) the multicast tests skip.
bool MulticastOnLoopbackWorks();

// The next datagram on `socket`, waiting at most `ms`.
std::optional<QNetworkDatagram> NextDatagram(QUdpSocket& socket, int ms = kWaitMs);

// A socket bound to 127.0.0.1 on a free port: sends commands and polls, gets unicast answers.
class TToolSocket {
 public:
  TToolSocket();
  bool Send(const QByteArray& datagram, const QHostAddress& to, quint16 port);
  // Sends by multicast to `group` on the loopback interface.
  bool SendToGroup(const QByteArray& datagram, const QHostAddress& group, quint16 port);
  std::optional<QNetworkDatagram> Next(int ms = kWaitMs) { return NextDatagram(fSocket, ms); }
  bool HasPending() { return fSocket.hasPendingDatagrams(); }

 private:
  QUdpSocket fSocket;
};

// A member of `group` on the loopback interface only, bound to 0.0.0.0:port as the tool is.
class TGroupListener {
 public:
  TGroupListener(const QHostAddress& group, quint16 port);
  bool Joined() const { return fJoined; }
  std::optional<QNetworkDatagram> Next(int ms = kWaitMs) { return NextDatagram(fSocket, ms); }

 private:
  QUdpSocket fSocket;
  bool fJoined = false;
};

}  // namespace boxsim_test
