// Guards recordings on disk: the header bytes, every frame read back against the generator's
// values and the marker words, the chunk boundaries (a chunk full inside a sweep ends the
// recording; one full on the first frame of a sweep goes on into a second chunk), block
// recording with STIM, Save and CLOSE, the proposed names, and failures that must neither lose
// frames nor pass in silence.
#include <sys/resource.h>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <csignal>

#include "acquisition/signal_source.h"
#include "core/numbers.h"
#include "app/settings.h"
#include "support/window_fixture.h"
#include "ui/surface.h"

using namespace quarvel;
using quarvel::testing::WindowTest;

namespace {

struct Recorded {
  QByteArray header;
  std::vector<std::vector<int16_t>> frames;
  qint64 size = 0;
};

Recorded read_recording(const QString& path, int channels) {
  QFile f(path);
  Recorded r;
  if (!f.open(QIODevice::ReadOnly)) return r;
  const QByteArray all = f.readAll();
  r.size = all.size();
  r.header = all.left(128);
  const int frame_bytes = 2 * (channels + 1);
  for (qsizetype at = 128; at + frame_bytes <= all.size(); at += frame_bytes) {
    std::vector<int16_t> frame;
    for (int k = 0; k <= channels; ++k)
      frame.push_back(qFromLittleEndian<int16_t>(all.constData() + at + 2 * k));
    r.frames.push_back(frame);
  }
  return r;
}

int16_t le16(const QByteArray& b, int at) {
  return qFromLittleEndian<int16_t>(b.constData() + at);
}
int32_t le32(const QByteArray& b, int at) {
  return qFromLittleEndian<int32_t>(b.constData() + at);
}

class Recording : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    w->mnuMeasure->trigger();
  }
  void choose_input(int i, int input) { choose_item(w->ch_list[static_cast<size_t>(i)], input); }
  QString path(const QString& name) { return QDir(data_dir.path()).filePath(name); }
  // The values the generator gives the active channels, frame by frame, from its state now.
  std::vector<std::vector<int16_t>> expected_samples(int frames) {
    SharedState twin;
    twin.rng = w->s.rng;
    twin.sim_phase = 0;
    std::vector<std::vector<int16_t>> out;
    for (int f = 0; f < frames; ++f) {
      std::vector<int16_t> frame;
      for (int ch = 1; ch <= 3; ++ch)
        if (w->s.ch_source[ch] > 0) frame.push_back(round_i16(sim_sample(twin, 0)));
      out.push_back(frame);
    }
    return out;
  }
};

