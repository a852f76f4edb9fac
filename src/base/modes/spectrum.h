// The power spectrum of blocks: per block and channel the least-squares line is removed, the ends
// are tapered with a split cosine bell, the block is zero-padded to a power of two around its
// middle, transformed with FFTW's real-to-complex FFT, and the periodogram of the first half is
// smoothed with the weights 0.23, 0.54, 0.23.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "core/indexed.h"

namespace quarvel {

// The low `bits` bits of value in reverse order; 0 for a bit count of 0 or less.
int16_t bit_reverse(int32_t value, int bits);

// Block lengths the transform takes: the taper needs 10 samples for one entry, and 8192 samples
// (8192 points) is the largest transform.
constexpr int32_t kSpectrumMinBlock = 10;
constexpr int32_t kSpectrumMaxBlock = 8192;

// Sizes of the transform of a block of m samples.
struct TransformPlan {
  int32_t fft_n = 1;         // smallest power of two >= m
  int bits = 0;              // log2(fft_n)
  int32_t pad = 0;           // zeros before the block: round((fft_n - m) / 2)
  int32_t taper_length = 0;  // entries of the rising taper edge: trunc(m / 10)
  int32_t bins = 0;          // smoothed bins per block: fft_n / 2
};
TransformPlan plan_transform(int32_t m);

// Why blocks of this length and count cannot be transformed; empty when they can.
QString spectrum_refusal(int32_t block_length, int32_t block_count);

struct SpectrumResult {
  int32_t fft_n = 0;
  int32_t bins = 0;      // per block (fft_n / 2): the block length of the spectrum view
  SampleArray spectrum;  // channels 1..3, bins 0..block_count x bins (the last one stays 0)
  PerChannel<float> psd_max = PerChannel<float>::filled(0.0f);  // largest interior smoothed bin
};

// Told when a block's transforms begin (the progress caption) and after the transform of each
// channel of the block (percent of the block's channels done, 100 after the last). Reports come
// far faster than a window can be repainted: a receiver that paints should throttle.
struct SpectrumProgress {
  std::function<void(const QString& caption)> block_started;
  std::function<void(int percent)> portion_done;
};

// Spectra of blocks 1..block_count of `block_length` samples of every channel the data holds
// (channels it does not hold stay 0). Nothing when spectrum_refusal refuses the blocks.
std::optional<SpectrumResult> power_spectrum(const SampleArray& data, int32_t block_length,
                                             int32_t block_count, const SpectrumProgress& progress = {});

}  // namespace quarvel
