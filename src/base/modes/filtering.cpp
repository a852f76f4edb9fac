#include "modes/filtering.h"

#include <algorithm>

#include "modes/zero_phase.h"

namespace quarvel {

namespace {

Band band_of(FilterKind kind) {
  switch (kind) {
    case FilterKind::LowPass:
      return Band::LowPass;
    case FilterKind::HighPass:
      return Band::HighPass;
    case FilterKind::BandPass:
      return Band::BandPass;
    case FilterKind::Notch:
      return Band::BandStop;
  }
  return Band::LowPass;
}

// Counts the samples done against the whole work and passes the figure on as percent.
class Progress {
 public:
  Progress(const FilterProgress& p, int64_t total) : p_(p), total_(std::max<int64_t>(total, 1)) {}

  bool tick(int64_t samples) {
    done_ += samples;
    const int percent = static_cast<int>(std::min<int64_t>(100, done_ * 100 / total_));
    if (percent > reported_ && p_.portion_done) {
      reported_ = percent;
      p_.portion_done(percent);
    }
    return !(p_.cancel_requested && p_.cancel_requested());
  }

 private:
  const FilterProgress& p_;
  int64_t total_;
  int64_t done_ = 0;
  int reported_ = -1;
};

}  // namespace

SosCascade filter_design(const FilterSettings& settings, double rate_hz) {
  if (!filter_refusal(settings, rate_hz).isEmpty()) return {};
  const FilterEdges e = filter_edges(settings);
  return butterworth(band_of(settings.kind), settings.order, e.low_hz, e.high_hz, rate_hz);
}

std::optional<SampleArray> apply_filter(const SampleArray& data, const FilterSettings& settings,
                                        double rate_hz, int32_t block_length,
                                        const FilterProgress& progress) {
  const SosCascade sos = filter_design(settings, rate_hz);
  if (sos.empty()) return std::nullopt;
  const int64_t n = data.size();
  const int64_t piece = block_length > 0 ? block_length : std::max<int64_t>(n, 1);

  int filtered = 0;
  for (int c = 1; c <= data.channels(); ++c) filtered += settings.channels[c] && data.holds(c);
  Progress count(progress, 2 * n * filtered);
  // Many short blocks would ask far more often than long stretches; the question is put once
  // per kFilterTickSamples samples whatever the pieces.
  int64_t since_asked = 0;
  const FilterTick tick = [&](int64_t samples) {
    since_asked += samples;
    if (since_asked < kFilterTickSamples) return true;
    const bool go_on = count.tick(since_asked);
    since_asked = 0;
    return go_on;
  };

  SampleArray out = data;
  for (int c = 1; c <= data.channels(); ++c) {
    if (!settings.channels[c] || !data.holds(c)) continue;
    const float* x = data.channel(c);
    float* y = out.overwrite_channel(c);
    for (int64_t from = 0; from < n; from += piece) {
      if (!filter_zero_phase(sos, x + from, std::min(piece, n - from), y + from, tick)) return std::nullopt;
    }
  }
  if (since_asked > 0 && !count.tick(since_asked)) return std::nullopt;
  return out;
}

}  // namespace quarvel
