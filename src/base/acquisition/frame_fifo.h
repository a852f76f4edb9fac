// The frames a device's reader has parsed and the acquisition loop has not taken yet: filled on
// the reader's thread, emptied on the window's, oldest first. Bounded; a frame that finds it full
// is lost and counted, never silently.
#pragma once

#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "acquisition/device_frame.h"

namespace quarvel {

// Frames held for a device at `rate_hz`: two minutes of them, never fewer than two minutes at
// 1 kHz nor more than 2^22 (32 MiB).
size_t fifo_capacity_for(double rate_hz);

class FrameFifo {
 public:
  explicit FrameFifo(size_t capacity);
  // Adds the frames in order; those that find the buffer full are dropped and counted.
  void push(std::span<const Frame> frames);
  // Moves every frame held, oldest first, to the end of `out`.
  void take_all(std::vector<Frame>& out);
  // Frames lost because the buffer was full.
  int64_t overruns() const;
  size_t capacity() const { return ring_.size(); }

 private:
  mutable std::mutex mutex_;
  std::vector<Frame> ring_;
  size_t head_ = 0;  // oldest frame held
  size_t held_ = 0;
  int64_t overruns_ = 0;
};

}  // namespace quarvel
