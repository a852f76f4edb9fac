#include "acquisition/recording_header.h"

#include <QComboBox>

#include "app/main_window.h"
#include "datafile/bin_format.h"
#include "datafile/calibration_block.h"
#include "datafile/file_names.h"

namespace quarvel {

QByteArray recording_header(MainWindow& w) {
  QByteArray header = encode_bin_header(bin_header_for_recording(
      w.s, w.dly1->currentText(), w.stim_num->currentText(), w.interval->currentText()));
  const std::vector<Calibration> stored = calibrations_to_store(w.s.ch_source, w.s.input_calibration);
  if (!stored.empty())
    header.replace(kCalibrationBlockOffset, kCalibrationBlockSize, encode_calibration_block(stored));
  return header;
}

QString propose_recording_name(const QString& dir) {
  return next_recording_name(recording_names_in(dir));
}

}  // namespace quarvel
