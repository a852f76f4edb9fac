// A flag of the shared state and of the data files: stored as int16 with true = -1 (all bits set)
// and false = 0, the value -1 reaching the .bin header for the block mode. Code reads and writes a
// flag only through bool: an explicit conversion each way.
#pragma once

#include <cstdint>
#include <ostream>

namespace quarvel {

class Flag {
 public:
  constexpr Flag() = default;
  constexpr explicit Flag(bool on) : stored_(on ? int16_t{-1} : int16_t{0}) {}
  // A flag as a file stores it: any value other than 0 is true, and comes back as -1.
  static constexpr Flag from_stored(int16_t v) { return Flag(v != 0); }

  constexpr explicit operator bool() const { return stored_ != 0; }
  // The int16 written to a file: -1 or 0.
  constexpr int16_t stored() const { return stored_; }

  constexpr bool operator==(const Flag&) const = default;

 private:
  int16_t stored_ = 0;
};

constexpr Flag kTrue{true};
constexpr Flag kFalse{false};

inline std::ostream& operator<<(std::ostream& os, Flag f) {
  return os << (f ? "true (-1)" : "false (0)");
}

}  // namespace quarvel