TEST_F(Recording, ContinuousRecordingReadsBackFrameForFrame) {
  choose_input(0, 2);
  choose_input(2, 4);
  const auto expected = expected_samples(20);
  dialogs->expect_save("Open file to save data", path("data01.bin"));
  QString caption_while;
  bool store_enabled_while = true;
  timer->before_tick = [&](int n) {
    if (n == 2) {
      caption_while = w->windowTitle();
      store_enabled_while = w->store->isEnabled() || w->ch_list[0]->isEnabled() || w->monitor->isEnabled();
    }
    if (n == 5) w->drug_button->click();
    if (n == 10) w->stim->click();
    if (n == 15) w->drug_button->click();
    if (n == 20) w->halt->click();
  };
  QTest::mouseClick(w->store, Qt::LeftButton);

  const auto& req = dialogs->asked().front().request;
  EXPECT_EQ(req.filter, "Data File (*.bin)");
  EXPECT_EQ(req.filter_index, 1);
  EXPECT_EQ(req.file_name, "data01.bin");
  EXPECT_EQ(req.default_ext, "bin");
  EXPECT_EQ(req.initial_dir, data_dir.path());
  EXPECT_EQ(caption_while, "CONTINUOUS RECORD MODE  file name: " + path("data01.bin"));
  EXPECT_FALSE(store_enabled_while);

  const Recorded r = read_recording(path("data01.bin"), 2);
  EXPECT_EQ(r.size, 128 + 20 * 3 * 2);
  EXPECT_EQ(r.header.left(12), "Version 1.00");
  EXPECT_EQ(le16(r.header, 12), 2);
  EXPECT_EQ(le16(r.header, 14), 2);
  EXPECT_EQ(le16(r.header, 16), 0);
  EXPECT_EQ(le16(r.header, 18), 4);
  EXPECT_EQ(le16(r.header, 20), 0);
  EXPECT_EQ(le32(r.header, 22), -1);
  EXPECT_EQ(le16(r.header, 26), 0);
  EXPECT_EQ(le16(r.header, 28), 1);
  EXPECT_EQ(le16(r.header, 30), 0);
  EXPECT_EQ(le32(r.header, 32), 100000);
  EXPECT_EQ(r.header.mid(36), QByteArray(92, '\0'));
  ASSERT_EQ(r.frames.size(), 20u);
  for (size_t f = 0; f < 20; ++f) {
    EXPECT_EQ(r.frames[f][0], expected[f][0]) << "frame " << f;
    EXPECT_EQ(r.frames[f][1], expected[f][1]) << "frame " << f;
    const int16_t marker = f + 1 == 10 ? 200 : (f + 1 >= 5 && f + 1 < 15 ? 100 : 0);
    EXPECT_EQ(r.frames[f][2], marker) << "frame " << f;
  }
  EXPECT_EQ(w->windowTitle(), "CONTINUOUS MODE   LAST RECORDED FILE: " + path("data01.bin"));
  EXPECT_TRUE(w->store->isEnabled());
  EXPECT_TRUE(w->monitor->isEnabled());
  EXPECT_TRUE(w->ch_list[1]->isEnabled());
  EXPECT_TRUE(w->mnuBlock->isEnabled());
  EXPECT_FALSE(w->halt->isEnabled());
  EXPECT_EQ(w->s.recording, kFalse);
}

TEST_F(Recording, AChunkFullInsideASweepEndsTheRecording) {
  choose_input(0, 1);
  type_into(w->file_lng, "5");  // 50 frames at 10 Hz, inside the first sweep of 80
  dialogs->expect_save("Open file to save data", path("data01.bin"));
  QTest::mouseClick(w->store, Qt::LeftButton);
  EXPECT_EQ(timer->ticks, 50);
  const Recorded r = read_recording(path("data01.bin"), 1);
  EXPECT_EQ(r.size, 128 + 50 * 4);
  const auto expected = expected_samples(0);
  EXPECT_EQ(w->s.acq_running, kFalse);
}

TEST_F(Recording, AChunkFullOnTheFirstFrameOfASweepGoesOnInANewChunk) {
  choose_input(0, 1);
  const auto expected = expected_samples(162);
  type_into(w->file_lng, "8.1");  // 81 frames = one sweep of 80 + the first frame of the next
  dialogs->expect_save("Open file to save data", path("data01.bin"));
  QTest::mouseClick(w->store, Qt::LeftButton);
  // chunk 1: frames 1..81 written at the start of sweep 2; chunk 2 fills inside sweep 3
  EXPECT_EQ(timer->ticks, 162);
  const Recorded r = read_recording(path("data01.bin"), 1);
  EXPECT_EQ(r.size, 128 + 162 * 4);
  ASSERT_EQ(r.frames.size(), 162u);
  for (size_t f = 0; f < 162; ++f) EXPECT_EQ(r.frames[f][0], expected[f][0]) << "frame " << f;
}

TEST_F(Recording, AStimulusAtTheStartOfASweepMarksOneFrame) {
  choose_input(0, 1);
  dialogs->expect_save("Open file to save data", path("data01.bin"));
  timer->before_tick = [&](int n) {
    if (n == 81) w->stim->click();  // frame 81 opens the second sweep
    if (n == 90) w->halt->click();
  };
  QTest::mouseClick(w->store, Qt::LeftButton);
  const Recorded r = read_recording(path("data01.bin"), 1);
  ASSERT_EQ(r.frames.size(), 90u);
  int marked = 0;
  for (const auto& f : r.frames) marked += f[1] == 200;
  EXPECT_EQ(marked, 1);
  EXPECT_EQ(r.frames[80][1], 200);
}

