#include <QAction>
#include <QLineEdit>
#include <QPushButton>

#include "app/commands.h"
#include "app/handlers.h"
#include "app/main_window.h"
#include "measure/annotations.h"
#include "measure/auto_peaks.h"
#include "measure/block_stats.h"
#include "measure/cursor.h"
#include "measure/marks.h"
#include "measure/results_file.h"
#include "measure/results_table.h"
#include "ui/events.h"
#include "ui/surface.h"

namespace quarvel {

// Marks off, and the annotation boxes: the Text menu, each box's focus, Enter and drag events,
// and drops on the surface.
static void wire_marks_and_texts(MainWindow& w) {
  on_trigger(w, w.mnuMarksoff, marks_off);
  on_trigger(w, w.mnuTextInsert, text_insert);
  on_trigger(w, w.mnuTextDelete, text_delete);
  QObject::connect(w.disp, &Surface::dropped, &w, [&w](QObject* source, double x, double y) {
    run_command(w, [&] { text_drop(w, source, x, y); });
  });
  // Enter in a box hands the focus to the surface.
  w.disp->setFocusPolicy(Qt::TabFocus);
  for (int i = 0; i < static_cast<int>(w.Text1.size()); ++i) {
    QLineEdit* box = w.Text1[i];
    // Boxes are dropped on the surface, also where another box lies.
    box->setAcceptDrops(false);
    on_focus_in(box, guarded(w, [&w, i] { text_got_focus(w, i); }));
    on_enter_key(box, guarded(w, [&w, i] { text_enter_key(w, i); }));
    on_focus_moved_away(box, guarded(w, [&w, i] { text_lost_focus(w, i); }));
    on_mouse_move(box, [&w, i](Qt::MouseButtons b, QPoint pos) {
      bool dragged = false;
      run_command(w, [&] { dragged = text_mouse_move(w, i, b, pos); });
      return dragged;
    });
  }
}

void wire_measure(MainWindow& w) {
  w.reset_results = [&w] { reset_grid(w); };
  w.readings_may_go = [&w] { return readings_may_go(w); };
  on_trigger(w, w.mnuSaveResults, mnuSaveResults_click);
  QObject::connect(w.disp, &Surface::mouse_down, &w, [&w](int button, int shift, double x, double y) {
    run_command(w, [&] { disp_mouse_down(w, button, shift, x, y); });
  });
  QObject::connect(w.disp, &Surface::mouse_move, &w, [&w](int button, int shift, double x, double y) {
    run_command(w, [&] { disp_mouse_move(w, button, shift, x, y); });
  });
  on_click(w, w.add, add_click);
  // The cursor hands the focus to Add, so Enter takes the reading in (the buttons are no default
  // buttons, which Enter would press).
  on_enter_key(w.add, [&w] { w.add->click(); });
  on_click(w, w.del, delete_click);
  on_click(w, w.Clear, clear_click);
  wire_marks_and_texts(w);

  // Block statistics and auto peaks.
  on_click(w, w.newblk, newblk_click);
  on_trigger(w, w.mnuPeaks, mnuPeaks_click);
}

}  // namespace quarvel
