// The navigation keys of a recording (PageUp/PageDown, Home/End, Left/Right) page and move the view
// wherever the keyboard focus is in the window: on the surface, on Add after a click on the curve,
// on a button or the results grid. Only a control that takes those keys for text keeps them: a text
// box, an editable or drop-down list, a scroll bar, a grid cell being edited.
#pragma once

namespace quarvel {

class MainWindow;

void take_navigation_keys(MainWindow& w);

}  // namespace quarvel
