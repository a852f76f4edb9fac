// A loaded recording as CSV for spreadsheets and scripts: a header row ("time (s)", the channels
// by the labels the EDF+ export gives them, "marker"), then one row per frame with its time in
// seconds, the samples and the marker word. Numbers use "." whatever the locale; lines end in LF.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "core/shared_state.h"
#include "datafile/frame_portion.h"
#include "datafile/reading.h"
#include "datafile/result.h"

namespace quarvel {

// The time column: frame k at k × interval seconds, with the same number of decimals in every row.
class CsvTime {
 public:
  // An interval a whole number of 10^-d s for some d up to 9 gives exact times with d decimals;
  // any other (1/300 s) is taken within a float's precision, as the EDF+ export does, and written
  // with 9 decimals.
  explicit CsvTime(double interval);
  // Appends the time of `frame` to `out`.
  void append(QByteArray& out, int64_t frame) const;
  int decimals() const { return decimals_; }

 private:
  int decimals_ = 9;
  int64_t step_ = 0;  // the interval in units of 10^-decimals s, when exact; 0 otherwise
  double interval_ = 0;
  double rate_ = 0;  // samples a second when a whole number, else 0
};

// Writes the s.sample_count frames of s.channel_count channels that `frames` hands (samples and
// marker words, 0 where a portion holds none) to the file at `path`, replacing it; the labels and
// the interval come from s. progress is told the share written. WriteFailed when the file cannot
// be made or not every byte reached it; a failure of the source is returned as it is.
Status write_csv(const QString& path, const SharedState& s, const FrameSource& frames,
                 const ReadProgress& progress = {});

}  // namespace quarvel
