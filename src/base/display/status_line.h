// The block status line of the status box: which block is shown and how many are averaged.
#pragma once

#include <QString>

#include "core/shared_state.h"

namespace quarvel {

// "current curve: " + cur_block "###0/" + block_count "###0" + "     averaged: " + ave_n "###0".
QString block_status_line(const SharedState& s);

}  // namespace quarvel
