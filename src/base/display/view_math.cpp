#include "display/view_math.h"

#include <algorithm>
#include <cmath>

#include "core/numbers.h"

namespace quarvel {

std::optional<BlockView> next_block(int32_t cur_block, int32_t block_count, int32_t block_length) {
  if (block_length <= 0 || cur_block >= block_count || cur_block < 1) return std::nullopt;
  return BlockView{cur_block + 1, static_cast<float>(static_cast<double>(cur_block) * block_length)};
}

std::optional<BlockView> previous_block(int32_t cur_block, int32_t block_length) {
  if (block_length <= 0 || cur_block <= 1) return std::nullopt;
  return BlockView{cur_block - 1, static_cast<float>(static_cast<double>(cur_block - 2) * block_length)};
}

std::optional<BlockView> block_number(int32_t n, int32_t block_count, int32_t block_length) {
  if (block_length <= 0 || n < 1 || n > block_count) return std::nullopt;
  return BlockView{n, static_cast<float>((static_cast<double>(n) - 1) * block_length)};
}

float page_forward(float view_start, double width, int32_t sample_count) {
  const double next = static_cast<double>(view_start) + 0.4 * width;
  return next < sample_count ? static_cast<float>(next) : view_start;
}

float page_back(float view_start, double width) {
  // The test looks half the full width back, the step is half a screen (0.4 of the width).
  if (static_cast<float>(view_start - width / 2) > 0) return static_cast<float>(view_start - 0.4 * width);
  return 0;
}

float step_forward(float view_start, double width, int32_t sample_count) {
  const double next = static_cast<double>(view_start) + 0.08 * width;
  return next < sample_count ? static_cast<float>(next) : view_start;
}

float step_back(float view_start, double width) {
  return static_cast<float>(std::max(0.0, static_cast<double>(view_start) - 0.08 * width));
}

float last_page_start(double width, int32_t sample_count) {
  return static_cast<float>(std::max(0.0, std::floor(sample_count - 0.8 * width)));
}

float anchored_start(float view_start, double x, double width, double new_width, int32_t sample_count) {
  if (!(width > 0) || !(new_width > 0)) return view_start;
  const double under = round_even(static_cast<double>(view_start) + x);
  const double start = under - round_even(x * new_width / width);
  return static_cast<float>(std::clamp(start, 0.0, std::max(0.0, sample_count - 1.0)));
}

TimeScale expand_scale(const TimeScale& t, float sample_interval) {
  TimeScale r = t;
  r.width = static_cast<float>(t.width / 2.0);
  r.length = t.length / 2;
  if (r.length <= 1 && r.unit == QStringLiteral(" s")) {
    r.length = 512;
    r.unit = QStringLiteral("ms");
    r.factor = 0.001f;
    r.width = static_cast<float>(0.001 * 512 / sample_interval / 0.8);
  }
  return r;
}

TimeScale compress_scale(const TimeScale& t, float sample_interval) {
  TimeScale r = t;
  r.width = static_cast<float>(2.0 * t.width);
  r.length = 2 * t.length;
  if (r.length > 1000 && r.unit == QStringLiteral("ms")) {
    r.length = 1;
    r.factor = 1;
    r.unit = QStringLiteral(" s");
    r.width = static_cast<float>(1.0 / sample_interval / 0.8);
  }
  return r;
}

std::optional<SelectionZoom> zoom_to_selection(const TimeScale& t, float sel_x1, float sel_x2,
                                               float sample_interval) {
  if (sel_x1 == -1 || sel_x2 == -1 || sel_x1 == sel_x2) return std::nullopt;
  if (!(t.width > 0) || !(t.length > 0)) return std::nullopt;

  double len = std::fabs(static_cast<double>(sel_x2) - sel_x1) * t.length / (0.8 * t.width);
  if (len > 100) len = 10 * round_even(len / 10);
  SelectionZoom z;
  z.scale = t;
  z.scale.width = static_cast<float>(t.width / static_cast<double>(t.length) * len);
  z.scale.length = static_cast<float>(len);
  if (len <= 1 && t.unit == QStringLiteral(" s")) {
    z.scale.unit = QStringLiteral("ms");
    z.scale.factor = 0.001f;
    z.scale.length = static_cast<float>(1000 * len);
    z.scale.width =
        static_cast<float>(static_cast<double>(z.scale.factor) * z.scale.length / sample_interval / 0.8);
  }
  if (!(z.scale.width > 0)) return std::nullopt;

  // The view starts on a tenth of the display unit, so the time labels read round numbers.
  const double per_unit = 0.8 * z.scale.width / z.scale.length;  // samples per display unit
  const double start = std::min(sel_x1, sel_x2);
  const double t10 = round_even(10 * (start / per_unit)) / 10;
  z.view_start = static_cast<float>(t10 * per_unit);
  return z;
}

}  // namespace quarvel
