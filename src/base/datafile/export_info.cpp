#include "datafile/export_info.h"

#include <QFileInfo>
#include <QtGlobal>

namespace quarvel {

QDateTime recording_start_from_file(const QString& data_file, int32_t sample_count, double sample_interval) {
  const QDateTime end = QFileInfo(data_file).lastModified();
  if (!end.isValid()) return {};
  return end.addMSecs(-qRound64(static_cast<double>(sample_count) * sample_interval * 1000));
}

EdfRecordingInfo edf_recording_info(const SharedState& s) {
  EdfRecordingInfo info;
  info.channel_count = s.channel_count;
  info.sample_count = s.sample_count;
  info.ch_source = s.ch_source;
  info.sample_interval = s.sample_interval;
  info.block_mode = static_cast<bool>(s.block_mode);
  info.block_length = s.block_length;
  info.start = recording_start_from_file(s.data_file_name, s.sample_count, s.sample_interval);
  return info;
}

}  // namespace quarvel
