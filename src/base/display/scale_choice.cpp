#include "display/scale_choice.h"

namespace quarvel {

int16_t choose_range_index(float ch_max, const IndexedArray<float, 1, 20>& table, int16_t range_count) {
  int16_t idx = range_count;
  while (2.0f * table[idx] < ch_max && idx > 1) --idx;
  return idx;
}

}  // namespace quarvel
