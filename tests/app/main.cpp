#include <gtest/gtest.h>

#include "app/VelaApplication.h"

int main(int argc, char** argv) {
  vela::InitVelaUnits();
  vela::TVelaApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
