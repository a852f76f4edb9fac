#include "modes/zero_phase.h"

#include <algorithm>
#include <array>

namespace quarvel {

namespace {

constexpr int kMaxSections = 8;
constexpr int64_t kMaxPadding = 3 * (2 * kMaxSections + 1);

// Each section's state in the steady state of a constant input of 1 through the whole cascade
// (the sections before it pass that constant on times their gain at 0 Hz).
std::array<std::array<double, 2>, kMaxSections> steady_state(const SosCascade& sos) {
  std::array<std::array<double, 2>, kMaxSections> zi{};
  double scale = 1;
  for (std::size_t s = 0; s < sos.size(); ++s) {
    const auto& b = sos[s].b;
    const auto& a = sos[s].a;
    const double b0 = b[0] / a[0], b1 = b[1] / a[0], b2 = b[2] / a[0];
    const double a1 = a[1] / a[0], a2 = a[2] / a[0];
    // The state z of the transposed direct form that a constant input leaves unchanged.
    const double r0 = b1 - a1 * b0, r1 = b2 - a2 * b0;
    const double z0 = (r0 + r1) / (1 + a1 + a2);
    zi[s] = {scale * z0, scale * ((1 + a1) * z0 - r0)};
    scale *= (b[0] + b[1] + b[2]) / (a[0] + a[1] + a[2]);
  }
  return zi;
}

// N sections held in registers, one sample through all of them per step: a pass reads and
// writes each sample once, whatever the number of sections.
template <int N>
class Cascade {
 public:
  explicit Cascade(const SosCascade& sos) {
    for (int i = 0; i < N; ++i) {
      const SosSection& s = sos[static_cast<std::size_t>(i)];
      b0_[i] = s.b[0] / s.a[0];
      b1_[i] = s.b[1] / s.a[0];
      b2_[i] = s.b[2] / s.a[0];
      a1_[i] = s.a[1] / s.a[0];
      a2_[i] = s.a[2] / s.a[0];
    }
  }

  // The steady state of a constant input at v.
  void settle(const std::array<std::array<double, 2>, kMaxSections>& zi, double v) {
    for (int i = 0; i < N; ++i) {
      s0_[i] = zi[static_cast<std::size_t>(i)][0] * v;
      s1_[i] = zi[static_cast<std::size_t>(i)][1] * v;
    }
  }

  double step(double v) {
    for (int i = 0; i < N; ++i) {
      const double y = b0_[i] * v + s0_[i];
      s0_[i] = b1_[i] * v - a1_[i] * y + s1_[i];
      s1_[i] = b2_[i] * v - a2_[i] * y;
      v = y;
    }
    return v;
  }

 private:
  std::array<double, N> b0_{}, b1_{}, b2_{}, a1_{}, a2_{}, s0_{}, s1_{};
};

template <int N>
bool run(const SosCascade& sos, const float* x, int64_t n, float* y, const FilterTick& tick) {
  const int64_t edge = zero_phase_padding(sos, n);
  // The reflections, taken before y (which may be x) is written.
  std::array<double, kMaxPadding> left{}, right{};
  const double first = x[0], last = x[n - 1];
  for (int64_t j = 0; j < edge; ++j) {
    left[static_cast<std::size_t>(j)] = 2 * first - x[edge - j];
    right[static_cast<std::size_t>(j)] = 2 * last - x[n - 2 - j];
  }
  const auto zi = steady_state(sos);
  Cascade<N> c(sos);

  c.settle(zi, edge > 0 ? left[0] : first);
  for (int64_t j = 0; j < edge; ++j) c.step(left[static_cast<std::size_t>(j)]);
  double out = 0;
  for (int64_t from = 0; from < n; from += kFilterTickSamples) {
    const int64_t to = std::min(n, from + kFilterTickSamples);
    for (int64_t i = from; i < to; ++i) {
      out = c.step(x[i]);
      y[i] = static_cast<float>(out);
    }
    if (tick && !tick(to - from)) return false;
  }
  for (int64_t j = 0; j < edge; ++j)
    out = right[static_cast<std::size_t>(j)] = c.step(right[static_cast<std::size_t>(j)]);

  // Backward from the end of the right reflection; what the left one would give is not kept.
  c.settle(zi, out);
  for (int64_t j = edge; j-- > 0;) c.step(right[static_cast<std::size_t>(j)]);
  for (int64_t to = n; to > 0; to -= kFilterTickSamples) {
    const int64_t from = std::max<int64_t>(0, to - kFilterTickSamples);
    for (int64_t i = to; i-- > from;) y[i] = static_cast<float>(c.step(y[i]));
    if (tick && !tick(to - from)) return false;
  }
  return true;
}

}  // namespace

int64_t zero_phase_padding(const SosCascade& sos) {
  const auto b2_zero = std::count_if(sos.begin(), sos.end(), [](const SosSection& s) { return s.b[2] == 0; });
  const auto a2_zero = std::count_if(sos.begin(), sos.end(), [](const SosSection& s) { return s.a[2] == 0; });
  return 3 * (2 * static_cast<int64_t>(sos.size()) + 1 - std::min(b2_zero, a2_zero));
}

int64_t zero_phase_padding(const SosCascade& sos, int64_t n) {
  return std::clamp<int64_t>(zero_phase_padding(sos), 0, std::max<int64_t>(n - 1, 0));
}

bool filter_zero_phase(const SosCascade& sos, const float* x, int64_t n, float* y, const FilterTick& tick) {
  if (n < 1) return true;
  switch (sos.size()) {
    case 1:
      return run<1>(sos, x, n, y, tick);
    case 2:
      return run<2>(sos, x, n, y, tick);
    case 3:
      return run<3>(sos, x, n, y, tick);
    case 4:
      return run<4>(sos, x, n, y, tick);
    case 5:
      return run<5>(sos, x, n, y, tick);
    case 6:
      return run<6>(sos, x, n, y, tick);
    case 7:
      return run<7>(sos, x, n, y, tick);
    case 8:
      return run<8>(sos, x, n, y, tick);
    default:
      return false;
  }
}

}  // namespace quarvel
