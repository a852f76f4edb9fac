#include "datafile/calibration_block.h"

#include <QStringDecoder>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <optional>

#include "datafile/le_bytes.h"

namespace quarvel {

namespace {

constexpr char kTag[] = "QCAL";
constexpr int kVersion = 1;
constexpr int kRecords = 3;
constexpr int kRecordSize = 26;
constexpr int kRecordsAt = 6;                                // within the block
constexpr int kCrcAt = kRecordsAt + kRecords * kRecordSize;  // 84: header offset 120
constexpr int kNameAt = 8;
constexpr int kUnitAt = kNameAt + 1 + kNameBytes;  // 19

void put_float(char* p, float v) {
  put_le32(p, static_cast<int32_t>(std::bit_cast<uint32_t>(v)));
}

// The UTF-8 of text cut to at most max_bytes at a character boundary.
QByteArray fitted_utf8(const QString& text, int max_bytes) {
  QByteArray u = text.toUtf8();
  while (u.size() > max_bytes) {
    u.chop(1);
    while (!u.isEmpty() && (static_cast<uint8_t>(u.back()) & 0xC0) == 0x80) u.chop(1);
    if (!u.isEmpty() && static_cast<uint8_t>(u.back()) >= 0xC0) u.chop(1);
  }
  return u;
}

void put_text(char* p, const QString& text, int max_bytes) {
  const QByteArray u = fitted_utf8(text, max_bytes);
  p[0] = static_cast<char>(u.size());
  std::memcpy(p + 1, u.constData(), static_cast<size_t>(u.size()));
}

// A stored text: its length within bounds, zeros after it, valid UTF-8 without control
// characters. Empty optional when not.
std::optional<QString> get_text(const char* p, int max_bytes) {
  const int n = static_cast<uint8_t>(p[0]);
  if (n > max_bytes) return std::nullopt;
  for (int i = n; i < max_bytes; ++i)
    if (p[1 + i] != 0) return std::nullopt;
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(QByteArrayView(p + 1, n));
  if (utf8.hasError()) return std::nullopt;
  for (const QChar ch : text)
    if (ch.category() == QChar::Other_Control) return std::nullopt;
  return text;
}

CalibrationBlock damaged(const QString& problem) {
  return CalibrationBlock{CalibrationBlockStatus::Damaged, {}, problem};
}

}  // namespace

uint32_t crc32_ieee(QByteArrayView bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= static_cast<uint8_t>(c);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

QByteArray encode_calibration_block(std::span<const Calibration> channels) {
  QByteArray out(kCalibrationBlockSize, '\0');
  char* p = out.data();
  std::memcpy(p, kTag, 4);
  p[4] = static_cast<char>(kVersion);
  const int n = static_cast<int>(std::min<std::size_t>(channels.size(), kRecords));
  p[5] = static_cast<char>(n);
  for (int k = 0; k < n; ++k) {
    char* r = p + kRecordsAt + k * kRecordSize;
    const Calibration& c = channels[static_cast<std::size_t>(k)];
    put_float(r, c.gain);
    put_float(r + 4, c.offset);
    put_text(r + kNameAt, c.name, kNameBytes);
    put_text(r + kUnitAt, c.unit, kUnitBytes);
  }
  put_le32(p + kCrcAt, static_cast<int32_t>(crc32_ieee(QByteArrayView(p, kCrcAt))));
  return out;
}

CalibrationBlock decode_calibration_block(QByteArrayView header, int channel_count) {
  if (header.size() < kCalibrationBlockOffset + kCalibrationBlockSize) return {};
  const char* p = header.data() + kCalibrationBlockOffset;
  // Bytes another program put there are its own business.
  if (std::memcmp(p, kTag, 4) != 0) return {};
  if (static_cast<uint32_t>(get_le32(p + kCrcAt)) != crc32_ieee(QByteArrayView(p, kCrcAt)))
    return damaged(QStringLiteral("its checksum does not match"));
  if (p[4] != kVersion)
    return damaged(QStringLiteral("version %1 is unknown").arg(static_cast<uint8_t>(p[4])));
  const int n = static_cast<uint8_t>(p[5]);
  if (n != channel_count || n < 1 || n > kRecords)
    return damaged(QStringLiteral("it holds %1 channels, the file %2").arg(n).arg(channel_count));
  for (int i = kCrcAt + 4; i < kCalibrationBlockSize; ++i)
    if (p[i] != 0) return damaged(QStringLiteral("its last bytes are not zero"));
  CalibrationBlock out;
  out.status = CalibrationBlockStatus::Read;
  for (int k = 0; k < kRecords; ++k) {
    const char* r = p + kRecordsAt + k * kRecordSize;
    if (k >= n) {
      for (int i = 0; i < kRecordSize; ++i)
        if (r[i] != 0) return damaged(QStringLiteral("an unused record is not zero"));
      continue;
    }
    Calibration c;
    c.gain = get_le_float(r);
    c.offset = get_le_float(r + 4);
    const std::optional<QString> name = get_text(r + kNameAt, kNameBytes);
    const std::optional<QString> unit = get_text(r + kUnitAt, kUnitBytes);
    const bool finite_range = std::isfinite(c.physical(-32768.0f)) && std::isfinite(c.physical(32767.0f));
    if (!std::isfinite(c.gain) || !std::isfinite(c.offset) || c.gain == 0.0f || !finite_range)
      return damaged(QStringLiteral("channel %1 has no usable gain and offset").arg(k + 1));
    if (!name || !unit)
      return damaged(QStringLiteral("the name or unit of channel %1 is damaged").arg(k + 1));
    c.name = *name;
    c.unit = *unit;
    out.channels.push_back(c);
  }
  return out;
}

std::vector<Calibration> calibrations_to_store(const PerChannel<int16_t>& ch_source,
                                               const InputCalibrations& input_calibration) {
  std::vector<Calibration> recorded;
  bool any_set = false;
  for (int ch = 1; ch <= 3; ++ch) {
    const int input = ch_source[ch];
    if (input < 1) continue;
    const Calibration c = input <= kInputCount ? input_calibration[input] : Calibration{};
    any_set = any_set || !(input <= kInputCount && is_default(c, input));
    recorded.push_back(c);
  }
  if (!any_set) recorded.clear();
  return recorded;
}

PerChannel<Calibration> channel_calibrations(const CalibrationBlock& block) {
  PerChannel<Calibration> out;
  if (block.status != CalibrationBlockStatus::Read) return out;
  for (int ch = 1; ch <= 3 && ch <= static_cast<int>(block.channels.size()); ++ch)
    out[ch] = block.channels[static_cast<size_t>(ch - 1)];
  return out;
}

}  // namespace quarvel
