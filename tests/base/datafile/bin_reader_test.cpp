// Guards the reading of .bin files: the versioned and the older header-less format, whole frames
// only, the channel maximum of -32768, progress reports, and malformed files and answers reported
// as failures rather than read past their end; the summaries made while decoding, which must
// answer as reading every sample and marker word would, also after the window grows the arrays.
#include <gtest/gtest.h>
#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cctype>
#include <random>

#include "core/marker_array.h"
#include "display/curve_plan.h"

#include "datafile/bin_format.h"
#include "datafile/bin_reader.h"
#include "base/datafile/byte_helpers.h"

using namespace quarvel;
using quarvel::testing::bytes_of;
using quarvel::testing::version_bytes;

namespace {

// A header built byte by byte: C, inputs, block flag, block length, 1 ms sampling interval.
QByteArray header_bytes(int c, std::initializer_list<int> inputs, bool block, int block_length_low,
                        int interval_low = 0xE8, int interval_high = 0x03) {
  QByteArray h = version_bytes() + bytes_of({c, 0});
  for (int in : inputs) h += bytes_of({in, 0});
  h += block ? bytes_of({0xFF, 0xFF}) : bytes_of({0, 0});
  h += block_length_low < 0 ? bytes_of({0xFF, 0xFF, 0xFF, 0xFF}) : bytes_of({block_length_low, 0, 0, 0});
  h += bytes_of({20, 0, 2, 0, 50, 0});  // 20 ms delay, 2 stimuli, 50 ms apart
  h += bytes_of({interval_low, interval_high, 0, 0});
  return h + QByteArray(92, '\0');
}

// `file` with the bytes from `offset` on replaced.
QByteArray patched(QByteArray file, int offset, std::initializer_list<int> values) {
  for (int v : values) file[offset++] = static_cast<char>(v);
  return file;
}

QString never_asked() {
  ADD_FAILURE() << "the channel count must not be asked for a versioned file";
  return QStringLiteral("1");
}

}  // namespace

TEST(ReadVersioned, TwoChannelsOnDisplayChannelsOneAndThree) {
  const QByteArray file = header_bytes(2, {2, 0, 4}, false, -1) +
                          bytes_of({0x0A, 0x00, 0xF6, 0xFF, 0x00, 0x00,    // 10, -10, no mark
                                    0xE8, 0x03, 0x30, 0xF8, 0x64, 0x00,    // 1000, -2000, marker on
                                    0x00, 0x80, 0xFF, 0x7F, 0xC8, 0x00});  // -32768, 32767, stimulus
  Result<BinContents> r = parse_bin(file, never_asked);
  ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
  const BinContents& d = r.value();
  EXPECT_EQ(d.format, BinFormat::Versioned);
  EXPECT_EQ(d.channel_count(), 2);
  EXPECT_EQ(d.header.ch_source, (PerChannel<int16_t>{2, 0, 4}));
  EXPECT_EQ(d.ch_source, (PerChannel<int16_t>{2, 4, 0}));
  EXPECT_EQ(d.block_mode, kFalse);
  EXPECT_EQ(d.header.block_length, -1);
  EXPECT_EQ(d.header.stim_delay, 20);
  EXPECT_EQ(d.header.stim_count, 2);
  EXPECT_EQ(d.header.stim_interval, 50);
  EXPECT_FLOAT_EQ(d.sample_interval, 0.001f);
  ASSERT_EQ(d.sample_count, 3);
  ASSERT_EQ(d.samples.channels(), 2);
  ASSERT_EQ(d.samples.size(), 3);
  EXPECT_EQ(d.samples(1, 0), 10);
  EXPECT_EQ(d.samples(2, 0), -10);
  EXPECT_EQ(d.samples(1, 1), 1000);
  EXPECT_EQ(d.samples(2, 1), -2000);
  EXPECT_EQ(d.samples(1, 2), -32768);
  EXPECT_EQ(d.samples(2, 2), 32767);
  EXPECT_EQ(d.markers, (std::vector<int16_t>{0, 100, 200}));
  EXPECT_EQ(d.ch_max[1], 32768) << "the absolute value of -32768";
  EXPECT_EQ(d.ch_max[2], 32767);
  EXPECT_EQ(d.ch_max[3], 0);
}

