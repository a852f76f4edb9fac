// Guards curve plotting as it lands on the surface's pixels: joined lines up to six samples per
// pixel and min/max columns above, spikes and clamping in columns, which channels are drawn,
// block views stopping at one block, single and average curves in their colours, curves that stop
// where the stored samples end, marker bars and stimulus ticks, and the overplot picture.
#include <QAction>

#include "core/indexed.h"
#include "display/draw_curves.h"
#include "display/draw_frame.h"
#include "display/navigation.h"
#include "support/loaded_file.h"
#include "support/window_fixture.h"
#include "ui/surface.h"

using namespace quarvel;
using quarvel::testing::load_shape;
using quarvel::testing::LoadShape;
using quarvel::testing::WindowTest;

namespace {

const QColor kBack = to_qcolor(kBlue);

class DrawCurves : public WindowTest {
 protected:
  // A loaded continuous recording of n samples on display channels 1..channels, all zero, shown
  // on a surface `width` user units wide (1 ms a sample).
  void load(int channels, int32_t n, double width) {
    LoadShape shape;
    shape.channels = channels;
    shape.frames = n;
    load_shape(*w, shape);
    show_width(width);
  }

  // A loaded block file of `count` blocks of `length` samples.
  void load_blocks(int channels, int32_t length, int32_t count, double width) {
    LoadShape shape;
    shape.channels = channels;
    shape.frames = length * count;
    shape.block_length = length;
    load_shape(*w, shape);
    show_width(width);
  }

  // The band of every channel is +-1000 (as if the file reached 1000), on a surface `width` wide.
  void show_width(double width) {
    w->s.ch_max.fill(1000);
    set_time_scale(*w, TimeScale{static_cast<float>(width * 0.8 * 0.001), 1, QStringLiteral(" s"),
                                 static_cast<float>(width)});
  }

  void fill(int ch, int32_t from, int32_t to, float v) {
    for (int32_t i = from; i <= to; ++i) w->s.work_data(ch, i) = v;
  }

  void draw() {
    draw_frame(*w);
    draw_curves(*w);
  }

  // The colour at user position (x, y) in the scale the surface was left with.
  QColor at(double x, double y) {
    const PixelMap m = w->disp->pixel_map();
    return w->disp->pixel(m.pixel_x(x), m.pixel_y(y));
  }
  QColor at_px(int px, double y) { return w->disp->pixel(px, w->disp->pixel_map().pixel_y(y)); }
  int px(double x) const { return w->disp->pixel_map().pixel_x(x); }
  double sh() const { return w->disp->scale_height(); }
};

}  // namespace

// The band is +-1000 throughout (ch_max 1000 gives the step 500); the surface is 1000 pixels wide.

TEST_F(DrawCurves, JoinedLinesUpToSixSamplesPerPixelColumnsAbove) {
  // 6 samples per pixel: a one-sample spike is a hairline in one pixel column
  load(1, 10000, 6000);
  w->s.work_data(1, 603) = 500;
  draw();
  EXPECT_EQ(w->s.disp_px_width, 1000);
  EXPECT_EQ(w->s.sweep_width, 4800);
  int p = px(603);
  EXPECT_EQ(at_px(p, 250), Qt::white);
  EXPECT_EQ(at_px(p + 1, 250), kBack);
  EXPECT_EQ(at_px(p - 1, 250), kBack);

  // 7 samples per pixel: the spike lights the one pixel column of the column holding it
  load(1, 10000, 7000);
  w->s.work_data(1, 703) = 500;
  draw();
  EXPECT_EQ(w->s.sweep_width, 5600);
  p = px(700);
  EXPECT_EQ(px(703), p);
  EXPECT_EQ(at_px(p, 250), Qt::white);
  EXPECT_EQ(at_px(p + 1, 250), kBack) << "a column is one pixel wide";
  EXPECT_EQ(at_px(p - 1, 250), kBack);
  EXPECT_EQ(at_px(p + 1, 0), Qt::white) << "the rest of the curve";
}

