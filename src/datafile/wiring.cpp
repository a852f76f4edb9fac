#include <QAction>

#include "core/commands.h"
#include "core/handlers.h"
#include "core/main_window.h"
#include "datafile/open_file.h"

namespace quarvel {

void wire_datafile(MainWindow& w) {
  on_trigger(w, w.mnuOpen, mnuOpen_click);
}

}  // namespace quarvel
