// The results store: per display channel up to 1000 records of readings, labels and block
// statistics, the numbers behind the results grids.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "core/indexed.h"

namespace quarvel {

struct ResultRec {
  int16_t kind = 0;  // 0 empty; 1..7 the line kinds of the results table
  QString text;
  IndexedArray<float, 1, 7> v = IndexedArray<float, 1, 7>::filled(0.0f);
};

class ResultsStore {
 public:
  static constexpr int kRows = 1000;

  ResultsStore() : recs_(kRows * 3) {}

  // Record (row 1..1000, channel 1..3).
  ResultRec& at(int row, int ch) {
    assert(fits(row) && ch >= 1 && ch <= 3);
    return recs_[static_cast<size_t>((row - 1) * 3 + (ch - 1))];
  }
  const ResultRec& at(int row, int ch) const {
    assert(fits(row) && ch >= 1 && ch <= 3);
    return recs_[static_cast<size_t>((row - 1) * 3 + (ch - 1))];
  }
  static bool fits(int row) { return row >= 1 && row <= kRows; }
  void clear() {
    for (auto& r : recs_) r = ResultRec{};
  }

 private:
  std::vector<ResultRec> recs_;
};

}  // namespace quarvel
