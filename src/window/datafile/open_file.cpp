#include "datafile/open_file.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cmath>
#include <memory>
#include <optional>

#include "app/main_window.h"
#include "app/settings.h"
#include "core/numbers.h"
#include "core/scope_exit.h"
#include "datafile/bin_reader.h"
#include "datafile/edf_reader.h"
#include "datafile/file_names.h"
#include "datafile/files_in.h"
#include "datafile/prn_reader.h"
#include "display/draw_curves.h"
#include "display/draw_frame.h"
#include "display/physical_units.h"
#include "display/plot_geometry.h"
#include "display/status_line.h"
#include "display/views.h"
#include "modes/shown_controls.h"
#include "ui/progress_window.h"
#include "ui/surface.h"

namespace quarvel {

const char* const kFileInputMessage = "Error encountered while trying to open file, please retry.";
const char* const kFileInputTitle = "File input";

namespace {

// The file-input message, followed by the reason when one is known.
void file_input_error(MainWindow& w, const QString& reason = {}) {
  w.data_file.close();
  w.set_busy(false);
  w.Scroll->hide();
  const QString text = QString::fromLatin1(kFileInputMessage);
  w.dialogs().warning(reason.isEmpty() ? text : text + "\n\n" + reason, kFileInputTitle);
}

// Why an EDF or BDF file cannot be opened, in the user's words; empty when the user's own answer
// stopped it, since the question just asked says enough.
QString edf_failure_reason(const DataFileFailure& failure) {
  switch (failure.code) {
    case DataFileError::BadChannelCount:
      return QStringLiteral("It holds more than three signals, or none; from one to three can be opened.");
    case DataFileError::MixedSampleRates:
      return QStringLiteral(
          "Its signals are sampled at different rates; only signals of one rate can be opened.");
    case DataFileError::BadSampleInterval:
      return QStringLiteral("Its header gives the signals no sampling rate.");
    case DataFileError::TooLarge:
      return QStringLiteral("It holds more samples than the program can keep.");
    case DataFileError::BadChannelAnswer:
      // A cancelled question says enough; an answer naming signals that cannot be read is told why.
      return failure.detail.startsWith('"') ? QString() : failure.detail;
    case DataFileError::ReadFailed:
      return QStringLiteral("The file cannot be read.");
    default:
      return QStringLiteral("Its header is damaged, or it is no EDF or BDF file.");
  }
}

void start_progress(MainWindow& w) {
  w.Scroll->setWindowTitle("Reading data...");
  w.Scroll->set_value(0);
  w.Scroll->show_modeless();
  w.Scroll->refresh();
}

// The progress window comes up with the first portion read, once the file's header has been
// found good.
// Thrown by the progress of a read that Open or Exit ended.
struct LoadEnded {};

ReadProgress progress_bar(MainWindow& w) {
  auto shown = std::make_shared<bool>(false);
  return [&w, shown](int percent) {
    if (!*shown) {
      start_progress(w);
      *shown = true;
    }
    w.Scroll->set_value(percent);
    w.Scroll->refresh();
    // The window takes its events between portions; Open or Exit among them ends the read.
    w.Scroll->cancel_requested();
    if (w.after_load() != MainWindow::AfterLoad::Nothing) throw LoadEnded{};
  };
}

void end_progress(MainWindow& w) {
  w.Scroll->set_value(100);
  w.Scroll->hide();
}

std::optional<LoadedFile> read_bin_file(MainWindow& w) {
  const ChannelCountQuestion ask = [&w] {
    w.set_busy(false);
    const QString answer = w.dialogs().input_box("Number of recorded channels:", "Channel number", "1");
    w.set_busy(true);
    return answer;
  };
  Result<BinContents> read = read_bin(w.data_file, ask, progress_bar(w));
  end_progress(w);
  if (!read) return std::nullopt;
  BinContents& d = read.value();
  LoadedFile f;
  f.channel_count = d.header.channel_count;
  f.ch_source = d.ch_source;
  f.ch_max = d.ch_max;
  f.block_mode = d.block_mode;
  if (d.format == BinFormat::Versioned) {
    f.block_length = d.header.block_length;
    f.has_stimulus_settings = true;
    f.stim_delay = d.header.stim_delay;
    f.stim_count = d.header.stim_count;
    f.stim_interval = d.header.stim_interval;
  }
  f.sample_interval = d.sample_interval;
  f.sample_count = d.sample_count;
  f.samples = std::move(d.samples);
  f.markers = std::move(d.markers);
  f.marker_summary = std::move(d.marker_summary);
  f.calibration = channel_calibrations(d.calibration);
  if (d.calibration.status == CalibrationBlockStatus::Damaged) {
    f.status_note =
        QStringLiteral("Calibration ignored (%1): converter units only.").arg(d.calibration.problem);
  }
  return f;
}

std::optional<LoadedFile> read_prn_file(MainWindow& w) {
  w.set_busy(false);
  const Result<int> channels = channel_count_from_answer(
      w.dialogs().input_box("Number of recorded channels:", "Channel number", "1"), 2);
  if (!channels) return std::nullopt;
  w.set_busy(true);
  Result<PrnContents> read = read_prn(w.data_file, channels.value(), progress_bar(w));
  end_progress(w);
  if (!read) return std::nullopt;
  w.set_busy(false);
  const double rate = num(w.dialogs().input_box("Enter sampling frequency (Hz):", "Sample rate", "300"));
  // A rate that is not positive, or too small to give a sampling interval, is no rate.
  const float interval = static_cast<float>(1.0 / rate);
  if (!(rate > 0) || !std::isfinite(interval) || !(interval > 0)) return std::nullopt;
  w.set_busy(true);
  PrnContents& d = read.value();
  LoadedFile f;
  f.prn = true;
  f.channel_count = static_cast<int16_t>(d.channel_count);
  for (int ch = 1; ch <= d.channel_count; ++ch) f.ch_source[ch] = 1;
  f.ch_max = d.ch_max;
  f.sample_interval = interval;
  f.sample_count = d.sample_count;
  f.samples = std::move(d.samples);
  return f;
}

// An EDF or BDF file: a continuous recording of the signals the user asks for, from the first
// one on, each taken as coming from an input of its own.
// The question of a file of more than three signals, or of several rates: its signals, one a line.
QString signals_prompt(const std::vector<EdfSignal>& all) {
  QString prompt = QStringLiteral("Signals to open, up to three of one rate (their numbers, e.g. 1 3 4):");
  for (std::size_t i = 0; i < all.size(); ++i) {
    const EdfSignal& s = all[i];
    prompt += QStringLiteral("\n%1. %2   %3")
                  .arg(i + 1)
                  .arg(s.label.isEmpty() ? QStringLiteral("(no label)") : s.label,
                       s.rate_hz > 0 ? format_general_double(s.rate_hz) + " Hz" : QStringLiteral("no rate"));
    if (!s.unit.isEmpty()) prompt += "   " + s.unit;
  }
  return prompt;
}

// What the user is told of a file once it is shown: gaps closed up, annotations not shown.
QString edf_notes(const EdfContents& d) {
  QStringList notes;
  if (d.gap_count > 0) {
    notes << QStringLiteral(
                 "The data records of this file are not contiguous: %1 %2, %3 s in all. They are "
                 "shown one after another, so every time after a gap is earlier than in the file.")
                 .arg(d.gap_count)
                 .arg(d.gap_count == 1 ? QStringLiteral("gap") : QStringLiteral("gaps"))
                 .arg(format_general_double(d.gap_seconds));
  }
  if (d.other_annotations > 0) {
    notes << QStringLiteral(
                 "%1 of the file's annotations %2 not shown: only marker on and off, stimuli and "
                 "blocks are.")
                 .arg(d.other_annotations)
                 .arg(d.other_annotations == 1 ? QStringLiteral("is") : QStringLiteral("are"));
  }
  return notes.join("\n\n");
}

std::optional<LoadedFile> read_edf_file(MainWindow& w, const QString& path, QString& reason) {
  const EdfChannelQuestion ask = [&w](int signal_count) {
    w.set_busy(false);
    const QString answer = w.dialogs().input_box("Number of recorded channels:", "Channel number",
                                                 QString::number(signal_count));
    w.set_busy(true);
    return answer;
  };
  bool cancelled = false;
  const EdfSignalQuestion ask_signals = [&w, &cancelled](const std::vector<EdfSignal>& all) {
    w.set_busy(false);
    const QString answer = w.dialogs().input_box(signals_prompt(all), "Signals", proposed_signals(all));
    w.set_busy(true);
    cancelled = answer.trimmed().isEmpty();
    return answer;
  };
  Result<EdfContents> read = read_edf(path, ask, progress_bar(w), ask_signals);
  end_progress(w);
  if (!read) {
    reason = cancelled ? QString() : edf_failure_reason(read.failure());
    return std::nullopt;
  }
  EdfContents& d = read.value();
  LoadedFile f;
  f.notes = edf_notes(d);
  if (d.block_length > 0) {
    // A block recording the program exported comes back as one, with the stimulus settings the
    // file does not hold at their start-up values.
    f.block_mode = kTrue;
    f.block_length = d.block_length;
    f.has_stimulus_settings = true;
    f.stim_count = 1;
  }
  f.channel_count = static_cast<int16_t>(d.channel_count);
  for (int ch = 1; ch <= d.channel_count; ++ch) f.ch_source[ch] = static_cast<int16_t>(ch);
  f.calibration = edf_channel_names(d);
  f.ch_max = d.ch_max;
  f.sample_interval = d.sample_interval;
  f.sample_count = d.sample_count;
  f.samples = std::move(d.samples);
  f.markers = std::move(d.markers);
  return f;
}

// Reads the whole file at path with the reader its extension calls for, asking the questions
// that reader needs; none when it cannot be read, with the reason when the reader gives one.
std::optional<LoadedFile> read_file_of_kind(MainWindow& w, const QString& path, DataFileKind kind,
                                            QString& reason) {
  w.data_file.setFileName(path);
  w.s.data_file_no = 1;
  // A directory opens but reads nothing; it is no file to read.
  if (QFileInfo(path).isDir()) return std::nullopt;
  if (kind == DataFileKind::Edf) {
    w.set_busy(true);
    return read_edf_file(w, path, reason);
  }
  if (!w.data_file.open(QIODevice::ReadOnly)) return std::nullopt;
  w.set_busy(true);
  std::optional<LoadedFile> f = kind == DataFileKind::Prn ? read_prn_file(w) : read_bin_file(w);
  w.data_file.close();
  return f;
}

// The file read while the window takes events; nothing when Open or Exit ended the read.
std::optional<LoadedFile> read_data_file(MainWindow& w, const QString& path, DataFileKind kind,
                                         QString& reason) {
  w.set_load_under_way(true);
  const ScopeExit done([&w] { w.set_load_under_way(false); });
  try {
    return read_file_of_kind(w, path, kind, reason);
  } catch (const LoadEnded&) {
    end_progress(w);
    w.data_file.close();
    return std::nullopt;
  }
}

// The continuous view of a loaded file: menus, flags and a display length of the smallest power of
// two that holds the whole recording.
void set_continuous_view(MainWindow& w) {
  SharedState& s = w.s;
  show_single_curves(s);
  w.mnuBlock->setText("Block mode");
  s.block_length = -1;
  s.block_count = -1;
  w.SA_label->setText("single");
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
  show_single_curves(s);
  w.mnuBlock->setText("Block length");
  w.SA_label->setText("single");
  w.set_caption(block_mode_caption(s, was_loaded));
}

// The window before a loaded file is shown: no spectrum, cursor readout, selection, shifts or
// overplot form; the annotation boxes free.
void clear_for_new_file(MainWindow& w) {
  SharedState& s = w.s;
  leave_spectrum_view(w);
  w.Label1->hide();
  w.measure_surface();
  s.sel_x1 = s.sel_x2 = -1;
  for (int ch = 1; ch <= 3; ++ch) {
    s.ch_offset[ch] = 0;
    s.shift_steps[ch] = 0;
  }
  if (s.overplot_on) {
    show_single_curves(s);
    w.SA_label->setText(" sngl");
  }
  w.free_annotation_boxes();
}

// Takes a file read into the shared state and shows it in the view it was recorded in.
void show_file(MainWindow& w, LoadedFile&& f, const QString& path) {
  SharedState& s = w.s;
  clear_for_new_file(w);
  if (!f.prn && !s.block_mode) {
    // The display length of the continuous view is kept while a block file is shown.
    s.cont_scr_length = s.scr_length;
    s.cont_scr_factor = s.scr_factor;
    s.unit_text[2] = s.unit_text[0];
  }
  const bool was_loaded = static_cast<bool>(s.file_loaded);
  s.channel_count = f.channel_count;
  s.ch_source = f.ch_source;
  for (int ch = 1; ch <= f.channel_count; ++ch) s.ch_max[ch] = f.ch_max[ch];
  s.block_mode = f.block_mode;
  if (f.has_stimulus_settings) {
    s.block_length = f.block_length;
    s.stim_delay = f.stim_delay;
    s.stim_count = f.stim_count;
    s.stim_interval = f.stim_interval;
  }
  s.sample_interval = f.sample_interval;
  s.sample_count = f.sample_count;
  if (s.block_mode) s.block_count = round_i32(static_cast<double>(s.sample_count) / s.block_length);
  // The arrays hold the file's frames and nothing after them; a .bin load has three channels, of
  // which those the file does not hold read as 0 and take no memory. work_data shares the samples
  // until a command changes them.
  const int32_t n = f.sample_count;
  s.raw_data = std::move(f.samples);
  s.raw_data.reshape(f.prn ? f.channel_count : 3, n - 1);
  // The summaries the reader made come along.
  s.marker_data = f.marker_summary ? MarkerArray(std::move(f.markers), std::move(*f.marker_summary))
                                   : MarkerArray(std::move(f.markers));
  s.marker_data.resize(static_cast<size_t>(n), 0);
  s.ch_calibration = f.calibration;
  // In the unit in force: converter units are the samples as read.
  s.converter_ch_max = s.ch_max;
  rebuild_work_data(s, &s.ch_max);
  s.current_ch = 1;
  if (s.block_mode) {
    set_block_view(w, was_loaded);
  } else {
    set_continuous_view(w);
    if (f.prn) {
      w.set_caption("CONTINUOUS MODE    " + s.data_file_name);
    } else {
      w.set_caption(was_loaded ? "CONTINUOUS MODE       " + s.data_file_name
                               : QStringLiteral("CONTINUOUS MODE"));
    }
  }
  show_channel_selected(w, 0);
  s.file_loaded = kTrue;
  w.reset_results();
  if (s.block_mode) {
    w.show_status(block_status_line(s));
  } else {
    const QDateTime when = QFileInfo(path).lastModified();
    const QLocale locale = QLocale::system();
    w.show_status(locale.toString(when.date(), QLocale::LongFormat) + "   " +
                  locale.toString(when.time(), QLocale::LongFormat));
  }
  if (!f.status_note.isEmpty()) w.status->setText(w.status->text() + "   " + f.status_note);
}

}  // namespace

void open_path(MainWindow& w, const QString& path) {
  const FileNameSplit split = split_file_name(path);
  const DataFileKind kind = data_file_kind(split.file_ext);
  std::optional<LoadedFile> f;
  QString reason;
  if (kind != DataFileKind::Other) f = read_data_file(w, path, kind, reason);
  if (const MainWindow::AfterLoad then = w.take_after_load(); then != MainWindow::AfterLoad::Nothing) {
    // The file shown before stays; the command that ended the read runs once this one is over.
    w.set_busy(false);
    QAction* command = then == MainWindow::AfterLoad::Open ? w.mnuOpen : w.mnuExit;
    QTimer::singleShot(0, &w, [command] { command->trigger(); });
    return;
  }
  if (!f) {
    // Nothing of the window has changed: the file shown before stays.
    file_input_error(w, reason);
    return;
  }
  // The readings of the file shown go with it; a file that cannot be read takes nothing away.
  w.set_busy(false);
  if (!w.readings_may_go()) return;
  const QString notes = f->notes;
  show_loaded_file(w, std::move(*f), path);
  remember_opened_file(w, path);
  if (!notes.isEmpty()) w.dialogs().warning(notes, "Open");
}

void show_loaded_file(MainWindow& w, LoadedFile&& file, const QString& path) {
  SharedState& s = w.s;
  const FileNameSplit split = split_file_name(path);
  s.data_file_name = path;
  s.file_base = split.file_base;
  s.file_ext = split.file_ext.toUpper();
  show_file(w, std::move(file), path);
  w.set_busy(false);
  for (int ch = 1; ch <= 3; ++ch) {
    s.ch_colour[ch] = channel_colour(ch);
    s.ave_colour[ch] = kGrey;
  }
  s.current_ch = 1;
  show_channel_selected(w, 0);
  draw_frame(w);
  draw_curves(w);
  update_controls(w);
}

void mnuOpen_click(MainWindow& w) {
  FileDialogRequest req;
  req.filter =
      "Quarvel files (*.bin)|*.bin|Labtech files (*.prn)|*.prn|EDF and BDF files (*.edf *.bdf)|*.edf;*.bdf";
  req.filter_index = 1;
  req.title = "Open data file";
  req.initial_dir = w.services.data_dir;  // recordings are where the open dialog starts
  const QString name = w.dialogs().open_file(req);
  if (name.isEmpty()) return;  // cancelled: nothing at all happens
  open_path(w, name);
}

}  // namespace quarvel