TEST(ReadVersioned, BlockFileAndATruncatedLastFrame) {
  // One channel, blocks of 2 frames; the last frame lost its marker word.
  const QByteArray file =
      header_bytes(1, {3, 0, 0}, true, 2) + bytes_of({0x05, 0x00, 0xC8, 0x00, 0xFB, 0xFF, 0x00, 0x00,  //
                                                      0x07, 0x00});
  Result<BinContents> r = parse_bin(file, never_asked);
  ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
  EXPECT_EQ(r.value().block_mode, kTrue);
  EXPECT_EQ(r.value().header.block_length, 2);
  EXPECT_EQ(r.value().ch_source, (PerChannel<int16_t>{3, 0, 0}));
  ASSERT_EQ(r.value().sample_count, 2);
  EXPECT_EQ(r.value().samples(1, 0), 5);
  EXPECT_EQ(r.value().samples(1, 1), -5);
  EXPECT_EQ(r.value().markers, (std::vector<int16_t>{200, 0}));
  EXPECT_EQ(r.value().ch_max[1], 5);
}

TEST(ReadVersioned, AnyNonZeroModeFlagIsABlockFileAndTheUnusedBytesDoNotMatter) {
  QByteArray file = header_bytes(1, {1, 0, 0}, true, 4) + bytes_of({1, 0, 0, 0});
  file[20] = 1;
  file[21] = 0;
  for (int i = 36; i < 128; ++i) file[i] = static_cast<char>(0xFF);
  Result<BinContents> r = parse_bin(file, never_asked);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value().block_mode, kTrue);
  EXPECT_EQ(r.value().header.block_mode, 1) << "the header keeps the stored value";
  EXPECT_EQ(r.value().sample_count, 1);
}

TEST(ReadVersioned, HeaderOnlyGivesNoFrames) {
  Result<BinContents> r = parse_bin(header_bytes(3, {1, 2, 3}, false, -1), never_asked);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value().sample_count, 0);
  EXPECT_EQ(r.value().samples.size(), 0);
  EXPECT_TRUE(r.value().markers.empty());
  EXPECT_EQ(r.value().ch_max, (PerChannel<float>{0, 0, 0}));
}

TEST(ReadVersioned, WrittenFramesReadBackUnchanged) {
  BinHeader h;
  h.channel_count = 3;
  h.ch_source = {1, 2, 3};
  h.interval_us = 5000;
  QByteArray file = encode_bin_header(h);
  std::vector<int16_t> expected;
  for (int i = 0; i < 1000; ++i) {
    const int16_t f[] = {static_cast<int16_t>(i * 37 - 18000), static_cast<int16_t>(-i),
                         static_cast<int16_t>(i % 7)};
    append_frame(file, f, static_cast<int16_t>(i % 3 == 0 ? 100 : 0));
    expected.insert(expected.end(), std::begin(f), std::end(f));
  }
  Result<BinContents> r = parse_bin(file, never_asked);
  ASSERT_TRUE(r.ok());
  ASSERT_EQ(r.value().sample_count, 1000);
  for (int i = 0; i < 1000; ++i) {
    for (int ch = 1; ch <= 3; ++ch)
      ASSERT_EQ(r.value().samples(ch, i), expected[3 * i + ch - 1]) << i << "," << ch;
    ASSERT_EQ(r.value().markers[i], i % 3 == 0 ? 100 : 0);
  }
  EXPECT_EQ(r.value().ch_max[1], 18963) << "frame 999: 999 x 37 - 18000";
  EXPECT_EQ(r.value().ch_max[2], 999);
  EXPECT_EQ(r.value().ch_max[3], 6);
  EXPECT_FLOAT_EQ(r.value().sample_interval, 0.005f);
}

