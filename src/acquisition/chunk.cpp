#include "acquisition/chunk.h"

#include <algorithm>

#include "core/numbers.h"

namespace quarvel {

int32_t chunk_words(int channel_count, float file_length, float sample_interval) {
  const int frame = channel_count + 1;
  // Counted in frames, so the single-precision interval (0.001 is not exact) cannot cost the
  // chunk its last frame.
  const double frames =
      sample_interval > 0 ? round_even(static_cast<double>(file_length) / sample_interval) : 0;
  const double limit = (1 << 30) / frame;  // far beyond any recording a chunk is meant for
  return static_cast<int32_t>(std::clamp(frames, 1.0, limit)) * frame;
}

void Chunk::allocate(int32_t n, int frame_words) {
  n = std::max(n - n % std::max(frame_words, 1), frame_words);
  words_.assign(static_cast<size_t>(n), 0);
  pos_ = 1;
  left_ = n;
}

}  // namespace quarvel
