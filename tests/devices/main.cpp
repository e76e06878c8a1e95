#include <gtest/gtest.h>

#include <QGuiApplication>

#include "DeviceTestSupport.h"
#include "devices/DeviceTypes.h"
#include "framework/sobjects.h"

int main(int argc, char** argv) {
  // The block's bar graph paints into images; the offscreen platform also
  // serves test discovery, which runs without the test environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  vela::RegisterFrameworkTypes();
  vela::RegisterDeviceTypes();
  vela::testing::RegisterDeviceTestTypes();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
