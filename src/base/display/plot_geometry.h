// The geometry of the plotting surface, owned in one place: the user coordinate system the frame
// is drawn in, where its axes, band and marker strip lie, and the conversions between sample
// positions, times and user coordinates in both directions.
//
// Horizontally there is one user unit per sample, x = 0 at the first sample shown (view_start):
// one screen of samples takes 80 % of the user width W, between a left margin of 12.5 % for the
// amplitude labels and a right one of 7.5 %. Vertically a channel of range R (ch_range) has its
// band +-R/2 on 80 % of the height, 7.5 % above it and 12.5 % below it for the time axis and its
// labels, values growing upwards (the height is negative). Channels are overlaid, each in its own
// vertical scale with its zero line at the same screen height.
#pragma once

#include <cstdint>

#include "core/shared_state.h"

namespace quarvel {

class PlotGeometry {
 public:
  // W: the user width of the surface; R: the range of the channel whose scale is in force.
  PlotGeometry(double width, double range) : width_(width), range_(range) {}

  // The user coordinate system: left, top, width and (negative) height.
  double left() const { return -0.125 * width_; }
  double top() const { return 0.475 * range_ / 0.8; }
  double width() const { return width_; }
  double height() const { return -range_ / 0.8; }

  // Samples on one screen; the end of the time axis lies there.
  double samples_on_screen() const { return 0.8 * width_; }
  double plot_right() const { return samples_on_screen(); }
  double amp_axis_x() const { return -0.025 * width_; }
  double time_axis_y() const { return 0.425 * height(); }
  // The channel's band: +R/2 to -R/2. Plotted values are held inside it.
  double band_top() const { return -0.4 * height(); }
  double band_bottom() const { return 0.4 * height(); }
  double clamp_to_band(double v) const {
    if (v > band_top()) return band_top();
    if (v < band_bottom()) return band_bottom();
    return v;
  }
  // The strip above the time axis: marker bars from marker_top() down to the axis, stimulus ticks
  // from tick_top().
  double marker_top() const { return 0.405 * height(); }
  double tick_top() const { return 0.385 * height(); }
  // The gap between the two threshold levels of auto peaks: a level_div-th of the height.
  double level_gap(int level_div) const { return -height() / level_div; }
  // The overplot form: the zero line of the first block lies first_percent % of the band's height
  // below the band's top (as an offset from the zero line), each further block another
  // further_percent % lower.
  double overplot_first(double first_percent) const { return (first_percent / 100.0 - 0.5) * 0.8 * height(); }
  double overplot_further(double further_percent) const { return further_percent * (0.8 * height()) / 100.0; }

  // Samples and user x, both ways.
  static double x_of_sample(double sample, double view_start) { return sample - view_start; }
  static double sample_at_x(double x, double view_start) { return view_start + x; }
  // Times in the display unit of a screen screen_length long, and user x, both ways.
  double time_at_x(double x, double screen_length) const { return x * screen_length / samples_on_screen(); }
  double x_at_time(double t, double screen_length) const { return t * samples_on_screen() / screen_length; }

 private:
  double width_;
  double range_;
};

// The geometry of channel ch on a surface `width` user units wide.
inline PlotGeometry channel_geometry(const SharedState& s, double width, int ch) {
  return PlotGeometry(width, s.ch_range[ch]);
}

// Samples on one screen: screen length in seconds over the sampling interval (as decimals).
double samples_per_screen(const SharedState& s);

// The user width that puts one screen of samples on 80 % of it, in continuous views:
// scr_factor x scr_length / sample_interval / 0.8, with the factor and the interval taken as the
// decimals they stand for (decimal_of), so that positions read back from the width are exact.
double continuous_width(const SharedState& s);

// The same for block views (and the spectrum): block_length / 0.8.
double block_width(int32_t block_length);

}  // namespace quarvel
