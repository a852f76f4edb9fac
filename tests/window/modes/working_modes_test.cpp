// Guards the working modes: entering measurement and analysis with their controls, menus and
// defaults; the block-length entry (units, captions, 1000 Hz in block measurement, refusals of
// lengths without a sample); each view keeping its own display length across switches; leaving
// the spectrum; the stop of a running loop; and Exit.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "app/settings.h"
#include "modes/working_modes.h"
#include "support/window_fixture.h"
#include "ui/results_grid.h"
#include "ui/surface.h"

using namespace quarvel;
using quarvel::testing::WindowTest;

namespace {

class Modes : public WindowTest {
 protected:
  void enter_block(const QString& answer) {
    dialogs->expect_input("Block length (ms):", answer);
    w->mnuBlock->trigger();
  }
  QString proposal() { return dialogs->asked().back().default_text; }
};

TEST_F(Modes, MeasureShowsTheAcquisitionPanelWithItsDefaults) {
  w->s.sampling_rate = 50;
  w->Text1[3]->setText("note");
  w->Text1[3]->show();
  w->mnuMeasure->trigger();
  const SharedState& s = w->s;
  EXPECT_EQ(s.measure_mode, kTrue);
  EXPECT_EQ(s.block_mode, kFalse);
  EXPECT_EQ(s.sampling_rate, 10.0f);
  EXPECT_EQ(s.sample_count, 1800);
  EXPECT_EQ(s.file_loaded, kFalse);
  EXPECT_EQ(w->windowTitle(), "CONTINUOUS MODE");
  EXPECT_TRUE(w->controler->isVisible());
  EXPECT_TRUE(w->monitor->isVisible());
  EXPECT_TRUE(w->ch_list[2]->isVisible());
  EXPECT_EQ(w->ch_list[2]->currentText(), "none");
  EXPECT_FALSE(w->add->isVisible());
  EXPECT_FALSE(w->status->isVisible());
  EXPECT_FALSE(w->Grid1[0]->isVisible());
  EXPECT_FALSE(w->halt->isEnabled());
  EXPECT_FALSE(w->stim->isEnabled());
  EXPECT_FALSE(w->dly1->isEnabled());
  EXPECT_EQ(w->dly1->currentText(), " 0");
  EXPECT_EQ(w->ave_count_label->text(), " ave#");
  EXPECT_EQ(w->sampling_hz->currentText(), "10");
  EXPECT_EQ(w->scr_lng->currentText(), "8");
  EXPECT_EQ(w->hz->text(), "Hz");
  EXPECT_FALSE(w->mnuMeasure->isVisible());
  EXPECT_TRUE(w->mnuQuarvel->isVisible());
  EXPECT_FALSE(w->mnuOpen->isVisible());
  EXPECT_FALSE(w->mnuCopy->menuAction()->isVisible());
  EXPECT_FALSE(w->Text1[3]->isVisible());
  EXPECT_TRUE(w->Text1[3]->text().isEmpty());
  EXPECT_EQ(s.disp_px_width, 1000);
  EXPECT_EQ(w->disp->scale_width(), 100);
}

TEST_F(Modes, QuarvelReturnsToAnalysis) {
  w->mnuMeasure->trigger();
  w->mnuQuarvel->trigger();
  EXPECT_EQ(w->s.measure_mode, kFalse);
  EXPECT_EQ(w->s.stop_request, kTrue);
  EXPECT_FALSE(w->controler->isVisible());
  EXPECT_FALSE(w->monitor->isVisible());
  EXPECT_TRUE(w->add->isVisible());
  EXPECT_TRUE(w->PgDn->isVisible());
  EXPECT_TRUE(w->Grid1[0]->isVisible());
  EXPECT_TRUE(w->mnuOpen->isVisible());
  EXPECT_TRUE(w->mnuMeasure->isVisible());
  EXPECT_FALSE(w->mnuQuarvel->isVisible());
  EXPECT_EQ(w->SA_label->text(), "");
  EXPECT_EQ(w->windowTitle(), "CONTINUOUS MODE");
}

TEST_F(Modes, QuarvelAfterBlockMeasurementGivesBackTheContinuousTools) {
  w->mnuMeasure->trigger();
  enter_block("500");
  w->mnuQuarvel->trigger();
  EXPECT_TRUE(w->mnuPeaks->isEnabled());
  EXPECT_TRUE(w->newblk->isEnabled());
  EXPECT_FALSE(w->accept->isEnabled());
  EXPECT_FALSE(w->clear_ave->isEnabled());
  EXPECT_TRUE(w->mnuCopyitem[2]->isEnabled());
}

TEST_F(Modes, BlockLengthUnits) {
  w->s.sample_interval = 0.001f;
  enter_block("1000");
  EXPECT_EQ(proposal(), "500");
  EXPECT_EQ(w->s.scr_length, 1000.0f);
  EXPECT_EQ(w->s.unit_text[0], "ms");
  EXPECT_FLOAT_EQ(w->s.scr_factor, 0.001f);
  EXPECT_EQ(w->s.block_length, 1000);
  EXPECT_EQ(w->windowTitle(), "BLOCK MODE (1000.ms)");
  enter_block("1001");
  EXPECT_EQ(proposal(), "1000");
  EXPECT_FLOAT_EQ(w->s.scr_length, 1.001f);
  EXPECT_EQ(w->s.unit_text[0], " s");
  EXPECT_EQ(w->s.scr_factor, 1.0f);
  EXPECT_EQ(w->s.block_length, 1001);
  enter_block("1500");
  EXPECT_EQ(w->windowTitle(), "BLOCK MODE (1.5 s)");
  EXPECT_EQ(w->s.unit_text[1], " s");
  EXPECT_EQ(w->scr_lng->currentText(), "2") << "the screen length box shows whole units";
  EXPECT_FLOAT_EQ(w->disp->scale_width(), 1875.0f);
  EXPECT_TRUE(w->mnuContinuous->isVisible());
  EXPECT_EQ(w->mnuBlock->text(), "Block length");
  EXPECT_TRUE(w->mnuOverplot->isEnabled());
  EXPECT_FALSE(w->mnuPeaks->isEnabled());
  EXPECT_FALSE(w->mnuCopyitem[2]->isEnabled());
}

TEST_F(Modes, BlockMeasurementRunsAtOneKilohertz) {
  w->mnuMeasure->trigger();
  enter_block("500");
  EXPECT_EQ(proposal(), "500");
  const SharedState& s = w->s;
  EXPECT_EQ(s.sampling_rate, 1000.0f);
  EXPECT_EQ(s.block_length, 500);
  EXPECT_EQ(s.sample_count, 499);
  EXPECT_EQ(s.raw_data.last_index(), 499);
  EXPECT_EQ(s.marker_data.size(), 500u);
  EXPECT_EQ(s.ave_data.last_index(), 499);
  EXPECT_EQ(w->windowTitle(), "BLOCK MODE (500.ms)");
  EXPECT_EQ(w->sampling_hz->currentText(), "1000");
  EXPECT_EQ(w->hz->text(), "us");
  EXPECT_FALSE(w->monitor->isVisible());
  EXPECT_TRUE(w->save->isVisible());
  EXPECT_FALSE(w->save->isEnabled());
  EXPECT_TRUE(w->stim->isEnabled());
  EXPECT_FALSE(w->scr_lng->isEnabled());
  EXPECT_FALSE(w->mnuOverplot->isEnabled());
}

// The block of block measurement is there from the start: the scale buttons and the display
// modes draw it before the first STIM.
TEST_F(Modes, BlockMeasurementDrawsItsBlockBeforeTheFirstStimulus) {
  w->mnuMeasure->trigger();
  choose_item(w->ch_list[0], 1);
  enter_block("500");
  EXPECT_EQ(w->s.block_count, 1);
  for (QPushButton* b : {w->mul, w->div}) {
    QTest::mouseClick(b, Qt::LeftButton);
    const PixelMap m = w->disp->pixel_map();
    EXPECT_EQ(w->disp->pixel(m.pixel_x(250), m.pixel_y(0)), QColor(Qt::white)) << "the block's zero line";
  }
}

TEST_F(Modes, EachViewKeepsItsLength) {
  w->mnuMeasure->trigger();
  w->scr_lng->setEditText("12.5");
  scr_lng_lost_focus(*w);
  enter_block("500");
  enter_block("200");
  EXPECT_EQ(w->s.block_length, 200);
  EXPECT_EQ(w->s.cont_scr_length, 12.5f) << "the second entry keeps the continuous setting of the first";
  w->mnuContinuous->trigger();
  EXPECT_EQ(w->s.scr_length, 12.5f);
  EXPECT_EQ(w->s.scr_factor, 1.0f);
  EXPECT_EQ(w->s.unit_text[0], " s");
  EXPECT_EQ(w->scr_lng->currentText(), "12.5");
  EXPECT_EQ(w->s.sampling_rate, 10.0f);
  EXPECT_EQ(w->s.block_length, -1);
  EXPECT_EQ(w->windowTitle(), "CONTINUOUS MODE");
  EXPECT_TRUE(w->monitor->isVisible());
  EXPECT_FALSE(w->save->isVisible());
  EXPECT_EQ(w->hz->text(), "Hz");
  EXPECT_FALSE(w->mnuContinuous->isVisible());
}

TEST_F(Modes, BlocksOfALoadedFile) {
  SharedState& s = w->s;
  s.file_loaded = kTrue;
  s.data_file_name = "/x/rec.bin";
  s.sample_count = 1000;
  s.sample_interval = 0.001f;
  s.ch_source = {1, 0, 0};
  s.raw_data.redim(3, 1000);
  s.work_data = s.raw_data;
  w->Grid1[0]->set_row(3);
  w->Grid1[0]->set_col(1);
  w->Grid1[0]->set_text("old reading");
  enter_block("300");
  EXPECT_EQ(s.block_count, 3);
  EXPECT_EQ(w->status->text(), "current curve: 1/3     averaged: 0");
  EXPECT_EQ(w->windowTitle(), "BLOCK MODE (300.ms)       /x/rec.bin");
  EXPECT_EQ(w->Grid1[0]->text_at(0, 1), "        t") << "the grids are reset for the block view";
  w->mnuContinuous->trigger();
  EXPECT_EQ(w->windowTitle(), "CONTINUOUS MODE   /x/rec.bin");
  EXPECT_EQ(w->Grid1[0]->text_at(0, 1), "     x1");
  EXPECT_TRUE(w->status->text().isEmpty());
}

TEST_F(Modes, ALengthWithoutASampleOrTooLongIsRefused) {
  w->s.sample_interval = 0.001f;
  enter_block("250");
  const QString too_long = "The block length must be at most 4194304 ms.";
  const std::pair<const char*, QString> refused[] = {
      {"0", "The block length must hold at least one sample."},
      {"-5", "The block length must hold at least one sample."},
      {"abc", "The block length must hold at least one sample."},
      {"4194305", too_long},
      {"2000000000", too_long},
  };
  for (const auto& [bad, message] : refused) {
    dialogs->expect_input("Block length (ms):", bad);
    dialogs->expect_warning(message);
    w->mnuBlock->trigger();
    EXPECT_EQ(w->s.block_length, 250) << bad;
    EXPECT_EQ(w->s.ave_data.last_index(), 249);
  }
  // the first entry into block mode is refused before anything changes
  w->mnuContinuous->trigger();
  dialogs->expect_input("Block length (ms):", "0");
  dialogs->expect_warning("The block length must hold at least one sample.");
  w->mnuBlock->trigger();
  EXPECT_EQ(w->s.block_mode, kFalse);
  EXPECT_FALSE(w->mnuContinuous->isVisible());
}

TEST_F(Modes, ACancelledEntryStillStopsMonitoring) {
  w->mnuMeasure->trigger();
  w->ch_list[0]->setCurrentIndex(1);
  ch_list_click(*w, 0);
  timer->before_tick = [&](int n) {
    if (n == 6) {
      dialogs->expect_input("Block length (ms):", "");
      w->mnuBlock->trigger();
    }
  };
  w->monitor->click();
  EXPECT_EQ(timer->ticks, 6);
  EXPECT_EQ(w->s.block_mode, kFalse);
  EXPECT_EQ(w->s.acq_running, kFalse);
}

TEST_F(Modes, ContinuousLeavesTheSpectrumFirst) {
  SharedState& s = w->s;
  s.file_loaded = kTrue;
  s.sample_interval = 0.001f;
  s.sample_count = 400;
  s.raw_data.redim(3, 400);
  s.raw_data(1, 5) = 42;
  s.work_data.redim(3, 400);
  enter_block("200");
  s.psd_shown = kTrue;
  s.saved_ch_max = {11, 22, 33};
  s.shift_steps = {-2, -2, -2};
  w->mnuContinuous->trigger();
  EXPECT_EQ(s.work_data(1, 5), 42);
  EXPECT_EQ(s.ch_max[2], 22);
  EXPECT_EQ(s.shift_steps[1], 0);
  EXPECT_FALSE(w->mnuPSD->isChecked());
  EXPECT_TRUE(w->mnuRaw->isChecked());
  EXPECT_EQ(s.psd_shown, kFalse);
}

TEST_F(Modes, ExitEmptiesTheClipboardAndEnds) {
  clipboard->set_text("something");
  w->mnuExit->trigger();
  EXPECT_TRUE(clipboard->text.isEmpty());
  EXPECT_EQ(clipboard->clears, 1);
  EXPECT_TRUE(ended);
}

}  // namespace
