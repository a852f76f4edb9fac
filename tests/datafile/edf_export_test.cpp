// Guards the pieces of the EDF+ export: where marker words and blocks become annotations and back,
// the data records chosen for an interval, the physical limits of a channel, and failures that leave
// no file behind and keep the one that was there.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cctype>
#include <cmath>
#include <csignal>
#include <limits>

#include "datafile/edf_export.h"
#include "datafile/edf_marks.h"

using namespace quarvel;

namespace {

// A test name from a case's description.
template <typename Case>
std::string test_name(const ::testing::TestParamInfo<Case>& info) {
  std::string s = info.param.name;
  for (char& ch : s)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return s;
}

struct MarksCase {
  const char* name;
  std::vector<int16_t> words;
  int32_t block_length;
  std::vector<EdfMark> marks;
  std::vector<int16_t> read_back;  // the words the marks give back
};

void PrintTo(const MarksCase& c, std::ostream* os) {
  *os << c.name;
}

class Marks : public ::testing::TestWithParam<MarksCase> {};

TEST_P(Marks, WordsBecomeAnnotationsAndBack) {
  const MarksCase& c = GetParam();
  const auto n = static_cast<int32_t>(c.words.size());
  const std::vector<EdfMark> marks = edf_marks_for(c.words, n, c.block_length);
  EXPECT_EQ(marks, c.marks);
  EXPECT_EQ(edf_markers_from(marks, n), c.read_back);
  std::vector<EdfMark> reversed(marks.rbegin(), marks.rend());
  EXPECT_EQ(edf_markers_from(reversed, n), c.read_back)
      << "the file order of the annotations does not matter";
}

EdfMark at(int64_t frame, const char* text) {
  return {frame, QString::fromLatin1(text)};
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, Marks,
    ::testing::Values(MarksCase{"stimulus inside a run",
                                {0, 100, 100, 200, 100, 0},
                                0,
                                {at(1, "marker on"), at(3, "stimulus"), at(5, "marker off")},
                                {0, 100, 100, 200, 100, 0}},
                      MarksCase{"run to the end", {0, 100, 100}, 0, {at(1, "marker on")}, {0, 100, 100}},
                      MarksCase{
                          "stimulus alone, runs apart",
                          {200, 0, 100, 0, 100},
                          0,
                          {at(0, "stimulus"), at(2, "marker on"), at(3, "marker off"), at(4, "marker on")},
                          {200, 0, 100, 0, 100}},
                      MarksCase{"stimulus ends a run's last frame",
                                {100, 200, 0},
                                0,
                                {at(0, "marker on"), at(1, "stimulus"), at(2, "marker off")},
                                {100, 200, 0}},
                      MarksCase{"blocks",
                                {0, 0, 200, 0, 100, 100, 0},
                                3,
                                {at(0, "block 1"), at(2, "stimulus"), at(3, "block 2"), at(4, "marker on"),
                                 at(6, "block 3"), at(6, "marker off")},
                                {0, 0, 200, 0, 100, 100, 0}},
                      MarksCase{"other words end a run and give no mark",
                                {100, 37, 0, -1},
                                0,
                                {at(0, "marker on"), at(1, "marker off")},
                                {100, 0, 0, 0}}),
    test_name<MarksCase>);

TEST(Marks, ForeignAnnotationsAreIgnoredAndAnOpenRunLastsToTheEnd) {
  const std::vector<EdfMark> marks = {at(2, "marker off"), at(1, "Recording starts"), at(3, " marker on "),
                                      at(9, "stimulus"),   at(-1, "stimulus"),        at(4, "marker on")};
  EXPECT_EQ(edf_markers_from(marks, 6), (std::vector<int16_t>{0, 0, 0, 100, 100, 100}));
}

TEST(Marks, OnsetsOfLongFilesFindTheirFrame) {
  EXPECT_EQ(edf_frame_at(10000, 1000, 10000000), 1);                                  // 1 ms at 1 kHz
  EXPECT_EQ(edf_frame_at(14999, 1000, 10000000), 1);                                  // nearest frame
  EXPECT_EQ(edf_frame_at(10000000LL * 1000000, 1000000, 10000000), 1000000000000LL);  // 1e6 s at 1 MHz
}

struct PlanCase {
  const char* name;
  double interval;
  int channels;
  int32_t samples;
  int64_t annotations;
  EdfRecordPlan plan;
};

void PrintTo(const PlanCase& c, std::ostream* os) {
  *os << c.name;
}

class Plan : public ::testing::TestWithParam<PlanCase> {};

TEST_P(Plan, RecordsHoldWholeSamplesForAboutASecond) {
  const PlanCase& c = GetParam();
  Result<EdfRecordPlan> r = plan_edf_records(c.interval, c.channels, c.samples, c.annotations);
  ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
  EXPECT_EQ(r.value(), c.plan);
}

INSTANTIATE_TEST_SUITE_P(
    Intervals, Plan,
    ::testing::Values(PlanCase{"1 ms", 0.001f, 3, 5000, 1, {1000, 100000, 5, 1}},
                      PlanCase{"0.1 s, padded", 0.1f, 1, 25, 3, {10, 100000, 3, 1}},
                      PlanCase{"300 Hz from a float", 1.0f / 300, 2, 601, 1, {300, 100000, 3, 1}},
                      PlanCase{"30 us", 30e-6f, 1, 1000, 1, {33333, 99999, 1, 1}},
                      PlanCase{"3 us, ten samples in 30 us", 3e-6f, 1, 1000, 1, {333330, 99999, 1, 1}},
                      PlanCase{"60 s", 60.0, 1, 4, 1, {1, 6000000, 4, 1}},
                      PlanCase{"annotations shorten records", 0.001f, 1, 10, 100, {9, 900, 2, 50}}),
    test_name<PlanCase>);

TEST(Plan, IntervalsNoRecordCanStateAreRefused) {
  // 31.000005 s: the nearest whole 10 µs is further off than a float step, and two samples exceed 60 s.
  for (double bad : {0.0, -0.001, std::nan(""), 61.0, 31.000005}) {
    Result<EdfRecordPlan> r = plan_edf_records(bad, 1, 100, 1);
    ASSERT_FALSE(r.ok()) << bad;
    EXPECT_EQ(r.error(), DataFileError::BadSampleInterval) << bad;
  }
  EXPECT_EQ(plan_edf_records(0.001, 1, 10, 641).error(), DataFileError::MarkerPlacement) << "64 per record";
}

struct ScaleCase {
  const char* name;
  std::vector<float> samples;
  bool whole;
  const char* min_text;
  const char* max_text;
};

void PrintTo(const ScaleCase& c, std::ostream* os) {
  *os << c.name;
}

class Scale : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(Scale, LimitsAtOrJustBeyondTheSamples) {
  const ScaleCase& c = GetParam();
  Result<EdfScale> r = edf_scale_for(c.samples);
  ASSERT_TRUE(r.ok());
  const EdfScale& s = r.value();
  EXPECT_EQ(s.whole_numbers, c.whole);
  EXPECT_EQ(s.min_text, QByteArray(c.min_text));
  EXPECT_EQ(s.max_text, QByteArray(c.max_text));
  EXPECT_EQ(s.physical_min, QByteArray(c.min_text).toDouble());
  EXPECT_EQ(s.physical_max, QByteArray(c.max_text).toDouble());
  EXPECT_EQ(s.digital_max - s.digital_min, c.whole ? s.physical_max - s.physical_min : 65535);
  for (float x : c.samples) {
    const double back = s.physical_min + (s.digital(x) - s.digital_min) * s.resolution();
    EXPECT_LE(std::fabs(back - x), s.resolution() / 2 * (1 + 1e-9)) << x;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Samples, Scale,
    ::testing::Values(ScaleCase{"converter units", {-5, 0, 1000, -32768, 32767}, true, "-32768", "32767"},
                      ScaleCase{"a constant", {7, 7}, true, "7", "8"},
                      ScaleCase{"the top constant", {32767}, true, "32766", "32767"},
                      ScaleCase{"hundredths", {150.0f, -200.0f, 25.5f}, false, "-200", "150"},
                      ScaleCase{
                          "digits EDFlib would drop", {-12.34567f, 98.76543f}, false, "-12.3457", "98.76543"},
                      ScaleCase{"tiny", {0.000123f, 0.000124f}, false, "0.000123", "0.000124"},
                      ScaleCase{"beyond int16", {-40000, 40000}, false, "-40000", "40000"}),
    test_name<ScaleCase>);

TEST(Scale, SamplesNoHeaderCanStateAreRefused) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const std::vector<float>& bad :
       {std::vector<float>{1e9f, 0.5f}, std::vector<float>{0, nan}, std::vector<float>{-2e7f, 0.5f}})
    EXPECT_EQ(edf_scale_for(bad).error(), DataFileError::BadValue);
}

