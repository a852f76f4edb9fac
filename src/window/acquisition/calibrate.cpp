#include "acquisition/calibrate.h"

#include <QSettings>

#include "app/main_window.h"
#include "core/kept_settings.h"

namespace quarvel {

void mnuCalibrate_click(MainWindow& w) {
  SharedState& s = w.s;
  if (!s.measure_mode || s.acq_running || s.recording) return;
  CalibrationRequest request;
  for (int i = 1; i <= kInputCount; ++i) {
    // A row comes back as it was typed while it still describes the calibration in force.
    const CalibrationOutcome typed = calibration_from_entry(s.calibration_rows[i], i);
    request.rows[i] = typed.ok() && typed.calibration == s.input_calibration[i]
                          ? s.calibration_rows[i]
                          : entry_of(s.input_calibration[i]);
    if (s.input_sampled[i]) request.current[i] = s.input_value[i];
  }
  const std::optional<CalibrationAnswer> answer = w.dialogs().calibration(request);
  if (!answer) return;
  s.input_calibration = answer->calibrations;
  s.calibration_rows = answer->rows;
  if (QSettings* store = w.services.settings.get()) write_input_calibrations(*store, s.input_calibration);
}

}  // namespace quarvel
