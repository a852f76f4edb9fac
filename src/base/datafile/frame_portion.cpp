#include "datafile/frame_portion.h"

#include <algorithm>

namespace quarvel {

namespace {

// Whole-number channels are handed as floats this many frames at a time, so that reading them
// never makes the whole channel floats.
constexpr int64_t kWholePortion = 65536;

}  // namespace

FrameSource frames_in_memory(const SampleArray& samples, int channels, const std::vector<int16_t>& markers,
                             int32_t sample_count) {
  return [&samples, channels, &markers, sample_count](const FramePortionSink& sink) -> Status {
    const int c = std::min(channels, 3);
    bool whole = false;
    for (int ch = 1; ch <= c; ++ch) whole = whole || samples.holds_whole(ch);
    const auto held = static_cast<int64_t>(markers.size());
    if (!whole) {
      FramePortion p;
      p.count = sample_count;
      for (int ch = 1; ch <= c; ++ch) p.samples[static_cast<std::size_t>(ch - 1)] = samples.channel(ch);
      p.markers = markers.data();
      p.markers_held = std::min<int64_t>(held, sample_count);
      return sink(p);
    }
    std::vector<float> floats(static_cast<std::size_t>(c * kWholePortion));
    for (int64_t first = 0; first < sample_count; first += kWholePortion) {
      FramePortion p;
      p.first = first;
      p.count = std::min<int64_t>(kWholePortion, sample_count - first);
      for (int ch = 1; ch <= c; ++ch) {
        float* to = floats.data() + (ch - 1) * kWholePortion;
        samples.copy_out(ch, first, p.count, to);
        p.samples[static_cast<std::size_t>(ch - 1)] = to;
      }
      p.markers = markers.data() + std::min(first, held);
      p.markers_held = std::clamp<int64_t>(held - first, 0, p.count);
      if (Status st = sink(p); !st) return st;
    }
    return {};
  };
}

}  // namespace quarvel
