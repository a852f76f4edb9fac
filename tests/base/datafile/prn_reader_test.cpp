// Guards the import of Labtech .prn files: float32 values kept × 100, two channels interleaved, the
// channel maxima, and sizes, channel counts and values that cannot be read reported as failures.
#include <gtest/gtest.h>
#include <QBuffer>

#include "base/datafile/byte_helpers.h"
#include "datafile/prn_reader.h"

using namespace quarvel;
using quarvel::testing::bytes_of;

namespace {

// Little-endian bytes of a few float32 values, spelt out.
const QByteArray k1_5 = bytes_of({0x00, 0x00, 0xC0, 0x3F});     // 1.5
const QByteArray kMinus2 = bytes_of({0x00, 0x00, 0x00, 0xC0});  // -2.0
const QByteArray k0_25 = bytes_of({0x00, 0x00, 0x80, 0x3E});    // 0.25
const QByteArray k3 = bytes_of({0x00, 0x00, 0x40, 0x40});       // 3.0
const QByteArray kNaN = bytes_of({0x00, 0x00, 0xC0, 0x7F});     // quiet NaN
const QByteArray kHuge = bytes_of({0x00, 0x00, 0x7F, 0x7F});    // about 3.4e38: overflows × 100
const QByteArray kInfinity = bytes_of({0x00, 0x00, 0x80, 0x7F});

}  // namespace

TEST(ReadPrn, OneChannelValuesAreKeptTimesOneHundred) {
  Result<PrnContents> r = parse_prn(k1_5 + kMinus2 + k0_25, 1);
  ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
  const PrnContents& d = r.value();
  EXPECT_EQ(d.channel_count, 1);
  ASSERT_EQ(d.sample_count, 3);
  ASSERT_EQ(d.samples.channels(), 1);
  EXPECT_EQ(d.samples(1, 0), 150.0f);
  EXPECT_EQ(d.samples(1, 1), -200.0f);
  EXPECT_EQ(d.samples(1, 2), 25.0f);
  EXPECT_EQ(d.ch_max[1], 200.0f);
  EXPECT_EQ(d.ch_max[2], 0.0f);
}

TEST(ReadPrn, TwoChannelsAreInterleavedChannelOneFirst) {
  Result<PrnContents> r = parse_prn(k1_5 + kMinus2 + k0_25 + k3, 2);
  ASSERT_TRUE(r.ok());
  const PrnContents& d = r.value();
  ASSERT_EQ(d.sample_count, 2);
  ASSERT_EQ(d.samples.channels(), 2);
  EXPECT_EQ(d.samples(1, 0), 150.0f);
  EXPECT_EQ(d.samples(1, 1), 25.0f);
  EXPECT_EQ(d.samples(2, 0), -200.0f);
  EXPECT_EQ(d.samples(2, 1), 300.0f);
  EXPECT_EQ(d.ch_max[1], 150.0f);
  EXPECT_EQ(d.ch_max[2], 300.0f);
}

TEST(ReadPrn, ProgressInFortyPortions) {
  QByteArray file;
  for (int i = 0; i < 400; ++i) file += k0_25;
  QBuffer dev(&file);
  ASSERT_TRUE(dev.open(QIODevice::ReadOnly));
  std::vector<int> reports;
  Result<PrnContents> r = read_prn(dev, 1, [&](int pct) { reports.push_back(pct); });
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value().sample_count, 400);
  ASSERT_EQ(reports.size(), 40u);
  EXPECT_EQ(reports.front(), 2);  // 10 of 400 is 2.5 %, ties to even
  EXPECT_EQ(reports[38], 98);
  EXPECT_EQ(reports.back(), 100);
}

TEST(ReadPrn, TrailingBytesOfAPartSampleAreLeftUnread) {
  const Result<PrnContents> one = parse_prn(k1_5 + kMinus2.left(2), 1);
  ASSERT_TRUE(one.ok()) << "6 bytes hold one whole value";
  EXPECT_EQ(one.value().sample_count, 1);
  EXPECT_EQ(one.value().samples(1, 0), 150.0f);
  const Result<PrnContents> two = parse_prn(k1_5 + kMinus2 + k3, 2);
  ASSERT_TRUE(two.ok()) << "12 bytes hold one sample of two channels";
  EXPECT_EQ(two.value().sample_count, 1);
  EXPECT_EQ(two.value().samples(2, 0), -200.0f);
  EXPECT_EQ(parse_prn(k1_5.left(3), 1).error(), DataFileError::PartialSample) << "no whole value";
  EXPECT_EQ(parse_prn(k1_5, 2).error(), DataFileError::PartialSample) << "no whole sample of two";
  EXPECT_EQ(parse_prn(QByteArray(), 1).error(), DataFileError::PartialSample) << "an empty file";
}

TEST(ReadPrn, WhatCannotBeReadIsReported) {
  EXPECT_EQ(parse_prn(k1_5, 0).error(), DataFileError::BadChannelAnswer);
  EXPECT_EQ(parse_prn(k1_5 + k1_5 + k1_5, 3).error(), DataFileError::BadChannelAnswer);
  EXPECT_EQ(parse_prn(k1_5 + kNaN, 1).error(), DataFileError::BadValue);
  EXPECT_EQ(parse_prn(kInfinity + k1_5, 2).error(), DataFileError::BadValue);
  EXPECT_EQ(parse_prn(kHuge, 1).error(), DataFileError::BadValue);
}
