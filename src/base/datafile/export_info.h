// What the EDF+ export states of a loaded recording besides its samples: one rule for File >
// Export EDF+ and the command-line companion, so both write the same file from the same recording.
#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>

#include "core/shared_state.h"
#include "datafile/edf_export.h"

namespace quarvel {

// The start of a recording read from `data_file`: the writer last wrote the file when the
// recording ended, so its modification time less the recording's length (sample_count ×
// sample_interval, to the millisecond). Invalid when the file has no modification time.
QDateTime recording_start_from_file(const QString& data_file, int32_t sample_count, double sample_interval);

// The export parameters of the recording loaded in `s` from s.data_file_name: channels, frames,
// inputs, interval and blocks as loaded, the start from the data file's time.
EdfRecordingInfo edf_recording_info(const SharedState& s);

}  // namespace quarvel
