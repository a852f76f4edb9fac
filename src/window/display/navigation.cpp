#include "display/navigation.h"

#include <QAction>
#include <QPushButton>
#include <cstdint>

#include "app/main_window.h"
#include "display/display_modes.h"
#include "display/draw_curves.h"
#include "display/draw_frame.h"
#include "display/view_math.h"
#include "ui/surface.h"

namespace quarvel {

namespace {

bool overplot(const MainWindow& w) {
  return w.mnuOverplot->isChecked();
}

TimeScale time_scale(const MainWindow& w) {
  return {w.s.scr_length, w.s.scr_factor, w.s.unit_text[0], w.disp->scale_width()};
}

}  // namespace

void set_time_scale(MainWindow& w, const TimeScale& t) {
  w.s.scr_length = t.length;
  w.s.scr_factor = t.factor;
  w.s.unit_text[0] = t.unit;
  w.disp->set_scale_width(t.width);
}

namespace {

// After a change of amplitude scale. A running loop keeps plotting on a new frame while it
// records; while it only monitors it starts its sweep again with the new scale.
void scale_redraw(MainWindow& w) {
  const SharedState& s = w.s;
  if (s.acq_running) {
    if (s.recording) {
      draw_frame(w);
    } else {
      w.s.sweep_restart = kTrue;
    }
  } else if (s.measure_mode) {
    draw_frame(w);
    if (s.block_mode) draw_curves(w);
  } else if (overplot(w)) {
    redraw(w);
  } else if (s.file_loaded || s.block_mode) {
    draw_frame(w);
    draw_curves(w);
  }
}

// After a change of shift.
void shift_redraw(MainWindow& w) {
  const SharedState& s = w.s;
  if (!s.acq_running) {
    draw_frame(w);
    if (s.file_loaded || s.block_mode) draw_curves(w);
  } else if (s.recording) {
    draw_frame(w);
  } else {
    w.s.sweep_restart = kTrue;
  }
}

int16_t stepped(int16_t v, int by) {
  const int r = v + by;
  return static_cast<int16_t>(r > INT16_MAX ? INT16_MAX : r < INT16_MIN ? INT16_MIN : r);
}

}  // namespace

void PgDn_click(MainWindow& w) {
  SharedState& s = w.s;
  if (overplot(w) || !s.file_loaded) return;
  if (s.block_mode) {
    const auto next = next_block(s.cur_block, s.block_count, s.block_length);
    if (!next) return;
    s.cur_block = next->cur_block;
    s.view_start = next->view_start;
    write_block_status(w);
  } else {
    s.view_start = page_forward(s.view_start, w.disp->scale_width(), s.sample_count);
  }
  draw_frame(w);
  draw_curves(w);
  // The block just shown can go into the average with the next key press.
  if (s.block_mode) w.accept->setFocus();
}

void PgUp_click(MainWindow& w) {
  SharedState& s = w.s;
  if (overplot(w) || !s.file_loaded || s.view_start == 0) return;
  if (s.block_mode) {
    const auto previous = previous_block(s.cur_block, s.block_length);
    if (!previous) return;
    s.cur_block = previous->cur_block;
    s.view_start = previous->view_start;
    write_block_status(w);
  } else {
    s.view_start = page_back(s.view_start, w.disp->scale_width());
  }
  draw_frame(w);
  draw_curves(w);
}

void mnuExpand_click(MainWindow& w) {
  set_time_scale(w, expand_scale(time_scale(w), w.s.sample_interval));
  show_picture(w);
}

void mnuCompress_click(MainWindow& w) {
  set_time_scale(w, compress_scale(time_scale(w), w.s.sample_interval));
  show_picture(w);
}

void mnuZoom_sel_click(MainWindow& w) {
  SharedState& s = w.s;
  if (overplot(w)) return;
  const auto zoom = zoom_to_selection(time_scale(w), s.sel_x1, s.sel_x2, s.sample_interval);
  if (!zoom) return;
  set_time_scale(w, zoom->scale);
  w.disp->set_scale_left(-0.125 * zoom->scale.width);
  s.view_start = zoom->view_start;
  draw_frame(w);  // also removes the selection: it is used once
  draw_curves(w);
}

void mul_click(MainWindow& w) {
  SharedState& s = w.s;
  const int ch = s.current_ch;
  if (s.range_index[ch] == s.range_count) return;  // the finest step is shown
  s.ch_max[ch] = s.ch_max[ch] / 2;
  scale_redraw(w);
}

void div_click(MainWindow& w) {
  SharedState& s = w.s;
  const int ch = s.current_ch;
  if (s.range_index[ch] == 1) return;  // the coarsest step is shown
  s.ch_max[ch] = 2 * s.ch_max[ch];
  scale_redraw(w);
}

void pshift_click(MainWindow& w) {
  SharedState& s = w.s;
  const int ch = s.current_ch;
  if (overplot(w)) {
    // Overplot form: the first block one percent of the axis height higher, never above the top.
    if (s.first_disp[ch] > 0) s.first_disp[ch] -= 1;
    redraw(w);
    return;
  }
  s.shift_steps[ch] = stepped(s.shift_steps[ch], 1);
  shift_redraw(w);
}

void nshift_click(MainWindow& w) {
  SharedState& s = w.s;
  const int ch = s.current_ch;
  if (overplot(w)) {
    s.first_disp[ch] += 1;
    redraw(w);
    return;
  }
  s.shift_steps[ch] = stepped(s.shift_steps[ch], -1);
  shift_redraw(w);
}

}  // namespace quarvel
