// Guards the Display menu and the average buttons on a loaded block file: the curves each mode
// shows with their colours, labels and ticks, leaving the overplot form, the overplot prompts and
// their answers, Raw curves after the spectrum, Invert on data and shifts, and the running
// average with its count, status line and focus, including short, long and missing averages.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "display/display_modes.h"
#include "loaded_views.h"
#include "support/window_fixture.h"

using namespace quarvel;
using namespace quarvel::testing;

namespace {

constexpr const char* kFirst = "Enter displacement of first curve in % of display height:";
constexpr const char* kFurther = "Enter displacement of subsequent curves in % of display height:";

class DisplayModes : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    load_block_file(*w, 100, 3, 0.001f);
  }
  void overplot(const QString& first, const QString& further) {
    dialogs->expect_input(kFirst, first);
    if (!first.isEmpty()) dialogs->expect_input(kFurther, further);
    w->mnuOverplot->trigger();
  }
  SharedState& s() { return w->s; }
};

}  // namespace

TEST_F(DisplayModes, EachModeSetsItsCurvesColoursAndTick) {
  struct Case {
    QAction* item;
    const char* label;
    Flag single, average;
    int32_t ch2, ave2;
  };
  for (const Case& c : {Case{w->mnuA_S, "ave/sng", kTrue, kTrue, kGrey, kYellow},
                        Case{w->mnuS_A, "sng/ave", kTrue, kTrue, kYellow, kGrey},
                        Case{w->mnuA, " ave", kFalse, kTrue, kYellow, kYellow},
                        Case{w->mnuS, "single", kTrue, kFalse, kYellow, kYellow}}) {
    place_cursor(*w);
    c.item->trigger();
    EXPECT_EQ(w->SA_label->text(), c.label);
    EXPECT_EQ(s().show_single, c.single) << c.label;
    EXPECT_EQ(s().show_average, c.average) << c.label;
    EXPECT_EQ(s().ch_colour[2], c.ch2) << c.label;
    EXPECT_EQ(s().ave_colour[2], c.ave2) << c.label << ": Single keeps the average's colours";
    for (QAction* a : {w->mnuS, w->mnuA, w->mnuS_A, w->mnuA_S}) EXPECT_EQ(a->isChecked(), a == c.item);
    EXPECT_TRUE(redrawn(*w));
  }
}

TEST_F(DisplayModes, OverplotAsksForDisplacementsAndAModeLeavesIt) {
  s().cur_block = 3;
  s().view_start = 200;
  overplot("25", "");
  EXPECT_TRUE(w->mnuOverplot->isChecked());
  EXPECT_EQ(s().overplot_on, kTrue);
  EXPECT_EQ(w->SA_label->text(), " over");
  EXPECT_FALSE(w->mnuS->isChecked());
  EXPECT_EQ(s().first_disp, PerChannel<float>::filled(25));
  EXPECT_EQ(s().further_disp, PerChannel<float>::filled(10)) << "an empty second answer gives 10";
  const auto& asked = dialogs->asked();
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].title, "First displacement");
  EXPECT_EQ(asked[0].default_text, "10");
  EXPECT_EQ(asked[1].title, "Further displacement");
  EXPECT_EQ(asked[1].default_text, "10");

  // Asked again while ticked: the current values are offered; a text without a number keeps one.
  overplot("abc", "7.5");
  EXPECT_EQ(dialogs->asked()[2].default_text, "25");
  EXPECT_EQ(s().first_disp, PerChannel<float>::filled(25));
  EXPECT_EQ(s().further_disp, PerChannel<float>::filled(7.5f));

  w->mnuS_A->trigger();
  EXPECT_FALSE(w->mnuOverplot->isChecked());
  EXPECT_EQ(s().overplot_on, kFalse);
  EXPECT_EQ(s().cur_block, 1);
  EXPECT_EQ(w->status->text(), "current curve: 1/3     averaged: 0");
  EXPECT_TRUE(w->mnuS_A->isChecked());
}

