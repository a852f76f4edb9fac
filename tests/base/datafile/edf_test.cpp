// Guards EDF: marker words and blocks as annotations and back, the data records and physical limits
// the export chooses, recordings that come back from EDF+ with the same samples (floats within the
// stored resolution), interval and markers, the other kinds of file the reader takes, and damaged
// files, wrong answers and failed writes reported with their reason and nothing left behind.
#include <edflib.h>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <functional>
#include <limits>

#include "datafile/edf_export.h"
#include "datafile/edf_marks.h"
#include "datafile/edf_reader.h"
#include "datafile/edflib_support.h"

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace quarvel;

namespace {

EdfMark at(int64_t frame, const char* text) {
  return {frame, QString::fromLatin1(text)};
}

TEST(Marks, WordsBecomeAnnotationsAndBackInAnyOrder) {
  struct Case {
    std::vector<int16_t> words;
    int32_t block_length;
    std::vector<EdfMark> marks;
    std::vector<int16_t> read_back;
  };
  const Case cases[] = {// A stimulus inside a run; the run lasting to the end.
                        {{0, 100, 200, 100}, 0, {at(1, "marker on"), at(2, "stimulus")}, {0, 100, 200, 100}},
                        {{200, 0, 100, 0, 100, 200, 0},
                         0,
                         {at(0, "stimulus"), at(2, "marker on"), at(3, "marker off"), at(4, "marker on"),
                          at(5, "stimulus"), at(6, "marker off")},
                         {200, 0, 100, 0, 100, 200, 0}},
                        {{0, 0, 200, 0, 100, 100, 0},
                         3,
                         {at(0, "block 1"), at(2, "stimulus"), at(3, "block 2"), at(4, "marker on"),
                          at(6, "block 3"), at(6, "marker off")},
                         {0, 0, 200, 0, 100, 100, 0}},
                        // Words the program never writes end a run and give no mark.
                        {{100, 37, 0, -1}, 0, {at(0, "marker on"), at(1, "marker off")}, {100, 0, 0, 0}}};
  for (const Case& c : cases) {
    const auto n = static_cast<int32_t>(c.words.size());
    const std::vector<EdfMark> marks = edf_marks_for(c.words, n, c.block_length);
    EXPECT_EQ(marks, c.marks);
    EXPECT_EQ(edf_markers_from(marks, n), c.read_back);
    EXPECT_EQ(edf_markers_from({marks.rbegin(), marks.rend()}, n), c.read_back);
  }
}

TEST(Marks, ForeignAnnotationsAreIgnoredAndOnsetsFindTheNearestFrame) {
  const std::vector<EdfMark> marks = {at(2, "marker off"), at(1, "Recording starts"), at(3, " marker on "),
                                      at(9, "stimulus"),   at(-1, "stimulus"),        at(4, "marker on")};
  EXPECT_EQ(edf_markers_from(marks, 6), (std::vector<int16_t>{0, 0, 0, 100, 100, 100}));
  EXPECT_EQ(edf_frame_at(14999, 1000, 10000000), 1);  // 1.4999 ms at 1 kHz
  EXPECT_EQ(edf_frame_at(10000000LL * 1000000, 1000000, 10000000), 1000000000000LL) << "1e6 s at 1 MHz";
}

TEST(Plan, RecordsOfAboutASecondHoldWholeSamples) {
  struct Case {
    double interval;
    int channels;
    int32_t samples;
    int64_t annotations;
    EdfRecordPlan plan;
  };
  const Case cases[] = {{0.001f, 3, 5000, 1, {1000, 100000, 5, 1}},
                        {0.1f, 1, 25, 3, {10, 100000, 3, 1}},          // padded
                        {1.0f / 300, 2, 601, 1, {300, 100000, 3, 1}},  // not 3333 µs
                        {3e-6f, 1, 1000, 1, {333330, 99999, 1, 1}},    // 10 samples in 30 µs
                        {60.0, 1, 4, 1, {1, 6000000, 4, 1}},
                        {0.001f, 1, 10, 100, {9, 900, 2, 50}}};  // shorter records give the marks room
  for (const Case& c : cases) {
    Result<EdfRecordPlan> r = plan_edf_records(c.interval, c.channels, c.samples, c.annotations);
    ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
    EXPECT_EQ(r.value(), c.plan) << c.interval;
  }
}

TEST(Plan, IntervalsNoRecordCanStateAreRefused) {
  // 31.000005 s: the nearest whole 10 µs is further off than a float step, and two samples pass 60 s.
  for (double bad : {0.0, -0.001, std::nan(""), 61.0, 31.000005})
    EXPECT_EQ(plan_edf_records(bad, 1, 100, 1).error(), DataFileError::BadSampleInterval) << bad;
  EXPECT_EQ(plan_edf_records(0.001, 1, 10, 641).error(), DataFileError::MarkerPlacement) << "64 per record";
}

TEST(Scale, LimitsAtOrJustBeyondTheSamplesWithinHalfAStep) {
  struct Case {
    std::vector<float> samples;
    const char* min_text;
    const char* max_text;  // a digital step of 1 when the limits are whole numbers in the int16 range
  };
  const Case cases[] = {{{-5, 0, 1000, -32768, 32767}, "-32768", "32767"},
                        {{32767}, "32766", "32767"},  // a constant: the limits apart
                        {{150.0f, -200.0f, 25.5f}, "-200", "150"},
                        {{-12.34567f, 98.76543f}, "-12.3457", "98.76543"},  // EDFlib would write 98.76542
                        {{0.000123f, 0.000124f}, "0.000123", "0.000124"},
                        {{-40000, 40000}, "-40000", "40000"},
                        // Four samples at a time, then the rest: a fraction in either part.
                        {{1, 2, 3, 4.5f, 5}, "1", "5"},
                        {{1, 2, 3, 4, 5, 6, 7, 8, 9.25f}, "1", "9.25"},
                        {{-3, 7, 2, 2, 2, 2, 2, 2}, "-3", "7"}};
  for (const Case& c : cases) {
    Result<EdfScale> r = edf_scale_for(c.samples);
    ASSERT_TRUE(r.ok());
    const EdfScale& s = r.value();
    EXPECT_EQ(s.min_text + " " + s.max_text, QByteArray(c.min_text) + " " + c.max_text);
    EXPECT_TRUE(s.physical_min == QByteArray(c.min_text).toDouble() &&
                s.physical_max == QByteArray(c.max_text).toDouble());
    EXPECT_EQ(s.resolution() == 1.0, s.whole_numbers) << c.min_text;
    for (float x : c.samples)
      EXPECT_LE(std::fabs(s.physical_min + (s.digital(x) - s.digital_min) * s.resolution() - x),
                s.resolution() / 2 * (1 + 1e-9))
          << x;
  }
  const float inf = std::numeric_limits<float>::infinity();
  for (const std::vector<float>& bad : {std::vector<float>{1e9f, 0.5f},
                                        {0, std::nanf("")},
                                        {-2e7f, 0.5f},
                                        {1, 2, std::nanf(""), 3, 4},
                                        {0, 0, 0, -inf},
                                        {0, 0, 0, 0, inf}})
    EXPECT_EQ(edf_scale_for(bad).error(), DataFileError::BadValue);
}

QByteArray load(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void save(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  ASSERT_EQ(f.write(bytes), bytes.size());
}

// A recording of c channels (the sample array has three, as raw_data) of n frames.
struct Recording {
  SampleArray samples;
  std::vector<int16_t> markers;
  EdfRecordingInfo info;

  Recording(int c, int32_t n, double interval, int32_t block_length = 0,
            PerChannel<int16_t> inputs = {1, 2, 3})
      : info{c, n, inputs, interval, block_length > 0, block_length, {}} {
    samples.redim(3, n - 1);
    for (int32_t i = 0; i < n; ++i) {
      for (int ch = 1; ch <= c; ++ch)
        samples(ch, i) = static_cast<float>((i * 7919 + ch * 10007) % 65536 - 32768);
      // Runs of marker on across block ends, a stimulus inside each run and others outside.
      markers.push_back(i % 37 == 3 ? 200 : i % 100 >= 20 && i % 100 < 60 ? 100 : 0);
    }
  }
  Status write(const QString& path) const { return export_edf(path, samples, markers, info); }
};

Result<EdfContents> read_answering(const QString& path, const char* answer, int* asked = nullptr) {
  return read_edf(path, [=](int) {
    if (asked) ++*asked;
    return QString::fromLatin1(answer);
  });
}

struct TripCase {
  int channels;
  PerChannel<int16_t> inputs;
  int32_t frames;
  double interval;
  int32_t block_length;
  bool hundredths;  // float samples as a .prn load holds them
  std::vector<const char*> labels;
};

void PrintTo(const TripCase& c, std::ostream* os) {
  *os << c.channels << " channels, " << c.frames << " frames " << c.interval << " s apart";
}

class RoundTrip : public ::testing::TestWithParam<TripCase> {};

TEST_P(RoundTrip, SamplesIntervalAndMarkersComeBack) {
  const TripCase& c = GetParam();
  QTemporaryDir dir;
  const QString path = dir.filePath("trip.edf");
  Recording rec(c.channels, c.frames, c.interval, c.block_length, c.inputs);
  for (int ch = 1; c.hundredths && ch <= c.channels; ++ch)
    for (int32_t i = 0; i < c.frames; ++i)
      rec.samples(ch, i) = static_cast<float>(std::sin(i * 0.05 + ch) * 2.5) * 100;
  const Status written = rec.write(path);
  ASSERT_TRUE(written.ok()) << written.failure().detail.toStdString();
  Result<EdfContents> r = read_answering(path, QByteArray::number(c.channels).constData());
  ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
  const EdfContents& d = r.value();
  EXPECT_EQ(d.kind, EdfKind::EdfPlus);
  EXPECT_EQ(d.signal_count, c.channels);
  ASSERT_EQ(d.sample_count, c.frames);
  EXPECT_EQ(d.sample_interval, static_cast<float>(c.interval));
  EXPECT_EQ(d.markers, rec.markers);

  // What the file states, through EDFlib rather than the reader under test.
  edf_hdr_struct hdr{};
  ASSERT_EQ(edfopen_file_readonly(QFile::encodeName(path).constData(), &hdr, EDFLIB_READ_ALL_ANNOTATIONS), 0);
  for (int ch = 1; ch <= c.channels; ++ch) {
    const edf_param_struct& p = hdr.signalparam[ch - 1];
    EXPECT_EQ(QByteArray(p.label).trimmed(), QByteArray(c.labels[ch - 1]));
    EXPECT_EQ(QByteArray(p.physdimension).trimmed(), QByteArray("a.u."));
    const float* v = rec.samples.channel(ch);
    const auto [lo, hi] = std::minmax_element(v, v + c.frames);
    const double step = (p.phys_max - p.phys_min) / (p.dig_max - p.dig_min);
    EXPECT_NEAR(d.ch_max[ch], std::max(std::fabs(*lo), std::fabs(*hi)), c.hundredths ? step : 0);
    EXPECT_TRUE(p.phys_min <= *lo && p.phys_max >= *hi && p.phys_max - p.phys_min <= (*hi - *lo) * 1.0001)
        << "the best 16-bit resolution of the range";
    EXPECT_TRUE(c.hundredths || step == 1.0) << "whole numbers are stored as they are";
    for (int32_t i = 0; i < c.frames; ++i)
      ASSERT_NEAR(d.samples(ch, i), v[i], c.hundredths ? step / 2 + std::fabs(v[i]) * 1e-7 : 0)
          << ch << "," << i;
  }
  QStringList texts, expected;
  for (int i = 0; i < hdr.annotations_in_file; ++i) {
    edf_annotation_struct a{};
    ASSERT_EQ(edf_get_annotation(hdr.handle, i, &a), 0);
    if (QByteArray(a.annotation).startsWith("block") || QByteArray(a.annotation) == "Recording ends")
      texts << QString::fromUtf8(a.annotation);
  }
  for (int b = 1; c.block_length > 0 && b <= c.frames / c.block_length; ++b)
    expected << QStringLiteral("block %1").arg(b);
  if (hdr.datarecords_in_file * hdr.signalparam[0].smp_in_datarecord > c.frames) expected << "Recording ends";
  edfclose_file(hdr.handle);
  EXPECT_EQ(texts, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Recordings, RoundTrip,
    ::testing::Values(TripCase{3, {2, 3, 4}, 1000, 0.001f, 250, false, {"input 2", "input 3", "input 4"}},
                      TripCase{2, {1, 3, 0}, 2503, 0.004f, 0, false, {"input 1", "input 3"}},  // padded
                      TripCase{1, {4, 0, 0}, 5, 0.001f, 0, false, {"input 4"}},  // shorter than a record
                      TripCase{2, {1, 1, 0}, 1000, 1.0f / 300, 0, true, {"channel 1", "channel 2"}},
                      TripCase{1, {1, 0, 0}, 600, 100e-6f, 200, false, {"input 1"}}));

// An EDF+ (or BDF+) file made by EDFlib: signal i has per_record[i] samples in each of `records`
// one-second records, all r (BDF: r x 100000) in record r.
// Calibrated channels: the digital values stay the converter values, the label, dimension and
// physical limits come from the calibration, so any reader's physical values are gain x converter
// value + offset, within what 8-character limits state; a default channel is written as before.
TEST(CalibratedExport, ReadersSeeThePhysicalValues) {
  QTemporaryDir dir;
  const QString path = dir.filePath("calibrated.edf");
  Recording rec(3, 2000, 0.001);
  PerChannel<Calibration> cal;
  cal[1] = Calibration{"EDA", QString::fromUtf8("\u00b5S"), 0.0048828f, -1.5f};
  cal[2] = default_calibration(2);
  cal[3] = Calibration{QString::fromUtf8("T\u00b0 skin"), QString::fromUtf8("\u00b0C"), -0.01f, 30.0f};
  const Status st = export_edf(path, rec.samples, rec.markers, rec.info, cal);
  ASSERT_TRUE(st.ok()) << st.failure().detail.toStdString();

  edf_hdr_struct hdr{};
  ASSERT_EQ(edfopen_file_readonly(QFile::encodeName(path).constData(), &hdr, EDFLIB_READ_ALL_ANNOTATIONS), 0);
  const char* labels[] = {"EDA", "input 2", "Tdeg skin"};
  const char* units[] = {"uS", "a.u.", "degC"};
  std::vector<int> digital(2000);
  std::vector<double> physical(2000);
  for (int ch = 1; ch <= 3; ++ch) {
    const edf_param_struct& p = hdr.signalparam[ch - 1];
    EXPECT_EQ(QByteArray(p.label).trimmed(), QByteArray(labels[ch - 1]));
    EXPECT_EQ(QByteArray(p.physdimension).trimmed(), QByteArray(units[ch - 1]));
    ASSERT_EQ(edfread_digital_samples(hdr.handle, ch - 1, 2000, digital.data()), 2000);
    ASSERT_EQ(edfseek(hdr.handle, ch - 1, 0, EDFSEEK_SET), 0);
    ASSERT_EQ(edfread_physical_samples(hdr.handle, ch - 1, 2000, physical.data()), 2000);
    const double g = cal[ch].gain, o = cal[ch].offset;
    // The limits are rounded to 8 characters: at most half a unit of their last decimal each.
    const double tolerance = ch == 2 ? 0 : 1e-3;
    for (int32_t i = 0; i < 2000; ++i) {
      const double converter = rec.samples(ch, i);
      ASSERT_EQ(digital[static_cast<size_t>(i)], static_cast<int>(converter)) << ch << "," << i;
      // From the header's numbers by hand, and through EDFlib.
      const double by_hand = p.phys_min + (digital[static_cast<size_t>(i)] - p.dig_min) *
                                              (p.phys_max - p.phys_min) / (p.dig_max - p.dig_min);
      ASSERT_NEAR(by_hand, g * converter + o, tolerance) << ch << "," << i;
      ASSERT_NEAR(physical[static_cast<size_t>(i)], g * converter + o, tolerance) << ch << "," << i;
    }
  }
  edfclose_file(hdr.handle);

  // Opened again, the channels are named and in their units; the samples are the physical values.
  Result<EdfContents> r = read_answering(path, "3");
  ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
  EXPECT_EQ(r.value().signal_info[0].label, "EDA");
  EXPECT_EQ(r.value().signal_info[2].unit, "degC");
  EXPECT_NEAR(r.value().samples(3, 7), -0.01 * rec.samples(3, 7) + 30, 1e-3);
}

QByteArray edflib_file(const QString& path, const std::vector<int>& per_record, int records,
                       bool bdf = false) {
  const int h = edfopen_file_writeonly(QFile::encodeName(path).constData(),
                                       bdf ? EDFLIB_FILETYPE_BDFPLUS : EDFLIB_FILETYPE_EDFPLUS,
                                       static_cast<int>(per_record.size()));
  const int top = bdf ? 8388607 : 32767;
  for (int i = 0; i < static_cast<int>(per_record.size()); ++i) {
    edf_set_samplefrequency(h, i, per_record[i]);
    edf_set_physical_maximum(h, i, top);
    edf_set_physical_minimum(h, i, -top - 1);
    edf_set_digital_maximum(h, i, top);
    edf_set_digital_minimum(h, i, -top - 1);
  }
  for (int r = 0; r < records; ++r) {
    for (int n : per_record) {
      std::vector<int> values(static_cast<std::size_t>(n), bdf ? r * 100000 : r);
      EXPECT_EQ(edfwrite_digital_samples(h, values.data()), 0);
    }
  }
  EXPECT_EQ(edfclose_file(h), 0);
  return load(path);
}

TEST(ReadEdf, TheFirstSignalsAsAnsweredInPortions) {
  QTemporaryDir dir;
  edflib_file(dir.filePath("three.edf"), {100, 100, 100}, 36);
  std::vector<int> reports;
  Result<EdfContents> r = read_edf(
      dir.filePath("three.edf"), [](int signal_count) { return QString::number(signal_count - 1); },
      [&](int pct) { reports.push_back(pct); });
  ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
  EXPECT_EQ(r.value().signal_count, 3);
  ASSERT_EQ(r.value().samples.channels(), 2);
  EXPECT_EQ(r.value().sample_count, 3600);
  EXPECT_EQ(r.value().samples(2, 3599), 35.0f);
  EXPECT_EQ(r.value().ch_max, (PerChannel<float>{35, 35, 0}));
  EXPECT_FLOAT_EQ(r.value().sample_interval, 0.01f);
  ASSERT_EQ(reports.size(), 36u);
  EXPECT_EQ(reports.front(), 3);  // 100 of 3600, rounded
  EXPECT_EQ(reports.back(), 100);
  for (const char* bad : {"", "0", "4", "two"})
    EXPECT_EQ(read_answering(dir.filePath("three.edf"), bad).error(), DataFileError::BadChannelAnswer) << bad;
}

// A plain EDF or BDF file built field by field: `count` signals of 10 samples in records of 0.5 s,
// digital -2048..2047 for physical -100..100, sample i of signal s holding digital(s, i). With
// `annotations`, an EDF+D file whose annotation signal holds annotations(r) in record r (60 bytes).
QByteArray field_file(bool bdf, int count, int records, const std::function<int(int, int)>& digital,
                      const std::function<QByteArray(int)>& annotations = {}) {
  const auto field = [](const QByteArray& text, int width) { return text.leftJustified(width, ' ', true); };
  const int ns = count + (annotations ? 1 : 0);
  const QByteArray version = bdf ? QByteArray(
                                       "\xFF"
                                       "BIOSEMI")
                                 : field("0", 8);
  const QByteArray reserved = annotations ? "EDF+D" : bdf ? "24BIT" : "";
  QByteArray h = version + field(annotations ? "X X X X" : "X", 80);  // EDF+ wants subfields here
  h += field(annotations ? "Startdate X X X X" : "X", 80) + "01.01.2000.00.00";
  h += field(QByteArray::number(256 * (ns + 1)), 8) + field(reserved, 44);
  h += field(QByteArray::number(records), 8) + field("0.5", 8) + field(QByteArray::number(ns), 4);
  struct Field {
    QByteArray signal, annotation;
    int width;
  };
  const Field fields[] = {
      {"sig", "EDF Annotations", 16}, {"", "", 80},         {"uV", "", 8}, {"-100", "-1", 8}, {"100", "1", 8},
      {"-2048", "-32768", 8},         {"2047", "32767", 8}, {"", "", 80},  {"10", "30", 8},   {"", "", 32}};
  for (const Field& f : fields) {
    for (int s = 0; s < count; ++s) h += field(f.signal, f.width);
    if (annotations) h += field(f.annotation, f.width);
  }
  for (int r = 0; r < records; ++r) {
    for (int s = 0; s < count; ++s) {
      for (int i = r * 10; i < r * 10 + 10; ++i)
        for (int b = 0; b < (bdf ? 3 : 2); ++b) h += static_cast<char>((digital(s, i) >> (8 * b)) & 0xFF);
    }
    if (annotations) h += annotations(r).leftJustified(60, '\0');
  }
  return h;
}

// One annotation of an EDF+ annotation signal; an empty text gives a record's start.
QByteArray tal(const char* onset, const char* text) {
  return QByteArray(onset) + '\x14' + text + '\x14' + '\0';
}

int pattern(int s, int i) {
  return (i * 97 + s * 1000) % 4096 - 2048;
}

TEST(ReadEdf, PlainEdfBdfAndBdfPlus) {
  QTemporaryDir dir;
  for (bool bdf : {false, true}) {
    save(dir.filePath("plain"), field_file(bdf, 2, 3, pattern));
    Result<EdfContents> r = read_answering(dir.filePath("plain"), "2");
    ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
    EXPECT_EQ(r.value().kind, bdf ? EdfKind::Bdf : EdfKind::Edf);
    ASSERT_EQ(r.value().sample_count, 30);
    EXPECT_FLOAT_EQ(r.value().sample_interval, 0.05f);
    for (int i = 0; i < 60; ++i)
      ASSERT_NEAR(r.value().samples(i / 30 + 1, i % 30),
                  (pattern(i / 30, i % 30) + 2048) * (200.0 / 4095) - 100, 1e-4);
  }
  edflib_file(dir.filePath("plus.bdf"), {10}, 2, true);
  Result<EdfContents> r = read_answering(dir.filePath("plus.bdf"), "1");
  ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
  EXPECT_EQ(r.value().kind, EdfKind::BdfPlus);
  EXPECT_EQ(r.value().samples(1, 15), 100000.0f) << "beyond 16 bits";
}

TEST(ReadEdf, DiscontinuousRecordsFollowOneAnotherAndMarksSkipTheGap) {
  // Records start at 0, 0.5 and 2 s; "marker on" at 1.2 s falls in the gap.
  const QByteArray tals[] = {tal("+0", "") + tal("+0.1", "stimulus") + tal("+0.3", "eyes closed"),
                             tal("+0.5", "") + tal("+1.2", "marker on"),
                             tal("+2", "") + tal("+2.25", "stimulus") + tal("+2.4", "marker off")};
  QTemporaryDir dir;
  save(dir.filePath("d.edf"), field_file(false, 1, 3, pattern, [&](int r) { return tals[r]; }));
  Result<EdfContents> r = read_answering(dir.filePath("d.edf"), "1");
  ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
  ASSERT_EQ(r.value().sample_count, 30);
  for (int i = 0; i < 30; ++i)
    ASSERT_NEAR(r.value().samples(1, i), (pattern(0, i) + 2048) * (200.0 / 4095) - 100, 1e-4);
  std::vector<int16_t> expected(30, 0);
  std::fill(expected.begin() + 20, expected.begin() + 28, 100);
  expected[2] = expected[25] = 200;
  EXPECT_EQ(r.value().markers, expected);
  EXPECT_EQ(r.value().gap_count, 1) << "from 1 s to 2 s";
  EXPECT_DOUBLE_EQ(r.value().gap_seconds, 1.0);
  EXPECT_EQ(r.value().other_annotations, 1) << "eyes closed";
  save(dir.filePath("d.edf"), load(dir.filePath("d.edf")).chopped(1));
  EXPECT_EQ(read_answering(dir.filePath("d.edf"), "1").error(), DataFileError::NotEdf) << "cut short";
}

QByteArray made(const QString& dir, const std::vector<int>& per_record = {10, 10}) {
  return edflib_file(dir + "/made.edf", per_record, 2);
}

TEST(ReadEdf, DamageIsReportedBeforeTheQuestion) {
  const std::pair<std::function<QByteArray(const QString&)>, DataFileError> cases[] = {
      {[](const QString&) { return QByteArray(); }, DataFileError::TooShort},
      {[](const QString& d) { return made(d).left(200); }, DataFileError::TooShort},
      {[](const QString& d) { return made(d).left(600); }, DataFileError::TooShort},  // in the signal headers
      {[](const QString& d) { return made(d).chopped(3); }, DataFileError::NotEdf},
      {[](const QString&) { return QByteArray("time,value\n0,1\n").repeated(40); }, DataFileError::NotEdf},
      {[](const QString& d) { return made(d).replace(244, 8, "0       "); },
       DataFileError::NotEdf},  // no rate
      {[](const QString& d) {
         return made(d, {10, 10, 10, 10});
       },
       DataFileError::BadChannelCount},
      {[](const QString& d) {
         return made(d, {10, 20});
       },
       DataFileError::MixedSampleRates}};
  for (const auto& [file, error] : cases) {
    QTemporaryDir dir;
    save(dir.filePath("damaged.edf"), file(dir.path()));
    int asked = 0;
    Result<EdfContents> r = read_answering(dir.filePath("damaged.edf"), "1", &asked);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error(), error) << r.failure().detail.toStdString();
    EXPECT_EQ(asked, 0);
  }
}

class ExportFailure : public ::testing::Test {
 protected:
  void SetUp() override { save(target_, "old"); }
  // The folder holds only the old file, unchanged.
  void expect_untouched() {
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"out.edf"});
    EXPECT_EQ(load(target_), QByteArray("old"));
  }

