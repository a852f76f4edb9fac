#include "core/shared_state.h"

namespace quarvel {

int16_t SharedState::count_active_channels() const {
  int16_t n = 0;
  for (int ch = 1; ch <= 3; ++ch)
    if (ch_source[ch] > 0) ++n;
  return n;
}

}  // namespace quarvel
