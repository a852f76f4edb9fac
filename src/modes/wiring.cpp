#include <QAction>

#include "core/handlers.h"
#include "core/main_window.h"
#include "modes/working_modes.h"

namespace quarvel {

void wire_modes(MainWindow& w) {
  QObject::connect(w.mnuMeasure, &QAction::triggered, &w, [&w] { mnuMeasure_click(w); });
  QObject::connect(w.mnuQuarvel, &QAction::triggered, &w, [&w] { mnuQuarvel_click(w); });
  QObject::connect(w.mnuBlock, &QAction::triggered, &w, [&w] { mnuBlock_click(w); });
  QObject::connect(w.mnuContinuous, &QAction::triggered, &w, [&w] { mnuContinuous_click(w); });
  QObject::connect(w.mnuExit, &QAction::triggered, &w, [&w] { mnuExit_click(w); });
}

}  // namespace quarvel
