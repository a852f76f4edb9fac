// Guards the results tables: the rows Add writes in the block and continuous views (labels,
// baseline, differences, ampl./tone/period) with their store records, the counters' moves, the
// Delete confirmation, CLR and the header rows, the scrolling, the grids growing past their
// first 200 rows and the store refusing records past its 1000th.
#include <QLabel>
#include <QPushButton>

#include "measure/results_rows.h"
#include "measure/results_table.h"
#include "measure_fixture.h"
#include "ui/results_grid.h"

using namespace quarvel;
using quarvel::testing::MeasureTest;

// --- the arithmetic, without a window

TEST(ResultCounters, DeleteStepsBackOrEmptiesTheHalfRow) {
  EXPECT_FALSE(delete_step({5, 5, 9, 1}).acts) << "nothing recorded in the block yet";
  const DeleteStep last = delete_step({7, 5, 9, 1});
  EXPECT_TRUE(last.acts);
  EXPECT_EQ(last.remove_row, 6);
  EXPECT_EQ(last.after, (TableCounters{6, 5, 8, 1}));
  const DeleteStep half = delete_step({7, 5, 9, 3});
  EXPECT_EQ(half.remove_row, 7);
  EXPECT_EQ(half.after, (TableCounters{7, 5, 9, 1}));
  EXPECT_TRUE(delete_step({5, 5, 9, 3}).acts);
}

TEST(ResultCounters, RecordsNeededAndStoreRoom) {
  EXPECT_EQ(records_needed({1, 1, 1, 1}, true), 2) << "label and reading";
  EXPECT_EQ(records_needed({3, 1, 3, 1}, true), 1);
  EXPECT_EQ(records_needed({1, 1, 1, 1}, false), 2);
  EXPECT_EQ(records_needed({2, 1, 2, 3}, false), 1) << "the second point completes the started record";
  EXPECT_TRUE(store_has_room(999, 2));
  EXPECT_FALSE(store_has_room(1000, 2));
  EXPECT_TRUE(store_has_room(1000, 1));
  EXPECT_FALSE(store_has_room(1001, 1));
  SharedState s;
  s.store_row[2] = 998;
  EXPECT_TRUE(store_has_room(s, 2, 3)) << "room for the three statistics rows";
  s.store_row[2] = 999;
  EXPECT_FALSE(store_has_room(s, 2, 3));
  EXPECT_TRUE(store_has_room(s, 1, 3));
}

TEST(ResultCounters, TheLastThreeRowsStayInView) {
  EXPECT_EQ(first_visible_row(2), 1);
  EXPECT_EQ(first_visible_row(3), 1);
  EXPECT_EQ(first_visible_row(4), 1);
  EXPECT_EQ(first_visible_row(10), 7);
}

TEST(BlockRows, BaselineRange) {
  EXPECT_EQ(baseline_count(50, 0.01f, 100), 5);
  EXPECT_EQ(baseline_count(0, 0.01f, 100), 100) << "no delay: the whole sweep";
  EXPECT_EQ(baseline_count(-3, 0.01f, 100), 100);
  EXPECT_EQ(baseline_count(2, 0.01f, 100), 0);
  EXPECT_EQ(baseline_count(750, 0.5f, 100), 2) << "1.5 samples: ties to even";
  EXPECT_EQ(baseline_count(250, 0.5f, 100), 0);

  SampleArray a;
  a.redim(1, 29);
  for (int i = 0; i < 30; ++i) a(1, i) = static_cast<float>(i);
  EXPECT_FLOAT_EQ(baseline_of(a, 1, 10, 5, 10), 12);
  EXPECT_FLOAT_EQ(baseline_of(a, 1, 10, 0, 10), 10) << "no samples: the first sample of the sweep";
  EXPECT_FLOAT_EQ(baseline_of(a, 1, 10, 50, 10), 14.5f) << "the sweep ends the range";
  EXPECT_FLOAT_EQ(baseline_of(a, 1, 20, 50, -1), 24.5f) << "so does the end of the data";
  EXPECT_FLOAT_EQ(baseline_of(a, 1, 40, 5, 10), 29) << "past the data: the last sample";
  EXPECT_FLOAT_EQ(baseline_of(SampleArray{}, 1, 0, 5, 10), 0);
}

