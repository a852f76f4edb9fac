// The bytes of the program's .bin data files, for writer and reader alike.
//
// A versioned file is a 128-byte header followed by sample frames up to the end of the file. A
// frame is C + 1 little-endian int16 words: one sample of each recorded channel (display channels
// 1, 2, 3 in order, skipping those with no input) and the marker word (0 none, 100 marker on,
// 200 stimulus). No frame count is stored; it follows from the file size.
//
// Header layout (little-endian, offsets in bytes):
//    0  12  "Version 1.00", 8-bit text, no terminator
//   12   2  channel count C (1..3)
//   14   6  input number of display channels 1, 2, 3 (0 = not recorded)
//   20   2  recording mode flag: 0 continuous, -1 block
//   22   4  block length in frames, -1 when none
//   26   6  stimulus delay (ms), stimuli per block, interval between stimuli (ms)
//   32   4  sampling interval in microseconds
//   36  92  zero, or the channels' calibrations (calibration_block.h); decode_bin_header ignores them
//
// A recording is written by RecordingWriter (recording_writer.h): the encoded header first, then
// frames from append_frame()/encode_frames().
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <span>
#include <vector>

#include "core/shared_state.h"
#include "datafile/result.h"

namespace quarvel {

constexpr int kBinHeaderSize = 128;
constexpr char kBinVersionText[] = "Version 1.00";  // 12 characters, stored without the terminator
constexpr int kBinVersionLength = 12;

// The header fields of a versioned file, as stored.
struct BinHeader {
  int16_t channel_count = 0;
  PerChannel<int16_t> ch_source = PerChannel<int16_t>::filled(0);  // input per display channel, unpacked
  int16_t block_mode = 0;  // the mode flag as stored: -1 block, 0 continuous
  int32_t block_length = -1;
  int16_t stim_delay = 0;
  int16_t stim_count = 0;
  int16_t stim_interval = 0;
  int32_t interval_us = 0;  // sampling interval in microseconds

  bool operator==(const BinHeader&) const = default;
};

// The header of a new recording from the settings in force: channel count, inputs, mode and block
// length from the state, the stimulus fields from the texts of the dly1, stim_num and interval
// boxes (their leading number, rounded), and the sampling interval rounded to whole microseconds.
BinHeader bin_header_for_recording(const SharedState& s, const QString& dly1_text,
                                   const QString& stim_num_text, const QString& interval_text);

// Exactly kBinHeaderSize bytes: the fields at offsets 0..35, zeros after them.
QByteArray encode_bin_header(const BinHeader& h);

// The header at the start of `bytes`. TooShort when fewer than kBinHeaderSize bytes are given,
// NotVersioned when the version text is missing. Bytes 36..127 are ignored; field values are not
// checked here (check_bin_header does that).
Result<BinHeader> decode_bin_header(QByteArrayView bytes);

// True when `bytes` starts with the version text of the versioned format.
bool has_bin_version(QByteArrayView bytes);

// Whether a decoded header describes data the reader can load: C in 1..3, a positive sampling
// interval, and a positive block length in a block file.
Status check_bin_header(const BinHeader& h);

// The input numbers as the program shows them: each input > 0 goes to the next display channel
// from 1 upwards, the remaining channels get 0 (inputs 2, 0, 4 give 2, 4, 0).
PerChannel<int16_t> pack_channel_list(const PerChannel<int16_t>& stored);

// Bytes per frame: C samples and the marker word, two bytes each.
constexpr int64_t frame_bytes(int channels) {
  return (static_cast<int64_t>(channels) + 1) * 2;
}

// Whole frames a versioned file of `file_size` bytes holds after its header (0 when it is no longer
// than the header). Truncated, not rounded to the nearest frame: the last frame of a recording that
// ended abnormally may be cut short, and counting it would make the reader read past the end of the
// file; such a partial frame is left unread.
int64_t bin_frame_count(int64_t file_size, int channels);

// Whole frames of C samples and one marker word an older (header-less) file of `file_size` bytes
// holds after its 2-byte interval word, truncated for the same reason.
int64_t older_frame_count(int64_t file_size, int channels);

// Appends one frame: the samples of the recorded channels in display-channel order, then the marker.
void append_frame(QByteArray& out, std::span<const int16_t> samples, int16_t marker);

// Frames first..last of `data` (the block in memory): for every display channel with an input
// (ch_source > 0) the sample rounded to int16 (saturating at the int16 limits), then markers[s].
// A channel or marker the arrays do not hold is written as 0, so a short array never makes the
// writer read out of bounds.
QByteArray encode_frames(const SampleArray& data, const PerChannel<int16_t>& ch_source,
                         const std::vector<int16_t>& markers, int32_t first, int32_t last);

}  // namespace quarvel
