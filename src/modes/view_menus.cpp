#include "modes/view_menus.h"

#include <QAction>

#include "core/main_window.h"

namespace quarvel {

void continuous_view_menus(MainWindow& w) {
  w.mnuContinuous->setVisible(false);
  w.mnuBlock->setVisible(true);
  w.mnuBlock->setEnabled(true);
  w.mnuBlock->setText("Block mode");
  w.mnuS->setEnabled(true);
  w.mnuS->setChecked(true);
  for (QAction* a : {w.mnuA_S, w.mnuS_A, w.mnuA, w.mnuPSD, w.mnuOverplot}) {
    a->setChecked(false);
    a->setEnabled(false);
  }
}

}  // namespace quarvel
