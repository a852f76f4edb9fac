// A main window built with test services: scripted dialogs, a clipboard kept in memory, a timer
// that ticks as fast as the event loop runs (with a hook per tick for the test's actions), a clock
// that only that timer moves, and a temporary folder for recordings. The plotting surface has a
// fixed size of 1000 x 500 pixels.
#pragma once

#include <gtest/gtest.h>
#include <QObject>
#include <QTemporaryDir>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/main_window.h"
#include "support/scripted_dialogs.h"

class QComboBox;

namespace quarvel::testing {

class MemoryClipboard : public Clipboard {
 public:
  void clear() override {
    text.clear();
    picture = QImage();
    ++clears;
  }
  void set_text(const QString& t) override { text = t; }
  void set_picture(const QImage& p) override { picture = p; }
  QString text;
  QImage picture;
  int clears = 0;
};

// A clock that stands still until moved by hand.
class HandClock : public Clock {
 public:
  int64_t now_ns() const override { return t; }
  int64_t t = 0;
};

// Ticks on the next pass of the event loop after it is switched on. Each tick first moves the
// clock on by the interval, as if the interval had passed; then the test's hook runs with the tick
// number (from 1), so a test can press buttons between samples or move the clock further.
class FastTimer : public TickTimer {
 public:
  void set_interval(int ms) override { interval_ = ms; }
  int interval() const override { return interval_; }
  void set_enabled(bool on) override;
  bool enabled() const override { return enabled_; }

  std::function<void(int)> before_tick;
  HandClock* clock = nullptr;
  int ticks = 0;
  int max_ticks = 1000000;  // a runaway loop fails the test instead of hanging it
  bool held = false;        // no tick comes, as from a slow rate, until let go

 private:
  int interval_ = 0;
  bool enabled_ = false;
  int generation_ = 0;
  // The ticks' context: a tick still queued when the timer goes (with its window, at the end of a
  // test) never comes.
  QObject context_;
};

// The shape of a recording for a test: channels, frames, sampling interval, and for a block
// file its block length. Samples and marker words come from the two functions.
struct FileShape {
  int channels = 1;
  int32_t frames = 1000;
  int32_t interval_us = 1000;
  int32_t block_length = -1;  // a block file when > 0
  std::function<int16_t(int ch, int32_t frame)> sample = [](int ch, int32_t i) {
    return static_cast<int16_t>(ch * 100 + i % 50);
  };
  std::function<int16_t(int32_t frame)> marker = [](int32_t) { return int16_t{0}; };
};

// The bytes of that recording as the program's own codec writes them (inputs 1..C).
QByteArray recording_bytes(const FileShape& shape);

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The settings store of the window; none keeps nothing between windows. Tests of what is kept
  // hand a store in a temporary file, never the user's own.
  virtual std::unique_ptr<QSettings> make_settings() { return nullptr; }
  // Ends the window (as closing it does) and builds a new one with new test services.
  void rebuild_window();

  // Lets queued events (repaints, posted timers) run.
  static void settle();

  // Makes the window the active one, so the keyboard focus and focus events work as on a desktop.
  void activate();
  // Clicks into an editable box, types `text` in place of what it held, and leaves it with `leave`
  // (Tab moves on to the next control; Return goes through the box's own Enter handling).
  void type_into(QComboBox* box, const QString& text, Qt::Key leave = Qt::Key_Tab);
  // Chooses an entry of a drop-down list with the arrow keys, as a person does once the list has
  // the focus; every entry passed on the way is chosen on the way, as with the keyboard.
  void choose_item(QComboBox* box, int index);
  // Clicks into a control and leaves it again with Tab, typing nothing.
  void visit(QWidget* control);
  // Writes a recording into the data folder and opens it with File > Open; returns its path.
  QString open_recording(const QString& name, const FileShape& shape);
  QString data_path(const QString& name) const;

  std::unique_ptr<MainWindow> w;
  ScriptedDialogs* dialogs = nullptr;
  MemoryClipboard* clipboard = nullptr;
  FastTimer* timer = nullptr;
  HandClock* clock = nullptr;
  QTemporaryDir data_dir;
  bool ended = false;

 private:
  void build_window();
};

}  // namespace quarvel::testing
