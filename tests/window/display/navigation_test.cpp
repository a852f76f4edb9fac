// Guards paging, time zoom and the amplitude and shift buttons on loaded data: block and
// half-screen steps with their limits (no redraw where nothing moves), the unit switches of
// expand and compress with the width rule and the time labels, zoom to the selection, the scale
// steps at both ends of the table, overplot displacements, and what the buttons do while the
// acquisition loop records or only monitors.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include "display/navigation.h"
#include "loaded_views.h"
#include "modes/shown_controls.h"
#include "support/window_fixture.h"

using namespace quarvel;
using namespace quarvel::testing;

namespace {

class Navigation : public WindowTest {
 protected:
  SharedState& s() { return w->s; }
};

}  // namespace

TEST_F(Navigation, BlocksPageWithinTheFile) {
  load_block_file(*w, 500, 3, 0.002f);
  w->PgDn->click();
  EXPECT_EQ(s().cur_block, 2);
  EXPECT_EQ(s().view_start, 500);
  EXPECT_EQ(w->status->text(), "current curve: 2/3     averaged: 0");
  EXPECT_TRUE(w->accept->hasFocus());
  w->PgDn->click();
  place_cursor(*w);
  w->PgDn->click();
  EXPECT_EQ(s().cur_block, 3) << "the last block";
  EXPECT_EQ(s().view_start, 1000);
  EXPECT_FALSE(redrawn(*w));

  w->PgUp->click();
  w->PgUp->click();
  EXPECT_EQ(s().cur_block, 1);
  EXPECT_EQ(s().view_start, 0);
  EXPECT_EQ(w->status->text(), "current curve: 1/3     averaged: 0");
  place_cursor(*w);
  w->PgUp->click();
  EXPECT_EQ(s().cur_block, 1);
  EXPECT_FALSE(redrawn(*w));

  w->s.overplot_on = kTrue;
  w->PgDn->click();
  EXPECT_EQ(s().cur_block, 1) << "no paging in the overplot form";
}

TEST_F(Navigation, ContinuousPagesAreHalfAScreen) {
  load_continuous_file(*w, 1800, 0.1f, 8);  // width 100, 80 samples on a screen
  w->PgDn->click();
  EXPECT_EQ(s().view_start, 40);
  EXPECT_EQ(printed(*w->disp).mid(0, 5), (QStringList{"4.0", "6.0", "8.0", "10.0", " s"}));
  s().view_start = 1760;
  place_cursor(*w);
  w->PgDn->click();
  EXPECT_EQ(s().view_start, 1760) << "the next page would start at the sample count";
  EXPECT_TRUE(redrawn(*w));

  s().view_start = 45;
  w->PgUp->click();
  EXPECT_EQ(s().view_start, 0) << "less than half the width from the start";
  s().view_start = 60;
  w->PgUp->click();
  EXPECT_EQ(s().view_start, 20);

  s().file_loaded = kFalse;
  w->PgDn->click();
  EXPECT_EQ(s().view_start, 20);
}

TEST_F(Navigation, ExpandAndCompressKeepTheWidthRule) {
  load_continuous_file(*w, 1800, 0.1f, 2);
  w->mnuExpand->trigger();
  EXPECT_EQ(s().scr_length, 512);
  EXPECT_EQ(s().scr_factor, 0.001f);
  EXPECT_EQ(s().unit_text[0], "ms");
  EXPECT_FLOAT_EQ(w->disp->scale_width(), continuous_width(s()));
  EXPECT_EQ(printed(*w->disp).mid(0, 5), (QStringList{"0.0", "128.0", "256.0", "384.0", "ms"}));

  w->mnuCompress->trigger();
  EXPECT_EQ(s().scr_length, 1);
  EXPECT_EQ(s().unit_text[0], " s");
  EXPECT_FLOAT_EQ(w->disp->scale_width(), 12.5f);
  s().scr_length = 8;
  w->disp->set_scale_width(100);
  w->mnuCompress->trigger();
  EXPECT_EQ(s().scr_length, 16);
  EXPECT_FLOAT_EQ(w->disp->scale_width(), 200);
}

