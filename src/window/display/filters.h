// The Filter command of analysis: a filter asked for in the Filter dialog run over the working
// samples, forward and backward (the readings' times stay), in a block view over each block on its
// own. Filters add up: each runs over the samples the ones before it left. Cancel in the progress
// window leaves the samples as they were. "Raw curves" (display_modes.h) and every command that
// starts a view afresh (views.h) drop them.
#pragma once

namespace quarvel {

class MainWindow;

// Does nothing outside analysis, without a file or in the spectrum view. Settings the recording's
// rate cannot take are refused with a message; readings not saved are asked about first, since the
// tables are emptied for the filtered curves.
void mnuFilter_click(MainWindow& w);

// After work_data changed under the view (a filter applied or dropped): in a block view the
// average made anew from the blocks accepted into it, and its count; the status line with the
// filters now in force. Draws nothing.
void follow_work_data(MainWindow& w);

}  // namespace quarvel
