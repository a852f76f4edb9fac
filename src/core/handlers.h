// Connects the events of the main window's controls and menus to their handlers.
#pragma once

namespace quarvel {

class MainWindow;

void wire_handlers(MainWindow& w);

}  // namespace quarvel
