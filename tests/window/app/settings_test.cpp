// Guards the acquisition settings controls as a person uses them: text typed with the keyboard
// is the value taken (no completion to a list entry), refused rates and intervals put the value in
// force back, leaving an untouched box or opening a drop-down changes nothing, lengths the
// program cannot hold are refused, and the input lists, channel selection and Enter key work.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "support/window_fixture.h"
#include "ui/results_grid.h"
#include "ui/surface.h"

using namespace quarvel;
using quarvel::testing::WindowTest;

namespace {

class Settings : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    w->mnuMeasure->trigger();
  }
  void enter_block_mode() {
    dialogs->expect_input("Block length (ms):", "500");
    w->mnuBlock->trigger();
  }
};

TEST_F(Settings, TypedTextIsTheValueTaken) {
  type_into(w->sampling_hz, "20");
  EXPECT_EQ(w->sampling_hz->currentText(), "20") << "not completed to the list entry 200";
  EXPECT_EQ(w->s.sampling_rate, 20.0f);
  EXPECT_FLOAT_EQ(w->s.sample_interval, 0.05f);
  type_into(w->scr_lng, "1");
  EXPECT_EQ(w->scr_lng->currentText(), "1");
  EXPECT_EQ(w->s.scr_length, 1.0f);
  EXPECT_FLOAT_EQ(w->disp->scale_width(), 25.0f) << "20 samples on 80 % of the width";
  type_into(w->file_lng, "1");
  EXPECT_EQ(w->file_lng->currentText(), "1");
  EXPECT_EQ(w->s.file_length, 1.0f);
  EXPECT_EQ(w->s.sample_count, 20);

  enter_block_mode();
  type_into(w->sampling_hz, "50");
  EXPECT_EQ(w->sampling_hz->currentText(), "50");
  EXPECT_FLOAT_EQ(w->s.sample_interval, 50e-6f);
  EXPECT_EQ(w->s.block_length, 10000) << "500 ms at 50 us";
  for (QComboBox* box : {w->dly1, w->interval, w->stim_num}) {
    type_into(box, "1");
    EXPECT_EQ(box->currentText(), "1") << box->objectName().toStdString();
  }
}

TEST_F(Settings, RefusedRatesPutTheRateInForceBack) {
  type_into(w->sampling_hz, "200");
  EXPECT_EQ(w->s.sampling_rate, 200.0f);
  EXPECT_EQ(w->s.sample_count, 36000);
  EXPECT_FLOAT_EQ(w->disp->scale_width(), 2000.0f);
  for (const char* bad : {"2000", "0", "-10", "abc", "1e-300"}) {
    type_into(w->sampling_hz, bad);
    EXPECT_EQ(w->s.sampling_rate, 200.0f) << bad;
    EXPECT_EQ(w->sampling_hz->currentText(), "200") << bad;
  }
  w->disp->cls();
  type_into(w->sampling_hz, "200");
  EXPECT_TRUE(w->disp->printed_texts().empty()) << "the rate in force again: not even a redraw";
}

TEST_F(Settings, BlockModeIntervalsAndTheirRefusal) {
  enter_block_mode();
  SharedState& s = w->s;
  type_into(w->sampling_hz, "2000");  // 2 ms: 250 samples in 500 ms
  EXPECT_FLOAT_EQ(s.sample_interval, 0.002f);
  EXPECT_FLOAT_EQ(s.sampling_rate, 500.0f);
  EXPECT_EQ(s.block_length, 250);
  EXPECT_EQ(s.ave_data.last_index(), 249);
  EXPECT_EQ(s.raw_data.last_index(), 249);
  EXPECT_EQ(s.sample_count, 249);
  EXPECT_FLOAT_EQ(w->disp->scale_width(), 312.5f);
  EXPECT_EQ(w->windowTitle(), "BLOCK MODE (500.ms)");

  s.ave_n = 2;
  s.ave_data(1, 5) = 7;
  type_into(w->sampling_hz, "20");
  EXPECT_EQ(w->sampling_hz->currentText(), "2000") << "a refused interval puts the interval in force back";
  visit(w->sampling_hz);
  EXPECT_EQ(s.block_length, 250) << "leaving the untouched box changes nothing";
  EXPECT_EQ(s.ave_n, 2.0f);
  EXPECT_EQ(s.ave_data(1, 5), 7.0f);

  type_into(w->sampling_hz, "500");
  EXPECT_EQ(s.block_length, 1000) << "an interval equal to the old rate in Hz is still a new interval";
}

