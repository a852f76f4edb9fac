// Summaries of long sample and marker arrays at several resolutions, so that the lowest and
// highest value of any stretch, or the first and last marker word of a kind in it, costs a few
// dozen reads whatever the stretch's length. An entry of the first level covers 64 values, an
// entry of each level above 8 entries of the level below; a query reads the items of a level only
// up to the first whole entry of the next level at each end. Answers are exact: the same as
// reading every value of the stretch.
//
// A long view asks one stretch per pixel column of data that is mostly not in any cache, so each
// stretch costs the cache lines it touches: a level keeps each entry's lowest and highest value
// side by side, the fan above the first level is small, so that the few items read at each end
// of a stretch lie in one or two lines, and an end is read at all only when the entry around it
// could widen what the rest of the stretch gave.
//
// A reader can fill the first level in its own decoding pass (SummaryBlock says which values make
// one entry), so that a long file is not read a second time for its summary, and a summary follows
// an array that grows by recomputing only the entries of its last blocks.
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

// Indices first..last, both included.
struct IndexRange {
  int64_t first;
  int64_t last;
};

// Entry j of a first level covers values j * kSummaryBlock .. (j + 1) * kSummaryBlock - 1.
constexpr int kSummaryBlockShift = 6;
constexpr int64_t kSummaryBlock = int64_t{1} << kSummaryBlockShift;
// The number of first-level entries over n values (0 when n is too short to have levels).
int64_t summary_blocks(int64_t n);

class MinMaxSummary {
 public:
  // Summarises v[0..n-1]; the summary never keeps v, every query is handed it again. T is float,
  // or int16_t for whole numbers kept as a file holds them; a query takes values of the same type.
  template <typename T>
  MinMaxSummary(const T* v, int64_t n);
  // The same from a first level made elsewhere: summary_blocks(n) entries, the extremes of each
  // block of v (an empty Extremes for a block without comparable values).
  MinMaxSummary(int64_t n, std::vector<Extremes> first_level);

  // v grew (or shrank) to n values, those below the old size unchanged.
  template <typename T>
  void resize(const T* v, int64_t n);

  int64_t size() const { return n_; }
  // Extremes of v[from..to] (both included, clipped to 0..n-1). A NaN never wins a comparison,
  // so NaN values are skipped.
  template <typename T>
  Extremes extremes(const T* v, int64_t from, int64_t to) const;
  // The same for many stretches at once, out[k] for ranges[k]. The memory of later stretches is
  // fetched while earlier ones are combined: over a long array each stretch reads a few scattered
  // cache lines, and waiting for them one query at a time costs more than the reading.
  template <typename T>
  void extremes(const T* v, const std::vector<IndexRange>& ranges, Extremes* out) const;
  std::size_t bytes() const;

 private:
  template <typename T>
  void refill(const T* v, int64_t from, std::size_t level);
  template <typename T>
  void prefetch(const T* v, int64_t from, int64_t to) const;

  int64_t n_;
  std::vector<std::vector<Extremes>> levels_;  // [level][entry]
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

// The MarkerTest bits a word passes, which the first level ORs over each block.
inline uint8_t marker_bits(int16_t word) {
  return static_cast<uint8_t>((word == 100 ? 1 : 2) | (word == 200 ? 4 : 0));
}

class MarkerSummary {
 public:
  MarkerSummary(const int16_t* m, int64_t n);
  // From a first level made elsewhere: summary_blocks(n) entries, the OR of marker_bits over each
  // block of m.
  MarkerSummary(int64_t n, std::vector<uint8_t> bits);

  // m grew (or shrank) to n words, those below the old size unchanged.
  void resize(const int16_t* m, int64_t n);

  int64_t size() const { return n_; }
  // The first (last) index in from..to (clipped to 0..n-1) whose word passes t; -1 when none.
  int64_t first(const int16_t* m, int64_t from, int64_t to, MarkerTest t) const;
  int64_t last(const int16_t* m, int64_t from, int64_t to, MarkerTest t) const;

 private:
  // Whether item i of a level (-1: the words themselves) holds a word that passes t.
  bool holds(const int16_t* m, int level, int64_t i, MarkerTest t) const;
  int64_t descend(const int16_t* m, int level, int64_t i, MarkerTest t, bool from_left) const;
  int64_t search(const int16_t* m, int64_t from, int64_t to, MarkerTest t, bool from_left) const;
  void refill(const int16_t* m, int64_t from, std::size_t level);

  int64_t n_;
  std::vector<std::vector<uint8_t>> bits_;  // [level][block]: the MarkerTest bits its words pass
};

}  // namespace quarvel
