#include "app/commands.h"

#include <QAbstractButton>
#include <QAction>
#include <exception>
#include <new>

#include "acquisition/recording.h"
#include "app/main_window.h"
#include "app/remembered.h"
#include "display/browse.h"
#include "modes/shown_controls.h"
#include "ui/progress_window.h"

namespace quarvel {

QString command_failure_text(const QString& reason, bool recording_ended) {
  QString text = QStringLiteral("The command could not be completed: %1.").arg(reason);
  if (recording_ended)
    text += QStringLiteral(" The recording was ended; its file keeps every frame written.");
  return text;
}

// Puts the window back into a state the user can go on from, and says what happened.
static void command_failed(MainWindow& w, const QString& reason) {
  SharedState& s = w.s;
  w.set_busy(false);
  w.Scroll->hide();
  const bool recording = static_cast<bool>(s.recording);
  if (recording) {
    // A loop still running ends at its next check and closes its file itself; otherwise the
    // recording is closed here.
    s.stop_request = kTrue;
    if (!s.acq_running) end_recording_after_failure(w);
  }
  update_controls(w);
  w.dialogs().warning(command_failure_text(reason, recording), "Quarvel");
}

void run_command(MainWindow& w, const std::function<void()>& command) {
  // Nothing may change the window under a file being read.
  if (w.load_under_way()) return;
  try {
    command();
    // Whatever the command changed, the window offers what the view offers and the scroll bar
    // follows the view; what the user set is kept.
    update_controls(w);
    show_scroll_position(w);
    keep_typed_settings(w);
  } catch (const std::bad_alloc&) {
    command_failed(w, QStringLiteral("there is not enough memory"));
  } catch (const std::exception& e) {
    command_failed(w, QString::fromLocal8Bit(e.what()));
  } catch (...) {
    command_failed(w, QStringLiteral("an unexpected error"));
  }
}

std::function<void()> guarded(MainWindow& w, std::function<void()> command) {
  return [&w, command = std::move(command)] { run_command(w, command); };
}

void on_click(MainWindow& w, QAbstractButton* button, void (*handler)(MainWindow&)) {
  QObject::connect(button, &QAbstractButton::clicked, &w,
                   [&w, handler] { run_command(w, [&w, handler] { handler(w); }); });
}

void on_trigger_ending_load(MainWindow& w, QAction* item, void (*handler)(MainWindow&),
                            MainWindow::AfterLoad then) {
  QObject::connect(item, &QAction::triggered, &w, [&w, handler, then] {
    if (w.load_under_way()) {
      w.end_load_then(then);
      return;
    }
    run_command(w, [&w, handler] { handler(w); });
  });
}

void on_trigger(MainWindow& w, QAction* item, void (*handler)(MainWindow&)) {
  QObject::connect(item, &QAction::triggered, &w, [&w, item, handler] {
    if (item->isCheckable()) item->setChecked(!item->isChecked());
    run_command(w, [&w, handler] { handler(w); });
  });
}

}  // namespace quarvel
