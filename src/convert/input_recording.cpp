#include "input_recording.h"

#include <QFile>
#include <QFileInfo>
#include <memory>
#include <utility>

#include "core/numbers.h"
#include "datafile/bin_reader.h"
#include "datafile/edf_reader.h"
#include "datafile/file_names.h"
#include "datafile/prn_reader.h"

namespace quarvel {

namespace {

DataFileFailure failed(DataFileError code, const QString& detail) {
  return DataFileFailure{code, detail};
}

// The fields every format sets alike. The arrays are kept as the reader made them: the export
// and the CSV read the first sample_count frames, which is what the window hands its export too.
void take_common(SharedState& s, const QString& path, int channels, float interval, int32_t frames) {
  s.data_file_name = path;
  s.channel_count = static_cast<int16_t>(channels);
  s.sample_interval = interval;
  s.sampling_rate = static_cast<float>(1.0 / static_cast<double>(interval));
  s.sample_count = frames;
  s.block_mode = kFalse;
  s.block_length = -1;
  s.block_count = -1;
  s.file_loaded = kTrue;
}

// A recording read whole hands its frames from its arrays. The state is kept on the heap, so the
// source may refer to its arrays wherever the recording is moved.
InputRecording with_frames_in_memory(InputRecording&& r) {
  auto held = std::make_shared<SharedState>(std::move(r.state));
  r.state = *held;  // shares the arrays, copies no samples
  r.frames = [held](const FramePortionSink& take) {
    const SharedState& s = *held;
    return frames_in_memory(s.raw_data, s.channel_count, s.marker_data, s.sample_count)(take);
  };
  return std::move(r);
}

Result<InputRecording> read_bin_input(const QString& path, const InputAnswers& answers,
                                      const ReadProgress& progress) {
  auto f = std::make_shared<QFile>(path);
  if (!f->open(QIODevice::ReadOnly))
    return failed(DataFileError::ReadFailed, QStringLiteral("cannot open it: %1").arg(f->errorString()));
  bool asked = false;
  const ChannelCountQuestion ask = [&] {
    asked = true;
    return answers.channels > 0 ? QString::number(answers.channels) : QString();
  };
  Result<BinContents> read = read_bin_layout(*f, ask);
  if (!read) {
    if (asked && answers.channels == 0)
      return failed(DataFileError::BadChannelAnswer,
                    QStringLiteral("a .bin file without the \"Version 1.00\" header: give its channels "
                                   "with --channels N"));
    return read.failure();
  }
  const BinContents& d = read.value();
  InputRecording r;
  SharedState& s = r.state;
  r.format = d.format == BinFormat::Versioned ? InputFormat::BinVersioned : InputFormat::BinOlder;
  take_common(s, path, d.channel_count(), d.sample_interval, d.sample_count);
  s.ch_source = d.ch_source;
  s.ch_calibration = channel_calibrations(d.calibration);
  s.block_mode = d.block_mode;
  if (d.format == BinFormat::Versioned) {
    r.has_stimulus_settings = true;
    s.stim_delay = d.header.stim_delay;
    s.stim_count = d.header.stim_count;
    s.stim_interval = d.header.stim_interval;
    if (s.block_mode) {
      s.block_length = d.header.block_length;
      s.block_count = round_i32(static_cast<double>(s.sample_count) / s.block_length);
    }
  }
  r.streamed = true;
  auto first = std::make_shared<bool>(true);
  r.frames = [f, layout = read.value(), progress, first](const FramePortionSink& take) {
    const bool report = *first;
    *first = false;
    return read_bin_frames(*f, layout, take, report ? progress : ReadProgress{});
  };
  return r;
}

Result<InputRecording> read_prn_input(const QString& path, const InputAnswers& answers,
                                      const ReadProgress& progress) {
  if (answers.channels == 0 || answers.rate_hz <= 0)
    return failed(DataFileError::BadChannelAnswer,
                  QStringLiteral("a .prn file: give its channels and rate with --channels N --rate HZ"));
  const Result<int> channels = channel_count_from_answer(QString::number(answers.channels), 2);
  if (!channels) return failed(channels.error(), QStringLiteral("a .prn file holds 1 or 2 channels"));
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return failed(DataFileError::ReadFailed, QStringLiteral("cannot open it: %1").arg(f.errorString()));
  Result<PrnContents> read = read_prn(f, channels.value(), progress);
  if (!read) return read.failure();
  PrnContents& d = read.value();
  InputRecording r;
  SharedState& s = r.state;
  r.format = InputFormat::Prn;
  take_common(s, path, d.channel_count, static_cast<float>(1.0 / answers.rate_hz), d.sample_count);
  for (int ch = 1; ch <= d.channel_count; ++ch) s.ch_source[ch] = 1;
  s.ch_max = d.ch_max;
  s.raw_data = std::move(d.samples);
  return with_frames_in_memory(std::move(r));
}

InputFormat format_of(EdfKind k) {
  switch (k) {
    case EdfKind::Edf:
      return InputFormat::Edf;
    case EdfKind::Bdf:
      return InputFormat::Bdf;
    case EdfKind::BdfPlus:
      return InputFormat::BdfPlus;
    case EdfKind::EdfPlus:
      break;
  }
  return InputFormat::EdfPlus;
}

Result<InputRecording> read_edf_input(const QString& path, const InputAnswers& answers,
                                      const ReadProgress& progress) {
  const EdfChannelQuestion ask = [&](int signal_count) {
    return QString::number(answers.channels > 0 ? answers.channels : signal_count);
  };
  Result<EdfContents> read = read_edf(path, ask, progress);
  if (!read) return read.failure();
  EdfContents& d = read.value();
  InputRecording r;
  SharedState& s = r.state;
  r.format = format_of(d.kind);
  r.signal_count = d.signal_count;
  r.header_start = d.start;
  take_common(s, path, d.channel_count, d.sample_interval, d.sample_count);
  for (int ch = 1; ch <= d.channel_count; ++ch) s.ch_source[ch] = static_cast<int16_t>(ch);
  s.ch_calibration = edf_channel_names(d);
  s.ch_max = d.ch_max;
  s.raw_data = std::move(d.samples);
  s.marker_data = MarkerArray(std::move(d.markers));
  return with_frames_in_memory(std::move(r));
}

}  // namespace

Result<InputRecording> read_input(const QString& path, const InputAnswers& answers,
                                  const ReadProgress& progress) {
  const QFileInfo info(path);
  if (!info.exists()) return failed(DataFileError::ReadFailed, QStringLiteral("no such file"));
  if (info.isDir()) return failed(DataFileError::ReadFailed, QStringLiteral("a folder, not a file"));
  switch (data_file_kind(split_file_name(path).file_ext)) {
    case DataFileKind::Bin:
      return read_bin_input(path, answers, progress);
    case DataFileKind::Prn:
      return read_prn_input(path, answers, progress);
    case DataFileKind::Edf:
      return read_edf_input(path, answers, progress);
    case DataFileKind::Other:
      break;
  }
  return failed(DataFileError::NotVersioned,
                QStringLiteral("not a file the program reads (.bin, .prn, .edf or .bdf)"));
}

QString input_format_name(InputFormat f) {
  switch (f) {
    case InputFormat::BinVersioned:
      return QStringLiteral("Quarvel recording (.bin, \"Version 1.00\" header)");
    case InputFormat::BinOlder:
      return QStringLiteral("Quarvel recording (.bin, older layout without a header)");
    case InputFormat::Prn:
      return QStringLiteral("Labtech sample file (.prn)");
    case InputFormat::Edf:
      return QStringLiteral("EDF");
    case InputFormat::EdfPlus:
      return QStringLiteral("EDF+");
    case InputFormat::Bdf:
      return QStringLiteral("BDF");
    case InputFormat::BdfPlus:
      return QStringLiteral("BDF+");
  }
  return {};
}

}  // namespace quarvel
