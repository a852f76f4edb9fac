// A filter applied to the working samples: the Butterworth design of FilterSettings run forward
// and backward over each channel they tick, in a block view over each block on its own. The
// result is a new array; the samples given are never changed, so a cancelled filter leaves them
// as they were, and the raw samples they may share stay as they are.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "core/sample_array.h"
#include "modes/butterworth.h"
#include "modes/filter_settings.h"

namespace quarvel {

// The cascade the settings ask for at rate_hz; empty when filter_refusal refuses it.
SosCascade filter_design(const FilterSettings& settings, double rate_hz);

// Told how far the filter is (percent of all its samples, each time the figure grows) and asked,
// between stretches of at most kFilterTickSamples samples, whether to stop.
struct FilterProgress {
  std::function<void(int percent)> portion_done;
  std::function<bool()> cancel_requested;
};

// data with the settings' filter run over every channel they tick that data holds. With
// block_length > 0 the samples are filtered in pieces of block_length from the start, each on its
// own as if it were a file (the samples after the last whole block make one more piece), so that
// no block's filtered samples depend on its neighbours'. The channels not filtered are shared
// with data; each filtered one takes one float copy. Nothing when filter_refusal refuses the
// settings or when cancel_requested asked to stop.
std::optional<SampleArray> apply_filter(const SampleArray& data, const FilterSettings& settings,
                                        double rate_hz, int32_t block_length,
                                        const FilterProgress& progress = {});

}  // namespace quarvel
