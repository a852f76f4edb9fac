#include "display/curve_plan.h"

#include <algorithm>
#include <limits>

#include "core/numbers.h"

namespace quarvel {

int32_t last_shown_sample(const ViewExtent& v) {
  const double start = v.view_start;
  if (v.block_mode) {
    const double blocks_end = static_cast<double>(v.block_length) * v.block_count;
    int32_t last = blocks_end - start > v.per_screen ? round_i32(start + v.per_screen)
                                                     : static_cast<int32_t>(blocks_end - 1);
    if (last - start >= v.block_length) last = round_i32(start + v.block_length - 1);
    return last;
  }
  if (v.sample_count - start >= v.per_screen) return round_i32(start + v.per_screen);
  return v.sample_count;
}

ValueRange column_range(const float* values, int64_t count, int64_t first, int64_t last, float offset) {
  ValueRange r{std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()};
  const int64_t from = std::max<int64_t>(first, 0);
  const int64_t to = std::min<int64_t>(last, count - 1);
  for (int64_t j = from; j <= to; ++j) {
    const float v = values[j] + offset;
    if (v > r.max) r.max = v;
    if (v < r.min) r.min = v;
  }
  return r;
}

std::vector<MarkerRun> marker_runs(const std::vector<int16_t>& markers, float view_start, int32_t last) {
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
