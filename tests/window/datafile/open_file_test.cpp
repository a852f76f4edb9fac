// Guards File > Open as the user meets it: the view each kind of file opens in (display length,
// unit, width, captions, menus, status line), both .bin variants and .prn files with their
// questions, a recording made by the program reading back exactly, and every malformed file or
// answer ending in the file-input message with the program still usable.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QtEndian>
#include <cstring>

#include "app/settings.h"
#include "datafile/bin_format.h"
#include "datafile/open_file.h"
#include "support/window_fixture.h"
#include "ui/progress_window.h"
#include "ui/results_grid.h"
#include "ui/surface.h"

using namespace quarvel;
using quarvel::testing::WindowTest;

namespace {

class OpenFile : public WindowTest {
 protected:
  QString path(const QString& name) { return QDir(data_dir.path()).filePath(name); }

  void write_file(const QString& name, const QByteArray& bytes) {
    QFile f(path(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }

  // A versioned file of `frames` frames; sample of channel c in frame i = c * 100 + i % 50, markers
  // 100 on frames 10..19 and 200 on frame 30.
  QByteArray bin_file(int channels, int frames, int32_t interval_us, Flag block = kFalse,
                      int32_t block_length = -1) {
    BinHeader h;
    h.channel_count = static_cast<int16_t>(channels);
    for (int c = 1; c <= channels; ++c) h.ch_source[c] = static_cast<int16_t>(c + 1);
    h.block_mode = block.stored();
    h.block_length = block_length;
    h.stim_delay = 7;
    h.stim_count = 2;
    h.stim_interval = 3;
    h.interval_us = interval_us;
    QByteArray b = encode_bin_header(h);
    for (int i = 0; i < frames; ++i) {
      std::vector<int16_t> samples;
      for (int c = 1; c <= channels; ++c) samples.push_back(static_cast<int16_t>(c * 100 + i % 50));
      append_frame(b, samples, static_cast<int16_t>(i >= 10 && i < 20 ? 100 : i == 30 ? 200 : 0));
    }
    return b;
  }

  void open(const QString& name) {
    dialogs->expect_open("Open data file", path(name));
    w->mnuOpen->trigger();
  }

  void open_expecting_error(const QString& name) {
    dialogs->expect_open("Open data file", path(name));
    dialogs->expect_warning("Error encountered while trying to open file, please retry.");
    w->mnuOpen->trigger();
    EXPECT_EQ(w->s.file_loaded, kFalse);
    EXPECT_EQ(dialogs->asked().back().title, "File input");
    EXPECT_FALSE(w->Scroll->isVisible());
    EXPECT_FALSE(w->busy());
  }
};

TEST_F(OpenFile, ContinuousRecordingOpensInAPowerOfTwoScreen) {
  write_file("data01.bin", bin_file(2, 250, 100000));  // 25 s at 10 Hz
  open("data01.bin");
  const SharedState& s = w->s;
  EXPECT_EQ(s.file_loaded, kTrue);
  EXPECT_EQ(s.block_mode, kFalse);
  EXPECT_EQ(s.sample_count, 250);
  EXPECT_EQ(s.channel_count, 2);
  EXPECT_EQ(s.ch_source[1], 2);
  EXPECT_EQ(s.ch_source[2], 3);
  EXPECT_EQ(s.ch_source[3], 0);
  EXPECT_EQ(s.cont_scr_length, 32.0f);
  EXPECT_EQ(s.scr_length, 32.0f);
  EXPECT_EQ(s.unit_text[0], " s");
  EXPECT_FLOAT_EQ(w->disp->scale_width(), 400.0f);
  EXPECT_EQ(s.raw_data.last_index(), 249) << "the file's frames and no slot after them";
  EXPECT_EQ(s.raw_data(2, 7), 207);
  EXPECT_EQ(s.work_data(1, 249), 100 + 249 % 50);
  EXPECT_EQ(s.marker_data[15], 100);
  EXPECT_EQ(s.marker_data[30], 200);
  EXPECT_EQ(s.ch_max[1], 149);
  EXPECT_EQ(s.ch_max[2], 249);
  EXPECT_EQ(s.block_length, -1);
  EXPECT_EQ(s.block_count, -1);
  EXPECT_EQ(w->windowTitle(), "CONTINUOUS MODE") << "the first load does not name the file";
  EXPECT_EQ(w->SA_label->text(), "single");
  EXPECT_TRUE(w->mnuS->isChecked());
  EXPECT_FALSE(w->mnuOverplot->isEnabled());
  EXPECT_FALSE(w->mnuContinuous->isVisible());
  EXPECT_EQ(w->mnuBlock->text(), "Block mode");
  EXPECT_TRUE(w->newblk->isEnabled());
  const QDateTime when = QFileInfo(path("data01.bin")).lastModified();
  EXPECT_EQ(w->status->text(), QLocale::system().toString(when.date(), QLocale::LongFormat) + "   " +
                                   QLocale::system().toString(when.time(), QLocale::LongFormat));
  const FileDialogRequest& req = dialogs->asked().front().request;
  EXPECT_EQ(req.filter,
            "Quarvel files (*.bin)|*.bin|Labtech files (*.prn)|*.prn|EDF and BDF files (*.edf *.bdf)|*.edf;*.bdf");
  EXPECT_EQ(req.filter_index, 1);
  EXPECT_EQ(req.initial_dir, data_dir.path()) << "the dialog starts where recordings are kept";
  EXPECT_EQ(w->Scroll->value(), 100);
  EXPECT_FALSE(w->Scroll->isVisible());
  // a second load names the file after the mode text
  write_file("short.bin", bin_file(1, 12, 100000));  // 1.2 s
  open("short.bin");
  EXPECT_EQ(w->windowTitle(), "CONTINUOUS MODE       " + path("short.bin"));
  EXPECT_EQ(w->s.scr_length, 1024.0f) << "1.2 s rounds to 1 s, then 1000 ms, then 1024 ms";
  EXPECT_EQ(w->s.unit_text[0], "ms");
  EXPECT_FLOAT_EQ(w->s.scr_factor, 0.001f);
}

TEST_F(OpenFile, BlockRecordingOpensInItsBlockView) {
  write_file("blocks.bin", bin_file(1, 1000, 1000, kTrue, 500));  // two blocks of 500 ms
  open("blocks.bin");
  const SharedState& s = w->s;
  EXPECT_EQ(s.block_mode, kTrue);
  EXPECT_EQ(s.block_length, 500);
  EXPECT_EQ(s.block_count, 2);
  EXPECT_EQ(s.cur_block, 1);
  EXPECT_EQ(s.scr_length, 500.0f);
  EXPECT_EQ(s.unit_text[0], "ms");
  EXPECT_EQ(s.unit_text[1], "ms");
  EXPECT_EQ(s.blk_block_length, 500);
  EXPECT_FLOAT_EQ(w->disp->scale_width(), 625.0f);
  EXPECT_EQ(s.ave_data.last_index(), 499);
  EXPECT_EQ(s.stim_delay, 7);
  EXPECT_EQ(s.stim_count, 2);
  EXPECT_EQ(s.stim_interval, 3);
  EXPECT_EQ(w->windowTitle(), "BLOCK MODE (500.ms)");
  EXPECT_EQ(w->status->text(), "current curve: 1/2     averaged: 0");
  EXPECT_TRUE(w->mnuContinuous->isVisible());
  EXPECT_EQ(w->mnuBlock->text(), "Block length");
  EXPECT_TRUE(w->mnuOverplot->isEnabled());
  EXPECT_TRUE(w->accept->isEnabled());
  EXPECT_FALSE(w->newblk->isEnabled());
  EXPECT_EQ(w->Grid1[0]->text_at(0, 1), "        t") << "the grids carry the block-view header";
}

TEST_F(OpenFile, OlderFilesAskForTheChannelCount) {
  QByteArray b(2, '\0');
  qToLittleEndian<int16_t>(5, b.data());  // 5 ms
  for (int i = 0; i < 40; ++i) {          // frames of two samples and a marker word
    for (int16_t v : {static_cast<int16_t>(i), static_cast<int16_t>(-i), static_cast<int16_t>(0)}) {
      char le[2];
      qToLittleEndian<int16_t>(v, le);
      b.append(le, 2);
    }
  }
  b.append('\x01');  // a stray byte that is no frame
  write_file("old.bin", b);
  dialogs->expect_open("Open data file", path("old.bin"));
  dialogs->expect_input("Number of recorded channels:", "2");
  w->mnuOpen->trigger();
  const SharedState& s = w->s;
  EXPECT_EQ(s.file_loaded, kTrue);
  EXPECT_FLOAT_EQ(s.sample_interval, 0.005f);
  EXPECT_EQ(s.sample_count, 40);
  EXPECT_EQ(s.ch_source[1], 1);
  EXPECT_EQ(s.ch_source[2], 1);
  EXPECT_EQ(s.ch_source[3], 0);
  EXPECT_EQ(s.raw_data(1, 39), 39);
  EXPECT_EQ(s.raw_data(2, 39), -39);
  const auto& asked = dialogs->asked()[1];
  EXPECT_EQ(asked.title, "Channel number");
  EXPECT_EQ(asked.default_text, "1");
}

TEST_F(OpenFile, PrnValuesAreHundredfold) {
  QByteArray b;
  for (float v : {1.5f, -0.25f, 2.0f, 0.5f}) {
    char le[4];
    qToLittleEndian<float>(v, le);
    b.append(le, 4);
  }
  write_file("trace.prn", b);
  dialogs->expect_open("Open data file", path("trace.prn"));
  dialogs->expect_input("Number of recorded channels:", "2");
  dialogs->expect_input("Enter sampling frequency (Hz):", "100");
  w->mnuOpen->trigger();
  const SharedState& s = w->s;
  EXPECT_EQ(s.file_loaded, kTrue);
  EXPECT_EQ(s.raw_data.channels(), 2) << "a .prn load holds only its own channels";
  EXPECT_EQ(s.raw_data(1, 0), 150.0f);
  EXPECT_EQ(s.raw_data(2, 0), -25.0f);
  EXPECT_EQ(s.raw_data(1, 1), 200.0f);
  EXPECT_EQ(s.sample_count, 2);
  EXPECT_FLOAT_EQ(s.sample_interval, 0.01f);
  EXPECT_EQ(s.ch_max[1], 200.0f);
  EXPECT_EQ(w->windowTitle(), "CONTINUOUS MODE    " + path("trace.prn"));
  EXPECT_EQ(dialogs->asked()[2].default_text, "300");
  EXPECT_EQ(dialogs->asked()[2].title, "Sample rate");
}

TEST_F(OpenFile, ANameWithoutAKnownExtensionIsRefusedAndChangesNothing) {
  write_file("good.bin", bin_file(1, 100, 1000));
  open("good.bin");
  for (const char* name : {"README", "notes.txt", "data.bin.bak"}) {
    write_file(name, bin_file(1, 10, 1000));
    dialogs->expect_open("Open data file", path(name));
    dialogs->expect_warning("Error encountered while trying to open file, please retry.");
    w->mnuOpen->trigger();
    EXPECT_EQ(w->s.file_loaded, kTrue) << name << ": the loaded file stays";
    EXPECT_EQ(w->s.sample_count, 100) << name;
    EXPECT_EQ(w->s.data_file_name, path("good.bin")) << name;
  }
  write_file("rat3.2024-05-02.bin", bin_file(2, 40, 1000));
  open("rat3.2024-05-02.bin");
  EXPECT_EQ(w->s.sample_count, 40) << "a name with several dots opens by its last extension";
  EXPECT_EQ(w->s.channel_count, 2);
}

TEST_F(OpenFile, AFileThatCannotBeOpenedLeavesTheWindowAsItWas) {
  write_file("good.bin", bin_file(2, 300, 10000));
  open("good.bin");
  dialogs->expect_input("block label", "a");
  emit w->disp->mouse_down(1, 0, 20, 0);
  w->add->click();
  const QImage picture = w->disp->image().copy();
  const QString caption = w->windowTitle(), status = w->status->text();
  const QString reading = w->Grid1[0]->text_at(2, 1);

  ASSERT_TRUE(QDir(data_dir.path()).mkdir("folder.bin"));
  write_file("short.bin", bin_file(1, 0, 1000).left(20));
  QByteArray four = bin_file(1, 10, 1000);
  qToLittleEndian<int16_t>(4, four.data() + 12);
  write_file("four.bin", four);
  for (const QString& bad : {path("folder.bin"), path("short.bin"), path("four.bin"), data_dir.path() + "/",
                             path("missing.bin")}) {
    dialogs->expect_open("Open data file", bad);
    dialogs->expect_warning("Error encountered while trying to open file, please retry.");
    w->mnuOpen->trigger();
    EXPECT_EQ(w->disp->image(), picture) << bad.toStdString();
    EXPECT_EQ(w->windowTitle(), caption) << bad.toStdString();
    EXPECT_EQ(w->status->text(), status) << bad.toStdString();
    EXPECT_EQ(w->Grid1[0]->text_at(2, 1), reading) << bad.toStdString();
    EXPECT_EQ(w->s.data_file_name, path("good.bin")) << bad.toStdString();
    EXPECT_EQ(w->s.sample_count, 300) << bad.toStdString();
    EXPECT_EQ(w->s.file_loaded, kTrue);
    EXPECT_FALSE(w->busy());
    EXPECT_FALSE(w->Scroll->isVisible());
  }

  write_file(QString::fromUtf8("Ratte ä 3.bin"), bin_file(1, 40, 1000));
  dialogs->expect_open("Open data file", path(QString::fromUtf8("Ratte ä 3.bin")));
  dialogs->expect_save_discard_cancel(
      "The results tables hold readings that have not been saved. Do you want to save them first?",
      SaveAnswer::Discard);
  w->mnuOpen->trigger();
  EXPECT_EQ(w->s.sample_count, 40) << "spaces and letters beyond ASCII";
}

TEST_F(OpenFile, AHeaderMakesNoAllocationTheFileCannotFill) {
  QFile statm("/proc/self/statm");
  auto resident = [&] {
    statm.open(QIODevice::ReadOnly);
    const qint64 pages = statm.readAll().split(' ').value(1).toLongLong();
    statm.close();
    return pages * 4096;
  };
  write_file("huge.bin", bin_file(1, 10, 1000, kTrue, 2000000000));
  const qint64 before = resident();
  open_expecting_error("huge.bin");
  EXPECT_LT(resident() - before, 64LL << 20);
  write_file("empty.bin", bin_file(1, 0, 1000, kTrue, 500));
  open("empty.bin");
  EXPECT_EQ(w->s.file_loaded, kTrue) << "a block file without a whole block opens";
  EXPECT_EQ(w->s.block_count, 0);
  EXPECT_EQ(w->s.block_length, 500);
}

TEST_F(OpenFile, APrnOpensWithTheWholeSamplesItHolds) {
  QByteArray b;
  for (float v : {1.5f, -0.25f, 2.0f}) {
    char le[4];
    qToLittleEndian<float>(v, le);
    b.append(le, 4);
  }
  write_file("odd.prn", b.left(10));  // two whole values and half of a third
  dialogs->expect_open("Open data file", path("odd.prn"));
  dialogs->expect_input("Number of recorded channels:", "1");
  dialogs->expect_input("Enter sampling frequency (Hz):", "100");
  w->mnuOpen->trigger();
  EXPECT_EQ(w->s.file_loaded, kTrue);
  EXPECT_EQ(w->s.sample_count, 2);
  EXPECT_EQ(w->s.raw_data(1, 1), -25.0f);
}

TEST_F(OpenFile, CancelledDialogDoesNothingAtAll) {
  w->status->setText("untouched");
  dialogs->expect_open("Open data file", "");
  w->mnuOpen->trigger();
  EXPECT_EQ(w->status->text(), "untouched");
  EXPECT_EQ(w->s.data_file_name, "");
  EXPECT_EQ(w->s.file_loaded, kFalse);
}

TEST_F(OpenFile, MalformedFilesGiveTheFileInputMessage) {
  write_file("short.bin", QByteArray("Version 1.00", 12));
  open_expecting_error("short.bin");
  QByteArray four = bin_file(1, 10, 1000);
  qToLittleEndian<int16_t>(4, four.data() + 12);
  write_file("four.bin", four);
  open_expecting_error("four.bin");
  write_file("noblock.bin", bin_file(1, 10, 1000, kTrue, 0));
  open_expecting_error("noblock.bin");
  write_file("nointerval.bin", bin_file(1, 10, 0));
  open_expecting_error("nointerval.bin");
  write_file("half.prn", QByteArray(3, '\0'));
  dialogs->expect_open("Open data file", path("half.prn"));
  dialogs->expect_input("Number of recorded channels:", "1");
  dialogs->expect_warning("Error encountered while trying to open file, please retry.");
  w->mnuOpen->trigger();
  EXPECT_EQ(w->s.file_loaded, kFalse);
  open_expecting_error("missing.bin");
}

TEST_F(OpenFile, BadAnswersGiveTheFileInputMessage) {
  write_file("old.bin", QByteArray("\x05\x00\x01\x00\x02\x00", 6));
  for (const char* answer : {"", "two", "4", "0"}) {
    dialogs->expect_open("Open data file", path("old.bin"));
    dialogs->expect_input("Number of recorded channels:", answer);
    dialogs->expect_warning("Error encountered while trying to open file, please retry.");
    w->mnuOpen->trigger();
    EXPECT_EQ(w->s.file_loaded, kFalse) << answer;
  }
  write_file("one.prn", QByteArray(8, '\0'));
  dialogs->expect_open("Open data file", path("one.prn"));
  dialogs->expect_input("Number of recorded channels:", "1");
  dialogs->expect_input("Enter sampling frequency (Hz):", "");
  dialogs->expect_warning("Error encountered while trying to open file, please retry.");
  w->mnuOpen->trigger();
  EXPECT_EQ(w->s.file_loaded, kFalse);
  // and the program goes on: a good file still opens
  write_file("good.bin", bin_file(1, 100, 1000));
  open("good.bin");
  EXPECT_EQ(w->s.file_loaded, kTrue);
  EXPECT_EQ(w->s.sample_count, 100);
}

TEST_F(OpenFile, TheMostNegativeSampleReadsAsItself) {
  QByteArray b = bin_file(1, 3, 1000);
  qToLittleEndian<int16_t>(-32768, b.data() + 128 + 4);  // channel 1 of frame 1
  write_file("min.bin", b);
  open("min.bin");
  EXPECT_EQ(w->s.file_loaded, kTrue);
  EXPECT_EQ(w->s.raw_data(1, 1), -32768.0f);
  EXPECT_EQ(w->s.ch_max[1], 32768.0f);
}

TEST_F(OpenFile, ARecordingOfTheProgramOpensAsRecorded) {
  w->ch_list[0]->setCurrentIndex(1);
  ch_list_click(*w, 0);
  w->ch_list[1]->setCurrentIndex(3);
  ch_list_click(*w, 1);
  dialogs->expect_save("Open file to save data", path("data01.bin"));
  timer->before_tick = [&](int n) {
    if (n == 3) w->drug_button->click();
    if (n == 30) w->halt->click();
  };
  w->store->click();
  QFile f(path("data01.bin"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  f.close();
  open("data01.bin");
  const SharedState& s = w->s;
  ASSERT_EQ(s.sample_count, 30);
  for (int i = 0; i < 30; ++i) {
    const char* frame = bytes.constData() + 128 + 6 * i;
    EXPECT_EQ(s.raw_data(1, i), qFromLittleEndian<int16_t>(frame));
    EXPECT_EQ(s.raw_data(2, i), qFromLittleEndian<int16_t>(frame + 2));
    EXPECT_EQ(s.marker_data[static_cast<size_t>(i)], i >= 2 ? 100 : 0);
  }
  EXPECT_EQ(s.ch_source[1], 1);
  EXPECT_EQ(s.ch_source[2], 3);
}

}  // namespace

// While a file is read the window takes events: another command waits for no read (it is passed
// by), while Open, Exit and closing the window end the read, leave the file shown before, and then
// run. Each is posted before the read starts and comes with the read's first progress.
TEST_F(OpenFile, OpenExitAndCloseDuringAReadEndIt) {
  write_file("shown.bin", bin_file(1, 500, 1000));
  write_file("long.bin", bin_file(2, 20000, 1000));
  write_file("next.bin", bin_file(3, 700, 1000));
  open("shown.bin");
  ASSERT_EQ(w->s.data_file_name, path("shown.bin"));

  // A command passed by: the long file opens as it is, not inverted.
  QTimer::singleShot(0, w.get(), [this] { w->mnuInvert->trigger(); });
  open("long.bin");
  settle();
  EXPECT_EQ(w->s.data_file_name, path("long.bin"));
  EXPECT_EQ(w->s.raw_data(2, 7), 207.0f);
  open("shown.bin");

  // Open: the long read ends and the Open dialog comes next.
  QTimer::singleShot(0, w.get(), [this] { w->mnuOpen->trigger(); });
  open("long.bin");
  EXPECT_EQ(w->s.data_file_name, path("shown.bin")) << "the file shown before stays";
  EXPECT_FALSE(w->Scroll->isVisible());
  dialogs->expect_open("Open data file", path("next.bin"));
  settle();
  EXPECT_EQ(w->s.data_file_name, path("next.bin"));
  EXPECT_EQ(w->s.channel_count, 3);
  dialogs->verify();

  // Exit and closing the window: the read ends and the program ends.
  for (const bool close : {false, true}) {
    ended = false;
    QTimer::singleShot(0, w.get(), [this, close] { close ? (void)w->close() : w->mnuExit->trigger(); });
    open("long.bin");
    settle();
    EXPECT_TRUE(ended) << (close ? "close" : "Exit");
    EXPECT_EQ(w->s.data_file_name, path("next.bin")) << (close ? "close" : "Exit");
  }
}
