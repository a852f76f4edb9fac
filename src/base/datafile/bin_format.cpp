#include "datafile/bin_format.h"

#include <QIODevice>
#include <cstring>

#include "core/numbers.h"
#include "core/typed_values.h"
#include "datafile/le_bytes.h"

namespace quarvel {

namespace {

// Field offsets of the header.
constexpr int kOffChannels = 12;
constexpr int kOffSources = 14;
constexpr int kOffBlockMode = 20;
constexpr int kOffBlockLength = 22;
constexpr int kOffStimDelay = 26;
constexpr int kOffStimCount = 28;
constexpr int kOffStimInterval = 30;
constexpr int kOffIntervalUs = 32;

}  // namespace

BinHeader bin_header_for_recording(const SharedState& s, const QString& dly1_text,
                                   const QString& stim_num_text, const QString& interval_text) {
  BinHeader h;
  h.channel_count = s.channel_count;
  h.ch_source = s.ch_source;
  h.block_mode = s.block_mode.stored();
  h.block_length = s.block_length;
  h.stim_delay = stimulus_setting(dly1_text);
  h.stim_count = stimulus_setting(stim_num_text);
  h.stim_interval = stimulus_setting(interval_text);
  h.interval_us = round_i32(static_cast<double>(s.sample_interval) * 1000 * 1000);
  return h;
}

QByteArray encode_bin_header(const BinHeader& h) {
  QByteArray out(kBinHeaderSize, '\0');
  char* p = out.data();
  std::memcpy(p, kBinVersionText, kBinVersionLength);
  put_le16(p + kOffChannels, h.channel_count);
  for (int ch = 1; ch <= 3; ++ch) put_le16(p + kOffSources + 2 * (ch - 1), h.ch_source[ch]);
  put_le16(p + kOffBlockMode, h.block_mode);
  put_le32(p + kOffBlockLength, h.block_length);
  put_le16(p + kOffStimDelay, h.stim_delay);
  put_le16(p + kOffStimCount, h.stim_count);
  put_le16(p + kOffStimInterval, h.stim_interval);
  put_le32(p + kOffIntervalUs, h.interval_us);
  return out;
}

bool has_bin_version(QByteArrayView bytes) {
  return bytes.size() >= kBinVersionLength &&
         std::memcmp(bytes.data(), kBinVersionText, kBinVersionLength) == 0;
}

Result<BinHeader> decode_bin_header(QByteArrayView bytes) {
  if (bytes.size() < kBinHeaderSize) {
    return DataFileFailure{
        DataFileError::TooShort,
        QStringLiteral("%1 bytes, shorter than the %2-byte header").arg(bytes.size()).arg(kBinHeaderSize)};
  }
  if (!has_bin_version(bytes)) {
    return DataFileFailure{DataFileError::NotVersioned,
                           QStringLiteral("the file does not start with \"Version 1.00\"")};
  }
  const char* p = bytes.data();
  BinHeader h;
  h.channel_count = get_le16(p + kOffChannels);
  for (int ch = 1; ch <= 3; ++ch) h.ch_source[ch] = get_le16(p + kOffSources + 2 * (ch - 1));
  h.block_mode = get_le16(p + kOffBlockMode);
  h.block_length = get_le32(p + kOffBlockLength);
  h.stim_delay = get_le16(p + kOffStimDelay);
  h.stim_count = get_le16(p + kOffStimCount);
  h.stim_interval = get_le16(p + kOffStimInterval);
  h.interval_us = get_le32(p + kOffIntervalUs);
  return h;
}

Status check_bin_header(const BinHeader& h) {
  if (h.channel_count < 1 || h.channel_count > 3) {
    return DataFileFailure{DataFileError::BadChannelCount,
                           QStringLiteral("channel count %1 is not 1, 2 or 3").arg(h.channel_count)};
  }
  if (h.interval_us <= 0) {
    return DataFileFailure{DataFileError::BadSampleInterval,
                           QStringLiteral("sampling interval of %1 us is not positive").arg(h.interval_us)};
  }
  if (h.block_mode != 0 && h.block_length <= 0) {
    return DataFileFailure{DataFileError::BadBlockLength,
                           QStringLiteral("block file with a block length of %1").arg(h.block_length)};
  }
  return {};
}

PerChannel<int16_t> pack_channel_list(const PerChannel<int16_t>& stored) {
  PerChannel<int16_t> packed = PerChannel<int16_t>::filled(0);
  int next = 1;
  for (int ch = 1; ch <= 3; ++ch) {
    if (stored[ch] > 0) packed[next++] = stored[ch];
  }
  return packed;
}

int64_t bin_frame_count(int64_t file_size, int channels) {
  if (channels < 1 || file_size <= kBinHeaderSize) return 0;
  return (file_size - kBinHeaderSize) / frame_bytes(channels);
}

int64_t older_frame_count(int64_t file_size, int channels) {
  if (channels < 1 || file_size <= 2) return 0;
  return (file_size - 2) / frame_bytes(channels);
}

void append_frame(QByteArray& out, std::span<const int16_t> samples, int16_t marker) {
  const qsizetype at = out.size();
  out.resize(at + 2 * (static_cast<qsizetype>(samples.size()) + 1));
  char* p = out.data() + at;
  for (const int16_t v : samples) {
    put_le16(p, v);
    p += 2;
  }
  put_le16(p, marker);
}

QByteArray encode_frames(const SampleArray& data, const PerChannel<int16_t>& ch_source,
                         const std::vector<int16_t>& markers, int32_t first, int32_t last) {
  QByteArray out;
  if (last < first) return out;
  int active[3];
  int c = 0;
  for (int ch = 1; ch <= 3; ++ch) {
    if (ch_source[ch] > 0) active[c++] = ch;
  }
  out.resize(static_cast<qsizetype>(last - first + 1) * frame_bytes(c));
  char* p = out.data();
  for (int32_t s = first; s <= last; ++s) {
    for (int k = 0; k < c; ++k) {
      put_le16(p, data.has(active[k], s) ? round_i16(data(active[k], s)) : int16_t{0});
      p += 2;
    }
    const bool has_marker = s >= 0 && static_cast<std::size_t>(s) < markers.size();
    put_le16(p, has_marker ? markers[static_cast<std::size_t>(s)] : int16_t{0});
    p += 2;
  }
  return out;
}

}  // namespace quarvel