TEST_F(Recording, StopDuringTheFirstSampleEndsTheRecording) {
  choose_input(0, 1);
  dialogs->expect_save("Open file to save data", path("data01.bin"));
  timer->before_tick = [&](int n) {
    if (n == 1) QTest::mouseClick(w->halt, Qt::LeftButton);
  };
  QTest::mouseClick(w->store, Qt::LeftButton);
  EXPECT_LE(timer->ticks, 2) << "the STOP seen greyed out is not forgotten";
  EXPECT_EQ(w->s.acq_running, kFalse);
  const Recorded r = read_recording(path("data01.bin"), 1);
  EXPECT_LE(r.frames.size(), 2u);
  EXPECT_EQ(r.size, 128 + 4 * static_cast<qint64>(r.frames.size()));
}

// A tick that comes late, with the clock moved on by `late_ns` beyond its interval before tick
// `late_tick`, while recording at `rate` until STOP before tick `stop_tick`.
struct LateTick {
  const char* name;
  const char* rate;
  int late_tick;
  int64_t late_ns;
  int stop_tick;
  size_t frames;     // in the file at the end
  float view_start;  // of the sweep the recording ended in
};

class CatchUp : public Recording, public ::testing::WithParamInterface<LateTick> {};

TEST_P(CatchUp, TheLoopTakesEverySampleThatFellDueAndNoOther) {
  const LateTick& c = GetParam();
  type_into(w->sampling_hz, c.rate);
  choose_input(0, 1);
  const auto expected = expected_samples(static_cast<int>(c.frames) + 1);
  dialogs->expect_save("Open file to save data", path("data01.bin"));
  timer->before_tick = [&](int n) {
    if (n == c.late_tick) clock->t += c.late_ns;
    if (n == c.stop_tick) w->halt->click();
  };
  QTest::mouseClick(w->store, Qt::LeftButton);
  EXPECT_EQ(timer->ticks, c.stop_tick);
  EXPECT_FALSE(timer->enabled()) << "the end of the loop switches its timer off";
  const Recorded r = read_recording(path("data01.bin"), 1);
  EXPECT_EQ(r.size, 128 + 4 * static_cast<qint64>(r.frames.size())) << "whole frames only";
  ASSERT_EQ(r.frames.size(), c.frames);
  // One generator value per frame, in order: nothing skipped, nothing taken twice.
  for (size_t f = 0; f < c.frames; ++f) {
    ASSERT_EQ(r.frames[f][0], expected[f][0]) << "frame " << f;
    ASSERT_EQ(r.frames[f][1], 0) << "frame " << f;
  }
  EXPECT_EQ(w->s.view_start, c.view_start);
}

constexpr int64_t kMs = 1000 * 1000;

INSTANTIATE_TEST_SUITE_P(
    FakeClock, CatchUp,
    ::testing::Values(
        LateTick{"OnTime", "10", 3, 0, 6, 6, 0},
        LateTick{"TwoAndAHalfPeriodsLateOweTwo", "10", 3, 250 * kMs, 6, 8, 0},
        LateTick{"AtOneKilohertz", "1000", 4, 7 * kMs + kMs / 2, 10, 17, 0},
        LateTick{"TenSecondsLateCrossIntoTheNextSweep", "10", 5, 10000 * kMs, 7, 107, 80},
        LateTick{"StopPressedWhileSamplesAreOwedEndsAtOnce", "10", 5, 50 * 100 * kMs, 5, 5, 0}),
    [](const ::testing::TestParamInfo<LateTick>& p) { return std::string(p.param.name); });

// Resident memory of the process in bytes.
qint64 resident_bytes() {
  QFile f("/proc/self/statm");
  if (!f.open(QIODevice::ReadOnly)) return 0;
  const QList<QByteArray> fields = f.readAll().split(' ');
  return fields.size() > 1 ? fields[1].toLongLong() * 4096 : 0;
}

