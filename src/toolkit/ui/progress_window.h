// The small progress window "Scroll": a caption and one horizontal bar from 0 to 100, shown
// without blocking the main window while a file is read or a spectrum computed.
#pragma once

#include <QWidget>

class QProgressBar;

namespace quarvel {

class ProgressWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ProgressWindow(QWidget* owner = nullptr);

  QProgressBar* HScroll1;

  void set_value(int v);  // 0..100
  int value() const;
  // Shows the window without taking the input from the main window.
  void show_modeless();
  // Paints the window at once (the caller is busy and does not return to the event loop).
  void refresh();
};

}  // namespace quarvel
