// The core suite's main: every test process runs with a home of its own.
#include <gtest/gtest.h>

#include "support/PrivateHome.h"

int main(int argc, char** argv) {
  corvela::testing::PrivateHome home;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
