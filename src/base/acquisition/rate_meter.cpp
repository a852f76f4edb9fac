#include "acquisition/rate_meter.h"

#include <cmath>

namespace quarvel {

void RateMeter::add(int64_t now_ns, int64_t frames) {
  total_ += frames;
  last_ns_ = now_ns;
  // The frames of the first reading came at unknown times before it: the count starts after them.
  if (!anchored_) {
    if (frames == 0) return;
    anchored_ = true;
    anchor_ns_ = now_ns;
    anchor_total_ = total_;
    return;
  }
  const int64_t span = now_ns - anchor_ns_;
  if (span < kWindowNs) return;
  window_hz_ = static_cast<double>(total_ - anchor_total_) * 1e9 / static_cast<double>(span);
  ++windows_;
  off_ = !(std::abs(window_hz_ - declared_hz_) <= kTolerance * declared_hz_);
  anchor_ns_ = now_ns;
  anchor_total_ = total_;
}

double RateMeter::arriving_hz() const {
  if (windows_ > 0) return window_hz_;
  const int64_t span = last_ns_ - anchor_ns_;
  if (!anchored_ || span < kWindowNs / 5) return 0;
  return static_cast<double>(total_ - anchor_total_) * 1e9 / static_cast<double>(span);
}

}  // namespace quarvel
