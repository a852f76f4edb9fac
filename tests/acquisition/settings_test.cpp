// Guards the acquisition settings controls: accepted and refused rates and intervals, the screen
// and file lengths (zero and negative lengths refused), the input lists and channel selection,
// and the Enter-key focus moves.
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "core/settings.h"
#include "support/window_fixture.h"
#include "ui/results_grid.h"
#include "ui/surface.h"

using namespace quarvel;
using quarvel::testing::WindowTest;

using Settings = WindowTest;

TEST_F(Settings, RateInContinuousMode) {
  w->sampling_hz->setEditText("200");
  sampling_hz_lost_focus(*w);
  EXPECT_EQ(w->s.sampling_rate, 200.0f);
  EXPECT_FLOAT_EQ(w->s.sample_interval, 0.005f);
  EXPECT_EQ(w->s.sample_count, 36000);
  EXPECT_FLOAT_EQ(w->disp->scale_width(), 2000.0f);
  w->sampling_hz->setEditText("2000");
  sampling_hz_lost_focus(*w);
  EXPECT_EQ(w->sampling_hz->currentText(), "200") << "a refused rate puts the rate in force back";
  EXPECT_EQ(w->s.sampling_rate, 200.0f);
  for (const char* bad : {"0", "-10", "", "abc"}) {
    w->sampling_hz->setEditText(bad);
    sampling_hz_lost_focus(*w);
    EXPECT_EQ(w->s.sampling_rate, 200.0f) << bad;
    EXPECT_EQ(w->sampling_hz->currentText(), "200");
  }
}

TEST_F(Settings, AnUnchangedRateDoesNotEvenRedraw) {
  w->disp->cls();
  w->sampling_hz->setEditText("10");
  sampling_hz_lost_focus(*w);
  EXPECT_TRUE(w->disp->printed_texts().empty());
}

TEST_F(Settings, IntervalInBlockMode) {
  SharedState& s = w->s;
  s.block_mode = kTrue;
  s.measure_mode = kTrue;
  s.sampling_rate = 1000;
  s.sample_interval = 0.001f;
  s.scr_length = 500;
  s.scr_factor = 0.001f;
  s.unit_text[0] = "ms";
  w->sampling_hz->setEditText("20");
  sampling_hz_lost_focus(*w);
  EXPECT_EQ(w->sampling_hz->currentText(), "1000") << "20 us is refused; the box shows the rate in Hz";
  w->sampling_hz->setEditText("2000");  // 2 ms: 250 samples in 500 ms
  sampling_hz_lost_focus(*w);
  EXPECT_FLOAT_EQ(s.sample_interval, 0.002f);
  EXPECT_FLOAT_EQ(s.sampling_rate, 500.0f);
  EXPECT_EQ(s.block_length, 250);
  EXPECT_EQ(s.blk_block_length, 250);
  EXPECT_EQ(s.ave_data.last_index(), 249);
  EXPECT_EQ(s.raw_data.last_index(), 249);
  EXPECT_EQ(s.marker_data.size(), 250u);
  EXPECT_EQ(s.sample_count, 249);
  EXPECT_EQ(s.cur_block, 1);
  EXPECT_FLOAT_EQ(w->disp->scale_width(), 312.5f);
  EXPECT_EQ(w->windowTitle(), "BLOCK MODE (500.ms)");
  // an interval that equals the old rate in Hz is still a new interval
  w->sampling_hz->setEditText("500");
  sampling_hz_lost_focus(*w);
  EXPECT_EQ(s.block_length, 1000);
}

TEST_F(Settings, ScreenLengthRewrittenAfterARateChange) {
  w->s.scr_length = 12.5f;
  w->sampling_hz->setEditText("20");
  sampling_hz_lost_focus(*w);
  EXPECT_EQ(w->scr_lng->currentText(), "12.5");
  w->s.scr_length = 8;
  w->sampling_hz->setEditText("10");
  sampling_hz_lost_focus(*w);
  EXPECT_EQ(w->scr_lng->currentText(), "8");
}

TEST_F(Settings, ScreenLengthResizesTheSurfaceAndRefusesNonPositiveLengths) {
  w->scr_lng->setEditText("12.5");
  scr_lng_lost_focus(*w);
  EXPECT_EQ(w->s.scr_length, 12.5f);
  EXPECT_EQ(w->disp->scale_width(), 156) << "156.25 rounded to a whole number";
  EXPECT_EQ(w->s.disp_px_width, 1000);
  EXPECT_EQ(w->s.sweep_restart, kTrue);
  for (const char* bad : {"0", "-3", "x"}) {
    w->scr_lng->setEditText(bad);
    scr_lng_lost_focus(*w);
    EXPECT_EQ(w->s.scr_length, 12.5f) << bad;
    EXPECT_EQ(w->scr_lng->currentText(), "12.5");
    EXPECT_EQ(w->disp->scale_width(), 156);
  }
}

TEST_F(Settings, FileLengthTakesEffectOnEveryEditButNeverAtZero) {
  w->file_lng->setEditText("60");
  EXPECT_EQ(w->s.file_length, 60.0f);
  EXPECT_EQ(w->s.sample_count, 600);
  w->file_lng->setEditText("");
  w->file_lng->setEditText("-5");
  EXPECT_EQ(w->s.file_length, 60.0f);
  file_lng_lost_focus(*w);
  EXPECT_EQ(w->file_lng->currentText(), "60");
}

TEST_F(Settings, ChoosingAnInputResetsTheChannelAndSelectsIt) {
  w->s.ch_max[2] = 7;
  w->s.ch_offset[2] = 3;
  w->ch_list[1]->setCurrentIndex(3);
  ch_list_click(*w, 1);
  EXPECT_EQ(w->s.ch_source[2], 3);
  EXPECT_EQ(w->s.ch_max[2], 1000);
  EXPECT_EQ(w->s.current_ch, 2);
  EXPECT_TRUE(w->ch_select[1]->isChecked());
  EXPECT_EQ(w->s.channel_count, 1);
  EXPECT_TRUE(w->Grid1[1]->isVisible());
  EXPECT_FALSE(w->Grid1[0]->isVisible());
  EXPECT_TRUE(w->mul->styleSheet().contains("#ffff00"));
  EXPECT_EQ(w->disp->printed_texts().back().colour, kYellow) << "the frame now labels channel 2";
}

TEST_F(Settings, EnterMovesTheFocus) {
  // the acquisition panel as measurement mode shows it
  w->controler->show();
  for (QWidget* c : std::initializer_list<QWidget*>{w->sampling_hz, w->file_lng, w->monitor, w->stim})
    c->show();
  w->stim->setEnabled(true);
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
  w->sampling_hz->setFocus();
  QTest::keyClick(w->sampling_hz, Qt::Key_Return);
  EXPECT_TRUE(w->monitor->hasFocus());
  w->s.block_mode = kTrue;
  w->sampling_hz->setFocus();
  QTest::keyClick(w->sampling_hz, Qt::Key_Return);
  EXPECT_TRUE(w->stim->hasFocus());
  w->file_lng->setFocus();
  QTest::keyClick(w->file_lng, Qt::Key_Enter);
  EXPECT_TRUE(w->monitor->hasFocus());
}