TEST_F(DrawCurves, OneSampleSpikesSurviveLongViews) {
  // 180 s at 200 Hz on 1000 pixels: 45 samples per pixel
  load(1, 36000, 45000);
  SharedState& s = w->s;
  s.work_data(1, 12345) = 800;
  s.work_data(1, 20001) = -700;
  s.work_data(1, 13500) = 600;  // the boundary sample of two columns
  draw();
  const double y_top = 800, y_bottom = -700;
  EXPECT_EQ(at(12345, y_top), Qt::white);
  EXPECT_EQ(at(12345, y_top + 15), kBack);
  EXPECT_EQ(at(20001, y_bottom), Qt::white);
  EXPECT_EQ(at(20001, y_bottom - 15), kBack);
  // both columns sharing sample 13500 reach it: two pixel columns, one each
  const int p = px(13500);
  EXPECT_EQ(px(13455), p - 1);
  for (int q = p - 1; q <= p; ++q) EXPECT_EQ(at_px(q, 600), Qt::white) << q;
  EXPECT_EQ(at_px(p - 2, 600), kBack);
  EXPECT_EQ(at_px(p + 1, 600), kBack);
}

// Whatever the fraction of the samples per pixel, every pixel column from the first sample to the
// last carries its min/max column: a flat curve is one unbroken row.
class BandColumns : public DrawCurves, public ::testing::WithParamInterface<double> {};

TEST_P(BandColumns, LeaveNoPixelColumnEmpty) {
  const double step = 9 + GetParam();
  load(1, 20000, step * 1000);
  fill(1, 0, 19999, 300);
  draw();
  const int32_t last = w->s.sweep_width;
  int empty = 0;
  for (int p = px(0); p <= px(last); ++p) empty += at_px(p, 300) != Qt::white;
  EXPECT_EQ(empty, 0) << "of the pixel columns " << px(0) << ".." << px(last);
  EXPECT_EQ(at_px(px(last) + 1, 300), kBack);
}

INSTANTIATE_TEST_SUITE_P(StepFractions, BandColumns, ::testing::Values(0.0, 0.3, 0.5, 0.7, 0.99));

// The picture and the curve points end with the file's last sample, not a 0 after it.
TEST_F(DrawCurves, TheLastSampleDrawnIsTheFilesLast) {
  load(1, 100, 125);
  fill(1, 0, 99, 300);
  draw();
  EXPECT_EQ(w->s.sweep_width, 99);
  EXPECT_EQ(at(99, 300), Qt::white);
  for (const double x : {99.3, 99.6, 100.0}) EXPECT_EQ(at(x, 150), kBack) << x;
  w->mnuCopyitem[5]->trigger();
  const QStringList lines = clipboard->text.split("\r\n");
  ASSERT_EQ(lines.size(), 101);
  const QStringList cells = lines.back().split('\t');
  ASSERT_EQ(cells.size(), 3);
  EXPECT_NEAR(cells[0].toDouble(), 0.099, 1e-6);
  EXPECT_EQ(cells[1], "300");
}

// A block count past the int16 range is still counted to its end.
TEST_F(DrawCurves, OverplotDrawsEveryBlockOfAFileOfMoreThan32767) {
  load_blocks(1, 2, 32770, 2.5);
  ASSERT_EQ(w->s.block_count, 32770);
  w->s.work_data(1, 2 * 32769) = 900;  // the first sample of the last block
  w->s.first_disp[1] = 50;  // every block on the middle line of the band
  w->s.further_disp[1] = 0;
  w->s.overplot_on = kTrue;
  redraw(*w);
  EXPECT_EQ(w->s.view_start, 0);
  EXPECT_EQ(at(0, 900), Qt::white) << "the last block is drawn";
}

