#include "properties.h"

#include "core/typed_values.h"

#include <QBuffer>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>

#include "core/numbers.h"
#include "datafile/bin_format.h"
#include "datafile/bin_reader.h"
#include "datafile/prn_reader.h"
#include "datafile/reading.h"

namespace quarvel::fuzz {

namespace {

// Little-endian fields read straight from the bytes, apart from the codec's own helpers, so the
// checks do not share a fault with the code they check.
int16_t word_at(const QByteArray& b, qsizetype at) {
  const unsigned lo = static_cast<unsigned char>(b[at]);
  const unsigned hi = static_cast<unsigned char>(b[at + 1]);
  return static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
}

int32_t long_at(const QByteArray& b, qsizetype at) {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(static_cast<unsigned char>(b[at + i])) << (8 * i);
  return static_cast<int32_t>(u);
}

float float_at(const QByteArray& b, qsizetype at) {
  return std::bit_cast<float>(static_cast<uint32_t>(long_at(b, at)));
}

std::string error_name(DataFileError e) {
  switch (e) {
    case DataFileError::TooShort:
      return "TooShort";
    case DataFileError::NotVersioned:
      return "NotVersioned";
    case DataFileError::BadChannelCount:
      return "BadChannelCount";
    case DataFileError::BadBlockLength:
      return "BadBlockLength";
    case DataFileError::BadSampleInterval:
      return "BadSampleInterval";
    case DataFileError::BadChannelAnswer:
      return "BadChannelAnswer";
    case DataFileError::PartialSample:
      return "PartialSample";
    case DataFileError::BadValue:
      return "BadValue";
    case DataFileError::TooLarge:
      return "TooLarge";
    case DataFileError::ReadFailed:
      return "ReadFailed";
    case DataFileError::WriteFailed:
      return "WriteFailed";
    case DataFileError::NotEdf:
      return "NotEdf";
    case DataFileError::MixedSampleRates:
      return "MixedSampleRates";
    case DataFileError::NoSamples:
      return "NoSamples";
    case DataFileError::MarkerPlacement:
      return "MarkerPlacement";
  }
  return "unknown error";
}

std::string outcome_name(const std::optional<DataFileError>& e) {
  return e ? error_name(*e) : std::string("a value");
}

// Compares what a reader gave with the outcome the bytes call for.
template <typename T>
void check_outcome(const Result<T>& r, const std::optional<DataFileError>& expected, const char* reader,
                   Findings& f) {
  const std::optional<DataFileError> got = r.ok() ? std::nullopt : std::optional(r.error());
  if (got != expected)
    f.push_back(std::string(reader) + " gave " + outcome_name(got) + " where the bytes call for " +
                outcome_name(expected));
}

// Progress reports: 0..100, never going back, and 100 at the end of a successful read.
void check_progress(const std::vector<int>& reports, bool ok, Findings& f) {
  for (std::size_t i = 0; i < reports.size(); ++i) {
    if (reports[i] < 0 || reports[i] > 100) f.push_back("progress report outside 0..100");
    if (i > 0 && reports[i] < reports[i - 1]) f.push_back("progress went back");
  }
  if (ok && (reports.empty() || reports.back() != 100)) f.push_back("a finished read did not report 100");
}

// What a .bin read must give for these bytes and this answer: the failure, or nothing.
std::optional<DataFileError> expected_bin_outcome(const BinCase& c, int* channels) {
  const QByteArray& b = c.file;
  if (b.startsWith("Version 1.00")) {
    if (b.size() < kBinHeaderSize) return DataFileError::TooShort;
    *channels = word_at(b, 12);
    if (*channels < 1 || *channels > 3) return DataFileError::BadChannelCount;
    if (long_at(b, 32) <= 0) return DataFileError::BadSampleInterval;
    if (word_at(b, 20) != 0 && long_at(b, 22) <= 0) return DataFileError::BadBlockLength;
    // A block length is believed only as far as the frames of the file, or a block the program
    // could record, reach.
    const int64_t frames = (b.size() - kBinHeaderSize) / (2 * (static_cast<int64_t>(*channels) + 1));
    if (word_at(b, 20) != 0 && long_at(b, 22) > std::max<int64_t>(frames, kMaxBlockLength))
      return DataFileError::BadBlockLength;
    return std::nullopt;
  }
  if (b.size() < 2) return DataFileError::TooShort;
  if (word_at(b, 0) <= 0) return DataFileError::BadSampleInterval;
  const Result<int> answered = channel_count_from_answer(c.answer, 3);
  if (!answered) return DataFileError::BadChannelAnswer;
  *channels = answered.value();
  return std::nullopt;
}

void check_bin_contents(const BinCase& c, const BinContents& d, int channels, Findings& f) {
  const QByteArray& b = c.file;
  const bool versioned = b.startsWith("Version 1.00");
  const int cc = d.channel_count();
  if (cc < 1 || cc > 3) {
    f.push_back("channel count " + std::to_string(cc) + " outside 1..3");
    return;
  }
  if (cc != channels) f.push_back("channel count differs from the file or the answer");
  if (d.format != (versioned ? BinFormat::Versioned : BinFormat::Older)) f.push_back("wrong format");
  // A calibration block is taken only whole: one usable record per channel, names and units that fit.
  const CalibrationBlock& cal = d.calibration;
  if (cal.status == CalibrationBlockStatus::Read) {
    if (!versioned || cal.channels.size() != static_cast<std::size_t>(cc))
      f.push_back("calibrations do not match");
    for (const Calibration& k : cal.channels) {
      if (!std::isfinite(k.gain) || k.gain == 0 || !std::isfinite(k.physical(32767)) ||
          !std::isfinite(k.physical(-32768)) || k.name.toUtf8().size() > kNameBytes ||
          k.unit.toUtf8().size() > kUnitBytes)
        f.push_back("a calibration taken that cannot be used");
    }
  } else if (!cal.channels.empty()) {
    f.push_back("calibrations of a block not read");
  }

  const int64_t start = versioned ? kBinHeaderSize : 2;
  const int64_t frame = 2 * (static_cast<int64_t>(cc) + 1);
  const int64_t frames = d.sample_count;
  if (frames < 0 || start + frames * frame > b.size())
    f.push_back(std::to_string(frames) + " frames reported, more than the bytes hold");
  else if (b.size() - (start + frames * frame) >= frame)
    f.push_back("a whole frame was left unread");
  if (d.samples.channels() != cc || d.samples.size() != frames ||
      d.markers.size() != static_cast<std::size_t>(std::max<int64_t>(frames, 0))) {
    f.push_back("sample or marker arrays do not match the frame count");
    return;
  }
  if (!f.empty()) return;  // the byte offsets below are only valid for a frame count that fits

  for (int ch = 1; ch <= 3; ++ch) {
    float max_abs = 0;
    for (int64_t i = 0; ch <= cc && i < frames; ++i) {
      const float v = d.samples(ch, static_cast<int32_t>(i));
      if (!(v >= -32768.0f && v <= 32767.0f) || v != std::trunc(v)) {
        f.push_back("a sample that is not an int16 value");
        return;
      }
      if (v != word_at(b, start + i * frame + 2 * (ch - 1))) {
        f.push_back("sample " + std::to_string(i) + " of channel " + std::to_string(ch) +
                    " differs from its bytes");
        return;
      }
      max_abs = std::max(max_abs, std::fabs(v));
    }
    if (d.ch_max[ch] != max_abs)
      f.push_back("channel maximum of channel " + std::to_string(ch) + " is wrong");
  }
  for (int64_t i = 0; i < frames; ++i) {
    if (d.markers[static_cast<std::size_t>(i)] != word_at(b, start + i * frame + 2 * cc)) {
      f.push_back("marker " + std::to_string(i) + " differs from its bytes");
      break;
    }
  }

  if (!(d.sample_interval > 0) || !std::isfinite(d.sample_interval))
    f.push_back("sampling interval not positive");
  if (versioned) {
    const Result<BinHeader> h = decode_bin_header(b);
    if (!h || !(h.value() == d.header)) f.push_back("header differs from the stored one");
    if (d.header.interval_us != long_at(b, 32)) f.push_back("interval differs from its bytes");
    if (d.block_mode != Flag(word_at(b, 20) != 0)) f.push_back("block flag wrong");
  } else {
    if (d.header.interval_us != word_at(b, 0) * 1000) f.push_back("older interval differs from its word");
    if (d.block_mode) f.push_back("an older file read as a block file");
  }
}

}  // namespace

BinCase bin_case(QByteArrayView input) {
  BinCase c;
  if (input.empty()) return c;
  const auto control = static_cast<unsigned char>(input[0]);
  qsizetype at = 1;
  if ((control & 3) != 3) {
    c.answer = QString::number((control & 3) + 1);
  } else {
    const qsizetype n = std::min<qsizetype>(control >> 2, input.size() - 1);
    c.answer = QString::fromUtf8(input.sliced(1, n));
    at += n;
  }
  c.file = input.sliced(at).toByteArray();
  return c;
}

QByteArray bin_input(int channels, QByteArrayView file, QByteArrayView typed_answer) {
  QByteArray out;
  if (channels >= 1 && channels <= 3) {
    out.append(static_cast<char>(channels - 1));
  } else {
    const auto n = std::min<qsizetype>(typed_answer.size(), 63);
    out.append(static_cast<char>((n << 2) | 3));
    out.append(typed_answer.first(n));
  }
  out.append(file);
  return out;
}

Findings check_bin_read(const BinCase& c, const Result<BinContents>& r, const char* reader) {
  Findings f;
  int channels = 0;
  check_outcome(r, expected_bin_outcome(c, &channels), reader, f);
  if (r) check_bin_contents(c, r.value(), channels, f);
  return f;
}

Findings check_bin(const BinCase& c) {
  int asked = 0;
  const ChannelCountQuestion ask = [&] {
    ++asked;
    return c.answer;
  };
  Findings f = check_bin_read(c, parse_bin(c.file, ask), "parse_bin");
  const bool versioned = c.file.startsWith("Version 1.00");
  if (versioned && asked != 0) f.push_back("the channel count was asked for a versioned file");
  if (!versioned && asked > 1) f.push_back("the channel count was asked more than once");

  // The same bytes as a device, with progress reports: the same answer.
  QByteArray bytes = c.file;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  std::vector<int> reports;
  const Result<BinContents> rd = read_bin(buffer, ask, [&](int pct) { reports.push_back(pct); });
  for (std::string& line : check_bin_read(c, rd, "read_bin")) f.push_back(std::move(line));
  check_progress(reports, rd.ok(), f);
  return f;
}

PrnCase prn_case(QByteArrayView input) {
  PrnCase c;
  if (input.empty()) return c;
  const auto control = static_cast<unsigned char>(input[0]);
  c.channels = control == 0xFE ? 0 : control == 0xFF ? 3 : 1 + (control & 1);
  c.file = input.sliced(1).toByteArray();
  return c;
}

QByteArray prn_input(int channels, QByteArrayView file) {
  QByteArray out(1, static_cast<char>(channels == 2 ? 1 : channels == 1 ? 0 : channels == 0 ? 0xFE : 0xFF));
  out.append(file);
  return out;
}

Findings check_prn_read(const PrnCase& c, const Result<PrnContents>& r, const char* reader) {
  Findings f;
  const QByteArray& b = c.file;
  std::optional<DataFileError> expected;
  if (c.channels != 1 && c.channels != 2) {
    expected = DataFileError::BadChannelAnswer;
  } else if (b.size() < 4 * c.channels) {
    expected = DataFileError::PartialSample;  // no whole sample; bytes after the last whole one are left
  } else {
    const qsizetype whole = b.size() / (4 * c.channels) * (4 * c.channels);
    for (qsizetype at = 0; at + 4 <= whole; at += 4) {
      if (!std::isfinite(float_at(b, at) * 100.0f)) {
        expected = DataFileError::BadValue;
        break;
      }
    }
  }
  check_outcome(r, expected, reader, f);
  if (!r) return f;

  const PrnContents& d = r.value();
  const int cc = d.channel_count;
  if (cc != c.channels) f.push_back("channel count differs from the one asked");
  const int64_t count = d.sample_count;
  if (cc < 1 || cc > 2 || count < 0 || count * 4 * cc > b.size() || b.size() - count * 4 * cc >= 4 * cc) {
    f.push_back(std::to_string(count) + " samples reported for " + std::to_string(b.size()) + " bytes");
    return f;
  }
  if (d.samples.channels() != cc || d.samples.size() != count) {
    f.push_back("sample arrays do not match the sample count");
    return f;
  }
  for (int ch = 1; ch <= 3; ++ch) {
    float max_abs = 0;
    for (int64_t i = 0; ch <= cc && i < count; ++i) {
      const float v = float_at(b, (i * cc + ch - 1) * 4);
      if (d.samples(ch, static_cast<int32_t>(i)) != v * 100.0f) {
        f.push_back("value " + std::to_string(i) + " of channel " + std::to_string(ch) +
                    " is not its float x 100");
        break;
      }
      max_abs = std::max(max_abs, std::fabs(v));
    }
    if (d.ch_max[ch] != max_abs * 100.0f)
      f.push_back("channel maximum of channel " + std::to_string(ch) + " is wrong");
  }
  return f;
}

Findings check_prn(const PrnCase& c) {
  Findings f = check_prn_read(c, parse_prn(c.file, c.channels), "parse_prn");
  QByteArray bytes = c.file;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  std::vector<int> reports;
  const Result<PrnContents> rd = read_prn(buffer, c.channels, [&](int pct) { reports.push_back(pct); });
  for (std::string& line : check_prn_read(c, rd, "read_prn")) f.push_back(std::move(line));
  check_progress(reports, rd.ok(), f);
  return f;
}

EdfCase edf_case(QByteArrayView input) {
  EdfCase c;
  if (input.isEmpty()) return c;
  static const char* const answers[] = {"1", "2", "3", "9"};
  c.answer = QString::fromLatin1(answers[static_cast<unsigned char>(input[0]) & 3]);
  c.file = input.sliced(1).toByteArray();
  return c;
}

QByteArray edf_input(int channels, QByteArrayView file) {
  return QByteArray(1, static_cast<char>(channels == 9 ? 3 : channels - 1)) + file.toByteArray();
}

// Whatever the bytes, a read gives a failure or recordings the bytes can hold: the channels
// answered, a usable interval, no more samples than the file has room for (every stored sample
// takes at least two bytes), finite values and the right maxima. The question is asked at most
// once, and only of a file with one to three signals.
Findings check_edf_read(const EdfCase& c, const Result<EdfContents>& r, const std::vector<int>& asked) {
  Findings f;
  if (asked.size() > 1) f.push_back("the channel question was asked more than once");
  if (!asked.empty() && (asked[0] < 1 || asked[0] > 3))
    f.push_back("the channel question was asked of " + std::to_string(asked[0]) + " signals");
  if (!r) return f;

  const EdfContents& d = r.value();
  const int cc = d.channel_count;
  if (asked.empty() || QString::number(cc) != c.answer) f.push_back("channel count is not the one answered");
  if (cc < 1 || cc > 3 || cc > d.signal_count) {
    f.push_back(std::to_string(cc) + " channels read of " + std::to_string(d.signal_count));
    return f;
  }
  if (!(std::isfinite(d.sample_interval) && d.sample_interval > 0)) f.push_back("the sample interval is not usable");
  const int64_t count = d.sample_count;
  if (count < 0 || count * cc * 2 > c.file.size()) {
    f.push_back(std::to_string(count) + " samples reported for " + std::to_string(c.file.size()) + " bytes");
    return f;
  }
  if (d.samples.channels() != cc || d.samples.size() != count || static_cast<int64_t>(d.markers.size()) != count) {
    f.push_back("sample or marker arrays do not match the sample count");
    return f;
  }
  for (int ch = 1; ch <= 3; ++ch) {
    float max_abs = 0;
    for (int64_t i = 0; ch <= cc && i < count; ++i) {
      const float v = d.samples(ch, static_cast<int32_t>(i));
      if (!std::isfinite(v)) {
        f.push_back("value " + std::to_string(i) + " of channel " + std::to_string(ch) + " is not finite");
        break;
      }
      max_abs = std::max(max_abs, std::fabs(v));
    }
    if (d.ch_max[ch] != max_abs) f.push_back("channel maximum of channel " + std::to_string(ch) + " is wrong");
  }
  return f;
}

Findings check_edf(const EdfCase& c, const QString& path) {
  {
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(c.file) != c.file.size())
      return {"cannot write the case to " + path.toStdString()};
  }
  std::vector<int> asked;
  std::vector<int> reports;
  const Result<EdfContents> r = read_edf(
      path,
      [&](int signal_count) {
        asked.push_back(signal_count);
        return c.answer;
      },
      [&](int pct) { reports.push_back(pct); });
  Findings f = check_edf_read(c, r, asked);
  check_progress(reports, r.ok(), f);
  return f;
}

