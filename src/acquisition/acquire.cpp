#include "acquisition/acquire.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <algorithm>

#include "acquisition/chunk.h"
#include "acquisition/record_file.h"
#include "acquisition/signal_source.h"
#include "core/main_window.h"
#include "core/numbers.h"
#include "display/draw_frame.h"
#include "ui/surface.h"

namespace quarvel {

int tick_interval_ms(const QString& rate_text, float sampling_rate) {
  double v = num(rate_text);
  if (!(v > 0 && v <= 1000)) v = sampling_rate;
  if (!(v > 0)) v = 10;
  const double ms = round_even(1000.0 / v);
  return static_cast<int>(std::clamp(ms, 1.0, 2147483647.0));
}

void timer1_tick(MainWindow& w) {
  w.s.timer_tick = kTrue;
}

namespace {

// State of one run of the loop.
class Sweep {
 public:
  explicit Sweep(MainWindow& w) : w_(w), s_(w.s), d_(*w.disp) {}
  QString run();

 private:
  void sample_all();
  void wait_for_tick();
  // Steps 1 and 2 of plotting a sample: the channel's vertical scale and the clipped value.
  float scaled_value(int ch);
  void plot_all(float x);
  void draw_marker(float x);
  void new_chunk();
  bool store_frame();   // true when the chunk is full after this frame
  void end_of_frame();  // a stimulus mark lasts exactly one frame
  bool flush_chunk(bool reopen);