TEST_F(DrawCurves, ColumnsAreClampedToTheBand) {
  load(1, 36000, 45000);
  SharedState& s = w->s;
  // partly below: the column of samples 4500..4545 runs from -3000 to 200
  s.work_data(1, 4501) = -3000;
  s.work_data(1, 4502) = 200;
  // wholly below: three whole columns around sample 9000
  fill(1, 8955, 9090, -2500);
  draw();
  int p = px(4500);
  EXPECT_EQ(at_px(p, -1000), Qt::white) << "from the band's bottom";
  EXPECT_EQ(at_px(p, -500), Qt::white);
  EXPECT_EQ(at_px(p, 200), Qt::white) << "to the column's maximum";
  EXPECT_EQ(at_px(p, 300), kBack);
  EXPECT_EQ(at_px(p, -1040), kBack) << "never below the band";
  p = px(9000);
  const PixelMap m = w->disp->pixel_map();
  const int bottom_row = m.pixel_y(-1000);
  EXPECT_EQ(w->disp->pixel(p, bottom_row), Qt::white) << "a flat mark on the bottom edge";
  EXPECT_EQ(w->disp->pixel(p, bottom_row - 1), kBack);
  EXPECT_EQ(w->disp->pixel(p, bottom_row + 1), kBack);
  EXPECT_EQ(at_px(p, 0), kBack);
}

TEST_F(DrawCurves, LinesAreClampedToTheBand) {
  load(1, 2000, 1250);
  fill(1, 100, 200, 5000);
  fill(1, 300, 400, -5000);
  draw();
  EXPECT_EQ(at(150, 1000), Qt::white);
  EXPECT_EQ(at(150, 1030), kBack);
  EXPECT_EQ(at(350, -1000), Qt::white);
  EXPECT_EQ(at(350, -1030), kBack);
}

TEST_F(DrawCurves, ChannelsWithAnInputAndOnlyTheCurrentOneUnderOverplot) {
  load(3, 2000, 1250);
  fill(1, 0, 2000, 600);
  fill(3, 0, 2000, -600);
  draw();
  EXPECT_EQ(at(500, 600), Qt::white);
  EXPECT_EQ(at(500, 0), Qt::yellow);
  EXPECT_EQ(at(500, -600), Qt::cyan);

  w->s.current_ch = 2;
  w->s.overplot_on = kTrue;
  draw();
  EXPECT_EQ(at(500, 600), kBack);
  EXPECT_EQ(at(500, 0), Qt::yellow);
  EXPECT_EQ(at(500, -600), kBack);

  w->s.overplot_on = kFalse;
  w->s.ch_source[2] = 0;  // "none"
  draw();
  EXPECT_EQ(at(500, 600), Qt::white);
  EXPECT_EQ(at(500, 0), kBack);
  EXPECT_EQ(at(500, -600), Qt::cyan);
}

TEST_F(DrawCurves, ABlockViewStopsAtTheEndOfOneBlock) {
  load_blocks(1, 100, 3, 250);  // a screen of 200 samples
  fill(1, 0, 299, 500);
  draw();
  EXPECT_EQ(w->s.sweep_width, 99);
  EXPECT_EQ(at(98, 500), Qt::white);
  EXPECT_EQ(at(102, 500), kBack);

  w->s.view_start = 100;
  draw();
  EXPECT_EQ(w->s.sweep_width, 199);
  EXPECT_EQ(at(98, 500), Qt::white);
  EXPECT_EQ(at(102, 500), kBack);

  w->s.view_start = 250;
  draw();
  EXPECT_EQ(w->s.sweep_width, 299);
  EXPECT_EQ(at(48, 500), Qt::white);
  EXPECT_EQ(at(52, 500), kBack);
}

TEST_F(DrawCurves, SingleAndAverageCurvesInTheirColours) {
  // joined lines (0.125 samples per pixel) and columns (12.5 samples per pixel)
  for (const auto& [length, width] : {std::pair{100, 125.0}, std::pair{10000, 12500.0}}) {
    SCOPED_TRACE(length);
    load_blocks(1, length, 2, width);
    SharedState& s = w->s;
    s.view_start = static_cast<float>(length);  // block 2: the average lies beside it
    fill(1, length, 2 * length - 1, 400);
    for (int32_t i = 0; i < length; ++i) s.ave_data(1, i) = -400;
    s.ch_colour[1] = kYellow;
    s.ave_colour[1] = kGrey;
    s.show_single = kTrue;
    s.show_average = kTrue;
    draw();
    const double mid = length / 2.0;
    EXPECT_EQ(at(mid, 400), Qt::yellow);
    EXPECT_EQ(at(mid, -400), QColor(150, 150, 150));

    s.show_single = kFalse;
    draw();
    EXPECT_EQ(at(mid, 400), kBack);
    EXPECT_EQ(at(mid, -400), QColor(150, 150, 150));

    s.show_single = kTrue;
    s.show_average = kFalse;
    draw();
    EXPECT_EQ(at(mid, 400), Qt::yellow);
    EXPECT_EQ(at(mid, -400), kBack);
  }
}