TEST_F(Recording, MemoryDoesNotGrowWithTheFileLength) {
  type_into(w->sampling_hz, "1000");
  for (int i = 0; i < 3; ++i) choose_input(i, i + 1);
  type_into(w->file_lng, "100000");  // 100000 s at 1 kHz: 800 MB of frames
  EXPECT_EQ(w->s.file_length, 100000.0f);
  dialogs->expect_save("Open file to save data", path("data01.bin"));
  const qint64 before = resident_bytes();
  qint64 during = 0;
  timer->before_tick = [&](int n) {
    if (n == 3) during = resident_bytes();
    if (n == 4) w->halt->click();
  };
  QTest::mouseClick(w->store, Qt::LeftButton);
  EXPECT_LT(during - before, 64LL << 20);
  EXPECT_EQ(read_recording(path("data01.bin"), 3).frames.size(), 4u);
}

TEST(KilledRecording, TheFileHoldsTheHeaderAndWholeFramesWrittenUpToTheLastSecond) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.filePath("data01.bin");
  QProcess child;
  child.start(QStringLiteral(QUARVEL_RECORD_CHILD), {file});
  ASSERT_TRUE(child.waitForStarted());
  QElapsedTimer clock;
  clock.start();
  while (QFileInfo(file).size() <= 128 && clock.elapsed() < 20000) QTest::qWait(20);
  const qint64 first_flush = QFileInfo(file).size();
  ASSERT_GT(first_flush, 128) << "frames reach the disk within the first second or so";
  QTest::qWait(1500);
  const qint64 a_second_before = QFileInfo(file).size();
  QTest::qWait(1100);
  child.kill();  // SIGKILL: nothing of the program runs after this
  child.waitForFinished();

  const Recorded r = read_recording(file, 1);
  EXPECT_EQ(r.header.left(12), "Version 1.00");
  EXPECT_EQ((r.size - 128) % 4, 0) << "whole frames only";
  EXPECT_GE(r.size, a_second_before) << "what was on disk a second before the kill is kept";
  EXPECT_GT(a_second_before, first_flush) << "and the file grows while recording";
  SharedState twin;
  std::vector<int16_t> expected;
  for (size_t f = 0; f < r.frames.size(); ++f) expected.push_back(round_i16(sim_sample(twin, 0)));
  for (size_t f = 0; f < r.frames.size(); ++f) {
    ASSERT_EQ(r.frames[f][0], expected[f]) << "frame " << f;
    ASSERT_EQ(r.frames[f][1], 0) << "frame " << f;
  }
}

TEST_F(Recording, CancelledDialogRecordsNothing) {
  choose_input(0, 1);
  dialogs->expect_save("Open file to save data", "");
  QTest::mouseClick(w->store, Qt::LeftButton);
  EXPECT_EQ(timer->ticks, 0);
  EXPECT_TRUE(QDir(data_dir.path()).entryList(QDir::Files).isEmpty());
  EXPECT_TRUE(w->store->isEnabled());
  EXPECT_EQ(w->windowTitle(), "CONTINUOUS MODE");
  EXPECT_EQ(w->s.recording, kFalse);
}