  MainWindow& w_;
  SharedState& s_;
  Surface& d_;
  PerChannel<int16_t> cur_ = PerChannel<int16_t>::filled(0);
  PerChannel<float> y_new_ = PerChannel<float>::filled(0.0f);
  PerChannel<float> y_old_ = PerChannel<float>::filled(0.0f);
  float x_ = 0;
  Chunk chunk_;
  QString error_;
};

void Sweep::sample_all() {
  for (int ch = 1; ch <= 3; ++ch)
    if (s_.ch_source[ch] > 0) cur_[ch] = round_i16(sim_sample(s_, 0));
}

void Sweep::wait_for_tick() {
  TickTimer& t = w_.Timer1();
  t.set_interval(tick_interval_ms(w_.sampling_hz->currentText(), s_.sampling_rate));
  t.set_enabled(true);
  s_.timer_tick = kFalse;
  // Blocks in the event loop until the next event arrives, so waiting costs no processor time.
  while (!s_.timer_tick) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  t.set_enabled(false);
}

float Sweep::scaled_value(int ch) {
  const double r = s_.ch_range[ch];
  d_.set_scale_top(r * 0.475 / 0.8);
  d_.set_scale_height(-r / 0.8);
  const double h = d_.scale_height();
  const double v = static_cast<double>(cur_[ch]) + s_.ch_offset[ch];
  return static_cast<float>(std::clamp(v, 0.4 * h, -0.4 * h));
}

void Sweep::plot_all(float x) {
  for (int ch = 1; ch <= 3; ++ch) {
    if (s_.ch_source[ch] <= 0) continue;
    y_new_[ch] = scaled_value(ch);
    d_.line(x - 1, y_old_[ch], x, y_new_[ch], s_.ch_colour[ch]);
    y_old_[ch] = y_new_[ch];
  }
}

void Sweep::draw_marker(float x) {
  const double h = d_.scale_height();
  if (s_.marker_state == 100) d_.box(x - 1, 0.405 * h, x, 0.425 * h);
  if (s_.marker_state == 200) d_.line(x, 0.385 * h, x, 0.425 * h);
}

void Sweep::new_chunk() {
  chunk_.allocate(chunk_words(s_.channel_count, s_.file_length, s_.sample_interval), s_.channel_count + 1);
}

bool Sweep::store_frame() {
  for (int ch = 1; ch <= 3; ++ch)
    if (s_.ch_source[ch] > 0) chunk_.store(cur_[ch]);
  chunk_.store(s_.marker_state);
  return chunk_.full();
}

void Sweep::end_of_frame() {
  if (s_.marker_state == 200) s_.marker_state = s_.marker_saved;
}

bool Sweep::flush_chunk(bool reopen) {
  QString err;
  if (!append_frames(w_.rec_file, chunk_.data(), chunk_.used(), s_.channel_count + 1, &err)) {
    error_ = err;
    close_record_file(w_.rec_file, nullptr);
    return false;
  }
  if (!close_record_file(w_.rec_file, &err)) {
    error_ = err;
    return false;
  }
  if (reopen && !open_record_file_for_append(w_.rec_file, &err)) {
    error_ = err;
    return false;
  }
  return true;
}

QString Sweep::run() {
  // 1.-2. a fresh frame, drawn sample by sample while the loop runs
  d_.set_auto_redraw(false);
  s_.view_start = 0;
  draw_frame(w_);
  // 3.-4.
  s_.sweep_width = round_i32(d_.scale_width() * 0.8);
  x_ = 0;
  s_.marker_state = 0;
  w_.drug_button->setText("MARKER ON");
  // 5.
  if (s_.recording) new_chunk();
  // 6. the first sample only sets the starting point of every trace
  if (s_.ch_source[1] > 0) sim_sample(s_, -1);
  sample_all();
  wait_for_tick();
  for (int ch = 1; ch <= 3; ++ch) {
    if (s_.ch_source[ch] <= 0) continue;
    y_new_[ch] = scaled_value(ch);
    y_old_[ch] = y_new_[ch];
  }
  x_ = 1;
  bool recording_ok = true;
  if (s_.recording) {
    // A chunk of a single frame is full already: write it and go on with the next one.
    if (store_frame()) {
      recording_ok = flush_chunk(true);
      if (recording_ok) new_chunk();
    }
    end_of_frame();
  }
  // 7.
  s_.acq_running = kTrue;
  s_.sweep_restart = kFalse;
  s_.stop_request = kFalse;
  w_.halt->setFocus();
  w_.stim->setEnabled(true);
  // 8.
  bool go_on = recording_ok;
  while (go_on) {
    sample_all();
    wait_for_tick();
    plot_all(x_);
    draw_marker(x_);
    if (s_.recording && store_frame()) break;  // a chunk full inside a sweep ends the recording
    end_of_frame();
    x_ += 1;
    QCoreApplication::processEvents();
    if (s_.stop_request) break;
    if (x_ != s_.sweep_width && !s_.sweep_restart) continue;
    // 9. a new sweep
    if (s_.sweep_restart) {
      // A restart never touches the chunk: its position and room stay as they are, so a
      // recording cannot store past its end.
      s_.view_start = 0;
      s_.sweep_restart = kFalse;
      s_.sweep_width = round_i32(d_.scale_width() * 0.8);
    } else {
      s_.view_start +=
          static_cast<float>(static_cast<double>(s_.scr_factor) * s_.scr_length / s_.sample_interval);
    }
    // 10.-11. the first segment joins the last value of the previous sweep at x = 0
    draw_frame(w_);
    sample_all();
    wait_for_tick();
    x_ = 1;
    plot_all(x_);
    draw_marker(x_);
    // 12.-13.
    if (s_.recording && store_frame()) {
      if (!flush_chunk(true)) break;
      new_chunk();
    }
    end_of_frame();
  }
  // End
  if (!s_.block_mode) w_.stim->setEnabled(false);
  if (s_.recording && error_.isEmpty()) flush_chunk(false);
  s_.acq_running = kFalse;
  w_.halt->setEnabled(false);
  d_.set_auto_redraw(true);
  return error_;
}

}  // namespace

QString acquire(MainWindow& w) {
  return Sweep(w).run();
}

void monitor_click(MainWindow& w) {
  SharedState& s = w.s;
  if (s.acq_running) {
    w.halt->setFocus();
    return;
  }
  s.channel_count = s.count_active_channels();
  if (s.channel_count == 0) return;
  w.set_caption("MONITOR MODE");
  w.halt->setEnabled(true);
  acquire(w);
  w.halt->setEnabled(false);
  w.set_caption("CONTINUOUS MODE");
}

}  // namespace quarvel
