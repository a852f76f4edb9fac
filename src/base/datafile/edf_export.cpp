#include "datafile/edf_export.h"

#include <edflib.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <system_error>

#include "datafile/edf_marks.h"
#include "datafile/edflib_support.h"

namespace quarvel {

namespace {

constexpr int kHeaderNumberChars = 8;                  // every number field of an EDF header
constexpr int64_t kOneSecond = 100000;                 // record duration units of 10 µs
constexpr int64_t kShortestRecord = 100;               // 1 ms, the shortest EDFlib takes in these units
constexpr int64_t kLongestRecord = 6000000;            // 60 s
constexpr int64_t kMaxSignalBytes = 4 << 20;           // samples of one record, well below EDFlib's 10 MB
constexpr int kMaxAnnotationSignals = 64;              // EDFlib's limit
constexpr int64_t kRecordUnitsPerAnnotationUnit = 10;  // annotation times are whole 100 µs
// The interval is held in a float: anything within one float step of it is the same interval.
constexpr double kIntervalPrecision = 1.0 / (1 << 23);

DataFileFailure write_failure(const QString& what) {
  return DataFileFailure{DataFileError::WriteFailed, what};
}

// q / 10^d in decimals, without trailing zeros in the fraction.
QByteArray decimal_text(int64_t q, int d) {
  const bool negative = q < 0;
  QByteArray digits = QByteArray::number(negative ? -q : q);
  if (d > 0) {
    if (digits.size() <= d) digits.prepend(QByteArray(d - digits.size() + 1, '0'));
    digits.insert(digits.size() - d, '.');
    while (digits.endsWith('0')) digits.chop(1);
    if (digits.endsWith('.')) digits.chop(1);
  }
  if (negative) digits.prepend('-');
  return digits;
}

struct Limit {
  QByteArray text;
  double value = 0;
};

// The limit nearest to v that an 8-character header field states, at or above v for an upper
// limit and at or below it for a lower one.
std::optional<Limit> header_limit(double v, bool upper) {
  for (int d = 6; d >= 0; --d) {  // "0.123456" is the most decimals 8 characters hold
    const double scaled = v * std::pow(10.0, d);
    if (!(std::fabs(scaled) < 1e8)) continue;
    auto q = static_cast<int64_t>(upper ? std::ceil(scaled) : std::floor(scaled));
    // The product may round past v; one step further out then puts the limit beyond it.
    for (int step = 0; step < 2; ++step) {
      const QByteArray text = decimal_text(q, d);
      const double value = text.toDouble();
      if (upper ? value < v : value > v) {
        q += upper ? 1 : -1;
        continue;
      }
      if (text.size() <= kHeaderNumberChars) return Limit{text, value};
      break;
    }
  }
  return std::nullopt;
}

// The nearest number to v that an 8-character header field states.
std::optional<Limit> nearest_header_number(double v) {
  for (int d = 6; d >= 0; --d) {
    const double scaled = v * std::pow(10.0, d);
    if (!(std::fabs(scaled) < 1e8)) continue;
    const QByteArray text = decimal_text(static_cast<int64_t>(std::llround(scaled)), d);
    if (text.size() <= kHeaderNumberChars) return Limit{text, text.toDouble()};
  }
  return std::nullopt;
}

QByteArray header_field(const QByteArray& text, int width) {
  return text.leftJustified(width, ' ', true);
}

// EDFlib formats physical limits itself and drops digits on the way (98.76543 is stored as
// 98.76542), so the exact limits the samples were scaled to are written over its fields.
Status write_physical_limits(const QString& file, const std::vector<QByteArray>& labels,
                             const std::vector<EdfScale>& scales) {
  QFile f(file);
  if (!f.open(QIODevice::ReadWrite))
    return write_failure(QStringLiteral("cannot reopen %1: %2").arg(file, f.errorString()));
  const QByteArray head = f.read(256);
  bool is_number = false;
  const int ns = head.mid(252, 4).trimmed().toInt(&is_number);
  if (head.size() != 256 || !is_number || ns < static_cast<int>(labels.size()))
    return write_failure(QStringLiteral("EDFlib wrote an unexpected header"));
  const QByteArray label_fields = f.read(16 * static_cast<qint64>(ns));
  for (std::size_t i = 0; i < labels.size(); ++i) {
    if (label_fields.mid(static_cast<qsizetype>(16 * i), 16) != header_field(labels[i], 16))
      return write_failure(QStringLiteral("EDFlib wrote the signals in an unexpected order"));
  }
  const auto put = [&](qint64 offset, const QByteArray& text) {
    return f.seek(offset) && f.write(header_field(text, kHeaderNumberChars)) == kHeaderNumberChars;
  };
  // Fields of all signals follow each other: labels (16), transducers (80), dimensions (8), then
  // the physical minima and maxima (8 each).
  const qint64 minima = 256 + static_cast<qint64>(ns) * (16 + 80 + 8);
  const qint64 maxima = minima + static_cast<qint64>(ns) * 8;
  for (std::size_t i = 0; i < scales.size(); ++i) {
    if (!put(minima + 8 * static_cast<qint64>(i), scales[i].min_text) ||
        !put(maxima + 8 * static_cast<qint64>(i), scales[i].max_text))
      return write_failure(QStringLiteral("writing the physical limits failed: %1").arg(f.errorString()));
  }
  if (!f.flush()) return write_failure(QStringLiteral("writing the header failed: %1").arg(f.errorString()));
  return {};
}

// Reads the written file back through EDFlib: a file cut short by a full disk, or annotations that
// did not all fit, show up here rather than in the hands of whoever opens it.
Status check_written(const QString& file, const EdfRecordPlan& plan, const std::vector<EdfScale>& scales,
                     int64_t annotations) {
  auto hdr = new_edf_header();
  if (edfopen_file_readonly(edflib_path(file).constData(), hdr.get(), EDFLIB_READ_ALL_ANNOTATIONS) != 0)
    return write_failure(
        QStringLiteral("the written file does not read back: %1").arg(edflib_error_text(hdr->filetype)));
  EdfHandle handle(hdr->handle);
  bool same = hdr->edfsignals == static_cast<int>(scales.size()) &&
              hdr->datarecords_in_file == plan.records && hdr->datarecord_duration == plan.duration * 100 &&
              hdr->annotations_in_file == annotations;
  for (std::size_t i = 0; same && i < scales.size(); ++i) {
    const edf_param_struct& p = hdr->signalparam[i];
    same = p.smp_in_datarecord == plan.samples_per_record && p.dig_min == scales[i].digital_min &&
           p.dig_max == scales[i].digital_max && p.phys_min == scales[i].physical_min &&
           p.phys_max == scales[i].physical_max;
  }
  if (!same)
    return write_failure(QStringLiteral("the written file reads back differently from what was written"));
  return {};
}

// Samples per record and record durations (10 µs units) that state the interval exactly: the
// smallest whole number of samples whose span is a whole number of 10 µs.
struct BaseRecord {
  int64_t samples = 0;
  int64_t duration = 0;
};

std::optional<BaseRecord> base_record(double interval_us, int64_t max_samples) {
  for (int64_t n = 1; n <= max_samples; ++n) {
    const double span = static_cast<double>(n) * interval_us;
    const auto units = static_cast<int64_t>(std::llround(span / 10));
    if (units >= 1 && std::fabs(static_cast<double>(units) * 10 - span) <= kIntervalPrecision * span)
      return BaseRecord{n, units};
  }
  return std::nullopt;
}

// Reads every frame of the source, checking that the portions come in order and make up n frames.
Status read_all_frames(const FrameSource& frames, int64_t n, const FramePortionSink& take) {
  int64_t seen = 0;
  const Status st = frames([&](const FramePortion& p) -> Status {
    if (p.first != seen || p.count < 0 || p.count > n - seen)
      return DataFileFailure{
          DataFileError::ReadFailed,
          QStringLiteral("frames %1 to %2 came out of order").arg(p.first + 1).arg(p.first + p.count)};
    seen += p.count;
    return take(p);
  });
  if (!st) return st;
  if (seen != n)
    return DataFileFailure{DataFileError::NoSamples,
                           QStringLiteral("%1 of %2 frames to write").arg(seen).arg(n)};
  return {};
}

// The digital values of n samples. Whole-number samples are stored as they are: their scale's
// limits are their own lowest and highest value, so only a source that changed between its
// readings could bring one beyond them, and that one is held at the limit.
void put_digital(const EdfScale& scale, const float* v, int64_t n, short* out) {
  if (scale.whole_numbers) {
    const auto lo = static_cast<float>(scale.digital_min), hi = static_cast<float>(scale.digital_max);
    for (int64_t i = 0; i < n; ++i) {
      const float x = v[i] >= lo ? (v[i] <= hi ? v[i] : hi) : lo;  // NaN goes to the lower limit
      out[i] = static_cast<short>(x);
    }
    return;
  }
  for (int64_t i = 0; i < n; ++i) out[i] = scale.digital(v[i]);
}

}  // namespace

QByteArray edf_signal_label(const EdfRecordingInfo& info, int ch, const Calibration& c) {
  if (!c.name.isEmpty() && c.name != default_input_name(info.ch_source[ch])) return edf_ascii(c.name).left(16);
  bool distinct = true;
  for (int a = 1; a <= info.channel_count; ++a) {
    if (info.ch_source[a] < 1 || info.ch_source[a] > 99) distinct = false;
    for (int b = 1; b < a; ++b)
      if (info.ch_source[a] == info.ch_source[b]) distinct = false;
  }
  return distinct ? "input " + QByteArray::number(info.ch_source[ch]) : "channel " + QByteArray::number(ch);
}

QByteArray edf_ascii(const QString& text) {
  QByteArray out;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    if (u == 0x00B5 || u == 0x03BC) {
      out += 'u';
    } else if (u == 0x00B0) {
      out += "deg";
    } else if (u >= 32 && u < 127) {
      out += static_cast<char>(u);
    } else {
      out += '_';
    }
  }
  return out;
}

