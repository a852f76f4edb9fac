// A block from a serial device: STIM in block mode takes the device's next block_length frames as
// the block, drawn as they arrive, with the stimulus marks where a generated block has them; a
// Firmata board sets its stimulus output as each marked frame is taken.
#pragma once

#include <QString>
#include <cstdint>

#include "core/marker_array.h"

namespace quarvel {

class MainWindow;
class SerialDevice;

// The stimulus marks of a block of last + 1 samples at sample_interval: 200 at delay + k x
// interval ms for each of the `count` stimuli (one at least), rounded to the nearest sample (ties
// to even); a mark outside the block is not written. The other words are left as they are.
void mark_stimuli(MarkerArray& marks, int32_t last, float sample_interval, int32_t delay_ms,
                  int32_t interval_ms, int32_t count);

struct BlockTake {
  bool complete = false;  // the block is in raw_data and marker_data
  QString ended;          // when the device's stream ended first: why
};

// Takes the next block_length frames from `device` (those that came before are no part of the
// block) and puts them in raw_data (the channels' inputs) and marker_data (the marks of the
// stimulus boxes). A STOP or CLOSE first, or the end of the stream, leaves both as they were.
BlockTake take_device_block(MainWindow& w, SerialDevice& device);

}  // namespace quarvel
