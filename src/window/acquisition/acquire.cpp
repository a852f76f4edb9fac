#include "acquisition/acquire.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <algorithm>

#include "acquisition/chunk.h"
#include "acquisition/device_source.h"
#include "acquisition/sample_pace.h"
#include "acquisition/serial_device.h"
#include "acquisition/signal_source.h"
#include "app/main_window.h"
#include "core/numbers.h"
#include "display/draw_frame.h"
#include "modes/shown_controls.h"
#include "ui/surface.h"

namespace quarvel {

double pace_rate_hz(const QString& rate_text, float sampling_rate) {
  double v = num(rate_text);
  if (!(v > 0 && v <= 1000)) v = sampling_rate;
  if (!(v > 0 && v <= 1000)) v = 10;
  return v;
}

int wake_interval_ms(int64_t ns) {
  constexpr int64_t kMs = 1000 * 1000;
  const int64_t ms = ns > 0 ? (ns + kMs - 1) / kMs : 1;
  return static_cast<int>(std::clamp<int64_t>(ms, 1, 2147483647));
}

void timer1_tick(MainWindow& w) {
  w.s.timer_tick = kTrue;
}

namespace {

// Samples of a sweep: those of one screen, and at least one.
int32_t sweep_width_of(const PlotGeometry& g) {
  return std::max(1, round_i32(g.samples_on_screen()));
}

// Frames reach the disk at least this often while recording, so a crash or a power loss costs
// at most the last second.
constexpr qint64 kFlushIntervalMs = 1000;

// How often the loop looks for a device's frames while none is waiting: well within the 5 ms a
// frame may take from its last byte to the screen, at little cost to the processor.
constexpr int kDeviceWakeMs = 2;
// How often the source line shows the device's status while the loop runs.
constexpr qint64 kStatusIntervalMs = 500;

// State of one run of the loop.
class Sweep {
 public:
  Sweep(MainWindow& w, SerialDevice* device)
      : w_(w), s_(w.s), d_(*w.disp), pace_(w.clock()), device_(device) {}
  AcquireEnd run();

 private:
  // The first sample, which only starts the traces; false when the loop is not to go on.
  bool start();
  // One sample inside a sweep; false when the loop ends after it.
  bool sample_in_sweep();
  // A new sweep at the left edge with its first sample; false when the loop ends.
  bool new_sweep();
  void sample_all();
  // The next sample of every channel: the generator's once it falls due, or the device's next
  // frame once there is one; false when STOP came first or the device's stream ended.
  bool next_sample();
  bool next_device_frame();
  // Waits for the next wake of the timer; false when STOP came first.
  bool wait_for_wake();
  void show_status_when_due();
  // After a STOP while recording: the frames that arrived before it go to the file as well.
  void store_the_rest();
  // Waits until the next sample falls due, at once when it has already; false when STOP came
  // first (the sample is then not taken).
  bool wait_for_tick();
  // The period of the rate in the box, read again for every sample.
  int64_t period_in_box() const;
  // The channel's vertical scale and the newest sample clipped to its band.
  float scaled_value(int ch);
  void plot_all(float x);
  void draw_marker(float x);
  int64_t frame_bytes() const { return 2LL * (s_.channel_count + 1); }
  void new_chunk() { chunk_.start(chunk_frames(s_.file_length, s_.sample_interval)); }
  bool store_frame();   // true when the chunk is full after this frame
  void end_of_frame();  // a stimulus mark lasts exactly one frame
  bool flush();         // false (with error_ set) when the frames could not be written
  bool flush_when_due();

