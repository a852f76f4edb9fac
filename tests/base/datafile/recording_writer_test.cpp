// Guards the recording writer against what disks and users do to a file being recorded: what is
// flushed is the header and whole frames byte for byte, a write cut short is taken back to the last
// whole unit (frame or block) with the system's reason, and a file removed or replaced while
// recording is noticed before anything is written, never recreated without its header.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>

#include "acquisition/chunk.h"
#include "datafile/recording_writer.h"

using namespace quarvel;

namespace {

QByteArray read_all(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Writer : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir.isValid()); }
  QString path(const char* name) const { return dir.filePath(name); }
  QTemporaryDir dir;
  const QByteArray header = QByteArray(128, 'H');
};

// A file-size limit makes writes fail part way, as a full disk would.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit l = old_;
    l.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &l);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

 private:
  rlimit old_{};
};

TEST_F(Writer, WritesTheHeaderThenTheFlushedFramesLittleEndian) {
  RecordingWriter rec;
  ASSERT_TRUE(rec.create(path("a.bin"), header).ok());
  const int16_t frame[] = {1, -2, 100};
  rec.append_words(frame, 3);
  EXPECT_EQ(read_all(path("a.bin")), header) << "nothing but the header before a flush";
  ASSERT_TRUE(rec.flush(6).ok());
  rec.append(QByteArray::fromHex("0700f9ffc800"));
  ASSERT_TRUE(rec.flush(6).ok());
  EXPECT_EQ(rec.size(), 140);
  ASSERT_TRUE(rec.close().ok());
  EXPECT_EQ(read_all(path("a.bin")), header + QByteArray::fromHex("0100feff6400") + QByteArray::fromHex("0700f9ffc800"));
}

TEST_F(Writer, AShortWriteIsTakenBackToTheLastWholeUnit) {
  struct Case {
    int64_t unit;
    rlim_t limit;
    int64_t kept;
  } cases[] = {
      {6, 128 + 100, 128 + 96},   // frames of 3 words: 16 whole frames stay
      {600, 128 + 1000, 128 + 600},  // blocks of 100 frames: one whole block stays
      {600, 128 + 500, 128},      // not even one block: the file is as it was
  };
  for (const Case& c : cases) {
    RecordingWriter rec;
    ASSERT_TRUE(rec.create(path("b.bin"), header).ok());
    rec.append(QByteArray(1200, '\x11'));
    Status st;
    {
      const FileSizeLimit limit(c.limit);
      st = rec.flush(c.unit);
    }
    ASSERT_FALSE(st.ok());
    EXPECT_TRUE(st.failure().detail.startsWith("File too large")) << st.failure().detail.toStdString();
    EXPECT_EQ(rec.size(), c.kept);
    EXPECT_EQ(QFile(path("b.bin")).size(), c.kept) << "unit " << c.unit;
    EXPECT_EQ(rec.pending_bytes(), 0);
  }
}

TEST_F(Writer, AFileRemovedOrReplacedIsNoticedAndNeverRecreated) {
  RecordingWriter rec;
  ASSERT_TRUE(rec.create(path("c.bin"), header).ok());
  ASSERT_TRUE(QFile::remove(path("c.bin")));
  rec.append(QByteArray(6, '\x01'));
  Status st = rec.flush(6);
  ASSERT_FALSE(st.ok());
  EXPECT_TRUE(st.failure().detail.contains("removed"));
  EXPECT_FALSE(QFile::exists(path("c.bin"))) << "no file without its header";

  RecordingWriter other;
  ASSERT_TRUE(other.create(path("d.bin"), header).ok());
  ASSERT_TRUE(QFile::remove(path("d.bin")));
  QFile stranger(path("d.bin"));
  ASSERT_TRUE(stranger.open(QIODevice::WriteOnly));
  stranger.write("not ours");
  stranger.close();
  other.append(QByteArray(6, '\x01'));
  st = other.flush(6);
  ASSERT_FALSE(st.ok());
  EXPECT_TRUE(st.failure().detail.contains("replaced"));
  EXPECT_EQ(read_all(path("d.bin")), "not ours");
}

TEST_F(Writer, AFileThatCannotBeCreatedSaysWhy) {
  RecordingWriter rec;
  const Status st = rec.create(path("no/such/folder/e.bin"), header);
  ASSERT_FALSE(st.ok());
  EXPECT_EQ(st.error(), DataFileError::WriteFailed);
  EXPECT_EQ(st.failure().detail, "No such file or directory (e.bin)");
  EXPECT_FALSE(rec.is_open());
}

TEST(ChunkFrames, WholeFramesOfTheRecordingLength) {
  EXPECT_EQ(chunk_frames(180, 0.1f), 1800);
  EXPECT_EQ(chunk_frames(3600, 0.001f), 3600000) << "not one frame lost to the float interval";
  EXPECT_EQ(chunk_frames(1, 0.3f), 3);
  EXPECT_EQ(chunk_frames(0.01f, 0.1f), 1) << "never less than one frame";
  EXPECT_EQ(chunk_frames(5, 0), 1);
  EXPECT_EQ(chunk_frames(3e38f, 0.001f), 2147483646) << "never more than a file may hold";
}

}  // namespace