TEST(BlockRows, LabelAndReadingTexts) {
  const BlockLabelRow l = block_label_row("ctrl", 50, 14.25f);
  EXPECT_EQ(l.cells, (QStringList{"ctrl", "dly: 50 ms", "zero: 14.25"}));
  EXPECT_EQ(l.record_text, "ctrl     dly: 50 ms      baseline: 14.25");

  const ResultRec first = block_reading(1, 25, 0.01f, 60, 14, 50, nullptr);
  EXPECT_EQ(first.kind, kKindBlockReading);
  EXPECT_FLOAT_EQ(first.v[1], 250);
  EXPECT_FLOAT_EQ(first.v[2], 46);
  EXPECT_FLOAT_EQ(first.v[3], 200);
  EXPECT_EQ(block_reading_cells(first, false), (QStringList{"1", "250.0", "46.0", "200.0"}));
  const ResultRec second = block_reading(2, 40.5f, 0.01f, 30.125f, 14, 50, &first);
  EXPECT_FLOAT_EQ(second.v[5], 16.125f - 46);
  EXPECT_FLOAT_EQ(second.v[7], 155);
  EXPECT_EQ(second.v[4], 0);
  EXPECT_EQ(second.v[6], 0);
  EXPECT_EQ(block_reading_cells(second, true),
            (QStringList{"2", "405.0", "16.13", "355.0", "-29.88", "155.0"}));
}

TEST(ContinuousRows, AmplitudeToneAndPeriod) {
  ResultRec first;
  first.v[1] = 1;
  first.v[2] = 5.5f;
  first.v[3] = 3;
  first.v[4] = -2;
  finish_row(first, nullptr);
  EXPECT_FLOAT_EQ(first.v[5], 7.5f) << "ampl. is never negative";
  EXPECT_FLOAT_EQ(first.v[6], 1.75f);
  EXPECT_EQ(first.v[7], 0);
  EXPECT_EQ(finish_cells(first, false), (QStringList{"7.50", "1.75"}));
  ResultRec next;
  next.v[1] = 4.5f;
  next.v[2] = -1;
  next.v[4] = 2;
  finish_row(next, &first);
  EXPECT_FLOAT_EQ(next.v[5], 3);
  EXPECT_FLOAT_EQ(next.v[7], 3.5f);
  EXPECT_EQ(finish_cells(next, true), (QStringList{"3.00", "0.50", "3.50"}));
  EXPECT_FLOAT_EQ(point_time(100, 15, 0.1f), 11.5f);
  EXPECT_EQ(point_cell(-0.125f), "-0.13");
}

// --- on the window

namespace {

QStringList row_texts(const ResultsGrid& g, int r) {
  QStringList l;
  for (int c = 0; c < g.cols(); ++c) l << g.text_at(r, c);
  return l;
}

}  // namespace

class Results : public MeasureTest {
 protected:
  ResultsGrid& grid(int ch = 1) { return *w->Grid1[static_cast<size_t>(ch - 1)]; }
  const ResultRec& rec(int row, int ch = 1) { return w->s.results.at(row, ch); }
  TableCounters counters(int ch = 1) { return counters_of(w->s, ch); }
  // A left press at x, then Add.
  void add_at(double x) {
    press(1, x);
    w->add->click();
  }
};

