// Reading EDF, EDF+, BDF and BDF+ files through EDFlib: up to three signals of one sampling rate
// become the sample arrays, and the annotations of the program's own EDF+ export give back the
// marker words (edf_marks.h). Discontinuous files (EDF+D, BDF+D), which EDFlib refuses, are read
// from their bytes: their data records follow one another in the arrays without the gaps between
// them, and an annotation inside a gap goes to the first frame after it.
//
// Typical use by the Open command:
//
//   Result<EdfContents> r = read_edf(path, ask_channel_count, [&](int pct) { bar.set_value(pct); });
//   if (!r) ...show the file-input message...;
//   EdfContents& d = r.value();   // copy d.samples channels 1..C into raw_data, and so on
#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/indexed.h"
#include "datafile/reading.h"
#include "datafile/result.h"

namespace quarvel {

enum class EdfKind { Edf, EdfPlus, Bdf, BdfPlus };

struct EdfContents {
  EdfKind kind = EdfKind::EdfPlus;
  int signal_count = 0;          // ordinary signals in the file; annotation signals are not counted
  int channel_count = 0;         // the first channel_count signals were read
  float sample_interval = 0;     // seconds
  int32_t sample_count = 0;      // samples per channel, up to a "Recording ends" annotation if there is one
  SampleArray samples;           // physical values of channels 1..C, samples 0..sample_count - 1
  std::vector<int16_t> markers;  // marker word of each frame, 0..sample_count - 1
  // Largest absolute sample value of channels 1..C; 0 above C.
  PerChannel<float> ch_max = PerChannel<float>::filled(0.0f);
  // The start date and time the header states (a clock time, no zone); invalid when it states none
  // that reads as one.
  QDateTime start;
};

// Asked once the header was found readable, with the number of signals in the file: returns the
// user's answer to "Number of recorded channels:" (an empty text when cancelled).
using EdfChannelQuestion = std::function<QString(int signal_count)>;

// Reads the file at `path`, its samples in 36 portions with a progress report after each.
// Failures, the header's before the question is asked:
//   TooShort          an empty file, or one shorter than the header it starts
//   NotEdf            EDFlib refuses the file (not EDF or BDF, a damaged header, or a size that
//                     does not match it), or a discontinuous file has a damaged header or size
//   BadChannelCount   no ordinary signal, or more than three
//   BadSampleInterval a signal or record duration that gives no positive sampling rate
//   MixedSampleRates  signals sampled at different rates
//   TooLarge          more samples than the sample arrays can index
//   BadChannelAnswer  an answer that is not a number from 1 to the number of signals
//   ReadFailed        the file cannot be opened or read
Result<EdfContents> read_edf(const QString& path, const EdfChannelQuestion& ask_channel_count,
                             const ReadProgress& progress = {});

}  // namespace quarvel
