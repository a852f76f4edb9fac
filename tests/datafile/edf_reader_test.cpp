// Guards EDF round trips and the EDF reader: recordings written as EDF+ read back with the same
// samples, interval and marker words (floats within the stored resolution); plain EDF and BDF, BDF+
// and files made by EDFlib itself are read; damaged files and wrong answers are reported with their
// reason before anything is read.
#include <edflib.h>
#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <functional>

#include "datafile/edf_export.h"
#include "datafile/edf_reader.h"

using namespace quarvel;

namespace {

QString answer_with(const char* text, int* asked = nullptr) {
  if (asked) ++*asked;
  return QString::fromLatin1(text);
}

void save(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray load(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An EDF+ (or BDF+) file made by EDFlib: signal i has per_record[i] samples in each of `records`
// one-second records, all of value r in record r.
void edflib_file(const QString& path, const std::vector<int>& per_record, int records, bool bdf = false) {
  const int h = edfopen_file_writeonly(QFile::encodeName(path).constData(),
                                       bdf ? EDFLIB_FILETYPE_BDFPLUS : EDFLIB_FILETYPE_EDFPLUS,
                                       static_cast<int>(per_record.size()));
  ASSERT_GE(h, 0);
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
      ASSERT_EQ(edfwrite_digital_samples(h, values.data()), 0);
    }
  }
  ASSERT_EQ(edfclose_file(h), 0);
}

// A plain EDF or BDF file built field by field: `signal_count` signals of `per_record` samples in records
// of 0.5 s, digital -2048..2047 for physical -100..100, sample i of signal s holding digital(s, i).
QByteArray plain_file(bool bdf, int signal_count, int per_record, int records,
                      const std::function<int(int, int)>& digital) {
  const auto field = [](const QByteArray& text, int width) { return text.leftJustified(width, ' ', true); };
  QByteArray h = bdf ? QByteArray(
                           "\xFF"
                           "BIOSEMI")
                     : field("0", 8);
  h += field("X", 80) + field("X", 80) + "01.01.20" + "00.00.00";
  h += field(QByteArray::number(256 * (signal_count + 1)), 8) + field(bdf ? "24BIT" : "", 44);
  h += field(QByteArray::number(records), 8) + field("0.5", 8) + field(QByteArray::number(signal_count), 4);
  const std::pair<QByteArray, int> fields[] = {{"sig", 16}, {"", 80},   {"uV", 8},
                                               {"-100", 8}, {"100", 8}, {"-2048", 8},
                                               {"2047", 8}, {"", 80},   {QByteArray::number(per_record), 8},
                                               {"", 32}};
  for (const auto& [text, width] : fields)
    for (int s = 0; s < signal_count; ++s) h += field(text, width);
  for (int r = 0; r < records; ++r) {
    for (int s = 0; s < signal_count; ++s) {
      for (int i = r * per_record; i < (r + 1) * per_record; ++i) {
        const int d = digital(s, i);
        for (int b = 0; b < (bdf ? 3 : 2); ++b) h += static_cast<char>((d >> (8 * b)) & 0xFF);
      }
    }
  }
  return h;
}

enum class Values { ConverterUnits, Hundredths };

struct TripCase {
  const char* name;
  int channels;
  PerChannel<int16_t> inputs;
  int32_t frames;
  double interval;
  int32_t block_length;  // 0: continuous
  Values values;
  std::vector<const char*> labels;
};

float sample_of(const TripCase& c, int ch, int32_t i) {
  if (c.values == Values::ConverterUnits) return static_cast<float>((i * 7919 + ch * 10007) % 65536 - 32768);
  return static_cast<float>(std::sin(i * 0.05 + ch) * 2.5) * 100.0f;  // as a .prn load holds them
}

// Runs of marker on across block ends, a stimulus inside each run and others outside.
int16_t marker_of(int32_t i) {
  if (i % 37 == 3) return 200;
  return i % 100 >= 20 && i % 100 < 60 ? 100 : 0;
}

void PrintTo(const TripCase& c, std::ostream* os) {
  *os << c.name;
}

class RoundTrip : public ::testing::TestWithParam<TripCase> {};

TEST_P(RoundTrip, SamplesIntervalAndMarkersComeBack) {
  const TripCase& c = GetParam();
  QTemporaryDir dir;
  const QString path = dir.filePath("trip.edf");
  SampleArray samples;
  samples.redim(3, c.frames - 1);  // as raw_data: three channels whatever C is
  std::vector<int16_t> markers;
  for (int32_t i = 0; i < c.frames; ++i) {
    for (int ch = 1; ch <= c.channels; ++ch) samples(ch, i) = sample_of(c, ch, i);
    markers.push_back(marker_of(i));
  }
  EdfRecordingInfo info{c.channels, c.frames, c.inputs, c.interval, c.block_length > 0, c.block_length, {}};
  const Status written = export_edf(path, samples, markers, info);
  ASSERT_TRUE(written.ok()) << written.failure().detail.toStdString();

  int asked = 0;
  Result<EdfContents> r = read_edf(path, [&](int signal_count) {
    EXPECT_EQ(signal_count, c.channels);
    return answer_with(QByteArray::number(c.channels).constData(), &asked);
  });
  ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
  const EdfContents& d = r.value();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(d.kind, EdfKind::EdfPlus);
  EXPECT_EQ(d.channel_count, c.channels);
  ASSERT_EQ(d.sample_count, c.frames);
  EXPECT_EQ(d.sample_interval, static_cast<float>(c.interval));
  EXPECT_EQ(d.markers, markers);

  // The file's own statement of each signal, through EDFlib rather than the reader under test.
  edf_hdr_struct hdr{};
  ASSERT_EQ(edfopen_file_readonly(QFile::encodeName(path).constData(), &hdr, EDFLIB_READ_ALL_ANNOTATIONS), 0);
  for (int ch = 1; ch <= c.channels; ++ch) {
    const edf_param_struct& p = hdr.signalparam[ch - 1];
    EXPECT_EQ(QByteArray(p.label).trimmed(), QByteArray(c.labels[ch - 1]));
    EXPECT_EQ(QByteArray(p.physdimension).trimmed(), QByteArray("a.u."));
    float lo = samples(ch, 0), hi = lo, max_abs = 0;
    for (int32_t i = 0; i < c.frames; ++i) {
      lo = std::min(lo, samples(ch, i));
      hi = std::max(hi, samples(ch, i));
      max_abs = std::max(max_abs, std::fabs(samples(ch, i)));
    }
    const double step = (p.phys_max - p.phys_min) / (p.dig_max - p.dig_min);
    if (c.values == Values::ConverterUnits) {
      EXPECT_EQ(step, 1.0);
      for (int32_t i = 0; i < c.frames; ++i) ASSERT_EQ(d.samples(ch, i), samples(ch, i)) << ch << "," << i;
      EXPECT_EQ(d.ch_max[ch], max_abs);
    } else {
      EXPECT_LE(p.phys_min, lo);
      EXPECT_GE(p.phys_max, hi);
      EXPECT_LE(p.phys_max - p.phys_min, (hi - lo) * 1.0001) << "the best 16-bit resolution of the range";
      for (int32_t i = 0; i < c.frames; ++i)
        ASSERT_NEAR(d.samples(ch, i), samples(ch, i), step / 2 + std::fabs(samples(ch, i)) * 1e-7)
            << ch << "," << i;
      EXPECT_NEAR(d.ch_max[ch], max_abs, step);
    }
  }
  QStringList texts;
  for (int i = 0; i < hdr.annotations_in_file; ++i) {
    edf_annotation_struct a{};
    ASSERT_EQ(edf_get_annotation(hdr.handle, i, &a), 0);
    if (QByteArray(a.annotation).startsWith("block") || QByteArray(a.annotation) == "Recording ends")
      texts << QString::fromUtf8(a.annotation);
  }
  const bool padded = hdr.datarecords_in_file * hdr.signalparam[0].smp_in_datarecord > c.frames;
  edfclose_file(hdr.handle);
  QStringList expected;
  for (int b = 1; c.block_length > 0 && b <= c.frames / c.block_length; ++b)
    expected << QStringLiteral("block %1").arg(b);
  if (padded) expected << "Recording ends";
  EXPECT_EQ(texts, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Recordings, RoundTrip,
    ::testing::Values(
        TripCase{"BlockOfThreeChannels",
                 3,
                 {2, 3, 4},
                 1000,
                 0.001f,
                 250,
                 Values::ConverterUnits,
                 {"input 2", "input 3", "input 4"}},
        TripCase{"ContinuousPadded",
                 2,
                 {1, 3, 0},
                 2503,
                 0.004f,
                 0,
                 Values::ConverterUnits,
                 {"input 1", "input 3"}},
        TripCase{"ShorterThanARecord", 1, {4, 0, 0}, 5, 0.001f, 0, Values::ConverterUnits, {"input 4"}},
        TripCase{
            "PrnAt300Hz", 2, {1, 1, 0}, 1000, 1.0f / 300, 0, Values::Hundredths, {"channel 1", "channel 2"}},
        TripCase{"BlocksAt100us", 1, {1, 0, 0}, 600, 100e-6f, 200, Values::ConverterUnits, {"input 1"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadEdf, TheFirstSignalsAsAnsweredAndProgressInPortions) {
  QTemporaryDir dir;
  const QString path = dir.filePath("three.edf");
  edflib_file(path, {100, 100, 100}, 36);
  std::vector<int> reports;
  Result<EdfContents> r = read_edf(
      path, [](int) { return answer_with(" 2 "); }, [&](int pct) { reports.push_back(pct); });
  ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
  EXPECT_EQ(r.value().signal_count, 3);
  EXPECT_EQ(r.value().channel_count, 2);
  ASSERT_EQ(r.value().samples.channels(), 2);
  EXPECT_EQ(r.value().sample_count, 3600);
  EXPECT_EQ(r.value().samples(2, 3599), 35.0f);
  EXPECT_EQ(r.value().ch_max, (PerChannel<float>{35, 35, 0}));
  EXPECT_FLOAT_EQ(r.value().sample_interval, 0.01f);
  ASSERT_EQ(reports.size(), 36u);
  EXPECT_EQ(reports.front(), 3);  // 100 of 3600, rounded
  EXPECT_EQ(reports.back(), 100);
}

TEST(ReadEdf, PlainEdfAndBdfAndBdfPlus) {
  QTemporaryDir dir;
  const auto digital = [](int s, int i) { return (i * 97 + s * 1000) % 4096 - 2048; };
  for (bool bdf : {false, true}) {
    const QString path = dir.filePath(bdf ? "plain.bdf" : "plain.edf");
    save(path, plain_file(bdf, 2, 50, 3, digital));
    Result<EdfContents> r = read_edf(path, [](int) { return answer_with("2"); });
    ASSERT_TRUE(r.ok()) << bdf << ": " << r.failure().detail.toStdString();
    EXPECT_EQ(r.value().kind, bdf ? EdfKind::Bdf : EdfKind::Edf);
    ASSERT_EQ(r.value().sample_count, 150);
    EXPECT_FLOAT_EQ(r.value().sample_interval, 0.01f);
    for (int s = 0; s < 2; ++s)
      for (int i = 0; i < 150; ++i)
        ASSERT_NEAR(r.value().samples(s + 1, i), (digital(s, i) + 2048) * (200.0 / 4095) - 100, 1e-4)
            << s << "," << i;
    EXPECT_EQ(r.value().markers, std::vector<int16_t>(150, 0));
  }
  const QString path = dir.filePath("plus.bdf");
  edflib_file(path, {10}, 2, true);
  Result<EdfContents> r = read_edf(path, [](int) { return answer_with("1"); });
  ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
  EXPECT_EQ(r.value().kind, EdfKind::BdfPlus);
  EXPECT_EQ(r.value().samples(1, 15), 100000.0f) << "beyond 16 bits";
}

struct DamageCase {
  const char* name;
  std::function<QByteArray(const QString& dir)> file;
  DataFileError error;
};

// A valid file of two signals at 10 Hz, two records.
QByteArray two_signal_file(const QString& dir) {
  edflib_file(dir + "/two.edf", {10, 10}, 2);
  return load(dir + "/two.edf");
}

QByteArray with_field(QByteArray file, int offset, const QByteArray& text) {
  file.replace(offset, text.size(), text);
  return file;
}

void PrintTo(const DamageCase& c, std::ostream* os) {
  *os << c.name;
}

class Damage : public ::testing::TestWithParam<DamageCase> {};

TEST_P(Damage, IsReportedBeforeTheQuestion) {
  const DamageCase& c = GetParam();
  QTemporaryDir dir;
  const QString path = dir.filePath("damaged.edf");
  save(path, c.file(dir.path()));
  int asked = 0;
  Result<EdfContents> r = read_edf(path, [&](int) { return answer_with("1", &asked); });
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error(), c.error) << r.failure().detail.toStdString();
  EXPECT_EQ(asked, 0);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, Damage,
    ::testing::Values(
        DamageCase{"Empty", [](const QString&) { return QByteArray(); }, DataFileError::TooShort},
        DamageCase{"CutInTheFirstHeader", [](const QString& d) { return two_signal_file(d).left(200); },
                   DataFileError::TooShort},
        DamageCase{"CutInTheSignalHeaders", [](const QString& d) { return two_signal_file(d).left(600); },
                   DataFileError::TooShort},
        DamageCase{"CutInTheData", [](const QString& d) { return two_signal_file(d).chopped(3); },
                   DataFileError::NotEdf},
        DamageCase{"NotEdfAtAll", [](const QString&) { return QByteArray("time,value\n0,1\n").repeated(40); },
                   DataFileError::NotEdf},
        DamageCase{"NoSamplingRate",
                   [](const QString& d) { return with_field(two_signal_file(d), 244, "0       "); },
                   DataFileError::NotEdf},
        DamageCase{"FourSignals",
                   [](const QString& d) {
                     edflib_file(d + "/four.edf", {10, 10, 10, 10}, 1);
                     return load(d + "/four.edf");
                   },
                   DataFileError::BadChannelCount},
        DamageCase{"DifferentRates",
                   [](const QString& d) {
                     edflib_file(d + "/mixed.edf", {10, 20}, 1);
                     return load(d + "/mixed.edf");
                   },
                   DataFileError::MixedSampleRates}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadEdf, AnswersOutsideTheSignalsAreRefused) {
  QTemporaryDir dir;
  const QString path = dir.filePath("two.edf");
  edflib_file(path, {10, 10}, 1);
  for (const char* bad : {"", "0", "3", "two"}) {
    Result<EdfContents> r = read_edf(path, [&](int) { return answer_with(bad); });
    ASSERT_FALSE(r.ok()) << bad;
    EXPECT_EQ(r.error(), DataFileError::BadChannelAnswer) << bad;
  }
}

}  // namespace