TEST_F(Results, BlockViewLabelRowAndReadings) {
  load_blocks();  // sweep of the second block: 1010, 1012, 1014, ...
  dialogs->expect_input("Enter stimulus delay (ms):", "50");
  dialogs->expect_input("Enter short label for block: ", "ctrl");
  add_at(25);
  ASSERT_EQ(dialogs->asked().size(), 2u);
  EXPECT_EQ(dialogs->asked()[0].title, "Stimulus delay");
  EXPECT_EQ(dialogs->asked()[1].title, "Block label");
  EXPECT_EQ(w->s.stim_delay, 50);
  EXPECT_FLOAT_EQ(w->s.baseline, 1014) << "mean of the 5 samples before the stimulus";
  EXPECT_EQ(row_texts(grid(), 1), (QStringList{"ctrl", "dly: 50 ms", "zero: 1014.0", "", "", "", "", ""}));
  EXPECT_EQ(rec(1).kind, 6);
  EXPECT_EQ(rec(1).text, "ctrl     dly: 50 ms      baseline: 1014.0");
  EXPECT_EQ(row_texts(grid(), 2), (QStringList{"1", "250.0", "46.0", "200.0", "", "", "", ""}))
      << "t 250 ms, A = 1060 - 1014, t-dly = 250 - 50; no p-to-p or dist. yet";
  EXPECT_EQ(rec(2).kind, 7);
  EXPECT_EQ(rec(2).text, "1");
  EXPECT_FLOAT_EQ(rec(2).v[1], 250);
  EXPECT_FLOAT_EQ(rec(2).v[2], 46);
  EXPECT_FLOAT_EQ(rec(2).v[3], 200);
  EXPECT_EQ(counters(), (TableCounters{3, 1, 3, 1}));

  add_at(40);  // no more questions
  EXPECT_EQ(row_texts(grid(), 3), (QStringList{"2", "400.0", "76.0", "350.0", "30.0", "150.0", "", ""}));
  EXPECT_FLOAT_EQ(rec(3).v[5], 30);
  EXPECT_FLOAT_EQ(rec(3).v[7], 150);
  EXPECT_EQ(rec(3).v[4], 0);
  EXPECT_EQ(rec(3).v[6], 0);
  EXPECT_EQ(counters(), (TableCounters{4, 1, 4, 1}));
}

TEST_F(Results, AnAverageViewRecordsTheAverageItShows) {
  load_blocks();  // the average holds i / 2
  w->mnuA->trigger();
  dialogs->expect_input("Enter stimulus delay (ms):", "50");
  dialogs->expect_input("Enter short label for block: ", "ave");
  add_at(25);
  EXPECT_EQ(w->Label1->text(), "250.00ms, 12.5");
  EXPECT_FLOAT_EQ(w->s.baseline, 1) << "the first 5 samples of the average";
  EXPECT_FLOAT_EQ(rec(2).v[2], 11.5f) << "12.5 shown, less the baseline of the same curve";
  w->mnuS->trigger();
  add_at(40);
  EXPECT_FLOAT_EQ(rec(3).v[2], 1090 - 1.0f) << "a single view records the single sweep";
}

TEST_F(Results, BlockViewNoDelayTakesTheWholeSweepAndAsksAgain) {
  load_blocks();
  dialogs->expect_input("Enter stimulus delay (ms):", "0");
  dialogs->expect_input("Enter short label for block: ", "a");
  add_at(25);
  EXPECT_FLOAT_EQ(w->s.baseline, 1109) << "mean of all 100 samples of the sweep";
  EXPECT_EQ(grid().text_at(1, 1), "dly:  ms") << "a zero delay shows no digits";
  EXPECT_EQ(grid().text_at(1, 2), "zero: 1109.0");
  EXPECT_EQ(grid().text_at(2, 3), "250.0");

  // deleting the reading and the label makes the next reading open a block: the delay is asked
  dialogs->expect_yes_no("Do you want to clear last line?", true);
  dialogs->expect_yes_no("Do you want to clear last line?", true);
  w->del->click();
  w->del->click();
  EXPECT_EQ(counters(), (TableCounters{1, 1, 1, 1}));
  dialogs->expect_input("Enter stimulus delay (ms):", "20.4");
  dialogs->expect_input("Enter short label for block: ", "b");
  add_at(25);
  EXPECT_EQ(w->s.stim_delay, 20);
  EXPECT_FLOAT_EQ(w->s.baseline, 1011);
  EXPECT_EQ(grid().text_at(1, 0), "b");
}

