#include <QAction>
#include <QComboBox>
#include <QPushButton>

#include "acquisition/acquire.h"
#include "acquisition/calibrate.h"
#include "acquisition/device_source.h"
#include "acquisition/recording.h"
#include "app/commands.h"
#include "app/handlers.h"
#include "app/main_window.h"
#include "ui/events.h"

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
  QObject::connect(w.src_list, &QComboBox::activated, &w, guarded(w, [&w] { src_list_click(w); }));
  // What is typed as port or baud rate is read when a run starts; the source line shows it at once.
  for (QComboBox* box : {w.port_list, w.baud_list}) {
    on_edit_committed(box, guarded(w, [&w] { show_source(w); }));
    QObject::connect(box, &QComboBox::activated, &w, guarded(w, [&w] { show_source(w); }));
  }
  on_trigger(w, w.mnuCalibrate, mnuCalibrate_click);
}

}  // namespace quarvel
