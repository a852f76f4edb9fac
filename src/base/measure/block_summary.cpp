#include "measure/block_summary.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/numbers.h"
#include "measure/results_rows.h"

namespace quarvel {

ColumnStats column_stats(std::span<const double> values) {
  ColumnStats r;
  r.count = static_cast<int>(values.size());
  if (r.count == 0) return r;
  double sum = 0, squares = 0;
  for (double x : values) {
    sum += x;
    squares += x * x;
  }
  const double n = r.count;
  r.mean = sum / n;
  if (r.count > 1) r.sd = std::sqrt(std::max(0.0, (squares - sum * sum / n) / (n - 1)));
  return r;
}

BlockSummary block_summary(const ResultsStore& store, int ch, int first, int last) {
  BlockSummary b;
  static const char* const kLabels[3] = {"mean", "SD", "n"};
  static const ResultKind kKinds[3] = {kKindMean, kKindSD, kKindCount};
  for (int r = 0; r < 3; ++r) {
    b.records[r].kind = kKinds[r];
    b.records[r].text = kLabels[r];
  }
  for (int col = 5; col <= 7; ++col) {
    // A block's first reading has no period.
    const int from = col == 7 ? first + 1 : first;
    std::vector<double> values;
    for (int row = from; row <= last; ++row) values.push_back(store.at(row, ch).v[col]);
    const ColumnStats st = column_stats(values);
    b.records[0].v[col] = static_cast<float>(st.mean);
    b.records[1].v[col] = static_cast<float>(st.sd);
    b.records[2].v[col] = static_cast<float>(st.count);
    b.cells[0] << format(st.mean, "###0.00");
    b.cells[1] << format(st.sd, "###0.00");
    b.cells[2] << format(st.count, "###0");
  }
  return b;
}

}  // namespace quarvel
