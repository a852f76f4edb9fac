// The running average of blocks.
#pragma once

#include <cstdint>
#include <vector>

#include "core/indexed.h"

namespace quarvel {

// Adds the block that starts at sample view_start of work to the average ave, which holds ave_n
// blocks: ave(ch, k) = (ave_n x ave(ch, k) + work(ch, round(view_start + k))) / (ave_n + 1), for
// every channel with a source (ch_source > 0) that both arrays hold. The block runs over the
// average's length and is cut short where work ends; samples of the average beyond the cut keep
// their values. Neither array is read past its end, whatever their lengths.
// Returns the index of the last averaged sample (-1 when nothing could be averaged).
int32_t add_block_to_average(SampleArray& ave, float ave_n, const SampleArray& work, double view_start,
                             const PerChannel<int16_t>& ch_source);

// The average made anew from work: its values zeroed (its length kept), then the blocks that
// start at `starts` added one after the other as add_block_to_average adds them. Returns the
// number of blocks it now holds: those of which anything could be averaged.
float rebuild_average(SampleArray& ave, const SampleArray& work, const std::vector<double>& starts,
                      const PerChannel<int16_t>& ch_source);

}  // namespace quarvel
