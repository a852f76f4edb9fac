#include "measure/block_stats.h"

#include "app/main_window.h"
#include "core/colour.h"
#include "measure/block_summary.h"
#include "measure/results_rows.h"
#include "ui/results_grid.h"

namespace quarvel {

void block_stats(MainWindow& w) {
  SharedState& s = w.s;
  const int ch = s.current_ch;
  TableCounters c = counters_of(s, ch);
  if (c.grid_row - c.block_row < 3) return;
  const int n = c.grid_row - c.block_row - 1;
  const int first = c.store_row - n;
  const int last = c.store_row - 1;
  // The three records go in whole or not at all.
  if (!ResultsStore::fits(first) || !store_has_room(c.store_row, 3)) return;

  const BlockSummary summary = block_summary(s.results, ch, first, last);
  ResultsGrid& g = *w.Grid1[static_cast<size_t>(ch - 1)];
  for (int r = 0; r < 3; ++r) {
    const int row = c.grid_row + r;
    g.set_col(0);
    g.set_row(row);
    g.set_text(summary.records[r].text);
    for (int col = 1; col < g.cols(); ++col) {
      g.set_col(col);
      g.set_cell_back_colour(kShade);
    }
    for (int i = 0; i < summary.cells[r].size(); ++i) {
      g.set_col(5 + i);
      g.set_text(summary.cells[r][i]);
    }
    s.results.at(c.store_row + r, ch) = summary.records[r];
  }
  c.grid_row = static_cast<int16_t>(c.grid_row + 3);
  c.block_row = c.grid_row;
  c.store_row = static_cast<int16_t>(c.store_row + 3);
  g.set_top_row(first_visible_row(c.grid_row));
  set_counters(s, ch, c);
}

void newblk_click(MainWindow& w) {
  SharedState& s = w.s;
  if (!s.file_loaded) return;
  const int ch = s.current_ch;
  const TableCounters before = counters_of(s, ch);
  TableCounters c = before;
  if (c.grid_col != 1) return;
  if (c.grid_row > c.block_row + 2) {
    // The statistics rows are new in the table: they are asked about until saved.
    block_stats(w);
    if (counters_of(s, ch) != before) s.readings_unsaved[ch] = kTrue;
  } else if (c.grid_row == c.block_row + 2) {
    // One reading: a blank grid row closes the block; the store has no counterpart of it, and
    // nothing new is there to lose.
    c.grid_row = static_cast<int16_t>(c.grid_row + 1);
    c.block_row = c.grid_row;
    set_counters(s, ch, c);
  }
}

}  // namespace quarvel
