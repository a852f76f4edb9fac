#include <QAction>

#include "core/handlers.h"
#include "core/main_window.h"
#include "modes/clipboard_export.h"
#include "modes/spectrum_view.h"
#include "modes/working_modes.h"

namespace quarvel {

void wire_modes(MainWindow& w) {
  QObject::connect(w.mnuMeasure, &QAction::triggered, &w, [&w] { mnuMeasure_click(w); });
  QObject::connect(w.mnuQuarvel, &QAction::triggered, &w, [&w] { mnuQuarvel_click(w); });
  QObject::connect(w.mnuBlock, &QAction::triggered, &w, [&w] { mnuBlock_click(w); });
  QObject::connect(w.mnuContinuous, &QAction::triggered, &w, [&w] { mnuContinuous_click(w); });
  QObject::connect(w.mnuExit, &QAction::triggered, &w, [&w] { mnuExit_click(w); });
  QObject::connect(w.mnuPSD, &QAction::triggered, &w, [&w] {
    // The item has already flipped its tick; the command reads the tick as it was and sets it.
    w.mnuPSD->setChecked(!w.mnuPSD->isChecked());
    mnuPSD_click(w);
  });
  for (int i = 1; i <= 5; ++i) {
    QObject::connect(w.mnuCopyitem[i], &QAction::triggered, &w, [&w, i] { mnuCopyitem_Click(w, i); });
  }
}

}  // namespace quarvel
