// The curve drawing as it was before the arrays kept summaries: every sample of a view read for
// its min/max column, a pen per line, the marker words scanned for bars and again for ticks.
// Kept as the reference the picture must still match pixel for pixel.
#include "window/display/reference_curves.h"

#include <QAction>
#include <algorithm>
#include <vector>

#include "app/main_window.h"
#include "core/numbers.h"
#include "display/curve_plan.h"
#include "ui/surface.h"

namespace quarvel::testing {

namespace {

// Switches the surface to the vertical scale of channel ch; the geometry gives its band.
PlotGeometry use_channel(MainWindow& w, int ch) {
  const PlotGeometry g = w.channel_geometry(ch);
  w.disp->use_vertical(g);
  return g;
}

// Samples stored for channel ch of a sample array (0 when the channel is absent).
int64_t stored(const SampleArray& a, int ch) {
  return ch <= a.channels() ? a.size() : 0;
}

// The channels whose curves are drawn: every channel with an input, or only the current one
// while the overplot picture is on.
std::vector<int> drawn_channels(MainWindow& w) {
  std::vector<int> chs;
  const bool overplot = static_cast<bool>(w.s.overplot_on);
  for (int ch = 1; ch <= 3; ++ch) {
    if (w.s.ch_source[ch] > 0 && (!overplot || ch == w.s.current_ch)) chs.push_back(ch);
  }
  return chs;
}

// One filled column per pixel column from the lowest to the highest value of the samples falling
// on it and the first sample of the next column, so neighbours share a sample and a one-sample
// spike always shows. Returns whether any column was drawn (the vertical scale is then the last
// channel's).
bool draw_columns(MainWindow& w, const std::vector<int>& chs, int32_t last, ShownCurves shown) {
  SharedState& s = w.s;
  Surface& d = *w.disp;
  const double vs = s.view_start;
  const int64_t first = round_i32(vs);
  const PixelMap columns = d.pixel_map();
  bool drew = false;
  for (int64_t i = first; i <= last;) {
    const int p = columns.pixel_x(static_cast<double>(i) - vs);
    int64_t j = i;
    while (j < last && columns.pixel_x(static_cast<double>(j + 1) - vs) == p) ++j;
    const int64_t to = std::min<int64_t>(j + 1, last);
    drew = drew || !chs.empty();
    const double x = static_cast<double>(i) - vs;
    for (const int ch : chs) {
      const float offset = s.ch_offset[ch];
      ValueRange ave{1, 0};
      ValueRange single{1, 0};
      if (shown.average)
        ave = column_range(s.ave_data.channel(ch), stored(s.ave_data, ch), i - first, to - first, offset);
      if (shown.single)
        single = column_range(s.work_data.channel(ch), stored(s.work_data, ch), i, to, offset);
      const PlotGeometry band = use_channel(w, ch);
      if (!ave.empty())
        d.box(x, band.clamp_to_band(ave.min), x, band.clamp_to_band(ave.max), s.ave_colour[ch]);
      if (!single.empty())
        d.box(x, band.clamp_to_band(single.min), x, band.clamp_to_band(single.max), s.ch_colour[ch]);
    }
    i = j + 1;
  }
  return drew;
}

// Joined line segments sample by sample. Within each sample the average goes before the single
// curve and channel 1 before 2 before 3, so the last channel's single curve lies on top.
void draw_segments(MainWindow& w, const std::vector<int>& chs, int32_t last, ShownCurves shown) {
  SharedState& s = w.s;
  Surface& d = *w.disp;
  const double vs = s.view_start;
  const int32_t first = round_i32(vs);

  // A curve starts at its first stored sample; has_prev is false until then. Each pen keeps the
  // colour of its curve, looked up once per picture rather than once per sample.
  struct Pen {
    double prev = 0;
    bool has_prev = false;
    int32_t colour = 0;
  };
  std::vector<Pen> ave_pen(chs.size());
  std::vector<Pen> single_pen(chs.size());
  for (size_t k = 0; k < chs.size(); ++k) {
    ave_pen[k].colour = s.ave_colour[chs[k]];
    single_pen[k].colour = s.ch_colour[chs[k]];
  }

  auto advance = [&](Pen& pen, const SampleArray& a, int ch, int64_t index, const PlotGeometry& band,
                     double x) {
    if (!a.has(ch, index)) return;
    const double y = band.clamp_to_band(a(ch, static_cast<int32_t>(index)) + s.ch_offset[ch]);
    if (pen.has_prev) d.line(x - 1, pen.prev, x, y, pen.colour);
    pen.prev = y;
    pen.has_prev = true;
  };

  for (size_t k = 0; k < chs.size(); ++k) {
    const PlotGeometry band = use_channel(w, chs[k]);
    if (shown.average) advance(ave_pen[k], s.ave_data, chs[k], 0, band, 0);
    if (shown.single) advance(single_pen[k], s.work_data, chs[k], first, band, 0);
  }
  for (int64_t i = round_i32(vs + 1); i <= last; ++i) {
    const double x = static_cast<double>(i) - vs;
    for (size_t k = 0; k < chs.size(); ++k) {
      const int ch = chs[k];
      const PlotGeometry band = use_channel(w, ch);
      if (shown.average) advance(ave_pen[k], s.ave_data, ch, round_i32(x), band, x);
      if (shown.single) advance(single_pen[k], s.work_data, ch, i, band, x);
    }
  }
}

// Marker bars and stimulus ticks in the strip just above the time axis, in the surface's
// foreground colour and the vertical scale g in force (step: samples per pixel).
void draw_marker_symbols(MainWindow& w, const PlotGeometry& g, int32_t last, float step) {
  SharedState& s = w.s;
  Surface& d = *w.disp;
  const double vs = s.view_start;
  const double bar_top = g.marker_top(), axis = g.time_axis_y(), tick_top = g.tick_top();
  const PixelMap map = d.pixel_map();

  // A bar grows sample by sample: its picture is the outline of the whole bar plus the right
  // edge of every intermediate length. With at least one sample per pixel those edges fill every
  // pixel column of the bar, so it is filled row by row; otherwise there is at most one edge per
  // pixel column to draw.
  const int row_top = map.pixel_y(bar_top), row_bottom = map.pixel_y(axis);
  for (const MarkerRun& run : marker_runs(s.marker_data.values(), s.view_start, last)) {
    d.box(run.start - vs, bar_top, run.end - vs, axis);
    const int32_t from = round_i32(run.start);
    if (step >= 1) {
      for (int row = std::min(row_top, row_bottom); row <= std::max(row_top, row_bottom); ++row) {
        const double y = map.user_y(row);
        d.line(from - vs, y, run.end - vs, y);
      }
    } else {
      for (int32_t i = from; i < run.end; ++i) d.box(i - vs, bar_top, i - vs, axis);
    }
  }

  const int64_t stop = std::min<int64_t>(last, static_cast<int64_t>(s.marker_data.size()) - 1);
  int drawn_px = -1;
  bool any = false;
  for (int64_t i = std::max(round_i32(vs), 0); i <= stop; ++i) {
    if (s.marker_data.values()[static_cast<size_t>(i)] != 200) continue;
    const double x = static_cast<double>(i) - vs;
    const int px = map.pixel_x(x);
    if (any && px == drawn_px) continue;
    d.line(x, tick_top, x, axis);
    drawn_px = px;
    any = true;
  }
}

}  // namespace

void reference_draw_curves(MainWindow& w) {
  SharedState& s = w.s;
  Surface& d = *w.disp;
  if (!s.measure_mode && !s.file_loaded) return;
  w.set_busy(true);

  // the last sample shown
  const double W = d.scale_width();
  const int32_t last = last_shown_sample(ViewExtent{static_cast<bool>(s.block_mode), s.block_length,
                                                    s.block_count, s.sample_count, s.view_start, 0.8 * W});
  s.sweep_width = last;

  // the surface's width in pixels, and the samples falling on one pixel
  const UserScale user = d.scale();
  d.set_scale_mode(Surface::ScaleMode::Pixel);
  s.disp_px_width = round_i16(d.scale_width());
  d.set_scale_mode(Surface::ScaleMode::User);
  d.set_scale(-0.125 * W, user.top, W, user.height);
  const float step = s.disp_px_width > 0 ? static_cast<float>(W / s.disp_px_width) : 0.0f;
  d.set_draw_mode(Surface::DrawMode::Copy);

  const std::vector<int> chs = drawn_channels(w);
  const ShownCurves shown = shown_curves(s);
  bool curves_drawn = !chs.empty();
  if (step > s.env_threshold) {
    curves_drawn = draw_columns(w, chs, last, shown);
  } else {
    draw_segments(w, chs, last, shown);
  }

  // The marker strip lies in the vertical scale left in force: the last channel drawn's, or the
  // frame's when no curve was drawn.
  const int scale_ch = curves_drawn ? chs.back() : s.current_ch;
  if (!s.psd_shown) draw_marker_symbols(w, w.channel_geometry(scale_ch), last, step);
  w.set_busy(false);
}

}  // namespace quarvel::testing
