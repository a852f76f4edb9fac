// The results tables: one grid per display channel and the results store behind them.
#pragma once

namespace quarvel {

class MainWindow;

// Empties the store and all three grids and writes the header row of the current view.
void reset_grid(MainWindow& w);

}  // namespace quarvel
