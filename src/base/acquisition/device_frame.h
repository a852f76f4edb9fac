// What a serial device delivers: frames of the four inputs a recording can choose from (the first
// four values of a line, or the analog pins A0..A3 of a Firmata board), and the set of inputs a
// recording uses.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

namespace quarvel {

// The inputs in use, 1..4, as the display channels' sources name them.
class InputSet {
 public:
  InputSet() = default;
  // Inputs from ch_source values; anything outside 1..4 (0 = no input) adds nothing.
  static InputSet of(std::initializer_list<int> inputs) {
    InputSet s;
    for (int i : inputs) s.add(i);
    return s;
  }
  void add(int input) {
    if (input >= 1 && input <= 4) bits_ = static_cast<uint8_t>(bits_ | (1u << (input - 1)));
  }
  bool has(int input) const { return input >= 1 && input <= 4 && (bits_ >> (input - 1) & 1u) != 0; }
  bool empty() const { return bits_ == 0; }
  int count() const { return __builtin_popcount(bits_); }
  // The highest input in use, 0 when none: a line must hold at least this many values.
  int highest() const { return bits_ == 0 ? 0 : 32 - __builtin_clz(bits_); }
  bool operator==(const InputSet&) const = default;

 private:
  uint8_t bits_ = 0;
};

// One sample of every input: input k is value[k - 1]. Only the inputs in use carry the device's
// values; the others are 0 and are never recorded.
struct Frame {
  std::array<int16_t, 4> value{};
  int16_t input(int k) const { return value[static_cast<size_t>(k - 1)]; }
  bool operator==(const Frame&) const = default;
};

}  // namespace quarvel
