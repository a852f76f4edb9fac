// The summary that closes a block of continuous-view readings: mean, standard deviation and
// count of the ampl., tone and period columns, as the three store records and their cell texts.
#pragma once

#include <QStringList>
#include <array>
#include <span>

#include "core/results_store.h"

namespace quarvel {

struct ColumnStats {
  double mean = 0;
  double sd = 0;  // sample standard deviation; 0 for fewer than two values
  int count = 0;
};

// Sums in double precision. Equal values can leave Q - S^2/n a hair below zero; that spread
// counts as none.
ColumnStats column_stats(std::span<const double> values);

// The "mean", "SD" and "n" records of the readings in store rows first..last of channel ch
// (v(5), v(6), v(7)), and the texts of grid columns 5..7 of each. The period column leaves out
// the first reading, which has no period. Needs at least two readings, all inside the store.
struct BlockSummary {
  std::array<ResultRec, 3> records;
  std::array<QStringList, 3> cells;
};
BlockSummary block_summary(const ResultsStore& store, int ch, int first, int last);

}  // namespace quarvel
