#include "core/shared_state.h"

namespace quarvel {

int16_t SharedState::count_active_channels() const {
  int16_t n = 0;
  for (int ch = 1; ch <= 3; ++ch)
    if (ch_source[ch] > 0) ++n;
  return n;
}

void SharedState::dim_measurement_block() {
  raw_data.redim(3, block_length - 1);
  work_data.redim(3, block_length - 1);
  redim(marker_data, block_length - 1);
  sample_count = block_length - 1;
}

}  // namespace quarvel
