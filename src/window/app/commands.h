// Every command of the window (a click, a menu item, a key, a mouse event on the surface, a tick
// of the sampling timer) runs through run_command. An exception that escapes a command, an
// allocation that failed above all, is caught there: the user is told what failed, a running
// recording is ended with every frame it wrote kept on disk, and the window stays usable. After a
// command the scroll bar shows the view it left and the settings the user made are kept.
#pragma once

#include <QString>
#include <functional>

#include "app/main_window.h"

class QAbstractButton;
class QAction;

namespace quarvel {

void run_command(MainWindow& w, const std::function<void()>& command);

// The command as a callable that runs it through run_command, for the event hooks.
std::function<void()> guarded(MainWindow& w, std::function<void()> command);

// A button's click and a menu item's trigger run `handler`. A checkable menu item has already
// flipped its tick when the command arrives: the tick is put back first, as the commands read the
// tick as it was and set it themselves.
void on_click(MainWindow& w, QAbstractButton* button, void (*handler)(MainWindow&));
void on_trigger(MainWindow& w, QAction* item, void (*handler)(MainWindow&));
// The same for Open and Exit, which also end a file being read and then run (`then`).
void on_trigger_ending_load(MainWindow& w, QAction* item, void (*handler)(MainWindow&),
                            MainWindow::AfterLoad then);

// What the user is told when a command failed for `reason`.
QString command_failure_text(const QString& reason, bool recording_ended);

}  // namespace quarvel
