#include "app/BasicAppFprm.h"

#include "framework/WindowHandoff.h"

namespace vela {

TBasicVelaAppForm::TBasicVelaAppForm(QWidget* parent) : QMainWindow(parent), fStatusTimer(new QTimer(this)) {
  fStatusTimer->setInterval(100);
  connect(fStatusTimer, &QTimer::timeout, this, &TBasicVelaAppForm::StatusTimerTimer);
  // Passes run from this window's timer from now on, and the window receives
  // the framework's notifications and deferred commands.
  BeginStatusByTimer(this);
  fStatusTimer->start();
}

TBasicVelaAppForm::~TBasicVelaAppForm() {
  fStatusTimer->stop();
  StatusShutdown();
  if (NotifyWindow() == this) SetNotifyWindow(nullptr);
}

void TBasicVelaAppForm::Dispatch(TMessage& message) {
  if (IsFrameworkMessage(message.Msg))
    DispatchFrameworkMessage(message);
  else
    DefaultHandler(message);
}

void TBasicVelaAppForm::DefaultHandler(TMessage&) {}

void TBasicVelaAppForm::StatusTimerTimer() { StatusTimerTick(); }

}  // namespace vela
