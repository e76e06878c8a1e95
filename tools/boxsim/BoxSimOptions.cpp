#include "boxsim/BoxSimOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>
#include <limits>

#include "boxsim/BoxSimulator.h"
#include "boxsim/SimLog.h"

namespace boxsim {

namespace {

QString DefaultKinds(const TBoxSimConfig& config) {
  QStringList names;
  for (const auto kind : config.Kinds) names << KindShortName(kind);
  return names.join(QLatin1Char(','));
}

// The option's value as a whole number in [low, high], or an error text.
bool ReadInt(const QCommandLineParser& parser, const QString& name, long long low, long long high, long long& out,
             QString& error) {
  if (!parser.isSet(name)) return true;
  bool ok = false;
  const long long value = parser.value(name).toLongLong(&ok);
  if (!ok || value < low || value > high) {
    error = QStringLiteral("--%1 takes a whole number from %2 to %3, not \"%4\"")
                .arg(name)
                .arg(low)
                .arg(high)
                .arg(parser.value(name));
    return false;
  }
  out = value;
  return true;
}

}  // namespace

TBoxSimOptions ParseBoxSimOptions(const QStringList& arguments) {
  TBoxSimOptions options;
  TBoxSimConfig& config = options.Config;

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Simulates Tyx boxes on loopback addresses: status reports to 237.1.1.1:37895 and announcements of "
      "uninitialised boxes to 237.1.1.2:57923 on the loopback interface; commands by multicast to 237.1.1.1:37895 "
      "or by unicast to a box's address, port 37895. Every command received is logged byte for byte.\n"
      "Run it inside a private network namespace to be sure nothing leaves the machine:\n"
      "  unshare -n sh -c 'ip link set lo up; ip route add 224.0.0.0/4 dev lo; boxsim --duration-s 10'"));
  parser.addHelpOption();
  parser.addOptions({
      {QStringLiteral("boxes"), QStringLiteral("Number of boxes (default %1).").arg(config.Boxes), QStringLiteral("N")},
      {QStringLiteral("kinds"),
       QStringLiteral("Kinds, given to the boxes in turn: tyx2, tyx2-100, tyx8, uninit (default %1).")
           .arg(DefaultKinds(config)),
       QStringLiteral("list")},
      {QStringLiteral("first-address"),
       QStringLiteral("Loopback address of the first box; the others follow (default %1). Addresses outside "
                      "127.0.0.0/8 are refused.")
           .arg(config.FirstAddress.toString()),
       QStringLiteral("address")},
      {QStringLiteral("interval-ms"),
       QStringLiteral("Time between two reports of a box (default %1).").arg(config.IntervalMs), QStringLiteral("ms")},
      {QStringLiteral("restart-ms"),
       QStringLiteral("Silence of a box restarting after new IP settings (default %1).").arg(config.RestartMs),
       QStringLiteral("ms")},
      {QStringLiteral("malformed-rate"),
       QStringLiteral("Chance from 0 to 1 that a truncated, garbage or oversized datagram goes out with a report "
                      "(default 0)."),
       QStringLiteral("rate")},
      {QStringLiteral("log"), QStringLiteral("Write the log to this file instead of standard output."),
       QStringLiteral("file")},
      {QStringLiteral("seed"),
       QStringLiteral("Seed of the box setups and malformed datagrams (default %1).").arg(config.Seed),
       QStringLiteral("n")},
      {QStringLiteral("duration-s"), QStringLiteral("Stop after this many seconds (default: run until stopped)."),
       QStringLiteral("s")},
  });

  if (!parser.parse(arguments)) {
    options.Error = parser.errorText();
    return options;
  }
  options.HelpText = parser.helpText();
  if (parser.isSet(QStringLiteral("help"))) {
    options.ShowHelp = true;
    return options;
  }
  if (!parser.positionalArguments().isEmpty()) {
    options.Error = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first());
    return options;
  }

  long long boxes = config.Boxes, interval = config.IntervalMs, restart = config.RestartMs, seed = config.Seed,
            duration = 0;
  QString& error = options.Error;
  if (!ReadInt(parser, QStringLiteral("boxes"), 1, kMaxBoxes, boxes, error) ||
      !ReadInt(parser, QStringLiteral("interval-ms"), 10, 3'600'000, interval, error) ||
      !ReadInt(parser, QStringLiteral("restart-ms"), 0, 600'000, restart, error) ||
      !ReadInt(parser, QStringLiteral("seed"), 0, std::numeric_limits<uint32_t>::max(), seed, error) ||
      !ReadInt(parser, QStringLiteral("duration-s"), 0, 86'400 * 365, duration, error)) {
    return options;
  }
  config.Boxes = static_cast<int>(boxes);
  config.IntervalMs = static_cast<int>(interval);
  config.RestartMs = static_cast<int>(restart);
  config.Seed = static_cast<uint32_t>(seed);
  options.DurationS = static_cast<int>(duration);

  if (parser.isSet(QStringLiteral("kinds"))) {
    const auto kinds = ParseKindList(parser.value(QStringLiteral("kinds")));
    if (!kinds) {
      error = QStringLiteral("--kinds takes a comma-separated list of tyx2, tyx2-100, tyx8 and uninit, not \"%1\"")
                  .arg(parser.value(QStringLiteral("kinds")));
      return options;
    }
    config.Kinds = *kinds;
  }
  if (parser.isSet(QStringLiteral("first-address"))) {
    const QString text = parser.value(QStringLiteral("first-address")).trimmed();
    const QHostAddress address(text);
    if (address.isNull() || address.protocol() != QAbstractSocket::IPv4Protocol) {
      error = QStringLiteral("refusing --first-address \"%1\": give a dotted IPv4 address in 127.0.0.0/8").arg(text);
      return options;
    }
    config.FirstAddress = address;
  }
  if (parser.isSet(QStringLiteral("malformed-rate"))) {
    bool ok = false;
    config.MalformedRate = parser.value(QStringLiteral("malformed-rate")).toDouble(&ok);
    if (!ok) config.MalformedRate = -1;  // refused below
  }
  options.LogFile = parser.value(QStringLiteral("log"));

  if (const auto problem = ValidateConfig(config)) error = *problem;
  return options;
}

int RunBoxSim(const QStringList& arguments) {
  QTextStream err(stderr);
  const TBoxSimOptions options = ParseBoxSimOptions(arguments);
  if (!options.Error.isEmpty()) {
    err << "boxsim: " << options.Error << "\n"
        << "Try 'boxsim --help'.\n";
    return kExitUsage;
  }
  if (options.ShowHelp) {
    QTextStream(stdout) << options.HelpText << (options.HelpText.endsWith(u'\n') ? "" : "\n");
    return kExitOk;
  }

  TSimLog log;
  const bool logOpen = options.LogFile.isEmpty() ? log.OpenStdout() : log.OpenFile(options.LogFile);
  if (!logOpen) {
    err << "boxsim: " << log.ErrorText() << "\n";
    return kExitFailed;
  }
  TBoxSimulator simulator(options.Config, log);
  if (!simulator.Start()) {
    err << "boxsim: " << simulator.ErrorText() << "\n";
    return kExitFailed;
  }
  if (options.DurationS > 0) {
    QTimer::singleShot(options.DurationS * 1000, QCoreApplication::instance(), &QCoreApplication::quit);
  }
  const int code = QCoreApplication::exec();
  log.Write(QStringLiteral("stopped"));
  return code;
}

}  // namespace boxsim
