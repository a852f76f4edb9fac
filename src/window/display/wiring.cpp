#include <QAction>
#include <QPushButton>
#include <QScrollBar>

#include "app/commands.h"
#include "app/handlers.h"
#include "app/main_window.h"
#include "display/browse.h"
#include "display/display_modes.h"
#include "display/filters.h"
#include "display/navigation.h"
#include "display/navigation_keys.h"
#include "display/units.h"
#include "ui/surface.h"

namespace quarvel {

void wire_display(MainWindow& w) {
  on_trigger(w, w.mnuS, mnuS_click);
  on_trigger(w, w.mnuA, mnuA_click);
  on_trigger(w, w.mnuS_A, mnuS_A_click);
  on_trigger(w, w.mnuA_S, mnuA_S_click);
  on_trigger(w, w.mnuOverplot, mnuOverplot_click);
  on_trigger(w, w.mnuRaw, mnuRaw_click);
  on_trigger(w, w.mnuInvert, mnuInvert_click);
  on_trigger(w, w.mnuFilter, mnuFilter_click);
  on_trigger(w, w.mnuUnitsConverter, mnuUnitsConverter_click);
  on_trigger(w, w.mnuUnitsPhysical, mnuUnitsPhysical_click);
  on_click(w, w.accept, accept_click);
  on_click(w, w.clear_ave, clear_ave_click);

  on_click(w, w.PgDn, PgDn_click);
  on_click(w, w.PgUp, PgUp_click);
  on_trigger(w, w.mnuExpand, mnuExpand_click);
  on_trigger(w, w.mnuCompress, mnuCompress_click);
  on_trigger(w, w.mnuZoom_sel, mnuZoom_sel_click);
  on_click(w, w.mul, mul_click);
  on_click(w, w.div, div_click);
  on_click(w, w.pshift, pshift_click);
  on_click(w, w.nshift, nshift_click);

  // The navigation keys reach the view from wherever the focus is; they never get to the surface.
  take_navigation_keys(w);
  QObject::connect(w.disp, &Surface::wheel_turned, &w, [&w](int notches, int shift, double x, double) {
    run_command(w, [&] { disp_wheel(w, notches, shift, x); });
  });
  QObject::connect(w.view_scroll, &QScrollBar::valueChanged, &w,
                   [&w](int value) { run_command(w, [&] { view_scroll_change(w, value); }); });
}

}  // namespace quarvel
