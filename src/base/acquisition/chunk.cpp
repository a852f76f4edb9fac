#include "acquisition/chunk.h"

#include <algorithm>

#include "core/numbers.h"
#include "core/typed_values.h"

namespace quarvel {

int64_t chunk_frames(float file_length, float sample_interval) {
  // Counted in frames, so the single-precision interval (0.001 is not exact) cannot cost the
  // chunk its last frame.
  const double frames =
      sample_interval > 0 ? round_even(static_cast<double>(file_length) / sample_interval) : 0;
  if (!(frames >= 1)) return 1;
  return static_cast<int64_t>(std::min(frames, static_cast<double>(kMaxRecordingFrames)));
}

}  // namespace quarvel
