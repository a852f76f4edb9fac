// Guards readings against silent loss: File > Save results writes every channel's table as the
// grids show it, byte for byte, after a line per filter in force; Open, Invert, Exit and closing
// the window ask Save / Discard / Cancel while readings are unsaved and do what the answer says;
// saving or copying a whole table ends the question; a results file that cannot be written is
// reported and the readings stay.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <csignal>
#include <functional>

#include "support/window_fixture.h"
#include "ui/results_grid.h"
#include "ui/surface.h"

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace quarvel;
using quarvel::testing::FileShape;
using quarvel::testing::WindowTest;

namespace {

const QString kUnsaved = QStringLiteral(
    "The results tables hold readings that have not been saved. Do you want to save them first?");

QByteArray file_bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class ResultsFile : public WindowTest {
 protected:
  // Two channels of 1000 samples at 100 Hz: channel c holds 100 c + i / 10 in sample i.
  void open_two_channels() {
    FileShape shape;
    shape.channels = 2;
    shape.interval_us = 10000;
    shape.sample = [](int ch, int32_t i) { return static_cast<int16_t>(100 * ch + i / 10); };
    recording = open_recording("rat 1.bin", shape);
  }

  QAction* menu_item(const char* name) {
    auto* a = w->findChild<QAction*>(name);
    EXPECT_NE(a, nullptr) << name;
    return a;
  }

  // A click on the surface at pixel column px, then on Add.
  void reading_at(int px) {
    QTest::mouseClick(w->disp, Qt::LeftButton, {}, QPoint(px, 250));
    QTest::mouseClick(w->add, Qt::LeftButton);
  }

  // One reading pair of channel 1 under the label "ctrl".
  void take_readings() {
    dialogs->expect_input("block label", "ctrl");
    reading_at(100);
    reading_at(300);
    ASSERT_FALSE(dialogs->pending());
    ASSERT_FALSE(grid(1).text_at(2, 1).isEmpty());
  }

  ResultsGrid& grid(int ch) { return *w->Grid1[static_cast<size_t>(ch - 1)]; }

  QString recording;
};

TEST_F(ResultsFile, HoldsEveryTableAsTheGridsShowIt) {
  open_two_channels();
  dialogs->expect_input("block label", QString::fromUtf8("Ruhe µV"));
  reading_at(150);
  reading_at(300);
  reading_at(500);
  QTest::mouseClick(w->ch_select[1], Qt::LeftButton, {}, QPoint(8, w->ch_select[1]->height() / 2));
  ASSERT_EQ(w->s.current_ch, 2);
  dialogs->expect_input("block label", "b");
  reading_at(250);
  ASSERT_FALSE(dialogs->pending());

  const QString path = data_path("results.txt");
  dialogs->expect_save("Save results", path);
  menu_item("mnuSaveResults")->trigger();
  const FileDialogRequest& req = dialogs->asked().back().request;
  EXPECT_EQ(req.file_name, data_path("rat 1.txt")) << "proposed beside the recording";
  EXPECT_EQ(req.filter, "Tab-separated text (*.txt)|*.txt");

  // Pixel columns 150, 300 and 500 fall on samples 51, 351 and 751 (0.02 s a pixel); the header
  // cells keep the grid's padding.
  const QByteArray header = "\tx1\ty1\tx2\ty2\tampl.\ttone\tperiod\r\n";
  const QByteArray expected =
      "\xEF\xBB\xBF"
      "Channel 1\r\n" +
      header +
      "Ruhe \xC2\xB5V\r\n"
      "1\t0.51\t105.00\t3.51\t135.00\t30.00\t120.00\r\n"
      "2\t7.51\t175.00\r\n"
      "\r\n"
      "Channel 2\r\n" +
      header +
      "b\r\n"
      "1\t2.51\t225.00\r\n"
      "\r\n"
      "Channel 3\r\n" +
      header;
  EXPECT_EQ(file_bytes(path).toStdString(), expected.toStdString());
}

TEST_F(ResultsFile, ListsTheFiltersTheReadingsWereTakenThrough) {
  open_two_channels();
  take_readings();
  // Filtering empties the tables, once their readings are saved or let go.
  dialogs->expect_filter(FilterSettings{.kind = FilterKind::HighPass, .corner_hz = 0.05});
  dialogs->expect_save_discard_cancel(kUnsaved, SaveAnswer::Discard);
  dialogs->expect_filter(FilterSettings{FilterKind::Notch, 4, 0, 0, 0, 20, 1.5, {false, true, false}});
  for (int i = 0; i < 2; ++i) menu_item("mnuFilter")->trigger();
  take_readings();
  dialogs->expect_save("Save results", data_path("filtered.txt"));
  menu_item("mnuSaveResults")->trigger();
  EXPECT_TRUE(
      file_bytes(data_path("filtered.txt"))
          .startsWith("\xEF\xBB\xBF"
                      "Filter 1\tHP 0.05 Hz, order 2 Butterworth, zero phase, channels 1 2\r\n"
                      "Filter 2\tnotch 20 Hz, width 1.5 Hz, order 4 Butterworth, zero phase, channels 2\r\n"
                      "\r\nChannel 1\r\n\tx1"));
}

// --- the question before readings go

enum class Command { Open, Invert, Exit, CloseWindow, BlockMode, Measure };

struct PromptCase {
  Command command;
  SaveAnswer answer;
};

std::string case_name(const ::testing::TestParamInfo<PromptCase>& info) {
  const char* commands[] = {"Open", "Invert", "Exit", "CloseWindow", "BlockMode", "Measure"};
  const char* answers[] = {"Save", "Discard", "Cancel"};
  return std::string(commands[static_cast<int>(info.param.command)]) +
         answers[static_cast<int>(info.param.answer)];
}

class UnsavedReadings : public ResultsFile, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(UnsavedReadings, AreAskedAboutAndTheAnswerIsFollowed) {
  const auto [command, answer] = GetParam();
  open_two_channels();
  take_readings();
  const QString reading = grid(1).text_at(2, 2);
  const float sample = w->s.raw_data(1, 500);
  const QString other = data_path("other.bin");
  QFile::copy(recording, other);
  const QString results = data_path("kept.txt");

