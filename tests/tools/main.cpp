#include <gtest/gtest.h>

#include <QCoreApplication>

#include "devices/DeviceTypes.h"
#include "framework/sobjects.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  // The discovery tests run the box manager against the simulator.
  vela::RegisterFrameworkTypes();
  vela::RegisterDeviceTypes();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