Result<EdfScale> calibrated_scale(const EdfScale& scale, const Calibration& c) {
  if (c.identity()) return scale;
  const double g = c.gain;
  const double o = c.offset;
  const std::optional<Limit> low = nearest_header_number(g * scale.physical_min + o);
  const std::optional<Limit> high = nearest_header_number(g * scale.physical_max + o);
  if (!low || !high || low->value == high->value) {
    return DataFileFailure{
        DataFileError::BadValue,
        QStringLiteral("the calibration gives physical limits an EDF header cannot state")};
  }
  EdfScale out = scale;
  out.whole_numbers = false;
  out.min_text = low->text;
  out.max_text = high->text;
  out.physical_min = low->value;
  out.physical_max = high->value;
  return out;
}

int16_t EdfScale::digital(float x) const {
  double d =
      whole_numbers
          ? std::nearbyint(x)
          : std::nearbyint((x - physical_min) / (physical_max - physical_min) * (digital_max - digital_min)) +
                digital_min;
  d = std::clamp(d, static_cast<double>(digital_min), static_cast<double>(digital_max));
  return static_cast<int16_t>(d);
}

void EdfScaleBuilder::add(std::span<const float> samples) {
  // Every sample of a recording passes here, so four at a time: the compiler does not vectorise
  // a floating-point minimum by itself, since that could change which NaN or zero it returns.
  // The lanes follow the scalar rules exactly: a NaN never becomes a limit, and a sample is whole
  // when converting it to an int16 value and back gives it again.
  using Floats = float __attribute__((vector_size(16)));
  using Ints = int32_t __attribute__((vector_size(16)));
  const float* p = samples.data();
  const std::size_t n = samples.size();
  Floats lo = {lo_, lo_, lo_, lo_}, hi = {hi_, hi_, hi_, hi_};
  Ints bad = {0, 0, 0, 0}, fraction = {0, 0, 0, 0};
  std::size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    Floats x;
    std::memcpy(&x, p + i, sizeof x);
    bad |= (x - x) != 0.0f;  // infinities and NaN
    lo = x < lo ? x : lo;
    hi = x > hi ? x : hi;
    Floats in_range = x > -32768.0f ? x : -32768.0f;
    in_range = in_range < 32767.0f ? in_range : 32767.0f;
    fraction |= __builtin_convertvector(__builtin_convertvector(in_range, Ints), Floats) != x;
  }
  float l = lo_, h = hi_;
  bool finite = true, whole = true;
  for (int k = 0; k < 4; ++k) {
    l = lo[k] < l ? lo[k] : l;
    h = hi[k] > h ? hi[k] : h;
    finite = finite && bad[k] == 0;
    whole = whole && fraction[k] == 0;
  }
  for (; i < n; ++i) {
    const float x = p[i];
    finite = finite && x - x == 0.0f;
    l = x < l ? x : l;
    h = x > h ? x : h;
    float in_range = x > -32768.0f ? x : -32768.0f;
    in_range = in_range < 32767.0f ? in_range : 32767.0f;
    whole = whole && static_cast<float>(static_cast<int32_t>(in_range)) == x;
  }
  lo_ = l;
  hi_ = h;
  finite_ = finite_ && finite;
  whole_ = whole_ && whole;
  count_ += static_cast<int64_t>(n);
}

