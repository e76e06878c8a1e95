#include <gtest/gtest.h>

#include <QGuiApplication>

#include "framework/sobjects.h"

int main(int argc, char** argv) {
  // Drag images and cell painting need fonts, hence a GUI application; the
  // offscreen platform also serves test discovery, which runs without the
  // test environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  vela::RegisterFrameworkTypes();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
