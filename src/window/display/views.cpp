#include "display/views.h"

#include <QAction>
#include <QPushButton>

#include "app/main_window.h"
#include "core/numbers.h"
#include "display/plot_geometry.h"
#include "ui/surface.h"

namespace quarvel {

void leave_spectrum_view(MainWindow& w) {
  SharedState& s = w.s;
  w.mnuPSD->setChecked(false);
  w.mnuRaw->setChecked(true);
  if (!s.psd_shown) return;
  s.psd_shown = kFalse;
  w.mnuBlock->setEnabled(true);
  w.mnuInvert->setEnabled(true);
  w.accept->setEnabled(static_cast<bool>(s.block_mode));
  w.clear_ave->setEnabled(static_cast<bool>(s.block_mode));
  s.work_data = s.raw_data;
  for (int ch = 1; ch <= 3; ++ch) {
    s.shift_steps[ch] = 0;
    s.ch_max[ch] = s.saved_ch_max[ch];
  }
  // The spectrum's bins stood in for the block length while it was shown.
  if (s.block_mode) s.block_length = s.blk_block_length;
}

void start_block_view(MainWindow& w, int32_t block_length) {
  SharedState& s = w.s;
  s.block_length = block_length;
  s.blk_block_length = block_length;
  w.disp->set_scale_width(block_width(block_length));
  s.ave_data.redim(3, block_length - 1);
  s.ave_n = 0;
  if (s.measure_mode) s.dim_measurement_block();
  s.view_start = 0;
  s.cur_block = 1;
}

QString block_mode_caption(const SharedState& s, bool with_file) {
  QString caption = "BLOCK MODE (" + format(s.scr_length, "#####.#") + s.unit_text[0] + ")";
  if (with_file) caption += "       " + s.data_file_name;
  return caption;
}

void block_view_controls(MainWindow& w) {
  w.mnuContinuous->setVisible(true);
  w.mnuContinuous->setEnabled(true);
  w.mnuBlock->setVisible(true);
  w.mnuBlock->setEnabled(true);
  w.mnuBlock->setText("Block length");
  w.mnuS->setEnabled(true);
  w.mnuS->setChecked(true);
  for (QAction* a : {w.mnuA_S, w.mnuA, w.mnuS_A, w.mnuOverplot, w.mnuPSD, w.mnuRaw}) {
    a->setEnabled(true);
    a->setChecked(false);
  }
  w.clear_ave->setEnabled(true);
  w.accept->setEnabled(true);
  w.newblk->setEnabled(false);
  w.s.show_single = kTrue;
  w.s.show_average = kFalse;
  w.s.overplot_on = kFalse;
}

void continuous_view_controls(MainWindow& w) {
  w.mnuContinuous->setVisible(false);
  w.mnuBlock->setVisible(true);
  w.mnuBlock->setEnabled(true);
  w.mnuBlock->setText("Block mode");
  w.mnuS->setEnabled(true);
  w.mnuS->setChecked(true);
  for (QAction* a : {w.mnuA_S, w.mnuS_A, w.mnuA, w.mnuPSD, w.mnuOverplot}) {
    a->setChecked(false);
    a->setEnabled(false);
  }
  w.accept->setEnabled(false);
  w.clear_ave->setEnabled(false);
  w.s.show_single = kTrue;
  w.s.show_average = kFalse;
  w.s.overplot_on = kFalse;
}

}  // namespace quarvel
