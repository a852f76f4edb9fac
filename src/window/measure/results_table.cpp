#include "measure/results_table.h"

#include <QAction>
#include <QPushButton>

#include "app/main_window.h"
#include "core/numbers.h"
#include "display/physical_units.h"
#include "measure/auto_peaks.h"
#include "measure/cursor.h"
#include "measure/readout.h"
#include "measure/results_layout.h"
#include "measure/results_rows.h"
#include "ui/results_grid.h"

namespace quarvel {

static ResultsGrid& grid_of(MainWindow& w, int ch) {
  return *w.Grid1[static_cast<size_t>(ch - 1)];
}

// Writes cells into row r from column `from` on.
static void write_cells(ResultsGrid& g, int r, int from, const QStringList& cells) {
  g.set_row(r);
  for (int i = 0; i < cells.size(); ++i) {
    g.set_col(from + i);
    g.set_text(cells[i]);
  }
}

void reset_grid(MainWindow& w) {
  SharedState& s = w.s;
  s.results.clear();
  s.readings_unsaved.fill(kFalse);
  for (int i = 0; i < 3; ++i) {
    ResultsGrid& g = *w.Grid1[static_cast<size_t>(i)];
    // In physical units the table names its channel and the unit of its amplitudes.
    const QString header =
        results_header_text(static_cast<bool>(s.block_mode), table_caption(s, i + 1), shown_unit(s, i + 1));
    const ResultsGrid::Batch one_rebuild(g);
    g.set_fixed_rows(0);
    g.set_fixed_cols(0);
    g.clear();
    for (int c = 1; c < g.cols(); ++c) {
      g.set_col_alignment(c, ResultsGrid::Align::Left);
      g.set_col_width_twips(c, 1200);
    }
    g.set_row(0);
    g.add_item(header, 0);
    g.set_fixed_rows(1);
    g.set_fixed_cols(1);
    g.refresh();
    set_counters(s, i + 1, TableCounters{});
  }
}

// Block view: the label row of a new block (after the stimulus delay, while none is set) and
// the reading row. False when a prompt was cancelled.
static bool open_block_view_block(MainWindow& w, int ch, TableCounters& c) {
  SharedState& s = w.s;
  if (s.stim_delay == 0) {
    const QString answer = w.dialogs().input_box("Enter stimulus delay (ms):", "Stimulus delay", QString());
    if (answer.isEmpty()) return false;
    s.stim_delay = round_i16(num(answer));
  }
  const int32_t count = baseline_count(s.stim_delay, s.sample_interval, s.block_length);
  // The baseline comes from the curve the readings are taken from: the average starts at its
  // own first sample.
  if (readout_source(w) == ReadoutSource::Average) {
    s.baseline = baseline_of(s.ave_data, ch, 0, count, s.block_length);
  } else {
    s.baseline = baseline_of(s.work_data, ch, s.view_start, count, s.block_length);
  }
  const QString label = w.dialogs().input_box("Enter short label for block: ", "Block label", QString());
  if (label.isEmpty()) return false;

  const BlockLabelRow row = block_label_row(label, s.stim_delay, s.baseline);
  write_cells(grid_of(w, ch), c.grid_row, 0, row.cells);
  ResultRec& rec = s.results.at(c.store_row, ch);
  rec = ResultRec{};
  rec.kind = kKindBlockLabel;
  rec.text = row.record_text;
  ++c.store_row;
  ++c.grid_row;
  return true;
}

static void add_block_view(MainWindow& w, int ch, TableCounters c) {
  SharedState& s = w.s;
  ResultsGrid& g = grid_of(w, ch);
  g.set_row(c.grid_row);
  if (new_block_due(c) && !open_block_view_block(w, ch, c)) return;

  const bool later = has_previous_reading(c);
  const ResultRec* previous = later ? &s.results.at(c.store_row - 1, ch) : nullptr;
  // A reading is the value the readout showed: of the average in an average view.
  const ReadoutSource source = readout_source(w);
  const float sample = source == ReadoutSource::Average
                           ? reading_at(s, s.cursor_x, source)
                           : sample_at(s.work_data, ch, s.view_start + s.cursor_x);
  const ResultRec r = block_reading(c.grid_row - c.block_row, s.cursor_x, s.sample_interval, sample,
                                    s.baseline, s.stim_delay, previous);
  write_cells(g, c.grid_row, 0, block_reading_cells(r, later));
  s.results.at(c.store_row, ch) = r;
  ++c.store_row;
  ++c.grid_row;
  c.grid_col = 1;
  g.set_top_row(first_visible_row(c.grid_row));
  set_counters(s, ch, c);
}

static void add_continuous_view(MainWindow& w, int ch, TableCounters c) {
  SharedState& s = w.s;
  ResultsGrid& g = grid_of(w, ch);
  g.set_row(c.grid_row);
  g.set_col(c.grid_col);
  const double t = point_time(s.view_start, s.cursor_x, s.sample_interval);
  const float y = sample_at(s.work_data, ch, s.view_start + s.cursor_x);
  if (c.grid_col == 1) {
    g.set_col(0);
    if (new_block_due(c)) {
      // An empty label is a label too: the block still gets its row.
      const QString label = w.dialogs().input_box("block label", "Enter short label for block: ", QString());
      g.set_text(label);
      ResultRec& rec = s.results.at(c.store_row, ch);
      rec = ResultRec{};
      rec.kind = kKindContLabel;
      rec.text = label;
      ++c.store_row;
      ++c.grid_row;
      g.set_row(c.grid_row);
    }
    ResultRec& r = s.results.at(c.store_row, ch);
    r = ResultRec{};
    r.text = format(c.grid_row - c.block_row, "###");
    r.kind = kKindContReading;
    r.v[1] = static_cast<float>(t);
    r.v[2] = y;
    g.set_text(r.text);
  } else {
    ResultRec& r = s.results.at(c.store_row, ch);
    r.v[3] = static_cast<float>(t);
    r.v[4] = y;
  }
  write_cells(g, c.grid_row, c.grid_col, {point_cell(t), point_cell(y)});
  c.grid_col = static_cast<int16_t>(c.grid_col + 2);
  g.set_top_row(first_visible_row(c.grid_row));
  set_counters(s, ch, c);
  if (c.grid_col == 5) finish_pair(w);
}

void add_result(MainWindow& w) {
  SharedState& s = w.s;
  const int ch = s.current_ch;
  const bool block_view = static_cast<bool>(s.block_mode);
  const TableCounters c = counters_of(s, ch);
  // A reading is recorded whole or not at all: never a label without its reading, never a
  // record past the end of the store.
  if (!store_has_room(c.store_row, records_needed(c, block_view))) return;
  if (block_view) {
    add_block_view(w, ch, c);
  } else {
    add_continuous_view(w, ch, c);
  }
  // Counters that moved mean the table was written to (a cancelled label question writes nothing).
  if (counters_of(s, ch) != c) s.readings_unsaved[ch] = kTrue;
}

void finish_pair(MainWindow& w) {
  SharedState& s = w.s;
  const int ch = s.current_ch;
  TableCounters c = counters_of(s, ch);
  if (!ResultsStore::fits(c.store_row)) return;
  const bool later = has_previous_reading(c) && ResultsStore::fits(c.store_row - 1);
  ResultRec& r = s.results.at(c.store_row, ch);
  finish_row(r, later ? &s.results.at(c.store_row - 1, ch) : nullptr);
  write_cells(grid_of(w, ch), c.grid_row, 5, finish_cells(r, later));
  ++c.store_row;
  ++c.grid_row;
  c.grid_col = 1;
  set_counters(s, ch, c);
}

void add_click(MainWindow& w) {
  SharedState& s = w.s;
  if (static_cast<bool>(w.s.overplot_on)) return;
  if (!((s.cursor_x != -1 || s.peak_mode) && ResultsStore::fits(s.store_row[s.current_ch]))) return;
  if (s.peak_mode) {
    auto_peak_scan(w);
  } else {
    add_result(w);
  }
}

void delete_click(MainWindow& w) {
  SharedState& s = w.s;
  if (!s.file_loaded) return;
  const int ch = s.current_ch;
  const DeleteStep step = delete_step(counters_of(s, ch));
  if (!step.acts) return;
  if (!w.dialogs().yes_no("Do you want to clear last line?", "Confirm delete")) return;
  set_counters(s, ch, step.after);
  // Removing a row and appending one keeps the number of rows.
  ResultsGrid& g = grid_of(w, ch);
  g.remove_item(step.remove_row);
  g.add_item(QString::number(step.remove_row));
  g.refresh();
}

void clear_click(MainWindow& w) {
  reset_grid(w);
  w.add->setFocus();
}

}  // namespace quarvel
