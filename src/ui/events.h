// Small event hooks for controls: a handler when a control loses the keyboard focus, and one for
// the Enter key pressed in it (the key is then consumed).
#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace quarvel {

void on_focus_out(QWidget* control, std::function<void()> handler);
void on_enter_key(QWidget* control, std::function<void()> handler);

}  // namespace quarvel
