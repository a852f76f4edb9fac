// The results tables: one grid per display channel and the results store behind them. Add
// records the reading of the time cursor in the table of the current channel, Delete removes
// the last line after confirmation, CLR empties everything.
#pragma once

namespace quarvel {

class MainWindow;

// Empties the store and all three grids and writes the header row of the current view.
void reset_grid(MainWindow& w);

// Records the reading at cursor_x of the current channel into its grid and the store: a reading
// row in the block view, one point of a row in the continuous view. A new block first asks for
// its label (and, in the block view, for the stimulus delay while none is set). A reading whose
// records would not fit in the store is refused without asking anything.
void add_result(MainWindow& w);

// Completes a continuous-view row once both of its points are in: ampl., tone and period.
void finish_pair(MainWindow& w);

// The Add button: records the cursor reading, or runs the peak scan in auto-peak mode.
void add_click(MainWindow& w);

// The Delete button: removes the last line of the current channel after confirmation.
void delete_click(MainWindow& w);

// The CLR button: empties the tables and gives the focus to Add.
void clear_click(MainWindow& w);

}  // namespace quarvel
