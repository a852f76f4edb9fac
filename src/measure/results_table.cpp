#include "measure/results_table.h"

#include "core/main_window.h"

namespace quarvel {

void reset_grid(MainWindow& w) {
  (void)w;
}

}  // namespace quarvel
