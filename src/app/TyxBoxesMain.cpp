#include "app/TyxBoxesMain.h"

#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QStatusBar>

#include "app/TyxAbout.h"
#include "boxsetup/SetIp.h"
#include "browser/Browser.h"
#include "devices/TyxBoxes.h"
#include "platform/ProductVersion.h"

namespace vela {

TBasicVelaAppForm1::TBasicVelaAppForm1(TMainWindowOptions Options, QWidget* parent)
    : TBasicVelaAppForm(parent), fOptions(std::move(Options)) {
  MainMenu1 = menuBar();
  About1 = MainMenu1->addAction(QStringLiteral("About"));
  connect(About1, &QAction::triggered, this, &TBasicVelaAppForm1::About1Click);
  VelaBrowser1 = new TVelaBrowser(this);
  setCentralWidget(VelaBrowser1);
  resize(1055, 206 + MainMenu1->sizeHint().height());
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect r = geometry();
    r.moveCenter(screen->availableGeometry().center());
    setGeometry(r);
  }
  FormCreate();
}

TBasicVelaAppForm1::~TBasicVelaAppForm1() {
  // The browser lets go of the tree before the tree goes.
  VelaBrowser1->SetRootObject(nullptr);
  TyxIpDialogHook() = nullptr;
  FreeObj(fBoxes);
  fBoxes = nullptr;
}

QString TBasicVelaAppForm1::MainCaption(const QString& title, const QString& productVersion) {
  return title + ' ' + productVersion;
}

TTyxBoxes* TBasicVelaAppForm1::BoxManager() const { return fBoxes; }

void TBasicVelaAppForm1::FormCreate() {
  setWindowTitle(MainCaption(QApplication::applicationDisplayName(), ProductVersion()));

  // A box's Set IP dialog opens over this window (the browser frame brings
  // the message boxes and the cell editors itself).
  TyxIpDialogHook() = [this](TIpSettings& settings) { return EditIpSettings(this, settings); };

  fBoxes = TTyxBoxes::Create(fOptions.CreateDummy);
  fBoxes->SetNetOptions(fOptions.Net);
  // A failure is not fatal: the manager's name says so and the list stays
  // empty. The list shows the boxes, not the manager, so the window's status
  // line carries the name and the reason.
  if (!fBoxes->StartNet()) {
    const QString text = fBoxes->Name() + QStringLiteral(": ") + fBoxes->OpenErrorText();
    qWarning("%s", qPrintable(text));
    statusBar()->showMessage(text);
  }
  // Boxes entered by hand in an earlier run come back.
  fBoxes->LoadPredefined(fOptions.PredefinedFile, fOptions.PredefinedSection);

  VelaBrowser1->SetWithColumns(true);
  VelaBrowser1->SetAsListView(true);
  VelaBrowser1->SetRootObject(fBoxes);
}

void TBasicVelaAppForm1::About1Click() {
  if (TTyxAboutForm* about = TyxAboutForm()) about->exec();
}

}  // namespace vela
