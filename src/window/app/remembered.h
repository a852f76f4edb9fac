// What the window keeps between runs in the settings store of its services: the acquisition
// settings a user typed or chose (inputs, gains, rate, lengths, stimulus settings, the signal source
// with its port and baud rate) and the window's place and size. Without a store nothing is kept.
#pragma once

namespace quarvel {

class MainWindow;

// The acquisition panel as measurement mode shows it now goes into the store when it differs from
// what is there; outside measurement, or while the loop runs, nothing is written.
void keep_typed_settings(MainWindow& w);

// Measurement starts with the kept settings in place of the defaults, in the boxes and in force,
// and with the inputs' kept calibrations.
void restore_typed_settings(MainWindow& w);

void keep_window_geometry(MainWindow& w);
void restore_window_geometry(MainWindow& w);

}  // namespace quarvel
