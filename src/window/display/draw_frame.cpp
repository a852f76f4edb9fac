#include "display/draw_frame.h"

#include <QLabel>

#include "app/main_window.h"
#include "core/numbers.h"
#include "display/physical_units.h"
#include "display/plot_geometry.h"
#include "display/scale_choice.h"
#include "ui/surface.h"

namespace quarvel {

namespace {

// No cursor, selection or threshold level survives a new frame.
void forget_cursor_marks(MainWindow& w) {
  SharedState& s = w.s;
  w.Label1->hide();
  s.peak_mode = kFalse;
  s.cursor_x = -1;
  s.sel_x1 = -1;
  s.sel_x2 = -1;
  for (int ch = 1; ch <= 3; ++ch) s.level_y[ch] = kNoLevel;
  w.disp->unsetCursor();
}

// The automatic amplitude scale of every channel, shown or not, from its largest value and its
// shift.
void choose_ranges(SharedState& s) {
  for (int ch = 1; ch <= 3; ++ch) {
    const int16_t idx = choose_range_index(s.ch_max[ch], s.range_table, s.range_count);
    s.range_index[ch] = idx;
    s.ch_offset[ch] = static_cast<float>(s.shift_steps[ch]) * s.range_table[idx];
    s.ch_range[ch] = 4 * s.range_table[idx];
  }
}

// The frame lines the cursor measurement and the export read back.
void keep_frame_geometry(SharedState& s, const PlotGeometry& g) {
  s.plot_left = 0;
  s.plot_right = static_cast<float>(g.plot_right());
  s.time_axis_y = static_cast<float>(g.time_axis_y());
  s.amp_axis_x = static_cast<float>(g.amp_axis_x());
  s.amp_axis_top = static_cast<float>(g.band_top());
  s.amp_axis_bottom = static_cast<float>(g.band_bottom());
}

// Prints text with its top at y and its horizontal centre at x.
void print_centred(Surface& d, const QString& text, double x, double y) {
  d.current_x = x - d.text_width(text) / 2;
  d.current_y = y;
  d.print(text);
}

// The time axis with time_divs labelled ticks and the unit label at its end. Block views count
// from the sweep start, continuous views from the start of the data, both in the display unit.
void draw_time_axis(MainWindow& w, const PlotGeometry& g) {
  const SharedState& s = w.s;
  Surface& d = *w.disp;
  d.line(s.plot_left, s.time_axis_y, s.plot_right, s.time_axis_y);
  const double screen_samples = samples_per_screen(s);
  const double label_top = s.time_axis_y + 0.02 * g.height();
  for (int j = 0; j < s.time_divs; ++j) {
    double value = static_cast<double>(j) * s.scr_length / s.time_divs;
    if (!s.block_mode) value += decimal_of(s.sample_interval) * s.view_start / decimal_of(s.scr_factor);
    const double tick_x = j * screen_samples / s.time_divs + s.plot_left;
    d.line(tick_x, s.time_axis_y, tick_x, label_top);
    print_centred(d, format(value, "##0.0#"),
                  g.plot_right() * j / s.time_divs + s.plot_left, label_top);
  }
  const double end_x = screen_samples + s.plot_left;
  d.line(end_x, s.time_axis_y, end_x, label_top);
  print_centred(d, s.unit_text[0], s.plot_right, label_top);
}

// The amplitude axis of the current channel in its scale colour, with five ticks from +2 steps
// to -2 steps, each labelled with the sample value at its height (less the shift).
void draw_amplitude_axis(MainWindow& w, const PlotGeometry& g) {
  const SharedState& s = w.s;
  Surface& d = *w.disp;
  const int32_t fore = d.fore_colour();
  d.set_fore_colour(s.scale_colour[s.current_ch]);
  d.line(s.amp_axis_x, s.amp_axis_top, s.amp_axis_x, s.amp_axis_bottom);
  const double R = s.ch_range[s.current_ch];
  const float step = s.range_table[s.range_index[s.current_ch]];
  const double tick_left = s.amp_axis_x - 0.01 * g.width();
  for (int i = 0; i <= s.amp_divs; ++i) {
    const double y = s.amp_axis_top + 0.2 * i * g.height();
    const double raw = (s.amp_divs / 2.0 - i) * R / s.amp_divs - s.ch_offset[s.current_ch];
    const float value = static_cast<float>(round_even(raw * 10) / 10);
    d.line(tick_left, y, s.amp_axis_x, y);
    const QString text = step >= 1 ? str_number(value) : format(value, "0.0");
    d.current_x = tick_left - d.text_width(text);
    d.current_y = y - d.text_height(text) / 2;
    d.print(text);
  }
  // Physical units name themselves above the scale, right-aligned to it.
  if (const QString unit = shown_unit(s, s.current_ch); !unit.isEmpty()) {
    d.current_x = s.amp_axis_x - d.text_width(unit);
    d.current_y = s.amp_axis_top - 1.6 * d.text_height(unit);
    d.print(unit);
  }
  d.set_fore_colour(fore);
}

}  // namespace

void draw_frame(MainWindow& w) {
  SharedState& s = w.s;
  forget_cursor_marks(w);
  choose_ranges(s);
  const PlotGeometry g = w.channel_geometry(s.current_ch);
  w.disp->use_geometry(g);
  keep_frame_geometry(s, g);
  w.disp->cls();
  draw_time_axis(w, g);
  draw_amplitude_axis(w, g);
}

}  // namespace quarvel
