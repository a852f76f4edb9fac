// Measuring with the mouse on the plotting surface: the left button places and drags the time
// cursor with its readout label, the right button marks a time selection in the continuous
// view, and while auto-peak mode is on a press places the threshold level instead. Every mark is
// drawn in invert mode and removed by drawing it again.
#pragma once

#include "measure/readout.h"

namespace quarvel {

class MainWindow;
class Surface;

// A press on disp: button 1 left, 2 right, 4 middle; x, y in user units. Ignored without data.
void disp_mouse_down(MainWindow& w, int button, int shift, double x, double y);

// A move on disp with the set of buttons held; only a left drag does anything.
void disp_mouse_move(MainWindow& w, int button, int shift, double x, double y);

// The time cursor line at x, from the top of the amplitude axis down to the time axis, inverted
// (drawn, or removed when it is there).
void invert_cursor_line(MainWindow& w, double x);

// What the readout of the view in force shows (the menu ticks decide).
ReadoutSource readout_source(const MainWindow& w);

// A line and a rectangle outline inverted on the surface; the draw mode is copy again after.
void invert_line(Surface& d, double x1, double y1, double x2, double y2);
void invert_box(Surface& d, double x1, double y1, double x2, double y2);

}  // namespace quarvel
