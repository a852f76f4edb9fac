// What the main window needs from the world outside it: the modal dialogs, the clipboard, the
// sampling timer and the clock that paces the samples, the folder for recordings, the store of
// what is kept between runs and the way to end the program. The program gets the real ones; tests build their own.
#pragma once

#include <QSettings>
#include <QString>
#include <functional>
#include <memory>

#include "acquisition/sample_pace.h"
#include "ui/clipboard.h"
#include "ui/dialogs.h"
#include "ui/tick_timer.h"

namespace quarvel {

struct Services {
  std::unique_ptr<Dialogs> dialogs;
  std::unique_ptr<Clipboard> clipboard;
  std::unique_ptr<TickTimer> timer;   // wakes the acquisition loop
  std::unique_ptr<Clock> clock;       // says how many samples have fallen due
  QString data_dir;                   // where recordings are proposed
  std::unique_ptr<QSettings> settings;  // kept between runs; none keeps nothing
  std::function<void()> end_program;  // ends the process at once
};

// Qt dialogs, the system clipboard, a precise timer, the steady clock, the recordings folder of this
// platform (c:\data on Windows, the folder "data" in the home directory elsewhere), the user's
// settings of the program and an immediate exit.
Services system_services();

// The recordings folder of this platform.
QString default_data_dir();

}  // namespace quarvel
