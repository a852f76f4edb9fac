// Guards the bytes of the .bin files the program writes: the 128-byte header byte for byte, the
// header built from the recording settings, the packing of the channel list, the frame count of a
// file, and the frames of a recording chunk or a saved block.
#include <gtest/gtest.h>
#include <QBuffer>

#include "datafile/bin_format.h"
#include "base/datafile/byte_helpers.h"

using namespace quarvel;
using quarvel::testing::bytes_of;
using quarvel::testing::version_bytes;

namespace {

// Continuous, 10 Hz, display channels 1 and 3 recording inputs 2 and 4.
BinHeader two_channel_header() {
  BinHeader h;
  h.channel_count = 2;
  h.ch_source = {2, 0, 4};
  h.block_mode = 0;
  h.block_length = -1;
  h.stim_delay = 10;
  h.stim_count = 3;
  h.stim_interval = 5;
  h.interval_us = 100000;
  return h;
}

QByteArray zeros(int n) {
  return QByteArray(n, '\0');
}

}  // namespace

TEST(BinHeaderBytes, TwoChannelContinuousHeaderByteForByte) {
  const QByteArray expected = version_bytes() +
                              bytes_of({0x02, 0x00,                          // C = 2
                                        0x02, 0x00, 0x00, 0x00, 0x04, 0x00,  // inputs 2, 0, 4
                                        0x00, 0x00,                          // continuous
                                        0xFF, 0xFF, 0xFF, 0xFF,              // no block length
                                        0x0A, 0x00, 0x03, 0x00, 0x05, 0x00,  // 10 ms, 3 stimuli, 5 ms
                                        0xA0, 0x86, 0x01, 0x00}) +           // 100000 us
                              zeros(92);
  const QByteArray got = encode_bin_header(two_channel_header());
  ASSERT_EQ(got.size(), 128);
  EXPECT_EQ(got.toHex(' '), expected.toHex(' '));
}

TEST(BinHeaderBytes, BlockFlagIsStoredAsAllBitsSet) {
  BinHeader h;
  h.channel_count = 1;
  h.ch_source = {1, 0, 0};
  h.block_mode = -1;
  h.block_length = 500;
  h.stim_count = 1;
  h.interval_us = 1000;
  const QByteArray got = encode_bin_header(h);
  EXPECT_EQ(got.mid(20, 2), bytes_of({0xFF, 0xFF}));
  EXPECT_EQ(got.mid(22, 4), bytes_of({0xF4, 0x01, 0x00, 0x00}));
  EXPECT_EQ(got.mid(32, 4), bytes_of({0xE8, 0x03, 0x00, 0x00}));
  EXPECT_EQ(got.mid(36), zeros(92));
}

TEST(BinHeaderBytes, DecodesWhatWasWrittenAndIgnoresTheUnusedBytes) {
  QByteArray bytes = encode_bin_header(two_channel_header());
  for (int i = 36; i < 128; ++i) bytes[i] = static_cast<char>(0xA5 ^ i);
  Result<BinHeader> h = decode_bin_header(bytes);
  ASSERT_TRUE(h.ok());
  EXPECT_EQ(h.value(), two_channel_header());

  // Negative values and the largest int32 survive the trip through the little-endian fields.
  BinHeader odd = two_channel_header();
  odd.block_mode = -1;
  odd.block_length = 2147483647;
  odd.stim_delay = -32768;
  odd.interval_us = 30;
  ASSERT_TRUE(decode_bin_header(encode_bin_header(odd)).ok());
  EXPECT_EQ(decode_bin_header(encode_bin_header(odd)).value(), odd);
}

TEST(BinHeaderBytes, ShortBufferAndWrongVersionAreReported) {
  const QByteArray good = encode_bin_header(two_channel_header());
  EXPECT_EQ(decode_bin_header(good.left(127)).error(), DataFileError::TooShort);
  EXPECT_EQ(decode_bin_header(QByteArray()).error(), DataFileError::TooShort);

  QByteArray wrong = good;
  wrong[8] = '2';  // "Version 2.00"
  EXPECT_EQ(decode_bin_header(wrong).error(), DataFileError::NotVersioned);
  EXPECT_FALSE(has_bin_version(wrong));
  EXPECT_TRUE(has_bin_version(good.left(12)));
  EXPECT_FALSE(has_bin_version(good.left(11)));
}

TEST(BinHeaderBytes, CheckRejectsWhatTheReaderCannotLoad) {
  BinHeader h = two_channel_header();
  EXPECT_TRUE(check_bin_header(h).ok());
  for (int16_t c : {0, 4, -1}) {
    h = two_channel_header();
    h.channel_count = c;
    EXPECT_EQ(check_bin_header(h).error(), DataFileError::BadChannelCount) << c;
  }
  for (int32_t us : {0, -100}) {
    h = two_channel_header();
    h.interval_us = us;
    EXPECT_EQ(check_bin_header(h).error(), DataFileError::BadSampleInterval) << us;
  }
  for (int32_t len : {0, -1}) {
    h = two_channel_header();
    h.block_mode = -1;
    h.block_length = len;
    EXPECT_EQ(check_bin_header(h).error(), DataFileError::BadBlockLength) << len;
  }
  h = two_channel_header();
  h.block_length = -1;  // no block length is fine in a continuous file
  EXPECT_TRUE(check_bin_header(h).ok());
}

