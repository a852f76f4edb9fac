#include "display/units.h"

#include "app/main_window.h"
#include "display/display_modes.h"
#include "display/draw_curves.h"
#include "display/physical_units.h"

namespace quarvel {

namespace {

void choose_units(MainWindow& w, bool physical) {
  SharedState& s = w.s;
  if (!s.file_loaded || s.measure_mode || static_cast<bool>(s.physical_units) == physical) return;
  if (!w.readings_may_go()) return;
  if (s.psd_shown) mnuRaw_click(w);
  const bool filtered = !s.filters.empty();
  set_physical_units(s, physical);
  w.reset_results();
  if (filtered) w.show_status();
  show_picture(w);
}

}  // namespace

void mnuUnitsConverter_click(MainWindow& w) {
  choose_units(w, false);
}

void mnuUnitsPhysical_click(MainWindow& w) {
  choose_units(w, true);
}

}  // namespace quarvel