NumberCase number_case(QByteArrayView input) {
  NumberCase c;
  unsigned char bits[8] = {};
  const qsizetype n = std::min<qsizetype>(input.size(), 8);
  std::memcpy(bits, input.data(), static_cast<std::size_t>(n));
  uint64_t u = 0;
  for (int i = 7; i >= 0; --i) u = (u << 8) | bits[i];
  c.value = std::bit_cast<double>(u);
  c.text = QString::fromUtf8(input.sliced(n));
  return c;
}

QByteArray number_input(double value, QByteArrayView text) {
  const auto u = std::bit_cast<uint64_t>(value);
  QByteArray out;
  for (int i = 0; i < 8; ++i) out.append(static_cast<char>((u >> (8 * i)) & 0xFF));
  out.append(text);
  return out;
}

namespace {

bool is_placeholder(QChar ch) {
  return ch == u'0' || ch == u'#';
}

// num(): always finite, blind to leading blanks, 0 for a text that does not start with a number,
// and a minus sign before digits negates.
void check_num(const QString& text, Findings& f) {
  const double v = num(text);
  if (!std::isfinite(v)) f.push_back("num() gave a value that is not finite");
  const double blanked = num(QStringLiteral(" \t ") + text);
  if (!(blanked == v || (std::isnan(blanked) && std::isnan(v))))
    f.push_back("num() depends on leading blanks");
  const QString t = text.trimmed();
  const QChar first = t.isEmpty() ? QChar() : t[0];
  const bool may_be_number = first.isDigit() || first == u'.' || first == u'+' || first == u'-';
  if (!may_be_number && v != 0) f.push_back("num() read a number from a text that starts with none");
  if (!text.isEmpty() && text[0] >= u'0' && text[0] <= u'9' && num(QStringLiteral("-") + text) != -v)
    f.push_back("num() of a minus sign before digits does not negate");
}

// format() with any pattern: the text before the first placeholder and after the last one is
// copied, with only a sign, digits and a decimal point between them.
void check_format_shape(double v, const QString& pattern, Findings& f) {
  const QString out = format(v, pattern);
  if (pattern.isEmpty() || !std::isfinite(v)) {
    if (out != format_general_double(v))
      f.push_back("format() without a pattern or of a non-finite value is not the general form");
    return;
  }
  qsizetype first = -1, last = -1;
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    if (is_placeholder(pattern[i])) {
      if (first < 0) first = i;
      last = i;
    }
  }
  if (first < 0) {
    if (out != pattern) f.push_back("format() changed a pattern without placeholders");
    return;
  }
  const QString prefix = pattern.left(first);
  QString suffix = pattern.mid(last + 1);
  // A point right after the last placeholder may be taken as the number's own.
  if (suffix.startsWith(u'.') && !out.endsWith(suffix)) suffix.remove(0, 1);
  if (!out.startsWith(prefix) || !out.endsWith(suffix) || out.size() < prefix.size() + suffix.size()) {
    f.push_back("format() lost the text around the placeholders");
    return;
  }
  static const QRegularExpression number_shape(QStringLiteral("^-?[0-9]*(\\.[0-9]*)?$"));
  const QString middle = out.mid(prefix.size(), out.size() - prefix.size() - suffix.size());
  if (!number_shape.match(middle).hasMatch())
    f.push_back("format() put more than a number between the texts");
}

