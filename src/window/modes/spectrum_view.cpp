#include "modes/spectrum_view.h"

#include <QElapsedTimer>

#include "app/main_window.h"
#include "display/draw_curves.h"
#include "display/draw_frame.h"
#include "display/physical_units.h"
#include "display/plot_geometry.h"
#include "modes/spectrum.h"
#include "ui/progress_window.h"
#include "ui/surface.h"

namespace quarvel {

namespace {

// The progress window for the transforms. A block's transforms take microseconds and a repaint
// takes far longer, so the window shows the latest caption and percent at most about 30 times a
// second instead of at every report.
class SpectrumProgressWindow {
 public:
  explicit SpectrumProgressWindow(MainWindow& w) : w_(w) {}
  // The reports refer to this object.
  SpectrumProgressWindow(const SpectrumProgressWindow&) = delete;
  SpectrumProgressWindow& operator=(const SpectrumProgressWindow&) = delete;

  SpectrumProgress reports() {
    SpectrumProgress p;
    p.block_started = [this](const QString& caption) {
      caption_ = caption;
      percent_ = 0;
      changed();
    };
    p.portion_done = [this](int percent) {
      percent_ = percent;
      changed();
    };
    return p;
  }

  // Paints what was reported last, so the bar is seen at its end before the window goes.
  void finish() {
    if (pending_) paint();
  }

 private:
  static constexpr qint64 kFrameMs = 33;

  void changed() {
    pending_ = true;
    if (!clock_.isValid() || clock_.elapsed() >= kFrameMs) paint();
  }

  void paint() {
    w_.set_busy(true);
    w_.Scroll->setWindowTitle(caption_);
    w_.Scroll->set_value(percent_);
    w_.Scroll->show_modeless();
    w_.Scroll->refresh();
    pending_ = false;
    clock_.start();
  }

  MainWindow& w_;
  QElapsedTimer clock_;
  QString caption_;
  int percent_ = 0;
  bool pending_ = false;
};

}  // namespace

void mnuPSD_click(MainWindow& w) {
  SharedState& s = w.s;
  if (s.psd_shown || !s.file_loaded) return;
  // The spectrum belongs to the block view of analysis; anywhere else there are no blocks.
  if (s.measure_mode || !s.block_mode) return;
  const QString refusal = spectrum_refusal(s.block_length, s.block_count);
  if (!refusal.isEmpty()) {
    w.dialogs().warning(refusal, "PSD");
    return;
  }

  w.set_busy(true);
  SpectrumProgressWindow progress(w);
  // The spectrum is taken of the curves shown: the filtered blocks while filters are in force, in
  // the unit in force.
  std::optional<SpectrumResult> r =
      power_spectrum(s.work_data, s.block_length, s.block_count, progress.reports());
  progress.finish();
  w.Scroll->hide();
  w.set_busy(false);
  // The refusal above has already turned away every block the transform cannot take.
  if (!r) return;

  // The average is of curves, not of spectra: it stays as it is until the curves come back.
  s.psd_shown = kTrue;

  s.fft_n = r->fft_n;
  s.block_length = r->bins;
  s.psd_max = r->psd_max;
  s.spectrum = std::move(r->spectrum);
  s.work_data = s.spectrum;
  for (int ch = 1; ch <= 3; ++ch) {
    s.shift_steps[ch] = -2;  // the zero line two steps down, so the spectra use the whole height
    s.saved_ch_max[ch] = s.ch_max[ch];
    s.ch_max[ch] = s.psd_max[ch] / 2;
  }
  w.disp->set_scale_width(block_width(s.block_length));
  // The bins of a block span the frequencies up to half the sampling rate.
  s.scr_factor = 1;
  s.scr_length = (1 / s.sample_interval) / 2;
  s.unit_text[0] = "Hz";
  s.view_start = (static_cast<double>(s.cur_block) - 1) * s.block_length;
  if (s.overplot_on) {
    redraw(w);
  } else {
    draw_frame(w);
  }
  draw_curves(w);
}

}  // namespace quarvel
