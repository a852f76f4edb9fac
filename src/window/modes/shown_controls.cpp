#include "modes/shown_controls.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QRadioButton>
#include <QWidget>

#include "app/main_window.h"
#include "display/physical_units.h"
#include "modes/view_controls.h"

namespace quarvel {

namespace {

void apply(QAction& a, const ControlState& c) {
  if (a.isVisible() != c.visible) a.setVisible(c.visible);
  if (a.isEnabled() != c.enabled) a.setEnabled(c.enabled);
  if (a.isCheckable() && a.isChecked() != c.checked) a.setChecked(c.checked);
}

void apply(QWidget& w, const ControlState& c) {
  // Only changes reach the widget, so a command that leaves the view as it was costs no layout.
  if (w.isHidden() == c.visible) w.setVisible(c.visible);
  if (w.isEnabled() != c.enabled) w.setEnabled(c.enabled);
  if (auto* b = qobject_cast<QAbstractButton*>(&w); b && b->isCheckable() && c.checked && !b->isChecked())
    b->setChecked(true);
}

}  // namespace

void update_controls(MainWindow& w) {
  view_controls(w.s, [&w](const ControlState& c) {
    QObject* target = w.control(c.name);
    Q_ASSERT_X(target, "update_controls", qPrintable(c.name));
    if (auto* menu = qobject_cast<QMenu*>(target)) {
      apply(*menu->menuAction(), c);
    } else if (auto* action = qobject_cast<QAction*>(target)) {
      apply(*action, c);
    } else if (auto* widget = qobject_cast<QWidget*>(target)) {
      apply(*widget, c);
    }
  });
  // In physical units a channel button tells the channel's name and unit.
  for (int i = 0; i < 3; ++i) {
    const QString tip = in_physical_units(w.s) ? channel_heading(w.s, i + 1) : QString();
    if (w.ch_select[static_cast<size_t>(i)]->toolTip() != tip)
      w.ch_select[static_cast<size_t>(i)]->setToolTip(tip);
  }
}

}  // namespace quarvel