TEST_F(DrawCurves, TheAverageOverALongerContinuousViewCoversOnlyItsOwnLength) {
  for (const auto& [n, width, ave_len] : {std::tuple{2000, 1250.0, 100}, std::tuple{20000, 12500.0, 1000}}) {
    SCOPED_TRACE(n);
    load(1, n, width);
    SharedState& s = w->s;
    s.ave_data.redim(1, ave_len - 1);
    for (int32_t i = 0; i < ave_len; ++i) s.ave_data(1, i) = -400;
    s.show_average = kTrue;
    draw();
    EXPECT_EQ(at(ave_len * 0.5, -400), QColor(150, 150, 150));
    EXPECT_EQ(at(ave_len * 1.5, -400), kBack);
    EXPECT_EQ(at(ave_len * 1.5, 0), Qt::white) << "the single curve goes on";
  }
}

TEST_F(DrawCurves, CurvesStopWhereTheStoredSamplesEnd) {
  // the view reaches sample_count while fewer samples are stored (lines, then columns)
  for (const auto& [n, width, stored] : {std::tuple{1800, 2250.0, 1000}, std::tuple{36000, 45000.0, 10000}}) {
    SCOPED_TRACE(n);
    load(1, n, width);
    SharedState& s = w->s;
    s.work_data.redim(1, stored - 1);
    fill(1, 0, stored - 1, 300);
    draw();
    EXPECT_EQ(s.sweep_width, n - 1);
    EXPECT_EQ(at(stored * 0.98, 300), Qt::white);
    EXPECT_EQ(at(stored * 1.02, 300), kBack);
  }
}

TEST_F(DrawCurves, MarkerBarsAndStimulusTicks) {
  load(1, 2000, 1250);  // 1.25 samples per pixel, a screen of 1000 samples
  SharedState& s = w->s;
  s.view_start = 100;
  for (int i = 50; i <= 150; ++i) s.marker_data[static_cast<size_t>(i)] = 100;     // on before the view
  for (int i = 1000; i <= 2000; ++i) s.marker_data[static_cast<size_t>(i)] = 100;  // on past its end
  s.marker_data[400] = 200;
  draw();
  EXPECT_EQ(s.sweep_width, 1100);
  const double bar = 0.415 * sh(), tick = 0.39 * sh();
  EXPECT_EQ(at(0, bar), Qt::white) << "a run on before the view starts at the left edge";
  EXPECT_EQ(at(25, bar), Qt::white) << "bars are filled when samples are denser than pixels";
  EXPECT_EQ(at(51, bar), Qt::white) << "up to the first sample after the run";
  EXPECT_EQ(at(54, bar), kBack);
  EXPECT_EQ(at(-3, bar), kBack);
  EXPECT_EQ(at(900, bar), Qt::white);
  EXPECT_EQ(at(1000, bar), Qt::white) << "a run lasting past the view ends at the last sample drawn";
  EXPECT_EQ(at(1004, bar), kBack);
  EXPECT_EQ(at(300, tick), Qt::white);
  EXPECT_EQ(at(302, tick), kBack);
  EXPECT_EQ(at(300, 0.37 * sh()), kBack) << "ticks stay in the strip above the time axis";
  EXPECT_EQ(at(25, tick), kBack) << "bars are lower than ticks";

  // a stimulus at the first shown sample
  s.marker_data[100] = 200;
  s.view_start = 100;
  draw();
  EXPECT_EQ(at(0, tick), Qt::white);
}

