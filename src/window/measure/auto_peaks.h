// Auto-peak mode: the threshold level pair the user places across the time selection, and the
// scan that records the troughs and peaks of the current channel between the levels.
#pragma once

namespace quarvel {

class MainWindow;

// Puts the level pair of the current channel at y (held inside the amplitude band), removing the
// pair shown before. The lower level lies at y, the upper one level_div-th of the surface height
// above it; both span the selection. Expects the vertical scale of the current channel in force.
void place_level(MainWindow& w, double y);

// Removes the level pair of the current channel from the screen by drawing it once more.
// level_y is left to the caller.
void erase_level(MainWindow& w);

// The peak scan run by Add while auto-peak mode is on: records the troughs and peaks of the
// current channel inside the selection, each as a reading of the time cursor put on it. The
// time cursor goes first. A scan that examines the whole selection switches the mode off and
// removes the levels; one that finds no first crossing of the band leaves both. Without a level,
// without a complete selection or with a selection outside the data nothing happens.
void auto_peak_scan(MainWindow& w);

// The Auto peaks item: switches the mode on (a complete selection is needed, and no overplot),
// or off again, removing the levels of the current channel.
void mnuPeaks_click(MainWindow& w);

}  // namespace quarvel
