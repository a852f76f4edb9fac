#include "display/views.h"

#include "app/main_window.h"
#include "core/numbers.h"
#include "display/physical_units.h"
#include "display/plot_geometry.h"
#include "ui/surface.h"

namespace quarvel {

void leave_spectrum_view(MainWindow& w) {
  SharedState& s = w.s;
  if (!s.psd_shown) return;
  s.psd_shown = kFalse;
  const bool filtered = !s.filters.empty();
  rebuild_work_data(s);
  if (filtered) w.show_status();
  for (int ch = 1; ch <= 3; ++ch) {
    s.shift_steps[ch] = 0;
    s.ch_max[ch] = s.saved_ch_max[ch];
  }
  // The spectrum's bins stood in for the block length while it was shown.
  if (s.block_mode) s.block_length = s.blk_block_length;
}

void show_raw_samples(MainWindow& w) {
  leave_spectrum_view(w);
  if (w.s.filters.empty()) return;
  rebuild_work_data(w.s);
  w.show_status();
}

void start_block_view(MainWindow& w, int32_t block_length) {
  SharedState& s = w.s;
  s.block_length = block_length;
  s.blk_block_length = block_length;
  w.disp->set_scale_width(block_width(block_length));
  s.ave_data.redim(3, block_length - 1);
  s.ave_n = 0;
  s.ave_starts.clear();
  if (s.measure_mode) s.dim_measurement_block();
  s.view_start = 0;
  s.cur_block = 1;
}

QString block_mode_caption(const SharedState& s, bool with_file) {
  QString caption = "BLOCK MODE (" + format(s.scr_length, "#####.#") + s.unit_text[0] + ")";
  if (with_file) caption += "       " + s.data_file_name;
  return caption;
}

void show_single_curves(SharedState& s) {
  s.curve_choice = CurveChoice::Single;
  s.show_single = kTrue;
  s.show_average = kFalse;
  s.overplot_on = kFalse;
}

}  // namespace quarvel
