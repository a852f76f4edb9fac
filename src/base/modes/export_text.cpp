#include "modes/export_text.h"

#include <QStringList>
#include <algorithm>

#include "core/numbers.h"
#include "display/curve_plan.h"
#include "display/physical_units.h"
#include "measure/results_rows.h"

namespace quarvel {

namespace {

const QString kTab = QStringLiteral("\t");
const QString kLineEnd = QStringLiteral("\r\n");

QString value(float v) {
  return format(v, "###0.00");
}

// The filled records of a channel: 1 .. store_row - 1, within the store.
int last_record(int store_row) {
  return std::clamp(store_row - 1, 0, ResultsStore::kRows);
}

// Values v(i) of a record for the given indices, joined by the separator.
QString values(const ResultRec& r, std::initializer_list<int> indices, const QString& sep) {
  QStringList parts;
  for (const int i : indices) parts << value(r.v[i]);
  return parts.join(sep);
}

// A heading with the unit after it, when there is one: "ampl. µS".
QString with_unit(const QString& heading, const QString& unit) {
  return unit.isEmpty() ? heading : heading + " " + unit;
}

}  // namespace

QString block_means_text(const ResultsStore& results, int ch, int store_row, const QString& unit) {
  const QString two_tabs = kTab + kTab;
  QString text;
  for (int row = 1; row <= last_record(store_row); ++row) {
    const ResultRec& r = results.at(row, ch);
    switch (r.kind) {
      case kKindContLabel:
        text += kLineEnd + r.text + kLineEnd;
        text += two_tabs + with_unit("ampl.", unit) + two_tabs + with_unit("tone", unit) + two_tabs +
                "period" + kLineEnd;
        break;
      case kKindMean:
      case kKindSD:
      case kKindCount:
        text += r.text + two_tabs + values(r, {5, 6, 7}, two_tabs) + kLineEnd;
        break;
      default:
        break;
    }
  }
  return text;
}

QString whole_table_text(const ResultsStore& results, int ch, int store_row, TableLayout layout,
                         const QString& unit) {
  const bool word = layout == TableLayout::Word;
  const QString sep = word ? kTab + kTab : kTab;
  // The statistics values fall under "ampl.", the fifth heading after the first column.
  const QString stats_lead = kTab.repeated(word ? 9 : 5);
  QStringList lines;
  for (int row = 1; row <= last_record(store_row); ++row) {
    const ResultRec& r = results.at(row, ch);
    switch (r.kind) {
      case kKindContLabel:
        lines << " " << r.text
              << kTab + QStringList{"X1",
                                    with_unit("Y1", unit),
                                    "X2",
                                    with_unit("Y2", unit),
                                    with_unit("ampl.", unit),
                                    with_unit("tone", unit),
                                    "period"}
                            .join(sep);
        break;
      case kKindContReading:
        lines << r.text + kTab + values(r, {1, 2, 3, 4, 5, 6, 7}, sep);
        break;
      case kKindMean:
      case kKindSD:
      case kKindCount:
        lines << r.text + stats_lead + values(r, {5, 6, 7}, sep);
        break;
      case kKindBlockLabel:
        lines << " " << r.text
              << kTab +
                     QStringList{"t", with_unit("A", unit), "t-dly", with_unit("p-to-p", unit), "dist."}.join(
                         sep);
        break;
      case kKindBlockReading:
        lines << r.text + kTab + values(r, {1, 2, 3, 5, 7}, sep);
        break;
      default:
        break;
    }
  }
  return lines.join(kLineEnd);
}

namespace {

// The overplot view: one column per block of the current channel, the time inside the block.
QStringList overplot_points(const SharedState& s, double per_screen) {
  const int ch = s.current_ch;
  QStringList lines;
  QString header = "time" + kTab;
  const QString unit = shown_unit(s, ch);
  for (int32_t k = 1; k <= s.block_count; ++k) header += with_unit(QString::number(k), unit) + kTab;
  lines << header;
  for (int32_t e = 0; e < s.block_length; ++e) {
    QString line =
        format_general(static_cast<float>(e) * s.scr_length / static_cast<float>(per_screen)) + kTab;
    for (int32_t k = 0; k < s.block_count; ++k) {
      line += format_general(
                  s.work_data(ch, static_cast<int32_t>(static_cast<int64_t>(k) * s.block_length + e))) +
              kTab;
    }
    lines << line;
  }
  return lines;
}

// Any other view: one line per sample shown, with the curves drawn of every channel with an input
// and the marker word.
QStringList view_points(const SharedState& s, double per_screen, int32_t last_shown) {
  std::vector<int> shown;
  for (int c = 1; c <= 3; ++c) {
    if (s.ch_source[c] > 0) shown.push_back(c);
  }
  // The columns of the curves drawn: in the spectrum view the spectra only.
  const ShownCurves curves = shown_curves(s);
  QStringList lines;
  QString header = "time" + kTab;
  for (const int c : shown) {
    // In physical units each column names its channel and unit.
    const QString name = in_physical_units(s) ? channel_heading(s, c) : QStringLiteral("ch1");
    if (curves.single) header += name + kTab;
    if (curves.average) header += name + "-ave" + kTab;
  }
  lines << header + "marker";

  // Only samples that are stored are exported: a view reaching past the data ends with the data.
  // Times in double precision and as many digits, so that a sample a day into a recording still
  // has a time of its own.
  const int64_t first = round_i32(s.view_start);
  const int64_t last = std::min<int64_t>(last_shown, s.work_data.last_index());
  const bool block = static_cast<bool>(s.block_mode);
  const double screen = s.scr_length;
  for (int64_t i = first; i <= last; ++i) {
    const int32_t idx = static_cast<int32_t>(i);
    const double from = block ? static_cast<double>(i) - s.view_start : static_cast<double>(i);
    QString line = format_general_double(from * screen / per_screen) + kTab;
    for (const int c : shown) {
      if (curves.single) line += format_general(s.work_data(c, idx)) + kTab;
      if (curves.average)
        line += format_general(s.ave_data(c, round_i32(static_cast<double>(i) - s.view_start))) + kTab;
    }
    const int16_t marker = idx >= 0 && static_cast<size_t>(idx) < s.marker_data.size()
                               ? s.marker_data[static_cast<size_t>(idx)]
                               : 0;
    lines << line + QString::number(marker);
  }
  return lines;
}

}  // namespace

CurvePoints curve_points_text(const SharedState& s, double scale_width) {
  const double per_screen = scale_width * 0.8;  // samples on one screen
  CurvePoints out;
  out.last = last_shown_sample(ViewExtent{static_cast<bool>(s.block_mode), s.block_length, s.block_count,
                                          s.sample_count, s.view_start, per_screen});
  const QStringList lines =
      s.overplot_on ? overplot_points(s, per_screen) : view_points(s, per_screen, out.last);
  out.text = lines.join(kLineEnd);
  return out;
}

}  // namespace quarvel
