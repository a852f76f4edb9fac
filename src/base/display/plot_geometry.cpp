#include "display/plot_geometry.h"

namespace quarvel {

double samples_per_screen(const SharedState& s) {
  return static_cast<double>(s.scr_factor) * s.scr_length / s.sample_interval;
}

float continuous_width(const SharedState& s) {
  return static_cast<float>(samples_per_screen(s) / 0.8);
}

float block_width(int32_t block_length) {
  return static_cast<float>(block_length / 0.8);
}

}  // namespace quarvel
