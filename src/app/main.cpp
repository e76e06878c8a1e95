// Program entry: units, application, image data module, main window, about
// box, then the message loop.
#include "app/TyxAbout.h"
#include "app/TyxBoxesMain.h"
#include "app/VelaApplication.h"
#include "app/VelaImages.h"
#include "framework/StatusList.h"

int main(int argc, char** argv) {
  vela::InitVelaUnits();
  vela::TVelaApplication app(argc, argv);
  vela::TImagedata imagedata;
  int rc = 0;
  {
    vela::TBasicVelaAppForm1 mainWindow;
    vela::TTyxAboutForm about(&mainWindow);
    vela::SetTyxAboutForm(&about);
    mainWindow.show();
    rc = app.exec();
    vela::SetTyxAboutForm(nullptr);
    vela::TImagedata::SetTerminating(true);
  }
  vela::DestroyStatusList();
  return rc;
}
