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

// The peak scan run by Add while auto-peak mode is on. Not built yet: for now it records nothing
// and leaves the mode and the levels as they are.
void auto_peak_scan(MainWindow& w);

}  // namespace quarvel
