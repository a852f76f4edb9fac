#include <QPushButton>

#include "core/handlers.h"
#include "core/main_window.h"
#include "measure/cursor.h"
#include "measure/results_table.h"
#include "ui/surface.h"

namespace quarvel {

void wire_measure(MainWindow& w) {
  QObject::connect(w.disp, &Surface::mouse_down, &w, [&w](int button, int shift, double x, double y) {
    disp_mouse_down(w, button, shift, x, y);
  });
  QObject::connect(w.disp, &Surface::mouse_move, &w, [&w](int button, int shift, double x, double y) {
    disp_mouse_move(w, button, shift, x, y);
  });
  QObject::connect(w.add, &QPushButton::clicked, &w, [&w] { add_click(w); });
  QObject::connect(w.del, &QPushButton::clicked, &w, [&w] { delete_click(w); });
  QObject::connect(w.Clear, &QPushButton::clicked, &w, [&w] { clear_click(w); });
}

}  // namespace quarvel