TEST(RecordingHeader, TakesTheSettingsAndRoundsTheNumbers) {
  SharedState s;
  s.channel_count = 2;
  s.ch_source = {2, 0, 4};
  s.sample_interval = 0.1f;  // 10 Hz
  BinHeader h = bin_header_for_recording(s, "10", "3", "5");
  EXPECT_EQ(h, two_channel_header());

  s.block_mode = kTrue;
  s.block_length = 500;
  s.sample_interval = 0.001f;
  h = bin_header_for_recording(s, "2.5", "3.5 stimuli", "abc");
  EXPECT_EQ(h.block_mode, -1) << "stored as -1";
  EXPECT_EQ(h.block_length, 500);
  EXPECT_EQ(h.interval_us, 1000);
  EXPECT_EQ(h.stim_delay, 2) << "ties go to the even number";
  EXPECT_EQ(h.stim_count, 4);
  EXPECT_EQ(h.stim_interval, 0) << "a text without a number";

  s.sample_interval = 30e-6f;
  EXPECT_EQ(bin_header_for_recording(s, "", "", "").interval_us, 30);
}

TEST(ChannelList, InputsArePackedToTheFront) {
  EXPECT_EQ(pack_channel_list({2, 0, 4}), (PerChannel<int16_t>{2, 4, 0}));
  EXPECT_EQ(pack_channel_list({0, 0, 3}), (PerChannel<int16_t>{3, 0, 0}));
  EXPECT_EQ(pack_channel_list({1, 2, 3}), (PerChannel<int16_t>{1, 2, 3}));
  EXPECT_EQ(pack_channel_list({-1, 0, 0}), (PerChannel<int16_t>{0, 0, 0}));
}

TEST(FrameCount, WholeFramesAfterTheHeader) {
  for (int c = 1; c <= 3; ++c) {
    for (int64_t n : {0, 1, 7, 1000}) {
      const int64_t exact = 128 + 2 * (c + 1) * n;
      EXPECT_EQ(bin_frame_count(exact, c), n) << c << " channels";
      // Every trailing length that does not fill one more frame is ignored.
      for (int extra = 1; extra < 2 * (c + 1); ++extra) EXPECT_EQ(bin_frame_count(exact + extra, c), n);
      EXPECT_EQ(older_frame_count(2 + 2 * (c + 1) * n, c), n);
      EXPECT_EQ(older_frame_count(2 + 2 * (c + 1) * n + 2 * c, c), n) << "a last frame without its marker";
    }
  }
  EXPECT_EQ(bin_frame_count(100, 1), 0);
  EXPECT_EQ(older_frame_count(1, 1), 0);
}

TEST(Frames, EachFrameIsTheSamplesThenTheMarker) {
  QByteArray out;
  const int16_t one[] = {100, -2};
  append_frame(out, one, 200);
  const int16_t two[] = {-32768, 32767};
  append_frame(out, two, 0);
  EXPECT_EQ(out.toHex(' '), bytes_of({0x64, 0x00, 0xFE, 0xFF, 0xC8, 0x00,  //
                                      0x00, 0x80, 0xFF, 0x7F, 0x00, 0x00})
                                .toHex(' '));
}

TEST(Frames, SavedBlockTakesTheChannelsWithAnInputRounded) {
  SampleArray data;
  data.redim(3, 2);
  const float ch1[] = {1.5f, -32768.4f, 40000.0f};
  const float ch2[] = {9.0f, 9.0f, 9.0f};  // no input: not written
  const float ch3[] = {2.5f, -1.0f, 7.4f};
  for (int i = 0; i < 3; ++i) {
    data(1, i) = ch1[i];
    data(2, i) = ch2[i];
    data(3, i) = ch3[i];
  }
  const std::vector<int16_t> markers = {0, 100, 200};
  const QByteArray all = encode_frames(data, {2, 0, 4}, markers, 0, 2);
  EXPECT_EQ(all.toHex(' '), bytes_of({0x02, 0x00, 0x02, 0x00, 0x00, 0x00,   // 1.5 -> 2, 2.5 -> 2
                                      0x00, 0x80, 0xFF, 0xFF, 0x64, 0x00,   // -32768, -1, marker on
                                      0xFF, 0x7F, 0x07, 0x00, 0xC8, 0x00})  // saturated 32767, 7, stimulus
                                .toHex(' '));
  EXPECT_EQ(encode_frames(data, {2, 0, 4}, markers, 1, 2), all.mid(6));
  EXPECT_TRUE(encode_frames(data, {2, 0, 4}, markers, 2, 1).isEmpty());
  // Markers shorter than the block: the missing ones are written as 0, never read past the end.
  EXPECT_EQ(encode_frames(data, {0, 1, 0}, {}, 0, 0), bytes_of({0x09, 0x00, 0x00, 0x00}));
}
