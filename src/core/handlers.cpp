#include "core/handlers.h"

#include "core/main_window.h"
#include "display/draw_frame.h"

namespace quarvel {

// A new surface size changes the pixels behind every user unit: draw the picture again.
static void surface_resized(MainWindow& w) {
  if (w.s.acq_running) return;
  draw_frame(w);
}

void wire_handlers(MainWindow& w) {
  QObject::connect(&w, &MainWindow::surface_resized, &w, [&w] { surface_resized(w); });
}

}  // namespace quarvel
