// Summaries of long sample and marker arrays at several resolutions, so that the lowest and
// highest value of any stretch, or the first and last marker word of a kind in it, costs a few
// dozen reads whatever the stretch's length. Level k holds one entry per block of 32^(k+1)
// values; a query reads the values themselves only up to the first block boundary at each end.
// Answers are exact: the same as reading every value of the stretch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace quarvel {

// The lowest and highest value of a stretch; lo > hi when it holds no comparable value.
struct Extremes {
  float lo = std::numeric_limits<float>::infinity();
  float hi = -std::numeric_limits<float>::infinity();
  bool empty() const { return !(lo <= hi); }
};

class MinMaxSummary {
 public:
  // Summarises v[0..n-1]; the summary never keeps v, every query is handed it again.
  MinMaxSummary(const float* v, int64_t n);

  int64_t size() const { return n_; }
  // Extremes of v[from..to] (both included, clipped to 0..n-1). A NaN never wins a comparison,
  // so NaN values are skipped.
  Extremes extremes(const float* v, int64_t from, int64_t to) const;
  std::size_t bytes() const;

 private:
  int64_t n_;
  std::vector<std::vector<float>> lo_;  // [level][block]
  std::vector<std::vector<float>> hi_;
};

// Properties of a marker word (0 none, 100 marker on, 200 stimulus) a search can look for.
enum class MarkerTest : uint8_t { On = 1, NotOn = 2, Stimulus = 4 };

inline bool passes(int16_t word, MarkerTest t) {
  switch (t) {
    case MarkerTest::On:
      return word == 100;
    case MarkerTest::NotOn:
      return word != 100;
    case MarkerTest::Stimulus:
      return word == 200;
  }
  return false;
}

class MarkerSummary {
 public:
  MarkerSummary(const int16_t* m, int64_t n);

  int64_t size() const { return n_; }
  // The first (last) index in from..to (clipped to 0..n-1) whose word passes t; -1 when none.
  int64_t first(const int16_t* m, int64_t from, int64_t to, MarkerTest t) const;
  int64_t last(const int16_t* m, int64_t from, int64_t to, MarkerTest t) const;

 private:
  // Whether item i of a level (-1: the words themselves) holds a word that passes t.
  bool holds(const int16_t* m, int level, int64_t i, MarkerTest t) const;
  int64_t descend(const int16_t* m, int level, int64_t i, MarkerTest t, bool from_left) const;
  int64_t search(const int16_t* m, int64_t from, int64_t to, MarkerTest t, bool from_left) const;

  int64_t n_;
  std::vector<std::vector<uint8_t>> bits_;  // [level][block]: the MarkerTest bits its words pass
};

}  // namespace quarvel
