// Guards the display frame: the automatic scale choice of every channel, the coordinate system
// of the current channel, the axis labels (texts, positions, colours) read back from what was
// drawn, the axes' pixels, and the removal of every cursor mark.
#include <QLabel>

#include "display/draw_frame.h"
#include "display/scale_choice.h"
#include "support/window_fixture.h"
#include "ui/surface.h"

using namespace quarvel;
using quarvel::testing::WindowTest;

namespace {

QStringList printed(Surface& d) {
  QStringList l;
  for (const auto& t : d.printed_texts()) l << t.text;
  return l;
}

}  // namespace

TEST(ScaleChoice, SmallestStepWhoseDoubleCoversTheMaximum) {
  SharedState s;
  EXPECT_EQ(choose_range_index(0, s.range_table, 20), 20);
  EXPECT_EQ(s.range_table[choose_range_index(1000, s.range_table, 20)], 500) << "exactly twice a step";
  EXPECT_EQ(s.range_table[choose_range_index(1000.5f, s.range_table, 20)], 1000);
  EXPECT_EQ(s.range_table[choose_range_index(0.5f, s.range_table, 20)], 0.3f);
  EXPECT_EQ(choose_range_index(10000, s.range_table, 20), 1);
  EXPECT_EQ(choose_range_index(250000, s.range_table, 20), 1) << "above 10000 keeps the largest step";
}

using DrawFrame = WindowTest;

TEST_F(DrawFrame, StartUpFrameLabels) {
  draw_frame(*w);
  EXPECT_EQ(printed(*w->disp),
            (QStringList{"0.0", "2.0", "4.0", "6.0", " s", " 1000", " 500", " 0", "-500", "-1000"}));
}

TEST_F(DrawFrame, ZeroMaximumGivesTheFinestStepWithOneDecimal) {
  w->s.ch_max[1] = 0;
  draw_frame(*w);
  EXPECT_EQ(w->s.range_index[1], 20);
  EXPECT_FLOAT_EQ(w->s.ch_range[1], 0.4f);
  const QStringList l = printed(*w->disp);
  EXPECT_EQ(l.mid(5), (QStringList{"0.2", "0.1", "0.0", "-0.1", "-0.2"}));
}

TEST_F(DrawFrame, ShiftMovesTheLabelsByWholeSteps) {
  w->s.shift_steps[1] = 1;
  draw_frame(*w);
  EXPECT_EQ(w->s.ch_offset[1], 500);
  EXPECT_EQ(printed(*w->disp).mid(5), (QStringList{" 500", " 0", "-500", "-1000", "-1500"}));
}

TEST_F(DrawFrame, EveryChannelGetsItsRangeButOnlyTheCurrentOneIsLabelled) {
  w->s.ch_max = {0, 20000, 60};
  w->s.shift_steps = {0, -1, 2};
  w->s.current_ch = 2;
  draw_frame(*w);
  EXPECT_EQ(w->s.range_index[1], 20);
  EXPECT_EQ(w->s.range_index[2], 1);
  EXPECT_EQ(w->s.ch_range[2], 20000);
  EXPECT_EQ(w->s.ch_offset[2], -5000);
  EXPECT_EQ(w->s.range_table[w->s.range_index[3]], 50);
  EXPECT_EQ(w->s.ch_offset[3], 100);
  EXPECT_EQ(w->disp->scale_height(), -25000);
  EXPECT_EQ(printed(*w->disp).mid(5), (QStringList{" 15000", " 10000", " 5000", " 0", "-5000"}));
  for (size_t i = 5; i < 10; ++i) EXPECT_EQ(w->disp->printed_texts()[i].colour, kYellow);
  EXPECT_EQ(w->disp->printed_texts()[0].colour, kWhite);
}

