#include "recording_summary.h"

#include <QJsonArray>

#include "csv_export.h"
#include "datafile/edf_marks.h"
#include "datafile/export_info.h"

namespace quarvel {

namespace {

QString seconds_text(double interval, int64_t frames) {
  QByteArray t;
  CsvTime(interval).append(t, frames);
  return QString::fromLatin1(t);
}

QString clock_text(double seconds) {
  const auto whole = static_cast<int64_t>(seconds);
  return QStringLiteral("%1:%2:%3")
      .arg(whole / 3600, 2, 10, QLatin1Char('0'))
      .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

Result<RecordingSummary> summarise(const InputRecording& r) {
  const SharedState& st = r.state;
  RecordingSummary s;
  s.format = input_format_name(r.format);
  s.channels = st.channel_count;
  const EdfRecordingInfo info = edf_recording_info(st);
  for (int ch = 1; ch <= st.channel_count; ++ch) {
    s.labels << QString::fromLatin1(edf_signal_label(info, ch));
    // The older .bin layout and .prn files do not say where a channel came from; an EDF signal's
    // number stands in for its input.
    const bool known = r.format == InputFormat::BinVersioned;
    s.inputs << (known ? st.ch_source[ch] : 0);
    s.edf = r.signal_count > 0;
  }
  s.signal_count = r.signal_count;
  s.rate_hz = QString::number(1.0 / static_cast<double>(st.sample_interval), 'g', 7).toDouble();
  s.interval_text = seconds_text(st.sample_interval, 1);
  s.frames = st.sample_count;
  s.duration_text = seconds_text(st.sample_interval, st.sample_count);
  s.blocks = static_cast<bool>(st.block_mode) && st.block_length > 0;
  if (s.blocks) {
    s.block_length = st.block_length;
    s.block_count = st.sample_count / st.block_length;
    s.block_rest = st.sample_count % st.block_length;
  }
  s.has_stimulus_settings = r.has_stimulus_settings;
  s.stim_delay_ms = st.stim_delay;
  s.stim_count = st.stim_count;
  s.stim_interval_ms = st.stim_interval;
  EdfMarkScanner scanner(0);
  const Status read = r.frames([&](const FramePortion& p) -> Status {
    scanner.scan(p.markers, p.markers_held, p.first, p.count);
    return {};
  });
  if (!read) return read.failure();
  for (const EdfMark& m : scanner.marks()) {
    if (m.text == QLatin1String(kEdfMarkerOnText)) ++s.marker_runs;
    if (m.text == QLatin1String(kEdfStimulusText)) ++s.stimuli;
  }
  if (r.header_start.isValid()) {
    s.start = r.header_start;
    s.start_from = QStringLiteral("the file's header");
  } else {
    s.start = info.start;
    s.start_from = QStringLiteral("the file's time less the recording's length");
  }
  return s;
}

QString start_text(const QDateTime& start) {
  if (!start.isValid()) return {};
  return start.toOffsetFromUtc(start.offsetFromUtc()).toString(Qt::ISODate);
}

QString summary_text(const QString& file, const RecordingSummary& s) {
  QString t = file + "\n";
  const auto line = [&t](const char* key, const QString& value) {
    t += QStringLiteral("  %1 %2\n").arg(QString::fromLatin1(key) + ":", -11).arg(value);
  };
  line("format", s.format);
  QStringList channels;
  for (int i = 0; i < s.channels; ++i) {
    if (s.edf)
      channels << QStringLiteral("channel %1 from signal %1").arg(i + 1);
    else if (s.inputs[i] > 0)
      channels << QStringLiteral("channel %1 from input %2").arg(i + 1).arg(s.inputs[i]);
    else
      channels << QStringLiteral("channel %1").arg(i + 1);
  }
  QString channel_line = QStringLiteral("%1: %2").arg(s.channels).arg(channels.join(", "));
  if (!s.edf && s.inputs.value(0) == 0)
    channel_line += QStringLiteral(" (the file does not say their inputs)");
  if (s.signal_count > 0) channel_line += QStringLiteral("; %1 signals in the file").arg(s.signal_count);
  line("channels", channel_line);
  line("rate", QStringLiteral("%1 Hz (a sample every %2 s)").arg(s.rate_hz, 0, 'g', 7).arg(s.interval_text));
  line("frames", QStringLiteral("%1, %2 s (%3)")
                     .arg(s.frames)
                     .arg(s.duration_text, clock_text(s.duration_text.toDouble())));
  if (s.blocks) {
    QString blocks = QStringLiteral("%1 of %2 frames").arg(s.block_count).arg(s.block_length);
    if (s.block_rest > 0) blocks += QStringLiteral(", and %1 frames after the last").arg(s.block_rest);
    line("blocks", blocks);
  } else {
    line("blocks", QStringLiteral("none (continuous)"));
  }
  if (s.blocks && s.has_stimulus_settings)
    line("stimulus", QStringLiteral("delay %1 ms, %2 a block, %3 ms apart")
                         .arg(s.stim_delay_ms)
                         .arg(s.stim_count)
                         .arg(s.stim_interval_ms));
  line("markers", QStringLiteral("%1 marker on, %2 stimuli").arg(s.marker_runs).arg(s.stimuli));
  line("start", s.start.isValid() ? QStringLiteral("%1 (from %2)").arg(start_text(s.start), s.start_from)
                                  : QStringLiteral("unknown"));
  return t;
}

QJsonObject summary_json(const QString& file, const RecordingSummary& s) {
  QJsonArray channels;
  for (int i = 0; i < s.channels; ++i)
    channels.append(QJsonObject{{"channel", i + 1},
                                {"label", s.labels[i]},
                                {"input", s.inputs[i] > 0 ? QJsonValue(s.inputs[i]) : QJsonValue()}});
  QJsonObject o{{"file", file},
                {"format", s.format},
                {"channels", channels},
                {"rate_hz", s.rate_hz},
                {"interval_s", s.interval_text.toDouble()},
                {"frames", static_cast<qint64>(s.frames)},
                {"duration_s", s.duration_text.toDouble()},
                {"markers_on", static_cast<qint64>(s.marker_runs)},
                {"stimuli", static_cast<qint64>(s.stimuli)},
                {"start", s.start.isValid() ? QJsonValue(start_text(s.start)) : QJsonValue()},
                {"start_from", s.start_from}};
  if (s.signal_count > 0) o["signals_in_file"] = s.signal_count;
  if (s.blocks) {
    o["block_length"] = s.block_length;
    o["blocks"] = static_cast<qint64>(s.block_count);
  } else {
    o["block_length"] = QJsonValue();
    o["blocks"] = 0;
  }
  if (s.has_stimulus_settings)
    o["stimulus"] = QJsonObject{
        {"delay_ms", s.stim_delay_ms}, {"per_block", s.stim_count}, {"interval_ms", s.stim_interval_ms}};
  return o;
}

}  // namespace quarvel