  QTemporaryDir dir_;
  QString target_ = dir_.filePath("out.edf");
};

TEST_F(ExportFailure, WhatCannotBeWrittenIsRefusedBeforeTouchingTheFolder) {
  const std::pair<void (*)(Recording&), DataFileError> cases[] = {
      {[](Recording& r) { r.info.channel_count = 4; }, DataFileError::BadChannelCount},
      {[](Recording& r) { r.info.sample_count = 0; }, DataFileError::NoSamples},
      {[](Recording& r) { r.info.sample_count = 11; }, DataFileError::NoSamples},  // beyond the array
      {[](Recording& r) { r.samples(1, 3) = std::nanf(""); }, DataFileError::BadValue},
      {[](Recording& r) { r.samples(1, 3) = 1e9f; }, DataFileError::BadValue},  // beyond 8 characters
      {[](Recording& r) { r.info.sample_interval = 61; }, DataFileError::BadSampleInterval},
      {[](Recording& r) { r.info.sample_interval = 50e-6; },
       DataFileError::MarkerPlacement},  // stimulus at 150 µs
  };
  for (const auto& [spoil, error] : cases) {
    Recording r(1, 10, 0.001);
    spoil(r);
    const Status st = r.write(target_);
    ASSERT_FALSE(st.ok());
    EXPECT_EQ(st.error(), error) << st.failure().detail.toStdString();
  }
  expect_untouched();
}

