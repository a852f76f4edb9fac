#include "app/handlers.h"

#include "app/commands.h"
#include "app/main_window.h"
#include "display/draw_curves.h"

namespace quarvel {

// A new surface size changes the pixels behind every user unit: draw the picture again, or let
// a running sweep start again on the new size.
static void surface_resized(MainWindow& w) {
  if (w.s.acq_running) {
    if (!w.s.recording) w.s.sweep_restart = kTrue;
    return;
  }
  show_picture(w);
}

void wire_handlers(MainWindow& w) {
  wire_settings(w);
  wire_acquisition(w);
  wire_datafile(w);
  wire_display(w);
  wire_measure(w);
  wire_modes(w);
  QObject::connect(&w, &MainWindow::surface_resized, &w, guarded(w, [&w] { surface_resized(w); }));
}

}  // namespace quarvel
