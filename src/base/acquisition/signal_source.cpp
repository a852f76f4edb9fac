#include "acquisition/signal_source.h"

#include <cmath>

#include "core/numbers.h"

namespace quarvel {

static constexpr double kTwoPi = 6.28318530717958;

float sim_sample(SharedState& s, int16_t mode) {
  if (mode == -1) {
    s.sim_phase = 0;
    return 0;
  }
  const double u1 = s.rng.next();
  const int64_t k = static_cast<int64_t>(round_even(static_cast<double>(s.sim_phase) * kTwoPi / 100)) % 100;
  const double sine = std::sin(u1 * 10 + static_cast<double>(k));
  const double u2 = s.rng.next();
  const float result = static_cast<float>((u2 - 0.5) * 50 + sine * 50);
  s.sim_phase += 1;
  return result;
}

float block_sample(SharedState& s) {
  const double u = s.rng.next();
  return static_cast<float>((u - 0.5) * 50 +
                            std::sin(static_cast<double>(s.block_phase) * kTwoPi / 100) * 50);
}

}  // namespace quarvel
