#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include "core/handlers.h"
#include "core/main_window.h"
#include "measure/annotations.h"
#include "measure/auto_peaks.h"
#include "measure/block_stats.h"
#include "measure/cursor.h"
#include "measure/marks.h"
#include "measure/results_table.h"
#include "ui/events.h"
#include "ui/surface.h"

namespace quarvel {

// Marks off, and the annotation boxes: the Text menu, each box's focus, Enter and drag events,
// and drops on the surface.
static void wire_marks_and_texts(MainWindow& w) {
  QObject::connect(w.mnuMarksoff, &QAction::triggered, &w, [&w] { marks_off(w); });
  QObject::connect(w.mnuTextInsert, &QAction::triggered, &w, [&w] { text_insert(w); });
  QObject::connect(w.mnuTextDelete, &QAction::triggered, &w, [&w] { text_delete(w); });
  QObject::connect(w.disp, &Surface::dropped, &w,
                   [&w](QObject* source, double x, double y) { text_drop(w, source, x, y); });
  // Enter in a box hands the focus to the surface.
  w.disp->setFocusPolicy(Qt::TabFocus);
  for (int i = 0; i < static_cast<int>(w.Text1.size()); ++i) {
    QLineEdit* box = w.Text1[i];
    // Boxes are dropped on the surface, also where another box lies.
    box->setAcceptDrops(false);
    on_focus_in(box, [&w, i] { text_got_focus(w, i); });
    on_enter_key(box, [&w, i] { text_enter_key(w, i); });
    on_focus_moved_away(box, [&w, i] { text_lost_focus(w, i); });
    on_mouse_move(box, [&w, i](Qt::MouseButtons b, QPoint pos) { return text_mouse_move(w, i, b, pos); });
  }
}

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
  wire_marks_and_texts(w);

  // Block statistics and auto peaks.
  QObject::connect(w.newblk, &QPushButton::clicked, &w, [&w] { newblk_click(w); });
  QObject::connect(w.mnuPeaks, &QAction::triggered, &w, [&w] { mnuPeaks_click(w); });
}

}  // namespace quarvel
