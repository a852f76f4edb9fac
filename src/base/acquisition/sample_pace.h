// When the samples of an acquisition fall due. The count of samples due follows the time elapsed
// on a monotonic clock times the rate, not the number of timer ticks, so a tick that comes late
// (a busy machine, a stall) owes every sample that fell due meanwhile and the recording's time
// base stays right. Integer nanoseconds throughout, so no rounding drifts over a long recording.
//
//   SamplePace pace(clock);
//   pace.start(sample_period_ns(200));         // the first sample falls due one period from now
//   ... on every tick:  while (pace.take()) take_one_sample();
//   ... until the next: pace.until_next_ns()
#pragma once

#include <cstdint>

namespace quarvel {

// A monotonic clock in nanoseconds from an arbitrary origin. The program uses the system's
// steady clock; tests put in one they move by hand.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual int64_t now_ns() const = 0;
};

class SteadyClock final : public Clock {
 public:
  int64_t now_ns() const override;
};

// The period of a rate in hertz, rounded to the nanosecond and kept within 1 us .. 1000 s; a rate
// that is not a positive number gets the longest period.
int64_t sample_period_ns(double rate_hz);

class SamplePace {
 public:
  explicit SamplePace(const Clock& clock) : clock_(&clock) {}

  // Starts counting from the clock's present time: nothing is owed, and sample k (from 1) falls
  // due k periods from now.
  void start(int64_t period_ns);
  // A new period from now on. The samples that fell due under the old one stay owed; the next
  // falls due one new period from now. The same period again changes nothing.
  void set_period(int64_t period_ns);
  // Nothing falls due any more, owed samples included, until the next start.
  void stop() { running_ = false; }

  bool running() const { return running_; }
  int64_t period_ns() const { return period_ns_; }
  // Samples taken since the start.
  int64_t taken() const { return taken_; }
  // Samples that have fallen due and are not taken yet.
  int64_t owed() const;
  // Takes one owed sample; false (nothing counted) when none is owed.
  bool take();
  // Nanoseconds until the next sample falls due: 0 when one is owed, -1 when stopped.
  int64_t until_next_ns() const;

 private:
  int64_t due_by(int64_t now) const;

  const Clock* clock_;
  int64_t origin_ns_ = 0;      // when the current period took effect
  int64_t due_at_origin_ = 0;  // samples that had fallen due by then
  int64_t period_ns_ = 1;
  int64_t taken_ = 0;
  bool running_ = false;
};

}  // namespace quarvel
