// Replays the fuzz inputs as ordinary tests, so a reader regression fails without clang: every seed
// under fuzz/corpus/ is the file the writer makes and reads back what it was made from, and every
// saved input under fuzz/regressions/ gets the value or failure its bytes call for.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <string>

#include "datafile/bin_reader.h"
#include "datafile/prn_reader.h"
#include "properties.h"
#include "seeds.h"

using namespace quarvel;
using namespace quarvel::fuzz;

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

class NumberSeedFile : public ::testing::TestWithParam<NumberSeed> {};

TEST_P(NumberSeedFile, KeepsEveryProperty) {
  expect_committed("numbers", GetParam());
  EXPECT_EQ(lines(check_numbers(number_case(GetParam().input))), "");
}

INSTANTIATE_TEST_SUITE_P(Corpus, NumberSeedFile, ::testing::ValuesIn(number_seeds()), seed_name<NumberSeed>);

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
  return {{"bin", names_of(bin_seeds()), [](QByteArrayView in) { return check_bin(bin_case(in)); }},
          {"prn", names_of(prn_seeds()), [](QByteArrayView in) { return check_prn(prn_case(in)); }},
          {"numbers", names_of(number_seeds()), [](QByteArrayView in) { return check_numbers(number_case(in)); }}};
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

// Read from the folder when the test runs, so an input saved after the build is replayed too.
TEST_P(FuzzTarget, EverySavedRegressionGetsItsAnswer) {
  const QDir dir(kFuzzDir + "/regressions/" + GetParam().name);
  for (const QFileInfo& f : dir.entryInfoList(QDir::Files, QDir::Name)) {
    SCOPED_TRACE(f.filePath().toStdString());
    const QByteArray input = bytes_of_file(f.filePath());
    EXPECT_EQ(input.size(), f.size()) << "unreadable";
    EXPECT_EQ(lines(GetParam().check(input)), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Fuzz, FuzzTarget, ::testing::ValuesIn(targets()),
                         [](const ::testing::TestParamInfo<Target>& info) { return std::string(info.param.name); });

}  // namespace
