// Guards closing a block of continuous readings with Newblk: the mean, SD and n rows (period
// over one reading fewer), their shading and store records, the blank row after a single
// reading, a spread that rounding makes negative, and the store refusing a summary that would
// pass its end.
#include <QPushButton>
#include <vector>

#include "core/colour.h"
#include "measure/block_summary.h"
#include "measure/results_rows.h"
#include "measure_fixture.h"
#include "ui/results_grid.h"

using namespace quarvel;
using quarvel::testing::MeasureTest;

TEST(ColumnStats, EqualValuesHaveNoSpread) {
  // 179 equal readings: the double sums leave Q - S^2/n a little below zero
  EXPECT_EQ(column_stats(std::vector<double>(179, 369.15f)).sd, 0);
}

class BlockStats : public MeasureTest {
 protected:
  ResultsGrid& grid() { return *w->Grid1[0]; }
  const ResultRec& rec(int row) { return w->s.results.at(row, 1); }
  TableCounters counters() { return counters_of(w->s, 1); }
  void add_at(double x) {
    press(1, x);
    w->add->click();
  }
  // Two rows of the open block: ampl. 2 and 4, tone 1 both times, 2 s from one row to the next.
  void two_rows() {
    for (auto [i, v] : {std::pair{10, 0.0f}, {20, 2.0f}, {30, -1.0f}, {40, 3.0f}}) w->s.work_data(1, i) = v;
    for (double x : {10, 20, 30, 40}) add_at(x);
  }
};

TEST_F(BlockStats, MeanSdAndCountRowsCloseTheBlock) {
  load_continuous();
  dialogs->expect_input("block label", "a");
  two_rows();
  w->newblk->click();

  const QStringList labels{"mean", "SD", "n"};
  const QStringList expected[3] = {{"3.00", "1.00", "2.00"}, {"1.41", "0.00", "0.00"}, {"2", "2", "1"}};
  for (int r = 0; r < 3; ++r) {
    EXPECT_EQ((QStringList{grid().text_at(4 + r, 0), grid().text_at(4 + r, 5), grid().text_at(4 + r, 6),
                           grid().text_at(4 + r, 7)}),
              QStringList{labels[r]} + expected[r]);
    EXPECT_EQ(grid().cell_back_colour_at(4 + r, 0), -1) << "column 0 keeps the fixed-cell look";
    for (int c = 1; c <= 7; ++c) EXPECT_EQ(grid().cell_back_colour_at(4 + r, c), kShade) << r << "," << c;
    EXPECT_EQ(rec(4 + r).kind, 3 + r);
    EXPECT_EQ(rec(4 + r).text, labels[r]);
  }
  EXPECT_EQ(grid().cell_back_colour_at(3, 5), -1) << "the last reading is not shaded";
  EXPECT_FLOAT_EQ(rec(5).v[5], 1.4142135f);
  EXPECT_EQ(rec(6).v[7], 1);
  EXPECT_EQ(counters(), (TableCounters{7, 7, 7, 1}));
  EXPECT_EQ(grid().top_row(), 4);

  w->newblk->click();  // the new block has no reading yet
  EXPECT_EQ(counters(), (TableCounters{7, 7, 7, 1}));
}

TEST_F(BlockStats, OneReadingLeavesABlankRow) {
  load_continuous();
  dialogs->expect_input("block label", "a");
  add_at(10);
  w->newblk->click();  // a half-filled row: nothing
  EXPECT_EQ(counters(), (TableCounters{2, 1, 2, 3}));
  add_at(20);
  w->newblk->click();
  EXPECT_EQ(counters(), (TableCounters{4, 4, 3, 1}));
  dialogs->expect_input("block label", "b");
  add_at(30);
  EXPECT_EQ(grid().text_at(3, 0), "");
  EXPECT_EQ(grid().text_at(4, 0), "b");
  EXPECT_EQ(rec(3).kind, 1) << "the store has no blank row";
}

// The summary takes store rows store_row .. store_row + 2, the last one 1000 at most.
class BlockStatsNearTheEnd : public BlockStats, public ::testing::WithParamInterface<int> {};

TEST_P(BlockStatsNearTheEnd, WritesAllThreeRecordsOrNone) {
  const int stats_row = GetParam();
  load_continuous();
  set_counters(w->s, 1, {10, 10, static_cast<int16_t>(stats_row - 3), 1});
  dialogs->expect_input("block label", "end");
  two_rows();
  w->newblk->click();
  if (stats_row == 998) {
    EXPECT_EQ(rec(1000).kind, 5);
    EXPECT_EQ(counters(), (TableCounters{16, 16, 1001, 1}));
  } else {
    EXPECT_EQ(rec(stats_row).kind, 0);
    EXPECT_EQ(grid().text_at(13, 0), "");
    EXPECT_EQ(counters(), (TableCounters{13, 10, static_cast<int16_t>(stats_row), 1}));
  }
}

INSTANTIATE_TEST_SUITE_P(StoreRows, BlockStatsNearTheEnd, ::testing::Values(998, 999));
