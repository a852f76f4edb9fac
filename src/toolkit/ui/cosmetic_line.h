// The pixels the raster paint engine lights for a one-pixel (cosmetic, not antialiased) line
// between two pixel positions, both ends included. A picture that writes these pixels itself is
// pixel for pixel the one QPainter::drawLine leaves, and much faster where every segment of a
// curve needs a drawing call of its own (curves that cross must be drawn sample by sample).
//
// The engine steps one pixel at a time along the longer axis (x when the line is as wide as it
// is tall) from the end nearer the origin, and moves along the other axis by a 16.16 fixed-point
// step truncated toward zero; a line going down-right starts half a step in, one going up-right
// starts on its end pixel. The surface's tests hold this against QPainter on lines of every
// direction and length.
#pragma once

#include <QPoint>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace quarvel {

// Calls put(x, y) once for every pixel of the line from a to b.
template <typename Put>
void cosmetic_line(QPoint a, QPoint b, Put&& put) {
  if (a == b) {
    put(a.x(), a.y());
    return;
  }
  const bool steep = std::abs(b.x() - a.x()) < std::abs(b.y() - a.y());
  int from = steep ? a.y() : a.x(), to = steep ? b.y() : b.x();        // along the longer axis
  int64_t first = steep ? a.x() : a.y(), last = steep ? b.x() : b.y();  // along the other
  if (from > to) {
    std::swap(from, to);
    std::swap(first, last);
  }
  const int64_t span = to - from;
  const int64_t rise = (last - first) * 65536;
  const int64_t step = rise / span;
  int64_t at = (first << 16) + (step > 0 ? (rise + span) / (2 * span) : 0);
  for (int major = from; major <= to; ++major, at += step) {
    const int minor = static_cast<int>(at >> 16);
    if (steep) {
      put(minor, major);
    } else {
      put(major, minor);
    }
  }
}

}  // namespace quarvel