// One channel of n samples 0, 1, 2, ... at 1 ms, with a stimulus at frame 1.
struct SmallRecording {
  SampleArray samples;
  std::vector<int16_t> markers;
  EdfRecordingInfo info;

  explicit SmallRecording(int32_t n) {
    samples.redim(1, n - 1);
    for (int32_t i = 0; i < n; ++i) samples(1, i) = static_cast<float>(i);
    markers.assign(static_cast<std::size_t>(n), 0);
    markers[1] = 200;
    info.channel_count = 1;
    info.sample_count = n;
    info.ch_source = {1, 0, 0};
    info.sample_interval = 0.001;
  }
};

class ExportFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    target_ = dir_.filePath("out.edf");
    QFile old(target_);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
  }
  // The folder holds only the old file, unchanged.
  void expect_untouched() {
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot),
              QStringList{"out.edf"});
    QFile f(target_);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old"));
  }

  QTemporaryDir dir_;
  QString target_;
};

TEST_F(ExportFailure, WhatCannotBeWrittenIsReportedBeforeTouchingTheFolder) {
  struct Case {
    const char* name;
    void (*spoil)(SmallRecording&);
    DataFileError error;
  };
  const Case cases[] = {
      {"four channels", [](SmallRecording& r) { r.info.channel_count = 4; }, DataFileError::BadChannelCount},
      {"more channels than the array", [](SmallRecording& r) { r.info.channel_count = 2; },
       DataFileError::BadChannelCount},
      {"no frames", [](SmallRecording& r) { r.info.sample_count = 0; }, DataFileError::NoSamples},
      {"more frames than the array", [](SmallRecording& r) { r.info.sample_count = 11; },
       DataFileError::NoSamples},
      {"a sample that is not a number", [](SmallRecording& r) { r.samples(1, 3) = std::nanf(""); },
       DataFileError::BadValue},
      {"an interval of 61 s", [](SmallRecording& r) { r.info.sample_interval = 61; },
       DataFileError::BadSampleInterval},
      {"a stimulus 50 us in", [](SmallRecording& r) { r.info.sample_interval = 50e-6; },
       DataFileError::MarkerPlacement},
  };
  for (const Case& c : cases) {
    SmallRecording r(10);
    c.spoil(r);
    const Status st = export_edf(target_, r.samples, r.markers, r.info);
    ASSERT_FALSE(st.ok()) << c.name;
    EXPECT_EQ(st.error(), c.error) << c.name << ": " << st.failure().detail.toStdString();
  }
  expect_untouched();
}

TEST_F(ExportFailure, AFolderThatRefusesTheFileLeavesNothingBehind) {
  SmallRecording r(10);
  EXPECT_EQ(export_edf(dir_.filePath("missing/out.edf"), r.samples, r.markers, r.info).error(),
            DataFileError::WriteFailed);
  ASSERT_TRUE(QDir(dir_.path()).mkdir("taken.edf"));
  EXPECT_EQ(export_edf(dir_.filePath("taken.edf"), r.samples, r.markers, r.info).error(),
            DataFileError::WriteFailed)
      << "a folder in the way";
  ASSERT_TRUE(QDir(dir_.path()).rmdir("taken.edf"));
  expect_untouched();
}

TEST_F(ExportFailure, AFullDiskKeepsTheOldFile) {
  // A file size limit makes every write past 4 KiB fail as a full disk would.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  SmallRecording r(20000);
  const Status st = export_edf(target_, r.samples, r.markers, r.info);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);
  ASSERT_FALSE(st.ok());
  EXPECT_EQ(st.error(), DataFileError::WriteFailed) << st.failure().detail.toStdString();
  expect_untouched();
}

}  // namespace
