#include "core/handlers.h"
#include "core/main_window.h"

namespace quarvel {

void wire_measure(MainWindow& w) {
  (void)w;
}

}  // namespace quarvel
