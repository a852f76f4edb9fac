// Guards that drawing from the arrays' summaries leaves the picture pixel for pixel as the
// drawing that read every sample did (reference_curves.cpp): min/max columns, joined lines where
// curves cross, marker bars and stimulus ticks, average and single curves, block views and
// clamping, on random data with NaN samples and dense markers.
#include <QAction>
#include <QCoreApplication>
#include <QImage>
#include <cmath>
#include <functional>
#include <limits>
#include <random>

#include "display/draw_curves.h"
#include "display/draw_frame.h"
#include "display/plot_geometry.h"
#include "support/window_fixture.h"
#include "ui/surface.h"
#include "window/display/reference_curves.h"

using namespace quarvel;
using quarvel::testing::WindowTest;

namespace {

// A view: how many samples, on how many pixels, from where, and what else is set.
struct View {
  const char* name;
  int32_t samples;
  int px;
  double shown;       // samples on one screen
  double view_start;
  float spread;       // noise amplitude; beyond 1000 the curves are clamped to their bands
  std::function<void(SharedState&)> extra;
};

void block_file(SharedState& s, int32_t length, bool single, bool average) {
  s.block_mode = kTrue;
  s.block_length = length;
  s.block_count = s.sample_count / length;
  s.show_single = Flag(single);
  s.show_average = Flag(average);
  s.ave_data.redim(3, length - 1);
  for (int ch = 1; ch <= 3; ++ch)
    for (int32_t i = 0; i < length; ++i) s.ave_data(ch, i) = s.work_data(ch, i) * 0.5f + 100;
}

class Picture : public WindowTest, public ::testing::WithParamInterface<View> {
 protected:
  void load(const View& v) {
    SharedState& s = w->s;
    w->disp->setFixedSize(v.px, 400);
    QCoreApplication::processEvents();
    std::mt19937 gen(static_cast<unsigned>(v.samples + v.px));
    std::uniform_real_distribution<float> noise(-v.spread, v.spread);
    s.file_loaded = kTrue;
    s.block_mode = kFalse;
    s.sample_count = v.samples;
    s.channel_count = 3;
    s.ch_source = {1, 2, 3};
    s.raw_data.redim(3, v.samples);
    for (int ch = 1; ch <= 3; ++ch) {
      s.ch_max[ch] = 1000;
      for (int32_t i = 0; i < v.samples; ++i)
        s.raw_data(ch, i) = static_cast<float>(300 * std::sin(i * 0.01 + ch)) + noise(gen);
    }
    for (int32_t i = 5; i < v.samples; i += 997) s.raw_data(2, i) = std::numeric_limits<float>::quiet_NaN();
    s.work_data = s.raw_data;
    // Marker runs of 1 to 40 samples with gaps of 1 to 120, and stimuli in between.
    redim(s.marker_data, v.samples);
    std::uniform_int_distribution<int> run(1, 40), gap(1, 120);
    for (int32_t i = gap(gen); i < v.samples; i += gap(gen)) {
      const int32_t end = std::min(v.samples, i + run(gen));
      for (; i < end; ++i) s.marker_data[static_cast<size_t>(i)] = 100;
      if (i % 3 == 0) s.marker_data[static_cast<size_t>(i)] = 200;
    }
    s.marker_data[static_cast<size_t>(std::lround(v.view_start))] = 200;  // a bar open at the left edge
    s.view_start = static_cast<float>(v.view_start);
    w->disp->set_scale_width(v.shown / 0.8);
    if (v.extra) v.extra(s);
  }

  QImage picture(void (*curves)(MainWindow&)) {
    draw_frame(*w);
    curves(*w);
    return w->disp->image().copy();
  }
};

TEST_P(Picture, IsTheSamePixelForPixel) {
  load(GetParam());
  const QImage want = picture(quarvel::testing::reference_draw_curves);
  const UserScale want_scale = w->disp->scale();
  const int32_t want_sweep = w->s.sweep_width;
  const QImage got = picture(draw_curves);
  ASSERT_EQ(got.size(), want.size());
  int differ = 0;
  QPoint first(-1, -1);
  for (int y = 0; y < got.height(); ++y)
    for (int x = 0; x < got.width(); ++x)
      if (got.pixel(x, y) != want.pixel(x, y)) {
        if (differ++ == 0) first = QPoint(x, y);
      }
  EXPECT_EQ(differ, 0) << "first at (" << first.x() << ", " << first.y() << ")";
  EXPECT_EQ(w->disp->scale().top, want_scale.top) << "the vertical scale left is the last channel's";
  EXPECT_EQ(w->disp->scale().height, want_scale.height);
  EXPECT_EQ(w->s.sweep_width, want_sweep);
}

INSTANTIATE_TEST_SUITE_P(
    Views, Picture,
    ::testing::Values(
        View{"ColumnsWholeFile", 400000, 1000, 400000, 0, 200, {}},
        View{"ColumnsOddWidthFractionalStart", 300000, 777, 120000, 12345.5, 200, {}},
        View{"ColumnsClamped", 200000, 1000, 200000, 0, 3000, {}},
        View{"ColumnsPastTheEnd", 100000, 600, 90000, 50000.25, 200, {}},
        View{"LinesOnePerPixel", 5000, 1000, 1000, 2000, 200, {}},
        View{"LinesFiveSamplesPerPixel", 20000, 1000, 5000, 3000.5, 200, {}},
        View{"LinesClamped", 5000, 800, 1200, 100, 3000, {}},
        View{"ZoomedIn", 5000, 1000, 200, 1500, 200, {}},
        View{"LinesTangled", 5000, 1000, 700, 2500, 900, {}},
        View{"LinesTangledTwoSamplesPerPixel", 9000, 700, 1400, 4000.5, 900, {}},
        View{"BlockAverageAndSingleCross", 6000, 1000, 1000, 1000, 150,
             [](SharedState& s) { block_file(s, 1000, true, true); }},
        View{"BlockAverageOnly", 6000, 900, 1000, 2000, 150,
             [](SharedState& s) { block_file(s, 1000, false, true); }},
        View{"LongBlocksInColumns", 400000, 1000, 100000, 100000, 150,
             [](SharedState& s) { block_file(s, 100000, true, true); }},
        View{"OneChannelOverplotOff", 300000, 1000, 300000, 0, 200,
             [](SharedState& s) { s.ch_source = {0, 2, 0}; }}),
    [](const ::testing::TestParamInfo<View>& i) { return std::string(i.param.name); });

}  // namespace
