#include "measure/readout.h"

#include "display/physical_units.h"

#include <algorithm>
#include <cmath>

#include "core/numbers.h"
#include "display/plot_geometry.h"

namespace quarvel {

double clamp_cursor_x(double x, double width, bool block_mode, int32_t block_length, int32_t sample_count,
                      double view_start) {
  if (x < 0) x = 0;
  if (x > 0.8 * width) x = 0.8 * width;
  if (block_mode) {
    if (x > block_length) x = block_length;
  } else if (view_start + x > sample_count - 1) {
    x = sample_count - 1.0 - view_start;
  }
  return x;
}

static float nearest_in(const SampleArray& data, int ch, double pos, int64_t last) {
  if (ch < 1 || ch > data.channels() || last < 0) return 0;
  const double r = std::isfinite(pos) ? round_even(pos) : 0;
  const int64_t i = static_cast<int64_t>(std::clamp(r, 0.0, static_cast<double>(last)));
  return data(ch, static_cast<int32_t>(i));
}

float sample_at(const SampleArray& data, int ch, double pos) {
  return nearest_in(data, ch, pos, data.last_index());
}

float average_at(const SampleArray& ave, int ch, double x, int32_t block_length) {
  return nearest_in(ave, ch, x, std::min<int64_t>(ave.last_index(), static_cast<int64_t>(block_length) - 1));
}

double readout_time(bool block_mode, double x, double view_start, double scr_length, double width) {
  const double at = block_mode ? x : PlotGeometry::sample_at_x(x, view_start);
  return PlotGeometry(width, 0).time_at_x(at, scr_length);
}

QString time_text(double t, const QString& unit) {
  return format(t, "##0.00") + unit;
}

ReadoutSource readout_source(const SharedState& s, bool overplot_ticked, bool single_ticked) {
  if (overplot_ticked) return ReadoutSource::TimeOnly;
  if (single_ticked || s.psd_shown) return ReadoutSource::Single;
  return ReadoutSource::Average;
}

float reading_at(const SharedState& s, double x, ReadoutSource source) {
  switch (source) {
    case ReadoutSource::Single:
      return sample_at(s.work_data, s.current_ch, s.view_start + x);
    case ReadoutSource::Average:
      return average_at(s.ave_data, s.current_ch, x, s.block_length);
    case ReadoutSource::TimeOnly:
      break;
  }
  return 0;
}

QString readout_text(const SharedState& s, double x, double width, ReadoutSource source) {
  const double t = readout_time(static_cast<bool>(s.block_mode), x, s.view_start, s.scr_length, width);
  QString text = time_text(t, s.unit_text[0]);
  if (source == ReadoutSource::TimeOnly) return text;
  text += ", " + format(reading_at(s, x, source), "###0.0#");
  const QString unit = shown_unit(s, s.current_ch);
  return unit.isEmpty() ? text : text + " " + unit;
}

LabelPlace label_place(double x, double width, double label_width) {
  if (x < 0.4 * width) return {x + width / 60, false};
  return {x - label_width - width / 60, true};
}

}  // namespace quarvel
