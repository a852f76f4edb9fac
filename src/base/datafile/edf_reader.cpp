#include "datafile/edf_reader.h"

#include <edflib.h>

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/numbers.h"
#include "datafile/edf_marks.h"
#include "datafile/edflib_support.h"
#include "datafile/le_bytes.h"

namespace quarvel {

namespace {

constexpr int kPortions = 36;
constexpr int kGeneralHeaderBytes = 256;
constexpr int kSignalHeaderBytes = 256;
constexpr int64_t kChunkSamples = 1 << 16;  // read at a time, so the buffer stays small for any portion

DataFileFailure failure(DataFileError code, const QString& detail) {
  return DataFileFailure{code, detail};
}

// What EDFlib would only call a read error: an empty file, or one cut off inside its header.
Status check_header_size(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return failure(DataFileError::ReadFailed,
                   QStringLiteral("cannot open the file: %1").arg(f.errorString()));
  const qint64 size = f.size();
  if (size == 0) return failure(DataFileError::TooShort, QStringLiteral("the file is empty"));
  const QByteArray head = f.read(kGeneralHeaderBytes);
  if (head.size() < kGeneralHeaderBytes) {
    return failure(
        DataFileError::TooShort,
        QStringLiteral("%1 bytes, shorter than the %2-byte EDF header").arg(size).arg(kGeneralHeaderBytes));
  }
  bool is_number = false;
  const int signal_fields = head.mid(252, 4).trimmed().toInt(&is_number);
  const qint64 header_bytes = kGeneralHeaderBytes + static_cast<qint64>(signal_fields) * kSignalHeaderBytes;
  if (is_number && signal_fields > 0 && size < header_bytes) {
    return failure(DataFileError::TooShort,
                   QStringLiteral("the header of %1 signals needs %2 bytes; the file has %3")
                       .arg(signal_fields)
                       .arg(header_bytes)
                       .arg(size));
  }
  return {};
}

// The start from the header's "dd.mm.yy" and "hh.mm.ss" fields; two-digit years from 85 are of the
// 1900s, the others of the 2000s.
QDateTime start_from_fields(const QByteArray& date, const QByteArray& time) {
  const QList<QByteArray> d = date.split('.'), t = time.split('.');
  if (d.size() != 3 || t.size() != 3) return {};
  int v[6];
  for (int i = 0; i < 6; ++i) {
    bool ok = false;
    v[i] = (i < 3 ? d[i] : t[i - 3]).trimmed().toInt(&ok);
    if (!ok) return {};
  }
  const QDate day(v[2] >= 85 ? 1900 + v[2] : 2000 + v[2], v[1], v[0]);
  const QTime clock(v[3], v[4], v[5]);
  return day.isValid() && clock.isValid() ? QDateTime(day, clock) : QDateTime();
}

EdfKind kind_of(int filetype) {
  switch (filetype) {
    case EDFLIB_FILETYPE_EDF:
      return EdfKind::Edf;
    case EDFLIB_FILETYPE_BDF:
      return EdfKind::Bdf;
    case EDFLIB_FILETYPE_BDFPLUS:
      return EdfKind::BdfPlus;
    default:
      return EdfKind::EdfPlus;
  }
}

// What a header says of the ordinary signals, whoever read it.
struct Layout {
  EdfKind kind = EdfKind::EdfPlus;
  std::vector<EdfSignal> all_signals;
  int64_t duration = 0;  // of a data record, in 100 ns
  int64_t records = 0;   // data records in the file
};

int64_t frames_of(const Layout& l, int signal) {
  return l.records * l.all_signals[static_cast<size_t>(signal)].per_record;
}

bool one_rate(const Layout& l) {
  for (const EdfSignal& s : l.all_signals)
    if (s.per_record != l.all_signals[0].per_record) return false;
  return true;
}

Status check_rate(const Layout& l, int signal) {
  const int64_t n = l.all_signals[static_cast<size_t>(signal)].per_record;
  if (n > 0 && l.duration > 0) return {};
  return failure(DataFileError::BadSampleInterval,
                 QStringLiteral("signal %1 has %2 samples in records of %3 s, no positive sampling rate")
                     .arg(signal + 1)
                     .arg(n)
                     .arg(static_cast<double>(l.duration) / EDFLIB_TIME_DIMENSION));
}

// The program indexes samples by int32, one slot more than there are.
Status check_size(int64_t frames) {
  if (frames < std::numeric_limits<int32_t>::max()) return {};
  return failure(DataFileError::TooLarge, QStringLiteral("%1 samples are too many").arg(frames));
}

// The signals to read (from 0), as the user answers: how many of a file of up to three signals of
// one rate, which of any other file (refused as before when there is no one to ask which).
Result<std::vector<int>> choose_signals(const Layout& l, const EdfChannelQuestion& ask_count,
                                        const EdfSignalQuestion& ask_signals) {
  const auto n = static_cast<int>(l.all_signals.size());
  if (n < 1)
    return failure(DataFileError::BadChannelCount, QStringLiteral("no signal; one to three can be read"));
  if (n <= 3 && one_rate(l)) {
    for (int i = 0; i < n; ++i)
      if (Status st = check_rate(l, i); !st) return st.failure();
    if (Status st = check_size(frames_of(l, 0)); !st) return st.failure();
    Result<int> answer = channel_count_from_answer(ask_count ? ask_count(n) : QString(), n);
    if (!answer) return answer.failure();
    std::vector<int> chosen;
    for (int i = 0; i < answer.value(); ++i) chosen.push_back(i);
    return chosen;
  }
  if (!ask_signals) {
    if (n > 3)
      return failure(DataFileError::BadChannelCount,
                     QStringLiteral("%1 signals; from one to three can be read").arg(n));
    for (int i = 0; i < n; ++i)
      if (Status st = check_rate(l, i); !st) return st.failure();
    return failure(DataFileError::MixedSampleRates,
                   QStringLiteral("its signals have different sampling rates"));
  }
  bool any_rate = false;
  for (int i = 0; i < n; ++i) any_rate = any_rate || check_rate(l, i).ok();
  if (!any_rate) return check_rate(l, 0).failure();
  Result<std::vector<int>> chosen = signals_from_answer(ask_signals(l.all_signals), l.all_signals);
  if (!chosen) return chosen;
  if (Status st = check_size(frames_of(l, chosen.value().front())); !st) return st.failure();
  return chosen;
}

// The contents of `frames` samples of each signal chosen, their arrays not yet made.
EdfContents start_contents(const Layout& l, std::vector<int> chosen, int64_t frames) {
  EdfContents out;
  out.kind = l.kind;
  out.signal_count = static_cast<int>(l.all_signals.size());
  out.signal_info = l.all_signals;
  out.chosen_signals = std::move(chosen);
  out.channel_count = static_cast<int>(out.chosen_signals.size());
  const int64_t per_record = l.all_signals[static_cast<size_t>(out.chosen_signals.front())].per_record;
  out.sample_interval =
      static_cast<float>(static_cast<double>(l.duration) / EDFLIB_TIME_DIMENSION / per_record);
  out.sample_count = static_cast<int32_t>(frames);
  return out;
}

// Float arrays for the samples, with room for the spare slot of raw_data.
void make_float_samples(EdfContents& out) {
  out.samples.redim(out.channel_count, out.sample_count - 1, 1);
}

void describe_signal(EdfSignal& s, int64_t duration) {
  s.rate_hz = s.per_record > 0 && duration > 0
                  ? static_cast<double>(s.per_record) * EDFLIB_TIME_DIMENSION / static_cast<double>(duration)
                  : 0;
}

// The samples before a "Recording ends" annotation, which marks the padding of the last record.
int64_t frames_before_end(const std::vector<EdfMark>& marks, int64_t frames) {
  for (const EdfMark& m : marks) {
    if (m.text.trimmed() == QLatin1String(kEdfRecordingEndsText) && m.frame >= 0)
      frames = std::min(frames, m.frame);
  }
  return frames;
}

void finish(EdfContents& out, const std::vector<EdfMark>& marks) {
  for (int ch = 1; ch <= out.channel_count; ++ch) {
    const Extremes e = out.samples.extremes(ch, 0, out.sample_count - 1);
    if (!e.empty()) out.ch_max[ch] = std::max(std::fabs(e.lo), std::fabs(e.hi));
  }
  out.markers = edf_markers_from(marks, out.sample_count);
  out.block_length = edf_block_length(marks, out.sample_count);
  out.other_annotations = edf_other_marks(marks, out.block_length > 0);
}

void report(const ReadProgress& progress, int64_t done, int64_t total) {
  if (progress)
    progress(done == total ? 100 : static_cast<int>(round_even(static_cast<double>(done) / total * 100)));
}

// EDF+D and BDF+D files, which EDFlib refuses, read from their bytes. Their data records follow one
// another in the sample arrays without the gaps between them; an annotation is placed by the start
// of the record it falls in, and one inside a gap goes to the first frame after it.
struct Discontinuous {
  Layout layout;
  bool bdf = false;
  qint64 header_bytes = 0;
  int64_t records = 0;
  int record_bytes = 0;
  std::vector<int> ordinary;        // signal numbers of the ordinary signals
  std::vector<int> annotation;      // and of the annotation signals
  std::vector<int> offset;          // where each signal starts in a data record
  std::vector<int64_t> samples;     // samples per record of each signal
  std::vector<double> gain, shift;  // physical value = gain x digital + shift, per signal
  QDateTime start;
};

// The header of an EDF or BDF file and where each signal lies in its data records; an EDF+D or
// BDF+D file (discontinuous) must have an annotation signal.
Result<Discontinuous> parse_records(QFile& f, bool discontinuous) {
  const auto damaged = [discontinuous](const char* what) {
    return failure(DataFileError::NotEdf, QStringLiteral("a damaged %1 header: %2")
                                              .arg(discontinuous ? QStringLiteral("EDF+D") : QStringLiteral("EDF"))
                                              .arg(QLatin1String(what)));
  };
  QByteArray h = f.read(kGeneralHeaderBytes);
  bool ok = false;
  const int ns = h.mid(252, 4).trimmed().toInt(&ok);
  if (!ok || ns < 1) return damaged("number of signals");
  h += f.read(static_cast<qint64>(ns) * kSignalHeaderBytes);
  if (h.size() != kGeneralHeaderBytes + static_cast<qint64>(ns) * kSignalHeaderBytes)
    return damaged("signal headers");
  const auto field = [&](qint64 at, int width) { return h.mid(at, width).trimmed(); };
  const auto number = [&](qint64 at, int width, bool* good) {
    bool read = false;
    const double v = field(at, width).toDouble(&read);
    *good = *good && read && std::isfinite(v);
    return v;
  };
  Discontinuous d;
  d.bdf = h.startsWith(
      "\xFF"
      "BIOSEMI");
  d.layout.kind = d.bdf ? EdfKind::BdfPlus : EdfKind::EdfPlus;
  d.header_bytes = h.size();
  bool good = true;
  d.records = static_cast<int64_t>(number(236, 8, &good));
  d.layout.duration = std::llround(number(244, 8, &good) * EDFLIB_TIME_DIMENSION);
  if (!good) return damaged("records");
  const int sample_bytes = d.bdf ? 3 : 2;
  for (int i = 0; i < ns; ++i) {
    const qint64 at = kGeneralHeaderBytes + 8 * static_cast<qint64>(i);
    const double pmin = number(at + 104 * ns, 8, &good), pmax = number(at + 112 * ns, 8, &good);
    const double dmin = number(at + 120 * ns, 8, &good), dmax = number(at + 128 * ns, 8, &good);
    const auto n = static_cast<int64_t>(number(at + 216 * ns, 8, &good));
    if (!good || dmax <= dmin || pmax == pmin || n <= 0 || n > (1 << 24)) return damaged("signal limits");
    const QByteArray label = field(kGeneralHeaderBytes + 16 * static_cast<qint64>(i), 16);
    const bool annotations = label == (d.bdf ? "BDF Annotations" : "EDF Annotations");
    (annotations ? d.annotation : d.ordinary).push_back(i);
    if (!annotations) {
      EdfSignal sig;
      sig.label = QString::fromLatin1(label);
      sig.unit = QString::fromLatin1(
          field(kGeneralHeaderBytes + 96 * static_cast<qint64>(ns) + 8 * static_cast<qint64>(i), 8));
      sig.per_record = n;
      describe_signal(sig, d.layout.duration);
      d.layout.all_signals.push_back(sig);
    }
    d.offset.push_back(d.record_bytes);
    d.samples.push_back(n);
    d.gain.push_back((pmax - pmin) / (dmax - dmin));
    d.shift.push_back(pmin - d.gain.back() * dmin);
    if (d.record_bytes + n * sample_bytes > (1 << 30)) return damaged("record size");
    d.record_bytes += static_cast<int>(n * sample_bytes);
  }
  if (discontinuous && d.annotation.empty()) return damaged("no annotation signal");
  if (d.records < 0) d.records = (f.size() - d.header_bytes) / d.record_bytes;
  if (f.size() != d.header_bytes + d.records * d.record_bytes) {
    return failure(DataFileError::NotEdf,
                   QStringLiteral("%1 bytes do not hold the %2 data records the header states")
                       .arg(f.size())
                       .arg(d.records));
  }
  d.layout.records = d.records;
  d.start = start_from_fields(h.mid(168, 8), h.mid(176, 8));
  return d;
}

// The onset (100 ns) of each annotation text in the annotation bytes of one record, the record's
// own start (the first, with no text) included as an empty text.
void parse_annotations(const char* p, int n, std::vector<std::pair<int64_t, QString>>& out) {
  for (int i = 0; i < n;) {
    if (p[i] == 0) {
      ++i;
      continue;
    }
    int j = i;
    while (j < n && p[j] != 0x14 && p[j] != 0x15) ++j;
    const QByteArray onset = QByteArray(p + i, j - i);
    while (j < n && p[j] != 0x14) ++j;  // past a duration
    // Seconds with up to seven decimals, taken whole so no rounding moves a mark.
    const qsizetype point = onset.indexOf('.');
    bool whole_ok = false, part_ok = true;
    const int64_t seconds = onset.mid(1, point < 0 ? -1 : point - 1).toLongLong(&whole_ok);
    const QByteArray decimals =
        point < 0 ? QByteArray("0") : onset.mid(point + 1).left(7).leftJustified(7, '0');
    const int64_t fraction = point < 0 ? 0 : decimals.toLongLong(&part_ok);
    const int64_t t = (seconds * EDFLIB_TIME_DIMENSION + fraction) * (onset.startsWith('-') ? -1 : 1);
    const bool timed = whole_ok && part_ok && (onset.startsWith('+') || onset.startsWith('-'));
    for (++j; j < n && p[j] != 0;) {
      int k = j;
      while (k < n && p[k] != 0x14 && p[k] != 0) ++k;
      if (timed) out.emplace_back(t, QString::fromUtf8(p + j, k - j));
      j = k < n && p[k] == 0x14 ? k + 1 : k;
    }
    i = j;
  }
}

Result<EdfContents> read_discontinuous(const QString& path, const EdfChannelQuestion& ask,
                                       const EdfSignalQuestion& ask_signals, const ReadProgress& progress) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return failure(DataFileError::ReadFailed,
                   QStringLiteral("cannot open the file: %1").arg(f.errorString()));
  Result<Discontinuous> parsed = parse_records(f, true);
  if (!parsed) return parsed.failure();
  const Discontinuous& d = parsed.value();
  Result<std::vector<int>> chosen = choose_signals(d.layout, ask, ask_signals);
  if (!chosen) return chosen.failure();
  const int64_t frames = frames_of(d.layout, chosen.value().front());
  Result<EdfContents> started = start_contents(d.layout, chosen.value(), frames);
  EdfContents& out = started.value();
  make_float_samples(out);
  out.start = d.start;
  const int64_t spr = d.layout.all_signals[static_cast<size_t>(out.chosen_signals.front())].per_record;
  std::vector<int64_t> starts;  // of each record, 100 ns
  std::vector<std::pair<int64_t, QString>> texts;
  const Status read = read_in_portions(
      f, d.records, d.record_bytes, kPortions, progress,
      [&](const char* p, int64_t first, int64_t n) -> Status {
        for (int64_t r = first; r < first + n; ++r, p += d.record_bytes) {
          for (int ch = 1; ch <= out.channel_count; ++ch) {
            const auto s = static_cast<std::size_t>(
                d.ordinary[static_cast<std::size_t>(out.chosen_signals[static_cast<std::size_t>(ch - 1)])]);
            const char* q = p + d.offset[s];
            float* dst = out.samples.write_channel(ch) + r * spr;
            for (int64_t j = 0; j < spr; ++j) {
              const int32_t low = static_cast<uint8_t>(q[0]) | static_cast<uint8_t>(q[1]) << 8;
              const int32_t v = d.bdf ? low | static_cast<int8_t>(q[2]) * 65536 : static_cast<int16_t>(low);
              q += d.bdf ? 3 : 2;
              dst[j] = static_cast<float>(d.gain[s] * v + d.shift[s]);
            }
          }
          const std::size_t before = texts.size();
          for (int s : d.annotation) {
            parse_annotations(p + d.offset[static_cast<std::size_t>(s)],
                              static_cast<int>(d.samples[static_cast<std::size_t>(s)] * (d.bdf ? 3 : 2)),
                              texts);
          }
          // A record without its start is taken to follow the one before directly.
          const bool timed = texts.size() > before && texts[before].second.isEmpty();
          starts.push_back(timed            ? texts[before].first
                           : starts.empty() ? 0
                                            : starts.back() + d.layout.duration);
        }
        return {};
      });
  if (!read) return read.failure();
  // A record that starts later than the one before ends leaves a gap.
  for (std::size_t r = 1; r < starts.size(); ++r) {
    const int64_t gap = starts[r] - (starts[r - 1] + d.layout.duration);
    if (gap <= 0) continue;
    ++out.gap_count;
    out.gap_seconds += static_cast<double>(gap) / EDFLIB_TIME_DIMENSION;
  }
  std::vector<EdfMark> marks;
  for (const auto& [t, text] : texts) {
    if (text.isEmpty()) continue;
    const auto after = std::upper_bound(starts.begin(), starts.end(), t);
    const int64_t r = after - starts.begin() - 1;
    // Past the end of record r lies a gap: the mark goes to the first frame after it.
    const int64_t frame = r < 0 ? 0
                                : r * spr + std::min(edf_frame_at(t - starts[static_cast<std::size_t>(r)],
                                                                  spr, d.layout.duration),
                                                     spr);
    marks.push_back({frame, text});
  }
  out.sample_count = static_cast<int32_t>(frames_before_end(marks, out.sample_count));
  out.samples.reshape(out.channel_count, out.sample_count - 1);
  finish(out, marks);
  return started;
}

// The samples of a 16-bit EDF or EDF+C file read straight from its data records and kept as its
// digital values, each channel read as EDFlib reads it: a value outside the digital limits at
// the nearer limit, then bitvalue x (offset + value) in double precision, made float. Reading the
// records a portion at a time this way costs a small part of reading them sample by sample through
// EDFlib. False when the file is laid out otherwise than EDFlib reported (nothing is read then).
bool read_digital_records(const QString& path, const edf_hdr_struct& hdr, EdfContents& out, int64_t frames,
                          const ReadProgress& progress, Status& status) {
  if (hdr.filetype != EDFLIB_FILETYPE_EDF && hdr.filetype != EDFLIB_FILETYPE_EDFPLUS) return false;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  Result<Discontinuous> parsed = parse_records(f, false);
  if (!parsed) return false;
  const Discontinuous& d = parsed.value();
  if (d.records != hdr.datarecords_in_file || static_cast<int>(d.ordinary.size()) != hdr.edfsignals ||
      !f.seek(d.header_bytes))
    return false;
  struct Channel {
    int offset;  // in a record, bytes
    int16_t low, high;
  };
  std::vector<Channel> channels;
  const int64_t spr = hdr.signalparam[out.chosen_signals.front()].smp_in_datarecord;
  for (const int chosen : out.chosen_signals) {
    const edf_param_struct& p = hdr.signalparam[chosen];
    if (p.smp_in_datarecord != spr || p.dig_min < -32768 || p.dig_max > 32767 || p.dig_min >= p.dig_max)
      return false;
    channels.push_back({d.offset[static_cast<size_t>(d.ordinary[static_cast<size_t>(chosen)])],
                        static_cast<int16_t>(p.dig_min), static_cast<int16_t>(p.dig_max)});
  }
  out.samples.redim_whole_for_filling(out.channel_count, out.sample_count - 1, 1);
  for (int ch = 1; ch <= out.channel_count; ++ch) {
    const edf_param_struct& p = hdr.signalparam[out.chosen_signals[static_cast<size_t>(ch - 1)]];
    const double bitvalue = (p.phys_max - p.phys_min) / static_cast<double>(p.dig_max - p.dig_min);
    out.samples.scale_whole_channel(ch, bitvalue, p.phys_max / bitvalue - static_cast<double>(p.dig_max));
  }
  status = read_in_portions(
      f, d.records, d.record_bytes, kPortions, progress, [&](const char* bytes, int64_t first, int64_t n) -> Status {
        for (int64_t r = first; r < first + n; ++r, bytes += d.record_bytes) {
          const int64_t at = r * spr, take = std::min(spr, frames - at);
          for (int ch = 1; ch <= out.channel_count && take > 0; ++ch) {
            const Channel& c = channels[static_cast<size_t>(ch - 1)];
            const char* q = bytes + c.offset;
            int16_t* dst = out.samples.whole_channel_for_filling(ch) + at;
            for (int64_t j = 0; j < take; ++j, q += 2)
              dst[j] = std::clamp(get_le16(q), c.low, c.high);
          }
        }
        return {};
      });
  return true;
}

}  // namespace

