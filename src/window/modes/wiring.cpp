#include <QAction>

#include "app/commands.h"
#include "app/handlers.h"
#include "app/main_window.h"
#include "modes/clipboard_export.h"
#include "modes/picture_file.h"
#include "modes/spectrum_view.h"
#include "modes/working_modes.h"

namespace quarvel {

void wire_modes(MainWindow& w) {
  on_trigger(w, w.mnuMeasure, mnuMeasure_click);
  on_trigger(w, w.mnuQuarvel, mnuQuarvel_click);
  on_trigger(w, w.mnuBlock, mnuBlock_click);
  on_trigger(w, w.mnuContinuous, mnuContinuous_click);
  on_trigger_ending_load(w, w.mnuExit, mnuExit_click, MainWindow::AfterLoad::Exit);
  on_trigger(w, w.mnuPSD, mnuPSD_click);
  on_trigger(w, w.mnuSavePicture, mnuSavePicture_click);
  for (int i = 1; i <= 5; ++i) {
    QObject::connect(w.mnuCopyitem[i], &QAction::triggered, &w,
                     [&w, i] { run_command(w, [&w, i] { mnuCopyitem_Click(w, i); }); });
  }
}

}  // namespace quarvel