TEST_F(Settings, LeavingAnUntouchedBoxChangesNothing) {
  type_into(w->scr_lng, "12.5");
  EXPECT_EQ(w->s.scr_length, 12.5f);
  w->s.sweep_restart = kFalse;
  for (QComboBox* box : {w->sampling_hz, w->scr_lng, w->file_lng}) visit(box);
  EXPECT_EQ(w->s.sweep_restart, kFalse);
  EXPECT_EQ(w->s.scr_length, 12.5f);
  type_into(w->sampling_hz, "20");
  EXPECT_EQ(w->scr_lng->currentText(), "12.5") << "rewritten with one decimal after a rate change";
}

TEST_F(Settings, OpeningADropDownIsNotLeavingTheBox) {
  activate();
  QTest::mouseClick(w->sampling_hz->lineEdit(), Qt::LeftButton);
  QTest::keyClick(w->sampling_hz->lineEdit(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(w->sampling_hz->lineEdit(), "2");
  QTest::keyClick(w->sampling_hz, Qt::Key_Down, Qt::AltModifier);
  settle();
  EXPECT_EQ(w->s.sampling_rate, 10.0f) << "the half-typed text is not taken when the list opens";
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  settle();
  EXPECT_EQ(w->s.sampling_rate, 10.0f);

  choose_item(w->ch_list[1], 2);
  w->s.sweep_restart = kFalse;
  w->s.view_start = 5;
  QTest::mouseClick(w->ch_list[1], Qt::LeftButton);  // a click opens the list
  settle();
  EXPECT_EQ(w->s.sweep_restart, kFalse);
  EXPECT_EQ(w->s.view_start, 5.0f);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  settle();
}

TEST_F(Settings, LengthsTheProgramCannotHoldAreRefused) {
  type_into(w->file_lng, "60");
  EXPECT_EQ(w->s.sample_count, 600);
  for (const char* bad : {"1e308", "0", "-5", "1e-300"}) {
    if (std::string(bad) == "1e308") dialogs->expect_warning_starting("The file length");
    type_into(w->file_lng, bad);
    EXPECT_EQ(w->s.file_length, 60.0f) << bad;
    EXPECT_EQ(w->s.sample_count, 600) << bad;
    EXPECT_EQ(w->file_lng->currentText(), "60") << bad;
  }
  for (const char* bad : {"0", "-3", "x", "1e-300", "1e39"}) {
    type_into(w->scr_lng, bad);
    EXPECT_EQ(w->s.scr_length, 8.0f) << bad;
    EXPECT_EQ(w->scr_lng->currentText(), "8") << bad;
  }
}

TEST_F(Settings, ChoosingAnInputResetsTheChannelAndSelectsIt) {
  w->s.ch_max[2] = 7;
  w->s.ch_offset[2] = 3;
  choose_item(w->ch_list[1], 3);
  EXPECT_EQ(w->s.ch_source[2], 3);
  EXPECT_EQ(w->s.ch_max[2], 1000);
  EXPECT_EQ(w->s.current_ch, 2);
  EXPECT_TRUE(w->ch_select[1]->isChecked());
  EXPECT_EQ(w->s.channel_count, 1);
  EXPECT_TRUE(w->mul->styleSheet().contains("#ffff00"));
  EXPECT_EQ(w->disp->printed_texts().back().colour, kYellow) << "the frame now labels channel 2";
}

TEST_F(Settings, EnterMovesTheFocus) {
  type_into(w->sampling_hz, "25", Qt::Key_Return);
  EXPECT_TRUE(w->monitor->hasFocus());
  EXPECT_EQ(w->s.sampling_rate, 25.0f) << "leaving with Enter takes the text as well";
  type_into(w->file_lng, "30", Qt::Key_Enter);
  EXPECT_TRUE(w->monitor->hasFocus());
  EXPECT_EQ(w->s.file_length, 30.0f);
  enter_block_mode();
  type_into(w->sampling_hz, "2000", Qt::Key_Return);
  EXPECT_TRUE(w->stim->hasFocus());
}

}  // namespace
