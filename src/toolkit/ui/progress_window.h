// The small progress window "Scroll": a caption and one horizontal bar from 0 to 100, shown
// without blocking the main window while a file is read or a spectrum computed; or, for work a
// person may stop, with a Cancel button and the input of every other window held back.
#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QProgressBar;
class QPushButton;

namespace quarvel {

class ProgressWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ProgressWindow(QWidget* owner = nullptr);

  QProgressBar* HScroll1;
  QPushButton* cancel;  // shown only by show_cancellable

  void set_value(int v);  // 0..100
  int value() const;
  // Shows the window without taking the input from the main window; the next cancel_requested
  // lets events through at once.
  void show_modeless();
  // Shows the window with its Cancel button, modal to the whole program: while the work lets events
  // through (cancel_requested), only this window takes clicks and keys, so no other command can
  // start under the work.
  void show_cancellable();
  // Lets the events that came meanwhile be handled (repaints included), the first time at once and
  // then at most about 30 times a second, and says whether the person has asked to stop since
  // show_cancellable: Cancel clicked, Escape pressed or the window closed.
  bool cancel_requested();
  // Paints the window at once (the caller is busy and does not return to the event loop).
  void refresh();

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void show_as(Qt::WindowModality modality, bool with_cancel);

  bool cancelled_ = false;
  QElapsedTimer since_events_;
};

}  // namespace quarvel
