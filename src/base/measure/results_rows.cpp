#include "measure/results_rows.h"

#include <algorithm>
#include <cmath>

#include "core/numbers.h"
#include "measure/readout.h"

namespace quarvel {

TableCounters counters_of(const SharedState& s, int ch) {
  return {s.grid_row[ch], s.block_row[ch], s.store_row[ch], s.grid_col[ch]};
}

void set_counters(SharedState& s, int ch, const TableCounters& c) {
  s.grid_row[ch] = c.grid_row;
  s.block_row[ch] = c.block_row;
  s.store_row[ch] = c.store_row;
  s.grid_col[ch] = c.grid_col;
}

int records_needed(const TableCounters& c, bool block_view) {
  if (!block_view && c.grid_col != 1) return 1;
  return new_block_due(c) ? 2 : 1;
}

bool store_has_room(int store_row, int records) {
  if (records <= 0) return true;
  return ResultsStore::fits(store_row) && ResultsStore::fits(store_row + records - 1);
}

bool store_has_room(const SharedState& s, int ch, int records) {
  return store_has_room(s.store_row[ch], records);
}

int first_visible_row(int grid_row) {
  return grid_row >= 4 ? grid_row - 3 : 1;
}

DeleteStep delete_step(const TableCounters& c) {
  DeleteStep d;
  if (new_block_due(c) && c.grid_col == 1) return d;
  d.acts = true;
  d.after = c;
  if (c.grid_col == 1) {
    d.after.grid_row = static_cast<int16_t>(c.grid_row - 1);
    d.after.store_row = static_cast<int16_t>(std::max(1, c.store_row - 1));
  }
  d.remove_row = d.after.grid_row;
  d.after.grid_col = 1;
  return d;
}

int32_t baseline_count(int16_t stim_delay, float sample_interval, int32_t block_length) {
  if (stim_delay < 1) return block_length;
  return round_i32(stim_delay / 1000.0 / sample_interval);
}

float baseline_of(const SampleArray& data, int ch, double view_start, int32_t count, int32_t block_length) {
  if (ch < 1 || ch > data.channels() || data.last_index() < 0) return 0;
  if (block_length > 0) count = std::min(count, block_length);
  double sum = 0;
  int32_t n = 0;
  for (int32_t i = 0; i < count; ++i) {
    const double r = round_even(view_start + i);
    if (r < 0) continue;
    if (r > data.last_index()) break;
    sum += data(ch, static_cast<int32_t>(r));
    ++n;
  }
  if (n == 0) return sample_at(data, ch, view_start);
  return static_cast<float>(sum / n);
}

BlockLabelRow block_label_row(const QString& label, int16_t stim_delay, float baseline) {
  const QString dly = format(stim_delay, "#### ms");
  const QString zero = format(baseline, "####0.0#");
  return {{label, "dly: " + dly, "zero: " + zero}, label + "     dly: " + dly + "      baseline: " + zero};
}

ResultRec block_reading(int number, double cursor_x, float sample_interval, float sample, float baseline,
                        int16_t stim_delay, const ResultRec* previous) {
  ResultRec r;
  r.kind = kKindBlockReading;
  r.text = format(number, "###");
  const double ms = cursor_x * decimal_of(sample_interval) * 1000.0;
  r.v[1] = static_cast<float>(ms);
  r.v[2] = sample - baseline;
  r.v[3] = static_cast<float>(ms - stim_delay);
  if (previous) {
    r.v[5] = r.v[2] - previous->v[2];
    r.v[7] = r.v[1] - previous->v[1];
  }
  return r;
}

QStringList block_reading_cells(const ResultRec& r, bool has_previous) {
  QStringList cells{r.text, format(r.v[1], "###0.0#"), format(r.v[2], "###0.0#"), format(r.v[3], "###0.0#")};
  if (has_previous) cells << format(r.v[5], "###0.0#") << format(r.v[7], "###0.0#");
  return cells;
}

double point_time(double view_start, double cursor_x, float sample_interval) {
  return (view_start + cursor_x) * decimal_of(sample_interval);
}

QString point_cell(double v) {
  return format(v, "###0.00");
}

void finish_row(ResultRec& row, const ResultRec* previous) {
  row.v[5] = std::fabs(row.v[4] - row.v[2]);
  row.v[6] = (row.v[4] + row.v[2]) / 2;
  if (previous) row.v[7] = row.v[1] - previous->v[1];
}

QStringList finish_cells(const ResultRec& row, bool has_previous) {
  QStringList cells{format(row.v[5], "###0.00"), format(row.v[6], "###0.00")};
  if (has_previous) cells << format(row.v[7], "###0.00");
  return cells;
}

}  // namespace quarvel