TEST_F(Results, BlockViewCancelledPromptsRecordNothing) {
  load_blocks();
  press(1, 25);
  dialogs->expect_input("Enter stimulus delay (ms):", "");
  w->add->click();
  EXPECT_EQ(w->s.stim_delay, 0);
  EXPECT_EQ(counters(), (TableCounters{}));
  EXPECT_EQ(rec(1).kind, 0);
  EXPECT_EQ(row_texts(grid(), 1), QStringList(8, QString()));

  dialogs->expect_input("Enter stimulus delay (ms):", "50");
  dialogs->expect_input("Enter short label for block: ", "");
  w->add->click();
  EXPECT_EQ(w->s.stim_delay, 50) << "the delay stays";
  EXPECT_FLOAT_EQ(w->s.baseline, 1014);
  EXPECT_EQ(counters(), (TableCounters{}));
  EXPECT_EQ(rec(1).kind, 0);
  EXPECT_EQ(row_texts(grid(), 1), QStringList(8, QString()));

  dialogs->expect_input("Enter short label for block: ", "c");
  w->add->click();
  EXPECT_EQ(rec(2).kind, 7);
}

TEST_F(Results, AddNeedsACursorAndNoOverplot) {
  load_blocks();
  w->add->click();  // no cursor: no question, nothing recorded
  EXPECT_EQ(counters(), (TableCounters{}));
  press(1, 25);
  w->s.overplot_on = kTrue;
  w->add->click();
  EXPECT_EQ(counters(), (TableCounters{}));
}

TEST_F(Results, AddInAutoPeakModeDoesNotRecordTheCursor) {
  load_continuous();
  press(1, 25);
  w->s.peak_mode = kTrue;  // the scan takes Add over: no label question, no reading
  w->add->click();
  EXPECT_EQ(counters(), (TableCounters{}));
  EXPECT_EQ(rec(1).kind, 0);
}

TEST_F(Results, ContinuousRowsOfTwoPoints) {
  load_continuous();
  w->s.work_data(1, 10) = 5.5f;
  w->s.work_data(1, 30) = -2;
  dialogs->expect_input("block label", "run 1");
  add_at(10);
  ASSERT_EQ(dialogs->asked().size(), 1u);
  EXPECT_EQ(dialogs->asked()[0].title, "Enter short label for block: ");
  EXPECT_EQ(grid().text_at(1, 0), "run 1");
  EXPECT_EQ(rec(1).kind, 1);
  EXPECT_EQ(rec(1).text, "run 1");
  EXPECT_EQ(row_texts(grid(), 2), (QStringList{"1", "1.00", "5.50", "", "", "", "", ""}));
  EXPECT_EQ(counters(), (TableCounters{2, 1, 2, 3}));

  add_at(30);
  EXPECT_EQ(row_texts(grid(), 2), (QStringList{"1", "1.00", "5.50", "3.00", "-2.00", "7.50", "1.75", ""}))
      << "ampl. never negative, tone the mean, no period in the first row";
  EXPECT_EQ(counters(), (TableCounters{3, 1, 3, 1}));
  EXPECT_EQ(rec(2).kind, 2);
  EXPECT_EQ(rec(2).text, "1");
  EXPECT_FLOAT_EQ(rec(2).v[1], 1);
  EXPECT_FLOAT_EQ(rec(2).v[2], 5.5f);
  EXPECT_FLOAT_EQ(rec(2).v[3], 3);
  EXPECT_FLOAT_EQ(rec(2).v[4], -2);
  EXPECT_FLOAT_EQ(rec(2).v[5], 7.5f);
  EXPECT_FLOAT_EQ(rec(2).v[6], 1.75f);

  // the second row of the block: the period from the first point of the row before
  w->s.view_start = 40;
  draw_frame(*w);
  add_at(10);  // 5.0 s
  add_at(20);  // 6.0 s
  EXPECT_EQ(row_texts(grid(), 3),
            (QStringList{"2", "5.00", "12.50", "6.00", "15.00", "2.50", "13.75", "4.00"}));
  EXPECT_FLOAT_EQ(rec(3).v[7], 4);
  EXPECT_EQ(counters(), (TableCounters{4, 1, 4, 1}));
}

