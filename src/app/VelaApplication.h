#pragma once
// The application object: reports assertion failures that reach the event
// loop in a message box and goes on.
#include <QApplication>

namespace vela {

class TVelaApplication : public QApplication {
  Q_OBJECT
 public:
  TVelaApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // Shows an assertion failure to the operator (quietly logged offscreen).
  static void ReportFailure(const QString& text);
};

// Registers every streamable class of the program; idempotent.
void InitVelaUnits();

}  // namespace vela
