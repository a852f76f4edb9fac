#include "measure/cursor.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>

#include "app/main_window.h"
#include "measure/auto_peaks.h"
#include "measure/readout.h"
#include "ui/surface.h"

namespace quarvel {

void invert_line(Surface& d, double x1, double y1, double x2, double y2) {
  d.set_draw_mode(Surface::DrawMode::Invert);
  d.line(x1, y1, x2, y2);
  d.set_draw_mode(Surface::DrawMode::Copy);
}

void invert_box(Surface& d, double x1, double y1, double x2, double y2) {
  d.set_draw_mode(Surface::DrawMode::Invert);
  d.box(x1, y1, x2, y2);
  d.set_draw_mode(Surface::DrawMode::Copy);
}

void invert_cursor_line(MainWindow& w, double x) {
  invert_line(*w.disp, x, w.s.amp_axis_top, x, w.s.time_axis_y);
}

ReadoutSource readout_source(const MainWindow& w) {
  const CurveChoice c = w.s.curve_choice;
  return quarvel::readout_source(w.s, static_cast<bool>(w.s.overplot_on),
                                 c == CurveChoice::Single || c == CurveChoice::SingleAverage);
}

// Hides the readout label and gives it the reading of a cursor at x, sized to its text.
static void set_readout(MainWindow& w, double x) {
  w.Label1->hide();
  w.Label1->setText(readout_text(w.s, x, w.disp->scale_width(), readout_source(w)));
  w.Label1->adjustSize();
}

// Puts the readout label beside the cursor at x and shows it. Its left edge is a user position
// on disp; its top stays where the window put it.
static void show_readout(MainWindow& w, double x) {
  const PixelMap m = w.disp->pixel_map();
  const double label_width = m.user_dx(w.Label1->width());
  const LabelPlace p = label_place(x, w.disp->scale_width(), label_width);
  w.Label1->setAlignment((p.right_aligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
  w.Label1->move(m.pixel_x(p.left), w.Label1->y());
  w.Label1->show();
  w.Label1->raise();
}

// The press position held inside the data.
static double clamped_x(const MainWindow& w, double x) {
  const SharedState& s = w.s;
  return clamp_cursor_x(x, w.disp->scale_width(), static_cast<bool>(s.block_mode), s.block_length,
                        s.sample_count, s.view_start);
}

// Right press in the continuous view: the first press marks one edge, the second draws the
// box to the other edge, every further press moves the second edge. Marks are drawn from the
// stored edges so that drawing them again elsewhere covers exactly the same pixels.
static void select_edge(MainWindow& w, double x) {
  SharedState& s = w.s;
  Surface& d = *w.disp;
  const double top = d.scale_top();
  const double bottom = d.scale_top() + d.scale_height();
  if (s.sel_x1 == -1) {
    s.sel_x1 = s.view_start + x;
    invert_line(d, s.sel_x1 - s.view_start, top, s.sel_x1 - s.view_start, bottom);
    return;
  }
  if (s.sel_x2 != -1) {
    if (s.level_y[s.current_ch] != kNoLevel) {
      erase_level(w);
      s.level_y[s.current_ch] = kNoLevel;
    }
    invert_box(d, s.sel_x1 - s.view_start, top, s.sel_x2 - s.view_start, bottom);
  }
  s.sel_x2 = s.view_start + x;
  invert_box(d, s.sel_x1 - s.view_start, top, s.sel_x2 - s.view_start, bottom);
}

void disp_mouse_down(MainWindow& w, int button, int shift, double x, double y) {
  (void)shift;
  SharedState& s = w.s;
  if (!s.file_loaded) return;
  w.use_channel_scale(s.current_ch);
  if (s.peak_mode) {
    place_level(w, y);
    return;
  }
  const double cx = clamped_x(w, x);
  if (button == 1) {
    if (s.cursor_x != -1) {
      invert_cursor_line(w, s.cursor_x);
      w.Label1->hide();
      s.cursor_x = -1;
    }
    set_readout(w, cx);
    invert_cursor_line(w, cx);
    show_readout(w, cx);
    s.cursor_x = cx;
  } else if (button == 2 && !s.block_mode) {
    select_edge(w, cx);
  }
  w.add->setFocus();
}

void disp_mouse_move(MainWindow& w, int button, int shift, double x, double y) {
  (void)shift;
  SharedState& s = w.s;
  if (button == 0 || !s.file_loaded) return;
  w.use_channel_scale(s.current_ch);
  if (button != 1) return;
  if (s.peak_mode) {
    place_level(w, y);
    return;
  }
  const double cx = clamped_x(w, x);
  set_readout(w, cx);
  // A redraw in the middle of a drag has already taken the old line away.
  if (s.cursor_x != -1) invert_cursor_line(w, s.cursor_x);
  invert_cursor_line(w, cx);
  show_readout(w, cx);
  s.cursor_x = cx;
  w.add->setFocus();
}

}  // namespace quarvel
