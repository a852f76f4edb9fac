// The transitions between the views of the window, each written once and called from every
// command that makes it: into the block view, into the continuous view, out of the spectrum view,
// and back to the samples as read.
#pragma once

#include <QString>
#include <cstdint>

namespace quarvel {

class MainWindow;
struct SharedState;

// Leaves the spectrum view when it is shown: the recorded curves come back into work_data, in the
// unit in force and with no filter, with the scales and the block length they had.
void leave_spectrum_view(MainWindow& w);

// Leaves the spectrum view and drops the filters in force: work_data the raw samples again. For
// the commands that start a view afresh, whose blocks (or none) a filter was not run over.
void show_raw_samples(MainWindow& w);

// The geometry of a block view of block_length samples: the kept block length, the surface width,
// an empty average one block long and, in measurement mode, the arrays of one generated block;
// the view at the start of the first block.
void start_block_view(MainWindow& w, int32_t block_length);

// "BLOCK MODE (" + screen length + unit + ")", followed by the file's name when with_file.
QString block_mode_caption(const SharedState& s, bool with_file);

// The single curves of every channel, as a new view starts: Single chosen, the overplot form left.
void show_single_curves(SharedState& s);

}  // namespace quarvel
