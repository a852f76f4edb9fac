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
  f.samples.redim(shape.channels, shape.frames - 1);
  f.markers.assign(static_cast<size_t>(shape.frames), 0);
  for (int32_t i = 0; i < shape.frames; ++i) {
    for (int ch = 1; ch <= shape.channels; ++ch) {
      const float v = shape.sample(ch, i);
      f.samples(ch, i) = v;
      f.ch_max[ch] = std::max(f.ch_max[ch], std::fabs(v));
    }
    f.markers[static_cast<size_t>(i)] = shape.marker(i);
  }
  show_loaded_file(w, std::move(f), name);
}

}  // namespace quarvel::testing
