// Display > Converter units / Physical units: the loaded data's readings in converter units or
// in the channels' physical units (display/physical_units.h). A switch empties the results
// tables, since their readings would mix units, asking first when they hold unsaved ones, and
// leaves the spectrum view, whose spectra are of the other unit.
#pragma once

namespace quarvel {

class MainWindow;

void mnuUnitsConverter_click(MainWindow& w);
void mnuUnitsPhysical_click(MainWindow& w);

}  // namespace quarvel
