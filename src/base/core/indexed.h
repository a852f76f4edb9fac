// Fixed-size arrays indexed from an arbitrary first index (display channels 1..3, the range
// table 1..20, unit texts 0..3), and growable sample arrays indexed from 0.
#pragma once

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

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

// Samples of channels 1..channels(), each indexed 0..last_index(). Re-dimensioning zeroes
// every value, as the arrays are always refilled after it.
class SampleArray {
 public:
  SampleArray() = default;

  // Channels 1..channels, samples 0..last_index (no samples when last_index < 0). `spare` more
  // samples are reserved, so a later reshape to that many more costs no copy.
  void redim(int channels, int32_t last_index, int32_t spare = 0) {
    assert(channels >= 0 && channels <= 3);
    channels_ = channels;
    const std::size_t n = last_index < 0 ? 0 : static_cast<std::size_t>(last_index) + 1;
    for (int c = 0; c < 3; ++c) {
      // A new vector, so the memory of the old samples goes back (assigning {} would keep it).
      data_[c] = std::vector<float>();
      if (c < channels) {
        data_[c].reserve(n + static_cast<std::size_t>(std::max(spare, 0)));
        data_[c].assign(n, 0.0f);
      }
    }
  }
  void clear() { redim(0, -1); }

  // Channels 1..channels, samples 0..last_index, keeping the values already held and zeroing the
  // new ones.
  void reshape(int channels, int32_t last_index) {
    assert(channels >= 0 && channels <= 3);
    const std::size_t n = last_index < 0 ? 0 : static_cast<std::size_t>(last_index) + 1;
    for (int c = 0; c < 3; ++c) {
      if (c < channels) {
        data_[c].resize(n, 0.0f);
      } else {
        data_[c] = std::vector<float>();
      }
    }
    channels_ = channels;
  }

  int channels() const { return channels_; }
  int32_t last_index() const { return channels_ == 0 ? -1 : static_cast<int32_t>(data_[0].size()) - 1; }
  int32_t size() const { return last_index() + 1; }
  bool has(int ch, int64_t i) const {
    return ch >= 1 && ch <= channels_ && i >= 0 && i < static_cast<int64_t>(data_[0].size());
  }

  // A sample outside the array reads as 0 and a write to it goes nowhere, so a view or reading
  // that reaches past the data can never touch memory that is not the array's.
  float& operator()(int ch, int32_t i) {
    if (!has(ch, i)) return (outside_ = 0.0f);
    return data_[ch - 1][static_cast<std::size_t>(i)];
  }
  float operator()(int ch, int32_t i) const {
    if (!has(ch, i)) return 0.0f;
    return data_[ch - 1][static_cast<std::size_t>(i)];
  }
  float* channel(int ch) { return data_[ch - 1].data(); }
  const float* channel(int ch) const { return data_[ch - 1].data(); }

 private:
  int channels_ = 0;
  std::array<std::vector<float>, 3> data_;
  float outside_ = 0.0f;
};

// Resizes a 0-based vector to indices 0..last_index, all values zero.
template <typename T>
void redim(std::vector<T>& v, int32_t last_index) {
  v.assign(last_index < 0 ? 0 : static_cast<std::size_t>(last_index) + 1, T{});
  v.shrink_to_fit();
}

}  // namespace quarvel
