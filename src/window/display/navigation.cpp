#include "display/navigation.h"

#include <QAction>
#include <QPushButton>
#include <algorithm>
#include <cstdint>
#include <optional>

#include "app/main_window.h"
#include "display/display_modes.h"
#include "display/draw_curves.h"
#include "display/draw_frame.h"
#include "display/view_math.h"
#include "ui/surface.h"

namespace quarvel {

namespace {

bool overplot(const MainWindow& w) {
  return static_cast<bool>(w.s.overplot_on);
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

namespace {

// The one way a page or block comes on the screen: the view moved there, a block's status line,
// the picture drawn.
void show_view(MainWindow& w, const BlockView& v) {
  SharedState& s = w.s;
  if (s.block_mode) {
    s.cur_block = v.cur_block;
    s.view_start = v.view_start;
    write_block_status(w);
  } else {
    s.view_start = v.view_start;
  }
  draw_frame(w);
  draw_curves(w);
}

// A continuous view from start on; the block is left as it is.
BlockView from(const MainWindow& w, double start) {
  return BlockView{w.s.cur_block, start};
}

bool can_page(const MainWindow& w) {
  return !overplot(w) && w.s.file_loaded;
}

// Shows v unless it is the view on the screen already.
void move_to(MainWindow& w, const std::optional<BlockView>& v) {
  if (!v || (v->view_start == w.s.view_start && (!w.s.block_mode || v->cur_block == w.s.cur_block))) return;
  show_view(w, *v);
}

// Expand or compress; with an anchor, the sample under user x of a continuous file stays there.
void change_time_scale(MainWindow& w, bool expand, std::optional<double> anchor_x) {
  SharedState& s = w.s;
  const TimeScale before = time_scale(w);
  const TimeScale after =
      expand ? expand_scale(before, s.sample_interval) : compress_scale(before, s.sample_interval);
  set_time_scale(w, after);
  if (anchor_x && s.file_loaded && !s.block_mode && !overplot(w))
    s.view_start = anchored_start(s.view_start, *anchor_x, before.width, after.width, s.sample_count);
  show_picture(w);
}

}  // namespace

void PgDn_click(MainWindow& w) {
  SharedState& s = w.s;
  if (!can_page(w)) return;
  if (s.block_mode) {
    const auto next = next_block(s.cur_block, s.block_count, s.block_length);
    if (!next) return;
    show_view(w, *next);
    // The block just shown can go into the average with the next key press.
    w.accept->setFocus();
  } else {
    show_view(w, from(w, page_forward(s.view_start, w.disp->scale_width(), s.sample_count)));
  }
}

void PgUp_click(MainWindow& w) {
  SharedState& s = w.s;
  if (!can_page(w) || s.view_start == 0) return;
  if (s.block_mode) {
    const auto previous = previous_block(s.cur_block, s.block_length);
    if (!previous) return;
    show_view(w, *previous);
  } else {
    show_view(w, from(w, page_back(s.view_start, w.disp->scale_width())));
  }
}

void mnuExpand_click(MainWindow& w) {
  change_time_scale(w, true, std::nullopt);
}

void mnuCompress_click(MainWindow& w) {
  change_time_scale(w, false, std::nullopt);
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

void show_first_page(MainWindow& w) {
  const SharedState& s = w.s;
  if (!can_page(w)) return;
  move_to(w, s.block_mode ? block_number(1, s.block_count, s.block_length) : from(w, 0));
}

void show_last_page(MainWindow& w) {
  const SharedState& s = w.s;
  if (!can_page(w)) return;
  move_to(w, s.block_mode ? block_number(s.block_count, s.block_count, s.block_length)
                          : from(w, last_page_start(w.disp->scale_width(), s.sample_count)));
}

void step_left(MainWindow& w) {
  const SharedState& s = w.s;
  if (!can_page(w)) return;
  move_to(w, s.block_mode ? previous_block(s.cur_block, s.block_length)
                          : from(w, step_back(s.view_start, w.disp->scale_width())));
}

void step_right(MainWindow& w) {
  const SharedState& s = w.s;
  if (!can_page(w)) return;
  move_to(w, s.block_mode ? next_block(s.cur_block, s.block_count, s.block_length)
                          : from(w, step_forward(s.view_start, w.disp->scale_width(), s.sample_count)));
}

void show_from(MainWindow& w, double start) {
  const SharedState& s = w.s;
  if (!can_page(w) || s.block_mode) return;
  move_to(w, from(w, std::clamp(start, 0.0, std::max(0.0, static_cast<double>(s.sample_count) - 1))));
}

void zoom_around(MainWindow& w, double x, bool expand) {
  change_time_scale(w, expand, x);
}

}  // namespace quarvel
