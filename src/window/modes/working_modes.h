// The working modes: measurement (acquisition panel shown) and analysis, each in a continuous or
// a block view. Each view keeps its own display length, unit factor and unit text, copied back on
// every switch.
#pragma once

namespace quarvel {

class MainWindow;

void mnuMeasure_click(MainWindow& w);
void mnuQuarvel_click(MainWindow& w);
// Asks for a block length and enters block mode, or changes the block length.
void mnuBlock_click(MainWindow& w);
void mnuContinuous_click(MainWindow& w);
// Empties the clipboard and ends the program at once, once readings not saved have been asked
// about (Cancel keeps the program running).
void mnuExit_click(MainWindow& w);

}  // namespace quarvel
