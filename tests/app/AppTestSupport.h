#pragma once
// Main-window options for tests: the box manager on free ports of the
// loopback interface, and a predefined boxes file that does not exist yet.
#include <QDir>
#include <QUdpSocket>

#include "app/MainOptions.h"

namespace vela::testing {

inline quint16 FreeUdpPort() {
  QUdpSocket probe;
  probe.bind(QHostAddress::LocalHost, 0);
  return probe.localPort();
}

inline TMainWindowOptions LoopbackOptions() {
  TMainWindowOptions options;
  options.Net.Interface = QStringLiteral("127.0.0.1");
  options.Net.StatusPort = FreeUdpPort();
  options.Net.AnnouncePort = FreeUdpPort();
  options.PredefinedFile = QDir::temp().filePath(QStringLiteral("vela-test-%1.def").arg(options.Net.StatusPort));
  return options;
}

}  // namespace vela::testing