TEST(ReadOlder, WordLayoutWithAMarkerWordPerFrame) {
  int asked = 0;
  // 5 ms; two channels: frames (1, 2 | 100), (3, -4 | 0), then a cut-off frame (5, 6).
  const QByteArray file = bytes_of({0x05, 0x00,                          //
                                    0x01, 0x00, 0x02, 0x00, 0x64, 0x00,  //
                                    0x03, 0x00, 0xFC, 0xFF, 0x00, 0x00,  //
                                    0x05, 0x00, 0x06, 0x00});
  Result<BinContents> r = parse_bin(file, [&] {
    ++asked;
    return QStringLiteral("2");
  });
  ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
  EXPECT_EQ(asked, 1);
  const BinContents& d = r.value();
  EXPECT_EQ(d.format, BinFormat::Older);
  EXPECT_EQ(d.channel_count(), 2);
  EXPECT_EQ(d.ch_source, (PerChannel<int16_t>{1, 1, 0}));
  EXPECT_EQ(d.block_mode, kFalse);
  EXPECT_EQ(d.header.block_length, -1);
  EXPECT_EQ(d.header.interval_us, 5000);
  EXPECT_FLOAT_EQ(d.sample_interval, 0.005f);
  ASSERT_EQ(d.sample_count, 2);
  EXPECT_EQ(d.samples(1, 0), 1);
  EXPECT_EQ(d.samples(2, 0), 2);
  EXPECT_EQ(d.samples(1, 1), 3);
  EXPECT_EQ(d.samples(2, 1), -4);
  EXPECT_EQ(d.markers, (std::vector<int16_t>{100, 0}));
  EXPECT_EQ(d.ch_max[1], 3);
  EXPECT_EQ(d.ch_max[2], 4);
}

TEST(ReadOlder, AnAlmostVersionTextIsTheOlderFormat) {
  QByteArray file = version_bytes();
  file[11] = '1';  // "Version 1.01": first word "Ve" = 0x6556, a positive interval in ms
  Result<BinContents> r = parse_bin(file, [] { return QStringLiteral("1"); });
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value().format, BinFormat::Older);
  EXPECT_EQ(r.value().sample_count, 2);        // 10 bytes after the interval word: two frames of 4
  EXPECT_EQ(r.value().samples(1, 0), 0x7372);  // "rs"
  EXPECT_EQ(r.value().markers[0], 0x6F69);     // "io"
}

TEST(ChannelAnswer, NumbersFromOneToTheMaximum) {
  EXPECT_EQ(channel_count_from_answer("1", 3).value(), 1);
  EXPECT_EQ(channel_count_from_answer(" 3 ", 3).value(), 3);
  EXPECT_EQ(channel_count_from_answer("2.4", 3).value(), 2);
  EXPECT_EQ(channel_count_from_answer("2.5", 3).value(), 2);
  for (const char* bad : {"", "0", "4", "-1", "abc", "2 channels", "nan", "inf", "0.4"}) {
    EXPECT_EQ(channel_count_from_answer(bad, 3).error(), DataFileError::BadChannelAnswer) << bad;
  }
  EXPECT_EQ(channel_count_from_answer("3", 2).error(), DataFileError::BadChannelAnswer);
}

struct MalformedCase {
  const char* name;
  QByteArray file;
  const char* answer;
  DataFileError error;
};

class MalformedBin : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedBin, IsReportedNotRead) {
  const MalformedCase& c = GetParam();
  Result<BinContents> r = parse_bin(c.file, [&] { return QString::fromLatin1(c.answer); });
  ASSERT_FALSE(r.ok()) << c.name;
  EXPECT_EQ(r.error(), c.error) << c.name << ": " << r.failure().detail.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, MalformedBin,
    ::testing::Values(MalformedCase{"versioned shorter than its header",
                                    header_bytes(1, {1, 0, 0}, false, -1).left(127), "1",
                                    DataFileError::TooShort},
                      MalformedCase{"version text only", version_bytes(), "1", DataFileError::TooShort},
                      MalformedCase{"empty file", QByteArray(), "1", DataFileError::TooShort},
                      MalformedCase{"older file of one byte", bytes_of({5}), "1", DataFileError::TooShort},
                      MalformedCase{"no channels", header_bytes(0, {0, 0, 0}, false, -1), "1",
                                    DataFileError::BadChannelCount},
                      MalformedCase{"four channels", header_bytes(4, {1, 2, 3}, false, -1), "1",
                                    DataFileError::BadChannelCount},
                      MalformedCase{"negative channels",
                                    patched(header_bytes(1, {1, 0, 0}, false, -1), 12, {0xFF, 0xFF}), "1",
                                    DataFileError::BadChannelCount},
                      MalformedCase{"block file without a block length", header_bytes(1, {1, 0, 0}, true, -1),
                                    "1", DataFileError::BadBlockLength},
                      MalformedCase{"block file with block length 0", header_bytes(1, {1, 0, 0}, true, 0),
                                    "1", DataFileError::BadBlockLength},
                      MalformedCase{"zero sampling interval", header_bytes(1, {1, 0, 0}, false, -1, 0, 0),
                                    "1", DataFileError::BadSampleInterval},
                      MalformedCase{"older zero interval", bytes_of({0, 0, 1, 0, 0, 0}), "1",
                                    DataFileError::BadSampleInterval},
                      MalformedCase{"older negative interval", bytes_of({0xFF, 0xFF, 1, 0, 0, 0}), "1",
                                    DataFileError::BadSampleInterval},
                      MalformedCase{"older, cancelled answer", bytes_of({1, 0, 1, 0, 0, 0}), "",
                                    DataFileError::BadChannelAnswer},
                      MalformedCase{"older, four channels", bytes_of({1, 0, 1, 0, 0, 0}), "4",
                                    DataFileError::BadChannelAnswer},
                      MalformedCase{"older, zero channels", bytes_of({1, 0, 1, 0, 0, 0}), "0",
                                    DataFileError::BadChannelAnswer},
                      MalformedCase{"older, not a number", bytes_of({1, 0, 1, 0, 0, 0}), "x",
                                    DataFileError::BadChannelAnswer}),
    [](const ::testing::TestParamInfo<MalformedCase>& info) {
      std::string n;
      for (const char* p = info.param.name; *p; ++p)
        n += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
      return n;
    });

