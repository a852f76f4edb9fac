// The arithmetic behind curve plotting, free of any drawing: which samples a view shows, the
// lowest and highest value of the samples that fall on one pixel column, the clamping of values
// to the amplitude band, and the runs of the marker channel that become marker bars.
#pragma once

#include <cstdint>
#include <vector>

#include "core/shared_state.h"

namespace quarvel {

// Which curves a picture shows: the display mode's choice, except in the spectrum view, which
// shows the spectra of the blocks and no average (the average is of the curves, not of spectra).
struct ShownCurves {
  bool single = true;
  bool average = false;
};
ShownCurves shown_curves(const SharedState& s);

// The extent of the data a picture may show.
struct ViewExtent {
  bool block_mode = false;
  int32_t block_length = -1;
  int32_t block_count = -1;
  int32_t sample_count = 0;
  double view_start = 0;
  double per_screen = 0;  // samples per screen (0.8 x the user width of the surface)
};

// Index of the last sample the view draws. Continuous views end one screen after view_start or
// at the last of the sample_count samples; block views end one screen after view_start or at the last sample of the last
// block, and never show more than one block. The result may lie past the stored samples: callers
// clip it to the arrays they read.
int32_t last_shown_sample(const ViewExtent& v);

// Lowest and highest value of a column; empty when no sample of the column could be read.
struct ValueRange {
  float min = 0;
  float max = 0;
  bool empty() const { return !(min <= max); }
};

// Range of values[j] + offset over j = first..last (both included), reading only the indices
// 0..count-1 that lie inside it. Values that compare with nothing (NaN) are skipped.
ValueRange column_range(const float* values, int64_t count, int64_t first, int64_t last, float offset);

// v brought into the band from bottom to top.
inline double clamp_to_band(double v, double top, double bottom) {
  if (v > top) return top;
  if (v < bottom) return bottom;
  return v;
}

// A marker bar: from x position start - view_start to end - view_start, in samples. A bar that
// was already on at the left edge starts at view_start itself.
struct MarkerRun {
  double start = 0;
  int32_t end = 0;
};

// The marker bars of the samples round(view_start)..last (clipped to the marker words present).
// A bar opens at a word 100 (or at the left edge when the first word is above 0) and closes at
// the first following word other than 100, which it still reaches; a bar still open at the end
// stops at the last sample read.
std::vector<MarkerRun> marker_runs(const std::vector<int16_t>& markers, double view_start, int32_t last);

}  // namespace quarvel
