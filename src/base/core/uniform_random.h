// The program-wide uniform pseudo-random generator on [0, 1). It starts from a fixed state and
// is never reseeded, so every run of the program produces the same sequence of values.
#pragma once

#include <cstdint>

namespace quarvel {

class UniformRandom {
 public:
  static constexpr uint64_t kStartState = 0x2545F4914F6CDD1DULL;

  // Next value, uniform on [0, 1) with 53 bits of resolution (splitmix64 steps).
  double next() {
    state_ += 0x9E3779B97F4A7C15ULL;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * 0x1.0p-53;
  }
  uint64_t state() const { return state_; }

 private:
  uint64_t state_ = kStartState;
};

}  // namespace quarvel
