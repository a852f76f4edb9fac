#include "display/view_math.h"

#include <algorithm>
#include <cmath>

#include "core/numbers.h"

namespace quarvel {

std::optional<BlockView> next_block(int32_t cur_block, int32_t block_count, int32_t block_length) {
  if (block_length <= 0 || cur_block >= block_count || cur_block < 1) return std::nullopt;
  return BlockView{cur_block + 1, static_cast<double>(cur_block) * block_length};
}

std::optional<BlockView> previous_block(int32_t cur_block, int32_t block_length) {
  if (block_length <= 0 || cur_block <= 1) return std::nullopt;
  return BlockView{cur_block - 1, static_cast<double>(cur_block - 2) * block_length};
}

std::optional<BlockView> block_number(int32_t n, int32_t block_count, int32_t block_length) {
  if (block_length <= 0 || n < 1 || n > block_count) return std::nullopt;
  return BlockView{n, (static_cast<double>(n) - 1) * block_length};
}

double page_forward(double view_start, double width, int32_t sample_count) {
  const double next = view_start + 0.4 * width;
  return next < sample_count ? next : view_start;
}

double page_back(double view_start, double width) {
  // The test looks half the full width back, the step is half a screen (0.4 of the width).
  if (view_start - width / 2 > 0) return view_start - 0.4 * width;
  return 0;
}

double step_forward(double view_start, double width, int32_t sample_count) {
  const double next = view_start + 0.08 * width;
  return next < sample_count ? next : view_start;
}

double step_back(double view_start, double width) {
  return std::max(0.0, view_start - 0.08 * width);
}

double last_page_start(double width, int32_t sample_count) {
  return std::max(0.0, std::floor(sample_count - 0.8 * width));
}

double anchored_start(double view_start, double x, double width, double new_width, int32_t sample_count) {
  if (!(width > 0) || !(new_width > 0)) return view_start;
  const double under = round_even(view_start + x);
  const double start = under - round_even(x * new_width / width);
  return std::clamp(start, 0.0, std::max(0.0, sample_count - 1.0));
}

TimeScale expand_scale(const TimeScale& t, float sample_interval) {
  TimeScale r = t;
  r.width = t.width / 2.0;
  r.length = t.length / 2;
  if (r.length <= 1 && r.unit == QStringLiteral(" s")) {
    r.length = 512;
    r.unit = QStringLiteral("ms");
    r.factor = 0.001f;
    r.width = 0.001 * 512 / decimal_of(sample_interval) / 0.8;
  }
  return r;
}

TimeScale compress_scale(const TimeScale& t, float sample_interval) {
  TimeScale r = t;
  r.width = 2.0 * t.width;
  r.length = 2 * t.length;
  if (r.length > 1000 && r.unit == QStringLiteral("ms")) {
    r.length = 1;
    r.factor = 1;
    r.unit = QStringLiteral(" s");
    r.width = 1.0 / decimal_of(sample_interval) / 0.8;
  }
  return r;
}

std::optional<SelectionZoom> zoom_to_selection(const TimeScale& t, double sel_x1, double sel_x2,
                                               float sample_interval) {
  if (sel_x1 == -1 || sel_x2 == -1 || sel_x1 == sel_x2) return std::nullopt;
  if (!(t.width > 0) || !(t.length > 0)) return std::nullopt;

  double len = std::fabs(sel_x2 - sel_x1) * t.length / (0.8 * t.width);
  if (len > 100) len = 10 * round_even(len / 10);
  SelectionZoom z;
  z.scale = t;
  z.scale.length = static_cast<float>(len);
  // From the length as kept, so that width over length stays the samples per unit exactly.
  z.scale.width = t.width / static_cast<double>(t.length) * z.scale.length;
  if (len <= 1 && t.unit == QStringLiteral(" s")) {
    z.scale.unit = QStringLiteral("ms");
    z.scale.factor = 0.001f;
    z.scale.length = static_cast<float>(1000 * len);
    z.scale.width = decimal_of(z.scale.factor) * z.scale.length / decimal_of(sample_interval) / 0.8;
  }
  if (!(z.scale.width > 0)) return std::nullopt;

  // The view starts on a tenth of the display unit, so the time labels read round numbers.
  const double per_unit = 0.8 * z.scale.width / z.scale.length;  // samples per display unit
  const double start = std::min(sel_x1, sel_x2);
  const double t10 = round_even(10 * (start / per_unit)) / 10;
  z.view_start = t10 * per_unit;
  return z;
}

}  // namespace quarvel
