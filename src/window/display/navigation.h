// Moving through the data and changing the display scales: the page buttons, the Zoom menu
// (expand, compress, zoom to the selection), the amplitude buttons and the shift buttons of the
// current channel.
#pragma once

#include "display/view_math.h"

namespace quarvel {

class MainWindow;

// Puts a time scale in force: the screen length with its unit and the surface's user width.
void set_time_scale(MainWindow& w, const TimeScale& t);

void PgDn_click(MainWindow& w);
void PgUp_click(MainWindow& w);
void mnuExpand_click(MainWindow& w);
void mnuCompress_click(MainWindow& w);
void mnuZoom_sel_click(MainWindow& w);
void mul_click(MainWindow& w);
void div_click(MainWindow& w);
void pshift_click(MainWindow& w);
void nshift_click(MainWindow& w);

// Moving without the buttons, where the page buttons page: the first and the last page of a
// continuous view or block of a block view; a tenth of a screen (a block in a block view) back
// and forward; and a continuous view from sample `start` on. Nothing is drawn when the view stays.
void show_first_page(MainWindow& w);
void show_last_page(MainWindow& w);
void step_left(MainWindow& w);
void step_right(MainWindow& w);
void show_from(MainWindow& w, double start);

// Expand (halve the screen length) or compress around user x. In a continuous view of a file the
// sample under x stays under it; block views and the overplot form keep their start, as the Zoom
// menu does.
void zoom_around(MainWindow& w, double x, bool expand);

}  // namespace quarvel