// A pattern of one integer placeholder and 0..15 decimal places keeps the value to half a unit
// of its last place (plus the 15 significant digits the formatter works with).
void check_read_back(double v, Findings& f) {
  if (!std::isfinite(v) || std::fabs(v) > 1e300) return;  // the rounded text may not fit a double
  const auto bits = std::bit_cast<uint64_t>(v);
  const int decimals = static_cast<int>(bits & 15);
  QString pattern = (bits & 16) ? QStringLiteral("#") : QStringLiteral("0");
  if (decimals > 0) pattern += QLatin1Char('.') + QString(decimals, (bits & 32) ? u'#' : u'0');
  const QString text = format(v, pattern);
  const double back = num(text);
  const double allowed = 0.5 * std::pow(10.0, -decimals) * (1 + 1e-9) + std::fabs(v) * 1e-14;
  if (!(std::fabs(back - v) <= allowed))
    f.push_back("format(v, \"" + pattern.toStdString() + "\") = \"" + text.toStdString() +
                "\" reads back too far from v");
}

// The general forms keep 7 (single) and 15 (double) significant digits.
void check_general(double v, Findings& f) {
  const auto low = static_cast<uint32_t>(std::bit_cast<uint64_t>(v));
  const float single = std::bit_cast<float>(low);
  if (std::isfinite(single)) {
    const QString text = format_general(single);
    const double back = num(text);
    if (!(std::fabs(back - single) <= std::fabs(static_cast<double>(single)) * 5.000001e-7))
      f.push_back("format_general() = \"" + text.toStdString() + "\" reads back too far from its float");
  }
  if (std::isfinite(v) && std::fabs(v) <= 1e300) {
    const QString text = format_general_double(v);
    const double back = num(text);
    if (!(std::fabs(back - v) <= std::fabs(v) * 6e-15 + std::numeric_limits<double>::denorm_min()))
      f.push_back("format_general_double() = \"" + text.toStdString() + "\" reads back too far from v");
  }
}

}  // namespace

