#include "core/summary.h"

#include <algorithm>

namespace quarvel {

namespace {

constexpr int kShift = kSummaryBlockShift;  // 32 entries of one level make one entry of the next
constexpr int64_t kFan = kSummaryBlock;

// A stretch of one level: its items a..b-1; level -1 is the values themselves.
struct Part {
  int level;
  int64_t a;
  int64_t b;
};

// Cuts from..to into the parts a query reads, in order from left to right: at each level the
// items up to the first whole block of the next level and from the last one on, and in the
// middle the items of the highest level reached. At most 2 x 31 items per level.
int split(int64_t from, int64_t to, int levels, Part* parts) {
  Part left[16], right[16];
  int depth = 0;
  int64_t a = from, b = to + 1;
  int level = -1;
  while (level + 1 < levels) {
    const int64_t up = (a + kFan - 1) >> kShift, down = b >> kShift;
    if (up >= down) break;
    left[depth] = Part{level, a, up << kShift};
    right[depth] = Part{level, down << kShift, b};
    ++depth;
    a = up;
    b = down;
    ++level;
  }
  int n = 0;
  for (int k = 0; k < depth; ++k) parts[n++] = left[k];
  parts[n++] = Part{level, a, b};
  for (int k = depth - 1; k >= 0; --k) parts[n++] = right[k];
  return n;
}

inline void take(float v, float& lo, float& hi) {
  lo = v < lo ? v : lo;
  hi = v > hi ? v : hi;
}

// Extremes of v[a..b-1] into lo and hi; four lanes keep the comparisons from waiting on each other.
void scan(const float* v, int64_t a, int64_t b, float& lo, float& hi) {
  float l[4] = {lo, lo, lo, lo};
  float h[4] = {hi, hi, hi, hi};
  int64_t j = a;
  for (; j + 4 <= b; j += 4)
    for (int k = 0; k < 4; ++k) take(v[j + k], l[k], h[k]);
  for (; j < b; ++j) take(v[j], l[0], h[0]);
  lo = std::min(std::min(l[0], l[1]), std::min(l[2], l[3]));
  hi = std::max(std::max(h[0], h[1]), std::max(h[2], h[3]));
}

// The number of entries of each level over n values: one per started block, up to a level of
// at most kFan entries.
std::vector<int64_t> level_sizes(int64_t n) {
  std::vector<int64_t> sizes;
  int64_t count = n;
  while (count > kFan) {
    count = (count + kFan - 1) >> kShift;
    sizes.push_back(count);
  }
  return sizes;
}

}  // namespace

int64_t summary_blocks(int64_t n) {
  return n > kFan ? (n + kFan - 1) >> kShift : 0;
}

MinMaxSummary::MinMaxSummary(const float* v, int64_t n) : n_(std::max<int64_t>(n, 0)) {
  refill(v, 0, 0);
}

MinMaxSummary::MinMaxSummary(int64_t n, std::vector<float> lo, std::vector<float> hi) : n_(std::max<int64_t>(n, 0)) {
  if (summary_blocks(n_) == 0) return;
  lo_.push_back(std::move(lo));
  hi_.push_back(std::move(hi));
  lo_[0].resize(static_cast<size_t>(summary_blocks(n_)), Extremes{}.lo);
  hi_[0].resize(static_cast<size_t>(summary_blocks(n_)), Extremes{}.hi);
  refill(nullptr, 0, 1);
}

void MinMaxSummary::resize(const float* v, int64_t n) {
  const int64_t changed = std::min(n_, std::max<int64_t>(n, 0));
  n_ = std::max<int64_t>(n, 0);
  refill(v, changed, 0);
}

// Entries of levels `level` and up are made anew from the item `from` of the level below on (the
// values themselves below level 0); the entries before stay.
void MinMaxSummary::refill(const float* v, int64_t from, size_t level) {
  const std::vector<int64_t> sizes = level_sizes(n_);
  lo_.resize(sizes.size());
  hi_.resize(sizes.size());
  for (size_t k = 0; k < sizes.size(); ++k) {
    const int64_t first = from >> kShift;
    from = first;
    std::vector<float>& lo = lo_[k];
    std::vector<float>& hi = hi_[k];
    if (k < level) continue;
    lo.resize(static_cast<size_t>(sizes[k]));
    hi.resize(static_cast<size_t>(sizes[k]));
    const int64_t below = k == 0 ? n_ : sizes[k - 1];
    for (int64_t j = first; j < sizes[k]; ++j) {
      const int64_t a = j << kShift, b = std::min(below, a + kFan);
      float l = Extremes{}.lo, h = Extremes{}.hi;
      if (k == 0) {
        scan(v, a, b, l, h);
      } else {
        for (int64_t i = a; i < b; ++i) {
          l = std::min(l, lo_[k - 1][static_cast<size_t>(i)]);
          h = std::max(h, hi_[k - 1][static_cast<size_t>(i)]);
        }
      }
      lo[static_cast<size_t>(j)] = l;
      hi[static_cast<size_t>(j)] = h;
    }
  }
}

Extremes MinMaxSummary::extremes(const float* v, int64_t from, int64_t to) const {
  Extremes e;
  from = std::max<int64_t>(from, 0);
  to = std::min<int64_t>(to, n_ - 1);
  if (from > to) return e;
  Part parts[40];
  const int n = split(from, to, static_cast<int>(lo_.size()), parts);
  for (int p = 0; p < n; ++p) {
    const Part& s = parts[p];
    if (s.level < 0) {
      scan(v, s.a, s.b, e.lo, e.hi);
      continue;
    }
    // A block without comparable values holds +inf and -inf, which change nothing here.
    const std::vector<float>& lo = lo_[static_cast<size_t>(s.level)];
    const std::vector<float>& hi = hi_[static_cast<size_t>(s.level)];
    for (int64_t i = s.a; i < s.b; ++i) {
      e.lo = std::min(e.lo, lo[static_cast<size_t>(i)]);
      e.hi = std::max(e.hi, hi[static_cast<size_t>(i)]);
    }
  }
  return e;
}

// Asks for the cache lines of a..b-1 of v without waiting for them.
inline void fetch(const float* v, int64_t a, int64_t b) {
  constexpr int64_t kLine = 64 / sizeof(float);
  if (a >= b) return;
  for (int64_t i = a; i < b; i += kLine) __builtin_prefetch(v + i);
  __builtin_prefetch(v + b - 1);
}

void MinMaxSummary::prefetch(const float* v, int64_t from, int64_t to) const {
  from = std::max<int64_t>(from, 0);
  to = std::min<int64_t>(to, n_ - 1);
  if (from > to) return;
  Part parts[40];
  const int n = split(from, to, static_cast<int>(lo_.size()), parts);
  for (int p = 0; p < n; ++p) {
    const Part& s = parts[p];
    if (s.level < 0) {
      fetch(v, s.a, s.b);
    } else {
      fetch(lo_[static_cast<size_t>(s.level)].data(), s.a, s.b);
      fetch(hi_[static_cast<size_t>(s.level)].data(), s.a, s.b);
    }
  }
}

void MinMaxSummary::extremes(const float* v, const std::vector<IndexRange>& ranges, Extremes* out) const {
  // Far enough ahead for the fetches to arrive, near enough for them to stay in the cache.
  constexpr size_t kAhead = 8;
  for (size_t k = 0; k < std::min(kAhead, ranges.size()); ++k) prefetch(v, ranges[k].first, ranges[k].last);
  for (size_t k = 0; k < ranges.size(); ++k) {
    if (k + kAhead < ranges.size()) prefetch(v, ranges[k + kAhead].first, ranges[k + kAhead].last);
    out[k] = extremes(v, ranges[k].first, ranges[k].last);
  }
}

std::size_t MinMaxSummary::bytes() const {
  std::size_t b = 0;
  for (const std::vector<float>& l : lo_) b += 2 * l.size() * sizeof(float);
  return b;
}

MarkerSummary::MarkerSummary(const int16_t* m, int64_t n) : n_(std::max<int64_t>(n, 0)) {
  refill(m, 0, 0);
}

MarkerSummary::MarkerSummary(int64_t n, std::vector<uint8_t> bits) : n_(std::max<int64_t>(n, 0)) {
  if (summary_blocks(n_) == 0) return;
  bits_.push_back(std::move(bits));
  bits_[0].resize(static_cast<size_t>(summary_blocks(n_)), 0);
  refill(nullptr, 0, 1);
}

void MarkerSummary::resize(const int16_t* m, int64_t n) {
  const int64_t changed = std::min(n_, std::max<int64_t>(n, 0));
  n_ = std::max<int64_t>(n, 0);
  refill(m, changed, 0);
}

void MarkerSummary::refill(const int16_t* m, int64_t from, size_t level) {
  const std::vector<int64_t> sizes = level_sizes(n_);
  bits_.resize(sizes.size());
  for (size_t k = 0; k < sizes.size(); ++k) {
    const int64_t first = from >> kShift;
    from = first;
    if (k < level) continue;
    std::vector<uint8_t>& bits = bits_[k];
    bits.resize(static_cast<size_t>(sizes[k]));
    const int64_t below = k == 0 ? n_ : sizes[k - 1];
    for (int64_t j = first; j < sizes[k]; ++j) {
      const int64_t a = j << kShift, b = std::min(below, a + kFan);
      uint8_t x = 0;
      for (int64_t i = a; i < b; ++i) x |= k == 0 ? marker_bits(m[i]) : bits_[k - 1][static_cast<size_t>(i)];
      bits[static_cast<size_t>(j)] = x;
    }
  }
}

bool MarkerSummary::holds(const int16_t* m, int level, int64_t i, MarkerTest t) const {
  if (level < 0) return passes(m[i], t);
  return (bits_[static_cast<size_t>(level)][static_cast<size_t>(i)] & static_cast<uint8_t>(t)) != 0;
}

// The first (or last) word passing t inside item i of a level that is known to hold one.
int64_t MarkerSummary::descend(const int16_t* m, int level, int64_t i, MarkerTest t, bool from_left) const {
  while (level >= 0) {
    const int64_t below = level == 0 ? n_ : static_cast<int64_t>(bits_[static_cast<size_t>(level - 1)].size());
    const int64_t a = i << kShift, b = std::min(below, a + kFan);
    int64_t found = -1;
    if (from_left) {
      for (int64_t c = a; c < b && found < 0; ++c)
        if (holds(m, level - 1, c, t)) found = c;
    } else {
      for (int64_t c = b - 1; c >= a && found < 0; --c)
        if (holds(m, level - 1, c, t)) found = c;
    }
    i = found;
    --level;
  }
  return i;
}

int64_t MarkerSummary::search(const int16_t* m, int64_t from, int64_t to, MarkerTest t, bool from_left) const {
  from = std::max<int64_t>(from, 0);
  to = std::min<int64_t>(to, n_ - 1);
  if (from > to) return -1;
  Part parts[40];
  const int n = split(from, to, static_cast<int>(bits_.size()), parts);
  for (int k = 0; k < n; ++k) {
    const Part& s = parts[from_left ? k : n - 1 - k];
    if (from_left) {
      for (int64_t i = s.a; i < s.b; ++i)
        if (holds(m, s.level, i, t)) return descend(m, s.level, i, t, true);
    } else {
      for (int64_t i = s.b - 1; i >= s.a; --i)
        if (holds(m, s.level, i, t)) return descend(m, s.level, i, t, false);
    }
  }
  return -1;
}

int64_t MarkerSummary::first(const int16_t* m, int64_t from, int64_t to, MarkerTest t) const {
  return search(m, from, to, t, true);
}

int64_t MarkerSummary::last(const int16_t* m, int64_t from, int64_t to, MarkerTest t) const {
  return search(m, from, to, t, false);
}

}  // namespace quarvel
