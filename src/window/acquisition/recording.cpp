#include "acquisition/recording.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include "acquisition/acquire.h"
#include "acquisition/device_block.h"
#include "acquisition/device_source.h"
#include "acquisition/recording_header.h"
#include "acquisition/signal_source.h"
#include "app/main_window.h"
#include "core/numbers.h"
#include "core/typed_values.h"
#include "datafile/bin_format.h"
#include "display/averaging.h"
#include "display/draw_curves.h"
#include "display/draw_frame.h"
#include "modes/shown_controls.h"

namespace quarvel {

const char* const kRecordErrorTitle = "File output";

namespace {

void report_record_error(MainWindow& w, const QString& reason) {
  w.dialogs().warning(
      "Error encountered while writing the recording, the file keeps what was saved before: " + reason,
      kRecordErrorTitle);
}

// Ends a block recording: the file is closed and the controls come back.
void end_block_recording(MainWindow& w) {
  SharedState& s = w.s;
  const bool was_open = w.recorder.is_open();
  const Status closed = w.recorder.close();
  // A block being taken keeps its share of the device until it has seen the STOP.
  w.block_device.reset();
  w.halt->setText("STOP");
  s.recording = kFalse;
  w.ave_count_label->setText(" ave");
  w.ave_count->setText(format(s.ave_n, " ##0"));
  w.set_caption("BLOCK MODE    LAST RECORDED FILE: " + s.data_file_name);
  if (was_open && !closed) report_record_error(w, closed.failure().detail);
}

// The file a recording goes to, chosen in the save dialog from the proposed next free name; an
// existing file of that name is replaced. Empty when cancelled or when it cannot be replaced.
QString choose_recording_file(MainWindow& w) {
  const QString dir = w.services.data_dir;
  QDir().mkpath(dir);
  FileDialogRequest req;
  req.filter = "Data File (*.bin)";
  req.filter_index = 1;
  req.title = "Open file to save data";
  req.file_name = propose_recording_name(dir);
  req.initial_dir = dir;
  req.default_ext = "bin";
  const QString name = w.dialogs().save_file(req);
  if (name.isEmpty()) return {};
  // The dialog has confirmed the replacement of an existing file; an empty one is simply reused.
  const QFileInfo existing(name);
  if (existing.exists() && existing.size() > 0 && !QFile::remove(name)) {
    report_record_error(w, QStringLiteral("the file cannot be replaced (%1)").arg(existing.fileName()));
    return {};
  }
  return name;
}

// Block recording: the file stays open, STIM makes blocks and Save appends them.
void start_block_recording(MainWindow& w) {
  SharedState& s = w.s;
  s.saved_count = 0;
  w.ave_count->setText(format(s.saved_count, " ##0"));
  w.ave_count_label->setText("saved");
  w.halt->setText("CLOSE");
  w.set_caption("BLOCK RECORD MODE  file name: " + s.data_file_name);
  w.stim->setFocus();
}

// Continuous recording: the acquisition loop writes the frames as they come (the generator's, or
// the device's); the file is closed after it and the controls come back.
void run_continuous_recording(MainWindow& w, SerialDevice* device) {
  SharedState& s = w.s;
  w.set_caption("CONTINUOUS RECORD MODE  file name: " + s.data_file_name);
  const AcquireEnd end = acquire(w, device);
  QString err = end.file_error;
  const Status closed = w.recorder.close();
  if (err.isEmpty() && !closed) err = closed.failure().detail;
  s.recording = kFalse;
  w.set_caption("CONTINUOUS MODE   LAST RECORDED FILE: " + s.data_file_name);
  if (!err.isEmpty()) report_record_error(w, err);
  if (device)
    finish_device_run(w, *device,
                      end.device_ended.isEmpty()
                          ? QString()
                          : QStringLiteral("The recording ended: %1 The file %2 holds every frame received.")
                                .arg(end.device_ended, s.data_file_name));
}

}  // namespace

void store_click(MainWindow& w) {
  SharedState& s = w.s;
  if (s.acq_running || s.recording) return;
  s.channel_count = s.count_active_channels();
  if (s.channel_count == 0) return;
  if (!s.block_mode && !file_length_fits(s.file_length, s.sampling_rate)) {
    w.dialogs().warning(QStringLiteral("The file length must be at most %1 s at %2 Hz.")
                            .arg(format_general_double(longest_file_length(s.sampling_rate)),
                                 format_general(s.sampling_rate)),
                        "File length");
    return;
  }
  // A device is opened before a file is asked for: one that cannot be has left nothing behind.
  std::unique_ptr<SerialDevice> device;
  if (is_device(chosen_source(w)) && !(device = start_chosen_device(w))) return;
  const QString name = choose_recording_file(w);
  if (name.isEmpty()) return;  // cancelled: nothing is recorded and nothing changes
  s.data_file_name = name;
  s.rec_file_no = 1;
  if (const Status st = w.recorder.create(name, recording_header(w)); !st) {
    report_record_error(w, st.failure().detail);
    return;
  }
  s.recording = kTrue;
  update_controls(w);
  if (s.block_mode) {
    w.block_device = std::move(device);
    start_block_recording(w);
  } else {
    run_continuous_recording(w, device.get());
  }
}

void end_recording_after_failure(MainWindow& w) {
  SharedState& s = w.s;
  if (!s.recording) return;
  if (s.block_mode) {
    end_block_recording(w);
  } else {
    // The frames stored before the failure go to the file if they can; the file ends at a whole
    // frame either way.
    (void)w.recorder.flush(2LL * (s.count_active_channels() + 1));
    (void)w.recorder.close();
    s.recording = kFalse;
    w.set_caption("CONTINUOUS MODE   LAST RECORDED FILE: " + s.data_file_name);
  }
}

void halt_click(MainWindow& w) {
  w.s.stop_request = kTrue;
  if (w.s.block_mode) end_block_recording(w);
}

void drug_button_click(MainWindow& w) {
  SharedState& s = w.s;
  if (s.marker_state != 0) {
    s.marker_state = 0;
    w.drug_button->setText("MARKER ON");
  } else {
    s.marker_state = 100;
    w.drug_button->setText("MARKER OFF");
  }
}

// Generates one block: uniform noise on all three channels with stimulus marks at
// delay + k x interval ms.
static void generate_block(MainWindow& w) {
  SharedState& s = w.s;
  const int32_t last = s.block_length - 1;
  s.raw_data.redim(3, last);
  redim(s.marker_data, last);
  mark_stimuli(s.marker_data, last, s.sample_interval, stimulus_setting(w.dly1->currentText()),
               stimulus_setting(w.interval->currentText()), stimulus_setting(w.stim_num->currentText()));
  for (int32_t j = 0; j <= last; ++j)
    for (int ch = 1; ch <= 3; ++ch) s.raw_data(ch, j) = block_sample(s);
}

// A block from the device: the block recording's, or one opened for this block alone. False
// when there is none (STOP, CLOSE, a device that could not start or whose stream ended).
static bool take_block_from_device(MainWindow& w) {
  SharedState& s = w.s;
  std::shared_ptr<SerialDevice> device = w.block_device;
  if (!device && !(device = start_chosen_device(w))) return false;
  const BlockTake t = take_device_block(w, *device);
  if (t.complete) return true;
  // The picture before the block comes back; the block under way is no part of anything.
  draw_frame(w);
  if (s.block_count > 0 && s.raw_data.last_index() == s.block_length - 1) draw_curves(w);
  if (!t.ended.isEmpty()) {
    const bool recording = static_cast<bool>(s.recording);
    if (recording) end_block_recording(w);
    w.dialogs().warning(recording ? QStringLiteral("The block was not saved: %1 The file %2 keeps the blocks "
                                                   "saved before.")
                                        .arg(t.ended, s.data_file_name)
                                  : QStringLiteral("The block was not taken: %1").arg(t.ended),
                        kDeviceTitle);
  }
  return false;
}

void stim_click(MainWindow& w) {
  SharedState& s = w.s;
  if (!s.block_mode) {
    // A second press before the pending stimulus frame keeps the state to return to.
    if (s.marker_state != 200) s.marker_saved = s.marker_state;
    s.marker_state = 200;
    return;
  }
  if (s.count_active_channels() == 0) return;
  if (s.block_length < 1) return;  // no block length chosen: there is no block to generate
  if (s.acq_running) return;       // a block is being taken
  if (is_device(chosen_source(w))) {
    if (!take_block_from_device(w)) return;
  } else {
    w.set_busy(true);
    generate_block(w);
  }
  s.block_count = 1;
  s.work_data = s.raw_data;
  w.set_busy(false);
  draw_frame(w);
  draw_curves(w);
  if (s.recording) {
    w.save->setFocus();
  } else {
    w.accept->setFocus();
  }
}

void save_click(MainWindow& w) {
  SharedState& s = w.s;
  if (!s.recording || !w.recorder.is_open()) return;
  // The block goes to the file first, whole or not at all: a block that could not be written is
  // not counted.
  const QByteArray frames =
      encode_frames(s.work_data, s.ch_source, s.marker_data, 0, s.raw_data.last_index());
  w.recorder.append(frames);
  if (const Status st = w.recorder.flush(frames.size()); !st) {
    end_block_recording(w);
    report_record_error(w, st.failure().detail);
    return;
  }

  add_block_to_average(s.ave_data, s.ave_n, s.work_data, s.view_start, s.ch_source);
  s.ave_n += 1;
  s.saved_count += 1;
  w.ave_count->setText(format(s.saved_count, " ##0"));
  draw_frame(w);
  draw_curves(w);
  w.stim->setFocus();
}

}  // namespace quarvel