QString proposed_signals(const std::vector<EdfSignal>& all_signals) {
  QStringList numbers;
  for (std::size_t i = 0; i < all_signals.size() && numbers.size() < 3; ++i) {
    if (all_signals[i].per_record <= 0) continue;
    if (!numbers.isEmpty() &&
        all_signals[i].per_record != all_signals[static_cast<std::size_t>(numbers[0].toInt() - 1)].per_record)
      continue;
    numbers << QString::number(i + 1);
  }
  return numbers.join(' ');
}

Result<std::vector<int>> signals_from_answer(const QString& answer, const std::vector<EdfSignal>& all_signals) {
  const auto refused = [](const QString& why) { return failure(DataFileError::BadChannelAnswer, why); };
  const QStringList words = answer.split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts);
  if (words.isEmpty()) return refused(QStringLiteral("No signal was named."));
  if (words.size() > 3) return refused(QStringLiteral("Up to three signals can be opened together."));
  std::vector<int> chosen;
  for (const QString& word : words) {
    bool ok = false;
    const int n = word.toInt(&ok);
    if (!ok || n < 1 || n > static_cast<int>(all_signals.size()))
      return refused(QStringLiteral("The file has no signal %1: its signals are 1 to %2.")
                         .arg(word)
                         .arg(all_signals.size()));
    if (std::find(chosen.begin(), chosen.end(), n - 1) != chosen.end())
      return refused(QStringLiteral("Signal %1 is named twice.").arg(n));
    const EdfSignal& s = all_signals[static_cast<std::size_t>(n - 1)];
    if (s.per_record <= 0 || !(s.rate_hz > 0))
      return refused(QStringLiteral("Signal %1 (%2) has no sampling rate.").arg(n).arg(s.label));
    if (!chosen.empty()) {
      const EdfSignal& first = all_signals[static_cast<std::size_t>(chosen.front())];
      if (s.per_record != first.per_record)
        return refused(
            QStringLiteral("Signals %1 and %2 have different rates (%3 Hz and %4 Hz): only signals of "
                           "one rate can be opened together.")
                .arg(chosen.front() + 1)
                .arg(n)
                .arg(format_general_double(first.rate_hz), format_general_double(s.rate_hz)));
    }
    chosen.push_back(n - 1);
  }
  return chosen;
}

