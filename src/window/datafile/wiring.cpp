#include <QAction>

#include "app/commands.h"
#include "app/handlers.h"
#include "app/main_window.h"
#include "datafile/files_in.h"
#include "datafile/open_file.h"

namespace quarvel {

void wire_datafile(MainWindow& w) {
  on_trigger(w, w.mnuOpen, mnuOpen_click);
  wire_files_in(w);
}

}  // namespace quarvel
