// Reading the sample files exported by the Labtech acquisition software (.prn): little-endian
// float32 values without a header, one or two channels interleaved (channel 1 first). Each value is
// kept × 100 as a sample in converter units; the files carry no marker words.
//
// The Open command asks for the channel count first (channel_count_from_answer(answer, 2)), then:
//   Result<PrnContents> r = read_prn(f, c, [&](int pct) { bar.set_value(pct); });
#pragma once

#include <QByteArrayView>
#include <cstdint>

#include "core/indexed.h"
#include "datafile/reading.h"
#include "datafile/result.h"

class QIODevice;

namespace quarvel {

struct PrnContents {
  int channel_count = 0;
  int32_t sample_count = 0;  // samples per channel
  SampleArray samples;       // channels 1..C, samples 0..sample_count - 1, each value × 100
  // 100 × the largest absolute value of channels 1..C; 0 above C.
  PerChannel<float> ch_max = PerChannel<float>::filled(0.0f);
};

// Reads the whole file on `device` (open for reading and seekable) from its start in 40 portions,
// with a progress report after each. Failures: BadChannelAnswer (channels not 1 or 2),
// PartialSample (not one whole sample of C × 4 bytes; bytes after the last whole sample are left
// unread), BadValue (a value that is not a
// finite number, or is too large to scale), TooLarge, ReadFailed.
Result<PrnContents> read_prn(QIODevice& device, int channels, const ReadProgress& progress = {});

// The same for a file already in memory.
Result<PrnContents> parse_prn(QByteArrayView bytes, int channels);

}  // namespace quarvel
