// The spectrum view of a block file: every block of every channel (as filtered, while filters are
// in force) replaced by its smoothed power spectrum on a frequency axis in Hz. "Raw curves" and
// "Continuous" leave it, back to the samples as read.
#pragma once

namespace quarvel {

class MainWindow;

// Does nothing while the spectrum is shown or without a loaded file. Blocks the transform cannot
// take (shorter than 10 or longer than 8192 samples, or no whole block) are refused with a
// message and leave the view as it was.
void mnuPSD_click(MainWindow& w);

}  // namespace quarvel
