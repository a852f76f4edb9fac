#include "measure/auto_peaks.h"

#include <cmath>

#include "core/main_window.h"
#include "measure/cursor.h"
#include "measure/readout.h"
#include "ui/surface.h"

namespace quarvel {

// The two lines of the level pair at lower level l, in invert mode, across the selection.
static void invert_level_pair(MainWindow& w, double l) {
  const SharedState& s = w.s;
  const double h = std::fabs(w.disp->scale_height());
  const double x1 = s.sel_x1 - s.view_start, x2 = s.sel_x2 - s.view_start;
  const double upper = l + h / s.level_div;
  invert_line(*w.disp, x1, l, x2, l);
  invert_line(*w.disp, x1, upper, x2, upper);
}

void erase_level(MainWindow& w) {
  invert_level_pair(w, w.s.level_y[w.s.current_ch]);
}

void place_level(MainWindow& w, double y) {
  SharedState& s = w.s;
  y = clamp_level(y, w.disp->scale_height());
  if (s.level_y[s.current_ch] != kNoLevel) {
    erase_level(w);
    s.level_y[s.current_ch] = kNoLevel;
  }
  s.level_y[s.current_ch] = static_cast<float>(y);
  // Drawn at the stored value, so erasing later covers exactly the same pixels.
  invert_level_pair(w, s.level_y[s.current_ch]);
}

void auto_peak_scan(MainWindow& w) {
  (void)w;
}

}  // namespace quarvel
