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
#include "display/navigation.h"
#include "display/plot_geometry.h"
#include "display/status_line.h"
#include "support/loaded_file.h"
#include "ui/surface.h"

namespace quarvel::testing {

inline float pattern(int ch, int32_t i) {
  return static_cast<float>(ch * 100 + (i * 37) % 251 - 125);
}

// A block file of block_count blocks of block_length samples on channels 1..channels, as File >
// Open shows it (or of sample_count samples when given, the last block shorter).
inline void load_block_file(MainWindow& w, int32_t block_length, int32_t block_count, float interval,
                            int channels = 2, int32_t sample_count = -1) {
  LoadShape shape;
  shape.channels = channels;
  shape.frames = sample_count < 0 ? block_length * block_count : sample_count;
  shape.sample_interval = interval;
  shape.block_length = block_length;
  shape.sample = pattern;
  load_shape(w, shape);
}

// A continuous file of one channel shown with screens scr_length seconds long.
inline void load_continuous_file(MainWindow& w, int32_t sample_count, float interval, float scr_length) {
  LoadShape shape;
  shape.frames = sample_count;
  shape.sample_interval = interval;
  shape.sample = pattern;
  load_shape(w, shape);
  w.s.cont_scr_length = scr_length;
  set_time_scale(w, TimeScale{scr_length, 1, QStringLiteral(" s"),
                              static_cast<float>(static_cast<double>(scr_length) / interval / 0.8)});
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
