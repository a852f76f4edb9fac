// A window with a file's worth of data filled straight into the state, as the readers leave it,
// and the mouse on the plotting surface in user units.
#pragma once

#include <QAction>
#include <QImage>

#include "display/draw_frame.h"
#include "display/views.h"
#include "support/window_fixture.h"
#include "ui/surface.h"

namespace quarvel::testing {

class MeasureTest : public WindowTest {
 protected:
  // A continuous recording of one channel at 10 Hz, 8 s per screen (W = 100). Sample i holds
  // i / 4 unless a test sets it.
  void load_continuous(int32_t samples = 1800) {
    SharedState& s = w->s;
    s.file_loaded = kTrue;
    s.ch_source = {1, 0, 0};
    s.channel_count = 1;
    s.block_mode = kFalse;
    s.block_length = -1;
    s.block_count = -1;
    s.sample_count = samples;
    s.sampling_rate = 10;
    s.sample_interval = 0.1f;
    s.scr_length = 8;
    s.scr_factor = 1;
    s.unit_text[0] = " s";
    s.view_start = 0;
    fill_data(samples);
    w->disp->set_scale_width(100);
    w->mnuS->setChecked(true);
    draw_frame(*w);
  }

  // Three blocks of 100 samples at 100 Hz shown in milliseconds (W = 125), the second block on
  // the screen (view_start = 100). Sample i of a block holds 2 i + 10 (+ 1000 per block); the
  // average holds i / 2.
  void load_blocks() {
    SharedState& s = w->s;
    s.file_loaded = kTrue;
    s.ch_source = {1, 0, 0};
    s.channel_count = 1;
    s.block_mode = kTrue;
    s.block_length = 100;
    s.block_count = 3;
    s.cur_block = 1;
    s.sample_count = 300;
    s.sampling_rate = 100;
    s.sample_interval = 0.01f;
    s.scr_length = 1000;
    s.scr_factor = 0.001f;
    s.unit_text[0] = "ms";
    s.view_start = 100;
    fill_data(300);
    for (int32_t i = 0; i < 300; ++i)
      s.work_data(1, i) = static_cast<float>(2 * (i % 100) + 10 + 1000 * (i / 100));
    s.raw_data = s.work_data;
    s.ave_data.redim(1, 99);
    for (int32_t i = 0; i < 100; ++i) s.ave_data(1, i) = i / 2.0f;
    w->disp->set_scale_width(125);
    block_view_controls(*w);
    draw_frame(*w);
  }

  void fill_data(int32_t samples) {
    SharedState& s = w->s;
    s.work_data.redim(1, samples - 1);
    for (int32_t i = 0; i < samples; ++i) s.work_data(1, i) = i / 4.0f;
    s.raw_data = s.work_data;
    redim(s.marker_data, samples - 1);
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
