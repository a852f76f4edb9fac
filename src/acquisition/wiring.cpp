#include <QPushButton>

#include "acquisition/acquire.h"
#include "acquisition/recording.h"
#include "core/handlers.h"
#include "core/main_window.h"

namespace quarvel {

void wire_acquisition(MainWindow& w) {
  w.Timer1().on_tick = [&w] { timer1_tick(w); };
  QObject::connect(w.monitor, &QPushButton::clicked, &w, [&w] { monitor_click(w); });
  QObject::connect(w.store, &QPushButton::clicked, &w, [&w] { store_click(w); });
  QObject::connect(w.halt, &QPushButton::clicked, &w, [&w] { halt_click(w); });
  QObject::connect(w.drug_button, &QPushButton::clicked, &w, [&w] { drug_button_click(w); });
  QObject::connect(w.stim, &QPushButton::clicked, &w, [&w] { stim_click(w); });
  QObject::connect(w.save, &QPushButton::clicked, &w, [&w] { save_click(w); });
}

}  // namespace quarvel
