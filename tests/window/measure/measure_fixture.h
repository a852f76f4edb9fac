// A window with a file's worth of data filled straight into the state, as the readers leave it,
// and the mouse on the plotting surface in user units.
#pragma once

#include <QAction>
#include <QImage>

#include "display/draw_frame.h"
#include "display/navigation.h"
#include "display/views.h"
#include "support/loaded_file.h"
#include "support/window_fixture.h"
#include "ui/surface.h"

namespace quarvel::testing {

class MeasureTest : public WindowTest {
 protected:
  // A continuous recording of one channel at 10 Hz, 8 s per screen (W = 100). Sample i holds
  // i / 4 unless a test sets it.
  void load_continuous(int32_t samples = 1800) {
    LoadShape shape;
    shape.frames = samples;
    shape.sample_interval = 0.1f;
    shape.sample = [](int, int32_t i) { return i / 4.0f; };
    load_shape(*w, shape);
    w->s.ch_max[1] = 1000;  // the band +-1000 the readings are worked out in
    set_time_scale(*w, TimeScale{8, 1, QStringLiteral(" s"), 100});
    draw_frame(*w);
  }

  // Three blocks of 100 samples at 100 Hz shown in milliseconds (W = 125), the second block on
  // the screen (view_start = 100). Sample i of a block holds 2 i + 10 (+ 1000 per block); the
  // average holds i / 2.
  void load_blocks() {
    LoadShape shape;
    shape.frames = 300;
    shape.sample_interval = 0.01f;
    shape.block_length = 100;
    shape.sample = [](int, int32_t i) { return static_cast<float>(2 * (i % 100) + 10 + 1000 * (i / 100)); };
    load_shape(*w, shape);
    w->s.ch_max[1] = 1000;
    set_time_scale(*w, TimeScale{1000, 0.001f, QStringLiteral("ms"), 125});
    PgDn_click(*w);
    for (int32_t i = 0; i < 100; ++i) w->s.ave_data(1, i) = i / 2.0f;
    draw_frame(*w);
  }

  void press(int button, double x, double y = 0) { emit w->disp->mouse_down(button, 0, x, y); }
  void move(int buttons, double x, double y = 0) { emit w->disp->mouse_move(buttons, 0, x, y); }

  QImage picture() { return w->disp->image().copy(); }
  // The picture of a fresh frame (which also drops every mark and the cursor state).
  QImage fresh_frame() {
    draw_frame(*w);
    return picture();
  }
};

}  // namespace quarvel::testing
