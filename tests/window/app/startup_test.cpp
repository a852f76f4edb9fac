// Guards the window as it opens: the start-up values later procedures rely on, every control and
// menu under its name with its caption and state, the results grids' header rows, and the names
// assistive technology finds the controls by.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include "app/startup.h"
#include "support/window_fixture.h"
#include "ui/results_grid.h"
#include "ui/surface.h"

using namespace quarvel;
using quarvel::testing::WindowTest;

using StartUp = WindowTest;

TEST_F(StartUp, SharedStateHoldsItsStartValues) {
  const SharedState& s = w->s;
  EXPECT_EQ(s.block_mode, kFalse);
  EXPECT_EQ(s.current_ch, 1);
  EXPECT_EQ(s.channel_count, 1);
  EXPECT_EQ(s.block_length, -1);
  EXPECT_EQ(s.block_count, -1);
  EXPECT_EQ(s.measure_mode, kFalse);
  EXPECT_EQ(s.show_single, kTrue);
  EXPECT_EQ(s.show_average, kFalse);
  EXPECT_EQ(s.sampling_rate, 10.0f);
  EXPECT_EQ(s.sample_interval, 0.1f);
  EXPECT_EQ(s.sample_count, 1800);
  EXPECT_EQ(s.file_length, 180.0f);
  EXPECT_EQ(s.scr_length, 8.0f);
  EXPECT_EQ(s.scr_factor, 1.0f);
  EXPECT_EQ(s.unit_text[0], " s");
  EXPECT_EQ(s.stim_count, 1);
  EXPECT_EQ(s.level_div, 8);
  EXPECT_EQ(s.env_threshold, 6);
  EXPECT_EQ(s.time_divs, 4);
  EXPECT_EQ(s.cursor_x, -1);
  for (int ch = 1; ch <= 3; ++ch) {
    EXPECT_EQ(s.ch_source[ch], 0);
    EXPECT_EQ(s.ch_max[ch], 1000);
    EXPECT_EQ(s.level_y[ch], -10000000.0f);
    EXPECT_EQ(s.grid_row[ch], 1);
    EXPECT_EQ(s.store_row[ch], 1);
    EXPECT_EQ(s.ave_colour[ch], rgb(150, 150, 150));
  }
  // the first frame drawing replaced the start-up index 4 (1000) by the automatic choice 500
  EXPECT_EQ(s.range_index[1], 5);
  EXPECT_EQ(s.ch_range[1], 2000);
  EXPECT_EQ(w->disp->scale_width(), 100.0);
}

TEST_F(StartUp, CaptionsListsAndStates) {
  EXPECT_EQ(w->windowTitle(), "");
  EXPECT_EQ(w->status->text(), "");
  EXPECT_EQ(w->SA_label->text(), " sngl");
  EXPECT_EQ(w->ave_count->text(), " 0");
  EXPECT_EQ(w->ave_count_label->text(), "saved");
  EXPECT_EQ(w->Label1->text(), "Label1");
  EXPECT_FALSE(w->Label1->isVisible());
  EXPECT_EQ(w->dummy->text(), "Label2");
  EXPECT_EQ(w->halt->text(), "STOP");
  EXPECT_EQ(w->drug_button->text(), "MARKER ON");
  EXPECT_EQ(w->mul->text(), "*2");
  EXPECT_EQ(w->pshift->text(), QString::fromUtf8("\u2191"));
  EXPECT_EQ(w->nshift->text(), QString::fromUtf8("\u2193"));
  EXPECT_EQ(w->ch_list[0]->count(), 5);
  EXPECT_EQ(w->ch_list[2]->itemText(4), "4. ch");
  EXPECT_EQ(w->gain[1]->itemText(3), "8x");
  EXPECT_EQ(w->sampling_hz->itemText(0), "200");
  EXPECT_EQ(w->file_lng->currentText(), "180");
  EXPECT_EQ(w->dly1->currentText(), "0");
  EXPECT_EQ(w->interval->currentText(), "0");
  EXPECT_EQ(w->stim_num->currentIndex(), 1);
  EXPECT_EQ(w->stim_num->currentText(), "1");
  EXPECT_EQ(w->sampling_hz->currentText(), "10");
  EXPECT_EQ(w->scr_lng->currentText(), "8");
  EXPECT_TRUE(w->ch_select[0]->isChecked());
  EXPECT_FALSE(w->ch_select[1]->isChecked());
  for (int i = 0; i < 20; ++i) {
    EXPECT_FALSE(w->Text1[i]->isVisible());
    EXPECT_TRUE(w->Text1[i]->text().isEmpty());
  }
}

