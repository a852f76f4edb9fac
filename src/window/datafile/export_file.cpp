#include "datafile/export_file.h"

#include <QDir>

#include "app/main_window.h"
#include "datafile/edf_export.h"
#include "datafile/export_info.h"
#include "datafile/save_request.h"

namespace quarvel {

QString export_failure_text(const QString& path, const DataFileFailure& failure) {
  QString reason;
  switch (failure.code) {
    case DataFileError::BadValue:
      reason = QStringLiteral("a sample is not a number an EDF file can hold");
      break;
    case DataFileError::BadSampleInterval:
      reason = QStringLiteral("its sampling interval cannot be stated in an EDF file");
      break;
    case DataFileError::MarkerPlacement:
      reason = QStringLiteral("a marker cannot be placed on its sample in an EDF+ file");
      break;
    case DataFileError::BadChannelCount:
    case DataFileError::NoSamples:
      reason = QStringLiteral("there are no samples to export");
      break;
    default:
      reason = QStringLiteral("the folder or the disk refused the file");
      break;
  }
  return QStringLiteral("The recording could not be exported to %1: %2.")
      .arg(QDir::toNativeSeparators(path), reason);
}

void mnuExportEdf_click(MainWindow& w) {
  const SharedState& s = w.s;
  if (!s.file_loaded || s.measure_mode) return;
  const QFileInfo data(s.data_file_name);
  const QString path = w.dialogs().save_file(
      save_request_beside_data(w, "EDF+ files (*.edf)|*.edf", "Export EDF+", "edf", "recording"));
  if (path.isEmpty()) return;
  // The export holds less than an EDF file opened here may (its labels, units, other annotations,
  // 24-bit values, gaps): it never takes that file's place.
  const QFileInfo target(path);
  if (target.exists() && target.canonicalFilePath() == data.canonicalFilePath()) {
    w.dialogs().warning(
        QStringLiteral("The recording cannot be exported over the file it was opened from (%1). "
                       "Choose another name.")
            .arg(QDir::toNativeSeparators(path)),
        "Export EDF+");
    return;
  }

  w.set_busy(true);
  const Status st = export_edf(path, s.raw_data, s.marker_data, edf_recording_info(s), s.ch_calibration);
  w.set_busy(false);
  if (!st) w.dialogs().warning(export_failure_text(path, st.failure()), "Export EDF+");
}

}  // namespace quarvel
