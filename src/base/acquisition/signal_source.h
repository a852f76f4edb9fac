// The built-in signal generator: every acquired sample comes from here (noise plus a slow sine,
// in converter units), and so do the samples of a generated block.
#pragma once

#include <cstdint>

#include "core/shared_state.h"

namespace quarvel {

// mode -1 resets the sample counter sim_phase and returns 0 without drawing a random number;
// any other mode returns the next sample, in [-75, +75), and advances the counter by one.
float sim_sample(SharedState& s, int16_t mode);

// One value of a generated block: (u - 0.5) x 50 + sin(block_phase x 2 pi / 100) x 50 with a
// fresh random u; block_phase stays 0, so this is uniform noise in [-25, +25).
float block_sample(SharedState& s);

}  // namespace quarvel
