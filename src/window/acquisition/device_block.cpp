#include "acquisition/device_block.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <utility>
#include <vector>

#include "acquisition/device_source.h"
#include "acquisition/serial_device.h"
#include "app/main_window.h"
#include "core/numbers.h"
#include "core/typed_values.h"
#include "display/draw_frame.h"
#include "modes/shown_controls.h"
#include "ui/surface.h"

namespace quarvel {

void mark_stimuli(MarkerArray& marks, int32_t last, float sample_interval, int32_t delay_ms,
                  int32_t interval_ms, int32_t count) {
  const double r = 1.0 / (static_cast<double>(sample_interval) * 1000);
  for (int32_t k = 0; k < std::max(count, 1); ++k) {
    const double t = delay_ms + static_cast<double>(k) * interval_ms;
    const double at = round_even(t * r);
    // A mark outside the block (beyond its end, or before its start) is not written.
    if (t * r <= last && at >= 0) marks[static_cast<size_t>(at)] = 200;
  }
}

namespace {

constexpr int kWakeMs = 2;
constexpr qint64 kStatusIntervalMs = 500;

// While the block is taken the loop counts as running: STOP is offered, the settings are not.
class Taking {
 public:
  explicit Taking(MainWindow& w) : w_(w) {
    w_.s.stop_request = kFalse;
    w_.s.acq_running = kTrue;
    update_controls(w_);
    w_.disp->set_auto_redraw(false);
  }
  ~Taking() {
    w_.s.acq_running = kFalse;
    w_.Timer1().set_enabled(false);
    w_.disp->set_auto_redraw(true);
    update_controls(w_);
  }
  Taking(const Taking&) = delete;
  Taking& operator=(const Taking&) = delete;

 private:
  MainWindow& w_;
};

bool wait_for_wake(MainWindow& w) {
  TickTimer& t = w.Timer1();
  t.set_interval(kWakeMs);
  t.set_enabled(true);
  w.s.timer_tick = kFalse;
  while (!w.s.timer_tick && !w.s.stop_request) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return static_cast<bool>(w.s.timer_tick);
}

}  // namespace

BlockTake take_device_block(MainWindow& w, SerialDevice& device) {
  SharedState& s = w.s;
  const int32_t length = s.block_length;
  const int32_t last = length - 1;
  MarkerArray marks;
  redim(marks, last);
  mark_stimuli(marks, last, s.sample_interval, stimulus_setting(w.dly1->currentText()),
               stimulus_setting(w.interval->currentText()), stimulus_setting(w.stim_num->currentText()));

  const Taking taking(w);
  std::vector<Frame> frames;
  // What came before the STIM belongs to no block.
  bool more = device.take_frames(frames);
  frames.clear();
  frames.reserve(static_cast<size_t>(length));
  draw_frame(w);
  PerChannel<float> y_old = PerChannel<float>::filled(0.0f);
  std::vector<Frame> arrived;
  QElapsedTimer since_status;
  while (static_cast<int32_t>(frames.size()) < length) {
    arrived.clear();
    if (more) more = device.take_frames(arrived);
    for (const Frame& f : arrived) {
      if (static_cast<int32_t>(frames.size()) == length) break;
      const int32_t j = static_cast<int32_t>(frames.size());
      frames.push_back(f);
      if (std::as_const(marks)[static_cast<size_t>(j)] == 200) (void)device.pulse_stimulus();
      for (int ch = 1; ch <= 3; ++ch) {
        if (s.ch_source[ch] <= 0) continue;
        const PlotGeometry g = w.channel_geometry(ch);
        w.disp->use_vertical(g);
        const auto y = static_cast<float>(g.clamp_to_band(f.input(s.ch_source[ch]) + s.ch_offset[ch]));
        if (j > 0) w.disp->line(j - 1, y_old[ch], j, y, s.ch_colour[ch]);
        y_old[ch] = y;
      }
    }
    if (!since_status.isValid() || since_status.elapsed() >= kStatusIntervalMs) {
      since_status.start();
      show_source_status(w, device.status());
    }
    if (static_cast<int32_t>(frames.size()) == length) break;
    if (!more) return {false, device.status().end_reason};
    if (arrived.empty()) {
      if (!wait_for_wake(w)) return {};
    } else {
      // Frames that came together are drawn at once; STOP is seen between their batches.
      QCoreApplication::processEvents();
      if (s.stop_request) return {};
    }
  }
  show_source_status(w, device.status());

  s.raw_data.redim(3, last);
  for (int32_t j = 0; j <= last; ++j)
    for (int ch = 1; ch <= 3; ++ch)
      s.raw_data(ch, j) = s.ch_source[ch] > 0 ? frames[static_cast<size_t>(j)].input(s.ch_source[ch]) : 0.0f;
  s.marker_data = marks;
  return {true, {}};
}

}  // namespace quarvel
