#include "display/draw_frame.h"

#include <QLabel>

#include "app/main_window.h"
#include "core/numbers.h"
#include "display/scale_choice.h"
#include "ui/surface.h"

namespace quarvel {

void set_channel_scale(MainWindow& w, int ch) {
  const double r = w.s.ch_range[ch];
  w.disp->set_scale_top(r * 0.475 / 0.8);
  w.disp->set_scale_height(-r / 0.8);
}

void draw_frame(MainWindow& w) {
  SharedState& s = w.s;
  Surface& d = *w.disp;

  // 1. no cursor, selection or threshold survives a new frame
  w.Label1->hide();
  s.peak_mode = kFalse;
  s.cursor_x = -1;
  s.sel_x1 = -1;
  s.sel_x2 = -1;
  for (int ch = 1; ch <= 3; ++ch) s.level_y[ch] = kNoLevel;
  d.unsetCursor();

  // 2. automatic range of every channel
  for (int ch = 1; ch <= 3; ++ch) {
    const int16_t idx = choose_range_index(s.ch_max[ch], s.range_table, s.range_count);
    s.range_index[ch] = idx;
    s.ch_offset[ch] = static_cast<float>(s.shift_steps[ch]) * s.range_table[idx];
    s.ch_range[ch] = 4 * s.range_table[idx];
  }

  // 3. coordinate system of the current channel
  const double W = d.scale_width();
  const double R = s.ch_range[s.current_ch];
  d.set_scale(-0.125 * W, 0.475 * R / 0.8, W, -R / 0.8);
  const double SH = d.scale_height();

  // 4. frame geometry
  s.plot_left = 0;
  s.plot_right = static_cast<float>(0.8 * W);
  s.time_axis_y = static_cast<float>(0.425 * SH);
  s.amp_axis_x = static_cast<float>(-0.025 * W);
  s.amp_axis_top = static_cast<float>(-0.4 * SH);
  s.amp_axis_bottom = static_cast<float>(0.4 * SH);

  // 5.
  d.cls();

  // 6. time axis
  d.line(s.plot_left, s.time_axis_y, s.plot_right, s.time_axis_y);

  // 7. time ticks and labels: block views count from the sweep start, continuous views from the
  // start of the data; both in the display unit
  const double screen_samples = static_cast<double>(s.scr_length) * s.scr_factor / s.sample_interval;
  const double label_top = s.time_axis_y + 0.02 * SH;
  for (int j = 0; j < s.time_divs; ++j) {
    double value = static_cast<double>(j) * s.scr_length / s.time_divs;
    if (!s.block_mode) value += static_cast<double>(s.sample_interval) * s.view_start / s.scr_factor;
    const double tick_x = j * screen_samples / s.time_divs + s.plot_left;
    d.line(tick_x, s.time_axis_y, tick_x, label_top);
    const QString text = format(static_cast<float>(value), "##0.0#");
    d.current_x = 0.8 * W * j / s.time_divs + s.plot_left - d.text_width(text) / 2;
    d.current_y = label_top;
    d.print(text);
  }

  // 8. end of the time axis with the unit label
  const double end_x = screen_samples + s.plot_left;
  d.line(end_x, s.time_axis_y, end_x, label_top);
  d.current_x = s.plot_right - d.text_width(s.unit_text[0]) / 2;
  d.current_y = label_top;
  d.print(s.unit_text[0]);

  // 9. amplitude axis in the scale colour of the current channel
  const int32_t fore = d.fore_colour();
  d.set_fore_colour(s.scale_colour[s.current_ch]);
  d.line(s.amp_axis_x, s.amp_axis_top, s.amp_axis_x, s.amp_axis_bottom);

  // 10. amplitude ticks and labels, top to bottom: +2 s, +s, 0, -s, -2 s (minus the offset)
  const float step = s.range_table[s.range_index[s.current_ch]];
  for (int i = 0; i <= s.amp_divs; ++i) {
    const double y = s.amp_axis_top + 0.2 * i * SH;
    const double raw = (s.amp_divs / 2.0 - i) * R / s.amp_divs - s.ch_offset[s.current_ch];
    const float value = static_cast<float>(round_even(raw * 10) / 10);
    d.line(s.amp_axis_x - 0.01 * W, y, s.amp_axis_x, y);
    const QString text = step >= 1 ? str_number(value) : format(value, "0.0");
    d.current_x = s.amp_axis_x - d.text_width(text) - 0.01 * W;
    d.current_y = y - d.text_height(text) / 2;
    d.print(text);
  }

  // 11.
  d.set_fore_colour(fore);
}

}  // namespace quarvel