namespace {

// A buffer that claims to be longer than it is, as a file cut short while it is read.
class ShrinkingBuffer : public QBuffer {
 public:
  using QBuffer::QBuffer;
  qint64 size() const override { return QBuffer::size() + 600; }
};

}  // namespace

TEST(ReadDevice, AFileThatEndsEarlyIsAReadFailure) {
  QByteArray file = header_bytes(1, {1, 0, 0}, false, -1) + QByteArray(400, '\1');
  ShrinkingBuffer dev(&file);
  ASSERT_TRUE(dev.open(QIODevice::ReadOnly));
  Result<BinContents> r = read_bin(dev, never_asked);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error(), DataFileError::ReadFailed);
}

TEST(ReadDevice, AClosedDeviceIsAReadFailure) {
  QByteArray file = header_bytes(1, {1, 0, 0}, false, -1);
  QBuffer dev(&file);
  EXPECT_EQ(read_bin(dev, never_asked).error(), DataFileError::ReadFailed);
}

TEST(ReadDevice, ProgressRisesInPortionsToOneHundred) {
  QByteArray file = header_bytes(2, {1, 2, 0}, false, -1) + QByteArray(1000 * 6, '\0');
  QBuffer dev(&file);
  ASSERT_TRUE(dev.open(QIODevice::ReadOnly));
  std::vector<int> reports;
  Result<BinContents> r = read_bin(dev, never_asked, [&](int pct) { reports.push_back(pct); });
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value().sample_count, 1000);
  ASSERT_EQ(reports.size(), 36u) << "35 portions of 27 frames, the rest, then 100";
  EXPECT_EQ(reports.front(), 3) << "27 of 1000 frames";
  EXPECT_EQ(reports.back(), 100);
  EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
}

// A file that shrinks while it is read: its size said more bytes than it then gives.
class ShrinkingFile : public QBuffer {
 public:
  using QBuffer::QBuffer;
  qint64 size() const override { return QBuffer::size() + 4000; }
};

TEST(ReadDevice, AFileThatShrinksWhileReadIsAReadFailure) {
  BinHeader h;
  h.channel_count = 1;
  h.ch_source = {1, 0, 0};
  h.interval_us = 1000;
  QByteArray bytes = encode_bin_header(h);
  const int16_t v[] = {3};
  for (int i = 0; i < 100; ++i) append_frame(bytes, v, 0);
  ShrinkingFile dev(&bytes);
  ASSERT_TRUE(dev.open(QIODevice::ReadOnly));
  const Result<BinContents> r = read_bin(dev, never_asked);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error(), DataFileError::ReadFailed);
}

TEST(ReadDevice, ALoadMustFitThreeQuartersOfTheMachinesMemory) {
  EXPECT_TRUE(check_memory_for(750, 1000).ok());
  const Status big = check_memory_for(int64_t{13} << 30, int64_t{16} << 30);
  ASSERT_FALSE(big.ok());
  EXPECT_EQ(big.error(), DataFileError::TooLarge);
  EXPECT_EQ(big.failure().detail, "the file needs 13312 MB of memory; this machine has 16384 MB");
  EXPECT_TRUE(check_memory_for(int64_t{1} << 40, 0).ok()) << "a machine that does not say is not refused";
}

