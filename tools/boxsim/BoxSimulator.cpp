#include "boxsim/BoxSimulator.h"

#include <QVariant>

#include "boxsim/CommandText.h"
#include "boxsim/Malformed.h"
#include "boxsim/SimBoxFactory.h"
#include "devices/TyxCommands.h"
#include "devices/TyxReports.h"

namespace boxsim {

using namespace vela;

namespace {

constexpr auto kBindMode = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;

QString Endpoint(const QHostAddress& address, quint16 port) {
  QHostAddress v4 = address;
  bool ok = false;
  const uint32_t ip = address.toIPv4Address(&ok);
  if (ok) v4 = QHostAddress(ip);
  return QStringLiteral("%1:%2").arg(v4.toString()).arg(port);
}

}  // namespace

TBoxSimulator::TBoxSimulator(const TBoxSimConfig& config, TSimLog& log, QObject* parent)
    : QObject(parent),
      fConfig(config),
      fLog(log),
      fStatusGroup(QString::fromLatin1(kTyxStatusGroup)),
      fAnnounceGroup(QString::fromLatin1(kTyxAnnounceGroup)),
      fRng(config.Seed) {}

TBoxSimulator::~TBoxSimulator() { Stop(); }

bool TBoxSimulator::Start() {
  Stop();
  if (const auto problem = ValidateConfig(fConfig)) {
    fError = *problem;
    return false;
  }
  if (!FindLoopbackInterface()) return false;

  std::mt19937 boxRng(fConfig.Seed);
  for (int i = 0; i < fConfig.Boxes; ++i) {
    TNode node;
    node.Box =
        std::make_unique<TSimBox>(MakeSimBox(BoxKind(fConfig, i), i, BoxAddress(fConfig, i).toIPv4Address(), boxRng));
    fNodes.push_back(std::move(node));
    if (!BindBoxSocket(i)) {
      Stop();
      return false;
    }
  }
  JoinCommandGroup();
  LogBoxes();

  // Staggered, as real boxes are not in step with each other.
  for (int i = 0; i < BoxCount(); ++i) {
    auto& timer = fNodes[static_cast<size_t>(i)].ReportTimer;
    timer = std::make_unique<QTimer>();
    timer->setInterval(fConfig.IntervalMs * i / BoxCount());
    connect(timer.get(), &QTimer::timeout, this, [this, i] {
      fNodes[static_cast<size_t>(i)].ReportTimer->setInterval(fConfig.IntervalMs);
      SendPeriodic(i);
    });
    timer->start();
  }
  return true;
}

void TBoxSimulator::Stop() {
  fNodes.clear();
  fCommandSocket.reset();
  fMulticastJoined = false;
}

int TBoxSimulator::FindBox(const TEmac& mac) const {
  for (int i = 0; i < BoxCount(); ++i) {
    if (Box(i).Mac() == mac) return i;
  }
  return -1;
}

bool TBoxSimulator::FindLoopbackInterface() {
  for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
    const auto flags = iface.flags();
    if (!flags.testFlag(QNetworkInterface::IsLoopBack) || !flags.testFlag(QNetworkInterface::IsUp)) continue;
    for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
      if (IsLoopbackIPv4(entry.ip())) {
        fLoopback = iface;
        return true;
      }
    }
  }
  fError = QStringLiteral("no loopback interface with an IPv4 address is up (try: ip link set lo up)");
  return false;
}

bool TBoxSimulator::BindBoxSocket(int index) {
  TNode& node = fNodes[static_cast<size_t>(index)];
  const QHostAddress address(node.Box->Address());
  if (!IsLoopbackIPv4(address)) {  // ValidateConfig keeps this from happening; never bind elsewhere
    fError = QStringLiteral("refusing to bind %1: not a loopback address").arg(address.toString());
    return false;
  }
  node.Socket = std::make_unique<QUdpSocket>();
  if (!node.Socket->bind(address, fConfig.StatusPort, kBindMode)) {
    fError = QStringLiteral(
                 "cannot bind %1: %2 (each box needs its own 127.x.y.z address; on systems "
                 "that only answer 127.0.0.1, add loopback aliases first)")
                 .arg(Endpoint(address, fConfig.StatusPort), node.Socket->errorString());
    return false;
  }
  node.Socket->setMulticastInterface(fLoopback);
  node.Socket->setSocketOption(QAbstractSocket::MulticastLoopbackOption, QVariant(1));
  node.Socket->setSocketOption(QAbstractSocket::MulticastTtlOption, QVariant(kTyxMulticastTtl));
  connect(node.Socket.get(), &QUdpSocket::readyRead, this, [this, index] { ReadBoxSocket(index); });
  return true;
}

