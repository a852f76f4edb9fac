// The main of the bottom layer's tests: GoogleTest alone, no application object, so these tests
// prove the layer runs without the widgets toolkit.
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
