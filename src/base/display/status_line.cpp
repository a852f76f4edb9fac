#include "display/status_line.h"

#include "core/numbers.h"

namespace quarvel {

QString block_status_line(const SharedState& s) {
  return "current curve: " + format(s.cur_block, "###0/") + format(s.block_count, "###0") +
         "     averaged: " + format(s.ave_n, "###0");
}

QString with_filters(const QString& text, const std::vector<FilterSettings>& filters) {
  if (filters.empty()) return text;
  const QString shown = "filtered: " + filters_text(filters);
  return text.isEmpty() ? shown : text + "     " + shown;
}

}  // namespace quarvel