TEST_F(ExportFailure, AFolderThatRefusesTheFileLeavesNothingBehind) {
  Recording r(1, 10, 0.001);
  EXPECT_EQ(r.write(dir_.filePath("missing/out.edf")).error(), DataFileError::WriteFailed);
  ASSERT_TRUE(QDir(dir_.path()).mkdir("taken.edf"));
  EXPECT_EQ(r.write(dir_.filePath("taken.edf")).error(), DataFileError::WriteFailed) << "a folder in the way";
  ASSERT_TRUE(QDir(dir_.path()).rmdir("taken.edf"));
  expect_untouched();
}

// Frames handed in uneven portions write what the arrays write; a source that fails on its second
// reading, comes short or out of order leaves nothing behind.
TEST_F(ExportFailure, FramesInPortionsOrASourceThatFails) {
  Recording r(2, 3000, 0.001, 700);
  const FrameSource whole = frames_in_memory(r.samples, 2, r.markers, 3000);
  // Portions from each start to the next; the last start is where the frames end.
  const auto pieces = [&](std::vector<int64_t> starts) -> FrameSource {
    return [&r, starts](const FramePortionSink& take) -> Status {
      for (std::size_t k = 0; k + 1 < starts.size(); ++k) {
        FramePortion p;
        p.first = starts[k];
        p.count = std::max<int64_t>(starts[k + 1], starts[k]) - starts[k];
        for (int ch = 1; ch <= 2; ++ch) p.samples[ch - 1] = r.samples.channel(ch) + p.first;
        p.markers = r.markers.data() + p.first;
        p.markers_held = p.count;
        if (Status st = take(p); !st) return st;
      }
      return {};
    };
  };
  ASSERT_TRUE(r.write(dir_.filePath("whole.edf")).ok());
  ASSERT_TRUE(export_edf(dir_.filePath("pieces.edf"), pieces({0, 1, 999, 1000, 2997, 3000}), r.info).ok());
  EXPECT_TRUE(load(dir_.filePath("pieces.edf")) == load(dir_.filePath("whole.edf")));
  QFile::remove(dir_.filePath("pieces.edf"));
  QFile::remove(dir_.filePath("whole.edf"));

  int readings = 0;
  const FrameSource cut_after_first = [&](const FramePortionSink& take) -> Status {
    if (++readings == 2) return DataFileFailure{DataFileError::ReadFailed, "the file was cut"};
    return whole(take);
  };
  EXPECT_EQ(export_edf(target_, cut_after_first, r.info).error(), DataFileError::ReadFailed);
  EXPECT_EQ(export_edf(target_, pieces({0, 1000, 2999}), r.info).error(), DataFileError::NoSamples);
  EXPECT_EQ(export_edf(target_, pieces({0, 1000, 999, 3000}), r.info).error(), DataFileError::ReadFailed)
      << "a portion that starts before the end of the one before";
  expect_untouched();
}

