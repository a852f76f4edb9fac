// Guards the file names of data files: the base and extension of an opened file, which reader an
// extension calls for, and the name proposed for the next recording in the data folder.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "datafile/file_names.h"

using namespace quarvel;

namespace {

void expect_split(const char* path, const char* base, const char* ext) {
  const FileNameSplit s = split_file_name(QString::fromLatin1(path));
  EXPECT_EQ(s.file_base.toStdString(), base) << path;
  EXPECT_EQ(s.file_ext.toStdString(), ext) << path;
}

}  // namespace

TEST(FileNameSplit, BareNameSplitAtItsLastDot) {
  expect_split("C:\\data\\data01.bin", "data01.", "bin");
  expect_split("/home/u/data/x.y.prn", "x.y.", "prn");
  expect_split("/home/u/rat3.2024-05-02.bin", "rat3.2024-05-02.", "bin");
  expect_split("/home/u/data/", "", "");
  expect_split("/home/u/README", "", "README");
  expect_split("/home/u.v/notes", "", "notes");
  expect_split("D:/mixed\\sub/rec.BIN", "rec.", "BIN");
  expect_split("data02.bin", "data02.", "bin");
  expect_split("", "", "");
}

TEST(FileNameSplit, ExtensionChoosesTheReader) {
  EXPECT_EQ(data_file_kind("bin"), DataFileKind::Bin);
  EXPECT_EQ(data_file_kind("BIN"), DataFileKind::Bin);
  EXPECT_EQ(data_file_kind("Prn"), DataFileKind::Prn);
  EXPECT_EQ(data_file_kind("y.prn"), DataFileKind::Other);
  EXPECT_EQ(data_file_kind("README"), DataFileKind::Other);
  EXPECT_EQ(data_file_kind(""), DataFileKind::Other);
}

TEST(RecordingName, NextNumberAfterTheLargest) {
  EXPECT_EQ(next_recording_name({}), "data01.bin");
  EXPECT_EQ(next_recording_name({"data06.bin"}), "data07.bin");
  EXPECT_EQ(next_recording_name({"data01.bin", "data02.bin", "data09.bin"}), "data10.bin");
  EXPECT_EQ(next_recording_name({"data99.bin", "data03.bin"}), "data100.bin");
  EXPECT_EQ(next_recording_name({"DATA05.BIN"}), "data06.bin");
  EXPECT_EQ(next_recording_name({"Data12.Bin", "data04.bin"}), "data13.bin");
}

TEST(RecordingName, CharactersThatAreNotANumberCountAsZero) {
  EXPECT_EQ(next_recording_name({"dataAB.bin"}), "data01.bin");
  EXPECT_EQ(next_recording_name({"dataAB.bin", "data03.bin"}), "data04.bin");
  EXPECT_EQ(next_recording_name({"data7x.bin"}), "data08.bin") << "the number at the start";
  EXPECT_EQ(next_recording_name({"data-5.bin"}), "data01.bin") << "never below data01";
}

TEST(RecordingName, OnlyDataWithTwoCharactersAndBinCount) {
  EXPECT_EQ(next_recording_name({"data5.bin", "data123.bin", "xdata07.bin", "data07.bin.bak", "data07.prn",
                                 "/data/data08.bin"}),
            "data01.bin");
  EXPECT_TRUE(is_recording_name("data07.bin"));
  EXPECT_TRUE(is_recording_name("DaTa??.bIn"));
  EXPECT_FALSE(is_recording_name("data07.bim"));
}

TEST(RecordingName, ListsTheMatchingFilesOfTheFolder) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const char* name :
       {"data03.bin", "DATA05.BIN", "dataAB.bin", "data1.bin", "data123.bin", "notes.txt"}) {
    QFile f(dir.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name;
  }
  ASSERT_TRUE(QDir(dir.path()).mkdir("data09.bin"));  // a folder is not a recording

  QStringList names = recording_names_in(dir.path());
  names.sort();
  EXPECT_EQ(names, (QStringList{"DATA05.BIN", "data03.bin", "dataAB.bin"}));
  EXPECT_EQ(next_recording_name(names), "data06.bin");

  EXPECT_TRUE(recording_names_in(dir.filePath("missing")).isEmpty());
  EXPECT_EQ(next_recording_name(recording_names_in(dir.filePath("missing"))), "data01.bin");
}
