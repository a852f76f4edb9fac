#include "core/settings.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

#include "core/main_window.h"
#include "core/numbers.h"
#include "core/startup.h"
#include "display/draw_curves.h"
#include "display/draw_frame.h"
#include "display/geometry.h"
#include "ui/results_grid.h"
#include "ui/surface.h"

namespace quarvel {

void write_scr_lng_text(MainWindow& w) {
  const float len = w.s.scr_length;
  const bool fraction = std::fabs(round_even(len) - len) >= 0.1;
  w.scr_lng->setEditText(format(len, fraction ? "####.#" : "####"));
}

static void apply_display_width(MainWindow& w) {
  w.disp->set_scale_width(w.s.block_mode ? block_width(w.s.block_length) : continuous_width(w.s));
}

void sampling_hz_lost_focus(MainWindow& w) {
  SharedState& s = w.s;
  const double v = num(w.sampling_hz->currentText());
  if (!s.block_mode) {
    if (static_cast<float>(v) == s.sampling_rate) return;
    if (v > 0 && v <= 1000) {
      s.sampling_rate = static_cast<float>(v);
      s.sample_interval = 1.0f / s.sampling_rate;
      s.sample_count = round_i32(static_cast<double>(s.file_length) * s.sampling_rate);
      apply_display_width(w);
      s.view_start = 0;
      if (s.acq_running) {
        s.sweep_restart = kTrue;
      } else {
        draw_frame(w);
      }
    } else {
      w.sampling_hz->setEditText(format_general(s.sampling_rate));
    }
    write_scr_lng_text(w);
    return;
  }
  // Block mode: the box holds the sampling interval in microseconds. An unchanged interval does
  // nothing (compared as an interval, so a new interval that happens to equal the old rate in Hz
  // is not ignored).
  if (static_cast<float>(v) == static_cast<float>(round_even(static_cast<double>(s.sample_interval) * 1e6)))
    return;
  if (v > 0 && v >= 30) {
    s.sample_interval = static_cast<float>(v / 1000000);
    s.sampling_rate = 1.0f / s.sample_interval;
    const int32_t len = round_i32(static_cast<double>(s.scr_factor) * s.scr_length / s.sample_interval);
    s.block_length = std::max(len, 1);
    s.blk_block_length = s.block_length;
    w.disp->set_scale_width(block_width(s.block_length));
    s.ave_data.redim(3, s.block_length - 1);
    s.ave_n = 0;
    if (s.measure_mode) s.dim_measurement_block();
    s.view_start = 0;
    w.set_caption("BLOCK MODE (" + format(s.scr_length, "#####.#") + s.unit_text[0] + ")");
    s.cur_block = 1;
    if (s.acq_running) s.sweep_restart = kTrue;
    draw_frame(w);
    w.stim->setFocus();
  } else {
    w.sampling_hz->setEditText(format_general(s.sampling_rate));
  }
  write_scr_lng_text(w);
}

void scr_lng_lost_focus(MainWindow& w) {
  SharedState& s = w.s;
  const double v = num(w.scr_lng->currentText());
  if (static_cast<float>(v) == s.scr_length) return;
  // A screen of no length (or less) cannot be drawn: the box goes back to the length in force.
  if (!(v > 0)) {
    write_scr_lng_text(w);
    return;
  }
  s.scr_length = static_cast<float>(v);
  apply_display_width(w);
  s.sweep_restart = kTrue;
  s.view_start = 0;
  const double width = w.disp->scale_width();
  w.disp->set_scale_mode(Surface::ScaleMode::Pixel);
  s.disp_px_width = static_cast<int16_t>(w.disp->scale_width());
  w.disp->set_scale_mode(Surface::ScaleMode::User);
  w.disp->set_scale_width(std::max(1.0, round_even(width)));
  if (!s.acq_running) draw_frame(w);
}

void file_lng_change(MainWindow& w) {
  SharedState& s = w.s;
  const double v = num(w.file_lng->currentText());
  // While the user types, a text that is not yet a positive length changes nothing; leaving the
  // box puts the length in force back.
  if (!(v > 0)) return;
  s.file_length = static_cast<float>(v);
  s.sample_count = round_i32(static_cast<double>(s.sampling_rate) * s.file_length);
}

void file_lng_lost_focus(MainWindow& w) {
  if (!(num(w.file_lng->currentText()) > 0)) w.file_lng->setEditText(format_general(w.s.file_length));
}

void ch_list_click(MainWindow& w, int i) {
  SharedState& s = w.s;
  const int ch = i + 1;
  s.view_start = 0;
  s.ch_source[ch] = static_cast<int16_t>(w.ch_list[static_cast<size_t>(i)]->currentIndex());
  s.ch_max[ch] = 1000;
  s.range_index[ch] = 4;
  s.ch_offset[ch] = 0;
  for (QRadioButton* b : w.ch_select) b->setChecked(false);
  w.ch_select[static_cast<size_t>(i)]->setChecked(true);
  ch_select_click(w, i);
  s.channel_count = s.count_active_channels();
  if (s.channel_count == 0) {
    s.stop_request = kTrue;
  } else {
    s.sweep_restart = kTrue;
    draw_frame(w);
  }
}

void ch_list_lost_focus(MainWindow& w, int i) {
  w.s.sweep_restart = kTrue;
  w.s.view_start = 0;
  w.s.ch_source[i + 1] = static_cast<int16_t>(w.ch_list[static_cast<size_t>(i)]->currentIndex());
}

void gain_click(MainWindow& w, int) {
  w.s.sweep_restart = kTrue;
  w.s.view_start = 0;
}

void show_channel_selected(MainWindow& w, int i) {
  w.ch_select[static_cast<size_t>(i)]->setChecked(true);
  colour_scale_buttons(w, i + 1);
  if (!w.s.measure_mode)
    for (int g = 0; g < 3; ++g) w.Grid1[static_cast<size_t>(g)]->setVisible(g == i);
}

void ch_select_click(MainWindow& w, int i) {
  SharedState& s = w.s;
  const int ch = i + 1;
  show_channel_selected(w, i);
  s.current_ch = static_cast<int16_t>(ch);
  if (s.acq_running) {
    if (s.recording) {
      draw_frame(w);
    } else {
      s.sweep_restart = kTrue;
    }
  } else if (s.overplot_on) {
    redraw(w);
  } else {
    draw_frame(w);
    if (s.file_loaded || s.block_mode) draw_curves(w);
  }
}

void sampling_hz_enter(MainWindow& w) {
  if (w.s.block_mode) {
    w.stim->setFocus();
  } else {
    w.monitor->setFocus();
  }
}

}  // namespace quarvel
