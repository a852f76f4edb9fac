#include "display/plot_geometry.h"

#include "core/numbers.h"

namespace quarvel {

double samples_per_screen(const SharedState& s) {
  return decimal_of(s.scr_factor) * s.scr_length / decimal_of(s.sample_interval);
}

double continuous_width(const SharedState& s) {
  return samples_per_screen(s) / 0.8;
}

double block_width(int32_t block_length) {
  return block_length / 0.8;
}

}  // namespace quarvel
