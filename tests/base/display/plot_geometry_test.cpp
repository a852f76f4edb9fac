// Guards the one plotting geometry against values worked out by hand: the coordinate system and
// the frame lines of a channel (the height negative, values growing upwards), the band that
// holds plotted values, and the conversions between samples, times and user x in both directions.
#include <gtest/gtest.h>

#include "display/plot_geometry.h"

using namespace quarvel;

TEST(PlotGeometry, FrameOfAChannelOfRange2000) {
  const PlotGeometry g(100, 2000);  // 80 samples a screen, band +-1000
  EXPECT_DOUBLE_EQ(g.left(), -12.5);
  EXPECT_DOUBLE_EQ(g.top(), 1187.5) << "0.59375 R above the zero line";
  EXPECT_DOUBLE_EQ(g.height(), -2500) << "1.25 R, negative: y grows upwards";
  EXPECT_DOUBLE_EQ(g.top() + g.height(), -1312.5) << "the bottom edge, 0.65625 R below";
  EXPECT_DOUBLE_EQ(g.samples_on_screen(), 80);
  EXPECT_DOUBLE_EQ(g.amp_axis_x(), -2.5);
  EXPECT_DOUBLE_EQ(g.band_top(), 1000);
  EXPECT_DOUBLE_EQ(g.band_bottom(), -1000);
  EXPECT_DOUBLE_EQ(g.time_axis_y(), -1062.5);
  EXPECT_DOUBLE_EQ(g.marker_top(), -1012.5);
  EXPECT_DOUBLE_EQ(g.tick_top(), -962.5);
  EXPECT_DOUBLE_EQ(g.level_gap(8), 312.5);
  EXPECT_DOUBLE_EQ(g.overplot_first(10), 800) << "10 % below the top: 0.4 R above zero";
  EXPECT_DOUBLE_EQ(g.overplot_further(10), -200);
  for (const auto& [v, held] : std::initializer_list<std::pair<double, double>>{
           {1500, 1000}, {-1500, -1000}, {999.5, 999.5}, {-1000, -1000}})
    EXPECT_DOUBLE_EQ(g.clamp_to_band(v), held) << v;
}

TEST(PlotGeometry, SamplesTimesAndXRoundTrip) {
  const PlotGeometry g(1250, 400);  // a 1000-sample block on one screen
  for (const double view_start : {0.0, 1000.0, 86399999.0}) {
    for (const double x : {0.0, 1.0, 437.5, 1000.0}) {
      const double sample = PlotGeometry::sample_at_x(x, view_start);
      EXPECT_DOUBLE_EQ(PlotGeometry::x_of_sample(sample, view_start), x) << view_start << " " << x;
    }
  }
  // 500 ms on the screen: x = 250 is 125 ms, and back
  EXPECT_DOUBLE_EQ(g.time_at_x(250, 500), 125);
  for (const double t : {0.0, 0.5, 125.0, 499.999})
    EXPECT_NEAR(g.time_at_x(g.x_at_time(t, 500), 500), t, 1e-12) << t;
}
