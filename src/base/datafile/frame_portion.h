// A recording's frames handed over a portion at a time, in order, so that a long recording can be
// read and written without holding it whole: a file reader hands what it decoded, arrays in memory
// hand themselves as one portion, and a writer takes either the same way.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/sample_array.h"
#include "datafile/result.h"

namespace quarvel {

struct FramePortion {
  int64_t first = 0;  // index of the portion's first frame in the recording
  int64_t count = 0;
  std::array<const float*, 3> samples{};  // channels 1..C: samples[ch - 1][0..count - 1]
  const int16_t* markers = nullptr;       // marker words of the first markers_held frames
  int64_t markers_held = 0;               // frames after them have the word 0
};

using FramePortionSink = std::function<Status(const FramePortion&)>;

// Hands every frame of a recording, from the first, to the sink in consecutive portions; ends at
// the first failure, its own or the sink's, and returns it. A source can be read more than once.
using FrameSource = std::function<Status(const FramePortionSink&)>;

// Frames 0..sample_count - 1 of channels 1..channels of `samples` and their marker words (0
// beyond the words held), as one portion. The arrays must outlive the source and hold
// sample_count samples in each of those channels.
FrameSource frames_in_memory(const SampleArray& samples, int channels, const std::vector<int16_t>& markers,
                             int32_t sample_count);

}  // namespace quarvel
