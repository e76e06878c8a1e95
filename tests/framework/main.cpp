#include <QCoreApplication>
#include <gtest/gtest.h>

#include "framework/sobjects.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  vela::RegisterFrameworkTypes();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
