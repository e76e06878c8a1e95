#pragma once
// Reusable base of the application's main windows: it receives the object
// framework's notifications and deferred commands as messages and runs the
// status list's delivery passes from its 100 ms timer.
#include <QMainWindow>
#include <QTimer>

#include "platform/Messages.h"

namespace vela {

class TBasicVelaAppForm : public QMainWindow, public TMessageReceiver {
  Q_OBJECT
 public:
  explicit TBasicVelaAppForm(QWidget* parent = nullptr);
  ~TBasicVelaAppForm() override;

  QTimer* StatusTimer() const { return fStatusTimer; }

  // The window procedure: framework messages go to the framework's
  // dispatcher, everything else to DefaultHandler.
  void Dispatch(TMessage& message) override;

 protected:
  // Ordinary handling of a message that is not the framework's.
  virtual void DefaultHandler(TMessage& message);
  void StatusTimerTimer();

 private:
  QTimer* fStatusTimer;
};

}  // namespace vela
