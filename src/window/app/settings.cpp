#include "app/settings.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

#include "app/main_window.h"
#include "app/startup.h"
#include "core/numbers.h"
#include "core/typed_values.h"
#include "display/draw_curves.h"
#include "display/draw_frame.h"
#include "display/plot_geometry.h"
#include "display/views.h"
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
  const QString text = w.sampling_hz->currentText();
  if (!s.block_mode) {
    if (static_cast<float>(num(text)) == s.sampling_rate) return;
    if (const std::optional<float> rate = rate_from_text(text)) {
      s.sampling_rate = *rate;
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
  // Block mode: the box holds the sampling interval in microseconds, and shows the interval in
  // force again after a refusal, so that leaving it once more reads the same interval.
  if (static_cast<float>(num(text) / 1000000) == s.sample_interval) return;
  const double screen_seconds = static_cast<double>(s.scr_factor) * s.scr_length;
  if (const std::optional<float> interval = interval_from_text(text, screen_seconds)) {
    s.sample_interval = *interval;
    s.sampling_rate = 1.0f / s.sample_interval;
    start_block_view(w, round_i32(screen_seconds / s.sample_interval));
    w.set_caption(block_mode_caption(s, false));
    if (s.acq_running) s.sweep_restart = kTrue;
    draw_frame(w);
    w.stim->setFocus();
  } else {
    w.sampling_hz->setEditText(interval_text(s.sample_interval));
  }
  write_scr_lng_text(w);
}

void scr_lng_lost_focus(MainWindow& w) {
  SharedState& s = w.s;
  const QString text = w.scr_lng->currentText();
  if (static_cast<float>(num(text)) == s.scr_length) return;
  // A screen of no length, or one the surface cannot be made wide enough for, is refused.
  const std::optional<float> length = screen_length_from_text(text, s.scr_factor, s.sample_interval);
  if (!length) {
    write_scr_lng_text(w);
    return;
  }
  s.scr_length = *length;
  apply_display_width(w);
  s.sweep_restart = kTrue;
  s.view_start = 0;
  w.measure_surface();
  if (!s.acq_running) draw_frame(w);
}

void file_lng_change(MainWindow& w) {
  SharedState& s = w.s;
  // While the user types, a text that is not yet a length the program can take changes nothing.
  const FileLengthReading r = file_length_from_text(w.file_lng->currentText(), s.sampling_rate);
  if (!r.seconds) return;
  s.file_length = *r.seconds;
  s.sample_count = round_i32(static_cast<double>(s.sampling_rate) * s.file_length);
}

void file_lng_lost_focus(MainWindow& w, float length_before) {
  SharedState& s = w.s;
  const FileLengthReading r = file_length_from_text(w.file_lng->currentText(), s.sampling_rate);
  if (r.seconds) return;
  s.file_length = length_before;
  s.sample_count = round_i32(static_cast<double>(s.sampling_rate) * s.file_length);
  w.file_lng->setEditText(format_general(s.file_length));
  if (r.too_long) {
    w.dialogs().warning(QStringLiteral("The file length must be at most %1 s at %2 Hz.")
                            .arg(format_general_double(longest_file_length(s.sampling_rate)),
                                 format_general(s.sampling_rate)),
                        "File length");
  }
}

void ch_list_click(MainWindow& w, int i) {
  SharedState& s = w.s;
  const int ch = i + 1;
  s.view_start = 0;
  s.ch_source[ch] = static_cast<int16_t>(w.ch_list[static_cast<size_t>(i)]->currentIndex());
  s.ch_max[ch] = 1000;
  s.range_index[ch] = 4;
  s.ch_offset[ch] = 0;
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
  colour_scale_buttons(w, i + 1);
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
