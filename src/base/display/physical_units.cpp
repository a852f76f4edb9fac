#include "display/physical_units.h"

#include <algorithm>
#include <cmath>

namespace quarvel {

namespace {

bool inputs_tell_apart(const SharedState& s) {
  for (int a = 1; a <= s.channel_count && a <= 3; ++a) {
    if (s.ch_source[a] < 1) return false;
    for (int b = 1; b < a; ++b)
      if (s.ch_source[a] == s.ch_source[b]) return false;
  }
  return true;
}

void transform_average(SharedState& s, bool to_physical) {
  // An empty average is zeros that the next block replaces.
  if (!(s.ave_n > 0)) return;
  for (int ch = 1; ch <= std::min(3, s.ave_data.channels()); ++ch) {
    const Calibration& c = s.ch_calibration[ch];
    if (c.identity() || !s.ave_data.holds(ch)) continue;
    float* a = s.ave_data.write_channel(ch);
    for (int32_t i = 0; i < s.ave_data.size(); ++i) a[i] = to_physical ? c.physical(a[i]) : c.converter(a[i]);
  }
}

}  // namespace

SampleArray calibrated_samples(const SampleArray& raw, const PerChannel<Calibration>& cal,
                               PerChannel<float>& max_abs) {
  SampleArray out = raw;
  for (int ch = 1; ch <= std::min(3, raw.channels()); ++ch) {
    const Calibration& c = cal[ch];
    if (c.identity() || !raw.holds(ch)) continue;
    float* y = out.overwrite_channel(ch);
    float most = 0;
    for (int32_t i = 0; i < raw.size(); ++i) {
      y[i] = c.physical(raw(ch, i));
      most = std::max(most, std::fabs(y[i]));
    }
    max_abs[ch] = most;
  }
  return out;
}

void rebuild_work_data(SharedState& s, PerChannel<float>* physical_max) {
  s.filters.clear();
  if (!in_physical_units(s)) {
    s.work_data = s.raw_data;
    return;
  }
  PerChannel<float> unused = s.ch_max;
  s.work_data = calibrated_samples(s.raw_data, s.ch_calibration, physical_max ? *physical_max : unused);
}

void set_physical_units(SharedState& s, bool on) {
  if (static_cast<bool>(s.physical_units) == on) return;
  s.physical_units = Flag(on);
  s.filters.clear();
  if (on) {
    s.converter_ch_max = s.ch_max;
    s.work_data = calibrated_samples(s.raw_data, s.ch_calibration, s.ch_max);
  } else {
    s.work_data = s.raw_data;
    for (int ch = 1; ch <= 3; ++ch)
      if (!s.ch_calibration[ch].identity()) s.ch_max[ch] = s.converter_ch_max[ch];
  }
  transform_average(s, on);
}

QString channel_name(const SharedState& s, int ch) {
  const QString& name = s.ch_calibration[ch].name;
  if (!name.isEmpty()) return name;
  if (ch > s.channel_count || s.ch_source[ch] < 1) return QStringLiteral("Channel %1").arg(ch);
  return inputs_tell_apart(s) ? default_input_name(s.ch_source[ch]) : QStringLiteral("Channel %1").arg(ch);
}

QString table_caption(const SharedState& s, int ch) {
  return in_physical_units(s) && ch >= 1 && ch <= s.channel_count ? channel_name(s, ch) : QString();
}

QString shown_unit(const SharedState& s, int ch) {
  if (!in_physical_units(s) || ch < 1 || ch > 3) return {};
  const QString& unit = s.ch_calibration[ch].unit;
  if (unit.isEmpty() || !s.psd_shown) return unit;
  return unit + QString::fromUtf8("\u00b2/Hz");
}

QString channel_heading(const SharedState& s, int ch) {
  if (ch < 1 || ch > s.channel_count) return {};
  const QString unit = shown_unit(s, ch);
  return unit.isEmpty() ? channel_name(s, ch) : channel_name(s, ch) + " (" + unit + ")";
}

}  // namespace quarvel
