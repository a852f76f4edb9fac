// Menu states shared by the commands that enter a view.
#pragma once

namespace quarvel {

class MainWindow;

// The continuous view: no Continuous item, "Block mode" offered, single curves ticked and the
// block-only display items unticked and disabled.
void continuous_view_menus(MainWindow& w);

}  // namespace quarvel
