// The lines of the results tables as plain values: the four per-channel counters and how they
// move, the capacity of the store, the baseline of a block-view block, and the values and cell
// texts of the label and reading rows of both views.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

#include "core/shared_state.h"

namespace quarvel {

// Record kinds of the results store.
enum ResultKind : int16_t {
  kKindEmpty = 0,
  kKindContLabel = 1,
  kKindContReading = 2,
  kKindMean = 3,
  kKindSD = 4,
  kKindCount = 5,
  kKindBlockLabel = 6,
  kKindBlockReading = 7,
};

// The counters of one channel's table.
struct TableCounters {
  int16_t grid_row = 1;   // grid row the next line goes to
  int16_t block_row = 1;  // grid row of the current block's label row
  int16_t store_row = 1;  // store row the next record goes to
  int16_t grid_col = 1;   // continuous view: 1 first point of a row next, 3 second point next
  bool operator==(const TableCounters&) const = default;
};

TableCounters counters_of(const SharedState& s, int ch);
void set_counters(SharedState& s, int ch, const TableCounters& c);

// The next reading opens a new block (asks for its label).
inline bool new_block_due(const TableCounters& c) {
  return c.grid_row == c.block_row;
}
// The row at grid_row is not the first reading of its block, so it has a previous one.
inline bool has_previous_reading(const TableCounters& c) {
  return c.block_row + 1 < c.grid_row;
}

// Store records the next Add writes into, from store_row on: the reading's, plus the label's
// before it when a new block is due. A continuous row's second point completes the record its
// first point started, which is the one at store_row.
int records_needed(const TableCounters& c, bool block_view);

// Whether `records` more records fit in the store from store_row on (the store ends at row
// 1000): what is refused instead of written past the end.
bool store_has_room(int store_row, int records);
bool store_has_room(const SharedState& s, int ch, int records);

// First visible grid row once grid_row has been written: the last three rows stay in view.
int first_visible_row(int grid_row);

// What a confirmed Delete does to the counters: the grid row to remove and the counters after.
// A half-filled continuous row is removed where it lies and the counters stay; otherwise the
// last written line goes. `acts` is false when nothing of the current block is recorded yet.
struct DeleteStep {
  bool acts = false;
  int remove_row = 0;
  TableCounters after;
};
DeleteStep delete_step(const TableCounters& c);

// --- block view

// Samples before the stimulus that make the baseline: the whole sweep when there is no delay,
// else the delay in samples (nearest integer).
int32_t baseline_count(int16_t stim_delay, float sample_interval, int32_t block_length);

// Mean of the first `count` samples of the sweep that starts at view_start. Samples that lie
// past the sweep (when block_length > 0) or past the data are left out; an empty range gives the
// first sample of the sweep, and no data at all gives 0.
float baseline_of(const SampleArray& data, int ch, double view_start, int32_t count, int32_t block_length);

// The label row: cells of columns 0..2 and the text of its store record.
struct BlockLabelRow {
  QStringList cells;
  QString record_text;
};
BlockLabelRow block_label_row(const QString& label, int16_t stim_delay, float baseline);

// One reading of the block view. `sample` is the data value under the cursor; `previous` the
// store record of the reading before it in the block, or null for the first reading.
ResultRec block_reading(int number, double cursor_x, float sample_interval, float sample, float baseline,
                        int16_t stim_delay, const ResultRec* previous);
// Cells of columns 0..5 of a reading record; the first reading of a block has no p-to-p and
// dist., so only columns 0..3.
QStringList block_reading_cells(const ResultRec& r, bool has_previous);

// --- continuous view

// Time of the cursor in seconds since the start of the data, exact to the sample: the store keeps
// it in single precision, the grid shows it from this.
double point_time(double view_start, double cursor_x, float sample_interval);
// A point value as written in the grid.
QString point_cell(double v);

// Completes a row from its two points: ampl. (never negative) and tone (the mean level), and
// the period from the first point of the previous row when there is one.
void finish_row(ResultRec& row, const ResultRec* previous);
// Cells of columns 5..7 of a completed row; the first row of a block has no period, so only 5 and 6.
QStringList finish_cells(const ResultRec& row, bool has_previous);

}  // namespace quarvel
