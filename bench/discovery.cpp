// Discovery benchmark: the cost of a status report in the box manager.
//
//   in-process   HandleStatusDatagram on ready-made two-port reports (237
//                bytes), round robin over 1, 100 and 1000 known boxes whose
//                data does not change; and over 1000 boxes whose port setup
//                changes with every report
//   udp          the same reports over loopback from a socket on 127.0.0.21
//                to the manager's status port (StartNet on 127.0.0.1, free
//                ports), against a bare socket bound the same way that only
//                drains datagrams with readDatagram into a 2048-byte buffer,
//                measured in the same run with the same datagrams
//   memory       VmRSS before and after 1000 boxes are created from reports
//
// Only loopback addresses are used. The figures are medians of several
// rounds; compare the ratios between runs, not the rates (noisy machines).
// The runs check themselves: a changing load must change its box with every
// report and a steady one never, and each batch of datagrams counts only once
// the receiver has handled all of it (the manager's reports counted by its
// reads of the device clock).
#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

#include "devices/DeviceClock.h"
#include "devices/DeviceTypes.h"
#include "devices/TyxBoxes.h"
#include "devices/TyxReports.h"
#include "framework/sobjects.h"
#include "platform/DateTime.h"

using namespace vela;

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kSenderIp = (127u << 24) | 21;  // 127.0.0.21
constexpr int kRounds = 5;

// Reports the manager has handled: each one reads the device clock once to
// stamp its box alive (checked in the in-process runs).
long gClockReads = 0;

void CountClockReads() {
  SetDeviceClock([] {
    ++gClockReads;
    return Now();
  });
}

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Wall and CPU time spent on Count reports.
struct TCost {
  double Wall = 0;
  double Cpu = 0;
  long Count = 0;
  double PerSecond() const { return Count / Wall; }
  double CpuMicros() const { return Cpu * 1e6 / Count; }
};

// The round with the median CPU time per report.
TCost Median(std::vector<TCost> Rounds) {
  std::sort(Rounds.begin(), Rounds.end(), [](const TCost& a, const TCost& b) { return a.CpuMicros() < b.CpuMicros(); });
  return Rounds[Rounds.size() / 2];
}

// Resident memory in kB, or -1 where /proc/self/status has no VmRSS.
long RssKb() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (!line.startsWith("VmRSS:")) continue;
    bool ok = false;
    const long kb = line.mid(6).trimmed().split(' ').value(0).toLong(&ok);
    return ok ? kb : -1;
  }
  return -1;
}

QString KbText(long Kb) { return Kb < 0 ? QStringLiteral("n/a") : QStringLiteral("%1 kB").arg(Kb); }

TEmac BoxMac(int Index) {
  return {0x00, 0x50, 0xC2, 0x10, static_cast<uint8_t>(Index >> 8), static_cast<uint8_t>(Index)};
}

// The full two-port report of box Index, its ports on Universe.
QByteArray Report(int Index, uint16_t Universe) {
  TTyxStatusReport r;
  r.ReportType = RT_TwoPortBox;
  r.Mac = BoxMac(Index);
  r.Name = QStringLiteral("Box %1").arg(Index);
  r.SVersion = {0, 0, 6, 1};
  TOnePortSetup port;
  port.EProtocol = tyxp_ArtNet;
  port.Direction = P_Dmx_Out;
  port.Universe = Universe;
  port.DSize = 512;
  r.Ports.assign(2, port);
  r.DefaultIp = (10u << 24) | 9;
  r.DefaultMask = 0xFF000000u;
  r.LedsLevel = 1;
  return BuildStatusReport(r);
}

std::vector<QByteArray> Reports(int Boxes, uint16_t Universe) {
  std::vector<QByteArray> reports;
  for (int i = 0; i < Boxes; ++i) reports.push_back(Report(i, Universe));
  return reports;
}

