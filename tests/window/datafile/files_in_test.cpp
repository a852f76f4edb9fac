// Guards the ways a file comes in besides the Open dialog: the file named on the command line and
// files dropped from a file manager open exactly as File > Open opens them (the same questions for
// a .prn, the same picture); an unknown, missing or damaged file gives the file-input message and
// leaves the window as it was; drops are refused where Open is not offered; and the recent-files
// list of the File menu opens its files and is kept for the next window.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QUrl>
#include <QtEndian>

#include "core/command_line.h"
#include "datafile/files_in.h"
#include "datafile/open_file.h"
#include "support/window_fixture.h"
#include "ui/surface.h"

using namespace quarvel;
using namespace quarvel::testing;

namespace {

class FilesIn : public WindowTest {
 protected:
  std::unique_ptr<QSettings> make_settings() override {
    return std::make_unique<QSettings>(settings_dir.filePath("quarvel.ini"), QSettings::IniFormat);
  }

  void write_file(const QString& name, const QByteArray& bytes) {
    QFile f(data_path(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }

  // The file as `quarvel NAME` started in the data folder names it.
  void open_from_command_line(const QString& name) {
    const CommandLine line = parse_command_line({"quarvel", name}, data_dir.path());
    ASSERT_FALSE(line.end);
    open_start_file(*w, line.file);
    settle();
  }

  // A drag from another program (no source widget) carrying the files, over `target`; whether the
  // target took the drag, and the drop when it did.
  bool drop(QWidget* target, const QStringList& names, bool urls = true) {
    QMimeData data;
    QList<QUrl> list;
    for (const QString& n : names) list << QUrl::fromLocalFile(data_path(n));
    if (urls) {
      data.setUrls(list);
    } else {
      data.setText(names.join('\n'));
    }
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    settle();
    return true;
  }

  struct Look {
    QString caption, status, name;
    QImage picture;
    bool operator==(const Look&) const = default;
  };
  Look look() { return {w->windowTitle(), w->status->text(), w->s.data_file_name, w->disp->image()}; }

  QTemporaryDir settings_dir;
};

QByteArray prn_bytes() {
  QByteArray b;
  for (float v : {1.5f, -0.25f, 2.0f, 0.5f, 1.0f, 3.0f}) {
    char le[4];
    qToLittleEndian<float>(v, le);
    b.append(le, 4);
  }
  return b;
}

// The route a file takes into the window.
enum class Route { CommandLine, DropOnSurface, DropOnWindow };

class FileRoutes : public FilesIn, public ::testing::WithParamInterface<Route> {
 protected:
  void bring_in(const QString& name) {
    switch (GetParam()) {
      case Route::CommandLine:
        open_from_command_line(name);
        break;
      case Route::DropOnSurface:
        ASSERT_TRUE(drop(w->disp, {name}));
        break;
      case Route::DropOnWindow:
        ASSERT_TRUE(drop(w.get(), {name}));
        break;
    }
  }
};

TEST_P(FileRoutes, OpenAsFileOpenDoes) {
  FileShape shape;
  shape.channels = 2;
  shape.frames = 3000;
  write_file("rest.bin", recording_bytes(shape));
  bring_in("rest.bin");
  ASSERT_TRUE(w->s.file_loaded);
  const Look taken = look();
  EXPECT_EQ(taken.name, data_path("rest.bin"));

  write_file("trace.prn", prn_bytes());
  dialogs->expect_input("Number of recorded channels:", "2");
  dialogs->expect_input("Enter sampling frequency (Hz):", "100");
  bring_in("trace.prn");
  EXPECT_EQ(w->s.raw_data(2, 2), 300.0f);
  EXPECT_EQ(w->windowTitle(), "CONTINUOUS MODE    " + data_path("trace.prn"));

  // File > Open on the same recording draws the same picture.
  rebuild_window();
  dialogs->expect_open("Open data file", data_path("rest.bin"));
  w->mnuOpen->trigger();
  settle();
  EXPECT_EQ(look(), taken);
}

TEST_P(FileRoutes, FilesThatCannotBeOpenedLeaveTheWindowAsItWas) {
  FileShape shape;
  write_file("good.bin", recording_bytes(shape));
  bring_in("good.bin");
  ASSERT_TRUE(w->s.file_loaded);
  const Look before = look();
  write_file("notes.txt", "not a recording");
  FileShape none;
  none.frames = 0;
  write_file("short.bin", recording_bytes(none).left(20));  // a header cut short
  QByteArray four = recording_bytes(shape);
  qToLittleEndian<int16_t>(4, four.data() + 12);  // four channels
  write_file("four.bin", four);
  QDir(data_dir.path()).mkdir("folder.bin");
  for (const char* name : {"notes.txt", "short.bin", "four.bin", "folder.bin", "gone.bin"}) {
    dialogs->expect_warning(kFileInputMessage);
    bring_in(name);
    dialogs->verify();
    EXPECT_EQ(look(), before) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Routes, FileRoutes,
                         ::testing::Values(Route::CommandLine, Route::DropOnSurface, Route::DropOnWindow));

TEST_F(FilesIn, DropsAreTakenOnlyWhereOpenIsOffered) {
  FileShape shape;
  write_file("a.bin", recording_bytes(shape));
  write_file("b.bin", recording_bytes(shape));
  EXPECT_FALSE(drop(w->disp, {"a.bin"}, false)) << "a text is no file";
  EXPECT_FALSE(w->s.file_loaded);
  EXPECT_TRUE(drop(w->disp, {"b.bin", "a.bin"}));
  EXPECT_EQ(w->s.data_file_name, data_path("b.bin")) << "the first of several";

  w->mnuMeasure->trigger();
  settle();
  EXPECT_FALSE(drop(w->disp, {"a.bin"}));
  EXPECT_FALSE(drop(w.get(), {"a.bin"}));
  EXPECT_TRUE(w->s.measure_mode);
}

TEST_F(FilesIn, RecentFilesOpenTheirFilesAndAreKept) {
  FileShape shape;
  const QString a = open_recording("a.bin", shape);
  shape.channels = 2;
  const QString b = open_recording("b.bin", shape);
  emit w->mnuFile->aboutToShow();
  const QList<QAction*> items = w->mnuRecent->actions();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0]->text(), "&1 " + QDir::toNativeSeparators(b));
  EXPECT_EQ(items[1]->text(), "&2 " + QDir::toNativeSeparators(a));
  EXPECT_TRUE(w->mnuRecent->menuAction()->isVisible());
  items[1]->trigger();
  settle();
  EXPECT_EQ(w->s.data_file_name, a);
  EXPECT_EQ(w->s.channel_count, 1);

  rebuild_window();
  emit w->mnuFile->aboutToShow();
  ASSERT_EQ(w->mnuRecent->actions().size(), 2);
  EXPECT_EQ(w->mnuRecent->actions()[0]->text(), "&1 " + QDir::toNativeSeparators(a));
  w->mnuMeasure->trigger();
  emit w->mnuFile->aboutToShow();
  EXPECT_FALSE(w->mnuRecent->menuAction()->isVisible()) << "no opening in measurement";
}

}  // namespace

namespace {

// The recording that ships with the program opens from the command line as the README says.
TEST_F(FilesIn, TheDemoRecordingOpens) {
  open_start_file(*w, QStringLiteral(QUARVEL_DEMO_FILE));
  settle();
  const SharedState& s = w->s;
  ASSERT_TRUE(s.file_loaded);
  EXPECT_EQ(s.channel_count, 2);
  EXPECT_EQ(s.sample_count, 6000);
  EXPECT_FLOAT_EQ(s.sample_interval, 0.01f);
  EXPECT_EQ(s.marker_data[1000], 200);
  EXPECT_EQ(s.marker_data[2800], 100);
  EXPECT_EQ(s.marker_data[500], 0);
}

}  // namespace
