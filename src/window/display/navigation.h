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

}  // namespace quarvel
