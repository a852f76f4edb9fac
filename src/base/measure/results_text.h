// The results tables as one text file for a spreadsheet: UTF-8 with a byte-order mark (so a
// spreadsheet does not take it for the local code page), one section per channel, cells separated
// by tabs and lines by CR LF, the same line ends as the clipboard texts. Header rows, when there
// are any, come first, followed by an empty line.
//
//   Filter 1<TAB>HP 0.05 Hz, order 2 ...  a header row (the filters the readings were taken through)
//
//   Channel 1                            "Channel 1: EDA (µS)" in physical units
//    <TAB>     x1<TAB>     y1 ...        the table's rows, header row first, cells as the grid shows them
//   a
//   1<TAB>1.20<TAB>...
//                                        an empty line between sections
//   Channel 2
//   ...
#pragma once

#include <QByteArray>
#include <QStringList>
#include <vector>

namespace quarvel {

// One channel's results table: its rows of cell texts, the header row first.
struct ResultsTableCells {
  int channel = 1;
  QString heading;  // in physical units the channel's name and unit: "Channel 1: EDA (µS)"

  std::vector<QStringList> rows;
};

// The file's bytes. Empty rows and cells after the last filled one are left out (the grids keep
// many empty rows); empty rows between filled ones stay, as they separate blocks. A tab or line
// break inside a cell becomes a space, so no cell can move the ones after it.
QByteArray results_file_text(const std::vector<ResultsTableCells>& tables,
                             const std::vector<QStringList>& header_rows = {});

}  // namespace quarvel
