#include "display/curve_plan.h"

#include <algorithm>
#include <limits>

#include "core/numbers.h"

namespace quarvel {

ShownCurves shown_curves(const SharedState& s) {
  if (s.psd_shown) return {true, false};
  return {static_cast<bool>(s.show_single), static_cast<bool>(s.show_average)};
}

int32_t last_shown_sample(const ViewExtent& v) {
  const double start = v.view_start;
  if (v.block_mode) {
    const double blocks_end = static_cast<double>(v.block_length) * v.block_count;
    int32_t last = blocks_end - start > v.per_screen ? round_i32(start + v.per_screen)
                                                     : static_cast<int32_t>(blocks_end - 1);
    if (last - start >= v.block_length) last = round_i32(start + v.block_length - 1);
    return last;
  }
  // The recording's last sample is sample_count - 1: nothing past it is drawn or exported.
  if (v.sample_count - 1 - start >= v.per_screen) return round_i32(start + v.per_screen);
  return v.sample_count - 1;
}

ValueRange column_range(const float* values, int64_t count, int64_t first, int64_t last, float offset) {
  constexpr float inf = std::numeric_limits<float>::infinity();
  const int64_t from = std::max<int64_t>(first, 0);
  const int64_t to = std::min<int64_t>(last, count - 1);
  // Four independent lanes keep the comparisons from waiting on each other; a NaN never wins a
  // comparison, so it is skipped.
  float lo[4] = {inf, inf, inf, inf};
  float hi[4] = {-inf, -inf, -inf, -inf};
  int64_t j = from;
  for (; j + 3 <= to; j += 4) {
    for (int k = 0; k < 4; ++k) {
      const float v = values[j + k];
      lo[k] = v < lo[k] ? v : lo[k];
      hi[k] = v > hi[k] ? v : hi[k];
    }
  }
  for (; j <= to; ++j) {
    const float v = values[j];
    lo[0] = v < lo[0] ? v : lo[0];
    hi[0] = v > hi[0] ? v : hi[0];
  }
  ValueRange r{std::min(std::min(lo[0], lo[1]), std::min(lo[2], lo[3])),
               std::max(std::max(hi[0], hi[1]), std::max(hi[2], hi[3]))};
  if (r.empty()) return r;
  // Rounding is monotonic, so the extremes of v + offset are the extremes of v plus offset.
  r.min += offset;
  r.max += offset;
  return r;
}

std::vector<MarkerRun> marker_runs(const std::vector<int16_t>& markers, double view_start, int32_t last) {
  std::vector<MarkerRun> runs;
  const int32_t first = round_i32(view_start);
  const int32_t stop = std::min<int64_t>(last, static_cast<int64_t>(markers.size()) - 1);
  if (first < 0 || first > stop) return runs;
  bool open = markers[static_cast<size_t>(first)] > 0;
  double bar_start = open ? view_start : -1;
  for (int32_t i = first; i <= stop; ++i) {
    const int16_t m = markers[static_cast<size_t>(i)];
    if (m == 100 && !open) {
      bar_start = i;
      open = true;
    } else if (m != 100 && open) {
      runs.push_back(MarkerRun{bar_start, i});
      open = false;
    }
  }
  if (open) runs.push_back(MarkerRun{bar_start, stop});
  return runs;
}

}  // namespace quarvel
