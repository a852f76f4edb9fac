// What the window offers in each view: for every control and menu item of the main window, by its
// window name, whether it is visible, enabled and checked. One function decides it from the mode,
// the view and the recording state; the window puts the answer in force after every command, load
// and loop end, so no command switches a control itself.
#pragma once

#include <QString>
#include <functional>

#include "core/shared_state.h"

namespace quarvel {

struct ControlState {
  QString name;  // the window name: "PgDn", "Grid1(0)", "mnuCopyitem(2)", "mnuFile" (a menu's entry)
  bool visible = true;
  bool enabled = true;
  bool checked = false;  // for the checkable ones: menu items, the channel selection
};

// Hands the state of every switched control and menu item in the state s to `visit`, in a fixed
// order. Nothing is collected, so putting the states in force needs no memory to speak of, even
// after a command failed for want of it.
void view_controls(const SharedState& s, const std::function<void(const ControlState&)>& visit);

}  // namespace quarvel
