// The start-up sequence of the main window and the colouring of the scale buttons.
#pragma once

namespace quarvel {

class MainWindow;
struct SharedState;

// Gives the shared state its first values, prepares the results grids and draws the empty frame.
void form_initialize(MainWindow& w);

// 10 Hz and 8 s screens kept for the continuous view, with the surface width that follows.
void set_continuous_defaults(MainWindow& w);

// The per-channel scale, threshold level and results-grid counters, the axis divisions and the
// cursor state as the program starts them (no file loaded, the view at the start).
void reset_view_settings(SharedState& s);

// The four scale buttons take the scale colour of display channel ch.
void colour_scale_buttons(MainWindow& w, int ch);

}  // namespace quarvel
