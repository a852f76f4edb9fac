// Connects the events of the main window's controls and menus to their handlers. Each
// subsystem wires its own controls.
#pragma once

namespace quarvel {

class MainWindow;

void wire_handlers(MainWindow& w);

void wire_settings(MainWindow& w);     // core: the acquisition settings controls
void wire_acquisition(MainWindow& w);  // acquisition: Monitor, Record, STOP, STIM, MARKER, Save, Timer1
void wire_datafile(MainWindow& w);     // datafile: File > Open
void wire_display(MainWindow& w);      // display: display modes, averaging, paging, zoom, scales
void wire_measure(MainWindow& w);      // measure: mouse on disp, Add, Delete, CLR, Newblk, marks, text
void wire_modes(MainWindow& w);        // modes: Measure, Quarvel, Block, Continuous, Exit, PSD, Copy

}  // namespace quarvel
