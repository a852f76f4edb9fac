// What `quarvel-convert info` says of a recording: a block of text per file, or a JSON object.
#pragma once

#include <QJsonObject>
#include <QString>

#include "input_recording.h"

namespace quarvel {

// The facts the text and the JSON share.
struct RecordingSummary {
  QString format;
  int channels = 0;
  QStringList labels;     // per channel, as the EDF+ export labels it
  QList<int> inputs;      // per channel: the input it was recorded from; 0 when the file does not say
  bool edf = false;       // channels are the first signals of an EDF/BDF file
  int signal_count = 0;   // EDF/BDF: signals in the file; 0 for the other formats
  double rate_hz = 0;     // to 7 significant digits, as the interval in a float allows
  QString interval_text;  // seconds, exact decimals
  int64_t frames = 0;
  QString duration_text;  // seconds, exact decimals
  bool blocks = false;
  int32_t block_length = 0;  // frames
  int64_t block_count = 0;   // whole blocks
  int64_t block_rest = 0;    // frames after the last whole block
  bool has_stimulus_settings = false;
  int stim_delay_ms = 0, stim_count = 0, stim_interval_ms = 0;
  int64_t marker_runs = 0;  // times the marker was switched on
  int64_t stimuli = 0;
  QDateTime start;     // invalid when not known
  QString start_from;  // where the start comes from
};

// Reads the recording's frames once for the marker counts; the failure of that reading, if any.
Result<RecordingSummary> summarise(const InputRecording& r);

// "FILE\n  format: ...\n  ..." ending in a newline.
QString summary_text(const QString& file, const RecordingSummary& s);

QJsonObject summary_json(const QString& file, const RecordingSummary& s);

// The start as local clock time with its offset from UTC, e.g. "2024-05-02T10:00:00+02:00".
QString start_text(const QDateTime& start);

}  // namespace quarvel
