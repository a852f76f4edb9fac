// The transitions between the views of the window, each written once and called from every
// command that makes it: into the block view, into the continuous view, and out of the spectrum
// view.
#pragma once

#include <QString>
#include <cstdint>

namespace quarvel {

class MainWindow;
struct SharedState;

// Leaves the spectrum view when it is shown: the recorded curves come back into work_data with
// the scales and the block length they had, PSD is unticked and Raw curves ticked, and Block mode
// and Invert are offered again. Outside the spectrum view only the two ticks are set.
void leave_spectrum_view(MainWindow& w);

// The geometry of a block view of block_length samples: the kept block length, the surface width,
// an empty average one block long and, in measurement mode, the arrays of one generated block;
// the view at the start of the first block.
void start_block_view(MainWindow& w, int32_t block_length);

// "BLOCK MODE (" + screen length + unit + ")", followed by the file's name when with_file.
QString block_mode_caption(const SharedState& s, bool with_file);

// Menus and buttons of a block view in analysis: Continuous offered, Block length, the display
// modes and the average buttons enabled with Single ticked, Newblk off.
void block_view_controls(MainWindow& w);

// Menus and buttons of a continuous view: Block mode offered, Single ticked, the block-only
// display items and the average buttons off, the overplot form left.
void continuous_view_controls(MainWindow& w);

}  // namespace quarvel
