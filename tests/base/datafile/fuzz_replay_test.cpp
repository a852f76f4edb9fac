// Replays the fuzz inputs as ordinary tests, so a reader regression fails without clang: every seed
// under fuzz/corpus/ is the file the writer makes and reads back what it was made from, and every
// saved input under fuzz/regressions/ gets the value or failure its bytes call for.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <limits>
#include <ostream>
#include <string>

#include "datafile/bin_reader.h"
#include "datafile/prn_reader.h"
#include "properties.h"
#include "seeds.h"
#include "serial_properties.h"

using namespace quarvel;
using namespace quarvel::fuzz;

// Seeds print as their names in test listings, not as raw bytes.
namespace quarvel::fuzz {
void PrintTo(const BinSeed& s, std::ostream* os) {
  *os << s.name;
}
void PrintTo(const PrnSeed& s, std::ostream* os) {
  *os << s.name;
}
void PrintTo(const EdfSeed& s, std::ostream* os) {
  *os << s.name;
}
void PrintTo(const NumberSeed& s, std::ostream* os) {
  *os << s.name;
}
void PrintTo(const SerialSeed& s, std::ostream* os) {
  *os << s.name;
}
}  // namespace quarvel::fuzz

namespace {

const QString kFuzzDir = QStringLiteral(QUARVEL_FUZZ_DIR);

QByteArray bytes_of_file(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

std::string lines(const Findings& findings) {
  std::string out;
  for (const std::string& l : findings) out += l + "\n";
  return out;
}

template <typename Seed>
std::string seed_name(const ::testing::TestParamInfo<Seed>& info) {
  std::string n = info.param.name;
  for (char& ch : n)
    if (ch == '-') ch = '_';
  return n;
}

// The committed seed file is the one the generator makes now.
template <typename Seed>
void expect_committed(const char* target, const Seed& seed) {
  const QString path = kFuzzDir + "/corpus/" + target + "/" + QString::fromStdString(seed.name);
  ASSERT_TRUE(QFileInfo::exists(path)) << path.toStdString() << " is missing: run make_seeds";
  EXPECT_EQ(bytes_of_file(path), seed.input) << path.toStdString() << " differs from what make_seeds writes";
}

class BinSeedFile : public ::testing::TestWithParam<BinSeed> {};

TEST_P(BinSeedFile, ReadsBackWhatWasWritten) {
  const BinSeed& seed = GetParam();
  expect_committed("bin", seed);
  const BinCase c = bin_case(seed.input);
  Result<BinContents> r = parse_bin(c.file, [&] { return c.answer; });
  ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
  const BinContents& d = r.value();
  EXPECT_EQ(d.format, seed.format);
  EXPECT_EQ(d.header, seed.header);
  ASSERT_EQ(d.channel_count(), seed.channels);
  ASSERT_EQ(d.sample_count, seed.frames);
  EXPECT_FLOAT_EQ(d.sample_interval, seed.interval_s);
  for (int ch = 1; ch <= seed.channels; ++ch)
    for (int32_t i = 0; i < seed.frames; ++i)
      ASSERT_EQ(d.samples(ch, i), seed.samples(ch, i)) << "channel " << ch << ", frame " << i;
  EXPECT_EQ(d.markers, seed.markers);
  EXPECT_EQ(lines(check_bin(c)), "");
}

INSTANTIATE_TEST_SUITE_P(Corpus, BinSeedFile, ::testing::ValuesIn(bin_seeds()), seed_name<BinSeed>);

class PrnSeedFile : public ::testing::TestWithParam<PrnSeed> {};

TEST_P(PrnSeedFile, ReadsBackWhatWasWritten) {
  const PrnSeed& seed = GetParam();
  expect_committed("prn", seed);
  const PrnCase c = prn_case(seed.input);
  Result<PrnContents> r = parse_prn(c.file, c.channels);
  ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
  ASSERT_EQ(r.value().channel_count, seed.channels);
  ASSERT_EQ(r.value().sample_count, seed.frames);
  for (int ch = 1; ch <= seed.channels; ++ch)
    for (int32_t i = 0; i < seed.frames; ++i)
      ASSERT_EQ(r.value().samples(ch, i), seed.samples(ch, i)) << "channel " << ch << ", value " << i;
  EXPECT_EQ(lines(check_prn(c)), "");
}

INSTANTIATE_TEST_SUITE_P(Corpus, PrnSeedFile, ::testing::ValuesIn(prn_seeds()), seed_name<PrnSeed>);

class EdfSeedFile : public ::testing::TestWithParam<EdfSeed> {};

TEST_P(EdfSeedFile, ReadsBackWhatWasExported) {
  const EdfSeed& seed = GetParam();
  expect_committed("edf", seed);
  const EdfCase c = edf_case(seed.input);
  QTemporaryDir dir;
  const QString path = dir.filePath("seed.edf");
  EXPECT_EQ(lines(check_edf(c, path)), "");  // leaves the file at `path`
  Result<EdfContents> r = read_edf(path, [&](int) { return c.answer; });
  ASSERT_TRUE(r.ok()) << r.failure().detail.toStdString();
  ASSERT_EQ(r.value().channel_count, seed.channels);
  ASSERT_EQ(r.value().sample_count, seed.frames);
  for (int ch = 1; ch <= seed.channels; ++ch)
    for (int32_t i = 0; i < seed.frames; ++i)
      ASSERT_EQ(r.value().samples(ch, i), seed.samples(ch, i)) << "channel " << ch << ", frame " << i;
  EXPECT_EQ(r.value().markers, seed.markers);
}

INSTANTIATE_TEST_SUITE_P(Corpus, EdfSeedFile, ::testing::ValuesIn(edf_seeds()), seed_name<EdfSeed>);

class NumberSeedFile : public ::testing::TestWithParam<NumberSeed> {};

TEST_P(NumberSeedFile, KeepsEveryProperty) {
  expect_committed("numbers", GetParam());
  EXPECT_EQ(lines(check_numbers(number_case(GetParam().input))), "");
}

INSTANTIATE_TEST_SUITE_P(Corpus, NumberSeedFile, ::testing::ValuesIn(number_seeds()), seed_name<NumberSeed>);

class LineSeedFile : public ::testing::TestWithParam<SerialSeed> {};

TEST_P(LineSeedFile, KeepsEveryProperty) {
  expect_committed("lines", GetParam());
  EXPECT_EQ(lines(check_lines(serial_case(GetParam().input))), "");
}

INSTANTIATE_TEST_SUITE_P(Corpus, LineSeedFile, ::testing::ValuesIn(line_seeds()), seed_name<SerialSeed>);

class FirmataSeedFile : public ::testing::TestWithParam<SerialSeed> {};

TEST_P(FirmataSeedFile, KeepsEveryProperty) {
  expect_committed("firmata", GetParam());
  EXPECT_EQ(lines(check_firmata(serial_case(GetParam().input))), "");
}

INSTANTIATE_TEST_SUITE_P(Corpus, FirmataSeedFile, ::testing::ValuesIn(firmata_seeds()),
                         seed_name<SerialSeed>);

// The checks must catch a reader that goes wrong: each case spoils one thing in a good read of a
// seed, and the check has to name it.
struct Spoiled {
  const char* name;
  const char* seed;
  void (*spoil)(Result<BinContents>& r);
  const char* finding;  // a piece of the line the check must report
};

void PrintTo(const Spoiled& s, std::ostream* os) {
  *os << s.name;
}

class SpoiledBinRead : public ::testing::TestWithParam<Spoiled> {};

TEST_P(SpoiledBinRead, IsReported) {
  const std::vector<BinSeed> seeds = bin_seeds();
  const std::string wanted = GetParam().seed;
  const auto seed =
      std::find_if(seeds.begin(), seeds.end(), [&](const BinSeed& s) { return s.name == wanted; });
  ASSERT_NE(seed, seeds.end());
  const BinCase c = bin_case(seed->input);
  Result<BinContents> r = parse_bin(c.file, [&] { return c.answer; });
  ASSERT_EQ(lines(check_bin_read(c, r, "parse_bin")), "") << "the unspoilt read already breaks a property";
  GetParam().spoil(r);
  EXPECT_NE(lines(check_bin_read(c, r, "parse_bin")).find(GetParam().finding), std::string::npos)
      << lines(check_bin_read(c, r, "parse_bin"));
}

void one_frame_more(Result<BinContents>& r) {
  BinContents& d = r.value();
  ++d.sample_count;
  d.samples.reshape(d.channel_count(), d.sample_count - 1);
  d.markers.push_back(0);
}

void one_frame_less(Result<BinContents>& r) {
  BinContents& d = r.value();
  --d.sample_count;
  d.samples.reshape(d.channel_count(), d.sample_count - 1);
  d.markers.pop_back();
}

INSTANTIATE_TEST_SUITE_P(
    Harness, SpoiledBinRead,
    ::testing::Values(
        Spoiled{"MoreFramesThanTheBytesHold", "v-c3-f5", one_frame_more, "more than the bytes hold"},
        Spoiled{"OlderFileOneFrameShort", "o-c2-f6", one_frame_less, "whole frame was left unread"},
        Spoiled{"FractionalSample", "v-c1-f8",
                [](Result<BinContents>& r) { r.value().samples(1, 3) += 0.5f; }, "not an int16 value"},
        Spoiled{"SampleBeyondInt16", "o-c1-f10",
                [](Result<BinContents>& r) { r.value().samples(1, 0) = 32768.0f; }, "not an int16 value"},
        Spoiled{"SampleFromTheWrongBytes", "v-c2-f6-gap",
                [](Result<BinContents>& r) { r.value().samples(2, 5) = 7.0f; },
                "sample 5 of channel 2 differs"},
        Spoiled{"FourChannels", "v-c3-block",
                [](Result<BinContents>& r) { r.value().header.channel_count = 4; }, "outside 1..3"},
        Spoiled{"MarkerFromTheWrongBytes", "v-c3-f5",
                [](Result<BinContents>& r) { r.value().markers[2] = 1; }, "marker 2 differs"},
        Spoiled{"ChannelMaximum", "v-c2-slow", [](Result<BinContents>& r) { r.value().ch_max[2] += 1; },
                "maximum of channel 2"},
        Spoiled{"MaximumAboveTheChannelCount", "v-c1-f60",
                [](Result<BinContents>& r) { r.value().ch_max[3] = 1; }, "maximum of channel 3"},
        Spoiled{"FailureForAGoodFile", "o-c3-f4",
                [](Result<BinContents>& r) {
                  r = DataFileFailure{DataFileError::ReadFailed, {}};
                },
                "gave ReadFailed where the bytes call for a value"}),
    [](const ::testing::TestParamInfo<Spoiled>& info) { return std::string(info.param.name); });

// A .prn read that fails where it must not, or gives a wrong value, is reported too.
TEST(SpoiledPrnRead, WrongValueAndWrongOutcomeAreReported) {
  const std::vector<PrnSeed> seeds = prn_seeds();
  const auto two =
      std::find_if(seeds.begin(), seeds.end(), [](const PrnSeed& s) { return s.name == "p-c2-f7"; });
  ASSERT_NE(two, seeds.end());
  const PrnSeed& seed = *two;  // two channels, 7 values each
  const PrnCase c = prn_case(seed.input);
  Result<PrnContents> r = parse_prn(c.file, c.channels);
  ASSERT_EQ(lines(check_prn_read(c, r, "parse_prn")), "");
  r.value().samples(2, 6) *= 2;
  EXPECT_NE(lines(check_prn_read(c, r, "parse_prn")).find("value 6 of channel 2"), std::string::npos);
  Result<PrnContents> failed = DataFileFailure{DataFileError::BadValue, {}};
  EXPECT_NE(
      lines(check_prn_read(c, failed, "parse_prn")).find("gave BadValue where the bytes call for a value"),
      std::string::npos);
  const PrnCase partial{c.channels, c.file.left(6)};  // not one whole sample of two channels
  EXPECT_NE(lines(check_prn_read(partial, r, "parse_prn")).find("where the bytes call for PartialSample"),
            std::string::npos);
}

// An EDF read that claims more samples than the file has room for, a value that is not a number or
// a wrong maximum is reported.
TEST(SpoiledEdfRead, ImpossibleContentsAreReported) {
  const EdfSeed seed = edf_seeds().front();
  const EdfCase c = edf_case(seed.input);
  QTemporaryDir dir;
  const QString path = dir.filePath("seed.edf");
  ASSERT_EQ(lines(check_edf(c, path)), "");
  const std::vector<int> asked{seed.channels};
  const Result<EdfContents> good = read_edf(path, [&](int) { return c.answer; });
  ASSERT_EQ(lines(check_edf_read(c, good, asked)), "");
  const std::pair<void (*)(EdfContents&), const char*> spoils[] = {
      {[](EdfContents& d) {
         d.sample_count = 1000000;
         d.samples.reshape(d.channel_count, d.sample_count - 1);
         d.markers.resize(1000000);
       },
       "1000000 samples reported"},
      {[](EdfContents& d) { d.samples(2, 7) = std::numeric_limits<float>::quiet_NaN(); },
       "value 7 of channel 2 is not finite"},
      {[](EdfContents& d) { d.ch_max[1] += 1; }, "maximum of channel 1"},
      {[](EdfContents& d) { d.channel_count = 1; }, "not the one answered"},
  };
  for (const auto& [spoil, finding] : spoils) {
    Result<EdfContents> r = read_edf(path, [&](int) { return c.answer; });
    spoil(r.value());
    EXPECT_NE(lines(check_edf_read(c, r, asked)).find(finding), std::string::npos) << finding;
  }
  EXPECT_NE(lines(check_edf_read(c, good, {2, 2})).find("asked more than once"), std::string::npos);
}

// Per target: its seed names, and the check its inputs go through.
struct Target {
  const char* name;
  std::vector<std::string> seeds;
  Findings (*check)(QByteArrayView input);
};

template <typename Seed>
std::vector<std::string> names_of(const std::vector<Seed>& seeds) {
  std::vector<std::string> out;
  for (const Seed& s : seeds) out.push_back(s.name);
  return out;
}

std::vector<Target> targets() {
  return {
      {"bin", names_of(bin_seeds()), [](QByteArrayView in) { return check_bin(bin_case(in)); }},
      {"prn", names_of(prn_seeds()), [](QByteArrayView in) { return check_prn(prn_case(in)); }},
      {"edf", names_of(edf_seeds()),
       [](QByteArrayView in) {
         QTemporaryDir dir;
         return check_edf(edf_case(in), dir.filePath("input.edf"));
       }},
      {"numbers", names_of(number_seeds()), [](QByteArrayView in) { return check_numbers(number_case(in)); }},
      {"lines", names_of(line_seeds()), [](QByteArrayView in) { return check_lines(serial_case(in)); }},
      {"firmata", names_of(firmata_seeds()),
       [](QByteArrayView in) { return check_firmata(serial_case(in)); }}};
}

void PrintTo(const Target& t, std::ostream* os) {
  *os << t.name;
}

class FuzzTarget : public ::testing::TestWithParam<Target> {};

// Only generated seeds are committed as corpus: inputs fuzzing grows stay out of git.
TEST_P(FuzzTarget, CorpusHoldsExactlyTheSeeds) {
  const QDir dir(kFuzzDir + "/corpus/" + GetParam().name);
  ASSERT_TRUE(dir.exists()) << dir.path().toStdString();
  std::vector<std::string> files;
  for (const QString& f : dir.entryList(QDir::Files, QDir::Name)) files.push_back(f.toStdString());
  std::vector<std::string> seeds = GetParam().seeds;
  std::sort(seeds.begin(), seeds.end());
  EXPECT_EQ(files, seeds);
}

// Read from the folder when the test runs, so an input saved after the build is replayed too. The
// seeds are replayed through the same check, so the test always has inputs to judge.
TEST_P(FuzzTarget, EverySavedInputGetsItsAnswer) {
  QFileInfoList saved =
      QDir(kFuzzDir + "/regressions/" + GetParam().name).entryInfoList(QDir::Files, QDir::Name);
  saved += QDir(kFuzzDir + "/corpus/" + GetParam().name).entryInfoList(QDir::Files, QDir::Name);
  ASSERT_FALSE(saved.isEmpty());
  for (const QFileInfo& f : saved) {
    SCOPED_TRACE(f.filePath().toStdString());
    const QByteArray input = bytes_of_file(f.filePath());
    EXPECT_EQ(input.size(), f.size()) << "unreadable";
    EXPECT_EQ(lines(GetParam().check(input)), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Fuzz, FuzzTarget, ::testing::ValuesIn(targets()),
                         [](const ::testing::TestParamInfo<Target>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