TEST_F(DrawFrame, ContinuousLabelsCountFromTheStartOfTheData) {
  w->s.view_start = 25;  // 2.5 s at 10 Hz
  draw_frame(*w);
  EXPECT_EQ(printed(*w->disp).mid(0, 5), (QStringList{"2.5", "4.5", "6.5", "8.5", " s"}));
  w->s.block_mode = kTrue;
  draw_frame(*w);
  EXPECT_EQ(printed(*w->disp).mid(0, 5), (QStringList{"0.0", "2.0", "4.0", "6.0", " s"}))
      << "block views count from the sweep start";
}

TEST_F(DrawFrame, CoordinateSystemAndGeometry) {
  draw_frame(*w);
  Surface& d = *w->disp;
  EXPECT_DOUBLE_EQ(d.scale_left(), -12.5);
  EXPECT_DOUBLE_EQ(d.scale_top(), 0.475 * 2000 / 0.8);
  EXPECT_DOUBLE_EQ(d.scale_height(), -2500);
  EXPECT_FLOAT_EQ(w->s.plot_right, 80);
  EXPECT_FLOAT_EQ(w->s.time_axis_y, -1062.5f);
  EXPECT_FLOAT_EQ(w->s.amp_axis_x, -2.5f);
  EXPECT_FLOAT_EQ(w->s.amp_axis_top, 1000);
  EXPECT_FLOAT_EQ(w->s.amp_axis_bottom, -1000);
}

TEST_F(DrawFrame, LabelsArePlacedAtTheirTicks) {
  draw_frame(*w);
  Surface& d = *w->disp;
  const PixelMap m = d.pixel_map();
  const auto& texts = d.printed_texts();
  // time labels: centred on 0.8 W j / 4, top 2 % of the height below the axis
  for (int j = 0; j < 4; ++j) {
    const QRect r = texts[static_cast<size_t>(j)].pixels;
    EXPECT_NEAR(r.center().x(), m.px_x(20.0 * j), 1.5);
    EXPECT_EQ(r.top(), m.pixel_y(-1062.5 + 0.02 * -2500));
  }
  EXPECT_NEAR(texts[4].pixels.center().x(), m.px_x(80), 1.5) << "the unit label is centred on the axis end";
  // amplitude labels: right edge 1 % of the width left of the axis, centred on their ticks
  for (int i = 0; i <= 4; ++i) {
    const QRect r = texts[static_cast<size_t>(5 + i)].pixels;
    EXPECT_NEAR(r.right() + 1, m.px_x(-2.5 - 1), 1.5);
    EXPECT_NEAR(r.center().y(), m.px_y(1000 - 500.0 * i), 1.5);
  }
}

TEST_F(DrawFrame, AxesArePaintedInTheirColours) {
  w->s.current_ch = 3;
  draw_frame(*w);
  Surface& d = *w->disp;
  const PixelMap m = d.pixel_map();
  const int axis_row = m.pixel_y(w->s.time_axis_y);
  EXPECT_EQ(d.pixel(m.pixel_x(40), axis_row), QColor(255, 255, 255));
  EXPECT_EQ(d.pixel(m.pixel_x(40), axis_row - 3), QColor(0, 0, 255));
  EXPECT_EQ(d.pixel(m.pixel_x(-2.5), m.pixel_y(0)), QColor(0, 255, 255)) << "amplitude axis in cyan";
}

TEST_F(DrawFrame, RemovesEveryCursorMark) {
  SharedState& s = w->s;
  s.cursor_x = 12;
  s.sel_x1 = 3;
  s.sel_x2 = 9;
  s.peak_mode = kTrue;
  s.level_y = {5, 6, 7};
  w->Label1->show();
  draw_frame(*w);
  EXPECT_EQ(s.cursor_x, -1);
  EXPECT_EQ(s.sel_x1, -1);
  EXPECT_EQ(s.sel_x2, -1);
  EXPECT_EQ(s.peak_mode, kFalse);
  for (int ch = 1; ch <= 3; ++ch) EXPECT_EQ(s.level_y[ch], kNoLevel);
  EXPECT_FALSE(w->Label1->isVisible());
}
