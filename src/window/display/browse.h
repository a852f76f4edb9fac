// The keyboard and the mouse wheel on the plotting surface, and the scroll bar under it: moving
// through a file and zooming its time axis without the buttons and the menus.
#pragma once

namespace quarvel {

class MainWindow;

// PgDn and PgUp as the page buttons, Home and End to the first and last page or block, Left and
// Right by a tenth of a screen or by a block. The focus stays on the surface.
void disp_key_down(MainWindow& w, int key, int shift);

// The wheel pages, a page a notch (towards the user: forward). With Ctrl it expands (away from the
// user) or compresses the time axis around user x, a step a notch, where the Zoom menu is offered.
void disp_wheel(MainWindow& w, int notches, int shift, double x);

// The scroll bar taken to sample `value`.
void view_scroll_change(MainWindow& w, int value);

// The scroll bar shows the position and the screen's share of a continuous file; it is hidden in
// block views, the overplot form, the spectrum and measurement, and when the whole file is on the
// screen.
void show_scroll_position(MainWindow& w);

}  // namespace quarvel
