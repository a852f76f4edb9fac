#include "display/display_modes.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>

#include "app/main_window.h"
#include "core/numbers.h"
#include "core/typed_values.h"
#include "display/averaging.h"
#include "display/draw_curves.h"
#include "display/draw_frame.h"
#include "display/filters.h"
#include "display/plot_geometry.h"
#include "display/status_line.h"
#include "display/views.h"
#include "ui/surface.h"

namespace quarvel {

void write_block_status(MainWindow& w) {
  w.show_status(block_status_line(w.s));
}

namespace {

constexpr const char* kFirstPrompt = "Enter displacement of first curve in % of display height:";
constexpr const char* kFurtherPrompt = "Enter displacement of subsequent curves in % of display height:";
constexpr float kDefaultDisplacement = 10;

void show_average_count(MainWindow& w) {
  w.ave_count->setText(format(w.s.ave_n, " ##0"));
}

void channel_colours(PerChannel<int32_t>& c) {
  for (int ch = 1; ch <= 3; ++ch) c[ch] = channel_colour(ch);
}

// Which curves a display mode draws and how they are coloured.
struct CurveMode {
  CurveChoice choice;
  const char* label;
  bool single;
  bool average;
  bool grey_single;
  std::optional<bool> grey_average;  // none: the average keeps its colours
};

void choose_curves(MainWindow& w, const CurveMode& c) {
  SharedState& s = w.s;
  if (s.overplot_on) {
    // Leaving the overplot form: the status line speaks of the first block again.
    s.overplot_on = kFalse;
    s.cur_block = 1;
    write_block_status(w);
  }
  s.curve_choice = c.choice;
  w.SA_label->setText(QString::fromLatin1(c.label));
  s.show_single = Flag(c.single);
  s.show_average = Flag(c.average);
  if (c.grey_single) {
    s.ch_colour.fill(kGrey);
  } else {
    channel_colours(s.ch_colour);
  }
  if (c.grey_average) {
    if (*c.grey_average) {
      s.ave_colour.fill(kGrey);
    } else {
      channel_colours(s.ave_colour);
    }
  }
  draw_frame(w);
  draw_curves(w);
}

// Negates samples 0..last of one channel (within the array).
void negate(SampleArray& a, int ch, int32_t last) {
  if (ch < 1 || ch > a.channels()) return;
  float* x = a.write_channel(ch);
  const int32_t end = std::min(last, a.last_index());
  for (int32_t i = 0; i <= end; ++i) x[i] = -x[i];
}

int16_t negated(int16_t v) {
  return v == INT16_MIN ? INT16_MAX : static_cast<int16_t>(-v);
}

}  // namespace

void mnuS_click(MainWindow& w) {
  choose_curves(w, {CurveChoice::Single, "single", true, false, false, std::nullopt});
}

void mnuA_click(MainWindow& w) {
  choose_curves(w, {CurveChoice::Average, " ave", false, true, false, false});
}

void mnuS_A_click(MainWindow& w) {
  choose_curves(w, {CurveChoice::SingleAverage, "sng/ave", true, true, false, true});
}

void mnuA_S_click(MainWindow& w) {
  choose_curves(w, {CurveChoice::AverageSingle, "ave/sng", true, true, true, false});
}

void mnuOverplot_click(MainWindow& w) {
  SharedState& s = w.s;
  if (!s.measure_mode && !s.file_loaded) return;
  // The overplot of blocks: only where there are blocks to lay over each other.
  if (!s.block_mode || s.block_count < 1 || s.block_length < 1) return;
  // The displacements proposed: the last ones while overplotting, else the defaults.
  const bool entering = !s.overplot_on;
  PerChannel<float> first_disp = entering ? PerChannel<float>::filled(kDefaultDisplacement) : s.first_disp;
  PerChannel<float> further_disp =
      entering ? PerChannel<float>::filled(kDefaultDisplacement) : s.further_disp;
  const int ch = s.current_ch;
  const QString first =
      w.dialogs().input_box(kFirstPrompt, "First displacement", format_general(first_disp[ch]));
  // Cancelled: the view stays as it was.
  if (first.isEmpty()) return;
  if (const auto v = displacement_from_text(first)) first_disp.fill(*v);

  const QString further =
      w.dialogs().input_box(kFurtherPrompt, "Further displacement", format_general(further_disp[ch]));
  if (further.isEmpty()) {
    further_disp.fill(kDefaultDisplacement);
  } else if (const auto v = displacement_from_text(further)) {
    further_disp.fill(*v);
  }
  s.first_disp = first_disp;
  s.further_disp = further_disp;
  if (entering) {
    w.SA_label->setText(" over");
    s.show_average = kFalse;
    s.show_single = kTrue;
    channel_colours(s.ch_colour);
  }
  s.overplot_on = kTrue;
  redraw(w);
}

void mnuRaw_click(MainWindow& w) {
  SharedState& s = w.s;
  // Only the spectrum view and filters have anything to bring back; the kept maxima and lengths
  // mean nothing while the recorded curves are shown.
  const bool spectrum_shown = static_cast<bool>(s.psd_shown);
  const bool filtered = !s.filters.empty();
  if (!spectrum_shown && !filtered) return;
  // The readings were taken through the filters and go with them, asked about first.
  if (filtered && !w.readings_may_go()) return;
  show_raw_samples(w);
  if (filtered) {
    follow_work_data(w);
    w.reset_results();
  }
  if (!spectrum_shown) {
    show_picture(w);
    return;
  }
  if (s.block_mode) {
    s.scr_length = s.blk_scr_length;
    s.scr_factor = s.blk_scr_factor;
    s.view_start = (static_cast<double>(s.cur_block) - 1) * s.blk_block_length;
    s.unit_text[0] = s.unit_text[1];
    w.disp->set_scale_width(block_width(s.block_length));
  } else {
    s.scr_length = s.cont_scr_length;
    s.scr_factor = s.cont_scr_factor;
    s.unit_text[0] = s.unit_text[2];
    w.disp->set_scale_width(continuous_width(s));
  }
  show_picture(w);
}

void mnuInvert_click(MainWindow& w) {
  SharedState& s = w.s;
  if (s.measure_mode) {
    // Live data are not touched; the picture starts again.
    if (!s.acq_running || s.recording) {
      draw_frame(w);
    } else {
      s.sweep_restart = kTrue;
    }
    return;
  }
  // Inverting discards the readings (below), except in the overplot form.
  if (!s.overplot_on && !w.readings_may_go()) return;
  // A filter is linear and its arithmetic the same for either sign, so the negated filtered samples
  // are the negated raw ones filtered: the filters stay in force.
  if (s.file_loaded && !s.psd_shown) {
    negate(s.raw_data, s.current_ch, s.sample_count);
    negate(s.work_data, s.current_ch, s.sample_count);
    // The physical values are negated with the converter values: -(g x + o) = g (-x) - o.
    Calibration& c = s.ch_calibration[s.current_ch];
    c.offset = -c.offset;
  }
  if (s.overplot_on) {
    redraw(w);
    return;
  }
  for (int ch = 1; ch <= 3; ++ch) {
    s.ch_offset[ch] = -s.ch_offset[ch];
    s.shift_steps[ch] = negated(s.shift_steps[ch]);
  }
  draw_frame(w);
  draw_curves(w);
  // Readings taken before no longer match the curve.
  w.reset_results();
}

void accept_click(MainWindow& w) {
  SharedState& s = w.s;
  if (s.ave_data.size() == 0 && s.block_length > 0) {
    // An average that was never dimensioned starts empty, one block long.
    s.ave_data.redim(3, s.block_length - 1);
    s.ave_n = 0;
  }
  if (add_block_to_average(s.ave_data, s.ave_n, s.work_data, s.view_start, s.ch_source) < 0) return;
  s.ave_n += 1;
  // Kept so that a filter can make the average anew from the same blocks.
  if (!s.measure_mode) s.ave_starts.push_back(s.view_start);
  if (!s.recording) show_average_count(w);
  if (!s.measure_mode) write_block_status(w);
  draw_frame(w);
  draw_curves(w);
  if (!s.measure_mode) {
    w.PgDn->setFocus();
  } else if (s.block_mode && s.recording) {
    w.stim->setFocus();
  }
}

void clear_ave_click(MainWindow& w) {
  SharedState& s = w.s;
  s.ave_n = 0;
  s.ave_starts.clear();
  if (!s.recording) show_average_count(w);
  if (!s.measure_mode) write_block_status(w);
  s.ave_data.redim(3, s.block_length - 1);
  draw_frame(w);
  draw_curves(w);
}

}  // namespace quarvel