  if (command == Command::Open) dialogs->expect_open("Open data file", other);
  if (command == Command::BlockMode) dialogs->expect_input("Block length (ms):", "1000");
  dialogs->expect_save_discard_cancel(kUnsaved, answer);
  if (answer == SaveAnswer::Save) dialogs->expect_save("Save results", results);
  switch (command) {
    case Command::Open:
      menu_item("mnuOpen")->trigger();
      break;
    case Command::Invert:
      menu_item("mnuInvert")->trigger();
      break;
    case Command::Exit:
      menu_item("mnuExit")->trigger();
      break;
    case Command::CloseWindow:
      w->close();
      break;
    case Command::BlockMode:
      menu_item("mnuBlock")->trigger();
      break;
    case Command::Measure:
      menu_item("mnuMeasure")->trigger();
      break;
  }
  settle();
  EXPECT_EQ(dialogs->asked().back().title, answer == SaveAnswer::Save ? "Save results" : "Unsaved readings");

  const bool went_on = answer != SaveAnswer::Cancel;
  if (answer == SaveAnswer::Save) {
    EXPECT_TRUE(file_bytes(results).contains("\r\nctrl\r\n1\t")) << file_bytes(results).toStdString();
  } else {
    EXPECT_FALSE(QFile::exists(results));
  }
  switch (command) {
    case Command::Open:
      EXPECT_EQ(w->s.data_file_name, went_on ? other : recording);
      break;
    case Command::Invert:
      EXPECT_EQ(w->s.raw_data(1, 500), went_on ? -sample : sample);
      break;
    case Command::Exit:
      EXPECT_EQ(ended, went_on);
      break;
    case Command::CloseWindow:
      EXPECT_EQ(w->isVisible(), !went_on);
      break;
    case Command::BlockMode:
      EXPECT_EQ(w->s.block_mode, Flag(went_on));
      break;
    case Command::Measure:
      EXPECT_EQ(w->s.measure_mode, Flag(went_on));
      // Back in analysis the tables are empty, and nothing is asked again.
      if (went_on) menu_item("mnuQuarvel")->trigger();
      break;
  }
  if (command != Command::Exit && command != Command::CloseWindow) {
    // A command that went on starts the tables afresh; one that did not leaves the reading.
    EXPECT_EQ(grid(1).text_at(2, 2), went_on ? QString() : reading);
  } else {
    EXPECT_EQ(grid(1).text_at(2, 2), reading);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EachCommandEachAnswer, UnsavedReadings,
    ::testing::Values(
        PromptCase{Command::Open, SaveAnswer::Save}, PromptCase{Command::Open, SaveAnswer::Discard},
        PromptCase{Command::Open, SaveAnswer::Cancel}, PromptCase{Command::Invert, SaveAnswer::Save},
        PromptCase{Command::Invert, SaveAnswer::Discard}, PromptCase{Command::Invert, SaveAnswer::Cancel},
        PromptCase{Command::Exit, SaveAnswer::Save}, PromptCase{Command::Exit, SaveAnswer::Discard},
        PromptCase{Command::Exit, SaveAnswer::Cancel}, PromptCase{Command::CloseWindow, SaveAnswer::Save},
        PromptCase{Command::CloseWindow, SaveAnswer::Discard},
        PromptCase{Command::CloseWindow, SaveAnswer::Cancel},
        PromptCase{Command::BlockMode, SaveAnswer::Discard},
        PromptCase{Command::BlockMode, SaveAnswer::Cancel}, PromptCase{Command::Measure, SaveAnswer::Discard},
        PromptCase{Command::Measure, SaveAnswer::Cancel}),
    case_name);

// What happens to the readings before Exit, and whether Exit then asks.
struct KeepCase {
  const char* name;
  const char* menu_item;  // triggered after the readings; nullptr for none
  bool asked;
};

class KeptReadings : public ResultsFile, public ::testing::WithParamInterface<KeepCase> {};

TEST_P(KeptReadings, GoUnaskedOnlyOnceSaved) {
  const KeepCase& c = GetParam();
  open_two_channels();
  take_readings();
  if (std::string(c.menu_item) == "mnuSaveResults") dialogs->expect_save("Save results", data_path("r.txt"));
  menu_item(c.menu_item)->trigger();
  const QString copied = clipboard->text;
  if (c.asked) dialogs->expect_save_discard_cancel(kUnsaved, SaveAnswer::Cancel);
  menu_item("mnuExit")->trigger();
  EXPECT_EQ(ended, !c.asked);
  if (c.asked) {
    EXPECT_EQ(clipboard->text, copied) << "a cancelled Exit leaves the clipboard";
  }
}

INSTANTIATE_TEST_SUITE_P(AfterEachCopy, KeptReadings,
                         ::testing::Values(KeepCase{"SavedResults", "mnuSaveResults", false},
                                           KeepCase{"WholeTableWord", "mnuCopyitem(3)", true},
                                           KeepCase{"WholeTableExcel", "mnuCopyitem(4)", true},
                                           KeepCase{"BlockMeansOnly", "mnuCopyitem(2)", true},
                                           KeepCase{"PictureOnly", "mnuCopyitem(1)", true}),
                         [](const ::testing::TestParamInfo<KeepCase>& info) {
                           return std::string(info.param.name);
                         });

// A block view's tables go with Block length and Continuous only once asked.
class BlockViewReadings : public ResultsFile,
                          public ::testing::WithParamInterface<std::pair<const char*, SaveAnswer>> {};

TEST_P(BlockViewReadings, AreAskedAboutBeforeTheViewChanges) {
  const auto [item, answer] = GetParam();
  FileShape shape;
  shape.frames = 3000;
  shape.block_length = 500;
  open_recording("blocks.bin", shape);
  dialogs->expect_input("Enter stimulus delay (ms):", "10");
  dialogs->expect_input("Enter short label for block: ", "b1");
  reading_at(300);
  ASSERT_FALSE(grid(1).text_at(2, 1).isEmpty());
  const QString reading = grid(1).text_at(2, 1);
  if (std::string(item) == "mnuBlock") dialogs->expect_input("Block length (ms):", "250");
  dialogs->expect_save_discard_cancel(kUnsaved, answer);
  menu_item(item)->trigger();
  const bool went_on = answer != SaveAnswer::Cancel;
  EXPECT_EQ(grid(1).text_at(2, 1), went_on ? QString() : reading);
  EXPECT_EQ(w->s.block_length, went_on ? (std::string(item) == "mnuBlock" ? 250 : -1) : 500);
}

INSTANTIATE_TEST_SUITE_P(BlockLengthAndContinuous, BlockViewReadings,
                         ::testing::Values(std::pair{"mnuBlock", SaveAnswer::Discard},
                                           std::pair{"mnuBlock", SaveAnswer::Cancel},
                                           std::pair{"mnuContinuous", SaveAnswer::Discard},
                                           std::pair{"mnuContinuous", SaveAnswer::Cancel}));

// Newblk on a block of one reading after the readings were saved adds nothing to lose.
TEST_F(ResultsFile, NewblkAfterASaveAsksNothingNewWhenItAddsNothing) {
  open_two_channels();
  take_readings();
  dialogs->expect_save("Save results", data_path("r.txt"));
  menu_item("mnuSaveResults")->trigger();
  QTest::mouseClick(w->newblk, Qt::LeftButton);
  menu_item("mnuExit")->trigger();
  EXPECT_TRUE(ended);
}

// --- a file that cannot be written

struct RefusalCase {
  const char* name;
  // Prepares the folder and returns the path to save to.
  std::function<QString(const QString& dir)> target;
  bool file_size_limit;
};

class UnwritableResults : public ResultsFile, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(UnwritableResults, AreReportedAndTheReadingsStay) {
  const RefusalCase& c = GetParam();
  open_two_channels();
  take_readings();
  const QString reading = grid(1).text_at(2, 2);
  const QString path = c.target(data_dir.path());
  const QByteArray before = file_bytes(path);

