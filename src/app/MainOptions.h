#pragma once
// What the main window is told at start: the command line read into the
// box manager's start settings.
#include <QString>
#include <QStringList>
#include <optional>

#include "devices/TyxBoxes.h"

namespace vela {

struct TMainWindowOptions {
  // "/TEST": the box list holds two dummy boxes from the start.
  bool CreateDummy = false;
  TTyxNetOptions Net;
  // The file of hand-entered WAN boxes; empty: VelaBoxes.def beside the program.
  QString PredefinedFile;
  // The section of the WAN boxes in that file.
  QString PredefinedSection = QStringLiteral("WanBoxes");
  // When set, the window is saved to this image file after a few seconds and
  // the program ends (pictures for the documentation).
  QString ScreenshotFile;
};

// Whether a parameter is the test switch: "/TEST" in any case, as a whole.
bool IsTestSwitch(const QString& Parameter);

// The options of a command line (Arguments without the program name):
// "/TEST", "--interface ADDR|NAME" (or "--interface=ADDR|NAME"),
// "--boxes-file FILE", "--screenshot FILE". Other parameters are ignored, as they always were.
// None, with the reason in Error, when an option lacks its value.
std::optional<TMainWindowOptions> ParseMainOptions(const QStringList& Arguments, QString* Error = nullptr);

// The usage text printed for "--help".
QString MainOptionsUsage();

}  // namespace vela
