#include "core/handlers.h"
#include "core/main_window.h"

namespace quarvel {

void wire_modes(MainWindow& w) {
  (void)w;
}

}  // namespace quarvel
