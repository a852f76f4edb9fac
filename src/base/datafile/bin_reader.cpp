#include "datafile/bin_reader.h"

#include <QBuffer>
#include <QByteArray>
#include <QIODevice>
#include <algorithm>
#include <limits>

#include "core/memory.h"
#include "core/typed_values.h"
#include "datafile/le_bytes.h"

namespace quarvel {

namespace {

constexpr int kPortions = 36;
constexpr int kOlderDataStart = 2;
constexpr int64_t kStreamFrames = 1 << 16;  // frames of a portion handed on by read_bin_frames

DataFileFailure read_failure(QIODevice& device, const QString& what) {
  return DataFileFailure{DataFileError::ReadFailed, QStringLiteral("%1: %2").arg(what, device.errorString())};
}

// Reads up to n bytes from the start of the device (fewer when the file is shorter).
Result<QByteArray> read_start(QIODevice& device, qint64 n) {
  if (!device.seek(0)) return read_failure(device, QStringLiteral("cannot position at the start"));
  QByteArray bytes = device.read(n);
  if (bytes.size() != n) return read_failure(device, QStringLiteral("reading the start of the file failed"));
  return bytes;
}

// Fills contents from the versioned header at the start of the file.
Status take_versioned_header(const QByteArray& start, BinContents& out) {
  Result<BinHeader> h = decode_bin_header(start);
  if (!h) return h.failure();
  if (Status st = check_bin_header(h.value()); !st) return st;
  out.format = BinFormat::Versioned;
  out.header = h.value();
  out.ch_source = pack_channel_list(out.header.ch_source);
  out.block_mode = Flag::from_stored(out.header.block_mode);
  out.sample_interval = static_cast<float>(static_cast<double>(out.header.interval_us) / 1000000);
  out.calibration = decode_calibration_block(start, out.header.channel_count);
  return {};
}

// Fills contents from the interval word of an older file and the user's channel count.
Status take_older_start(const QByteArray& start, const ChannelCountQuestion& ask_channel_count,
                        BinContents& out) {
  if (start.size() < kOlderDataStart) {
    return DataFileFailure{DataFileError::TooShort,
                           QStringLiteral("%1 bytes, too short for a sampling interval").arg(start.size())};
  }
  const int16_t interval_ms = get_le16(start.constData());
  if (interval_ms <= 0) {
    return DataFileFailure{DataFileError::BadSampleInterval,
                           QStringLiteral("sampling interval of %1 ms is not positive").arg(interval_ms)};
  }
  Result<int> c = channel_count_from_answer(ask_channel_count ? ask_channel_count() : QString(), 3);
  if (!c) return c.failure();
  out.format = BinFormat::Older;
  out.header = BinHeader{};
  out.header.channel_count = static_cast<int16_t>(c.value());
  for (int ch = 1; ch <= c.value(); ++ch) out.header.ch_source[ch] = 1;
  out.header.interval_us = static_cast<int32_t>(interval_ms) * 1000;
  out.ch_source = out.header.ch_source;
  out.block_mode = kFalse;
  out.sample_interval = static_cast<float>(interval_ms * 0.001);
  return {};
}

// What the decoding pass fills: the samples and marker words, and the first level of each one's
// summary, so that nothing reads the arrays a second time to summarise them.
struct Decoding {
  int16_t* dst[3] = {};
  int16_t* markers = nullptr;
  std::vector<Extremes> first_level[3];  // per block of kSummaryBlock frames; empty without levels
  std::vector<uint8_t> bits;
  int32_t max_abs[3] = {0, 0, 0};
};

// Decodes frames first..first+n-1 of C channels from p, a block of the summaries at a time; a
// block cut by the end of a portion is merged with what the next portion brings.
template <int C>
void decode_frames(const char* p, int64_t first, int64_t n, Decoding& d) {
  const bool summarise = !d.bits.empty();
  const int64_t end = first + n;
  for (int64_t i = first; i < end;) {
    const int64_t b = i >> kSummaryBlockShift;
    const int64_t stop = std::min(end, (b + 1) << kSummaryBlockShift);
    int32_t lo[C], hi[C];
    for (int k = 0; k < C; ++k) {
      lo[k] = std::numeric_limits<int32_t>::max();
      hi[k] = std::numeric_limits<int32_t>::min();
    }
    uint8_t bits = 0;
    for (; i < stop; ++i) {
      for (int k = 0; k < C; ++k) {
        // In int32, so that -32768 gives 32768 for the largest magnitude rather than overflowing.
        const int16_t word = get_le16(p);
        const int32_t v = word;
        p += 2;
        d.dst[k][i] = word;
        lo[k] = std::min(lo[k], v);
        hi[k] = std::max(hi[k], v);
      }
      const int16_t m = get_le16(p);
      p += 2;
      d.markers[i] = m;
      bits |= marker_bits(m);
    }
    for (int k = 0; k < C; ++k) {
      d.max_abs[k] = std::max({d.max_abs[k], -lo[k], hi[k]});
      if (!summarise) continue;
      Extremes& e = d.first_level[k][static_cast<size_t>(b)];
      e.lo = std::min(e.lo, static_cast<float>(lo[k]));
      e.hi = std::max(e.hi, static_cast<float>(hi[k]));
    }
    if (summarise) d.bits[static_cast<size_t>(b)] |= bits;
  }
}

// Frames of C channels at p into one run of n samples per channel (channel k from k * n) and
// the marker words.
template <int C>
void split_frames(const char* p, int64_t n, float* samples, int16_t* markers) {
  for (int64_t i = 0; i < n; ++i, p += 2 * (C + 1)) {
    for (int k = 0; k < C; ++k) samples[k * n + i] = static_cast<float>(get_le16(p + 2 * k));
    markers[i] = get_le16(p + 2 * C);
  }
}

}  // namespace

Result<BinContents> read_bin_layout(QIODevice& device, const ChannelCountQuestion& ask_channel_count) {
  if (!device.isReadable() || device.isSequential()) {
    return DataFileFailure{DataFileError::ReadFailed, QStringLiteral("the file is not open for reading")};
  }
  const qint64 size = device.size();
  Result<QByteArray> start = read_start(device, std::min<qint64>(size, kBinHeaderSize));
  if (!start) return start.failure();

  BinContents out;
  const bool versioned = has_bin_version(start.value());
  const Status st = versioned ? take_versioned_header(start.value(), out)
                              : take_older_start(start.value(), ask_channel_count, out);
  if (!st) return st.failure();

  const int c = out.channel_count();
  const int64_t frames = versioned ? bin_frame_count(size, c) : older_frame_count(size, c);
  // The program keeps one slot more than there are frames, indexed by int32.
  if (frames >= std::numeric_limits<int32_t>::max()) {
    return DataFileFailure{DataFileError::TooLarge, QStringLiteral("%1 frames are too many").arg(frames)};
  }
  // A block length is only believed as far as the file, or a block the program itself could have
  // recorded, can fill it: the average of one block is made that long.
  if (out.block_mode && out.header.block_length > std::max<int64_t>(frames, kMaxBlockLength)) {
    return DataFileFailure{
        DataFileError::BadBlockLength,
        QStringLiteral("block length %1 in a file of %2 frames").arg(out.header.block_length).arg(frames)};
  }
  out.sample_count = static_cast<int32_t>(frames);
  return out;
}

Status read_bin_frames(QIODevice& device, const BinContents& layout, const FramePortionSink& take,
                       const ReadProgress& progress) {
  const int c = layout.channel_count();
  if (c < 1 || c > 3) return DataFileFailure{DataFileError::BadChannelCount, QStringLiteral("no layout")};
  if (!device.seek(layout.format == BinFormat::Versioned ? kBinHeaderSize : kOlderDataStart))
    return read_failure(device, QStringLiteral("cannot position at the first frame"));
  // The last portion takes the rest and may be a little longer than the others.
  std::vector<float> samples;
  std::vector<int16_t> markers;
  const int64_t frames = layout.sample_count;
  // Portions of kStreamFrames, fewer reports than portions: progress as read_bin reports it.
  const int portions = static_cast<int>(std::clamp<int64_t>(frames / kStreamFrames, 1, kPortions));
  int64_t done = 0;
  int reported = 0;
  return read_in_portions(
      device, frames, static_cast<int>(frame_bytes(c)),
      static_cast<int>(std::max<int64_t>((frames + kStreamFrames - 1) / kStreamFrames, 1)), {},
      [&](const char* p, int64_t first, int64_t n) -> Status {
        if (static_cast<int64_t>(markers.size()) < n) {
          samples.resize(static_cast<std::size_t>(c * n));
          markers.resize(static_cast<std::size_t>(n));
        }
        FramePortion portion;
        portion.first = first;
        portion.count = n;
        for (int k = 0; k < c; ++k) portion.samples[static_cast<std::size_t>(k)] = samples.data() + k * n;
        portion.markers = markers.data();
        portion.markers_held = n;
        if (c == 1) split_frames<1>(p, n, samples.data(), markers.data());
        if (c == 2) split_frames<2>(p, n, samples.data(), markers.data());
        if (c == 3) split_frames<3>(p, n, samples.data(), markers.data());
        if (Status st = take(portion); !st) return st;
        done += n;
        const int due = static_cast<int>(done * portions / std::max<int64_t>(frames, 1));
        if (progress && due > reported) {
          reported = due;
          progress(static_cast<int>(done * 100 / std::max<int64_t>(frames, 1)));
        }
        return {};
      });
}

Result<BinContents> read_bin(QIODevice& device, const ChannelCountQuestion& ask_channel_count,
                             const ReadProgress& progress) {
  Result<BinContents> layout = read_bin_layout(device, ask_channel_count);
  if (!layout) return layout;
  BinContents& out = layout.value();
  const bool versioned = out.format == BinFormat::Versioned;
  const int c = out.channel_count();
  const int64_t frames = out.sample_count;
  // The samples as the file's whole numbers and a marker word for every frame: the file's frames,
  // checked before anything is allocated.
  if (Status st = check_memory_for(frames * (2LL * c + 2)); !st) return st.failure();
  // Every sample is written below; the spare slot of raw_data and of the markers is kept free so
  // that taking one more costs no copy.
  out.samples.redim_whole_for_filling(c, out.sample_count - 1, 1);
  out.markers.reserve(static_cast<std::size_t>(out.sample_count) + 1);
  advise_huge_pages(out.markers.data(), out.markers.capacity() * sizeof(int16_t));
  out.markers.resize(static_cast<std::size_t>(out.sample_count));
  if (!device.seek(versioned ? kBinHeaderSize : kOlderDataStart)) {
    return read_failure(device, QStringLiteral("cannot position at the first frame"));
  }

  Decoding d;
  for (int ch = 1; ch <= c; ++ch) d.dst[ch - 1] = out.samples.whole_channel_for_filling(ch);
  d.markers = out.markers.data();
  const size_t blocks = static_cast<size_t>(summary_blocks(frames));
  if (blocks > 0) {
    for (int k = 0; k < c; ++k) {
      d.first_level[k].reserve(blocks);
      advise_huge_pages(d.first_level[k].data(), blocks * sizeof(Extremes));
      d.first_level[k].resize(blocks);
    }
    d.bits.assign(blocks, 0);
  }
  const Status read = read_in_portions(device, frames, static_cast<int>(frame_bytes(c)), kPortions, progress,
                                       [&](const char* p, int64_t first, int64_t n) -> Status {
                                         if (c == 1) decode_frames<1>(p, first, n, d);
                                         if (c == 2) decode_frames<2>(p, first, n, d);
                                         if (c == 3) decode_frames<3>(p, first, n, d);
                                         return {};
                                       });
  if (!read) return read.failure();
  for (int ch = 1; ch <= c; ++ch) {
    out.ch_max[ch] = static_cast<float>(d.max_abs[ch - 1]);
    if (blocks > 0) out.samples.set_summary(ch, MinMaxSummary(frames, std::move(d.first_level[ch - 1])));
  }
  if (blocks > 0) out.marker_summary.emplace(frames, std::move(d.bits));
  return layout;
}

Result<BinContents> parse_bin(QByteArrayView bytes, const ChannelCountQuestion& ask_channel_count) {
  QByteArray raw = QByteArray::fromRawData(bytes.data(), bytes.size());
  QBuffer buffer(&raw);
  if (!buffer.open(QIODevice::ReadOnly)) {
    return DataFileFailure{DataFileError::ReadFailed, QStringLiteral("cannot open the bytes for reading")};
  }
  return read_bin(buffer, ask_channel_count);
}

}  // namespace quarvel
