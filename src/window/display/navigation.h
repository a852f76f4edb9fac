// Moving through the data and changing the display scales: the page buttons, the Zoom menu
// (expand, compress, zoom to the selection), the amplitude buttons and the shift buttons of the
// current channel.
#pragma once

namespace quarvel {

class MainWindow;

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
