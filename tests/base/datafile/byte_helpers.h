// Small helpers for writing expected file bytes by hand in the data file tests.
#pragma once

#include <QByteArray>
#include <initializer_list>

namespace quarvel::testing {

// Bytes given as numbers 0..255.
inline QByteArray bytes_of(std::initializer_list<int> values) {
  QByteArray out;
  for (int v : values) out.append(static_cast<char>(v));
  return out;
}

// The 12 characters every versioned file starts with, spelt out.
inline QByteArray version_bytes() {
  return bytes_of({'V', 'e', 'r', 's', 'i', 'o', 'n', ' ', '1', '.', '0', '0'});
}

}  // namespace quarvel::testing
