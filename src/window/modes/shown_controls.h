// Puts in force what the window offers in the present view: every switched control and menu item
// takes the visible, enabled and checked state that view_controls decides. Called after every
// command, load and loop end; commands change the state, never the controls themselves. The
// channel buttons' tooltips name the channels with their units in physical units.
#pragma once

namespace quarvel {

class MainWindow;

void update_controls(MainWindow& w);

}  // namespace quarvel
