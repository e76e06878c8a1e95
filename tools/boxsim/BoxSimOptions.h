#pragma once
// The simulator's command line, and the program run behind main().
#include <QString>
#include <QStringList>

#include "boxsim/BoxSimConfig.h"

namespace boxsim {

struct TBoxSimOptions {
  TBoxSimConfig Config;
  QString LogFile;    // empty: standard output
  int DurationS = 0;  // 0: run until stopped
  bool ShowHelp = false;
  QString HelpText;
  QString Error;  // set when the command line is refused
};

// Exit codes of RunBoxSim.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // a socket or the log file could not be opened
constexpr int kExitUsage = 2;   // the command line was refused (a non-loopback address among others)

// `arguments` as QCoreApplication::arguments() gives them (program name first).
TBoxSimOptions ParseBoxSimOptions(const QStringList& arguments);

// Parses, opens the log, starts the simulator and runs the event loop of the
// existing QCoreApplication until --duration-s ends it (or for ever). Refusals
// go to standard error.
int RunBoxSim(const QStringList& arguments);

}  // namespace boxsim