void TBoxSimulator::JoinCommandGroup() {
  fCommandSocket = std::make_unique<QUdpSocket>();
  // Bound to the group itself where the system allows it, so that unicast
  // answers meant for a tool bound to 0.0.0.0 on the same host never land here.
  if (!fCommandSocket->bind(fStatusGroup, fConfig.StatusPort, kBindMode) &&
      !fCommandSocket->bind(QHostAddress::AnyIPv4, fConfig.StatusPort, kBindMode)) {
    fLog.Write(QStringLiteral("warning: cannot bind the command socket to port %1 (%2): only unicast commands "
                              "reach the boxes")
                   .arg(fConfig.StatusPort)
                   .arg(fCommandSocket->errorString()));
    fCommandSocket.reset();
    return;
  }
  fMulticastJoined = fCommandSocket->joinMulticastGroup(fStatusGroup, fLoopback);
  if (!fMulticastJoined) {
    fLog.Write(QStringLiteral("warning: cannot join %1 on %2 (%3): only unicast commands reach the boxes")
                   .arg(fStatusGroup.toString(), fLoopback.name(), fCommandSocket->errorString()));
  }
  connect(fCommandSocket.get(), &QUdpSocket::readyRead, this, &TBoxSimulator::ReadCommandSocket);
}

void TBoxSimulator::LogBoxes() {
  fLog.Write(QStringLiteral("%1 simulated boxes from %2 up; commands by unicast to a box's address, port %3%4")
                 .arg(BoxCount())
                 .arg(BoxAddress(fConfig, 0).toString())
                 .arg(fConfig.StatusPort)
                 .arg(fMulticastJoined ? QStringLiteral(", or by multicast to %1 on %2")
                                             .arg(Endpoint(fStatusGroup, fConfig.StatusPort), fLoopback.name())
                                       : QString()));
  for (int i = 0; i < BoxCount(); ++i) {
    const TSimBox& box = Box(i);
    if (box.Uninitialised()) {
      fLog.Write(QStringLiteral("%1 announces \"%2\" to %3")
                     .arg(box.Label(i), box.Name, Endpoint(fAnnounceGroup, fConfig.AnnouncePort)));
      continue;
    }
    QString text = QStringLiteral("%1 name \"%2\" firmware %3%4")
                       .arg(box.Label(i), box.Name, FirmVersionText(box.Version),
                            box.NeedReboot ? QStringLiteral(" needs reboot") : QString());
    for (size_t p = 0; p < box.Ports.size(); ++p) {
      text += QStringLiteral("; port %1 %2").arg(p).arg(DescribePortSetup(box.Ports[p]));
    }
    fLog.Write(text);
  }
}

void TBoxSimulator::ReadBoxSocket(int index) {
  QUdpSocket& socket = *fNodes[static_cast<size_t>(index)].Socket;
  while (socket.hasPendingDatagrams()) {
    const QNetworkDatagram datagram = socket.receiveDatagram();
    if (IsStatusReport(datagram.data())) continue;  // another box's report: not for us
    HandleForBox(index, datagram, false);
  }
}

void TBoxSimulator::ReadCommandSocket() {
  while (fCommandSocket && fCommandSocket->hasPendingDatagrams()) {
    const QNetworkDatagram datagram = fCommandSocket->receiveDatagram();
    const QByteArray& bytes = datagram.data();
    // Our own reports and malformed datagrams come back through the group.
    bool ok = false;
    const uint32_t source = datagram.senderAddress().toIPv4Address(&ok);
    bool fromOwnBox = false;
    for (int i = 0; i < BoxCount() && !fromOwnBox; ++i) {
      fromOwnBox = ok && source == Box(i).Address() && datagram.senderPort() == fConfig.StatusPort;
    }
    if (fromOwnBox || IsStatusReport(bytes)) continue;

    if (!IsLoopbackIPv4(datagram.senderAddress())) {
      LogCommand(-1, datagram, true, QStringLiteral("ignored: not from loopback"));
      continue;
    }
    if (IsPoll(bytes)) {
      LogCommand(-1, datagram, true, QStringLiteral("ignored: a poll by multicast names no box"));
      continue;
    }
    const auto command = ParseCommandPacket(BytesOf(bytes));
    if (!command) {
      LogCommand(-1, datagram, true, QStringLiteral("ignored: malformed"));
      continue;
    }
    const int index = FindBox(command->Mac);
    if (index < 0) {
      LogCommand(-1, datagram, true, QStringLiteral("ignored: no simulated box has this MAC"));
      continue;
    }
    HandleForBox(index, datagram, true);
  }
}

