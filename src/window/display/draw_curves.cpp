#include "display/draw_curves.h"

#include <QAction>
#include <algorithm>
#include <cmath>
#include <vector>

#include "app/main_window.h"
#include "core/numbers.h"
#include "display/curve_plan.h"
#include "display/draw_frame.h"
#include "ui/surface.h"

namespace quarvel {

namespace {

// The colour of channel ch's single curve. The spectra stand in for the single curves, but take the
// colour the display mode gives the channel: in Average/Single that is the average's, the single
// curves being greyed.
int32_t single_colour(const SharedState& s, int ch) {
  if (s.psd_shown && s.curve_choice == CurveChoice::AverageSingle) return s.ave_colour[ch];
  return s.ch_colour[ch];
}

// Switches the surface to the vertical scale of channel ch; the geometry gives its band.
PlotGeometry use_channel(MainWindow& w, int ch) {
  const PlotGeometry g = w.channel_geometry(ch);
  w.disp->use_vertical(g);
  return g;
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

// The surface's pixels in the vertical scale of a channel's band (what use_channel sets).
PixelMap band_map(const Surface& d, const PlotGeometry& band) {
  UserScale u = d.scale();
  u.top = band.top();
  u.height = band.height();
  return PixelMap(u, d.pixel_width(), d.pixel_height());
}

// One filled column per pixel column from the lowest to the highest value of the samples falling
// on it; consecutive columns share their boundary sample, so the band has no gap and a one-sample
// spike always shows. The extremes come from the arrays' summaries, so the cost follows the pixel
// width, not the samples. Returns whether any column was drawn (the vertical scale is then the
// last channel's).
bool draw_columns(MainWindow& w, const std::vector<int>& chs, int32_t last, ShownCurves shown) {
  SharedState& s = w.s;
  Surface& d = *w.disp;
  const double vs = s.view_start;
  const int64_t first = round_i32(vs);
  if (first > last || chs.empty()) return false;

  std::vector<PlotGeometry> bands;
  std::vector<PixelMap> maps;
  for (const int ch : chs) {
    bands.push_back(w.channel_geometry(ch));
    maps.push_back(band_map(d, bands.back()));
  }
  // Pixel column p holds the samples from the first at or after its left edge to the first of the
  // next column.
  const PixelMap& columns = maps.front();
  const int p_first = columns.pixel_x(static_cast<double>(first) - vs);
  const int p_last = columns.pixel_x(static_cast<double>(last) - vs);
  auto first_on = [&](int p) {
    const double edge = vs + columns.user_x(p) - columns.user_dx(0.5);
    return std::clamp<int64_t>(static_cast<int64_t>(std::ceil(edge - 1e-9)), first, last);
  };
  std::vector<IndexRange> singles, averages;
  std::vector<int> xs;
  int64_t from = first;
  for (int p = p_first; p <= p_last; ++p) {
    const int64_t to = p == p_last ? last : first_on(p + 1);
    xs.push_back(p);
    singles.push_back(IndexRange{from, to});
    averages.push_back(IndexRange{from - first, to - first});
    from = to;
  }

  std::vector<Surface::Column> cols;
  cols.reserve(xs.size() * chs.size() * (shown.average ? 2 : 1));
  auto column = [&](size_t k, int x, Extremes e, float offset, int32_t colour) {
    if (e.empty()) return;
    const PixelMap& m = maps[k];
    const int a = m.pixel_y(bands[k].clamp_to_band(e.lo + offset));
    const int b = m.pixel_y(bands[k].clamp_to_band(e.hi + offset));
    cols.push_back(Surface::Column{x, std::min(a, b), std::max(a, b), colour});
  };
  std::vector<std::vector<Extremes>> single(chs.size()), average(chs.size());
  for (size_t k = 0; k < chs.size(); ++k) {
    if (shown.average) average[k] = s.ave_data.extremes(chs[k], averages);
    if (shown.single) single[k] = s.work_data.extremes(chs[k], singles);
  }
  for (size_t j = 0; j < xs.size(); ++j) {
    for (size_t k = 0; k < chs.size(); ++k) {
      const int ch = chs[k];
      const float offset = s.ch_offset[ch];
      if (shown.average) column(k, xs[j], average[k][j], offset, s.ave_colour[ch]);
      if (shown.single) column(k, xs[j], single[k][j], offset, single_colour(s, ch));
    }
  }
  d.columns(cols);
  use_channel(w, chs.back());
  return true;
}

// One curve drawn as joined line segments. It starts at its first stored sample; has_prev is
// false until then.
struct SegmentCurve {
  SegmentCurve(const SampleArray& a, int channel, int32_t c, const PixelMap& m, const PlotGeometry& g)
      : data(&a), ch(channel), colour(c), map(m), band(g) {}
  const SampleArray* data = nullptr;
  int ch = 0;
  int32_t colour = 0;
  PixelMap map;
  PlotGeometry band;
  int prev_row = 0;
  bool has_prev = false;
};

// The curves' segments in the order they are drawn: sample by sample from the view's start to
// `last`, and within a sample curve by curve. The average curve is indexed from the start of its
// block.
std::vector<Surface::ColouredLine> segments_in_order(std::vector<SegmentCurve>& curves, const SharedState& s,
                                                     int32_t last) {
  std::vector<Surface::ColouredLine> lines;
  if (curves.empty()) return lines;
  const double vs = s.view_start;
  // Every curve's band has the same horizontal scale, so a sample's columns serve them all.
  const PixelMap& columns = curves.front().map;
  auto advance = [&](SegmentCurve& c, int64_t index, int from, int to) {
    if (!c.data->has(c.ch, index)) return;
    const float v = (*c.data)(c.ch, static_cast<int32_t>(index));
    const int row = c.map.pixel_y(c.band.clamp_to_band(v + s.ch_offset[c.ch]));
    if (c.has_prev) lines.push_back(Surface::ColouredLine{QLine(from, c.prev_row, to, row), c.colour});
    c.prev_row = row;
    c.has_prev = true;
  };
  const int64_t first = round_i32(vs + 1);
  lines.reserve(static_cast<size_t>(std::max<int64_t>(last - first + 1, 0)) * curves.size());
  for (SegmentCurve& c : curves) advance(c, c.data == &s.ave_data ? 0 : round_i32(vs), 0, 0);
  for (int64_t i = first; i <= last; ++i) {
    const double x = static_cast<double>(i) - vs;
    const int from = columns.pixel_x(x - 1), to = columns.pixel_x(x);
    const int64_t in_block = round_i32(x);
    for (SegmentCurve& c : curves) advance(c, c.data == &s.ave_data ? in_block : i, from, to);
  }
  return lines;
}

// Joined line segments sample by sample. Within each sample the average goes before the single
// curve and channel 1 before 2 before 3, so where two curves cross, the one drawn later wins.
void draw_segments(MainWindow& w, const std::vector<int>& chs, int32_t last, ShownCurves shown) {
  SharedState& s = w.s;
  Surface& d = *w.disp;
  std::vector<SegmentCurve> curves;
  for (const int ch : chs) {
    const PlotGeometry band = w.channel_geometry(ch);
    const PixelMap map = band_map(d, band);
    if (shown.average) curves.emplace_back(s.ave_data, ch, s.ave_colour[ch], map, band);
    if (shown.single) curves.emplace_back(s.work_data, ch, single_colour(s, ch), map, band);
  }
  d.lines(segments_in_order(curves, s, last));
  if (!chs.empty()) use_channel(w, chs.back());
}

// The first sample after sample i that falls on a later pixel column; limit + 1 when none up to
// limit does.
int64_t next_column(const PixelMap& map, double vs, int64_t i, int64_t limit) {
  const int c = map.pixel_x(static_cast<double>(i) - vs);
  if (i >= limit || map.pixel_x(static_cast<double>(limit) - vs) <= c) return limit + 1;
  // A first guess from the column's right edge, then corrected both ways (pixel_x only grows).
  int64_t j = std::clamp<int64_t>(static_cast<int64_t>(std::ceil(vs + map.user_x(c) + map.user_dx(0.5))),
                                  i + 1, limit);
  while (j - 1 > i && map.pixel_x(static_cast<double>(j - 1) - vs) > c) --j;
  while (map.pixel_x(static_cast<double>(j) - vs) <= c) ++j;
  return j;
}

// The marker bars of samples round(view_start)..last, the same as marker_runs gives them but
// found through the marker summary. With `map`, a bar that starts no further than the pixel
// column after the previous bar's end is joined to it: with a sample or more per pixel each bar
// is a filled box, so the joined box covers the same pixels.
std::vector<MarkerRun> bars(const MarkerArray& m, double view_start, int32_t last, const PixelMap* map) {
  std::vector<MarkerRun> runs;
  const int32_t first = round_i32(view_start);
  const int32_t stop = std::min<int64_t>(last, static_cast<int64_t>(m.size()) - 1);
  if (first < 0 || first > stop) return runs;
  auto join = [&](MarkerRun& run) {
    // Returns false when the bar stays open to the end.
    while (map) {
      const int64_t limit =
          next_column(*map, view_start, next_column(*map, view_start, run.end, stop), stop) - 1;
      const int64_t on = m.last(run.end + 1, limit, MarkerTest::On);
      if (on < 0) break;
      const int64_t off = m.first(on, stop, MarkerTest::NotOn);
      if (off < 0) {
        run.end = stop;
        return false;
      }
      run.end = static_cast<int32_t>(off);
    }
    return true;
  };
  int64_t i = first;
  if (m[static_cast<size_t>(first)] > 0) {
    const int64_t off = m.first(first, stop, MarkerTest::NotOn);
    runs.push_back(MarkerRun{view_start, static_cast<int32_t>(off < 0 ? stop : off)});
    if (off < 0 || !join(runs.back())) return runs;
    i = runs.back().end + 1;
  }
  while (i <= stop) {
    const int64_t on = m.first(i, stop, MarkerTest::On);
    if (on < 0) break;
    const int64_t off = m.first(on, stop, MarkerTest::NotOn);
    runs.push_back(MarkerRun{static_cast<double>(on), static_cast<int32_t>(off < 0 ? stop : off)});
    if (off < 0 || !join(runs.back())) break;
    i = runs.back().end + 1;
  }
  return runs;
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
  for (const MarkerRun& run : bars(s.marker_data, s.view_start, last, step >= 1 ? &map : nullptr)) {
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

  // One tick per pixel column that holds a stimulus, at its first one.
  const int64_t stop = std::min<int64_t>(last, static_cast<int64_t>(s.marker_data.size()) - 1);
  for (int64_t i = std::max(round_i32(vs), 0); i <= stop;) {
    const int64_t at = s.marker_data.first(i, stop, MarkerTest::Stimulus);
    if (at < 0) break;
    const double x = static_cast<double>(at) - vs;
    d.line(x, tick_top, x, axis);
    i = next_column(map, vs, at, stop);
  }
}

}  // namespace

void draw_curves(MainWindow& w) {
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
  s.disp_px_width = round_i16(d.pixel_width());
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

void redraw(MainWindow& w) {
  SharedState& s = w.s;
  const int ch = s.current_ch;
  s.ch_offset[ch] = 0;
  s.view_start = 0;
  draw_frame(w);

  // The first block's zero line lies first_disp % of the band's height below its top, each
  // further block further_disp % lower.
  const PlotGeometry g = w.channel_geometry(ch);
  const double first = g.overplot_first(s.first_disp[ch]);
  const double further = g.overplot_further(s.further_disp[ch]);
  s.ch_offset[ch] = static_cast<float>(first);

  for (int32_t k = 1; k <= s.block_count; ++k) {
    draw_curves(w);
    w.disp->refresh();
    s.ch_offset[ch] = static_cast<float>(s.ch_offset[ch] + further);
    s.view_start += s.block_length;
  }
  if (s.block_length > 0) {
    s.view_start -= trunc_toward_zero(s.view_start / s.block_length) * s.block_length;
  } else {
    s.view_start = 0;
  }
}

void show_picture(MainWindow& w) {
  if (static_cast<bool>(w.s.overplot_on)) {
    redraw(w);
  } else {
    draw_frame(w);
    draw_curves(w);
  }
}

}  // namespace quarvel
