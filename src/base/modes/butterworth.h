// Digital Butterworth filters as cascades of second-order sections, designed the way SciPy's
// butter(N, Wn, btype, fs=rate, output="sos") designs them, so that results can be held against
// it: the analogue prototype's poles, the frequency transform to the band at the prewarped
// edges, the bilinear transform, and the poles and zeros paired into sections nearest first,
// the sections ordered with the poles nearest the unit circle last.
//
// The design is the program's own: the DSP library Debian offers for it (liquid-dsp) computes
// its coefficients in single precision, and at the low corners slow signals need (0.05 Hz at
// 1 kHz is 5e-5 of the rate) its filters run forward and backward differ from the double-
// precision design by up to 2e-4 of the signal's range.
#pragma once

#include <array>
#include <vector>

namespace quarvel {

enum class Band { LowPass, HighPass, BandPass, BandStop };

// y = (b0 + b1 z^-1 + b2 z^-2) / (a0 + a1 z^-1 + a2 z^-2) x, with a0 = 1.
struct SosSection {
  std::array<double, 3> b{};
  std::array<double, 3> a{};
};

using SosCascade = std::vector<SosSection>;

// Order 1..8; low_hz the corner of a low- or high-pass, low_hz and high_hz the edges of a band,
// all strictly between 0 and rate_hz / 2 (and low_hz < high_hz for a band). A low- or high-pass
// has (order + 1) / 2 sections, a band kind `order` sections. Empty when the arguments are
// outside those ranges.
SosCascade butterworth(Band band, int order, double low_hz, double high_hz, double rate_hz);

}  // namespace quarvel
