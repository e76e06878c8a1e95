// Program entry: units, application, command line, image data module, main
// window, about box, then the message loop.
#include <QTimer>
#include <cstdio>

#include "app/MainOptions.h"
#include "app/TyxAbout.h"
#include "app/TyxBoxesMain.h"
#include "app/VelaApplication.h"
#include "app/VelaImages.h"
#include "framework/StatusList.h"

int main(int argc, char** argv) {
  vela::InitVelaUnits();
  vela::TVelaApplication app(argc, argv);
  const QStringList arguments = app.arguments().mid(1);
  if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
    std::fputs(qPrintable(vela::MainOptionsUsage()), stdout);
    return 0;
  }
  QString error;
  const std::optional<vela::TMainWindowOptions> options = vela::ParseMainOptions(arguments, &error);
  if (!options) {
    std::fprintf(stderr, "%s\n%s", qPrintable(error), qPrintable(vela::MainOptionsUsage()));
    return 2;
  }
  vela::TImagedata imagedata;
  int rc = 0;
  {
    vela::TBasicVelaAppForm1 mainWindow(*options);
    vela::TTyxAboutForm about(&mainWindow);
    vela::SetTyxAboutForm(&about);
    mainWindow.show();
    if (!options->ScreenshotFile.isEmpty()) {
      // Time enough for the boxes to report and the list to fill.
      QTimer::singleShot(4000, &mainWindow, [&] {
        if (!mainWindow.grab().save(options->ScreenshotFile)) {
          std::fprintf(stderr, "cannot write %s\n", qPrintable(options->ScreenshotFile));
          rc = 1;
        }
        app.exit(rc);
      });
    }
    const int loop = app.exec();
    if (rc == 0) rc = loop;
    vela::SetTyxAboutForm(nullptr);
    vela::TImagedata::SetTerminating(true);
  }
  vela::DestroyStatusList();
  return rc;
}
