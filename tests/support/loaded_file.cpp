#include "support/loaded_file.h"

#include <cmath>

#include "app/main_window.h"
#include "datafile/open_file.h"

namespace quarvel::testing {

void load_shape(MainWindow& w, const LoadShape& shape, const QString& name) {
  LoadedFile f;
  f.channel_count = static_cast<int16_t>(shape.channels);
  for (int ch = 1; ch <= shape.channels; ++ch) f.ch_source[ch] = static_cast<int16_t>(ch);
  f.block_mode = Flag(shape.block_length > 0);
  f.block_length = shape.block_length > 0 ? shape.block_length : -1;
  f.has_stimulus_settings = true;
  f.stim_count = 1;
  f.sample_interval = shape.sample_interval;
  f.sample_count = shape.frames;
  // As the readers leave them: every sample written once, a spare slot kept free for the
  // window's extra one, so that a long shape is never copied.
  f.samples.redim_for_filling(shape.channels, shape.frames - 1, 1);
  f.markers.reserve(static_cast<size_t>(shape.frames) + 1);
  f.markers.resize(static_cast<size_t>(shape.frames));
  for (int ch = 1; ch <= shape.channels; ++ch) {
    float* v = f.samples.write_channel(ch);
    for (int32_t i = 0; i < shape.frames; ++i) {
      v[i] = shape.sample(ch, i);
      f.ch_max[ch] = std::max(f.ch_max[ch], std::fabs(v[i]));
    }
  }
  for (int32_t i = 0; i < shape.frames; ++i) f.markers[static_cast<size_t>(i)] = shape.marker(i);
  show_loaded_file(w, std::move(f), name);
}

}  // namespace quarvel::testing