TEST_F(DisplayModes, OverplotCancelledAtTheFirstBoxChangesNothing) {
  place_cursor(*w);
  overplot("", "");
  EXPECT_FALSE(w->mnuOverplot->isChecked());
  EXPECT_TRUE(w->mnuS->isChecked());
  EXPECT_EQ(s().overplot_on, kFalse);
  EXPECT_EQ(s().first_disp[1], 0) << "the displacements stay as they were";
  EXPECT_FALSE(redrawn(*w));

  s().file_loaded = kFalse;  // without data nothing is asked (the scripted dialogs are strict)
  w->mnuOverplot->trigger();
}

TEST_F(DisplayModes, AverageOfOneBlockIsTheBlockAndOfTwoTheirMean) {
  for (int32_t k = 0; k < 100; ++k) s().ave_data(1, k) = 55;
  s().ave_n = 4;
  w->clear_ave->click();
  EXPECT_EQ(s().ave_n, 0);
  EXPECT_EQ(w->ave_count->text(), " 0");
  EXPECT_EQ(s().ave_data.size(), 100);
  EXPECT_EQ(s().ave_data(1, 0), 0);

  s().cur_block = 2;
  s().view_start = 100;
  w->accept->click();
  for (int32_t k = 0; k < 100; ++k) {
    ASSERT_EQ(s().ave_data(1, k), s().work_data(1, 100 + k));
    ASSERT_EQ(s().ave_data(2, k), s().work_data(2, 100 + k));
  }
  EXPECT_EQ(s().ave_data(3, 5), 0) << "channel 3 has no source";
  EXPECT_EQ(w->ave_count->text(), " 1");
  EXPECT_EQ(w->status->text(), "current curve: 2/3     averaged: 1");
  EXPECT_TRUE(w->PgDn->hasFocus());

  s().view_start = 200;
  w->accept->click();
  EXPECT_EQ(s().ave_n, 2);
  for (int32_t k = 0; k < 100; ++k)
    ASSERT_FLOAT_EQ(s().ave_data(2, k), (s().work_data(2, 100 + k) + s().work_data(2, 200 + k)) / 2);
}

TEST_F(DisplayModes, AcceptOnTheShortLastStretchLeavesTheRestOfTheAverage) {
  load_block_file(*w, 100, 3, 0.001f, 1, 280);  // the third block has 80 samples
  for (int32_t k = 0; k < 100; ++k) s().ave_data(1, k) = 7;
  s().ave_n = 1;
  s().view_start = 200;
  w->accept->click();
  for (int32_t k = 0; k < 80; ++k) ASSERT_FLOAT_EQ(s().ave_data(1, k), (7 + s().work_data(1, 200 + k)) / 2);
  for (int32_t k = 80; k < 100; ++k) ASSERT_EQ(s().ave_data(1, k), 7);
}

TEST_F(DisplayModes, AcceptTakesBlocksLongerThan32768Samples) {
  load_block_file(*w, 40000, 2, 0.001f);
  s().view_start = 40000;
  w->accept->click();
  for (int32_t k : {0, 32767, 32768, 39999}) EXPECT_EQ(s().ave_data(2, k), s().work_data(2, 40000 + k));
}

TEST_F(DisplayModes, AcceptWithoutAnAverageStartsOne) {
  s().ave_data.clear();
  s().ave_n = 3;
  w->accept->click();
  ASSERT_EQ(s().ave_data.size(), 100);
  EXPECT_EQ(s().ave_n, 1);
  EXPECT_EQ(s().ave_data(1, 99), s().work_data(1, 99));
}

