#include <gtest/gtest.h>

#include "app/VelaApplication.h"

int main(int argc, char** argv) {
  // Test discovery runs this program during the build, outside ctest's
  // environment: the widgets need no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  vela::InitVelaUnits();
  vela::TVelaApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
