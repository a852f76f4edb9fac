// The sampling timer Timer1: an interval in milliseconds, switched on and off, calling on_tick
// every interval while on. The window is given the real one; tests give one that ticks at once.
#pragma once

#include <QTimer>
#include <functional>

namespace quarvel {

class TickTimer {
 public:
  virtual ~TickTimer() = default;
  // A new interval counts from now; the interval in force already changes nothing.
  virtual void set_interval(int ms) = 0;
  virtual int interval() const = 0;
  // Switching on a timer that is on already leaves its ticks where they were.
  virtual void set_enabled(bool on) = 0;
  virtual bool enabled() const = 0;
  std::function<void()> on_tick;
};

// A precise toolkit timer, so short intervals (down to 1 ms) are kept.
class PreciseTickTimer : public TickTimer {
 public:
  PreciseTickTimer();
  void set_interval(int ms) override;
  int interval() const override { return timer_.interval(); }
  void set_enabled(bool on) override;
  bool enabled() const override { return timer_.isActive(); }

 private:
  QTimer timer_;
};

}  // namespace quarvel
