// Reading EDF, EDF+, BDF and BDF+ files through EDFlib: up to three signals of one sampling rate
// become the sample arrays, and the annotations of the program's own EDF+ export give back the
// marker words and the blocks of a block recording (edf_marks.h); other annotations are counted.
// A file of up to three signals of one rate asks how many to read; a file of more signals, or of
// signals of several rates, asks which to read. Discontinuous files (EDF+D, BDF+D), which EDFlib
// refuses, are read from their bytes: their data records follow one another in the arrays without
// the gaps between them (the gaps are counted), and an annotation inside a gap goes to the first
// frame after it.
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

#include "core/calibration.h"
#include "core/indexed.h"
#include "datafile/reading.h"
#include "datafile/result.h"

namespace quarvel {

enum class EdfKind { Edf, EdfPlus, Bdf, BdfPlus };

// An ordinary signal of a file as its header gives it.
struct EdfSignal {
  QString label;
  QString unit;          // the physical dimension
  double rate_hz = 0;    // 0 when the header gives it no positive rate
  int64_t per_record = 0;
};

struct EdfContents {
  EdfKind kind = EdfKind::EdfPlus;
  int signal_count = 0;          // ordinary signals in the file; annotation signals are not counted
  int channel_count = 0;         // signals read
  std::vector<int> chosen_signals;  // which: channel c is signal chosen_signals[c - 1] (from 0)
  std::vector<EdfSignal> signal_info;  // every ordinary signal of the file
  int32_t block_length = -1;     // the blocks of a block recording the program exported; -1 for none
  int64_t gap_count = 0;         // gaps between the data records of a discontinuous file
  double gap_seconds = 0;        // and their length in all
  int64_t other_annotations = 0;  // annotations that are none of the program's own marks
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

// Asked instead when the file holds more than three signals or signals of several rates, with the
// file's signals: returns the numbers (from 1) of the signals to read, e.g. "1 3 4" (an empty text
// when cancelled). Up to three signals of one rate can be read.
using EdfSignalQuestion = std::function<QString(const std::vector<EdfSignal>& all_signals)>;

// The signals proposed by that question: the first signal with a rate and those after it of the
// same rate, up to three ("1 2 3").
QString proposed_signals(const std::vector<EdfSignal>& all_signals);

// The signals (from 0) an answer to that question names, in its order; BadChannelAnswer, with the
// reason in words, when it names none, more than three, one twice, one the file does not hold, or
// signals of different rates.
Result<std::vector<int>> signals_from_answer(const QString& answer, const std::vector<EdfSignal>& all_signals);

// Reads the file at `path`, its samples in 36 portions with a progress report after each.
// Failures, the header's before the question is asked:
//   TooShort          an empty file, or one shorter than the header it starts
//   NotEdf            EDFlib refuses the file (not EDF or BDF, a damaged header, or a size that
//                     does not match it), or a discontinuous file has a damaged header or size
//   BadChannelCount   no ordinary signal, or more than three without a signal question
//   BadSampleInterval a signal or record duration that gives no positive sampling rate
//   MixedSampleRates  signals sampled at different rates, without a signal question
//   TooLarge          more samples than the sample arrays can index
//   BadChannelAnswer  an answer that is not a number from 1 to the number of signals
//   ReadFailed        the file cannot be opened or read
Result<EdfContents> read_edf(const QString& path, const EdfChannelQuestion& ask_channel_count,
                             const ReadProgress& progress = {}, const EdfSignalQuestion& ask_signals = {});

// The channels named after the signals read, with their units: the samples are the file's physical
// values already, so the calibration is the identity.
PerChannel<Calibration> edf_channel_names(const EdfContents& d);

}  // namespace quarvel
