// The empty display frame: automatic amplitude scales, the coordinate system of the plotting
// surface for the current channel, the time axis and the current channel's amplitude axis with
// their labels. Every full picture starts with it; it also removes every cursor mark.
#pragma once

namespace quarvel {

class MainWindow;

void draw_frame(MainWindow& w);

}  // namespace quarvel
