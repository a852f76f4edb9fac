// The recording buttons: Record (store), STOP/CLOSE (halt), STIM (stim), MARKER ON/OFF
// (drug_button) and Save (save).
#pragma once

namespace quarvel {

class MainWindow;

void store_click(MainWindow& w);
void halt_click(MainWindow& w);
void drug_button_click(MainWindow& w);
void stim_click(MainWindow& w);
void save_click(MainWindow& w);

// Ends a recording after a command failed with it open and no acquisition loop running: frames
// still in memory are written if they can be, the file is closed and the controls come back.
void end_recording_after_failure(MainWindow& w);

// Message and title shown when a recording file cannot be created, written or closed.
extern const char* const kRecordErrorTitle;

}  // namespace quarvel
