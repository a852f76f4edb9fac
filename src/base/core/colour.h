// Packed colours: red in the low byte (0x00BBGGRR), as every colour field of the program holds
// them, and the three entries of the classic 16-colour palette the program uses.
#pragma once

#include <cstdint>

namespace quarvel {

constexpr int32_t rgb(int r, int g, int b) {
  return static_cast<int32_t>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int red_of(int32_t c) {
  return c & 0xFF;
}
constexpr int green_of(int32_t c) {
  return (c >> 8) & 0xFF;
}
constexpr int blue_of(int32_t c) {
  return (c >> 16) & 0xFF;
}

constexpr int32_t kWhite = rgb(255, 255, 255);
constexpr int32_t kYellow = rgb(255, 255, 0);
constexpr int32_t kCyan = rgb(0, 255, 255);
constexpr int32_t kBlue = rgb(0, 0, 255);
constexpr int32_t kBlack = rgb(0, 0, 0);
constexpr int32_t kGrey = rgb(150, 150, 150);
constexpr int32_t kShade = rgb(230, 230, 230);

// Channel colours of display channels 1, 2, 3.
constexpr int32_t channel_colour(int ch) {
  return ch == 1 ? kWhite : ch == 2 ? kYellow : kCyan;
}

// Classic palette: 0 black, 9 light blue, 15 bright white; other entries are not used.
constexpr int32_t palette_colour(int index) {
  switch (index) {
    case 0:
      return kBlack;
    case 9:
      return kBlue;
    case 15:
      return kWhite;
    default:
      return kBlack;
  }
}

}  // namespace quarvel
