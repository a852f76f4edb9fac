// The acquisition loop: one generated sample per active display channel at the sampling rate,
// drawn as a sweep across the plotting surface and, while a continuous recording is open, stored
// frame by frame and written to the data file in chunks. It runs inside the handler that started
// it and lets the event queue run while it waits for each tick of Timer1, so every other handler
// can run between samples; they steer it only through stop_request, sweep_restart and
// marker_state.
#pragma once

#include <QString>

namespace quarvel {

class MainWindow;

// Runs until STOP (stop_request) or, while recording, until a chunk fills inside a sweep.
// Returns the text of a file error that ended a recording, empty when there was none.
QString acquire(MainWindow& w);

// Button "Monitor".
void monitor_click(MainWindow& w);

// Tick of Timer1: only raises timer_tick.
void timer1_tick(MainWindow& w);

// The timer interval for the text of the rate box: round(1000 / rate) ms; a text that is not a
// usable rate (0, negative, not a number, above 1000 Hz) falls back to the rate in force, so the
// timer never gets an interval below 1 ms.
int tick_interval_ms(const QString& rate_text, float sampling_rate);

}  // namespace quarvel
