// File > Save results...: the results tables of every channel into one tab-separated text file
// (measure/results_text.h), and the question asked before readings that were not saved are
// discarded. A table's readings count as not saved once Add, the peak scan or Newblk's statistics
// wrote to it since it was last saved or reset.
#pragma once

namespace quarvel {

class MainWindow;

// Asks for a file name and writes all three tables there. A file that cannot be written is
// reported, and the readings stay as they were, still not saved. True when the file was written.
bool save_results(MainWindow& w);
void mnuSaveResults_click(MainWindow& w);

// Before a command discards the readings: with readings not saved, asks Save / Discard / Cancel.
// Save goes through save_results. True when the command may go on: nothing to lose, the readings
// saved, or discarded by the user; false for Cancel or a save that was cancelled or failed.
bool readings_may_go(MainWindow& w);

extern const char* const kUnsavedReadingsText;   // the question
extern const char* const kUnsavedReadingsTitle;  // "Unsaved readings"

}  // namespace quarvel