TEST_F(Results, ContinuousEmptyLabelStillMakesALabelRow) {
  load_continuous();
  dialogs->expect_input("block label", "");
  add_at(10);
  EXPECT_EQ(grid().text_at(1, 0), "");
  EXPECT_EQ(rec(1).kind, 1);
  EXPECT_EQ(rec(1).text, "");
  EXPECT_EQ(grid().text_at(2, 0), "1");
  EXPECT_EQ(rec(2).kind, 2);
}

TEST_F(Results, DeleteAsksAndRemovesTheLastLine) {
  load_blocks();
  w->s.stim_delay = 50;
  dialogs->expect_input("Enter short label for block: ", "ctrl");
  add_at(25);
  add_at(40);
  const int rows = grid().rows();
  dialogs->expect_yes_no("Do you want to clear last line?", false);
  w->del->click();
  EXPECT_EQ(dialogs->asked().back().title, "Confirm delete");
  EXPECT_EQ(counters(), (TableCounters{4, 1, 4, 1}));
  EXPECT_EQ(grid().text_at(3, 0), "2");

  dialogs->expect_yes_no("Do you want to clear last line?", true);
  w->del->click();
  EXPECT_EQ(counters(), (TableCounters{3, 1, 3, 1}));
  EXPECT_EQ(row_texts(grid(), 3), QStringList(8, QString()));
  EXPECT_EQ(grid().rows(), rows);
  EXPECT_EQ(grid().text_at(rows - 1, 0), "3") << "the appended row holds the row number";
  // the next reading takes the deleted one's place and compares with the first
  add_at(30);
  EXPECT_EQ(row_texts(grid(), 3), (QStringList{"2", "300.0", "56.0", "250.0", "10.0", "50.0", "", ""}));
}

TEST_F(Results, DeleteOnAHalfFilledRow) {
  load_continuous();
  dialogs->expect_input("block label", "x");
  add_at(10);
  dialogs->expect_yes_no("Do you want to clear last line?", true);
  w->del->click();
  EXPECT_EQ(counters(), (TableCounters{2, 1, 2, 1})) << "grid_row stays, grid_col back to 1";
  EXPECT_EQ(row_texts(grid(), 2), QStringList(8, QString()));
  EXPECT_EQ(grid().text_at(1, 0), "x");
  EXPECT_EQ(grid().text_at(grid().rows() - 1, 0), "2");
  add_at(20);  // the block is open: no label asked
  EXPECT_EQ(row_texts(grid(), 2), (QStringList{"1", "2.00", "5.00", "", "", "", "", ""}));
}

TEST_F(Results, DeleteDoesNothingWithoutALineOrData) {
  w->s.grid_row[1] = 3;  // no data loaded
  w->del->click();
  EXPECT_EQ(counters().grid_row, 3);
  w->s.grid_row[1] = 1;
  load_continuous();
  w->del->click();  // nothing recorded yet: no question
  EXPECT_EQ(counters(), (TableCounters{}));
}

TEST_F(Results, TheLastRowsStayInView) {
  load_blocks();
  w->s.stim_delay = 50;
  set_counters(w->s, 1, {9, 1, 9, 1});
  add_at(25);
  EXPECT_EQ(counters().grid_row, 10);
  EXPECT_EQ(grid().top_row(), 7);
}

TEST_F(Results, OnlyTheCurrentChannelsTableIsWritten) {
  load_continuous();
  w->s.ch_source = {1, 2, 0};
  w->s.work_data.redim(2, 1799);
  w->s.work_data(2, 10) = 42;
  w->s.current_ch = 2;
  draw_frame(*w);
  dialogs->expect_input("block label", "two");
  add_at(10);
  EXPECT_EQ(grid(2).text_at(2, 2), "42.00");
  EXPECT_EQ(rec(1, 2).kind, 1);
  EXPECT_EQ(grid(1).text_at(1, 0), "");
  EXPECT_EQ(counters(1), (TableCounters{}));
}

