// The empty display frame: automatic amplitude scales, the coordinate system of the plotting
// surface for the current channel, the time axis and the current channel's amplitude axis with
// their labels. Every full picture starts with it; it also removes every cursor mark.
#pragma once

namespace quarvel {

class MainWindow;

void draw_frame(MainWindow& w);

// Sets the vertical scale of the surface to display channel ch: the band +-R/2 takes 80 % of
// the height, with 7.5 % above it and 12.5 % below it (R = ch_range of the channel).
void set_channel_scale(MainWindow& w, int ch);

}  // namespace quarvel
