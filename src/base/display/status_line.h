// The status box's lines: which block is shown and how many are averaged, and the filters in force
// after whatever the view shows there.
#pragma once

#include <QString>
#include <vector>

#include "core/shared_state.h"

namespace quarvel {

// "current curve: " + cur_block "###0/" + block_count "###0" + "     averaged: " + ave_n "###0".
QString block_status_line(const SharedState& s);

// text followed by the filters in force: "current curve: 1/6     averaged: 0     filtered: HP 0.05
// Hz, notch 50 Hz" ("filtered: ..." alone after an empty text); text itself while none is.
QString with_filters(const QString& text, const std::vector<FilterSettings>& filters);

}  // namespace quarvel
