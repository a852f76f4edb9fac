#include "display/status_line.h"

#include "core/numbers.h"

namespace quarvel {

QString block_status_line(const SharedState& s) {
  return "current curve: " + format(s.cur_block, "###0/") + format(s.block_count, "###0") +
         "     averaged: " + format(s.ave_n, "###0");
}

}  // namespace quarvel
