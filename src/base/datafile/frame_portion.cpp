#include "datafile/frame_portion.h"

#include <algorithm>

namespace quarvel {

FrameSource frames_in_memory(const SampleArray& samples, int channels, const std::vector<int16_t>& markers,
                             int32_t sample_count) {
  return [&samples, channels, &markers, sample_count](const FramePortionSink& sink) -> Status {
    FramePortion p;
    p.count = sample_count;
    for (int ch = 1; ch <= std::min(channels, 3); ++ch)
      p.samples[static_cast<std::size_t>(ch - 1)] = samples.channel(ch);
    p.markers = markers.data();
    p.markers_held = std::min<int64_t>(static_cast<int64_t>(markers.size()), sample_count);
    return sink(p);
  };
}

}  // namespace quarvel
