// What a user asks of a filter in analysis: the kind (low-pass, high-pass, band-pass, or a notch
// given by its centre and width), the Butterworth order, the frequencies and the channels it is
// run over; whether a recording of a given rate can take it; and its texts for the status line
// and the results file. Numbers are written the same in every locale.
#pragma once

#include <QString>
#include <vector>

#include "core/indexed.h"

namespace quarvel {

enum class FilterKind { LowPass, HighPass, BandPass, Notch };

constexpr int kFilterMinOrder = 1;
constexpr int kFilterMaxOrder = 8;

struct FilterSettings {
  FilterKind kind = FilterKind::LowPass;
  int order = 2;
  double corner_hz = 0;  // low-pass and high-pass
  double low_hz = 0;     // band-pass edges
  double high_hz = 0;
  double centre_hz = 0;  // notch: the stop band is centre_hz -+ width_hz / 2
  double width_hz = 0;
  PerChannel<bool> channels = PerChannel<bool>::filled(true);
  bool operator==(const FilterSettings&) const = default;
};

// The frequencies the design takes: the corner (and 0) for a low- or high-pass, the two edges
// of the band for a band-pass or notch.
struct FilterEdges {
  double low_hz = 0;
  double high_hz = 0;
};
FilterEdges filter_edges(const FilterSettings& settings);

// Why these settings cannot filter samples taken at rate_hz, as the user is told; empty when
// they can. Every frequency must lie strictly between 0 and half the rate, a band's edges in
// rising order, the order within 1..8, and at least one channel be ticked.
QString filter_refusal(const FilterSettings& settings, double rate_hz);

// The short form for the status line: "LP 5 Hz", "HP 0.05 Hz", "BP 0.1-1 Hz", "notch 50 Hz".
QString filter_text(const FilterSettings& settings);
// Filters in force, in the order applied, for the status line: "HP 0.05 Hz, notch 50 Hz";
// empty when none is.
QString filters_text(const std::vector<FilterSettings>& chain);
// The full form for a header line of the results file, everything needed to repeat the filter:
// "notch 50 Hz, width 2 Hz, order 2 Butterworth, zero phase, channels 1 3".
QString filter_description(const FilterSettings& settings);

// A frequency as the texts above write it: at most 6 significant digits, never an exponent,
// no trailing zeros ("0.05", "50", "0.000125").
QString hz_text(double hz);

}  // namespace quarvel
