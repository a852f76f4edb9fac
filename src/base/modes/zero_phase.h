// Zero-phase filtering through a cascade of second-order sections: the samples, extended at each
// end by their odd reflection, are run through the cascade forward and then backward, each pass
// started in the steady state of a constant input at its first sample. Peaks and onsets keep
// their times, and the ends do not ring. The arithmetic is SciPy's sosfiltfilt with its default
// padding, so results can be held against it.
#pragma once

#include <cstdint>
#include <functional>

#include "modes/butterworth.h"

namespace quarvel {

// Samples reflected at each end of a long input: 3 x (2 x sections + 1), less one for each pair
// of trailing zero coefficients (a first-order section) the cascade has in both numerator and
// denominator.
int64_t zero_phase_padding(const SosCascade& sos);

// The padding used for an input of n samples: zero_phase_padding, cut to n - 1 for an input not
// longer than it. A reflection cannot reach past the far end, and a short file or block is better
// filtered with the padding it can give than refused.
int64_t zero_phase_padding(const SosCascade& sos, int64_t n);

// Told after each stretch of samples (at most kFilterTickSamples) that went through one pass;
// returns false to stop the filtering.
using FilterTick = std::function<bool(int64_t samples)>;
constexpr int64_t kFilterTickSamples = int64_t{1} << 16;

// Filters x[0..n-1] forward and backward into y[0..n-1]; y may be x. Computed in double; the
// forward pass is kept in y between the passes, so no memory beyond y is taken. Each of the two
// passes ticks for all n samples. Returns false, y partly written, when a tick asked to stop, and
// false with nothing written for a cascade of no or more than 8 sections; true for n < 1.
bool filter_zero_phase(const SosCascade& sos, const float* x, int64_t n, float* y,
                       const FilterTick& tick = {});

}  // namespace quarvel
