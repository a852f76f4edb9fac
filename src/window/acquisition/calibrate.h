// Calibrate... in measurement: the names, units and calibrations of inputs 1..4 for the
// recordings to come, set in the calibration dialog and kept with the other settings. The
// dialog's Take buttons offer the last converter value the acquisition loop took of each input.
#pragma once

namespace quarvel {

class MainWindow;

void mnuCalibrate_click(MainWindow& w);

}  // namespace quarvel