TEST_F(DisplayModes, InvertTwiceRestoresDataAndShifts) {
  const SampleArray raw = s().raw_data;
  s().current_ch = 2;
  s().shift_steps = {1, -2, 0};
  draw_frame(*w);
  const PerChannel<float> offsets = s().ch_offset;
  const float max2 = s().ch_max[2];
  s().grid_row[1] = 4;

  w->mnuInvert->trigger();
  EXPECT_EQ(s().grid_row[1], 1) << "readings taken before no longer match: the tables are reset";
  EXPECT_EQ(s().raw_data(2, 10), -raw(2, 10));
  EXPECT_EQ(s().work_data(2, 299), -raw(2, 299));
  EXPECT_EQ(s().raw_data(1, 10), raw(1, 10)) << "only the current channel";
  EXPECT_EQ(s().shift_steps, (PerChannel<int16_t>{-1, 2, 0}));
  EXPECT_EQ(s().ch_max[2], max2);

  w->mnuInvert->trigger();
  for (int32_t i = 0; i <= 300; ++i) ASSERT_EQ(s().work_data(2, i), raw(2, i));
  EXPECT_EQ(s().shift_steps, (PerChannel<int16_t>{1, -2, 0}));
  EXPECT_EQ(s().ch_offset, offsets);

  s().sample_count = 1000000;  // a count beyond the arrays must not take the negation past their end
  w->mnuInvert->trigger();
  EXPECT_EQ(s().work_data(2, 300), -raw(2, 300));
}

TEST_F(DisplayModes, InvertInMeasurementModeLeavesTheData) {
  s().measure_mode = kTrue;
  s().acq_running = kTrue;
  w->mnuInvert->trigger();
  EXPECT_EQ(s().sweep_restart, kTrue) << "monitoring: the sweep starts again";
  EXPECT_EQ(s().work_data(1, 1), pattern(1, 1));
  s().sweep_restart = kFalse;
  s().recording = kTrue;
  place_cursor(*w);
  w->mnuInvert->trigger();
  EXPECT_TRUE(redrawn(*w));
  EXPECT_EQ(s().sweep_restart, kFalse);
  s().acq_running = s().recording = kFalse;  // no loop is really running
}

TEST_F(DisplayModes, RawCurvesBringBackTheKeptBlockView) {
  // The state the spectrum leaves: 64 bins per block, the work data replaced, shifted down.
  s().psd_shown = kTrue;
  s().saved_ch_max = {300, 400, 0};
  s().ch_max = {5, 5, 5};
  s().shift_steps.fill(-2);
  s().block_length = 64;
  s().cur_block = 2;
  s().scr_length = 500;
  s().unit_text[0] = "Hz";
  s().work_data.redim(3, 191);
  w->disp->set_scale_width(80);

  w->mnuRaw->trigger();
  EXPECT_TRUE(w->mnuRaw->isChecked());
  EXPECT_FALSE(w->mnuPSD->isChecked());
  EXPECT_TRUE(w->mnuBlock->isEnabled());
  EXPECT_TRUE(w->mnuInvert->isEnabled());
  EXPECT_EQ(s().psd_shown, kFalse);
  EXPECT_EQ(s().work_data(1, 150), s().raw_data(1, 150));
  EXPECT_EQ(s().work_data.size(), 300);
  EXPECT_EQ(s().ch_max, (PerChannel<float>{300, 400, 0}));
  EXPECT_EQ(s().shift_steps, PerChannel<int16_t>::filled(0));
  EXPECT_EQ(s().block_length, 100);
  EXPECT_EQ(s().scr_length, 100);
  EXPECT_EQ(s().scr_factor, 0.001f);
  EXPECT_EQ(s().unit_text[0], "ms");
  EXPECT_EQ(s().view_start, 100);
  EXPECT_EQ(w->disp->scale_width(), 125);
  EXPECT_EQ(printed(*w->disp).mid(0, 5), (QStringList{"0.0", "25.0", "50.0", "75.0", "ms"}));

  // Chosen again while the curves are shown it has nothing to bring back.
  w->mnuRaw->trigger();
  EXPECT_EQ(s().ch_max, (PerChannel<float>{300, 400, 0}));
  EXPECT_TRUE(w->mnuRaw->isChecked());
}
