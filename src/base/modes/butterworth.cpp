#include "modes/butterworth.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <limits>
#include <numbers>

namespace quarvel {

namespace {

using Complex = std::complex<double>;
using Roots = std::vector<Complex>;

// Zeros, poles and gain of a transfer function.
struct Zpk {
  Roots z;
  Roots p;
  double k = 1;
};

template <typename F>
Complex product(const Roots& r, F f) {
  Complex out = 1;
  for (const Complex& x : r) out *= f(x);
  return out;
}

// The analogue prototype of order n, corner 1 rad/s: poles on the left half of the unit circle.
Zpk prototype(int n) {
  Zpk f;
  for (int m = -n + 1; m < n; m += 2) f.p.push_back(-std::exp(Complex(0, std::numbers::pi * m / (2 * n))));
  return f;
}

Zpk low_pass(const Zpk& f, double wo) {
  Zpk out;
  for (const Complex& z : f.z) out.z.push_back(wo * z);
  for (const Complex& p : f.p) out.p.push_back(wo * p);
  out.k = f.k * std::pow(wo, static_cast<double>(f.p.size() - f.z.size()));
  return out;
}

Zpk high_pass(const Zpk& f, double wo) {
  Zpk out;
  for (const Complex& z : f.z) out.z.push_back(wo / z);
  for (const Complex& p : f.p) out.p.push_back(wo / p);
  out.z.resize(f.p.size(), Complex(0));
  const auto minus = [](Complex x) { return -x; };
  out.k = f.k * (product(f.z, minus) / product(f.p, minus)).real();
  return out;
}

// Each root r of the prototype becomes the two roots of s^2 - 2 r s + wo^2 (r scaled as the
// transform scales it), all first roots before all second ones.
Roots split(const Roots& r, double wo) {
  Roots out(2 * r.size());
  for (std::size_t i = 0; i < r.size(); ++i) {
    const Complex d = std::sqrt(r[i] * r[i] - wo * wo);
    out[i] = r[i] + d;
    out[i + r.size()] = r[i] - d;
  }
  return out;
}

Zpk band_pass(const Zpk& f, double wo, double bw) {
  Roots z, p;
  for (const Complex& x : f.z) z.push_back(x * bw / 2.0);
  for (const Complex& x : f.p) p.push_back(x * bw / 2.0);
  const std::size_t degree = f.p.size() - f.z.size();
  Zpk out{split(z, wo), split(p, wo), f.k * std::pow(bw, static_cast<double>(degree))};
  out.z.resize(out.z.size() + degree, Complex(0));
  return out;
}

Zpk band_stop(const Zpk& f, double wo, double bw) {
  Roots z, p;
  for (const Complex& x : f.z) z.push_back(bw / 2.0 / x);
  for (const Complex& x : f.p) p.push_back(bw / 2.0 / x);
  const std::size_t degree = f.p.size() - f.z.size();
  Zpk out{split(z, wo), split(p, wo), 1};
  out.z.insert(out.z.end(), degree, Complex(0, wo));
  out.z.insert(out.z.end(), degree, Complex(0, -wo));
  const auto minus = [](Complex x) { return -x; };
  out.k = f.k * (product(f.z, minus) / product(f.p, minus)).real();
  return out;
}

constexpr double kTwiceRate = 4.0;

// The bilinear transform at a sampling rate of 2 (the edges were prewarped for it); zeros at
// infinity go to z = -1.
Zpk bilinear(const Zpk& f) {
  const auto from = [](Complex x) { return kTwiceRate - x; };
  Zpk out;
  for (const Complex& z : f.z) out.z.push_back((kTwiceRate + z) / (kTwiceRate - z));
  for (const Complex& p : f.p) out.p.push_back((kTwiceRate + p) / (kTwiceRate - p));
  out.z.resize(f.p.size(), Complex(-1));
  out.k = f.k * (product(f.z, from) / product(f.p, from)).real();
  return out;
}

bool is_real(Complex x) {
  return x.imag() == 0;
}

// One root of each complex-conjugate pair (the one with positive imaginary part, averaged with
// its partner) followed by the real roots, each group in ascending real part; a root counts as
// real when its imaginary part is within rounding of zero.
Roots pairs_then_reals(Roots r) {
  const double tol = 100 * std::numeric_limits<double>::epsilon();
  std::stable_sort(r.begin(), r.end(), [](Complex x, Complex y) {
    if (x.real() != y.real()) return x.real() < y.real();
    return std::abs(x.imag()) < std::abs(y.imag());
  });
  Roots reals, upper, lower;
  for (const Complex& x : r) {
    if (std::abs(x.imag()) <= tol * std::abs(x)) {
      reals.push_back(x.real());
    } else {
      (x.imag() > 0 ? upper : lower).push_back(x);
    }
  }
  // Within runs of the same real part the partners are matched by the size of the imaginary part.
  const auto by_imag = [](Complex x, Complex y) { return std::abs(x.imag()) < std::abs(y.imag()); };
  for (std::size_t start = 0; start + 1 < upper.size();) {
    std::size_t stop = start + 1;
    while (stop < upper.size() &&
           upper[stop].real() - upper[stop - 1].real() <= tol * std::abs(upper[stop - 1]))
      ++stop;
    const auto run = static_cast<std::ptrdiff_t>(start), end = static_cast<std::ptrdiff_t>(stop);
    std::stable_sort(upper.begin() + run, upper.begin() + end, by_imag);
    if (stop <= lower.size()) std::stable_sort(lower.begin() + run, lower.begin() + end, by_imag);
    start = stop;
  }
  Roots out;
  for (std::size_t i = 0; i < upper.size() && i < lower.size(); ++i)
    out.push_back((upper[i] + std::conj(lower[i])) / 2.0);
  out.insert(out.end(), reals.begin(), reals.end());
  return out;
}

Complex take(Roots& r, std::size_t i) {
  const Complex x = r[i];
  r.erase(r.begin() + static_cast<std::ptrdiff_t>(i));
  return x;
}

// The pole nearest the unit circle (the first of equals).
std::size_t worst(const Roots& p) {
  std::size_t best = 0;
  for (std::size_t i = 1; i < p.size(); ++i)
    if (std::abs(1 - std::abs(p[i])) < std::abs(1 - std::abs(p[best]))) best = i;
  return best;
}

enum class Want { Real, Complex, Any };

// The root of `from` nearest `to` of the kind wanted (ties to the earlier root).
std::size_t nearest(const Roots& from, Complex to, Want want) {
  std::vector<std::size_t> order(from.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) {
    return std::abs(from[i] - to) < std::abs(from[j] - to);
  });
  for (std::size_t i : order) {
    if (want == Want::Any || (want == Want::Real) == is_real(from[i])) return i;
  }
  return order.front();
}

// Coefficients of the monic polynomial with these (at most two) roots, right-aligned in three.
std::array<double, 3> monic(const Roots& r) {
  if (r.empty()) return {0, 0, 1};
  if (r.size() == 1) return {0, 1, (-r[0]).real()};
  return {1, (-r[1] + -r[0]).real(), (r[0] * r[1]).real()};
}

SosSection section(const Roots& z, const Roots& p) {
  return SosSection{monic(z), monic(p)};
}

// Pairs poles and zeros into sections: the pole nearest the unit circle with its partner and the
// zeros nearest it go last, and so on towards the first section, which also takes the gain.
SosCascade to_sections(Zpk f) {
  if (f.p.size() % 2 == 1) {
    f.p.push_back(0);
    f.z.push_back(0);
  }
  Roots z = pairs_then_reals(f.z);
  Roots p = pairs_then_reals(f.p);
  const auto count_real = [](const Roots& r) { return std::count_if(r.begin(), r.end(), is_real); };
  SosCascade sos(f.p.size() / 2);
  for (std::size_t si = sos.size(); si-- > 0;) {
    const Complex p1 = take(p, worst(p));
    if (is_real(p1) && count_real(p) == 0) {
      const Complex z1 = take(z, nearest(z, p1, Want::Real));
      sos[si] = section({z1, 0}, {p1, 0});
    } else if (p.size() + 1 == z.size() && !is_real(p1) && count_real(p) == 1 && count_real(z) == 1) {
      // One real pole and one real zero left besides this pair: the pair must take complex zeros.
      const Complex z1 = take(z, nearest(z, p1, Want::Complex));
      sos[si] = section({z1, std::conj(z1)}, {p1, std::conj(p1)});
    } else {
      Complex p2 = std::conj(p1);
      if (is_real(p1)) {
        Roots reals;
        std::vector<std::size_t> where;
        for (std::size_t i = 0; i < p.size(); ++i) {
          if (is_real(p[i])) {
            reals.push_back(p[i]);
            where.push_back(i);
          }
        }
        p2 = take(p, where[worst(reals)]);
      }
      if (z.empty()) {
        sos[si] = section({}, {p1, p2});
      } else {
        const Complex z1 = take(z, nearest(z, p1, Want::Any));
        if (!is_real(z1)) {
          sos[si] = section({z1, std::conj(z1)}, {p1, p2});
        } else if (!z.empty()) {
          const Complex z2 = take(z, nearest(z, p1, Want::Real));
          sos[si] = section({z1, z2}, {p1, p2});
        } else {
          sos[si] = section({z1}, {p1, p2});
        }
      }
    }
  }
  for (double& b : sos.front().b) b *= f.k;
  return sos;
}

}  // namespace