// The typed-value parsers of the settings boxes and prompts: whatever the text, what they take
// stays within the limits they promise, so nothing typed can make a size without bound.
void check_typed_values(const NumberCase& c, Findings& f) {
  const QString& t = c.text;
  const std::optional<float> rate = rate_from_text(t);
  if (rate && !(*rate > 0 && *rate <= kMaxSamplingRate))
    f.push_back("rate_from_text took a rate outside 0..1000 Hz");
  const double screen = std::isfinite(c.value) && c.value != 0 ? std::fabs(c.value) : 1.0;
  if (const std::optional<float> interval = interval_from_text(t, screen)) {
    const double samples = round_even(screen / *interval);
    if (!(*interval > 0) || !(samples >= 1 && samples <= kMaxBlockLength))
      f.push_back("interval_from_text took an interval giving no block or a block beyond the limit");
  }
  const float at_rate = rate ? *rate : 10.0f;
  const FileLengthReading length = file_length_from_text(t, at_rate);
  if (length.seconds &&
      (!(*length.seconds > 0) || !file_length_fits(*length.seconds, at_rate) || length.too_long))
    f.push_back("file_length_from_text took a length that does not fit a recording");
  if (const std::optional<float> screen_length = screen_length_from_text(t, 0.001f, 0.001f)) {
    const double width = static_cast<double>(*screen_length) / 0.8;
    if (!(*screen_length > 0) || !std::isfinite(width))
      f.push_back("screen_length_from_text took a length without a width");
  }
  if (block_samples_for_answer(t, 0.001f) < 0) f.push_back("block_samples_for_answer gave a negative length");
  if (const std::optional<float> d = displacement_from_text(t); d && !std::isfinite(*d))
    f.push_back("displacement_from_text took a displacement that is not finite");
  (void)stimulus_setting(t);
}

Findings check_numbers(const NumberCase& c) {
  Findings f;
  check_num(c.text, f);
  check_typed_values(c, f);
  check_format_shape(c.value, c.text, f);
  check_read_back(c.value, f);
  check_general(c.value, f);
  return f;
}

}  // namespace quarvel::fuzz