TEST_F(Navigation, ZoomSelectionFillsTheScreen) {
  load_continuous_file(*w, 10000, 0.1f, 512);
  s().sel_x1 = 2464.56f;
  s().sel_x2 = 1234.56f;
  w->mnuZoom_sel->trigger();
  EXPECT_EQ(s().scr_length, 120) << "123 s";
  EXPECT_FLOAT_EQ(w->disp->scale_width(), 1500);
  EXPECT_EQ(s().view_start, 1235) << "123.456 s moved onto 123.5 s";
  EXPECT_EQ(s().sel_x1, -1) << "the selection is used once";
  EXPECT_EQ(printed(*w->disp).mid(0, 5), (QStringList{"123.5", "153.5", "183.5", "213.5", " s"}));
  w->mnuZoom_sel->trigger();
  EXPECT_EQ(s().scr_length, 120);

  s().sel_x1 = 1300;
  s().sel_x2 = 1303;
  w->mnuZoom_sel->trigger();
  EXPECT_FLOAT_EQ(s().scr_length, 300) << "0.3 s";
  EXPECT_EQ(s().unit_text[0], "ms");
  EXPECT_FLOAT_EQ(w->disp->scale_width(), continuous_width(s()));
}

TEST_F(Navigation, ScaleButtonsStepThroughTheTable) {
  load_block_file(*w, 100, 3, 0.001f);
  s().ch_max[1] = 250;
  draw_frame(*w);
  EXPECT_EQ(s().range_table[s().range_index[1]], 125);
  w->mul->click();
  EXPECT_EQ(s().ch_max[1], 125);
  EXPECT_EQ(s().range_table[s().range_index[1]], 100) << "125 to 100: the next step that fits";
  EXPECT_EQ(printed(*w->disp).mid(5), (QStringList{" 200", " 100", " 0", "-100", "-200"}));
  w->div->click();
  EXPECT_EQ(s().range_table[s().range_index[1]], 125);

  s().ch_max[1] = 0;
  draw_frame(*w);
  place_cursor(*w);
  w->mul->click();
  EXPECT_EQ(s().range_index[1], 20);
  EXPECT_FALSE(redrawn(*w)) << "mul at the finest step";
  s().ch_max[1] = 20000;
  draw_frame(*w);
  place_cursor(*w);
  w->div->click();
  EXPECT_EQ(s().ch_max[1], 20000);
  EXPECT_FALSE(redrawn(*w)) << "div at the coarsest step";
}

TEST_F(Navigation, ShiftsMoveTheCurveOrTheFirstOverplotBlock) {
  load_block_file(*w, 100, 3, 0.001f);
  s().current_ch = 2;
  w->pshift->click();
  EXPECT_EQ(s().shift_steps[2], 1);
  EXPECT_EQ(s().ch_offset[2], s().range_table[s().range_index[2]]);
  w->nshift->click();
  w->nshift->click();
  EXPECT_EQ(s().shift_steps[2], -1);

  s().overplot_on = kTrue;
  s().first_disp[2] = 1;
  w->pshift->click();
  w->pshift->click();
  EXPECT_EQ(s().first_disp[2], 0) << "never above the top of the axis";
  w->nshift->click();
  EXPECT_EQ(s().first_disp[2], 1);
  EXPECT_EQ(s().shift_steps[2], -1);
}

TEST_F(Navigation, ScaleAndShiftDuringAcquisition) {
  s().measure_mode = kTrue;
  s().acq_running = kTrue;
  s().recording = kTrue;
  update_controls(*w);
  for (QPushButton* b : {w->mul, w->div, w->pshift, w->nshift})
    EXPECT_FALSE(b->isEnabled()) << "a continuous recording keeps its scales";
  s().recording = kFalse;
  update_controls(*w);
  const float max1 = s().ch_max[1];
  for (QPushButton* b : {w->mul, w->pshift, w->nshift, w->div}) {
    place_cursor(*w);
    s().sweep_restart = kFalse;
    b->click();
    EXPECT_FALSE(redrawn(*w));
    EXPECT_EQ(s().sweep_restart, kTrue) << "monitoring: the sweep starts again";
  }
  EXPECT_EQ(s().ch_max[1], max1 / 2 * 2);
  s().acq_running = kFalse;
}
