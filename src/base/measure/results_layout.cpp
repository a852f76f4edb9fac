#include "measure/results_layout.h"

namespace quarvel {

QStringList results_header_cells(bool block_view) {
  if (block_view) return {" ", "        t", "        A", "    t-dly", "   p-to-p", "    dist."};
  return {" ", "     x1", "     y1", "     x2", "     y2", "  ampl.", "   tone", " period"};
}

QString results_header_text(bool block_view) {
  return results_header_cells(block_view).join('\t');
}

}  // namespace quarvel
