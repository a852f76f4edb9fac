// Data of a given shape shown in the window the way File > Open shows a file it has read: from the
// read samples on, the production path does everything (the view the data were recorded in, the
// menus, the results tables, the picture). For tests that need sample values a .bin cannot hold
// (fractions) or more control over the shape than writing a file gives.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace quarvel {
class MainWindow;
}

namespace quarvel::testing {

struct LoadShape {
  int channels = 1;  // recorded on display channels 1..channels, input numbers 1..channels
  int32_t frames = 1000;
  float sample_interval = 0.001f;
  int32_t block_length = -1;  // a block file when > 0
  std::function<float(int ch, int32_t frame)> sample = [](int, int32_t) { return 0.0f; };
  std::function<int16_t(int32_t frame)> marker = [](int32_t) { return int16_t{0}; };
};

void load_shape(MainWindow& w, const LoadShape& shape, const QString& name = QStringLiteral("shape.bin"));

}  // namespace quarvel::testing
