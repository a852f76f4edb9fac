// The acquisition loop: one generated sample per active display channel at the sampling rate,
// drawn as a sweep across the plotting surface and, while a continuous recording is open, stored
// frame by frame and written to the data file in chunks. It runs inside the handler that started
// it and lets the event queue run while it waits for each tick of Timer1, so every other handler
// can run between samples; they steer it only through stop_request, sweep_restart and
// marker_state.
//
// The generator's samples are paced by the window's clock, not by counting ticks: a tick only wakes the loop,
// which then takes every sample that has fallen due since the last one (sample k of a run falls
// due k periods after its start). A late tick on a busy machine therefore costs no samples, and
// a recording holds exactly rate x duration frames.
#pragma once

#include <QString>
#include <cstdint>

namespace quarvel {

class MainWindow;

class SerialDevice;

// How a run of the loop ended, beyond STOP: a file error that ended a recording, or the end of a
// device's stream (unplugged, a read error, a board that never answered). Empty when neither.
struct AcquireEnd {
  QString file_error;
  QString device_ended;
};

// Runs until STOP (stop_request), while recording until a chunk fills inside a sweep, and with a
// device until its stream ends. Without a device the generator gives the samples, paced by the
// window's clock; with one, the device sets the pace: every frame it delivers is taken, in order,
// and the sweep catches up with all that have arrived. At a STOP during a recording the frames
// that arrived before it are stored too.
AcquireEnd acquire(MainWindow& w, SerialDevice* device = nullptr);

// Button "Monitor".
void monitor_click(MainWindow& w);

// Tick of Timer1: only raises timer_tick.
void timer1_tick(MainWindow& w);

// The rate the loop keeps for the text of the rate box; a text that is not a usable rate (0,
// negative, not a number, above 1000 Hz) gives the rate in force, and 10 Hz when that is none.
double pace_rate_hz(const QString& rate_text, float sampling_rate);

// The interval Timer1 is given to wake the loop when the next sample falls due in `ns`
// nanoseconds: whole milliseconds rounded up, so it never wakes before the sample is due, and
// at least 1 ms.
int wake_interval_ms(int64_t ns);

}  // namespace quarvel
