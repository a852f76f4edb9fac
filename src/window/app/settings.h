// Handlers of the acquisition settings controls: sampling rate (or interval in block mode),
// screen length, file length, the input of each display channel, gain and the selected channel.
// They validate the typed text, derive the dependent fields, resize the user coordinates of the
// plotting surface and redraw the frame, or ask a running acquisition loop to restart its sweep.
#pragma once

namespace quarvel {

class MainWindow;

void sampling_hz_lost_focus(MainWindow& w);
void scr_lng_lost_focus(MainWindow& w);
void file_lng_change(MainWindow& w);
// Leaving the file-length box with a text that is no length: the length in force when the
// editing began comes back; a length too long for the rate is refused with a message.
void file_lng_lost_focus(MainWindow& w, float length_before);
void ch_list_click(MainWindow& w, int i);
void ch_list_lost_focus(MainWindow& w, int i);
void gain_click(MainWindow& w, int i);
void ch_select_click(MainWindow& w, int i);
// Marks display channel i + 1 as the selected one without drawing: its option button, the
// scale buttons' colour and, outside measurement mode, its results grid.
void show_channel_selected(MainWindow& w, int i);

// Enter in the rate box: to STIM in block mode, to Monitor otherwise.
void sampling_hz_enter(MainWindow& w);

// The text of scr_lng for the screen length in force: one decimal when it is 0.1 or more away
// from a whole number, none otherwise.
void write_scr_lng_text(MainWindow& w);

}  // namespace quarvel
