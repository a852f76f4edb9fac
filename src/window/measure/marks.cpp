#include "measure/marks.h"

#include "app/main_window.h"
#include "measure/auto_peaks.h"
#include "measure/cursor.h"
#include "ui/surface.h"

namespace quarvel {

void marks_off(MainWindow& w) {
  SharedState& s = w.s;
  const bool level = s.level_y[s.current_ch] != kNoLevel;
  if (!level && s.sel_x1 == -1) return;
  // The marks were drawn in the current channel's scale; the level pair needs it back.
  w.use_channel_scale(s.current_ch);
  if (level) {
    erase_level(w);
    s.level_y[s.current_ch] = kNoLevel;
    s.peak_mode = kFalse;
  }
  if (s.sel_x1 == -1) return;
  // The same coordinates the selection was drawn with, so the same pixels flip back.
  Surface& d = *w.disp;
  const double top = d.scale_top();
  const double bottom = d.scale_top() + d.scale_height();
  invert_line(d, s.sel_x1 - s.view_start, top, s.sel_x1 - s.view_start, bottom);
  if (s.sel_x2 != -1) invert_box(d, s.sel_x1 - s.view_start, top, s.sel_x2 - s.view_start, bottom);
  s.sel_x1 = -1;
  s.sel_x2 = -1;
}

}  // namespace quarvel
