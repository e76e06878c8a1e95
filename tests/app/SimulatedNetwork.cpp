#include "SimulatedNetwork.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QUdpSocket>

#include "AppTestSupport.h"

namespace vela::testing {

bool WaitUntil(const std::function<bool()>& Done, int Ms) {
  QDeadlineTimer deadline(Ms);
  while (!Done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

bool LoopbackMulticastWorks() {
  static const bool works = [] {
    QNetworkInterface lo;
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces())
      if (iface.flags().testFlag(QNetworkInterface::IsLoopBack)) lo = iface;
    if (!lo.isValid()) return false;
    const QHostAddress group(QStringLiteral("237.1.1.1"));
    QUdpSocket listener;
    const quint16 port = FreeUdpPort();
    if (!listener.bind(QHostAddress::AnyIPv4, port, QUdpSocket::ShareAddress) ||
        !listener.joinMulticastGroup(group, lo))
      return false;
    QUdpSocket sender;
    sender.bind(QHostAddress::LocalHost, 0);
    sender.setMulticastInterface(lo);
    sender.writeDatagram("probe", group, port);
    return WaitUntil([&] { return listener.hasPendingDatagrams(); }, 1000);
  }();
  return works;
}

void SimulatedNetwork::TearDown() {
  fWindow.reset();
  fSim.reset();
  fImages.reset();
}

::testing::AssertionResult SimulatedNetwork::Start(std::vector<TTyxKind> Kinds, int Count, int IntervalMs,
                                                   bool CreateDummy) {
  TMainWindowOptions options = LoopbackOptions();
  fConfig.Kinds = std::move(Kinds);
  fConfig.Boxes = Count;
  fConfig.IntervalMs = IntervalMs;
  fConfig.RestartMs = 300;
  fConfig.StatusPort = options.Net.StatusPort;
  fConfig.AnnouncePort = options.Net.AnnouncePort;
  fSim = std::make_unique<boxsim::TBoxSimulator>(fConfig, fLog);
  QObject::connect(fSim.get(), &boxsim::TBoxSimulator::CommandHandled,
                   [this](int, const QByteArray& datagram, const QString&) { Commands.push_back(datagram); });
  if (!fSim->Start()) return ::testing::AssertionFailure() << fSim->ErrorText().toStdString();
  options.CreateDummy = CreateDummy;
  fImages = std::make_unique<TImagedata>();
  fWindow = std::make_unique<TBasicVelaAppForm1>(options);
  fWindow->show();
  if (Boxes().OpenError()) return ::testing::AssertionFailure() << Boxes().OpenErrorText().toStdString();
  return ::testing::AssertionSuccess();
}

void SimulatedNetwork::StartWindowOnly(bool CreateDummy) {
  TMainWindowOptions options = LoopbackOptions();
  options.CreateDummy = CreateDummy;
  fImages = std::make_unique<TImagedata>();
  fWindow = std::make_unique<TBasicVelaAppForm1>(options);
  fWindow->show();
}

int SimulatedNetwork::RowCount() { return Model().rowCount(View().rootIndex()); }

::testing::AssertionResult SimulatedNetwork::WaitForRows(int Count, int Ms) {
  if (WaitUntil([&] { return RowCount() >= Count; }, Ms)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the list shows " << RowCount() << " rows, not " << Count
                                       << " (the manager holds " << Boxes().BoxCount() << " boxes)";
}

QModelIndex SimulatedNetwork::RowOf(const TEmac& Mac) {
  const QModelIndex root = View().rootIndex();
  for (int r = 0; r < Model().rowCount(root); ++r) {
    const QModelIndex row = Model().index(r, 0, root);
    TVelaObject* obj = Model().ObjectOf(row);
    if (obj && obj->InheritsFrom(TCustomTyxBox::StaticClass()) && static_cast<TCustomTyxBox*>(obj)->BoxMac() == Mac)
      return row;
  }
  return {};
}

QModelIndex SimulatedNetwork::CellOf(const QModelIndex& Row, const QString& Title) {
  if (!Row.isValid()) return {};
  for (int c = 0; c < Model().columnCount(Row.parent()); ++c) {
    const QModelIndex cell = Model().index(Row.row(), c, Row.parent());
    if (Model().data(cell, BR_HasDefinition).toBool() && Model().data(cell, BR_ColumnTitle).toString() == Title)
      return cell;
  }
  return {};
}

QString SimulatedNetwork::Cell(const QModelIndex& Row, const QString& Title) {
  const QModelIndex cell = CellOf(Row, Title);
  return cell.isValid() ? Model().data(cell, Qt::DisplayRole).toString() : QStringLiteral("<no column>");
}

TTyxBox* SimulatedNetwork::BoxOf(int SimBox) {
  TCustomTyxBox* box = Boxes().GetBox(Sim().Box(SimBox).Mac());
  return box && box->InheritsFrom(TTyxBox::StaticClass()) ? static_cast<TTyxBox*>(box) : nullptr;
}

int SimulatedNetwork::CommandCount(const std::vector<QByteArray>& Commands, uint16_t Code) {
  int n = 0;
  for (const QByteArray& d : Commands)
    if (d.size() >= 2 && uint8_t(d[0]) == (Code & 0xFF) && uint8_t(d[1]) == (Code >> 8)) ++n;
  return n;
}

}  // namespace vela::testing