Result<EdfScale> edf_scale_for(std::span<const float> samples) {
  EdfScaleBuilder b;
  b.add(samples);
  return b.finish();
}

Result<EdfScale> EdfScaleBuilder::finish() const {
  if (!finite_)
    return DataFileFailure{DataFileError::BadValue, QStringLiteral("a sample is not a finite number")};
  float lo = lo_, hi = hi_;
  const bool whole = whole_;
  EdfScale s;
  if (count_ == 0) lo = hi = 0;
  if (whole) {
    int a = static_cast<int>(lo);
    int b = static_cast<int>(hi);
    if (a == b) {  // EDF wants the limits apart
      if (b < 32767) {
        ++b;
      } else {
        --a;
      }
    }
    s.whole_numbers = true;
    s.digital_min = a;
    s.digital_max = b;
    s.min_text = QByteArray::number(a);
    s.max_text = QByteArray::number(b);
    s.physical_min = a;
    s.physical_max = b;
    return s;
  }
  std::optional<Limit> low = header_limit(lo, false);
  std::optional<Limit> high = header_limit(hi, true);
  if (low && high && high->value <= low->value) {
    // A constant channel: any range above its value will do, since the value sits on the minimum.
    high = header_limit(low->value + 1, true);
    if (!high) {
      high = header_limit(hi, true);
      low = header_limit(high ? high->value - 1 : lo, false);
    }
  }
  if (!low || !high) {
    return DataFileFailure{DataFileError::BadValue,
                           QStringLiteral("samples from %1 to %2 go beyond what an EDF header can state")
                               .arg(static_cast<double>(lo))
                               .arg(static_cast<double>(hi))};
  }
  s.min_text = low->text;
  s.max_text = high->text;
  s.physical_min = low->value;
  s.physical_max = high->value;
  return s;
}

