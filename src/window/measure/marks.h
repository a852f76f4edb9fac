// "Marks off": takes the marks of the measurement tools off the screen, the threshold level pair
// of auto peaks and the time selection, and forgets them. The time cursor and its readout stay.
#pragma once

namespace quarvel {

class MainWindow;

// A shown level pair is erased and auto-peak mode switched off with it; the selection marks are
// erased by drawing them once more, and both edges are forgotten. Without marks it does nothing.
void marks_off(MainWindow& w);

}  // namespace quarvel
