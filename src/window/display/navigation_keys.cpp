#include "display/navigation_keys.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "app/commands.h"
#include "app/main_window.h"
#include "display/browse.h"

namespace quarvel {

namespace {

bool is_navigation_key(int key) {
  switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
      return true;
    default:
      return false;
  }
}

// Whether the control uses the navigation keys itself, for its text, its list or its position. A
// grid cell being edited has a text box of its own as its editor, which has the focus.
bool keeps_the_keys(const QWidget* w) {
  return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
         qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w);
}

class NavigationKeys : public QObject {
 public:
  explicit NavigationKeys(MainWindow& w) : QObject(&w), w_(w) {}

  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() != QEvent::KeyPress) return false;
    // Only the key as the focus widget gets it: a key a text box passes on to its parents stays
    // the text box's.
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || target != QApplication::focusWidget() || target->window() != &w_ ||
        QApplication::activePopupWidget())
      return false;
    const auto* key = static_cast<QKeyEvent*>(e);
    if (!is_navigation_key(key->key()) || keeps_the_keys(target)) return false;
    const int shift = static_cast<int>(key->modifiers() & Qt::ShiftModifier ? 1 : 0) |
                      static_cast<int>(key->modifiers() & Qt::ControlModifier ? 2 : 0) |
                      static_cast<int>(key->modifiers() & Qt::AltModifier ? 4 : 0);
    run_command(w_, [&] { disp_key_down(w_, key->key(), shift); });
    return true;
  }

 private:
  MainWindow& w_;
};

}  // namespace

void take_navigation_keys(MainWindow& w) {
  qApp->installEventFilter(new NavigationKeys(w));
}

}  // namespace quarvel