Result<EdfRecordPlan> plan_edf_records(double sample_interval, int channels, int32_t sample_count,
                                       int64_t annotations) {
  const double interval_us = sample_interval * 1e6;
  if (!(interval_us > 0) || !std::isfinite(interval_us)) {
    return DataFileFailure{
        DataFileError::BadSampleInterval,
        QStringLiteral("a sampling interval of %1 s is not positive").arg(sample_interval)};
  }
  const int64_t max_samples =
      std::min<int64_t>(static_cast<int64_t>(static_cast<double>(kLongestRecord) * 10 / interval_us),
                        kMaxSignalBytes / (2 * std::max(channels, 1)));
  const std::optional<BaseRecord> base = base_record(interval_us, max_samples);
  if (!base) {
    return DataFileFailure{DataFileError::BadSampleInterval,
                           QStringLiteral("no EDF data record of up to 60 s holds a whole number of "
                                          "%1 µs samples in whole 10 µs")
                               .arg(interval_us, 0, 'g', 10)};
  }
  // Records of about a second, at least 1 ms long; shorter ones only as long as needed to give each
  // annotation room, as EDFlib keeps one per record and annotation signal.
  const int64_t most = std::min(kLongestRecord / base->duration, max_samples / base->samples);
  const int64_t least = std::min(most, (kShortestRecord + base->duration - 1) / base->duration);
  int64_t k =
      std::clamp<int64_t>(std::llround(static_cast<double>(kOneSecond) / base->duration), least, most);
  const auto records_for = [&](int64_t m) {
    const int64_t n = m * base->samples;
    return std::max<int64_t>((sample_count + n - 1) / n, 1);
  };
  while (k > least && annotations > kMaxAnnotationSignals * records_for(k)) --k;
  const int64_t records = records_for(k);
  if (annotations > kMaxAnnotationSignals * records) {
    return DataFileFailure{
        DataFileError::MarkerPlacement,
        QStringLiteral("%1 annotations do not fit in %2 data records").arg(annotations).arg(records)};
  }
  EdfRecordPlan plan;
  plan.samples_per_record = static_cast<int32_t>(k * base->samples);
  plan.duration = k * base->duration;
  plan.records = records;
  plan.annotation_signals = static_cast<int>(std::max<int64_t>((annotations + records - 1) / records, 1));
  return plan;
}

