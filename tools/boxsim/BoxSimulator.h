#pragma once
// The box simulator: N simulated boxes, each with its own UDP socket on a
// loopback address, sending status reports (or announcements) to the groups on
// the loopback interface, answering polls and carrying out the tool's commands.
// Nothing is ever bound, joined or sent outside loopback.
//
// Signals (its own and its log's) are emitted while a datagram is being
// handled: a slot that stops or destroys the simulator must be connected with
// Qt::QueuedConnection.
#include <QByteArray>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUdpSocket>
#include <memory>
#include <random>
#include <vector>

#include "boxsim/BoxSimConfig.h"
#include "boxsim/SimBox.h"
#include "boxsim/SimLog.h"

namespace boxsim {

class TBoxSimulator : public QObject {
  Q_OBJECT
 public:
  // The log must outlive the simulator.
  TBoxSimulator(const TBoxSimConfig& config, TSimLog& log, QObject* parent = nullptr);
  ~TBoxSimulator() override;

  // Creates the boxes, binds their sockets and starts the reports. False, with
  // ErrorText(), when the configuration is refused or a socket cannot be bound;
  // nothing is bound or sent then.
  bool Start();
  void Stop();
  QString ErrorText() const { return fError; }
  // The command socket joined the status group on loopback; without it only
  // unicast commands reach the boxes.
  bool MulticastJoined() const { return fMulticastJoined; }

  const TBoxSimConfig& Config() const { return fConfig; }
  int BoxCount() const { return static_cast<int>(fNodes.size()); }
  const TSimBox& Box(int index) const { return *fNodes.at(static_cast<size_t>(index)).Box; }
  int FindBox(const vela::TEmac& mac) const;  // -1 when no box has it

 signals:
  // A datagram other than a status report reached a box (or no box, box -1),
  // and the log line it gave.
  void CommandHandled(int box, const QByteArray& datagram, const QString& line);
  // A box is back from a restart and reports again.
  void BoxRestarted(int box);

 private:
  struct TNode {
    std::unique_ptr<TSimBox> Box;
    std::unique_ptr<QUdpSocket> Socket;
    std::unique_ptr<QTimer> ReportTimer;
    std::unique_ptr<QTimer> RestartTimer;
    bool SendErrorLogged = false;
  };

  bool FindLoopbackInterface();
  bool BindBoxSocket(int index);
  void JoinCommandGroup();
  void LogBoxes();

  void ReadBoxSocket(int index);
  void ReadCommandSocket();
  // A datagram for box `index` (matched by address or MAC).
  void HandleForBox(int index, const QNetworkDatagram& datagram, bool multicast);
  void LogCommand(int index, const QNetworkDatagram& datagram, bool multicast, const QString& outcome);

  void SendPeriodic(int index);
  void FinishRestart(int index);
  // Sends a datagram from box `index`, first a malformed one at the configured rate.
  void SendFromBox(int index, const QByteArray& datagram, const QHostAddress& to, quint16 port);
  // The only place that sends: refuses every destination but loopback and the two groups.
  bool Send(int index, const QByteArray& datagram, const QHostAddress& to, quint16 port);

  TBoxSimConfig fConfig;
  TSimLog& fLog;
  QString fError;
  QNetworkInterface fLoopback;
  QHostAddress fStatusGroup;
  QHostAddress fAnnounceGroup;
  std::vector<TNode> fNodes;
  std::unique_ptr<QUdpSocket> fCommandSocket;
  bool fMulticastJoined = false;
  std::mt19937 fRng;
};

}  // namespace boxsim