  dialogs->expect_save("Save results", path);
  dialogs->expect_warning_starting("The results could not be saved in " + QDir::toNativeSeparators(path) +
                                   ": ");
#ifdef Q_OS_UNIX
  rlimit saved{};
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  if (c.file_size_limit) {
    // Every write past 16 bytes fails as on a full disk.
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  }
#endif
  menu_item("mnuSaveResults")->trigger();
#ifdef Q_OS_UNIX
  if (c.file_size_limit) setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);
#endif
  ASSERT_FALSE(dialogs->pending());
  EXPECT_TRUE(dialogs->asked().back().prompt.endsWith(". The readings stay in the tables."))
      << dialogs->asked().back().prompt.toStdString();
  EXPECT_EQ(file_bytes(path), before) << "what was there is kept";
  EXPECT_EQ(grid(1).text_at(2, 2), reading);

  // Still unsaved: Exit asks, and a save that fails again does not end the program.
  dialogs->expect_save_discard_cancel(kUnsaved, SaveAnswer::Save);
  dialogs->expect_save("Save results", data_path("missing/r.txt"));
  dialogs->expect_warning_starting("The results could not be saved in ");
  menu_item("mnuExit")->trigger();
  EXPECT_FALSE(ended);
  EXPECT_EQ(grid(1).text_at(2, 2), reading);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, UnwritableResults,
    ::testing::Values(RefusalCase{"MissingFolder", [](const QString& d) { return d + "/missing/r.txt"; },
                                  false},
                      RefusalCase{"FolderInTheWay",
                                  [](const QString& d) {
                                    QDir(d).mkdir("r.txt");
                                    return d + "/r.txt";
                                  },
                                  false},
                      RefusalCase{"FullDisk",
                                  [](const QString& d) {
                                    QFile f(d + "/r.txt");
                                    f.open(QIODevice::WriteOnly);
                                    f.write("old");
                                    return d + "/r.txt";
                                  },
                                  true}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

}  // namespace
