// The automatic amplitude scale of a channel: the smallest step of the range table whose double
// still covers the largest absolute sample value.
#pragma once

#include <cstdint>

#include "core/indexed.h"

namespace quarvel {

// Index 1..range_count into the table (largest step first). Starts at the finest step and moves
// to coarser ones while 2 x step < ch_max; stops at index 1 (the coarsest step).
int16_t choose_range_index(float ch_max, const IndexedArray<float, 1, 20>& table, int16_t range_count);

}  // namespace quarvel