Status export_edf(const QString& path, const SampleArray& samples, const std::vector<int16_t>& markers,
                  const EdfRecordingInfo& info, const PerChannel<Calibration>& calibration,
                  const ReadProgress& progress) {
  const int c = info.channel_count;
  const int32_t n = info.sample_count;
  if (c < 1 || c > 3 || c > samples.channels()) {
    return DataFileFailure{
        DataFileError::BadChannelCount,
        QStringLiteral("%1 channels to write from an array of %2").arg(c).arg(samples.channels())};
  }
  if (n < 1 || samples.size() < n) {
    return DataFileFailure{
        DataFileError::NoSamples,
        QStringLiteral("%1 frames to write from an array of %2").arg(n).arg(samples.size())};
  }
  return export_edf(path, frames_in_memory(samples, c, markers, n), info, calibration, progress);
}

Status export_edf(const QString& path, const FrameSource& frames, const EdfRecordingInfo& info,
                  const PerChannel<Calibration>& calibration, const ReadProgress& progress) {
  const int c = info.channel_count;
  const int32_t n = info.sample_count;
  if (c < 1 || c > 3)
    return DataFileFailure{DataFileError::BadChannelCount, QStringLiteral("%1 channels to write").arg(c)};
  if (n < 1) return DataFileFailure{DataFileError::NoSamples, QStringLiteral("%1 frames to write").arg(n)};
  // The frames are read twice: for the scales and marks the header needs, then for the records.
  std::vector<EdfScaleBuilder> builders(static_cast<std::size_t>(c));
  EdfMarkScanner scanner(info.block_mode ? info.block_length : 0);
  if (Status st =
          read_all_frames(frames, n,
                          [&](const FramePortion& p) -> Status {
                            for (int k = 0; k < c; ++k)
                              builders[static_cast<std::size_t>(k)].add(std::span<const float>(
                                  p.samples[static_cast<std::size_t>(k)], static_cast<std::size_t>(p.count)));
                            scanner.scan(p.markers, p.markers_held, p.first, p.count);
                            return {};
                          });
      !st)
    return st;
  // scales turn the converter values into digital ones; header_scales state the physical limits.
  std::vector<EdfScale> scales;
  std::vector<EdfScale> header_scales;
  std::vector<QByteArray> labels;
  std::vector<QByteArray> units;
  for (int ch = 1; ch <= c; ++ch) {
    Result<EdfScale> scale = builders[static_cast<std::size_t>(ch - 1)].finish();
    if (!scale) {
      return DataFileFailure{scale.error(),
                             QStringLiteral("channel %1: %2").arg(ch).arg(scale.failure().detail)};
    }
    Result<EdfScale> stated = calibrated_scale(scale.value(), calibration[ch]);
    if (!stated) {
      return DataFileFailure{stated.error(),
                             QStringLiteral("channel %1: %2").arg(ch).arg(stated.failure().detail)};
    }
    scales.push_back(scale.value());
    header_scales.push_back(stated.value());
    labels.push_back(edf_signal_label(info, ch, calibration[ch]));
    const QString& unit = calibration[ch].unit;
    units.push_back(unit.isEmpty() ? QByteArray("a.u.") : edf_ascii(unit).left(8));
  }

  std::vector<EdfMark> marks = scanner.take();
  // One more for the true end when the last record is padded; the count only decides the record
  // length when there are very many marks, so allowing for it always costs nothing.
  Result<EdfRecordPlan> planned =
      plan_edf_records(info.sample_interval, c, n, static_cast<int64_t>(marks.size()) + 1);
  if (!planned) return planned.failure();
  const EdfRecordPlan plan = planned.value();
  const int64_t spr = plan.samples_per_record;
  if (plan.records * spr > n) marks.push_back({n, QString::fromLatin1(kEdfRecordingEndsText)});
  // Annotation times are whole 100 µs; a mark whose time reads back as another frame is refused.
  std::vector<int64_t> onsets;
  for (const EdfMark& m : marks) {
    const int64_t per_unit = kRecordUnitsPerAnnotationUnit * spr;
    const int64_t onset = (2 * m.frame * plan.duration + per_unit) / (2 * per_unit);  // rounded
    if (edf_frame_at(onset * 1000, spr, plan.duration * 100) != m.frame) {
      return DataFileFailure{
          DataFileError::MarkerPlacement,
          QStringLiteral("\"%1\" at frame %2 cannot be timed exactly: annotation times are "
                         "whole 100 µs and the samples are %3 µs apart")
              .arg(m.text)
              .arg(m.frame)
              .arg(info.sample_interval * 1e6)};
    }
    onsets.push_back(onset);
  }

  const QFileInfo target(path);
  QTemporaryFile temp(target.dir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
  if (!temp.open()) {
    return write_failure(
        QStringLiteral("cannot create a file in %1: %2").arg(target.absolutePath(), temp.errorString()));
  }
  temp.close();  // EDFlib writes it by name
  const QString temp_name = temp.fileName();
  {
    const int h = edfopen_file_writeonly(edflib_path(temp_name).constData(), EDFLIB_FILETYPE_EDFPLUS, c);
    if (h < 0)
      return write_failure(
          QStringLiteral("EDFlib cannot create %1: %2").arg(temp_name, edflib_error_text(h)));
    EdfHandle handle(h);
    bool set = edf_set_datarecord_duration(h, static_cast<int>(plan.duration)) == 0 &&
               edf_set_number_of_annotation_signals(h, plan.annotation_signals) == 0;
    for (int i = 0; i < c; ++i) {
      const EdfScale& s = header_scales[static_cast<std::size_t>(i)];
      set = set && edf_set_samplefrequency(h, i, plan.samples_per_record) == 0 &&
            edf_set_physical_minimum(h, i, s.physical_min) == 0 &&
            edf_set_physical_maximum(h, i, s.physical_max) == 0 &&
            edf_set_digital_minimum(h, i, s.digital_min) == 0 &&
            edf_set_digital_maximum(h, i, s.digital_max) == 0 &&
            edf_set_label(h, i, labels[static_cast<std::size_t>(i)].constData()) == 0 &&
            edf_set_physical_dimension(h, i, units[static_cast<std::size_t>(i)].constData()) == 0;
    }
    const QDateTime& t = info.start;
    if (set && t.isValid() && t.date().year() >= 1985 && t.date().year() <= 2084) {
      set = edf_set_startdatetime(h, t.date().year(), t.date().month(), t.date().day(), t.time().hour(),
                                  t.time().minute(), t.time().second()) == 0;
    }
    if (!set) return write_failure(QStringLiteral("EDFlib refused the header settings"));

    // Records are filled from the portions as they come; the last one is padded with the last
    // sample of each channel.
    std::vector<short> record(static_cast<std::size_t>(c * spr));
    int64_t written = 0, filled = 0;
    const auto write_record = [&]() -> Status {
      if (edf_blockwrite_digital_short_samples(h, record.data()) != 0)
        return write_failure(QStringLiteral("writing data record %1 failed").arg(written + 1));
      ++written;
      filled = 0;
      if (progress && written % std::max<int64_t>(plan.records / 36, 1) == 0)
        progress(static_cast<int>(written * 100 / plan.records));
      return {};
    };
    std::array<float, 3> last{};
    const Status st = read_all_frames(frames, n, [&](const FramePortion& p) -> Status {
      for (int64_t j = 0; j < p.count;) {
        const int64_t take = std::min(spr - filled, p.count - j);
        for (int k = 0; k < c; ++k)
          put_digital(scales[static_cast<std::size_t>(k)], p.samples[static_cast<std::size_t>(k)] + j, take,
                      record.data() + k * spr + filled);
        filled += take;
        j += take;
        if (filled == spr) {
          if (Status w = write_record(); !w) return w;
        }
      }
      for (int k = 0; k < c; ++k)
        if (p.count > 0)
          last[static_cast<std::size_t>(k)] = p.samples[static_cast<std::size_t>(k)][p.count - 1];
      return {};
    });
    if (!st) return st;
    if (filled > 0) {
      for (int k = 0; k < c; ++k) {
        const short pad = scales[static_cast<std::size_t>(k)].digital(last[static_cast<std::size_t>(k)]);
        std::fill(record.begin() + k * spr + filled, record.begin() + (k + 1) * spr, pad);
      }
      if (Status w = write_record(); !w) return w;
    }
    if (written != plan.records)
      return write_failure(QStringLiteral("%1 of %2 data records written").arg(written).arg(plan.records));
    for (std::size_t i = 0; i < marks.size(); ++i) {
      if (edfwrite_annotation_utf8(h, onsets[i], -1, marks[i].text.toUtf8().constData()) != 0)
        return write_failure(QStringLiteral("writing the annotation \"%1\" failed").arg(marks[i].text));
    }
    if (!handle.close()) return write_failure(QStringLiteral("finishing %1 failed").arg(temp_name));
  }
  if (Status st = write_physical_limits(temp_name, labels, header_scales); !st) return st;
  if (Status st = check_written(temp_name, plan, header_scales, static_cast<int64_t>(marks.size())); !st)
    return st;

  // Readable by others as a file saved the usual way would be; the temporary one is private.
  temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                      QFileDevice::ReadOther);
  std::error_code ec;
  std::filesystem::rename(std::filesystem::path(temp_name.toStdU16String()),
                          std::filesystem::path(path.toStdU16String()), ec);
  if (ec)
    return write_failure(
        QStringLiteral("cannot replace %1: %2").arg(path, QString::fromStdString(ec.message())));
  temp.setAutoRemove(false);  // its name is the target's now
  return {};
}

}  // namespace quarvel
