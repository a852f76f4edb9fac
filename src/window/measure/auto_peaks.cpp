#include "measure/auto_peaks.h"

#include <QAction>
#include <QLabel>
#include <algorithm>
#include <cmath>
#include <span>

#include "app/main_window.h"
#include "core/numbers.h"
#include "measure/cursor.h"
#include "measure/peak_scan.h"
#include "measure/readout.h"
#include "measure/results_table.h"
#include "ui/surface.h"

namespace quarvel {

// The two lines of the level pair at lower level l, in invert mode, across the selection.
static void invert_level_pair(MainWindow& w, double l) {
  const SharedState& s = w.s;
  const double x1 = s.sel_x1 - s.view_start, x2 = s.sel_x2 - s.view_start;
  const double upper = l + w.channel_geometry(s.current_ch).level_gap(s.level_div);
  invert_line(*w.disp, x1, l, x2, l);
  invert_line(*w.disp, x1, upper, x2, upper);
}

void erase_level(MainWindow& w) {
  invert_level_pair(w, w.s.level_y[w.s.current_ch]);
}

void place_level(MainWindow& w, double y) {
  SharedState& s = w.s;
  y = w.channel_geometry(s.current_ch).clamp_to_band(y);
  if (s.level_y[s.current_ch] != kNoLevel) {
    erase_level(w);
    s.level_y[s.current_ch] = kNoLevel;
  }
  s.level_y[s.current_ch] = static_cast<float>(y);
  // Drawn at the stored value, so erasing later covers exactly the same pixels.
  invert_level_pair(w, s.level_y[s.current_ch]);
}

// Removes the level pair of the current channel and forgets the level.
static void drop_level(MainWindow& w) {
  SharedState& s = w.s;
  if (s.level_y[s.current_ch] == kNoLevel) return;
  // The pair was drawn in the channel's own vertical scale.
  w.use_channel_scale(s.current_ch);
  erase_level(w);
  s.level_y[s.current_ch] = kNoLevel;
}

void auto_peak_scan(MainWindow& w) {
  SharedState& s = w.s;
  const int ch = s.current_ch;
  if (s.level_y[ch] == kNoLevel || s.sel_x1 == -1 || s.sel_x2 == -1) return;
  if (!s.work_data.has(ch, 0)) return;

  const int32_t start = round_i32(std::min(s.sel_x1, s.sel_x2));
  const int32_t end = round_i32(std::max(s.sel_x1, s.sel_x2));
  const double lo = s.level_y[ch];
  const double hi = lo + w.channel_geometry(ch).level_gap(s.level_div);
  const std::span<const float> samples(s.work_data.channel(ch), static_cast<size_t>(s.work_data.size()));
  const PeakScan scan = scan_peaks(samples, s.ch_offset[ch], lo, hi, start, end);
  if (scan.end == PeakScanEnd::NotRun) return;

  if (s.cursor_x != -1) {
    w.use_channel_scale(ch);
    invert_cursor_line(w, s.cursor_x);
    w.Label1->hide();
    s.cursor_x = -1;
  }
  for (const PeakExtreme& e : scan.extremes) {
    s.cursor_x = e.index - s.view_start;
    add_result(w);
  }
  if (scan.end == PeakScanEnd::Stopped) return;
  s.cursor_x = -1;
  if (s.level_y[ch] != kNoLevel) {
    drop_level(w);
    s.peak_mode = kFalse;
  }
}

void mnuPeaks_click(MainWindow& w) {
  SharedState& s = w.s;
  if (static_cast<bool>(w.s.overplot_on) || s.sel_x1 == -1 || s.sel_x2 == -1) return;
  if (s.peak_mode) {
    drop_level(w);
    s.peak_mode = kFalse;
  } else {
    s.peak_mode = kTrue;
  }
}

}  // namespace quarvel