std::span<const uint8_t> Span(const QByteArray& Bytes) {
  return {reinterpret_cast<const uint8_t*>(Bytes.constData()), static_cast<size_t>(Bytes.size())};
}

// A manager that knows the boxes of Known (all heard from kSenderIp).
TTyxBoxes* Manager(const std::vector<QByteArray>& Known) {
  TTyxBoxes* boxes = TTyxBoxes::Create(false);
  for (const QByteArray& r : Known) {
    if (!boxes->HandleStatusDatagram(Span(r), kSenderIp)) std::abort();
  }
  return boxes;
}

// Counts the boxes' changed notices, to check that every report of a
// changing load did change its box, and no report of a steady one did.
void CountChanges(TTyxBoxes& Boxes, long& Told) {
  for (int i = 0; i < Boxes.BoxCount(); ++i) Boxes.BoxAt(i)->OnDetectedChanged = [&Told](TConnection*) { ++Told; };
}

void CheckChanges(const char* Where, long Told, long Expected) {
  if (Told == Expected) return;
  std::fprintf(stderr, "%s: %ld changed notices, expected %ld\n", Where, Told, Expected);
  std::exit(1);
}

// The datagrams of one run: one set for the steady state, two sets taken in
// turn when the data is to change with every report.
struct TLoad {
  const char* What;
  int Boxes;
  std::vector<std::vector<QByteArray>> Sets;
  bool Changing() const { return Sets.size() > 1; }
  const QByteArray& At(long I) const {
    const auto& set = Sets[static_cast<size_t>(I / Boxes) % Sets.size()];
    return set[static_cast<size_t>(I % Boxes)];
  }
};

std::vector<TLoad> Loads() {
  std::vector<TLoad> loads;
  for (int n : {1, 100, 1000}) loads.push_back({"unchanged", n, {Reports(n, 1)}});
  loads.push_back({"changed every report", 1000, {Reports(1000, 2), Reports(1000, 1)}});
  return loads;
}

// ---------------------------------------------------------------------------
// In-process

TCost InProcess(const TLoad& Load, long Count) {
  TSOwned<TTyxBoxes> boxes(Manager(Load.Sets.back()));
  long told = 0;
  CountChanges(*boxes, told);
  const long clockReads = gClockReads;
  std::vector<TCost> rounds;
  long next = 0;
  for (int round = 0; round < kRounds; ++round) {
    const auto wall = Clock::now();
    const double cpu = CpuSeconds();
    for (long i = 0; i < Count; ++i, ++next) {
      if (!boxes->HandleStatusDatagram(Span(Load.At(next)), kSenderIp)) std::abort();
    }
    rounds.push_back({std::chrono::duration<double>(Clock::now() - wall).count(), CpuSeconds() - cpu, Count});
  }
  if (boxes->BoxCount() != Load.Boxes) std::abort();
  CheckChanges("in-process", told, Load.Changing() ? Count * kRounds : 0);
  if (gClockReads - clockReads != Count * kRounds) {
    std::fprintf(stderr, "in-process: %ld clock reads for %ld reports\n", gClockReads - clockReads, Count * kRounds);
    std::exit(1);
  }
  return Median(rounds);
}

// ---------------------------------------------------------------------------
// Loopback UDP

quint16 FreePort() {
  QUdpSocket probe;
  if (!probe.bind(QHostAddress::LocalHost, 0)) std::abort();
  return probe.localPort();
}

// Datagrams the system dropped for full receive buffers so far, or -1.
long UdpDrops() {
  QFile snmp(QStringLiteral("/proc/net/snmp"));
  if (!snmp.open(QIODevice::ReadOnly)) return -1;
  const QList<QByteArray> lines = snmp.readAll().split('\n');
  for (int i = 0; i + 1 < lines.size(); ++i) {
    if (!lines[i].startsWith("Udp:") || !lines[i + 1].startsWith("Udp:")) continue;
    const QList<QByteArray> names = lines[i].simplified().split(' ');
    const QList<QByteArray> values = lines[i + 1].simplified().split(' ');
    const qsizetype at = names.indexOf("RcvbufErrors");
    return at < 0 || at >= values.size() ? -1 : values[at].toLong();
  }
  return -1;
}

