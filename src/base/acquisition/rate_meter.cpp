#include "acquisition/rate_meter.h"

#include <algorithm>
#include <cmath>

namespace quarvel {

void RateMeter::add(int64_t now_ns, int64_t frames) {
  last_ns_ = now_ns;
  if (frames == 0) {
    // Nothing for a whole window: the device has stalled, which shows as a rate of 0.
    if (anchored_ && now_ns - std::max(anchor_ns_, arrival_ns_) >= kWindowNs) close_window(now_ns, 0);
    return;
  }
  total_ += frames;
  arrival_ns_ = now_ns;
  // The frames of the first reading came at unknown times before it: the count starts after them.
  // A window runs from one reading with frames to another, so the time a reading waits after
  // the last frame (a reader wakes on a timer too) does not count.
  if (!anchored_) {
    anchored_ = true;
    anchor_ns_ = now_ns;
    anchor_total_ = total_;
    return;
  }
  const int64_t span = now_ns - anchor_ns_;
  if (span >= kWindowNs)
    close_window(now_ns, static_cast<double>(total_ - anchor_total_) * 1e9 / static_cast<double>(span));
}

void RateMeter::close_window(int64_t now_ns, double hz) {
  window_hz_ = hz;
  ++windows_;
  off_ = !(std::abs(window_hz_ - declared_hz_) <= kTolerance * declared_hz_);
  anchor_ns_ = now_ns;
  anchor_total_ = total_;
}

double RateMeter::arriving_hz() const {
  if (windows_ > 0) return window_hz_;
  const int64_t span = arrival_ns_ - anchor_ns_;
  if (!anchored_ || span < kWindowNs / 5) return 0;
  return static_cast<double>(total_ - anchor_total_) * 1e9 / static_cast<double>(span);
}

}  // namespace quarvel
