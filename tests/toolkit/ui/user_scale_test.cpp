// Guards the mapping between the user coordinates of the plotting surface and its pixels, in
// both directions, with upward-growing (negative-height) scales included.
#include <gtest/gtest.h>

#include "ui/user_scale.h"

using namespace quarvel;

TEST(PixelMap, FrameScaleWithNegativeHeight) {
  // the frame of a 100-unit-wide view with ch_range 2000: left -12.5, top 1187.5, height -2500
  const PixelMap m(UserScale{-12.5, 1187.5, 100, -2500}, 1000, 500);
  EXPECT_EQ(m.pixel_x(-12.5), 0);
  EXPECT_EQ(m.pixel_x(0), 125);
  EXPECT_EQ(m.pixel_x(80), 925);
  EXPECT_EQ(m.pixel_y(1187.5), 0);
  EXPECT_EQ(m.pixel_y(0), 237);  // 237.5 lies on pixel 237
  EXPECT_EQ(m.pixel_y(1000), 37);
  EXPECT_EQ(m.pixel_y(-1000), 437);
  EXPECT_DOUBLE_EQ(m.px_y(-1312.5), 500);
}

TEST(PixelMap, PositiveHeightGrowsDownwards) {
  const PixelMap m(UserScale{0, 0, 200, 100}, 400, 200);
  EXPECT_EQ(m.pixel_x(100), 200);
  EXPECT_EQ(m.pixel_y(50), 100);
  EXPECT_EQ(m.pixel_y(99.9), 199);
}

TEST(PixelMap, BackFromPixelsLandsOnThePixelCentre) {
  const PixelMap m(UserScale{-12.5, 1187.5, 100, -2500}, 1000, 500);
  for (int px : {0, 1, 125, 500, 999}) EXPECT_EQ(m.pixel_x(m.user_x(px)), px);
  for (int py : {0, 237, 499}) EXPECT_EQ(m.pixel_y(m.user_y(py)), py);
  EXPECT_NEAR(m.user_x(125), 0.05, 1e-12);
  EXPECT_DOUBLE_EQ(m.user_dy(10), -50);
}

TEST(PixelMap, FarOffValuesStaySafe) {
  const PixelMap m(UserScale{0, 0, 1, 1}, 100, 100);
  EXPECT_EQ(m.pixel_x(1e12), 100000);
  EXPECT_EQ(m.pixel_x(-1e12), -100000);
}
