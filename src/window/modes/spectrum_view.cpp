#include "modes/spectrum_view.h"

#include <QAction>
#include <QPushButton>

#include "app/main_window.h"
#include "display/draw_curves.h"
#include "display/draw_frame.h"
#include "display/plot_geometry.h"
#include "modes/spectrum.h"
#include "ui/progress_window.h"
#include "ui/surface.h"

namespace quarvel {

void mnuPSD_click(MainWindow& w) {
  SharedState& s = w.s;
  if (w.mnuPSD->isChecked() || !s.file_loaded) return;
  // The spectrum belongs to the block view of analysis; anywhere else there are no blocks.
  if (s.measure_mode || !s.block_mode) return;
  const QString refusal = spectrum_refusal(s.block_length, s.block_count);
  if (!refusal.isEmpty()) {
    w.dialogs().warning(refusal, "PSD");
    return;
  }

  w.set_busy(true);
  SpectrumProgress progress;
  progress.block_started = [&w](const QString& caption) {
    w.set_busy(true);
    w.Scroll->setWindowTitle(caption);
    w.Scroll->set_value(0);
    w.Scroll->show_modeless();
    w.Scroll->refresh();
  };
  progress.portion_done = [&w](int percent) {
    w.Scroll->set_value(percent);
    w.Scroll->refresh();
  };
  // The spectrum is taken of the samples as read, whatever the shown data hold.
  std::optional<SpectrumResult> r = power_spectrum(s.raw_data, s.block_length, s.block_count, progress);
  w.Scroll->hide();
  w.set_busy(false);
  // The refusal above has already turned away every block the transform cannot take.
  if (!r) return;

  w.mnuRaw->setChecked(false);
  w.mnuPSD->setChecked(true);
  w.mnuBlock->setEnabled(false);
  w.mnuInvert->setEnabled(false);
  // The average is of curves, not of spectra: it stays as it is until the curves come back.
  w.accept->setEnabled(false);
  w.clear_ave->setEnabled(false);
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
  s.view_start = static_cast<float>((static_cast<double>(s.cur_block) - 1) * s.block_length);
  if (w.mnuOverplot->isChecked()) {
    redraw(w);
  } else {
    draw_frame(w);
  }
  draw_curves(w);
}

}  // namespace quarvel
