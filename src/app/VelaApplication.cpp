#include "app/VelaApplication.h"

#include <QMessageBox>

#include "devices/DeviceTypes.h"
#include "framework/sobjects.h"
#include "platform/Assertion.h"

namespace vela {

TVelaApplication::TVelaApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("VelaDeviceBrowser"));
  setApplicationDisplayName(QStringLiteral("Vela Device Browser"));
}

bool TVelaApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const EVelaAssertion& e) {
    ReportFailure(e.Text() + QStringLiteral(" (") + e.Unit() + ')');
  } catch (const std::exception& e) {
    ReportFailure(QString::fromLocal8Bit(e.what()));
  }
  return false;
}

void TVelaApplication::ReportFailure(const QString& text) {
  qWarning("%s", qPrintable(text));
  if (platformName() != QLatin1String("offscreen")) QMessageBox::critical(nullptr, applicationDisplayName(), text);
}

void InitVelaUnits() {
  RegisterFrameworkTypes();
  RegisterDeviceTypes();
}

}  // namespace vela
