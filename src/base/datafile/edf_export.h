// Writing a loaded recording as a continuous EDF+ file (EDF+C) through EDFlib.
//
// Each recorded channel becomes one signal whose digital values are its converter values. A
// channel of the identity calibration is in "a.u.", labelled "input N" after its input, or
// "channel K" when the inputs are not known apart; a named channel takes its name as label, a
// channel with a unit that unit as physical dimension, and a calibrated one physical limits from
// its calibration, so a reader's physical values are gain x converter value + offset. The marker
// words and the blocks become annotations (edf_marks.h).
//
// Data records last about a second and hold a whole number of samples. The last one is padded with
// the last sample of each channel, and a "Recording ends" annotation then marks the true end.
//
//   Status st = export_edf(path, s.raw_data, s.marker_data, info);
//   if (!st) ...show st.failure().detail...;
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "core/calibration.h"
#include "core/indexed.h"
#include "datafile/frame_portion.h"
#include "datafile/reading.h"
#include "datafile/result.h"

namespace quarvel {

// What the export needs to know of a recording besides its samples and marker words.
struct EdfRecordingInfo {
  int channel_count = 0;     // channels 1..C of the sample array are written
  int32_t sample_count = 0;  // frames 0..sample_count - 1
  PerChannel<int16_t> ch_source = PerChannel<int16_t>::filled(0);  // input per channel, packed
  double sample_interval = 0;                                      // seconds
  bool block_mode = false;
  int32_t block_length = -1;  // frames per block in a block recording
  QDateTime start;            // start of the recording; when not valid, EDFlib stamps the time of export
};

// The label of channel ch (1..C) of the recording: the channel's own name when c gives one other
// than its input's default, else "input N" when the inputs tell the channels apart, else
// "channel K" for all of them (the older .bin format and .prn files give every channel input 1).
QByteArray edf_signal_label(const EdfRecordingInfo& info, int ch, const Calibration& c = {});

// Writes the recording to `path`, replacing a file already there only once the new one is complete:
// the file is written under a temporary name beside it, checked by reading its header back, then
// renamed. progress is told the share of the data records written, 0..100. Failures (nothing is left under
// `path` then, and a file already there is kept):
//   BadChannelCount    C outside 1..3 or beyond the channels of the sample array
//   NoSamples          no frames, or fewer in the sample array than sample_count
//   BadValue           a sample that is not a finite number, or too large for an EDF header
//   BadSampleInterval  an interval that is not positive, or that no data record of at most 60 s
//                      holds a whole number of times in whole 10 µs
//   MarkerPlacement    a mark that an annotation time (in whole 100 µs) cannot put on its frame,
//                      or more annotations than the file can hold
//   WriteFailed        the folder or the disk refused the file, or EDFlib reported an error
// `calibration` gives each channel's name, unit and calibration (none: today's labels, "a.u.").
Status export_edf(const QString& path, const SampleArray& samples, const std::vector<int16_t>& markers,
                  const EdfRecordingInfo& info, const PerChannel<Calibration>& calibration = {},
                  const ReadProgress& progress = {});

// The same from frames read a portion at a time (frame_portion.h), so that a recording far larger
// than memory can be written: the source is read twice, once for the scales and marks of the
// header and once for the data records, and must hand the same info.sample_count frames of
// info.channel_count channels both times. A source that fails, or hands other frames, ends the
// export with its failure (ReadFailed, NoSamples) and nothing is left under `path`.
Status export_edf(const QString& path, const FrameSource& frames, const EdfRecordingInfo& info,
                  const PerChannel<Calibration>& calibration = {}, const ReadProgress& progress = {});

// The data records chosen for a recording.
struct EdfRecordPlan {
  int32_t samples_per_record = 0;
  int64_t duration = 0;  // in EDFlib's units of 10 µs
  int64_t records = 0;
  int annotation_signals = 1;  // each holds one annotation per data record

  bool operator==(const EdfRecordPlan&) const = default;
};

// Records for sample_count samples of `channels` channels at sample_interval seconds, with
// `annotations` annotations to hold. The interval is taken as exact within the precision of a float
// (the program keeps it in one), so 1/300 s gives 300 samples a second, not 3333 µs. Records of about
// one second, never shorter than 1 ms or longer than 60 s; shorter ones (down to the shortest whole
// one) when the annotations need more records. BadSampleInterval or MarkerPlacement as above.
Result<EdfRecordPlan> plan_edf_records(double sample_interval, int channels, int32_t sample_count,
                                       int64_t annotations);

// How the samples of one channel are stored.
struct EdfScale {
  bool whole_numbers = false;  // samples kept as they are (physical value = digital value)
  int digital_min = -32768;
  int digital_max = 32767;
  QByteArray min_text;  // physical limits as the header states them, at most 8 characters
  QByteArray max_text;
  double physical_min = 0;  // the same, as numbers
  double physical_max = 0;

  // The digital value stored for sample x.
  int16_t digital(float x) const;
  // Physical units per digital step.
  double resolution() const { return (physical_max - physical_min) / (digital_max - digital_min); }
};

// The scale of a channel's samples: whole numbers in the int16 range are stored as they are, between
// their own lowest and highest value; other samples use all 65536 digital steps between limits at or
// just beyond their lowest and highest value, each limit the nearest that 8 characters can state.
// BadValue for a sample that is not finite or beyond what 8 characters can state.
Result<EdfScale> edf_scale_for(std::span<const float> samples);

// The same scale from the samples of a channel handed over in pieces, in any order.
class EdfScaleBuilder {
 public:
  void add(std::span<const float> samples);
  Result<EdfScale> finish() const;

 private:
  float lo_ = std::numeric_limits<float>::infinity();
  float hi_ = -std::numeric_limits<float>::infinity();
  bool finite_ = true;
  bool whole_ = true;
  int64_t count_ = 0;
};
// The scale with its physical limits taken through calibration c (the digital limits stay): each
// the nearest number 8 characters state. BadValue when a limit goes beyond them or both become
// one.
Result<EdfScale> calibrated_scale(const EdfScale& scale, const Calibration& c);

// Text for an EDF header field, which holds printable ASCII only: "µ" becomes "u", "°" "deg", any
// other character outside it "_".
QByteArray edf_ascii(const QString& text);

}  // namespace quarvel
