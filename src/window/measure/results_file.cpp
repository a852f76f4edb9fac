#include "measure/results_file.h"

#include <QDir>

#include "app/main_window.h"
#include "datafile/save_bytes.h"
#include "datafile/save_request.h"
#include "display/physical_units.h"
#include "measure/results_text.h"
#include "ui/results_grid.h"

namespace quarvel {

const char* const kUnsavedReadingsText =
    "The results tables hold readings that have not been saved. Do you want to save them first?";
const char* const kUnsavedReadingsTitle = "Unsaved readings";

namespace {

ResultsTableCells table_cells(const ResultsGrid& g, int ch) {
  ResultsTableCells t;
  t.channel = ch;
  for (int r = 0; r < g.rows(); ++r) {
    QStringList row;
    for (int c = 0; c < g.cols(); ++c) row << g.text_at(r, c);
    t.rows.push_back(row);
  }
  return t;
}

// A header row per filter in force, in the order applied: the readings were taken through them.
std::vector<QStringList> filter_rows(const SharedState& s) {
  std::vector<QStringList> rows;
  for (size_t i = 0; i < s.filters.size(); ++i)
    rows.push_back({QStringLiteral("Filter %1").arg(i + 1), filter_description(s.filters[i])});
  return rows;
}

// The file proposed: the data file's name with ".txt" beside it, or results.txt in the
// recordings folder while no file is loaded.
FileDialogRequest results_request(const MainWindow& w) {
  return save_request_beside_data(w, "Tab-separated text (*.txt)|*.txt", "Save results", "txt", "results");
}

}  // namespace

bool save_results(MainWindow& w) {
  const QString path = w.dialogs().save_file(results_request(w));
  if (path.isEmpty()) return false;
  std::vector<ResultsTableCells> tables;
  for (int ch = 1; ch <= 3; ++ch) {
    tables.push_back(table_cells(*w.Grid1[static_cast<size_t>(ch - 1)], ch));
    if (in_physical_units(w.s)) tables.back().heading = channel_heading(w.s, ch);
  }
  const Status st = save_bytes(path, results_file_text(tables, filter_rows(w.s)));
  if (!st) {
    w.dialogs().warning(QStringLiteral("The results could not be saved in %1: %2. The readings stay in the tables.")
                            .arg(QDir::toNativeSeparators(path), st.failure().detail),
                        "Save results");
    return false;
  }
  w.s.readings_unsaved.fill(kFalse);
  return true;
}

void mnuSaveResults_click(MainWindow& w) {
  (void)save_results(w);
}

bool readings_may_go(MainWindow& w) {
  const PerChannel<Flag>& unsaved = w.s.readings_unsaved;
  if (!unsaved[1] && !unsaved[2] && !unsaved[3]) return true;
  switch (w.dialogs().save_discard_cancel(kUnsavedReadingsText, kUnsavedReadingsTitle)) {
    case SaveAnswer::Save:
      return save_results(w);
    case SaveAnswer::Discard:
      return true;
    case SaveAnswer::Cancel:
      break;
  }
  return false;
}

}  // namespace quarvel
