// Reading a whole .bin data file: the versioned format (128-byte header) and the older header-less
// one (an int16 sampling interval in ms, then frames; the channel count comes from the user).
//
// Typical use by the Open command:
//
//   QFile f(path);
//   if (!f.open(QIODevice::ReadOnly)) ...;
//   Result<BinContents> r = read_bin(f, ask_channel_count, [&](int pct) { bar.set_value(pct); });
//   if (!r) ...show the file-input message...;
//   BinContents& d = r.value();   // copy d.samples channels 1..C into raw_data, and so on
#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/indexed.h"
#include "core/shared_state.h"
#include "datafile/bin_format.h"
#include "datafile/frame_portion.h"
#include "datafile/calibration_block.h"
#include "datafile/reading.h"
#include "datafile/result.h"

class QIODevice;

namespace quarvel {

enum class BinFormat { Versioned, Older };

// Everything a .bin file holds, ready for the shared state.
struct BinContents {
  BinFormat format = BinFormat::Versioned;
  // The header as stored (versioned), or as the older format implies it: channel_count = C, inputs 1
  // on display channels 1..C, continuous, block length -1, the interval in µs, stimulus fields 0
  // (the older format has none; the program keeps its own values).
  BinHeader header;
  PerChannel<int16_t> ch_source = PerChannel<int16_t>::filled(0);  // packed (pack_channel_list)
  Flag block_mode = kFalse;      // the stored mode flag, any non-zero value read as kTrue
  float sample_interval = 0;     // seconds
  int32_t sample_count = 0;      // whole frames read
  SampleArray samples;           // channels 1..C, samples 0..sample_count - 1
  std::vector<int16_t> markers;  // marker word of each frame, 0..sample_count - 1
  // The summary of the markers, made while reading them; the sample channels carry theirs.
  std::optional<MarkerSummary> marker_summary;
  // Largest absolute sample value of channels 1..C (-32768 counts as 32768); 0 above C, where the
  // file says nothing.
  PerChannel<float> ch_max = PerChannel<float>::filled(0.0f);
  // The names, units and calibrations of channels 1..C stored in the header (versioned only).
  CalibrationBlock calibration;

  int channel_count() const { return header.channel_count; }
};

// Asked only for an older-format file, after its interval word was found valid: returns the user's
// answer to "Number of recorded channels:" (an empty text when cancelled).
using ChannelCountQuestion = std::function<QString()>;

// Reads the file on `device` (open for reading and seekable: a file or a buffer) from its start, in
// 36 portions with a progress report after each. Only whole frames are read; trailing bytes that do
// not fill a frame are left alone. Failures: TooShort (shorter than the header, or than the
// interval word of the older format), BadChannelCount, BadSampleInterval, BadBlockLength,
// BadChannelAnswer, TooLarge, ReadFailed.
Result<BinContents> read_bin(QIODevice& device, const ChannelCountQuestion& ask_channel_count,
                             const ReadProgress& progress = {});

// The header of the file on `device` (as for read_bin) and what it implies, without the frames:
// read_bin's result with sample_count set and no samples or markers. The failures read_bin
// reports before it reads frames, the memory check aside: nothing is allocated for the frames.
Result<BinContents> read_bin_layout(QIODevice& device, const ChannelCountQuestion& ask_channel_count);

// The frames of a file whose layout read_bin_layout gave, read from `device` in portions of
// 65536 frames and handed to `take` in order: the samples as read_bin loads them (floats of
// channels 1..C) and the marker words, nothing kept after a portion. Progress as read_bin reports
// it. ReadFailed when the file holds fewer frames than the layout says (cut since), or a failure
// `take` returns.
Status read_bin_frames(QIODevice& device, const BinContents& layout, const FramePortionSink& take,
                       const ReadProgress& progress = {});

// The same for a file already in memory.
Result<BinContents> parse_bin(QByteArrayView bytes, const ChannelCountQuestion& ask_channel_count);

}  // namespace quarvel
