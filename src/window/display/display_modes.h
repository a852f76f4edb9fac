// The Display menu and the average buttons: which curves of a block are drawn (single, average,
// single/average, average/single), the overplot form with its displacements, the way back from
// the spectrum to the recorded curves, inverting the current channel, and building the running
// average of accepted blocks.
#pragma once

namespace quarvel {

class MainWindow;

void mnuS_click(MainWindow& w);
void mnuA_click(MainWindow& w);
void mnuS_A_click(MainWindow& w);
void mnuA_S_click(MainWindow& w);
void mnuOverplot_click(MainWindow& w);
void mnuRaw_click(MainWindow& w);
void mnuInvert_click(MainWindow& w);
void accept_click(MainWindow& w);
void clear_ave_click(MainWindow& w);

// Rewrites the block status line (status) from cur_block, block_count and ave_n.
void write_block_status(MainWindow& w);

}  // namespace quarvel
