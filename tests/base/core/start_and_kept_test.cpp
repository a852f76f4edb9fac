// Guards what comes from outside a run: the command line (one file made absolute, help and version,
// every wrong form refused with a usage text) and the settings store (settings and recent files
// read back as written, and a store holding values the program would refuse when typed giving the
// start-up values instead).
#include <gtest/gtest.h>
#include <QSettings>
#include <QTemporaryDir>

#include "core/command_line.h"
#include "core/kept_settings.h"

using namespace quarvel;

namespace {

struct LineCase {
  QStringList args;  // after the program's name
  QString file;
  bool end;
  int exit_code;
  QString text_start;
};

class CommandLineForms : public ::testing::TestWithParam<LineCase> {};

TEST_P(CommandLineForms, GiveTheFileOrEndWithAText) {
  const LineCase& c = GetParam();
  const CommandLine r = parse_command_line(QStringList{"quarvel"} + c.args, "/home/lab/work");
  EXPECT_EQ(r.file, c.file);
  EXPECT_EQ(r.end, c.end);
  EXPECT_EQ(r.exit_code, c.exit_code);
  EXPECT_TRUE(c.text_start.isEmpty() || r.text.startsWith(c.text_start)) << r.text.toStdString();
  EXPECT_EQ(r.text.isEmpty(), !c.end);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CommandLineForms,
    ::testing::Values(LineCase{{}, "", false, 0, ""},
                      LineCase{{"demo/rest.bin"}, "/home/lab/work/demo/rest.bin", false, 0, ""},
                      LineCase{{"../x/./a.prn"}, "/home/lab/x/a.prn", false, 0, ""},
                      LineCase{{"/data/b.bin"}, "/data/b.bin", false, 0, ""},
                      LineCase{{"a.bin", "b.bin"}, "", true, 2, "Only one file"},
                      LineCase{{"--frobnicate"}, "", true, 2, "Unknown option"},
                      LineCase{{"--version"}, "", true, 0, "quarvel 0."},
                      LineCase{{"--help"}, "", true, 0, "Usage: "}));

class KeptSettings : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir.isValid()); }
  QSettings store() const { return QSettings(dir.filePath("kept.ini"), QSettings::IniFormat); }
  QTemporaryDir dir;
};

TEST_F(KeptSettings, ReadBackAsWritten) {
  AcquisitionSettings a;
  a.inputs = {2, 0, 4};
  a.gains = {3, 1, 0};
  a.sampling_rate = 50;
  a.scr_length = 2.5f;
  a.file_length = 600;
  a.stim_delay = 20;
  a.stim_count = 5;
  a.stim_interval = 1500;
  {
    QSettings s = store();
    write_acquisition_settings(s, a);
  }
  const QSettings s = store();
  EXPECT_EQ(read_acquisition_settings(s), a);
  EXPECT_EQ(read_acquisition_settings(QSettings(dir.filePath("none.ini"), QSettings::IniFormat)),
            AcquisitionSettings{})
      << "an empty store gives the start-up values";
}

TEST_F(KeptSettings, RefusedValuesGiveTheStartUpValues) {
  {
    QSettings s = store();
    s.setValue("acquisition/inputs", QVariantList{7, -1, "x"});
    s.setValue("acquisition/gains", QVariantList{4});
    s.setValue("acquisition/rate", "5000");      // above the fastest rate
    s.setValue("acquisition/screen", "0");       // no length
    s.setValue("acquisition/file", "1e12");      // more frames than a recording may hold
    s.setValue("acquisition/stimuli", "99999");  // saturates as a typed one does
  }
  const AcquisitionSettings r = read_acquisition_settings(store());
  AcquisitionSettings expected;
  expected.stim_count = 32767;
  EXPECT_EQ(r, expected);
}

TEST_F(KeptSettings, RecentFilesHoldEachFileOnceMostRecentFirst) {
  QStringList l;
  for (const char* f : {"/a.bin", "/b.bin", "/c.prn", "/a.bin"}) l = with_recent_file(l, f);
  EXPECT_EQ(l, (QStringList{"/a.bin", "/c.prn", "/b.bin"}));
  for (int i = 0; i < 10; ++i) l = with_recent_file(l, QStringLiteral("/f%1.bin").arg(i));
  ASSERT_EQ(l.size(), kRecentFileCount);
  EXPECT_EQ(l.front(), "/f9.bin");
  EXPECT_EQ(l.back(), "/f4.bin");
  {
    QSettings s = store();
    s.setValue("files/recent", QStringList{"/x.bin", "", "/x.bin", "/y.bin", "/1", "/2", "/3", "/4", "/5"});
  }
  EXPECT_EQ(read_recent_files(store()), (QStringList{"/x.bin", "/y.bin", "/1", "/2", "/3", "/4"}))
      << "empty and repeated entries dropped, the list cut to its length";
}

}  // namespace
