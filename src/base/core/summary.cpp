#include "core/summary.h"

#include <algorithm>

#include "core/memory.h"

namespace quarvel {

namespace {

// Level k's entries each cover 2^shift_of(k) items of the level below (the values, below level 0).
constexpr int kUpperShift = 3;
constexpr int shift_of(int level) { return level == 0 ? kSummaryBlockShift : kUpperShift; }

// A stretch of one level: its items a..b-1; level -1 is the values themselves.
struct Part {
  int level;
  int64_t a;
  int64_t b;
};

// Cuts from..to into the parts a query reads, in order from left to right: at each level the
// items up to the first whole entry of the next level and from the last one on, and in the
// middle the items of the highest level reached: at most 2 x 63 values and 2 x 7 entries a level.
int split(int64_t from, int64_t to, int levels, Part* parts) {
  Part left[16], right[16];
  int depth = 0;
  int64_t a = from, b = to + 1;
  int level = -1;
  while (level + 1 < levels) {
    const int shift = shift_of(level + 1);
    const int64_t up = (a + (int64_t{1} << shift) - 1) >> shift, down = b >> shift;
    if (up >= down) break;
    left[depth] = Part{level, a, up << shift};
    right[depth] = Part{level, down << shift, b};
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
template <typename T>
void scan(const T* v, int64_t a, int64_t b, float& lo, float& hi) {
  float l[4] = {lo, lo, lo, lo};
  float h[4] = {hi, hi, hi, hi};
  int64_t j = a;
  for (; j + 4 <= b; j += 4)
    for (int k = 0; k < 4; ++k) take(static_cast<float>(v[j + k]), l[k], h[k]);
  for (; j < b; ++j) take(static_cast<float>(v[j]), l[0], h[0]);
  lo = std::min(std::min(l[0], l[1]), std::min(l[2], l[3]));
  hi = std::max(std::max(h[0], h[1]), std::max(h[2], h[3]));
}

// Entries a..b-1 of a level combined into e. An entry without comparable values holds +inf and
// -inf, which change nothing.
void combine(const Extremes* level, int64_t a, int64_t b, Extremes& e) {
  for (int64_t i = a; i < b; ++i) {
    e.lo = std::min(e.lo, level[i].lo);
    e.hi = std::max(e.hi, level[i].hi);
  }
}

// The number of entries of each level over n values: one per started entry of the level below,
// up to a level of no more items than one entry of the next would cover.
std::vector<int64_t> level_sizes(int64_t n) {
  std::vector<int64_t> sizes;
  int64_t count = n;
  for (int shift = shift_of(0); count > (int64_t{1} << shift); shift = shift_of(static_cast<int>(sizes.size()))) {
    count = (count + (int64_t{1} << shift) - 1) >> shift;
    sizes.push_back(count);
  }
  return sizes;
}

// Sizes a level; a long one is asked for in huge pages before its memory is first touched.
template <typename T>
void size_level(std::vector<T>& level, int64_t size) {
  if (level.empty()) {
    level.reserve(static_cast<size_t>(size));
    advise_huge_pages(level.data(), level.capacity() * sizeof(T));
  }
  level.resize(static_cast<size_t>(size));
}

}  // namespace

int64_t summary_blocks(int64_t n) {
  return n > kSummaryBlock ? (n + kSummaryBlock - 1) >> kSummaryBlockShift : 0;
}

template <typename T>
MinMaxSummary::MinMaxSummary(const T* v, int64_t n) : n_(std::max<int64_t>(n, 0)) {
  refill(v, 0, 0);
}

MinMaxSummary::MinMaxSummary(int64_t n, std::vector<Extremes> first_level) : n_(std::max<int64_t>(n, 0)) {
  if (summary_blocks(n_) == 0) return;
  levels_.push_back(std::move(first_level));
  levels_[0].resize(static_cast<size_t>(summary_blocks(n_)));
  refill(static_cast<const float*>(nullptr), 0, 1);
}

template <typename T>
void MinMaxSummary::resize(const T* v, int64_t n) {
  const int64_t changed = std::min(n_, std::max<int64_t>(n, 0));
  n_ = std::max<int64_t>(n, 0);
  refill(v, changed, 0);
}

// Entries of levels `level` and up are made anew from the item `from` of the level below on (the
// values themselves below level 0); the entries before stay.
template <typename T>
void MinMaxSummary::refill(const T* v, int64_t from, size_t level) {
  const std::vector<int64_t> sizes = level_sizes(n_);
  levels_.resize(sizes.size());
  for (size_t k = 0; k < sizes.size(); ++k) {
    const int shift = shift_of(static_cast<int>(k));
    const int64_t first = from >> shift;
    from = first;
    if (k < level) continue;
    std::vector<Extremes>& entries = levels_[k];
    size_level(entries, sizes[k]);
    const int64_t below = k == 0 ? n_ : sizes[k - 1];
    for (int64_t j = first; j < sizes[k]; ++j) {
      const int64_t a = j << shift, b = std::min(below, (j + 1) << shift);
      Extremes e;
      if (k == 0) {
        scan(v, a, b, e.lo, e.hi);
      } else {
        combine(levels_[k - 1].data(), a, b, e);
      }
      entries[static_cast<size_t>(j)] = e;
    }
  }
}

// The middle part of a query is combined first, then the parts at each end from the highest level
// down. Each end part lies inside one entry of the level above it (the one its first item belongs
// to), and so do all the lower parts at that end; when that entry's extremes lie within what has
// been combined so far, nothing at that end can change the answer, and it is not read. Over a
// long stretch that is nearly always the case, so a query mostly reads a few entries of the
// small upper levels rather than the large first level and the values.
template <typename T>
Extremes MinMaxSummary::extremes(const T* v, int64_t from, int64_t to) const {
  Extremes e;
  from = std::max<int64_t>(from, 0);
  to = std::min<int64_t>(to, n_ - 1);
  if (from > to) return e;
  Part parts[40];
  const int n = split(from, to, static_cast<int>(levels_.size()), parts);
  auto read = [&](const Part& p) {
    if (p.level < 0) {
      scan(v, p.a, p.b, e.lo, e.hi);
    } else {
      combine(levels_[static_cast<size_t>(p.level)].data(), p.a, p.b, e);
    }
  };
  auto inside = [&](const Part& p) {
    const Extremes& above = levels_[static_cast<size_t>(p.level + 1)][static_cast<size_t>(p.a >> shift_of(p.level + 1))];
    return above.lo >= e.lo && above.hi <= e.hi;
  };
  const int depth = n / 2;
  read(parts[depth]);
  bool left_open = true, right_open = true;
  for (int k = depth - 1; k >= 0; --k) {
    const Part& left = parts[k];
    const Part& right = parts[n - 1 - k];
    if (left_open && left.a < left.b) {
      left_open = !inside(left);
      if (left_open) read(left);
    }
    if (right_open && right.a < right.b) {
      right_open = !inside(right);
      if (right_open) read(right);
    }
  }
  return e;
}

// Asks for the cache lines of a..b-1 of v without waiting for them.
template <typename T>
inline void fetch(const T* v, int64_t a, int64_t b) {
  constexpr int64_t kLine = 64 / sizeof(T);
  if (a >= b) return;
  for (int64_t i = a; i < b; i += kLine) __builtin_prefetch(v + i);
  __builtin_prefetch(v + b - 1);
}

// Fetches what a query reads nearly always: its middle part with the entries on either side (those
// enclosing the highest end parts), and the highest end parts themselves.
template <typename T>
void MinMaxSummary::prefetch(const T* v, int64_t from, int64_t to) const {
  from = std::max<int64_t>(from, 0);
  to = std::min<int64_t>(to, n_ - 1);
  if (from > to) return;
  Part parts[40];
  const int n = split(from, to, static_cast<int>(levels_.size()), parts);
  const int depth = n / 2;
  for (int k = std::max(depth - 1, 0); k < std::min(depth + 2, n); ++k) {
    const Part& p = parts[k];
    if (p.level < 0) {
      fetch(v, p.a, p.b);
    } else {
      const std::vector<Extremes>& level = levels_[static_cast<size_t>(p.level)];
      fetch(level.data(), std::max<int64_t>(p.a - 1, 0), std::min<int64_t>(p.b + 1, static_cast<int64_t>(level.size())));
    }
  }
}

template <typename T>
void MinMaxSummary::extremes(const T* v, const std::vector<IndexRange>& ranges, Extremes* out) const {
  // Far enough ahead for the fetches to arrive, near enough for them to stay in the cache.
  constexpr size_t kAhead = 8;
  for (size_t k = 0; k < std::min(kAhead, ranges.size()); ++k) prefetch(v, ranges[k].first, ranges[k].last);
  for (size_t k = 0; k < ranges.size(); ++k) {
    if (k + kAhead < ranges.size()) prefetch(v, ranges[k + kAhead].first, ranges[k + kAhead].last);
    out[k] = extremes(v, ranges[k].first, ranges[k].last);
  }
}

// The values are floats, or the whole numbers of a file kept as read.
template MinMaxSummary::MinMaxSummary(const float*, int64_t);
template MinMaxSummary::MinMaxSummary(const int16_t*, int64_t);
template void MinMaxSummary::resize(const float*, int64_t);
template void MinMaxSummary::resize(const int16_t*, int64_t);
template Extremes MinMaxSummary::extremes(const float*, int64_t, int64_t) const;
template Extremes MinMaxSummary::extremes(const int16_t*, int64_t, int64_t) const;
template void MinMaxSummary::extremes(const float*, const std::vector<IndexRange>&, Extremes*) const;
template void MinMaxSummary::extremes(const int16_t*, const std::vector<IndexRange>&, Extremes*) const;

std::size_t MinMaxSummary::bytes() const {
  std::size_t b = 0;
  for (const std::vector<Extremes>& l : levels_) b += l.size() * sizeof(Extremes);
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
    const int shift = shift_of(static_cast<int>(k));
    const int64_t first = from >> shift;
    from = first;
    if (k < level) continue;
    std::vector<uint8_t>& bits = bits_[k];
    size_level(bits, sizes[k]);
    const int64_t below = k == 0 ? n_ : sizes[k - 1];
    for (int64_t j = first; j < sizes[k]; ++j) {
      const int64_t a = j << shift, b = std::min(below, (j + 1) << shift);
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
    const int64_t a = i << shift_of(level), b = std::min(below, (i + 1) << shift_of(level));
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
