#include "modes/filter_settings.h"

#include <QStringList>
#include <charconv>
#include <cmath>

namespace quarvel {

namespace {

// A frequency as the fraction of half the rate the design compares with 0 and 1, computed as
// the design computes it, so that settings accepted here are settings the design takes.
double of_half_rate(double hz, double rate_hz) {
  return 2 * hz / rate_hz;
}

QString channels_text(const PerChannel<bool>& channels) {
  QStringList ticked;
  for (int c = 1; c <= 3; ++c)
    if (channels[c]) ticked << QString::number(c);
  return ticked.join(' ');
}

QString kind_refusal(const FilterSettings& settings, double rate_hz) {
  const QString half = hz_text(rate_hz / 2);
  const FilterEdges e = filter_edges(settings);
  const double w1 = of_half_rate(e.low_hz, rate_hz), w2 = of_half_rate(e.high_hz, rate_hz);
  switch (settings.kind) {
    case FilterKind::LowPass:
    case FilterKind::HighPass:
      if (!(w1 > 0)) return QStringLiteral("The corner frequency must be above 0 Hz.");
      if (!(w1 < 1))
        return QStringLiteral("The corner frequency must be below half the sampling rate (%1 Hz).").arg(half);
      return {};
    case FilterKind::BandPass:
      if (!(w1 > 0)) return QStringLiteral("The lower edge of the band must be above 0 Hz.");
      if (!(w2 < 1))
        return QStringLiteral("The upper edge of the band must be below half the sampling rate (%1 Hz).")
            .arg(half);
      if (!(w1 < w2)) return QStringLiteral("The lower edge of the band must be below its upper edge.");
      return {};
    case FilterKind::Notch:
      if (!(settings.centre_hz > 0)) return QStringLiteral("The notch centre must be above 0 Hz.");
      if (!(settings.width_hz > 0)) return QStringLiteral("The notch width must be above 0 Hz.");
      if (!(w1 > 0) || !(w2 < 1)) {
        return QStringLiteral(
                   "A notch %1 Hz wide at %2 Hz reaches from %3 to %4 Hz; it must lie between 0 Hz and "
                   "half the sampling rate (%5 Hz).")
            .arg(hz_text(settings.width_hz), hz_text(settings.centre_hz), hz_text(e.low_hz),
                 hz_text(e.high_hz), half);
      }
      if (!(w1 < w2))
        return QStringLiteral("The notch is too narrow to tell its edges apart at this centre.");
      return {};
  }
  return {};
}

}  // namespace

FilterEdges filter_edges(const FilterSettings& settings) {
  switch (settings.kind) {
    case FilterKind::LowPass:
    case FilterKind::HighPass:
      return {settings.corner_hz, 0};
    case FilterKind::BandPass:
      return {settings.low_hz, settings.high_hz};
    case FilterKind::Notch:
      return {settings.centre_hz - settings.width_hz / 2, settings.centre_hz + settings.width_hz / 2};
  }
  return {};
}

QString filter_refusal(const FilterSettings& settings, double rate_hz) {
  if (!(rate_hz > 0) || !std::isfinite(rate_hz))
    return QStringLiteral("Filtering needs a sampling rate above 0 Hz; this recording's is %1 Hz.")
        .arg(hz_text(rate_hz));
  if (settings.order < kFilterMinOrder || settings.order > kFilterMaxOrder) {
    return QStringLiteral("The filter order must be %1 to %2, not %3.")
        .arg(kFilterMinOrder)
        .arg(kFilterMaxOrder)
        .arg(settings.order);
  }
  if (!settings.channels[1] && !settings.channels[2] && !settings.channels[3])
    return QStringLiteral("Tick at least one channel to filter.");
  return kind_refusal(settings, rate_hz);
}

QString filter_text(const FilterSettings& settings) {
  switch (settings.kind) {
    case FilterKind::LowPass:
      return QStringLiteral("LP %1 Hz").arg(hz_text(settings.corner_hz));
    case FilterKind::HighPass:
      return QStringLiteral("HP %1 Hz").arg(hz_text(settings.corner_hz));
    case FilterKind::BandPass:
      return QStringLiteral("BP %1-%2 Hz").arg(hz_text(settings.low_hz), hz_text(settings.high_hz));
    case FilterKind::Notch:
      return QStringLiteral("notch %1 Hz").arg(hz_text(settings.centre_hz));
  }
  return {};
}

QString filters_text(const std::vector<FilterSettings>& chain) {
  QStringList parts;
  for (const FilterSettings& f : chain) parts << filter_text(f);
  return parts.join(QStringLiteral(", "));
}

QString filter_description(const FilterSettings& settings) {
  QString text = filter_text(settings);
  if (settings.kind == FilterKind::Notch)
    text += QStringLiteral(", width %1 Hz").arg(hz_text(settings.width_hz));
  return text + QStringLiteral(", order %1 Butterworth, zero phase, channels %2")
                    .arg(settings.order)
                    .arg(channels_text(settings.channels));
}

QString hz_text(double hz) {
  if (!std::isfinite(hz)) return QString::number(hz);
  // Rounded to 6 significant digits first, then written in the shortest plain form that reads
  // back as that value.
  char text[400];
  auto r = std::to_chars(text, text + sizeof text, hz, std::chars_format::scientific, 5);
  double rounded = hz;
  std::from_chars(text, r.ptr, rounded);
  r = std::to_chars(text, text + sizeof text, rounded, std::chars_format::fixed);
  return QString::fromLatin1(text, static_cast<qsizetype>(r.ptr - text));
}

}  // namespace quarvel
