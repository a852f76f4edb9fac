#include "measure/peak_scan.h"

#include <algorithm>

namespace quarvel {

// The first index in from..to whose sample beats every earlier one by `better`.
template <typename Better>
static int32_t index_of_extreme(std::span<const float> samples, int32_t from, int32_t to, Better better) {
  const int32_t size = static_cast<int32_t>(samples.size());
  if (from < 0 || from >= size) return from;
  to = std::min(to, size - 1);
  int32_t best = from;
  for (int32_t i = from + 1; i <= to; ++i) {
    if (better(samples[static_cast<size_t>(i)], samples[static_cast<size_t>(best)])) best = i;
  }
  return best;
}

int32_t index_of_min(std::span<const float> samples, int32_t from, int32_t to) {
  return index_of_extreme(samples, from, to, [](float a, float b) { return a < b; });
}

int32_t index_of_max(std::span<const float> samples, int32_t from, int32_t to) {
  return index_of_extreme(samples, from, to, [](float a, float b) { return a > b; });
}

PeakScan scan_peaks(std::span<const float> samples, float offset, double lo, double hi, int32_t start,
                    int32_t end) {
  PeakScan r;
  const int64_t size = static_cast<int64_t>(samples.size());
  // Samples start..end - 1 are read, and start itself even when the range is empty.
  if (start < 0 || end < start || start >= size || end > size) return r;

  // The plotted value, in the precision the samples and offset are kept in.
  auto s = [&](int32_t i) -> double { return samples[static_cast<size_t>(i)] + offset; };
  int32_t i = start;
  int32_t a = -1;  // where the signal last fell to lo or below
  int32_t b = -1;  // where it last rose to hi or above
  r.end = PeakScanEnd::Stopped;
  do {
    if (a == -1 && b == -1) {
      if (s(i) > hi) {
        while (s(i) > lo) {
          if (++i >= end) return r;
        }
        a = i;
      } else if (s(i) < lo) {
        while (s(i) < hi) {
          if (++i >= end) return r;
        }
        b = i;
      }
    } else if (a >= 0) {
      if (s(i) > hi) {
        b = i;
        r.extremes.push_back({index_of_min(samples, a, b), false});
        a = -1;
      }
    } else if (s(i) < lo) {
      a = i;
      r.extremes.push_back({index_of_max(samples, b, a), true});
      b = -1;
    }
    ++i;
  } while (i < end);
  r.end = PeakScanEnd::Ended;
  return r;
}

}  // namespace quarvel
