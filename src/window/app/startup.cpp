#include "app/startup.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "app/main_window.h"
#include "core/numbers.h"
#include "display/draw_frame.h"
#include "display/plot_geometry.h"
#include "measure/results_layout.h"
#include "modes/shown_controls.h"
#include "ui/fonts.h"
#include "ui/results_grid.h"
#include "ui/surface.h"

namespace quarvel {

void set_continuous_defaults(MainWindow& w) {
  SharedState& s = w.s;
  s.sampling_rate = 10;
  s.scr_length = s.cont_scr_length = 8;
  s.sample_interval = 1.0f / 10;
  s.scr_factor = s.cont_scr_factor = 1;
  s.unit_text[0] = s.unit_text[2] = " s";
  w.disp->set_scale_width(continuous_width(s));
}

void reset_view_settings(SharedState& s) {
  s.env_threshold = 6;
  for (int ch = 1; ch <= 3; ++ch) {
    s.ch_offset[ch] = 0;
    s.shift_steps[ch] = 0;
    s.level_y[ch] = kNoLevel;
    s.range_index[ch] = 4;
    s.ch_max[ch] = 1000;
    s.grid_row[ch] = s.block_row[ch] = s.store_row[ch] = s.grid_col[ch] = 1;
  }
  s.time_divs = 4;
  s.amp_divs = 4;
  s.file_loaded = kFalse;
  s.cursor_x = -1;
  s.sel_x1 = -1;
  s.sel_x2 = -1;
  s.text_drag = kFalse;
  s.view_start = 0;
  s.peak_mode = kFalse;
}

void colour_scale_buttons(MainWindow& w, int ch) {
  const QColor c = to_qcolor(w.s.scale_colour[ch]);
  const QString sheet = QStringLiteral("background-color: %1; color: black;").arg(c.name());
  for (QPushButton* b : {w.mul, w.div, w.pshift, w.nshift}) b->setStyleSheet(sheet);
}

static void prepare_grid(ResultsGrid& g) {
  g.set_fixed_rows(0);
  g.set_fixed_cols(0);
  g.clear();
  g.set_col_width_twips(0, 1252);
  g.set_row_height_twips(255);
  g.set_grid_font(times_font(11, true));
  for (int c = 1; c < g.cols(); ++c) {
    g.set_col_width_twips(c, 1200);
    g.set_col_alignment(c, ResultsGrid::Align::Left);
  }
  g.set_row(0);
  g.add_item(results_header_text(false), 0);
  g.set_fixed_rows(1);
  g.set_fixed_cols(1);
  g.refresh();
}

void form_initialize(MainWindow& w) {
  SharedState& s = w.s;
  // Modes and block bookkeeping.
  s.level_div = 8;
  s.block_mode = kFalse;
  s.block_length = -1;
  s.block_count = -1;
  s.measure_mode = kFalse;
  s.show_single = kTrue;
  s.show_average = kFalse;
  s.psd_shown = kFalse;
  s.overplot_on = kFalse;
  w.SA_label->setText(" sngl");
  // Colours.
  for (int ch = 1; ch <= 3; ++ch) {
    s.scale_colour[ch] = channel_colour(ch);
    s.ch_colour[ch] = channel_colour(ch);
    s.ave_colour[ch] = kGrey;
  }
  // Rate and lengths; one screen of samples takes 80 % of the surface width.
  set_continuous_defaults(w);
  s.file_length = 180;
  s.sample_count = round_i32(static_cast<double>(s.sampling_rate) * 180);
  // The average, empty.
  s.ave_n = 0;
  w.ave_count->setText(format(s.ave_n, " ###0"));
  // Stimulus settings.
  s.stim_delay = 0;
  s.stim_count = 1;
  s.stim_interval = 0;
  w.dly1->setEditText("0");
  w.interval->setEditText("0");
  w.stim_num->setCurrentIndex(1);
  // Per-channel scale, results counters, axis divisions, cursor state.
  reset_view_settings(s);
  // The amplitude steps.
  s.range_table = {5000, 4000, 2000, 1000, 500, 250, 125,  100,  50,   25,
                   20,   10,   5,    4,    2,   1,   0.5f, 0.3f, 0.2f, 0.1f};
  s.range_count = 20;
  // One channel counted, channel 1 selected.
  s.channel_count = 1;
  s.current_ch = 1;
  // The rate and screen-length boxes show the values in force, so Monitor has a valid rate.
  w.sampling_hz->setEditText(format_general(s.sampling_rate));
  w.scr_lng->setEditText(format_general(s.scr_length));
  colour_scale_buttons(w, s.current_ch);
  // The results grids.
  for (int i = 0; i < 3; ++i) {
    prepare_grid(*w.Grid1[static_cast<size_t>(i)]);
    s.grid_row[i + 1] = s.block_row[i + 1] = s.store_row[i + 1] = s.grid_col[i + 1] = 1;
  }
  // The empty frame, and the controls of the analysis view the program starts in.
  draw_frame(w);
  update_controls(w);
}

}  // namespace quarvel
