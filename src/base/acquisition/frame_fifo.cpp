#include "acquisition/frame_fifo.h"

#include <algorithm>
#include <cmath>

namespace quarvel {

size_t fifo_capacity_for(double rate_hz) {
  constexpr double kLeast = 1 << 17;  // 131 s at 1 kHz
  constexpr double kMost = 1 << 22;
  const double wanted = rate_hz > 0 ? std::ceil(120 * rate_hz) : kLeast;
  return static_cast<size_t>(std::clamp(wanted, kLeast, kMost));
}

FrameFifo::FrameFifo(size_t capacity) : ring_(std::max<size_t>(capacity, 1)) {}

void FrameFifo::push(std::span<const Frame> frames) {
  const std::lock_guard lock(mutex_);
  for (const Frame& f : frames) {
    if (held_ == ring_.size()) {
      ++overruns_;
      continue;
    }
    ring_[(head_ + held_) % ring_.size()] = f;
    ++held_;
  }
}

void FrameFifo::take_all(std::vector<Frame>& out) {
  const std::lock_guard lock(mutex_);
  out.reserve(out.size() + held_);
  const size_t first = std::min(held_, ring_.size() - head_);
  out.insert(out.end(), ring_.begin() + static_cast<std::ptrdiff_t>(head_),
             ring_.begin() + static_cast<std::ptrdiff_t>(head_ + first));
  out.insert(out.end(), ring_.begin(), ring_.begin() + static_cast<std::ptrdiff_t>(held_ - first));
  head_ = 0;
  held_ = 0;
}

int64_t FrameFifo::overruns() const {
  const std::lock_guard lock(mutex_);
  return overruns_;
}

}  // namespace quarvel
