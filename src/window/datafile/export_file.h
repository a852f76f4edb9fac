// File > Export EDF+...: the loaded recording as a continuous EDF+ file (datafile/edf_export.h),
// for physiology software that reads EDF.
#pragma once

#include <QString>

#include "datafile/result.h"

namespace quarvel {

class MainWindow;

// Asks for the file through a save dialog and writes the recording there; what goes wrong is
// said in a message. Nothing happens without a loaded file.
void mnuExportEdf_click(MainWindow& w);

// What the user is told when the export to `path` failed with `failure`.
QString export_failure_text(const QString& path, const DataFileFailure& failure);

}  // namespace quarvel
