#include "measure/results_text.h"

namespace quarvel {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

// A cell as a spreadsheet should take it: no separators inside, and without the blanks the grid
// pads its header cells with.
QString clean_cell(QString cell) {
  for (QChar& c : cell) {
    if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) c = QLatin1Char(' ');
  }
  return cell.trimmed();
}

// The row up to its last filled cell; an empty list when no cell is filled.
QStringList filled_part(const QStringList& row) {
  qsizetype n = row.size();
  while (n > 0 && row[n - 1].trimmed().isEmpty()) --n;
  QStringList cells;
  for (qsizetype i = 0; i < n; ++i) cells << clean_cell(row[i]);
  return cells;
}

}  // namespace

QByteArray results_file_text(const std::vector<ResultsTableCells>& tables,
                             const std::vector<QStringList>& header_rows) {
  QString text;
  for (const QStringList& row : header_rows) text += filled_part(row).join(QLatin1Char('\t')) + kLineEnd;
  if (!header_rows.empty()) text += kLineEnd;
  for (size_t t = 0; t < tables.size(); ++t) {
    if (t > 0) text += kLineEnd;
    text += QStringLiteral("Channel %1").arg(tables[t].channel);
    if (!tables[t].heading.isEmpty()) text += ": " + clean_cell(tables[t].heading);
    text += kLineEnd;
    std::vector<QStringList> lines;
    for (const QStringList& row : tables[t].rows) lines.push_back(filled_part(row));
    while (!lines.empty() && lines.back().isEmpty()) lines.pop_back();
    for (const QStringList& line : lines) text += line.join(QLatin1Char('\t')) + kLineEnd;
  }
  return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

}  // namespace quarvel
