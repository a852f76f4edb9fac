// The peak scan on plain samples: the troughs and peaks of a signal that swings through a band
// between a lower and an upper threshold level. The band gives the detection a hysteresis: the
// signal counts as below once it reaches the lower level and as above once it reaches the upper
// one, so noise around a single level adds no extremes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace quarvel {

// Index of the smallest sample in from..to (inclusive); on equal values the lowest index wins,
// and to < from gives from. Indices outside the samples are not looked at.
int32_t index_of_min(std::span<const float> samples, int32_t from, int32_t to);
// The same for the largest sample.
int32_t index_of_max(std::span<const float> samples, int32_t from, int32_t to);

struct PeakExtreme {
  int32_t index = 0;
  bool peak = false;  // false: a trough
  bool operator==(const PeakExtreme&) const = default;
};

enum class PeakScanEnd {
  NotRun,   // the range does not lie inside the samples: nothing was looked at
  Stopped,  // the signal never left the band the way a first crossing needs before the end
  Ended,    // every sample of the range was examined
};

struct PeakScan {
  std::vector<PeakExtreme> extremes;  // in the order found: troughs and peaks alternate
  PeakScanEnd end = PeakScanEnd::NotRun;
};

// Scans samples start..end - 1 of the plotted signal samples[i] + offset against the band lo..hi.
// The first crossing of the band only sets the direction; from then on every rise above hi
// closes a trough (the lowest sample since the signal fell to lo) and every fall below lo closes
// a peak (the highest sample since it rose to hi). Extremes are found on the raw samples. The
// first sample is always examined, even when start = end.
PeakScan scan_peaks(std::span<const float> samples, float offset, double lo, double hi, int32_t start,
                    int32_t end);

}  // namespace quarvel
