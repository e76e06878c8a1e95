#include "app/BasicAppFprm.h"

namespace vela {

TBasicVelaAppForm::TBasicVelaAppForm(QWidget* parent) : QMainWindow(parent), fStatusTimer(new QTimer(this)) {
  fStatusTimer->setInterval(100);
  connect(fStatusTimer, &QTimer::timeout, this, &TBasicVelaAppForm::StatusTimerTimer);
  fStatusTimer->start();
}

TBasicVelaAppForm::~TBasicVelaAppForm() { fStatusTimer->stop(); }

void TBasicVelaAppForm::Dispatch(TMessage& message) { DefaultHandler(message); }

void TBasicVelaAppForm::DefaultHandler(TMessage&) {}

void TBasicVelaAppForm::StatusTimerTimer() {}

}  // namespace vela