#ifdef Q_OS_UNIX
TEST_F(ExportFailure, AFullDiskKeepsTheOldFile) {
  // A file size limit makes every write past 4 KiB fail as a full disk would.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  Recording r(1, 20000, 0.001);
  r.markers.clear();  // no annotations to finish: EDFlib itself then reports nothing
  const Status st = r.write(target_);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);
  ASSERT_FALSE(st.ok());
  EXPECT_EQ(st.error(), DataFileError::WriteFailed) << st.failure().detail.toStdString();
  expect_untouched();
}
#endif

}  // namespace

namespace {

// A 16-bit file's samples are read from its records and kept as digital values; every value must
// be what EDFlib's physical reading gives, made float, also for digital values outside the
// header's limits (written over the file's bytes) and for a physical range that runs downwards.
struct DigitalCase {
  const char* name;
  int file_type;
  double phys_min, phys_max;
  int dig_min, dig_max;
};

class DigitalRecords : public ::testing::TestWithParam<DigitalCase> {};

TEST_P(DigitalRecords, ReadAsEdflibReadsThem) {
  const DigitalCase& c = GetParam();
  QTemporaryDir dir;
  const QString path = dir.filePath("signals.edf");
  constexpr int kRecords = 9, kSignals = 2;
  // EDFlib writes EDF+ only; a plain EDF file (records of 10 samples) is made field by field.
  const bool plain = c.file_type == EDFLIB_FILETYPE_EDF;
  const int rate = plain ? 10 : 250;
  const auto digital = [&](int s, int i) { return c.dig_min + (i * 104729 + s * 31) % (c.dig_max - c.dig_min + 1); };
  if (plain) {
    save(path, field_file(false, kSignals, kRecords, digital));
  } else {
    const int h = edfopen_file_writeonly(QFile::encodeName(path).constData(), c.file_type, kSignals);
    ASSERT_GE(h, 0);
    for (int s = 0; s < kSignals; ++s) {
      edf_set_samplefrequency(h, s, rate);
      edf_set_physical_minimum(h, s, c.phys_min);
      edf_set_physical_maximum(h, s, c.phys_max * (s + 1));
      edf_set_digital_minimum(h, s, c.dig_min);
      edf_set_digital_maximum(h, s, c.dig_max);
    }
    std::vector<short> record(static_cast<size_t>(rate));
    for (int r = 0; r < kRecords; ++r)
      for (int s = 0; s < kSignals; ++s) {
        for (int i = 0; i < rate; ++i) record[static_cast<size_t>(i)] = static_cast<short>(digital(s, r * rate + i));
        edfwrite_digital_short_samples(h, record.data());
      }
    edfwrite_annotation_utf8(h, 30000, -1, "stimulus");
    ASSERT_EQ(edfclose_file(h), 0);
  }
  // Values beyond the digital limits in the first signal of the first and the last record.
  QByteArray bytes = load(path);
  const int header = 256 * (kSignals + 1 + (plain ? 0 : 1));
  const int record_bytes = (static_cast<int>(bytes.size()) - header) / kRecords;
  for (const int at : {header + 6, header + 8 * record_bytes + 2 * (rate - 1)}) {
    bytes[at] = '\xff';
    bytes[at + 1] = at == header + 6 ? '\x7f' : '\x80';
  }
  save(path, bytes);

  Result<EdfContents> r = read_answering(path, "2");
  ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
  const EdfContents& got = r.value();
  const int n = rate * kRecords;
  ASSERT_EQ(got.sample_count, n);
  auto hdr = new_edf_header();
  ASSERT_EQ(edfopen_file_readonly(QFile::encodeName(path).constData(), hdr.get(), EDFLIB_READ_ALL_ANNOTATIONS), 0);
  EdfHandle handle(hdr->handle);
  std::vector<double> want(static_cast<size_t>(got.sample_count));
  for (int ch = 1; ch <= kSignals; ++ch) {
    EXPECT_TRUE(got.samples.holds_whole(ch)) << "kept as digital values";
    ASSERT_EQ(edfread_physical_samples(hdr->handle, ch - 1, got.sample_count, want.data()), got.sample_count);
    float most = 0;
    for (int32_t i = 0; i < got.sample_count; ++i) {
      ASSERT_EQ(got.samples(ch, i), static_cast<float>(want[static_cast<size_t>(i)])) << "channel " << ch << " sample " << i;
      most = std::max(most, std::fabs(static_cast<float>(want[static_cast<size_t>(i)])));
    }
    EXPECT_EQ(got.ch_max[ch], most);
    for (const auto& [first, last] : {std::pair{0, n - 1}, {3, n / 3}, {n / 2, n / 2 + 10}, {rate - 1, n - rate}}) {
      Extremes e;
      for (int i = first; i <= last; ++i) {
        e.lo = std::min(e.lo, static_cast<float>(want[static_cast<size_t>(i)]));
        e.hi = std::max(e.hi, static_cast<float>(want[static_cast<size_t>(i)]));
      }
      const Extremes g = got.samples.extremes(ch, first, last);
      EXPECT_TRUE(g.lo == e.lo && g.hi == e.hi) << "channel " << ch << ", " << first << ".." << last;
    }
  }
  if (!plain) {
    EXPECT_EQ(got.markers[750], 200);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Scales, DigitalRecords,
    ::testing::Values(DigitalCase{"plain", EDFLIB_FILETYPE_EDF, -100, 100, -2048, 2047},
                      DigitalCase{"full_range", EDFLIB_FILETYPE_EDFPLUS, -3.3, 3.3, -32768, 32767},
                      DigitalCase{"downwards_plus", EDFLIB_FILETYPE_EDFPLUS, 100, -100, -2048, 2047},
                      DigitalCase{"small_steps", EDFLIB_FILETYPE_EDFPLUS, 0.001, 0.0025, 0, 1000}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
