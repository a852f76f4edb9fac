#include "display/browse.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <cstdlib>

#include "app/main_window.h"
#include "core/numbers.h"
#include "display/navigation.h"
#include "display/view_math.h"
#include "ui/surface.h"

namespace quarvel {

namespace {

// The page buttons' procedures hand the focus to the average button in block views; keys and the
// wheel leave it where it was (on the surface, or on Add after a click on the curve), so that the
// next key pages on and Enter still adds the reading.
void keeping_focus(MainWindow& w, void (*click)(MainWindow&)) {
  QWidget* had_focus = QApplication::focusWidget();
  click(w);
  if (had_focus && QApplication::focusWidget() != had_focus) had_focus->setFocus();
}

bool zoom_offered(const MainWindow& w) {
  const QAction* entry = w.mnuZoom->menuAction();
  return entry->isVisible() && entry->isEnabled();
}

constexpr int kCtrl = 2;

}  // namespace

void disp_key_down(MainWindow& w, int key, int) {
  switch (key) {
    case Qt::Key_PageDown:
      keeping_focus(w, PgDn_click);
      break;
    case Qt::Key_PageUp:
      keeping_focus(w, PgUp_click);
      break;
    case Qt::Key_Home:
      show_first_page(w);
      break;
    case Qt::Key_End:
      show_last_page(w);
      break;
    case Qt::Key_Left:
      step_left(w);
      break;
    case Qt::Key_Right:
      step_right(w);
      break;
    default:
      break;
  }
}

void disp_wheel(MainWindow& w, int notches, int shift, double x) {
  const bool zoom = (shift & kCtrl) != 0;
  if (zoom && !zoom_offered(w)) return;
  for (int i = 0; i < std::abs(notches); ++i) {
    if (!zoom) {
      keeping_focus(w, notches > 0 ? PgUp_click : PgDn_click);
      continue;
    }
    // The pointer stays on its pixel; its user x follows the new width.
    const double width = w.disp->scale_width();
    zoom_around(w, x, notches > 0);
    x = x * w.disp->scale_width() / width;
  }
}

void view_scroll_change(MainWindow& w, int value) {
  show_from(w, value);
}

void show_scroll_position(MainWindow& w) {
  const SharedState& s = w.s;
  QScrollBar* bar = w.view_scroll;
  const double width = w.disp->scale_width();
  const double on_screen = 0.8 * width;
  const bool shown = s.file_loaded && !s.measure_mode && !s.block_mode && !s.psd_shown &&
                     !static_cast<bool>(w.s.overplot_on) && (s.sample_count > on_screen || s.view_start > 0);
  if (!shown) {
    bar->hide();
    return;
  }
  const QSignalBlocker quiet(bar);
  // Paging may go on past the last page, to a screen that starts before the data's end.
  const double last = std::max<double>(last_page_start(width, s.sample_count), s.view_start);
  bar->setRange(0, round_i32(last));
  bar->setPageStep(std::max(1, round_i32(on_screen)));
  bar->setSingleStep(std::max(1, round_i32(0.1 * on_screen)));
  bar->setValue(round_i32(s.view_start));
  bar->show();
}

}  // namespace quarvel
