#include <QAction>

#include "core/handlers.h"
#include "core/main_window.h"
#include "datafile/open_file.h"

namespace quarvel {

void wire_datafile(MainWindow& w) {
  QObject::connect(w.mnuOpen, &QAction::triggered, &w, [&w] { mnuOpen_click(w); });
}

}  // namespace quarvel
