// Closing a block of the results table: Newblk ends the current block of the current channel,
// with a summary of mean, SD and n when it holds two readings or more.
#pragma once

namespace quarvel {

class MainWindow;

// Writes the "mean", "SD" and "n" rows of the current block below its last reading, in the grid
// (shaded) and in the store, and opens a new block right below them. Does nothing with fewer
// than two readings, or when the three records would not fit in the store.
void block_stats(MainWindow& w);

// The Newblk button: the summary for two readings or more; a single reading only gets a blank
// row after it. Either way the next reading starts a new block. Nothing happens without data,
// while a continuous row is half filled, or before the block's first reading.
void newblk_click(MainWindow& w);

}  // namespace quarvel