TEST_F(Recording, ProposesTheNextFreeNumber) {
  for (const char* n : {"data01.bin", "data02.bin", "data09.bin", "notes.bin", "data1.bin"}) {
    QFile f(path(n));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  choose_input(0, 1);
  dialogs->expect_save("Open file to save data", "");
  QTest::mouseClick(w->store, Qt::LeftButton);
  EXPECT_EQ(dialogs->asked().back().request.file_name, "data10.bin");
  QFile f(path("data99.bin"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  dialogs->expect_save("Open file to save data", "");
  QTest::mouseClick(w->store, Qt::LeftButton);
  EXPECT_EQ(dialogs->asked().back().request.file_name, "data100.bin");
}

TEST_F(Recording, AnUnusableNameIsReportedAndChangesNothing) {
  choose_input(0, 1);
  dialogs->expect_save("Open file to save data", path("no/such/folder/x.bin"));
  dialogs->expect_warning_starting("Error encountered while writing the recording");
  QTest::mouseClick(w->store, Qt::LeftButton);
  EXPECT_EQ(timer->ticks, 0);
  EXPECT_TRUE(w->store->isEnabled());
  EXPECT_TRUE(w->ch_list[0]->isEnabled());
  EXPECT_EQ(w->s.recording, kFalse);
}

// A file-size limit makes the writes fail part way, as a full disk would.
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

TEST_F(Recording, AFailedWriteIsReportedAndLeavesWholeFrames) {
  choose_input(0, 1);
  choose_input(1, 2);
  type_into(w->file_lng, "3");  // one chunk of 30 frames of 3 words: 180 bytes
  dialogs->expect_save("Open file to save data", path("data01.bin"));
  dialogs->expect_warning(
      "Error encountered while writing the recording, the file keeps what was saved before: File too large "
      "(data01.bin)");
  {
    const FileSizeLimit limit(128 + 100);  // the chunk only fits in part
    QTest::mouseClick(w->store, Qt::LeftButton);
  }
  const Recorded r = read_recording(path("data01.bin"), 2);
  EXPECT_EQ(r.size, 128 + 16 * 6) << "only the whole frames that fitted stay in the file";
  EXPECT_EQ(r.header.left(12), "Version 1.00");
  EXPECT_TRUE(w->store->isEnabled());
  EXPECT_TRUE(w->monitor->isEnabled());
  EXPECT_TRUE(w->sampling_hz->isEnabled());
  EXPECT_EQ(w->s.recording, kFalse);
  EXPECT_EQ(w->s.acq_running, kFalse);
}

TEST_F(Recording, AFileRemovedWhileRecordingIsReportedAndNotRecreated) {
  choose_input(0, 1);
  dialogs->expect_save("Open file to save data", path("data01.bin"));
  dialogs->expect_warning(
      "Error encountered while writing the recording, the file keeps what was saved before: the file was "
      "removed while recording (data01.bin)");
  timer->before_tick = [&](int n) {
    if (n == 5) QFile::remove(path("data01.bin"));
    if (n == 10) QTest::mouseClick(w->halt, Qt::LeftButton);
  };
  QTest::mouseClick(w->store, Qt::LeftButton);
  EXPECT_FALSE(QFile::exists(path("data01.bin"))) << "no file without its header";
  EXPECT_EQ(w->s.recording, kFalse);
  EXPECT_TRUE(w->store->isEnabled());
  EXPECT_TRUE(w->ch_list[0]->isEnabled());
}

class BlockRecording : public Recording {
 protected:
  void SetUp() override {
    Recording::SetUp();
    // block measurement of 1000 ms at 1 kHz
    dialogs->expect_input("Block length (ms):", "1000");
    w->mnuBlock->trigger();
    choose_input(0, 1);
  }
  void stim_settings(const char* d, const char* i, const char* n) {
    type_into(w->dly1, d);
    type_into(w->interval, i);
    type_into(w->stim_num, n);
  }
  std::vector<int> marks() {
    std::vector<int> at;
    for (size_t j = 0; j < w->s.marker_data.size(); ++j)
      if (w->s.marker_data[j] == 200) at.push_back(static_cast<int>(j));
    return at;
  }
};

TEST_F(BlockRecording, StimMarksTheStimuliOfTheBlock) {
  stim_settings("10", "5", "3");
    w->stim->click();
  EXPECT_EQ(marks(), (std::vector<int>{10, 15, 20}));
  EXPECT_EQ(w->s.raw_data.last_index(), 999);
  EXPECT_EQ(w->s.block_count, 1);
  EXPECT_EQ(w->s.work_data(3, 500), w->s.raw_data(3, 500));
  for (int j = 0; j < 1000; ++j) ASSERT_LT(std::abs(w->s.raw_data(2, j)), 25.0f);
  stim_settings("10", "5", "0");
  w->stim->click();
  EXPECT_EQ(marks(), (std::vector<int>{10})) << "no stimulus count still marks the delay";
  stim_settings("990", "5", "3");
  w->stim->click();
  EXPECT_EQ(marks(), (std::vector<int>{990, 995})) << "a stimulus beyond the block is not marked";
  stim_settings("-5", "10", "2");
  w->stim->click();
  EXPECT_EQ(marks(), (std::vector<int>{5})) << "a stimulus before the block is not marked either";
}

TEST_F(BlockRecording, SaveAppendsTheBlockAndAveragesIt) {
  stim_settings("10", "5", "3");
  dialogs->expect_save("Open file to save data", path("data01.bin"));
  QTest::mouseClick(w->store, Qt::LeftButton);
  EXPECT_EQ(w->halt->text(), "CLOSE");
  EXPECT_TRUE(w->save->isEnabled());
  EXPECT_EQ(w->windowTitle(), "BLOCK RECORD MODE  file name: " + path("data01.bin"));
  EXPECT_EQ(w->ave_count_label->text(), "saved");
    w->stim->click();
  const float first = w->s.work_data(1, 7);
  w->save->click();
  w->save->click();
  EXPECT_EQ(w->ave_count->text(), " 2");
  EXPECT_FLOAT_EQ(w->s.ave_data(1, 7), first) << "the same block twice averages to itself";
  w->stim->click();
  const float second = w->s.work_data(1, 7);
  w->save->click();
  EXPECT_FLOAT_EQ(w->s.ave_data(1, 7), (2 * first + second) / 3);
  w->halt->click();
  EXPECT_EQ(w->halt->text(), "STOP");
  EXPECT_EQ(w->ave_count_label->text(), " ave");
  EXPECT_EQ(w->windowTitle(), "BLOCK MODE    LAST RECORDED FILE: " + path("data01.bin"));
  EXPECT_FALSE(w->save->isEnabled());
  EXPECT_TRUE(w->store->isEnabled());

  const Recorded r = read_recording(path("data01.bin"), 1);
  EXPECT_EQ(le16(r.header, 20), -1);
  EXPECT_EQ(static_cast<uint8_t>(r.header[20]), 0xFF);
  EXPECT_EQ(static_cast<uint8_t>(r.header[21]), 0xFF);
  EXPECT_EQ(le32(r.header, 22), 1000);
  EXPECT_EQ(le16(r.header, 26), 10);
  EXPECT_EQ(le16(r.header, 28), 3);
  EXPECT_EQ(le16(r.header, 30), 5);
  EXPECT_EQ(le32(r.header, 32), 1000);
  ASSERT_EQ(r.frames.size(), 3000u);
  for (int j = 0; j < 1000; ++j) {
    EXPECT_EQ(r.frames[static_cast<size_t>(j)], r.frames[static_cast<size_t>(1000 + j)]) << j;
  }
  EXPECT_EQ(r.frames[10][1], 200);
  EXPECT_EQ(r.frames[2015][1], 200);
  EXPECT_EQ(r.frames[2007][0], round_i16(second));
}

TEST_F(BlockRecording, ASaveThatFailsPartWayLeavesTheBlocksSavedBefore) {
  dialogs->expect_save("Open file to save data", path("data01.bin"));
  QTest::mouseClick(w->store, Qt::LeftButton);
  w->stim->click();
  w->save->click();  // one whole block: 1000 frames of 2 words
  dialogs->expect_warning_starting("Error encountered while writing the recording");
  {
    const FileSizeLimit limit(128 + 4000 + 1500);  // the second block only fits in part
    w->stim->click();
    w->save->click();
  }
  const Recorded r = read_recording(path("data01.bin"), 1);
  EXPECT_EQ(r.size, 128 + 4000) << "the file holds whole blocks only";
  EXPECT_EQ(w->ave_count->text(), " 1") << "the block that failed is not counted";
  EXPECT_EQ(w->s.recording, kFalse);
  EXPECT_TRUE(w->store->isEnabled());
}

TEST_F(BlockRecording, CloseWithoutARecordingTouchesNoFile) {
  w->halt->setEnabled(true);
  w->halt->click();
  EXPECT_TRUE(QDir(data_dir.path()).entryList(QDir::Files).isEmpty());
  EXPECT_TRUE(w->store->isEnabled());
  EXPECT_EQ(w->s.recording, kFalse);
}

}  // namespace
