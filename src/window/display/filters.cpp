#include "display/filters.h"

#include <QLabel>
#include <optional>

#include "app/main_window.h"
#include "core/numbers.h"
#include "core/scope_exit.h"
#include "display/averaging.h"
#include "display/display_modes.h"
#include "display/draw_curves.h"
#include "modes/filtering.h"
#include "ui/progress_window.h"

namespace quarvel {

namespace {

// The channels a filter can run over: those recorded, with samples of their own.
PerChannel<bool> recorded_channels(const SharedState& s) {
  PerChannel<bool> recorded;
  for (int c = 1; c <= 3; ++c) recorded[c] = s.ch_source[c] > 0 && s.work_data.holds(c);
  return recorded;
}

// work_data through the filter, with the progress window and its Cancel; nothing when cancelled.
std::optional<SampleArray> filtered(MainWindow& w, const FilterSettings& f, double rate_hz) {
  ProgressWindow& p = *w.Scroll;
  w.set_busy(true);
  p.setWindowTitle("Filtering: " + filter_text(f));
  p.set_value(0);
  p.show_cancellable();
  const ScopeExit done([&] {
    p.hide();
    w.set_busy(false);
  });
  const FilterProgress progress{[&p](int percent) { p.set_value(percent); },
                                [&p] { return p.cancel_requested(); }};
  const SharedState& s = w.s;
  return apply_filter(s.work_data, f, rate_hz, s.block_mode ? s.block_length : 0, progress);
}

}  // namespace

void mnuFilter_click(MainWindow& w) {
  SharedState& s = w.s;
  if (s.measure_mode || !s.file_loaded || s.psd_shown) return;
  // The interval as the decimal it was written from, so that a 1 kHz recording's half rate is
  // 500 Hz and not a hair below.
  const double rate_hz = 1 / decimal_of(s.sample_interval);
  const PerChannel<bool> recorded = recorded_channels(s);
  const std::optional<FilterSettings> asked =
      w.dialogs().filter_settings(s.filter_proposal, rate_hz, recorded);
  if (!asked) return;
  s.filter_proposal = *asked;
  FilterSettings f = *asked;
  for (int c = 1; c <= 3; ++c) f.channels[c] = f.channels[c] && recorded[c];
  if (const QString refusal = filter_refusal(f, rate_hz); !refusal.isEmpty()) {
    w.dialogs().warning(refusal, "Filter");
    return;
  }
  if (!w.readings_may_go()) return;
  std::optional<SampleArray> out = filtered(w, f, rate_hz);
  if (!out) return;
  s.work_data = std::move(*out);
  s.filters.push_back(f);
  follow_work_data(w);
  w.reset_results();
  show_picture(w);
}

void follow_work_data(MainWindow& w) {
  SharedState& s = w.s;
  if (!s.block_mode || s.psd_shown) {
    w.show_status();
    return;
  }
  s.ave_n = rebuild_average(s.ave_data, s.work_data, s.ave_starts, s.ch_source);
  w.ave_count->setText(format(s.ave_n, " ##0"));
  write_block_status(w);
}

}  // namespace quarvel