SosCascade butterworth(Band band, int order, double low_hz, double high_hz, double rate_hz) {
  const bool two_edges = band == Band::BandPass || band == Band::BandStop;
  // Edges as fractions of half the rate, as the design takes them.
  const double w1 = 2 * low_hz / rate_hz, w2 = 2 * high_hz / rate_hz;
  const auto inside = [](double w) { return w > 0 && w < 1; };
  if (order < 1 || order > 8 || !std::isfinite(rate_hz) || !inside(w1) ||
      (two_edges && !(inside(w2) && w1 < w2)))
    return {};
  const auto prewarp = [](double w) { return 2 * 2.0 * std::tan(std::numbers::pi * w / 2.0); };
  const Zpk proto = prototype(order);
  Zpk analogue;
  switch (band) {
    case Band::LowPass:
      analogue = low_pass(proto, prewarp(w1));
      break;
    case Band::HighPass:
      analogue = high_pass(proto, prewarp(w1));
      break;
    case Band::BandPass:
    case Band::BandStop: {
      const double lo = prewarp(w1), hi = prewarp(w2);
      analogue = band == Band::BandPass ? band_pass(proto, std::sqrt(lo * hi), hi - lo)
                                        : band_stop(proto, std::sqrt(lo * hi), hi - lo);
      break;
    }
  }
  return to_sections(bilinear(analogue));
}

}  // namespace quarvel
