#include <QPushButton>

#include "acquisition/acquire.h"
#include "acquisition/recording.h"
#include "app/commands.h"
#include "app/handlers.h"
#include "app/main_window.h"

namespace quarvel {

void wire_acquisition(MainWindow& w) {
  // A tick only raises the flag the loop waits for: nothing else changes, nothing can fail.
  w.Timer1().on_tick = [&w] { timer1_tick(w); };
  on_click(w, w.monitor, monitor_click);
  on_click(w, w.store, store_click);
  on_click(w, w.halt, halt_click);
  on_click(w, w.drug_button, drug_button_click);
  on_click(w, w.stim, stim_click);
  on_click(w, w.save, save_click);
}

}  // namespace quarvel