  MainWindow& w_;
  SharedState& s_;
  Surface& d_;
  PerChannel<int16_t> cur_ = PerChannel<int16_t>::filled(0);
  PerChannel<float> y_new_ = PerChannel<float>::filled(0.0f);
  PerChannel<float> y_old_ = PerChannel<float>::filled(0.0f);
  float x_ = 0;
  PlotGeometry last_scale_{1, 1};
  SamplePace pace_;
  ChunkCount chunk_;
  QElapsedTimer since_flush_;
  QString error_;
  SerialDevice* device_;  // null: the generator
  std::vector<Frame> taken_;
  size_t next_ = 0;        // the next of taken_ to use
  bool stream_on_ = true;  // the device may still deliver frames
  bool chunk_full_ = false;
  QString device_ended_;
  QElapsedTimer since_status_;
};

void Sweep::sample_all() {
  for (int ch = 1; ch <= 3; ++ch) {
    const int input = s_.ch_source[ch];
    if (input <= 0) continue;
    cur_[ch] = round_i16(sim_sample(s_, 0));
    // What the calibration dialog offers as the input's value now.
    if (input <= kInputCount) {
      s_.input_value[input] = cur_[ch];
      s_.input_sampled[input] = kTrue;
    }
  }
}

bool Sweep::next_sample() {
  if (device_) return next_device_frame();
  sample_all();
  return wait_for_tick();
}

bool Sweep::wait_for_wake() {
  TickTimer& t = w_.Timer1();
  t.set_interval(kDeviceWakeMs);
  t.set_enabled(true);
  s_.timer_tick = kFalse;
  while (!s_.timer_tick && !s_.stop_request) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  return static_cast<bool>(s_.timer_tick);
}

bool Sweep::next_device_frame() {
  while (next_ >= taken_.size()) {
    taken_.clear();
    next_ = 0;
    if (stream_on_) stream_on_ = device_->take_frames(taken_);
    show_status_when_due();
    if (!taken_.empty()) break;
    if (!stream_on_) {
      device_ended_ = device_->status().end_reason;
      return false;
    }
    if (!wait_for_wake()) return false;
  }
  const Frame& f = taken_[next_++];
  for (int ch = 1; ch <= 3; ++ch)
    if (s_.ch_source[ch] > 0) cur_[ch] = f.input(s_.ch_source[ch]);
  return true;
}

void Sweep::show_status_when_due() {
  if (since_status_.isValid() && since_status_.elapsed() < kStatusIntervalMs) return;
  since_status_.start();
  show_source_status(w_, device_->status());
}

void Sweep::store_the_rest() {
  if (!device_ || !s_.recording || !error_.isEmpty() || chunk_full_) return;
  device_->stop();
  (void)device_->take_frames(taken_);
  while (next_ < taken_.size()) {
    const Frame& f = taken_[next_++];
    for (int ch = 1; ch <= 3; ++ch)
      if (s_.ch_source[ch] > 0) cur_[ch] = f.input(s_.ch_source[ch]);
    const bool full = store_frame();
    end_of_frame();
    if (full) return;
  }
}

int64_t Sweep::period_in_box() const {
  return sample_period_ns(pace_rate_hz(w_.sampling_hz->currentText(), s_.sampling_rate));
}

bool Sweep::wait_for_tick() {
  pace_.set_period(period_in_box());
  TickTimer& t = w_.Timer1();
  while (!pace_.take()) {
    t.set_interval(wake_interval_ms(pace_.until_next_ns()));
    t.set_enabled(true);
    s_.timer_tick = kFalse;
    // Blocks in the event loop until the next event arrives, so waiting costs no processor time;
    // a STOP ends the wait at once, however slow the rate. The timer stays on from one sample to
    // the next, which costs less than starting it again for each; the end of the loop stops it.
    // A tick that comes before the sample is due only means waiting once more.
    while (!s_.timer_tick && !s_.stop_request) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!s_.timer_tick) return false;
  }
  return true;
}

float Sweep::scaled_value(int ch) {
  const PlotGeometry g = w_.channel_geometry(ch);
  d_.use_vertical(g);
  last_scale_ = g;
  return static_cast<float>(g.clamp_to_band(static_cast<double>(cur_[ch]) + s_.ch_offset[ch]));
}

void Sweep::plot_all(float x) {
  for (int ch = 1; ch <= 3; ++ch) {
    if (s_.ch_source[ch] <= 0) continue;
    y_new_[ch] = scaled_value(ch);
    // A screen of less than one sample keeps its one segment inside the plot.
    const double right_edge = w_.channel_geometry(ch).plot_right();
    d_.line(std::min<double>(x - 1, right_edge), y_old_[ch], std::min<double>(x, right_edge), y_new_[ch],
            s_.ch_colour[ch]);
    y_old_[ch] = y_new_[ch];
  }
}

// The marker symbols go into the strip above the time axis, in the scale of the channel plotted
// last.
void Sweep::draw_marker(float x) {
  const PlotGeometry& g = last_scale_;
  x = static_cast<float>(std::min<double>(x, g.plot_right()));
  if (s_.marker_state == 100) d_.box(x - 1, g.marker_top(), x, g.time_axis_y());
  if (s_.marker_state == 200) d_.line(x, g.tick_top(), x, g.time_axis_y());
}

bool Sweep::store_frame() {
  int16_t frame[4];
  int n = 0;
  for (int ch = 1; ch <= 3; ++ch)
    if (s_.ch_source[ch] > 0) frame[n++] = cur_[ch];
  frame[n++] = s_.marker_state;
  w_.recorder.append_words(frame, n);
  return chunk_.store_frame();
}

void Sweep::end_of_frame() {
  if (s_.marker_state != 200) return;
  // A Firmata board sets its stimulus output as the marked frame is taken.
  if (device_) (void)device_->pulse_stimulus();
  s_.marker_state = s_.marker_saved;
}

bool Sweep::flush() {
  since_flush_.restart();
  const Status st = w_.recorder.flush(frame_bytes());
  if (!st) error_ = st.failure().detail;
  return st.ok();
}

bool Sweep::flush_when_due() {
  return since_flush_.elapsed() < kFlushIntervalMs || flush();
}

// Whatever way the loop is left, an exception included, it is not running any more, its timer is
// off, the window offers what it offers without a loop and the surface keeps its picture again.
class LoopEnd {
 public:
  explicit LoopEnd(MainWindow& w) : w_(w) {}
  ~LoopEnd() {
    w_.s.acq_running = kFalse;
    w_.Timer1().set_enabled(false);
    w_.disp->set_auto_redraw(true);
    update_controls(w_);
  }
  LoopEnd(const LoopEnd&) = delete;
  LoopEnd& operator=(const LoopEnd&) = delete;