TEST(ReadDevice, ReadsARealFileFromItsStart) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile f(dir.filePath("data01.bin"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  BinHeader h;
  h.channel_count = 1;
  h.ch_source = {0, 2, 0};
  h.interval_us = 100000;
  QByteArray bytes = encode_bin_header(h);
  const int16_t v[] = {-7};
  for (int i = 0; i < 25; ++i) append_frame(bytes, v, 0);
  f.write(bytes);
  f.close();
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  f.seek(50);  // the reader positions itself
  Result<BinContents> r = read_bin(f, never_asked);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value().sample_count, 25);
  EXPECT_EQ(r.value().ch_source, (PerChannel<int16_t>{2, 0, 0}));
  EXPECT_EQ(r.value().samples(1, 24), -7);
  EXPECT_EQ(r.value().ch_max[1], 7);
}

// Frames counts: under one block, a partial last block, blocks cut by the reader's portions.
class ReaderSummaries : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(ReaderSummaries, AnswerAsReadingEveryValue) {
  const auto [channels, frames] = GetParam();
  std::mt19937 gen(static_cast<unsigned>(frames * 3 + channels));
  std::uniform_int_distribution<int> value(-32768, 32767);
  std::discrete_distribution<int> kind({95, 4, 1});
  BinHeader h;
  h.channel_count = static_cast<int16_t>(channels);
  h.ch_source = {1, 2, 3};
  h.interval_us = 1000;
  QByteArray file = encode_bin_header(h);
  for (int i = 0; i < frames; ++i) {
    int16_t f[3];
    for (int k = 0; k < channels; ++k) f[k] = static_cast<int16_t>(value(gen));
    append_frame(file, std::span<const int16_t>(f, static_cast<size_t>(channels)), static_cast<int16_t>(kind(gen) * 100));
  }
  QBuffer dev(&file);
  ASSERT_TRUE(dev.open(QIODevice::ReadOnly));
  Result<BinContents> r = read_bin(dev, never_asked, [](int) {});
  ASSERT_TRUE(r.ok());
  BinContents& c = r.value();
  ASSERT_EQ(c.sample_count, frames);
  ASSERT_EQ(c.marker_summary.has_value(), frames > 32);
  const std::vector<int16_t> words = c.markers;
  MarkerArray m = c.marker_summary ? MarkerArray(std::move(c.markers), std::move(*c.marker_summary))
                                   : MarkerArray(std::move(c.markers));
  // Grown by a frame as the window grows them: the summaries follow.
  for (const bool grown : {false, true}) {
    const int64_t n = frames + (grown ? 1 : 0);
    if (grown) {
      c.samples.reshape(channels, frames);
      m.resize(static_cast<size_t>(n), 100);
    }
    std::uniform_int_distribution<int64_t> at(0, n - 1);
    for (int q = 0; q < 400; ++q) {
      int64_t a = at(gen), b = at(gen);
      if (a > b) std::swap(a, b);
      for (int ch = 1; ch <= channels; ++ch) {
        const ValueRange want = column_range(c.samples.channel(ch), n, a, b, 0);
        const Extremes got = c.samples.extremes(ch, a, b);
        ASSERT_EQ(got.lo, want.min) << ch << ": " << a << ".." << b;
        ASSERT_EQ(got.hi, want.max) << ch << ": " << a << ".." << b;
      }
      for (const MarkerTest t : {MarkerTest::On, MarkerTest::NotOn, MarkerTest::Stimulus}) {
        int64_t first = -1, last = -1;
        for (int64_t i = a; i <= b; ++i) {
          const int16_t w = i < frames ? words[static_cast<size_t>(i)] : int16_t{100};
          if (!passes(w, t)) continue;
          if (first < 0) first = i;
          last = i;
        }
        ASSERT_EQ(m.first(a, b, t), first) << static_cast<int>(t) << ": " << a << ".." << b;
        ASSERT_EQ(m.last(a, b, t), last) << static_cast<int>(t) << ": " << a << ".." << b;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, ReaderSummaries,
                         ::testing::Combine(::testing::Values(1, 2, 3), ::testing::Values(20, 1057, 70001)));
