#include "acquisition/recording_header.h"

#include <QComboBox>

#include "app/main_window.h"
#include "datafile/bin_format.h"
#include "datafile/file_names.h"

namespace quarvel {

QByteArray recording_header(MainWindow& w) {
  return encode_bin_header(bin_header_for_recording(w.s, w.dly1->currentText(), w.stim_num->currentText(),
                                                    w.interval->currentText()));
}

QString propose_recording_name(const QString& dir) {
  return next_recording_name(recording_names_in(dir));
}

}  // namespace quarvel
