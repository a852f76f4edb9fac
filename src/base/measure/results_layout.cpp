#include "measure/results_layout.h"

#include <vector>

namespace quarvel {

QStringList results_header_cells(bool block_view) {
  if (block_view) return {" ", "        t", "        A", "    t-dly", "   p-to-p", "    dist."};
  return {" ", "     x1", "     y1", "     x2", "     y2", "  ampl.", "   tone", " period"};
}

QString results_header_text(bool block_view) {
  return results_header_cells(block_view).join('\t');
}

QStringList results_header_cells(bool block_view, const QString& caption, const QString& unit) {
  QStringList cells = results_header_cells(block_view);
  if (!caption.isEmpty()) cells[0] = caption;
  if (unit.isEmpty()) return cells;
  static const std::vector<int> kBlockAmplitudes{2, 4};
  static const std::vector<int> kContinuousAmplitudes{2, 4, 5, 6};
  for (const int c : block_view ? kBlockAmplitudes : kContinuousAmplitudes) {
    const QString with_unit = cells[c].trimmed() + " " + unit;
    cells[c] = with_unit.rightJustified(cells[c].size());
  }
  return cells;
}

QString results_header_text(bool block_view, const QString& caption, const QString& unit) {
  return results_header_cells(block_view, caption, unit).join('\t');
}

}  // namespace quarvel
