// The user coordinate system of a drawing surface and its mapping to device pixels, both ways.
// A negative height makes y grow upwards. Pixel i covers the continuous range [i, i + 1).
#pragma once

#include <cmath>

namespace quarvel {

struct UserScale {
  double left = 0;
  double top = 0;
  double width = 1;
  double height = 1;
};

class PixelMap {
 public:
  PixelMap(const UserScale& s, int px_width, int px_height)
      : s_(s), pw_(px_width > 0 ? px_width : 1), ph_(px_height > 0 ? px_height : 1) {}

  // Continuous pixel position of a user coordinate.
  double px_x(double x) const { return s_.width == 0 ? 0 : (x - s_.left) * pw_ / s_.width; }
  double px_y(double y) const { return s_.height == 0 ? 0 : (y - s_.top) * ph_ / s_.height; }

  // The pixel a user coordinate falls on (saturated to a range safe for drawing).
  int pixel_x(double x) const { return to_pixel(px_x(x)); }
  int pixel_y(double y) const { return to_pixel(px_y(y)); }

  // The user coordinate of the centre of a pixel (so pixel_x(user_x(i)) == i).
  double user_x(int px) const { return s_.left + (px + 0.5) * s_.width / pw_; }
  double user_y(int py) const { return s_.top + (py + 0.5) * s_.height / ph_; }

  // A length in pixels as a length in user units (signed like the scale).
  double user_dx(double pixels) const { return pixels * s_.width / pw_; }
  double user_dy(double pixels) const { return pixels * s_.height / ph_; }

 private:
  static int to_pixel(double p) {
    if (std::isnan(p)) return 0;
    // A tiny tolerance keeps values that are whole pixels up to rounding noise on their pixel.
    const double f = std::floor(p + 1e-9);
    if (f < -100000) return -100000;
    if (f > 100000) return 100000;
    return static_cast<int>(f);
  }

  UserScale s_;
  int pw_;
  int ph_;
};

}  // namespace quarvel
