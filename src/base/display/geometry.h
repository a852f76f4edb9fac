// The width of the user coordinate system of the plotting surface: one screen of samples takes
// 80 % of it, between a left margin of 12.5 % for the amplitude labels and a right one of 7.5 %.
#pragma once

#include <cstdint>

#include "core/shared_state.h"

namespace quarvel {

// Samples on one screen: screen length in seconds over the sampling interval.
double samples_per_screen(const SharedState& s);

// Continuous views: scr_factor x scr_length / sample_interval / 0.8 (held in single precision,
// as the surface keeps its scale).
float continuous_width(const SharedState& s);

// Block views (and the spectrum): block_length / 0.8.
float block_width(int32_t block_length);

}  // namespace quarvel