 private:
  MainWindow& w_;
};

AcquireEnd Sweep::run() {
  const LoopEnd loop_end(w_);
  // A sweep ends at the right edge, however few samples a screen holds: with one sample or less
  // every sample starts a sweep of its own.
  bool go_on = start() && sample_in_sweep();
  while (go_on) go_on = x_ >= s_.sweep_width || s_.sweep_restart ? new_sweep() : sample_in_sweep();
  if (device_ && device_ended_.isEmpty() && s_.stop_request) store_the_rest();
  if (s_.recording && error_.isEmpty()) flush();
  if (device_) show_source_status(w_, device_->status());
  return {error_, device_ended_};
}

bool Sweep::start() {
  // Requests made before the loop starts are for an earlier run; those made from here on are
  // kept. The frame is drawn fresh, and the sweep drawn sample by sample onto it.
  s_.stop_request = kFalse;
  s_.sweep_restart = kFalse;
  // Running from here on: STOP is offered while the first sample is awaited, and a second
  // Monitor starts no second loop.
  s_.acq_running = kTrue;
  update_controls(w_);
  d_.set_auto_redraw(false);
  s_.view_start = 0;
  draw_frame(w_);
  s_.sweep_width = sweep_width_of(w_.channel_geometry(s_.current_ch));
  x_ = 0;
  s_.marker_state = 0;
  w_.drug_button->setText("MARKER ON");
  if (s_.recording) {
    new_chunk();
    since_flush_.start();
  }
  // The first sample only sets the starting point of every trace; it falls due one period from
  // here. A device's frames count from here: those that came before belong to no run.
  bool go_on = false;
  if (device_) {
    std::vector<Frame> before;
    stream_on_ = device_->take_frames(before);
    go_on = next_device_frame();
  } else {
    pace_.start(period_in_box());
    if (s_.ch_source[1] > 0) sim_sample(s_, -1);
    sample_all();
    go_on = wait_for_tick();
  }
  if (go_on) {
    for (int ch = 1; ch <= 3; ++ch) {
      if (s_.ch_source[ch] <= 0) continue;
      y_new_[ch] = scaled_value(ch);
      y_old_[ch] = y_new_[ch];
    }
    x_ = 1;
    if (s_.recording) {
      // A chunk of a single frame is full already: its frame goes to the file and the next chunk
      // begins.
      if (store_frame()) {
        go_on = flush();
        new_chunk();
      }
      end_of_frame();
    }
  }
  w_.halt->setFocus();
  return go_on && !s_.stop_request;
}

bool Sweep::sample_in_sweep() {
  if (!next_sample()) return false;
  plot_all(x_);
  draw_marker(x_);
  if (s_.recording) {
    // A chunk full inside a sweep ends the recording.
    if (store_frame()) {
      chunk_full_ = true;
      end_of_frame();
      return false;
    }
    if (!flush_when_due()) return false;
  }
  end_of_frame();
  x_ += 1;
  // Waiting for the next sample lets the event queue run; samples taken without a wait (a late
  // tick catching up, a device's frames that came together) let it run here, so STOP and the
  // buttons are seen between them too.
  if (device_ ? next_ < taken_.size() : pace_.owed() > 0) QCoreApplication::processEvents();
  return !s_.stop_request;
}

bool Sweep::new_sweep() {
  if (s_.sweep_restart) {
    // A restart never touches the chunk: the recording keeps its length.
    s_.view_start = 0;
    s_.sweep_restart = kFalse;
    s_.sweep_width = sweep_width_of(w_.channel_geometry(s_.current_ch));
  } else {
    s_.view_start += static_cast<float>(samples_per_screen(s_));
  }
  // The first segment joins the last value of the previous sweep at x = 0 to the new one at
  // x = 1, and the next sample is plotted at x = 1 again.
  draw_frame(w_);
  if (!next_sample()) return false;
  x_ = 1;
  plot_all(x_);
  draw_marker(x_);
  if (s_.recording) {
    // A chunk full on the first frame of a sweep is written, and the recording goes on.
    if (store_frame()) {
      if (!flush()) return false;
      new_chunk();
    } else if (!flush_when_due()) {
      return false;
    }
  }
  end_of_frame();
  return true;
}

}  // namespace

AcquireEnd acquire(MainWindow& w, SerialDevice* device) {
  return Sweep(w, device).run();
}

void monitor_click(MainWindow& w) {
  SharedState& s = w.s;
  if (s.acq_running) {
    w.halt->setFocus();
    return;
  }
  s.channel_count = s.count_active_channels();
  if (s.channel_count == 0) return;
  std::unique_ptr<SerialDevice> device;
  if (is_device(chosen_source(w)) && !(device = start_chosen_device(w))) return;
  w.set_caption("MONITOR MODE");
  const AcquireEnd end = acquire(w, device.get());
  // A mode command that ended the loop (Block mode) has put its own caption up.
  if (!s.block_mode) w.set_caption("CONTINUOUS MODE");
  if (device) finish_device_run(w, *device, end.device_ended);
}

}  // namespace quarvel
