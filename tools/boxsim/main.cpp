// boxsim: simulated Tyx boxes on loopback addresses, for trying the tool
// without hardware. See `boxsim --help`.
#include <QCoreApplication>

#include "boxsim/BoxSimOptions.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("boxsim"));
  return boxsim::RunBoxSim(QCoreApplication::arguments());
}
