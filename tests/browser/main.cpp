#include <gtest/gtest.h>

#include <QApplication>

#include "BrowserFixtures.h"
#include "framework/sobjects.h"

int main(int argc, char** argv) {
  // GUI tests run off screen unless told otherwise (also when CTest lists them).
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  vela::RegisterFrameworkTypes();
  vela::testing::RegisterBrowserTestTypes();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
