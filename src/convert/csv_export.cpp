#include "csv_export.h"

#include <QFile>
#include <charconv>
#include <cmath>

#include "datafile/export_info.h"

namespace quarvel {

namespace {

constexpr int kMaxDecimals = 9;
constexpr qsizetype kBufferBytes = 1 << 20;
// The interval is held in a float: anything within one float step of a value is that value.
constexpr double kFloatPrecision = 1.0 / (1 << 23);

void append_integer(QByteArray& out, int64_t v) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr - buf);
}

// The shortest text that reads back as exactly this float.
void append_float(QByteArray& out, float v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr - buf);
}

bool near_whole(double x, double* whole) {
  *whole = std::nearbyint(x);
  return *whole >= 1 && std::fabs(x - *whole) <= kFloatPrecision * x;
}

}  // namespace

CsvTime::CsvTime(double interval) : interval_(interval) {
  double p = 1;
  for (int d = 0; d <= kMaxDecimals; ++d, p *= 10) {
    double whole = 0;
    // Whole units below 2^31 keep frame × step inside int64 for any int32 frame.
    if (near_whole(interval * p, &whole) && whole < 2147483648.0) {
      decimals_ = d;
      step_ = static_cast<int64_t>(whole);
      return;
    }
  }
  double whole = 0;
  if (interval > 0 && near_whole(1.0 / interval, &whole)) rate_ = whole;
}

void CsvTime::append(QByteArray& out, int64_t frame) const {
  if (step_ == 0) {
    const double t = rate_ > 0 ? static_cast<double>(frame) / rate_ : static_cast<double>(frame) * interval_;
    char buf[48];
    const auto r = std::to_chars(buf, buf + sizeof buf, t, std::chars_format::fixed, kMaxDecimals);
    out.append(buf, r.ptr - buf);
    return;
  }
  const int64_t units = frame * step_;
  if (decimals_ == 0) {
    append_integer(out, units);
    return;
  }
  int64_t scale = 1;
  for (int d = 0; d < decimals_; ++d) scale *= 10;
  append_integer(out, units / scale);
  out.append('.');
  char digits[kMaxDecimals];
  int64_t fraction = units % scale;
  for (int d = decimals_ - 1; d >= 0; --d) {
    digits[d] = static_cast<char>('0' + fraction % 10);
    fraction /= 10;
  }
  out.append(digits, decimals_);
}

Status write_csv(const QString& path, const SharedState& s, const FrameSource& frames,
                 const ReadProgress& progress) {
  const int c = s.channel_count;
  const int32_t n = s.sample_count;
  if (c < 1 || c > 3)
    return DataFileFailure{DataFileError::BadChannelCount, QStringLiteral("%1 channels").arg(c)};
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
    return DataFileFailure{DataFileError::WriteFailed, f.errorString()};
  const auto flush = [&](QByteArray& out) -> Status {
    if (f.write(out) != out.size())
      return DataFileFailure{
          DataFileError::WriteFailed,
          QStringLiteral("not every byte reached the file (%1); the disk may be full").arg(f.errorString())};
    out.clear();
    return {};
  };

  const EdfRecordingInfo info = edf_recording_info(s);
  QByteArray out;
  out.reserve(kBufferBytes + 256);
  out.append("time (s)");
  for (int ch = 1; ch <= c; ++ch) out.append(',').append(edf_signal_label(info, ch));
  out.append(",marker\n");

  const CsvTime time(s.sample_interval);
  const int64_t step = std::max<int64_t>(n / 100, 1);
  int64_t written = 0;
  const Status st = frames([&](const FramePortion& p) -> Status {
    if (p.first != written || p.count > n - written)
      return DataFileFailure{DataFileError::ReadFailed, QStringLiteral("the frames came out of order")};
    for (int64_t j = 0; j < p.count; ++j) {
      time.append(out, p.first + j);
      for (int k = 0; k < c; ++k) {
        out.append(',');
        append_float(out, p.samples[static_cast<std::size_t>(k)][j]);
      }
      out.append(',');
      append_integer(out, j < p.markers_held ? p.markers[j] : 0);
      out.append('\n');
      if (out.size() >= kBufferBytes) {
        if (Status w = flush(out); !w) return w;
      }
      if (progress && (p.first + j + 1) % step == 0) progress(static_cast<int>((p.first + j + 1) * 100 / n));
    }
    written += p.count;
    return {};
  });
  if (!st) return st;
  if (written != n)
    return DataFileFailure{DataFileError::ReadFailed,
                           QStringLiteral("%1 of %2 frames were read").arg(written).arg(n)};
  if (Status w = flush(out); !w) return w;
  f.close();
  if (f.error() != QFileDevice::NoError) return DataFileFailure{DataFileError::WriteFailed, f.errorString()};
  if (progress) progress(100);
  return {};
}

}  // namespace quarvel