Result<EdfContents> read_edf(const QString& path, const EdfChannelQuestion& ask_channel_count,
                             const ReadProgress& progress, const EdfSignalQuestion& ask_signals) {
  if (Status st = check_header_size(path); !st) return st.failure();
  auto hdr = new_edf_header();
  if (edfopen_file_readonly(edflib_path(path).constData(), hdr.get(), EDFLIB_READ_ALL_ANNOTATIONS) != 0) {
    const int code = hdr->filetype;
    if (code == EDFLIB_FILE_IS_DISCONTINUOUS)
      return read_discontinuous(path, ask_channel_count, ask_signals, progress);
    const bool refused = code == EDFLIB_FILE_CONTAINS_FORMAT_ERRORS || code == EDFLIB_FILETYPE_ERROR ||
                         code == EDFLIB_NUMBER_OF_SIGNALS_INVALID;
    return failure(refused ? DataFileError::NotEdf : DataFileError::ReadFailed, edflib_error_text(code));
  }
  EdfHandle handle(hdr->handle);
  const int h = hdr->handle;
  Layout l;
  l.kind = kind_of(hdr->filetype);
  l.duration = hdr->datarecord_duration;
  l.records = hdr->datarecords_in_file;
  for (int i = 0; i < hdr->edfsignals; ++i) {
    EdfSignal sig;
    sig.label = QString::fromLatin1(hdr->signalparam[i].label).trimmed();
    sig.unit = QString::fromLatin1(hdr->signalparam[i].physdimension).trimmed();
    sig.per_record = hdr->signalparam[i].smp_in_datarecord;
    describe_signal(sig, l.duration);
    l.all_signals.push_back(sig);
  }

  std::vector<EdfMark> marks;
  std::vector<edf_annotation_struct> annotations;
  for (long long i = 0; i < hdr->annotations_in_file; ++i) {
    edf_annotation_struct a{};
    if (edf_get_annotation(h, static_cast<int>(i), &a) != 0)
      return failure(DataFileError::ReadFailed, QStringLiteral("annotation %1 cannot be read").arg(i + 1));
    annotations.push_back(a);
  }
  Result<std::vector<int>> chosen = choose_signals(l, ask_channel_count, ask_signals);
  if (!chosen) return chosen.failure();
  const int first = chosen.value().front();
  for (const edf_annotation_struct& a : annotations)
    marks.push_back({edf_frame_at(a.onset, l.all_signals[static_cast<size_t>(first)].per_record, l.duration),
                     QString::fromUtf8(a.annotation)});
  const int64_t frames = frames_before_end(marks, hdr->signalparam[first].smp_in_file);
  Result<EdfContents> started = start_contents(l, chosen.value(), frames);
  EdfContents& out = started.value();
  const QDate day(hdr->startdate_year, hdr->startdate_month, hdr->startdate_day);
  const QTime clock(hdr->starttime_hour, hdr->starttime_minute, hdr->starttime_second);
  if (day.isValid() && clock.isValid()) out.start = QDateTime(day, clock);

  Status direct;
  if (read_digital_records(path, *hdr, out, frames, progress, direct)) {
    if (!direct) return direct.failure();
    finish(out, marks);
    return started;
  }
  make_float_samples(out);
  const int64_t portion = frames / kPortions;
  const int parts = portion == 0 ? 1 : kPortions;  // fewer samples than portions: read them at once
  std::vector<double> buffer(static_cast<std::size_t>(std::clamp<int64_t>(frames, 1, kChunkSamples)));
  int64_t done = 0;
  for (int k = 0; k < parts; ++k) {
    const int64_t end = k == parts - 1 ? frames : done + portion;
    for (int ch = 1; ch <= out.channel_count; ++ch) {
      float* dst = out.samples.write_channel(ch);
      for (int64_t at = done; at < end;) {
        const int n = static_cast<int>(std::min<int64_t>(end - at, kChunkSamples));
        if (edfread_physical_samples(h, out.chosen_signals[static_cast<size_t>(ch - 1)], n, buffer.data()) != n) {
          return failure(
              DataFileError::ReadFailed,
              QStringLiteral("reading samples %1 to %2 of signal %3 failed").arg(at + 1).arg(at + n).arg(ch));
        }
        for (int i = 0; i < n; ++i) dst[at + i] = static_cast<float>(buffer[static_cast<std::size_t>(i)]);
        at += n;
      }
    }
    done = end;
    report(progress, done, frames);
  }
  finish(out, marks);
  return started;
}

PerChannel<Calibration> edf_channel_names(const EdfContents& d) {
  PerChannel<Calibration> out;
  for (int ch = 1; ch <= std::min(d.channel_count, 3); ++ch) {
    const auto k = static_cast<size_t>(ch - 1);
    if (k >= d.chosen_signals.size() || static_cast<size_t>(d.chosen_signals[k]) >= d.signal_info.size())
      continue;
    const EdfSignal& sig = d.signal_info[static_cast<size_t>(d.chosen_signals[k])];
    out[ch].name = sig.label;
    out[ch].unit = sig.unit;
  }
  return out;
}

}  // namespace quarvel