TEST_F(DrawCurves, ZoomedInBarsAreTheOutlinesOfTheirGrowth) {
  load(1, 2000, 12.5);  // a screen of 10 samples: 0.0125 samples per pixel
  SharedState& s = w->s;
  for (int i = 2; i <= 5; ++i) s.marker_data[static_cast<size_t>(i)] = 100;
  draw();
  const double mid = 0.415 * sh();
  for (int i = 2; i <= 6; ++i)
    EXPECT_EQ(at(i, mid), Qt::white) << "the right edge of the bar at sample " << i;
  EXPECT_EQ(at(2.5, mid), kBack) << "inside the bar";
  EXPECT_EQ(at(5.5, mid), kBack);
  EXPECT_EQ(at(5.5, 0.405 * sh()), Qt::white) << "top edge";
  EXPECT_EQ(at(7, mid), kBack);
}

TEST_F(DrawCurves, NoMarkerSymbolsWhileTheSpectrumIsShown) {
  load(1, 2000, 1250);
  SharedState& s = w->s;
  for (int i = 10; i <= 500; ++i) s.marker_data[static_cast<size_t>(i)] = 100;
  s.marker_data[700] = 200;
  s.psd_shown = kTrue;
  draw();
  const PixelMap m = w->disp->pixel_map();
  for (int row = m.pixel_y(0.38 * sh()); row < m.pixel_y(0.425 * sh()); ++row) {
    for (int x : {20, 300, 700}) EXPECT_EQ(w->disp->pixel(m.pixel_x(x), row), kBack) << x << "," << row;
  }
}

TEST_F(DrawCurves, NothingIsDrawnWithoutData) {
  load(1, 2000, 1250);
  SharedState& s = w->s;
  fill(1, 0, 2000, 500);
  s.marker_data[10] = 200;
  s.file_loaded = kFalse;
  s.sweep_width = 1234;
  draw_frame(*w);
  const QImage frame = w->disp->image().copy();
  draw_curves(*w);
  EXPECT_EQ(w->disp->image(), frame);
  EXPECT_EQ(s.sweep_width, 1234);

  s.measure_mode = kTrue;
  draw_curves(*w);
  EXPECT_NE(w->disp->image(), frame) << "measurement mode draws what is there";
  EXPECT_FALSE(w->busy()) << "the arrow is back after drawing";
}

TEST_F(DrawCurves, TheSurfaceKeepsItsWidthAndLeftEdge) {
  load(2, 2000, 1250);
  w->s.ch_max[2] = 100;  // channel 2 in a finer scale
  draw();
  Surface& d = *w->disp;
  EXPECT_EQ(d.scale_mode(), Surface::ScaleMode::User);
  EXPECT_DOUBLE_EQ(d.scale_width(), 1250);
  EXPECT_DOUBLE_EQ(d.scale_left(), -0.125 * 1250);
  EXPECT_DOUBLE_EQ(d.scale_height(), -w->s.ch_range[2] / 0.8) << "left in the last channel's scale";
}

TEST_F(DrawCurves, RedrawOverplotsTheBlocksMovedDown) {
  load_blocks(1, 100, 2, 125);
  SharedState& s = w->s;
  fill(1, 100, 199, 100);  // block 2 lies 100 above its zero line
  s.first_disp[1] = 10;
  s.further_disp[1] = 10;
  s.shift_steps[1] = 1;
  s.view_start = 100;
  w->s.overplot_on = kTrue;
  redraw(*w);
  // the axis runs from +1000 to -1000 (height 2000): 10 % below its top is 800, 20 % is 600
  EXPECT_EQ(at(50, 800), Qt::white) << "block 1's zero line";
  EXPECT_EQ(at(50, 700), Qt::white) << "block 2: its zero line at 600, its samples 100 above";
  EXPECT_EQ(at(50, 600), kBack);
  EXPECT_EQ(at(50, 0), kBack);
  EXPECT_EQ(at(50, 400), kBack);
  EXPECT_EQ(s.view_start, 0);
  EXPECT_FLOAT_EQ(s.ch_offset[1], 400) << "800, moved down 200 after each of the two blocks";
  EXPECT_EQ(w->s.sweep_width, 199);
}
