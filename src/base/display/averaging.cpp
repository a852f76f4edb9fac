#include "display/averaging.h"

#include <algorithm>

#include "core/numbers.h"

namespace quarvel {

int32_t add_block_to_average(SampleArray& ave, float ave_n, const SampleArray& work, double view_start,
                             const PerChannel<int16_t>& ch_source) {
  const int32_t work_last = work.last_index();
  int32_t n = ave.last_index();
  if (view_start + n > work_last) n = round_i32(work_last - view_start);
  if (n < 0) return -1;

  // Sample k of the block is work sample round(view_start + k); for a fractional start the last of
  // them may round one past the cut, so the range of k is also bounded by the work array's end.
  int32_t last = -1;
  for (int ch = 1; ch <= 3; ++ch) {
    if (ch_source[ch] <= 0 || ch > ave.channels() || ch > work.channels()) continue;
    float* a = ave.write_channel(ch);
    for (int32_t k = 0; k <= n; ++k) {
      const int32_t at = round_i32(view_start + k);
      if (at < 0) continue;
      if (at > work_last) break;
      a[k] = (ave_n * a[k] + work(ch, at)) / (ave_n + 1);
      last = std::max(last, k);
    }
  }
  return last;
}

float rebuild_average(SampleArray& ave, const SampleArray& work, const std::vector<double>& starts,
                      const PerChannel<int16_t>& ch_source) {
  ave.redim(std::max(ave.channels(), 3), ave.last_index());
  float n = 0;
  for (const double start : starts)
    if (add_block_to_average(ave, n, work, start, ch_source) >= 0) n += 1;
  return n;
}

}  // namespace quarvel
