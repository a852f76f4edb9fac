#include "core/handlers.h"
#include "core/main_window.h"

namespace quarvel {

void wire_display(MainWindow& w) {
  (void)w;
}

}  // namespace quarvel