// Sends a batch of datagrams of Load (few enough for the receive buffer),
// then times the event loop until the receiver has handled all of them.
class TUdpRun {
 public:
  TUdpRun(const TLoad& Load, QUdpSocket& Sender) : fLoad(Load), fSender(Sender) {}

  void Drain(quint16 Port, long Count, const std::function<long()>& Handled, TCost& Cost) {
    constexpr int kBatch = 64;
    for (long sent = 0; sent < Count;) {
      const long batch = std::min<long>(kBatch, Count - sent);
      const long target = Handled() + batch;
      for (long i = 0; i < batch; ++i, ++fNext) {
        if (fSender.writeDatagram(fLoad.At(fNext), QHostAddress::LocalHost, Port) < 0) std::abort();
      }
      sent += batch;
      const auto wall = Clock::now();
      const double cpu = CpuSeconds();
      // Loopback may deliver a little later than the send returns.
      while (Handled() < target) {
        QCoreApplication::processEvents();
        if (Clock::now() - wall > std::chrono::milliseconds(200)) {
          fLost += target - Handled();
          break;
        }
      }
      Cost.Wall += std::chrono::duration<double>(Clock::now() - wall).count();
      Cost.Cpu += CpuSeconds() - cpu;
      Cost.Count += batch;
    }
  }

  long Lost() const { return fLost; }

 private:
  const TLoad& fLoad;
  QUdpSocket& fSender;
  long fNext = 0;
  long fLost = 0;
};

struct TUdpFigures {
  TCost Manager;
  TCost Bare;
  long Lost = 0;  // datagrams not handled within 200 ms of their batch
};