TEST_F(StartUp, MenusWithTheirCaptionsAndStates) {
  EXPECT_EQ(w->mnuFile->title(), "&File");
  EXPECT_EQ(w->mnuOpen->text(), "&Open");
  EXPECT_EQ(w->mnuExit->text(), "E&xit");
  EXPECT_EQ(w->mnuCopyitem[3]->text(), "&Whole table (Word)");
  EXPECT_EQ(w->mnuZoom_sel->text(), "&Zoom selection");
  EXPECT_EQ(w->mnuInvert->text(), "In&vert");
  EXPECT_EQ(w->mnuPeaks->text(), "Auto &peaks");
  EXPECT_EQ(w->mnuBlock->text(), "&Block mode");
  EXPECT_EQ(w->mnuMeasure->text(), "Mea&sure");
  for (QAction* a : {w->mnuS_A, w->mnuA_S, w->mnuS, w->mnuA, w->mnuOverplot, w->mnuPSD})
    EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
  EXPECT_TRUE(w->mnuRaw->isChecked());
  EXPECT_TRUE(w->mnuBlock->isVisible());
  EXPECT_FALSE(w->mnuContinuous->isVisible());
  EXPECT_TRUE(w->mnuMeasure->isVisible());
  EXPECT_FALSE(w->mnuQuarvel->isVisible());
}

TEST_F(StartUp, ResultsGridsCarryTheContinuousHeader) {
  const QStringList header = {" ",       "     x1", "     y1", "     x2",
                              "     y2", "  ampl.", "   tone", " period"};
  for (int i = 0; i < 3; ++i) {
    ResultsGrid& g = *w->Grid1[i];
    EXPECT_EQ(g.rows(), 201);
    EXPECT_EQ(g.cols(), 8);
    EXPECT_EQ(g.fixed_rows(), 1);
    EXPECT_EQ(g.fixed_cols(), 1);
    EXPECT_EQ(g.col_width_twips(0), 1252);
    EXPECT_EQ(g.col_width_twips(5), 1200);
    for (int c = 0; c < 8; ++c) EXPECT_EQ(g.text_at(0, c), header[c]);
  }
  EXPECT_TRUE(w->Grid1[0]->isVisible());
  EXPECT_FALSE(w->Grid1[1]->isVisible());
  EXPECT_FALSE(w->Grid1[2]->isVisible());
}

TEST_F(StartUp, ControlsAreFoundByTheirNames) {
  auto* list = w->findChild<QComboBox*>("ch_list(1)");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->accessibleDescription(), "ch_list(1)");
  EXPECT_EQ(w->findChild<Surface*>("disp")->accessibleDescription(), "disp");
  EXPECT_EQ(w->findChild<ResultsGrid*>("Grid1(2)")->accessibleDescription(), "Grid1(2)");
  EXPECT_EQ(w->findChild<QLineEdit*>("Text1(3)")->accessibleDescription(), "Text1(3)");
  EXPECT_EQ(w->findChild<QPushButton*>("pshift")->accessibleName(), "shift up");
  EXPECT_NE(w->findChild<QPushButton*>("newblk"), nullptr);
  EXPECT_NE(w->findChild<QAction*>("mnuCopyitem(5)"), nullptr);
  EXPECT_EQ(w->objectName(), "quarvel");
}

TEST_F(StartUp, ScaleButtonsTakeTheChannelColour) {
  EXPECT_TRUE(w->mul->styleSheet().contains("#ffffff"));
  colour_scale_buttons(*w, 3);
  EXPECT_TRUE(w->nshift->styleSheet().contains("#00ffff"));
}
