// A main window built with test services: scripted dialogs, a clipboard kept in memory, a timer
// that ticks as fast as the event loop runs (with a hook per tick for the test's actions), and a
// temporary folder for recordings. The plotting surface has a fixed size of 1000 x 500 pixels.
#pragma once

#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "core/main_window.h"
#include "support/scripted_dialogs.h"

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

// Ticks on the next pass of the event loop after it is switched on; before each tick the test's
// hook runs with the tick number (from 1), so a test can press buttons between samples.
class FastTimer : public TickTimer {
 public:
  void set_interval(int ms) override { interval_ = ms; }
  int interval() const override { return interval_; }
  void set_enabled(bool on) override;
  bool enabled() const override { return enabled_; }

  std::function<void(int)> before_tick;
  int ticks = 0;
  int max_ticks = 1000000;  // a runaway loop fails the test instead of hanging it

 private:
  int interval_ = 0;
  bool enabled_ = false;
  int generation_ = 0;
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Lets queued events (repaints, posted timers) run.
  static void settle();

  std::unique_ptr<MainWindow> w;
  ScriptedDialogs* dialogs = nullptr;
  MemoryClipboard* clipboard = nullptr;
  FastTimer* timer = nullptr;
  QTemporaryDir data_dir;
  bool ended = false;
};

}  // namespace quarvel::testing
