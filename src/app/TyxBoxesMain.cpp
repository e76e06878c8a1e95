#include "app/TyxBoxesMain.h"

#include <QAction>
#include <QApplication>
#include <QScreen>

#include "app/TyxAbout.h"
#include "platform/ProductVersion.h"

namespace vela {

TBasicVelaAppForm1::TBasicVelaAppForm1(QWidget* parent) : TBasicVelaAppForm(parent) {
  MainMenu1 = menuBar();
  About1 = MainMenu1->addAction(QStringLiteral("About"));
  connect(About1, &QAction::triggered, this, &TBasicVelaAppForm1::About1Click);
  VelaBrowser1 = new QWidget(this);
  setCentralWidget(VelaBrowser1);
  resize(1055, 206 + MainMenu1->sizeHint().height());
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect r = geometry();
    r.moveCenter(screen->availableGeometry().center());
    setGeometry(r);
  }
  FormCreate();
}

QString TBasicVelaAppForm1::MainCaption(const QString& title, const QString& productVersion) {
  return title + ' ' + productVersion;
}

void TBasicVelaAppForm1::FormCreate() {
  setWindowTitle(MainCaption(QApplication::applicationDisplayName(), ProductVersion()));
}

void TBasicVelaAppForm1::About1Click() {
  if (TTyxAboutForm* about = TyxAboutForm()) about->exec();
}

}  // namespace vela
