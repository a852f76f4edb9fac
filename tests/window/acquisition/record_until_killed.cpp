// A continuous recording that runs until its process is killed: the kill test starts this program
// with the path to record to, waits until frames are on disk, kills it and checks the file. One
// channel at the fastest pace the event loop allows, for a file length far beyond the test.
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QPushButton>
#include <climits>
#include <memory>

#include "app/main_window.h"
#include "app/settings.h"
#include "support/window_fixture.h"

using namespace quarvel;
using namespace quarvel::testing;

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QString path = QString::fromLocal8Bit(argv[1]);
  Services services;
  auto dialogs = std::make_unique<ScriptedDialogs>();
  dialogs->expect_save("Open file to save data", path);
  auto timer = std::make_unique<FastTimer>();
  timer->max_ticks = INT_MAX;
  services.dialogs = std::move(dialogs);
  services.clipboard = std::make_unique<MemoryClipboard>();
  services.timer = std::move(timer);
  services.data_dir = QFileInfo(path).path();
  services.end_program = [] {};
  MainWindow w(std::move(services));
  w.show();
  w.mnuMeasure->trigger();
  w.ch_list[0]->setCurrentIndex(1);
  ch_list_click(w, 0);
  w.file_lng->setEditText("1000000");
  file_lng_change(w);
  w.store->click();
  return 0;
}
