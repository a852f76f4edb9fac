// Loaded data for the display tests, filled into the state the way the file readers leave it:
// a block file (blocks of one length, the average one block long, the block menus enabled) or a
// continuous file. Samples follow a fixed pattern that differs per channel and per sample.
#pragma once

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "app/main_window.h"
#include "display/draw_curves.h"
#include "display/draw_frame.h"
#include "display/plot_geometry.h"
#include "display/status_line.h"
#include "ui/surface.h"

namespace quarvel::testing {

inline float pattern(int ch, int32_t i) {
  return static_cast<float>(ch * 100 + (i * 37) % 251 - 125);
}

// Channels 1..channels recorded, sample_count frames; the arrays hold one slot more, left 0.
inline void fill_data(SharedState& s, int channels, int32_t sample_count) {
  s.sample_count = sample_count;
  s.channel_count = static_cast<int16_t>(channels);
  for (int ch = 1; ch <= 3; ++ch) s.ch_source[ch] = static_cast<int16_t>(ch <= channels ? ch : 0);
  s.raw_data.redim(3, sample_count);
  for (int ch = 1; ch <= channels; ++ch) {
    s.ch_max[ch] = 0;
    for (int32_t i = 0; i < sample_count; ++i) {
      s.raw_data(ch, i) = pattern(ch, i);
      s.ch_max[ch] = std::max(s.ch_max[ch], std::fabs(s.raw_data(ch, i)));
    }
  }
  s.work_data = s.raw_data;
  redim(s.marker_data, sample_count);
  s.file_loaded = kTrue;
  s.measure_mode = kFalse;
  s.view_start = 0;
}

inline void load_block_file(MainWindow& w, int32_t block_length, int32_t block_count, float interval,
                            int channels = 2, int32_t sample_count = -1) {
  SharedState& s = w.s;
  s.sample_interval = interval;
  fill_data(s, channels, sample_count < 0 ? block_length * block_count : sample_count);
  s.block_mode = kTrue;
  s.block_length = s.blk_block_length = block_length;
  s.block_count = block_count;
  s.cur_block = 1;
  s.scr_length = static_cast<float>(block_length * interval);
  s.scr_factor = 1;
  s.unit_text[0] = " s";
  if (s.scr_length < 1) {
    s.scr_length *= 1000;
    s.scr_factor = 0.001f;
    s.unit_text[0] = "ms";
  }
  s.blk_scr_length = s.scr_length;
  s.blk_scr_factor = s.scr_factor;
  s.unit_text[1] = s.unit_text[0];
  s.ave_data.redim(3, block_length - 1);
  s.ave_n = 0;
  w.disp->set_scale_width(block_width(block_length));
  for (QAction* a : {w.mnuS_A, w.mnuA_S, w.mnuS, w.mnuA, w.mnuOverplot, w.mnuPSD, w.mnuRaw}) {
    a->setEnabled(true);
    a->setChecked(false);
  }
  w.mnuS->setChecked(true);
  w.mnuContinuous->setVisible(true);
  w.accept->setEnabled(true);
  w.clear_ave->setEnabled(true);
  w.SA_label->setText("single");
  w.status->setText(block_status_line(s));
  draw_frame(w);
  draw_curves(w);
}

inline void load_continuous_file(MainWindow& w, int32_t sample_count, float interval, float scr_length) {
  SharedState& s = w.s;
  s.sample_interval = interval;
  fill_data(s, 1, sample_count);
  s.block_mode = kFalse;
  s.block_length = s.block_count = -1;
  s.scr_length = s.cont_scr_length = scr_length;
  s.scr_factor = s.cont_scr_factor = 1;
  s.unit_text[0] = s.unit_text[2] = " s";
  w.disp->set_scale_width(continuous_width(s));
  draw_frame(w);
  draw_curves(w);
}

// draw_frame removes the time cursor; a cursor left in place shows that nothing was redrawn.
inline void place_cursor(MainWindow& w) {
  w.s.cursor_x = 7;
}
inline bool redrawn(const MainWindow& w) {
  return w.s.cursor_x == -1;
}

inline QStringList printed(Surface& d) {
  QStringList l;
  for (const auto& t : d.printed_texts()) l << t.text;
  return l;
}

}  // namespace quarvel::testing