TUdpFigures OverUdp(const TLoad& Load, long Count) {
  TTyxNetOptions options;
  options.Interface = QStringLiteral("127.0.0.1");
  options.StatusPort = FreePort();
  options.AnnouncePort = FreePort();
  TSOwned<TTyxBoxes> boxes(Manager(Load.Sets.back()));
  boxes->SetNetOptions(options);
  if (!boxes->StartNet()) {
    std::fprintf(stderr, "StartNet: %s\n", qPrintable(boxes->OpenErrorText()));
    std::exit(1);
  }
  long told = 0;
  CountChanges(*boxes, told);
  // The once-a-second alive check is not part of a report's cost.
  boxes->PollTimer()->stop();

  // The baseline: bound and joined like the manager's status socket, reading
  // each datagram with its source address, doing nothing with it.
  QUdpSocket bare;
  const quint16 barePort = FreePort();
  if (!bare.bind(QHostAddress::AnyIPv4, barePort, QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint))
    std::abort();
  if (const std::optional<QNetworkInterface> lo = FindNetInterface(options.Interface)) {
    bare.setMulticastInterface(*lo);
    bare.joinMulticastGroup(QHostAddress(QString::fromLatin1(kTyxStatusGroup)), *lo);
  }
  long bareReceived = 0;
  QObject::connect(&bare, &QUdpSocket::readyRead, &bare, [&] {
    std::array<char, kTyxReceiveBufferSize> buffer;
    QHostAddress source;
    while (bare.hasPendingDatagrams()) {
      if (bare.readDatagram(buffer.data(), buffer.size(), &source, nullptr) > 0) ++bareReceived;
    }
  });

  QUdpSocket sender;
  if (!sender.bind(QHostAddress(kSenderIp), 0)) std::abort();

  // Manager and baseline take turns within every round, each going through
  // the same sequence of datagrams.
  TUdpRun managerRun(Load, sender), bareRun(Load, sender);
  std::vector<TCost> managerRounds, bareRounds;
  for (int round = 0; round < kRounds; ++round) {
    TCost manager, baseline;
    managerRun.Drain(
        options.StatusPort, Count, [] { return gClockReads; }, manager);
    bareRun.Drain(
        barePort, Count, [&] { return bareReceived; }, baseline);
    managerRounds.push_back(manager);
    bareRounds.push_back(baseline);
  }
  if (boxes->BoxCount() != Load.Boxes) std::abort();
  // A changing load also shows that the manager took every datagram.
  CheckChanges("udp", told, Load.Changing() ? Count * kRounds : 0);
  return {Median(managerRounds), Median(bareRounds), managerRun.Lost() + bareRun.Lost()};
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  RegisterFrameworkTypes();
  RegisterDeviceTypes();
  CountClockReads();

  // Memory first, before the other runs leave freed memory behind.
  {
    const std::vector<QByteArray> reports = Reports(1000, 1);
    const long before = RssKb();
    TSOwned<TTyxBoxes> boxes(Manager(reports));
    const long after = RssKb();
    std::printf("memory: VmRSS before 1000 boxes: %s\n", qPrintable(KbText(before)));
    std::printf("memory: VmRSS after 1000 boxes (created from reports): %s\n", qPrintable(KbText(after)));
    if (before < 0 || after < 0) {
      std::printf("memory: bytes per box: n/a\n");
    } else {
      std::printf("memory: bytes per box: %ld\n", (after - before) * 1024 / 1000);
    }
  }

  const std::vector<TLoad> loads = Loads();
  std::printf("reports: two-port status reports of %d bytes, medians of %d rounds\n",
              static_cast<int>(loads[0].Sets[0][0].size()), kRounds);

  constexpr long kInProcess = 10000;
  for (const TLoad& load : loads) {
    const TCost c = InProcess(load, kInProcess);
    std::printf("in-process, %d known boxes, %s: %.0f reports/s (%ld reports a round)\n", load.Boxes, load.What,
                c.PerSecond(), kInProcess);
    std::printf("in-process, %d known boxes, %s: %.2f CPU us/report\n", load.Boxes, load.What, c.CpuMicros());
  }

  constexpr long kUdp = 2048;
  const long dropsBefore = UdpDrops();
  for (const TLoad& load : loads) {
    const TUdpFigures f = OverUdp(load, kUdp);
    const char* w = load.What;
    const int n = load.Boxes;
    std::printf("udp, %d known boxes, %s: manager %.0f reports/s (%ld datagrams a round)\n", n, w,
                f.Manager.PerSecond(), kUdp);
    std::printf("udp, %d known boxes, %s: manager %.2f CPU us/report\n", n, w, f.Manager.CpuMicros());
    std::printf("udp, %d known boxes, %s: bare receive loop %.0f datagrams/s\n", n, w, f.Bare.PerSecond());
    std::printf("udp, %d known boxes, %s: bare receive loop %.2f CPU us/datagram\n", n, w, f.Bare.CpuMicros());
    std::printf("udp, %d known boxes, %s: manager/bare, CPU per report: %.2f\n", n, w,
                f.Manager.CpuMicros() / f.Bare.CpuMicros());
    std::printf("udp, %d known boxes, %s: manager/bare, wall time per report: %.2f\n", n, w,
                f.Bare.PerSecond() / f.Manager.PerSecond());
    if (f.Lost != 0) std::printf("udp, %d known boxes, %s: datagrams lost: %ld\n", n, w, f.Lost);
  }
  const long dropsAfter = UdpDrops();
  if (dropsBefore >= 0 && dropsAfter >= 0) {
    std::printf("udp: datagrams dropped for full receive buffers (system-wide): %ld\n", dropsAfter - dropsBefore);
  } else {
    std::printf("udp: datagrams dropped for full receive buffers: n/a\n");
  }
  return 0;
}
