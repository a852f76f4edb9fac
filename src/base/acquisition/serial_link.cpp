#include "acquisition/serial_link.h"

#include <algorithm>
#include <cmath>

#include "acquisition/firmata.h"
#include "core/numbers.h"

namespace quarvel {

namespace {

// Rates and byte counts for a person to read, without regard to the C locale.
QString hz(double v) {
  return QString::number(v, 'g', 6);
}

QString whole(double v) {
  return QString::number(static_cast<int64_t>(std::floor(v)));
}

}  // namespace

QString baud_refusal(int32_t baud) {
  if (baud >= kLowestBaud && baud <= kHighestBaud) return {};
  return QStringLiteral("The baud rate must be from %1 to %2.").arg(kLowestBaud).arg(kHighestBaud);
}

FirmataInterval firmata_interval(float rate_hz) {
  FirmataInterval out;
  if (!(rate_hz > 0) || !std::isfinite(rate_hz)) {
    out.refusal = QStringLiteral("A Firmata board needs a sampling rate above 0 Hz.");
    return out;
  }
  const float interval_s = 1.0f / rate_hz;
  const int32_t us = round_i32(static_cast<double>(interval_s) * 1e6);
  if (us % 1000 == 0 && us / 1000 >= 1 && us / 1000 <= firmata::kLongestInterval) {
    out.ms = us / 1000;
    return out;
  }
  const double ms = us / 1000.0;
  if (ms < 1) {
    out.refusal =
        QStringLiteral("A Firmata board samples at most every millisecond: the highest rate is 1000 Hz.");
  } else if (ms > firmata::kLongestInterval) {
    out.refusal = QStringLiteral("A Firmata board samples at least every %1 ms: the lowest rate is %2 Hz.")
                      .arg(firmata::kLongestInterval)
                      .arg(hz(1000.0 / firmata::kLongestInterval));
  } else {
    const int shorter = static_cast<int>(std::floor(ms));
    const int longer = shorter + 1;
    out.refusal = QStringLiteral(
                      "A Firmata board samples every whole millisecond: %1 Hz would need %2 ms. The nearest "
                      "rates are %3 Hz (%4 ms) and %5 Hz (%6 ms).")
                      .arg(hz(rate_hz), hz(ms), hz(1000.0 / shorter))
                      .arg(shorter)
                      .arg(hz(1000.0 / longer))
                      .arg(longer);
  }
  return out;
}

double link_bytes_per_second(int32_t baud) {
  return std::max<int32_t>(baud, 0) / 10.0 * 0.9;
}

LinkFit check_link(DeviceKind kind, int32_t baud, InputSet inputs, float rate_hz, int line_bytes) {
  LinkFit out;
  const bool firmata = kind == DeviceKind::Firmata;
  const int frame_bytes = firmata ? kFirmataBytesPerValue * inputs.count() : std::max(line_bytes, 1);
  const double capacity = link_bytes_per_second(baud);
  double highest = frame_bytes > 0 ? capacity / frame_bytes : 0;
  if (firmata) {
    // The fastest whole-millisecond interval at or below that rate.
    const double ms = highest > 0 ? std::ceil(1000.0 / highest - 1e-9) : 0;
    highest = ms >= 1 && ms <= firmata::kLongestInterval ? 1000.0 / ms : (ms >= 1 ? 0 : 1000.0);
  } else {
    highest = std::floor(highest);
  }
  out.highest_rate_hz = highest;
  const double needed = static_cast<double>(rate_hz) * frame_bytes;
  out.fits = needed <= capacity;
  if (out.fits) return out;
  const QString what = firmata ? QStringLiteral("%1 inputs of a Firmata board (%2 bytes each)")
                                     .arg(inputs.count())
                                     .arg(kFirmataBytesPerValue)
                               : QStringLiteral("Lines of up to %1 characters").arg(frame_bytes);
  out.refusal = QStringLiteral(
                    "%1 at %2 Hz need %3 bytes a second, more than a %4 baud link carries (about %5). The "
                    "highest rate that fits is %6 Hz.")
                    .arg(what, hz(rate_hz), whole(needed))
                    .arg(baud)
                    .arg(whole(capacity), hz(highest));
  return out;
}

}  // namespace quarvel
