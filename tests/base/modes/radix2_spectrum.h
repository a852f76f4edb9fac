// The power spectrum as the program computed it before it used FFTW: a scalar complex radix-2
// transform with a twiddle recurrence. Kept as an independent reference for the spectrum tests.
#pragma once

#include <cstdint>
#include <optional>

#include "modes/spectrum.h"

namespace quarvel::testing {

// Same contract as power_spectrum, without progress reports.
std::optional<SpectrumResult> radix2_power_spectrum(const SampleArray& data, int32_t block_length,
                                                    int32_t block_count);

}  // namespace quarvel::testing
