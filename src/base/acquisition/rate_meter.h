// The rate frames actually arrive at, against the rate the recording declares: a device sets its
// own pace, and a file whose header states the wrong rate has a wrong time base.
#pragma once

#include <cstdint>

namespace quarvel {

class RateMeter {
 public:
  static constexpr int64_t kWindowNs = 5'000'000'000;
  static constexpr double kTolerance = 0.01;

  explicit RateMeter(double declared_hz) : declared_hz_(declared_hz) {}

  // `frames` more frames arrived by `now_ns`; readings of 0 let a stalled device show as a rate
  // of 0 once it has sent nothing for a whole window. Times only go forward.
  void add(int64_t now_ns, int64_t frames);
  // Frames a second over the last whole window (from one reading with frames to the first one at
  // least 5 s later); before the first, over the arrivals so far once they span 1 s; 0 before.
  double arriving_hz() const;
  // The last whole window was off the declared rate by more than kTolerance.
  bool off() const { return off_; }
  bool measured() const { return windows_ > 0; }
  double declared_hz() const { return declared_hz_; }

 private:
  void close_window(int64_t now_ns, double hz);

  double declared_hz_;
  bool anchored_ = false;
  int64_t anchor_ns_ = 0;  // the window opened at a reading with frames, after them
  int64_t anchor_total_ = 0;
  int64_t total_ = 0;
  int64_t last_ns_ = 0;
  int64_t arrival_ns_ = 0;  // of the last reading with frames
  double window_hz_ = 0;
  int64_t windows_ = 0;
  bool off_ = false;
};

}  // namespace quarvel
