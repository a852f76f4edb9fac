// Fixed-size arrays indexed from an arbitrary first index (display channels 1..3, the range
// table 1..20, unit texts 0..3); the sample arrays indexed from 0 are in core/sample_array.h.
#pragma once

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "core/sample_array.h"

namespace quarvel {

template <typename T, int First, int Last>
class IndexedArray {
 public:
  static constexpr int first = First;
  static constexpr int last = Last;

  constexpr IndexedArray() = default;
  // One value per index, in index order.
  constexpr IndexedArray(std::initializer_list<T> values) {
    assert(values.size() == v_.size());
    int i = 0;
    for (const T& x : values) v_[i++] = x;
  }
  // Every index holding the same value.
  static constexpr IndexedArray filled(const T& x) {
    IndexedArray a;
    a.v_.fill(x);
    return a;
  }

  T& operator[](int i) {
    assert(i >= First && i <= Last);
    return v_[static_cast<std::size_t>(i - First)];
  }
  const T& operator[](int i) const {
    assert(i >= First && i <= Last);
    return v_[static_cast<std::size_t>(i - First)];
  }
  void fill(const T& x) { v_.fill(x); }
  bool operator==(const IndexedArray&) const = default;

 private:
  std::array<T, Last - First + 1> v_{};
};

// One value per display channel 1..3.
template <typename T>
using PerChannel = IndexedArray<T, 1, 3>;

// Resizes a 0-based vector to indices 0..last_index, all values zero.
template <typename T>
void redim(std::vector<T>& v, int32_t last_index) {
  v.assign(last_index < 0 ? 0 : static_cast<std::size_t>(last_index) + 1, T{});
  v.shrink_to_fit();
}

}  // namespace quarvel
