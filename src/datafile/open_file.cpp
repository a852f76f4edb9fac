#include "datafile/open_file.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>

#include "core/main_window.h"
#include "core/numbers.h"
#include "core/settings.h"
#include "datafile/bin_reader.h"
#include "datafile/file_names.h"
#include "datafile/prn_reader.h"
#include "display/draw_curves.h"
#include "display/draw_frame.h"
#include "display/geometry.h"
#include "display/status_line.h"
#include "measure/results_table.h"
#include "modes/views.h"
#include "ui/progress_window.h"
#include "ui/surface.h"

namespace quarvel {

const char* const kFileInputMessage = "Error encountered while trying to open file, please retry.";
const char* const kFileInputTitle = "File input";

namespace {

void file_input_error(MainWindow& w) {
  w.data_file.close();
  w.s.file_loaded = kFalse;
  w.set_busy(false);
  w.Scroll->hide();
  w.dialogs().warning(kFileInputMessage, kFileInputTitle);
}

// Opens the file to read; a file that cannot be opened gives the file-input message.
bool open_for_reading(MainWindow& w, const QString& path) {
  w.data_file.setFileName(path);
  w.s.data_file_no = 1;
  if (w.data_file.open(QIODevice::ReadOnly)) return true;
  file_input_error(w);
  return false;
}

void start_progress(MainWindow& w) {
  w.Scroll->setWindowTitle("Reading data...");
  w.Scroll->set_value(0);
  w.Scroll->show_modeless();
  w.Scroll->refresh();
}

ReadProgress progress_bar(MainWindow& w) {
  return [&w](int percent) {
    w.Scroll->set_value(percent);
    w.Scroll->refresh();
  };
}

void end_progress(MainWindow& w) {
  w.Scroll->set_value(100);
  w.Scroll->hide();
}

// Takes over the samples read (channels 1..C, 0..n - 1) as raw_data with one spare slot at the end
// (0..n) and the given number of channels, and work_data becomes a copy.
void take_samples(SharedState& s, SampleArray&& read, int channels, int32_t n,
                  std::vector<int16_t>&& markers) {
  s.raw_data = std::move(read);
  s.raw_data.reshape(channels, n);
  s.marker_data = std::move(markers);
  s.marker_data.resize(static_cast<size_t>(n) + 1, 0);
  s.work_data = s.raw_data;
}

// The continuous view of a loaded file: menus, flags and a display length of the smallest power of
// two that holds the whole recording.
void set_continuous_view(MainWindow& w) {
  SharedState& s = w.s;
  continuous_view_controls(w);
  s.block_length = -1;
  s.block_count = -1;
  w.SA_label->setText("single");
  w.newblk->setEnabled(true);
  s.view_start = 0;
  double d = round_even(static_cast<double>(s.sample_interval) * s.sample_count);
  if (d < 2) {
    s.unit_text[2] = "ms";
    d = round_even(d * 1000);
    s.cont_scr_factor = 0.001f;
  } else {
    s.unit_text[2] = " s";
    s.cont_scr_factor = 1;
  }
  double length = 1;
  while (length < d) length *= 2;
  s.cont_scr_length = static_cast<float>(length);
  s.scr_length = s.cont_scr_length;
  s.scr_factor = s.cont_scr_factor;
  s.unit_text[0] = s.unit_text[2];
  w.disp->set_scale_width(continuous_width(s));
}

void set_block_view(MainWindow& w, bool was_loaded) {
  SharedState& s = w.s;
  s.scr_length = static_cast<float>(s.block_length * static_cast<double>(s.sample_interval));
  if (s.scr_length >= 1) {
    s.scr_factor = 1;
    s.unit_text[0] = " s";
  } else {
    s.scr_length = static_cast<float>(s.scr_length * 1000.0);
    s.scr_factor = 0.001f;
    s.unit_text[0] = "ms";
  }
  s.blk_scr_length = s.scr_length;
  s.blk_scr_factor = s.scr_factor;
  s.unit_text[1] = s.unit_text[0];
  start_block_view(w, s.block_length);
  block_view_controls(w);
  w.SA_label->setText("single");
  w.set_caption(block_mode_caption(s, was_loaded));
}

}  // namespace

bool read_bin_file(MainWindow& w, const QString& path) {
  SharedState& s = w.s;
  if (!open_for_reading(w, path)) return false;
  w.set_busy(true);
  s.current_ch = 1;
  if (!s.block_mode) {
    s.cont_scr_length = s.scr_length;
    s.cont_scr_factor = s.scr_factor;
    s.unit_text[2] = s.unit_text[0];
  }
  const ChannelCountQuestion ask = [&w] {
    w.set_busy(false);
    const QString answer = w.dialogs().input_box("Number of recorded channels:", "Channel number", "1");
    w.set_busy(true);
    return answer;
  };
  // The header is checked before the progress window comes up; the frames are read in portions.
  bool progress_shown = false;
  const ReadProgress progress = [&](int percent) {
    if (!progress_shown) {
      start_progress(w);
      progress_shown = true;
    }
    progress_bar(w)(percent);
  };
  Result<BinContents> read = read_bin(w.data_file, ask, progress);
  if (!read) {
    file_input_error(w);
    return false;
  }
  BinContents& d = read.value();
  const bool was_loaded = s.file_loaded;
  s.channel_count = d.header.channel_count;
  s.ch_source = d.ch_source;
  for (int ch = 1; ch <= s.channel_count; ++ch) s.ch_max[ch] = d.ch_max[ch];
  s.block_mode = d.block_mode;
  if (d.format == BinFormat::Versioned) {
    s.block_length = d.header.block_length;
    s.stim_delay = d.header.stim_delay;
    s.stim_count = d.header.stim_count;
    s.stim_interval = d.header.stim_interval;
  }
  s.sample_interval = d.sample_interval;
  s.sample_count = d.sample_count;
  if (s.block_mode) s.block_count = round_i32(static_cast<double>(s.sample_count) / s.block_length);
  take_samples(s, std::move(d.samples), 3, s.sample_count, std::move(d.markers));
  end_progress(w);
  if (s.block_mode) {
    set_block_view(w, was_loaded);
  } else {
    set_continuous_view(w);
    w.set_caption(was_loaded ? "CONTINUOUS MODE       " + s.data_file_name
                             : QStringLiteral("CONTINUOUS MODE"));
  }
  show_channel_selected(w, 0);
  return true;
}

bool read_prn_file(MainWindow& w, const QString& path) {
  SharedState& s = w.s;
  if (!open_for_reading(w, path)) return false;
  const Result<int> channels = channel_count_from_answer(
      w.dialogs().input_box("Number of recorded channels:", "Channel number", "1"), 2);
  if (!channels) {
    file_input_error(w);
    return false;
  }
  w.set_busy(true);
  start_progress(w);
  Result<PrnContents> read = read_prn(w.data_file, channels.value(), progress_bar(w));
  end_progress(w);
  if (!read) {
    file_input_error(w);
    return false;
  }
  w.set_busy(false);
  const double rate = num(w.dialogs().input_box("Enter sampling frequency (Hz):", "Sample rate", "300"));
  // A rate that is not positive would give no sampling interval at all.
  if (!(rate > 0)) {
    file_input_error(w);
    return false;
  }
  w.set_busy(true);
  PrnContents& d = read.value();
  s.channel_count = static_cast<int16_t>(d.channel_count);
  s.block_mode = kFalse;
  for (int ch = 1; ch <= 3; ++ch) {
    s.ch_source[ch] = ch <= d.channel_count ? 1 : 0;
    if (ch <= d.channel_count) s.ch_max[ch] = d.ch_max[ch];
  }
  s.current_ch = 1;
  s.sample_count = d.sample_count;
  take_samples(s, std::move(d.samples), d.channel_count, s.sample_count, {});
  s.sample_interval = static_cast<float>(1.0 / rate);
  set_continuous_view(w);
  w.set_caption("CONTINUOUS MODE    " + s.data_file_name);
  return true;
}

void open_data_file(MainWindow& w, const QString& path) {
  SharedState& s = w.s;
  leave_spectrum_view(w);
  w.Label1->hide();
  const double width = w.disp->scale_width();
  w.disp->set_scale_mode(Surface::ScaleMode::Pixel);
  s.disp_px_width = static_cast<int16_t>(w.disp->scale_width());
  w.disp->set_scale_mode(Surface::ScaleMode::User);
  w.disp->set_scale_width(round_even(width));
  s.sel_x1 = s.sel_x2 = -1;
  for (int ch = 1; ch <= 3; ++ch) {
    s.ch_offset[ch] = 0;
    s.shift_steps[ch] = 0;
  }
  s.sample_count = 0;
  if (w.mnuOverplot->isChecked()) {
    w.mnuOverplot->setChecked(false);
    s.overplot_on = kFalse;
    w.mnuS->setChecked(true);
    w.SA_label->setText(" sngl");
  }
  w.set_busy(true);
  s.file_ext = s.file_ext.toUpper();
  bool ok = true;
  switch (data_file_kind(s.file_ext)) {
    case DataFileKind::Prn:
      ok = read_prn_file(w, path);
      break;
    case DataFileKind::Bin:
      ok = read_bin_file(w, path);
      break;
    case DataFileKind::Other:
      break;
  }
  w.data_file.close();
  for (QLineEdit* t : w.Text1) {
    t->clear();
    t->setEnabled(false);
    t->hide();
  }
  w.mnuInvert->setEnabled(true);
  if (ok) s.file_loaded = kTrue;
  reset_grid(w);
  if (s.block_mode) {
    w.status->setText(block_status_line(s));
  } else {
    const QFileInfo info(path);
    if (!info.exists()) {
      // A file that is not there has no date to show: the load failed.
      if (ok) file_input_error(w);
      w.status->clear();
      return;
    }
    const QDateTime when = info.lastModified();
    const QLocale locale = QLocale::system();
    w.status->setText(locale.toString(when.date(), QLocale::LongFormat) + "   " +
                      locale.toString(when.time(), QLocale::LongFormat));
  }
}

void mnuOpen_click(MainWindow& w) {
  SharedState& s = w.s;
  FileDialogRequest req;
  req.filter = "Quarvel files (*.bin)|*.bin|Labtech files (*.prn)|*.prn";
  req.filter_index = 1;
  req.title = "Open data file";
  req.initial_dir = w.services.data_dir;  // recordings are where the open dialog starts
  const QString name = w.dialogs().open_file(req);
  if (name.isEmpty()) return;  // cancelled: nothing at all happens
  const FileNameSplit split = split_file_name(name);
  // A file the program has no reader for leaves the window as it was.
  if (data_file_kind(split.file_ext) == DataFileKind::Other) {
    w.dialogs().warning(kFileInputMessage, kFileInputTitle);
    return;
  }
  s.data_file_name = name;
  s.file_base = split.file_base;
  s.file_ext = split.file_ext;
  open_data_file(w, name);
  w.set_busy(false);
  for (int ch = 1; ch <= 3; ++ch) {
    s.ch_colour[ch] = channel_colour(ch);
    s.ave_colour[ch] = kGrey;
  }
  s.current_ch = 1;
  show_channel_selected(w, 0);
  draw_frame(w);
  draw_curves(w);
}

}  // namespace quarvel