TEST_F(Results, GridsGrowPastTheirFirstRows) {
  load_continuous();
  const int rows = grid().rows();
  ASSERT_EQ(rows, 202) << "200 rows, and a header row from start-up and one from the load";
  set_counters(w->s, 1, {230, 229, 300, 1});
  add_at(10);
  add_at(20);
  EXPECT_GT(grid().rows(), 230);
  EXPECT_EQ(row_texts(grid(), 230), (QStringList{"1", "1.00", "2.50", "2.00", "5.00", "2.50", "3.75", ""}));

  load_blocks();
  w->s.stim_delay = 50;
  set_counters(w->s, 1, {260, 231, 330, 1});
  add_at(25);
  EXPECT_EQ(grid().text_at(260, 0), "29");
}

TEST_F(Results, TheStoreRefusesRecordsPastItsEnd) {
  load_blocks();
  w->s.stim_delay = 50;
  press(1, 25);
  // a new block needs its label and its reading: only one record is left, so nothing is asked
  set_counters(w->s, 1, {1020, 1020, 1000, 1});
  w->add->click();
  EXPECT_EQ(counters(), (TableCounters{1020, 1020, 1000, 1}));
  EXPECT_EQ(rec(1000).kind, 0);
  EXPECT_EQ(grid().rows(), 202) << "the grid is not written either";

  // an open block takes one more reading, then no more
  set_counters(w->s, 1, {1021, 1020, 1000, 1});
  w->add->click();
  EXPECT_EQ(rec(1000).kind, 7);
  EXPECT_EQ(grid().text_at(1021, 1), "250.0");
  EXPECT_EQ(counters().store_row, 1001);
  w->add->click();
  add_result(*w);  // as the peak scan calls it
  EXPECT_EQ(counters(), (TableCounters{1022, 1020, 1001, 1}));
  EXPECT_EQ(grid().text_at(1022, 0), "");
}

TEST_F(Results, TheStoreRefusesContinuousRowsPastItsEnd) {
  load_continuous();
  press(1, 10);
  set_counters(w->s, 1, {5, 5, 1000, 1});
  w->add->click();  // label and row would not both fit: no question
  EXPECT_EQ(counters(), (TableCounters{5, 5, 1000, 1}));
  EXPECT_EQ(grid().text_at(5, 0), "");

  set_counters(w->s, 1, {6, 5, 1000, 1});
  add_at(10);
  add_at(20);
  EXPECT_EQ(rec(1000).kind, 2);
  EXPECT_FLOAT_EQ(rec(1000).v[3], 2);
  EXPECT_EQ(counters(), (TableCounters{7, 5, 1001, 1}));
  add_result(*w);
  EXPECT_EQ(counters(), (TableCounters{7, 5, 1001, 1}));
  EXPECT_EQ(grid().text_at(7, 1), "");
}

TEST_F(Results, ResetWritesTheHeaderOfTheViewAndEmptiesEverything) {
  load_blocks();
  w->s.stim_delay = 50;
  dialogs->expect_input("Enter short label for block: ", "ctrl");
  add_at(25);
  reset_grid(*w);
  for (int ch = 1; ch <= 3; ++ch) {
    EXPECT_EQ(row_texts(grid(ch), 0),
              (QStringList{" ", "        t", "        A", "    t-dly", "   p-to-p", "    dist.", "", ""}));
    EXPECT_EQ(grid(ch).fixed_rows(), 1);
    EXPECT_EQ(grid(ch).fixed_cols(), 1);
    EXPECT_EQ(grid(ch).col_width_twips(7), 1200);
    EXPECT_EQ(grid(ch).col_alignment(3), ResultsGrid::Align::Left);
    EXPECT_EQ(counters(ch), (TableCounters{}));
  }
  EXPECT_EQ(row_texts(grid(), 1), QStringList(8, QString()));
  EXPECT_EQ(row_texts(grid(), 2), QStringList(8, QString()));
  EXPECT_EQ(rec(1).kind, 0);
  EXPECT_EQ(rec(2).text, "");
  EXPECT_EQ(rec(2).v[1], 0);

  // CLR in the continuous view
  load_continuous();
  w->del->setFocus();
  w->Clear->click();
  EXPECT_EQ(row_texts(grid(3), 0),
            (QStringList{" ", "     x1", "     y1", "     x2", "     y2", "  ampl.", "   tone", " period"}));
  EXPECT_EQ(w->focusWidget(), w->add);
}