void TBoxSimulator::HandleForBox(int index, const QNetworkDatagram& datagram, bool multicast) {
  TNode& node = fNodes[static_cast<size_t>(index)];
  TSimBox& box = *node.Box;
  const QByteArray& bytes = datagram.data();
  if (!IsLoopbackIPv4(datagram.senderAddress())) {
    LogCommand(index, datagram, multicast, QStringLiteral("ignored: not from loopback"));
    return;
  }
  if (box.Restarting()) {
    LogCommand(index, datagram, multicast, QStringLiteral("dropped: restarting"));
    return;
  }
  if (IsPoll(bytes)) {
    if (box.Uninitialised()) {
      LogCommand(index, datagram, multicast, QStringLiteral("ignored: an uninitialised box sends no status report"));
      return;
    }
    LogCommand(index, datagram, multicast,
               QStringLiteral("answered with a status report to %1")
                   .arg(Endpoint(datagram.senderAddress(), static_cast<quint16>(datagram.senderPort()))));
    SendFromBox(index, box.NextStatusReport(), datagram.senderAddress(), static_cast<quint16>(datagram.senderPort()));
    return;
  }
  const auto command = ParseCommandPacket(BytesOf(bytes));
  if (!command) {
    LogCommand(index, datagram, multicast, QStringLiteral("ignored: malformed"));
    return;
  }
  if (command->Mac != box.Mac()) {
    LogCommand(index, datagram, multicast, QStringLiteral("ignored: the MAC is not this box's"));
    return;
  }
  const TCommandOutcome outcome = box.Apply(*command, fConfig.RestartMs);
  LogCommand(index, datagram, multicast, outcome.Text);
  if (outcome.Restart) {
    node.RestartTimer = std::make_unique<QTimer>();
    node.RestartTimer->setSingleShot(true);
    connect(node.RestartTimer.get(), &QTimer::timeout, this, [this, index] { FinishRestart(index); });
    node.RestartTimer->start(fConfig.RestartMs);
  }
}

void TBoxSimulator::LogCommand(int index, const QNetworkDatagram& datagram, bool multicast, const QString& outcome) {
  const QByteArray& bytes = datagram.data();
  const QString who = index >= 0 ? Box(index).Label(index) : QStringLiteral("no box");
  const QString line = QStringLiteral("%1 | %2 from %3 | %4 bytes | %5 | %6 -> %7")
                           .arg(who, multicast ? QStringLiteral("multicast") : QStringLiteral("unicast"),
                                Endpoint(datagram.senderAddress(), static_cast<quint16>(datagram.senderPort())))
                           .arg(bytes.size())
                           .arg(HexBytes(bytes), DescribeDatagram(bytes), outcome);
  fLog.Write(line);
  emit CommandHandled(index, bytes, line);
}

void TBoxSimulator::SendPeriodic(int index) {
  TSimBox& box = *fNodes[static_cast<size_t>(index)].Box;
  if (box.Restarting()) return;
  if (box.Uninitialised()) {
    SendFromBox(index, box.Announcement(), fAnnounceGroup, fConfig.AnnouncePort);
  } else {
    SendFromBox(index, box.NextStatusReport(), fStatusGroup, fConfig.StatusPort);
  }
}

void TBoxSimulator::FinishRestart(int index) {
  TSimBox& box = *fNodes[static_cast<size_t>(index)].Box;
  const bool wasUninitialised = box.Uninitialised();
  box.FinishRestart();
  fLog.Write(QStringLiteral("%1 back from restart%2")
                 .arg(box.Label(index), wasUninitialised && !box.Uninitialised()
                                            ? QStringLiteral(", configured: now reports as a two-port box")
                                            : QString()));
  emit BoxRestarted(index);
  SendPeriodic(index);
}

void TBoxSimulator::SendFromBox(int index, const QByteArray& datagram, const QHostAddress& to, quint16 port) {
  if (fConfig.MalformedRate > 0 && std::bernoulli_distribution(fConfig.MalformedRate)(fRng)) {
    const TMalformedKind kind = PickMalformedKind(fRng);
    const QByteArray bad = MakeMalformed(kind, datagram, fRng);
    fLog.Write(
        QStringLiteral("%1 sends %2 datagram of %3 bytes to %4: %5%6")
            .arg(Box(index).Label(index), MalformedKindName(kind))
            .arg(bad.size())
            .arg(Endpoint(to, port), HexBytes(bad.left(32)), bad.size() > 32 ? QStringLiteral(" ...") : QString()));
    Send(index, bad, to, port);
  }
  Send(index, datagram, to, port);
}

bool TBoxSimulator::Send(int index, const QByteArray& datagram, const QHostAddress& to, quint16 port) {
  TNode& node = fNodes[static_cast<size_t>(index)];
  if (!IsLoopbackIPv4(to) && to != fStatusGroup && to != fAnnounceGroup) {
    fLog.Write(QStringLiteral("%1 refused to send to %2: not loopback").arg(node.Box->Label(index), to.toString()));
    return false;
  }
  if (node.Socket->writeDatagram(datagram, to, port) == datagram.size()) return true;
  if (!node.SendErrorLogged) {  // once per box: without multicast routing every report would fail
    node.SendErrorLogged = true;
    fLog.Write(QStringLiteral("%1 cannot send to %2: %3 (logged once)")
                   .arg(node.Box->Label(index), Endpoint(to, port), node.Socket->errorString()));
  }
  return false;
}

}  // namespace boxsim
