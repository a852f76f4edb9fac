#include "display/draw_curves.h"

#include <QAction>

#include "core/main_window.h"
#include "display/draw_frame.h"

namespace quarvel {

void draw_curves(MainWindow& w) {
  (void)w;
}

void redraw(MainWindow& w) {
  draw_frame(w);
}

void show_picture(MainWindow& w) {
  if (w.mnuOverplot->isChecked()) {
    redraw(w);
  } else {
    draw_frame(w);
    draw_curves(w);
  }
}

}  // namespace quarvel
