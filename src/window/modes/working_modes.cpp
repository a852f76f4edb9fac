#include "modes/working_modes.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>
#include <optional>

#include "app/main_window.h"
#include "app/remembered.h"
#include "app/settings.h"
#include "app/startup.h"
#include "core/numbers.h"
#include "core/typed_values.h"
#include "display/draw_curves.h"
#include "display/draw_frame.h"
#include "display/physical_units.h"
#include "display/plot_geometry.h"
#include "display/status_line.h"
#include "display/views.h"
#include "modes/shown_controls.h"
#include "ui/results_grid.h"
#include "ui/surface.h"

namespace quarvel {

namespace {

void channel_colours(SharedState& s) {
  for (int ch = 1; ch <= 3; ++ch) s.ch_colour[ch] = channel_colour(ch);
}

void continuous_caption(MainWindow& w) {
  w.set_caption(w.s.file_loaded ? "CONTINUOUS MODE   " + w.s.data_file_name
                                : QStringLiteral("CONTINUOUS MODE"));
}

// First entry into block mode: the continuous setting is kept, and the block controls come up.
void enter_block_mode(MainWindow& w) {
  SharedState& s = w.s;
  s.block_mode = kTrue;
  s.cont_scr_length = s.scr_length;
  s.cont_scr_factor = s.scr_factor;
  s.unit_text[2] = s.unit_text[0];
  w.mnuBlock->setText("Block length");
  if (s.measure_mode) {
    s.sampling_rate = 1000;
    s.sample_interval = 1.0f / 1000;
    w.sampling_hz->setEditText("1000");
    w.hz->setText("us");
  }
}

// Asks for the block length in ms, proposing the length in force. Returns the answer, or
// nothing when it was cancelled or refused (a length without a sample, or longer than a block
// may be) with a message.
std::optional<QString> ask_block_length(MainWindow& w) {
  SharedState& s = w.s;
  const QString proposal =
      s.block_length < 0
          ? QStringLiteral("500")
          : QString::number(round_i32(static_cast<double>(s.block_length) * 1000 * s.sample_interval));
  const QString answer = w.dialogs().input_box("Block length (ms):", "Get length", proposal);
  if (answer.isEmpty()) return std::nullopt;
  // The interval the block will be counted in: measurement enters block mode at 1 kHz.
  const float interval = !s.block_mode && s.measure_mode ? 1.0f / 1000 : s.sample_interval;
  const int64_t samples = block_samples_for_answer(answer, interval);
  if (samples < 1) {
    w.dialogs().warning("The block length must hold at least one sample.", "Get length");
    return std::nullopt;
  }
  if (samples > kMaxBlockLength) {
    w.dialogs().warning(
        QStringLiteral("The block length must be at most %1 ms.")
            .arg(format_general_double(std::floor(static_cast<double>(kMaxBlockLength) * interval * 1000))),
        "Get length");
    return std::nullopt;
  }
  return answer;
}

// The screen of a block view of `answer` ms: above 1000 ms in seconds, else in milliseconds.
// Returns its length in seconds.
double set_block_screen(SharedState& s, const QString& answer) {
  s.scr_length = static_cast<float>(num(answer));
  double seconds;
  if (s.scr_length > 1000) {
    s.scr_length = s.scr_length / 1000;
    s.unit_text[0] = " s";
    s.scr_factor = 1;
    seconds = s.scr_length;
  } else {
    s.unit_text[0] = "ms";
    s.scr_factor = 0.001f;
    seconds = s.scr_length * 0.001;
  }
  s.blk_scr_length = s.scr_length;
  s.blk_scr_factor = s.scr_factor;
  s.unit_text[1] = s.unit_text[0];
  return seconds;
}

}  // namespace

void mnuBlock_click(MainWindow& w) {
  SharedState& s = w.s;
  if (s.acq_running) s.stop_request = kTrue;
  const std::optional<QString> answer = ask_block_length(w);
  if (!answer) return;
  // The tables are emptied for the new blocks: readings not saved are asked about first.
  if (!s.measure_mode && !w.readings_may_go()) return;
  show_raw_samples(w);
  if (!s.block_mode) enter_block_mode(w);
  const double seconds = set_block_screen(s, *answer);
  w.scr_lng->setEditText(format(s.scr_length, "#####"));
  w.scr_unit->setText(s.unit_text[0]);
  const int32_t recorded_samples = s.sample_count;
  start_block_view(w, round_i32(seconds / s.sample_interval));
  // Measurement holds the one block its arrays were made for; a loaded recording as many whole
  // blocks as it has samples for (the incomplete last block is dropped).
  s.block_count = s.measure_mode ? 1 : static_cast<int32_t>(recorded_samples / s.block_length);
  if (s.measure_mode) w.ave_count->setText(format(s.ave_n, " ###0"));
  w.set_caption(block_mode_caption(s, static_cast<bool>(s.file_loaded)));
  if (s.measure_mode) {
    if (s.acq_running) s.sweep_restart = kTrue;
    draw_frame(w);
    update_controls(w);
    w.stim->setFocus();
  } else {
    w.show_status(s.file_loaded ? block_status_line(s) : QString());
    w.reset_results();
    show_picture(w);
  }
}

void mnuContinuous_click(MainWindow& w) {
  SharedState& s = w.s;
  // The tables are emptied for the continuous view: readings not saved are asked about first.
  if (!s.measure_mode && !w.readings_may_go()) return;
  show_raw_samples(w);
  s.scr_length = s.cont_scr_length;
  s.scr_factor = s.cont_scr_factor;
  s.unit_text[0] = s.unit_text[2];
  show_single_curves(s);
  w.mnuBlock->setText("Block mode");
  w.SA_label->setText(" sngl");
  channel_colours(s);
  s.block_mode = kFalse;
  s.block_length = -1;
  s.block_count = -1;
  if (s.measure_mode) {
    s.sampling_rate = 10;
    s.sample_interval = 1.0f / 10;
    w.sampling_hz->setEditText(format_general(s.sampling_rate));
    w.hz->setText("Hz");
    w.scr_unit->setText(s.unit_text[0]);
    s.ave_n = 0;
    w.ave_count->setText(format(s.ave_n, " ###0"));
    write_scr_lng_text(w);
  } else {
    w.reset_results();
  }
  continuous_caption(w);
  w.show_status({});
  w.disp->set_scale_width(continuous_width(s));
  draw_frame(w);
  if (!s.measure_mode) draw_curves(w);
}

namespace {

// The menus of measurement mode: Quarvel and Block mode offered, the analysis menus hidden, the
// single curves ticked.
void measurement_menus(MainWindow& w) {
  w.mnuBlock->setText("Block mode");
  w.SA_label->setText(" sngl");
  // Single is ticked, so the single curves are what a generated block shows.
  show_single_curves(w.s);
}

// The acquisition panel with its start-up contents: no input on any channel, gains 1x.
void reset_acquisition_panel(MainWindow& w) {
  for (int i = 0; i < 3; ++i) {
    w.ch_list[static_cast<size_t>(i)]->setCurrentIndex(0);
    w.s.ch_source[i + 1] = 0;
    w.gain[static_cast<size_t>(i)]->setCurrentIndex(0);
  }
}

// The recording settings as measurement starts them: 10 Hz, 8 s screens, 180 s files, one
// stimulus per block without delay or interval, no average.
void measurement_defaults(MainWindow& w) {
  SharedState& s = w.s;
  set_continuous_defaults(w);
  s.file_length = 180;
  w.file_lng->setEditText("180");
  s.sample_count = round_i32(static_cast<double>(s.file_length) * s.sampling_rate);
  s.ave_n = 0;
  w.ave_count->setText(format(s.ave_n, " ###0"));
  w.ave_count_label->setText(" ave#");
  s.stim_count = 1;
  s.stim_delay = 0;
  s.stim_interval = 0;
  w.dly1->setEditText(" 0");
  w.stim_num->setCurrentIndex(1);
  w.interval->setEditText(" 0");
  s.block_mode = kFalse;
  s.block_length = -1;
  reset_view_settings(s);
  w.sampling_hz->setEditText(format_general(s.sampling_rate));
  w.hz->setText("Hz");
  w.scr_lng->setEditText(format_general(s.scr_length));
  w.scr_unit->setText(s.unit_text[0]);
}

// The results side of the window: the tables of the current channel, empty.
void show_results_side(MainWindow& w) {
  colour_scale_buttons(w, w.s.current_ch);
  w.reset_results();
}

}  // namespace

void mnuMeasure_click(MainWindow& w) {
  SharedState& s = w.s;
  // Measurement starts the tables afresh: readings not saved are asked about first.
  if (!w.readings_may_go()) return;
  show_raw_samples(w);
  // The live sweep is in converter units.
  set_physical_units(s, false);
  w.reset_results();
  s.file_loaded = kFalse;
  w.free_annotation_boxes();
  channel_colours(s);
  for (int ch = 1; ch <= 3; ++ch) s.ave_colour[ch] = kGrey;
  measurement_menus(w);
  w.set_caption("CONTINUOUS MODE");
  reset_acquisition_panel(w);
  measurement_defaults(w);
  restore_typed_settings(w);
  w.measure_surface();
  s.measure_mode = kTrue;
  // Channel 1 is selected before the frame is drawn, so the frame is channel 1's.
  s.current_ch = 1;
  show_channel_selected(w, 0);
  draw_frame(w);
  update_controls(w);
  w.monitor->setFocus();
}

void mnuQuarvel_click(MainWindow& w) {
  SharedState& s = w.s;
  if (!w.readings_may_go()) return;
  s.stop_request = kTrue;
  show_raw_samples(w);
  s.measure_mode = kFalse;
  s.block_mode = kFalse;
  s.block_length = -1;
  s.block_count = -1;
  show_single_curves(s);
  s.psd_shown = kFalse;
  w.SA_label->clear();
  for (int ch = 1; ch <= 3; ++ch) {
    s.scale_colour[ch] = channel_colour(ch);
    s.ave_colour[ch] = kGrey;
  }
  channel_colours(s);
  set_continuous_defaults(w);
  s.ave_n = 0;
  reset_view_settings(s);
  s.current_ch = 1;
  w.mnuBlock->setText("Block mode");
  show_results_side(w);
  w.set_caption("CONTINUOUS MODE");
  w.show_status({});
  draw_frame(w);
}

void mnuExit_click(MainWindow& w) {
  if (!w.readings_may_go()) return;
  w.services.clipboard->clear();
  keep_window_geometry(w);
  // What a recording wrote is on disk already; nothing more is written.
  (void)w.recorder.close();
  w.services.end_program();
}

}  // namespace quarvel
