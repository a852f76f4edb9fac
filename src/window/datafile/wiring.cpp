#include <QAction>
#include <QMenu>

#include "app/commands.h"
#include "app/handlers.h"
#include "app/main_window.h"
#include "datafile/export_file.h"
#include "datafile/files_in.h"
#include "datafile/open_file.h"

namespace quarvel {

void wire_datafile(MainWindow& w) {
  on_trigger_ending_load(w, w.mnuOpen, mnuOpen_click, MainWindow::AfterLoad::Open);
  on_trigger(w, w.mnuExportEdf, mnuExportEdf_click);
  wire_files_in(w);
}

}  // namespace quarvel
