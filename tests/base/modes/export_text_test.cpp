// Guards the texts of the Copy menu: the block means and the whole table (Word and Excel
// layouts, line ends, statistics under their headings, tables longer than 300 lines) and the
// curve points (block and continuous times, averages, headings, the overplot layout, sample
// indices past 32767, views reaching past the stored samples).
#include <gtest/gtest.h>

#include <QStringList>

#include "core/numbers.h"
#include "measure/results_rows.h"
#include "modes/export_text.h"

using namespace quarvel;

namespace {

const QString CRLF = "\r\n";

void put(ResultsStore& r, int row, int ch, int16_t kind, const QString& text,
         std::initializer_list<float> v = {}) {
  ResultRec& rec = r.at(row, ch);
  rec.kind = kind;
  rec.text = text;
  int i = 1;
  for (const float x : v) rec.v[i++] = x;
}

// Continuous view: label "A", one pair, then the statistics of a block.
ResultsStore continuous_store() {
  ResultsStore r;
  put(r, 1, 1, kKindContLabel, "A");
  put(r, 2, 1, kKindContReading, "1", {0.5f, 12.25f, 1.5f, -3, 15.25f, 4.625f, 0});
  put(r, 3, 1, kKindMean, "mean", {0, 0, 0, 0, 3, 4, 5});
  put(r, 4, 1, kKindSD, "SD", {0, 0, 0, 0, 1.414f, 0, 0});
  put(r, 5, 1, kKindCount, "n", {0, 0, 0, 0, 2, 2, 1});
  return r;
}

}  // namespace

TEST(WholeTable, LabelAndPairForAWordProcessor) {
  const ResultsStore r = continuous_store();
  EXPECT_EQ(whole_table_text(r, 1, 3, TableLayout::Word),
            " " + CRLF + "A" + CRLF + "\tX1\t\tY1\t\tX2\t\tY2\t\tampl.\t\ttone\t\tperiod" + CRLF +
                "1\t0.50\t\t12.25\t\t1.50\t\t-3.00\t\t15.25\t\t4.63\t\t0.00");
  EXPECT_EQ(whole_table_text(r, 2, 3, TableLayout::Word), "") << "another channel's table is empty";
  EXPECT_EQ(whole_table_text(r, 1, 1, TableLayout::Excel), "");
}

TEST(BlockMeans, StatisticsUnderTheirLabelEveryLineEnded) {
  const ResultsStore r = continuous_store();
  EXPECT_EQ(block_means_text(r, 1, 6),
            CRLF + "A" + CRLF + "\t\tampl.\t\ttone\t\tperiod" + CRLF + "mean\t\t3.00\t\t4.00\t\t5.00" + CRLF +
                "SD\t\t1.41\t\t0.00\t\t0.00" + CRLF + "n\t\t2.00\t\t2.00\t\t1.00" + CRLF);
  EXPECT_EQ(block_means_text(r, 1, 1), "");
}

class TableLayouts : public ::testing::TestWithParam<TableLayout> {};

// Splits a table into its cells: lines by CR LF, cells by tab.
std::vector<QStringList> cells(const QString& text) {
  std::vector<QStringList> rows;
  for (const QString& line : text.split(CRLF)) rows.push_back(line.split('\t'));
  return rows;
}

TEST_P(TableLayouts, ValuesFallUnderTheirHeadings) {
  ResultsStore r = continuous_store();
  put(r, 6, 1, kKindBlockLabel, "B     dly: 50 ms");
  put(r, 7, 1, kKindBlockReading, "1", {250, 7.5f, 200, 0, 2.25f, 0, 30});
  const std::vector<QStringList> t = cells(whole_table_text(r, 1, 8, GetParam()));
  ASSERT_EQ(t.size(), 11u);
  const QStringList& cont_head = t[2];
  EXPECT_EQ(t[3].indexOf("15.25"), cont_head.indexOf("ampl."));
  EXPECT_EQ(t[3].indexOf("0.00"), cont_head.indexOf("period"));
  for (size_t row = 4; row <= 6; ++row) {
    EXPECT_EQ(t[row].size(), cont_head.size()) << "statistics row " << row;
    EXPECT_EQ(t[row][0], QStringList({"mean", "SD", "n"})[static_cast<int>(row - 4)]);
  }
  EXPECT_EQ(t[4].indexOf("3.00"), cont_head.indexOf("ampl."));
  EXPECT_EQ(t[4].indexOf("4.00"), cont_head.indexOf("tone"));
  EXPECT_EQ(t[4].indexOf("5.00"), cont_head.indexOf("period"));

  EXPECT_EQ(t[7], QStringList{" "});
  const QStringList& block_head = t[9];
  EXPECT_EQ(t[10].indexOf("250.00"), block_head.indexOf("t"));
  EXPECT_EQ(t[10].indexOf("7.50"), block_head.indexOf("A"));
  EXPECT_EQ(t[10].indexOf("2.25"), block_head.indexOf("p-to-p"));
  EXPECT_EQ(t[10].indexOf("30.00"), block_head.indexOf("dist."));
}

INSTANTIATE_TEST_SUITE_P(Export, TableLayouts, ::testing::Values(TableLayout::Word, TableLayout::Excel));

TEST(WholeTable, GrowsPastThreeHundredLines) {
  ResultsStore r;
  for (int row = 1; row <= 1000; row += 2) {
    put(r, row, 3, kKindContLabel, QString::number(row));
    put(r, row + 1, 3, kKindContReading, "1");
  }
  const QStringList lines = whole_table_text(r, 3, 1001, TableLayout::Excel).split(CRLF);
  EXPECT_EQ(lines.size(), 2000);
  EXPECT_EQ(lines[1997], "999");
}

namespace {

// A block file of four blocks of 500 samples at 1 kHz (500 ms screens), block 3 shown.
SharedState block_view() {
  SharedState s;
  s.file_loaded = kTrue;
  s.block_mode = kTrue;
  s.block_length = 500;
  s.block_count = 4;
  s.sample_count = 2000;
  s.scr_length = 500;
  s.view_start = 1000;
  s.ch_source = {1, 0, 0};
  s.work_data.redim(3, 2000);
  for (int32_t i = 0; i <= 2000; ++i) s.work_data(1, i) = static_cast<float>(i);
  s.ave_data.redim(3, 499);
  for (int32_t k = 0; k < 500; ++k) s.ave_data(1, k) = k + 0.5f;
  redim(s.marker_data, 2000);
  s.marker_data[1200] = 200;
  return s;
}

}  // namespace

TEST(CurvePoints, BlockViewTimesFromTheBlockStartAndTheAverageAlongside) {
  SharedState s = block_view();
  s.show_average = kTrue;
  const CurvePoints p = curve_points_text(s, 625);
  EXPECT_EQ(p.last, 1499);
  const QStringList lines = p.text.split(CRLF);
  ASSERT_EQ(lines.size(), 501);
  EXPECT_EQ(lines[0], "time\tch1\tch1-ave\tmarker");
  EXPECT_EQ(lines[1], "0\t1000\t0.5\t0");
  EXPECT_EQ(lines[201], "200\t1200\t200.5\t200");
  EXPECT_EQ(lines[500], "499\t1499\t499.5\t0");
}

TEST(CurvePoints, EveryShownChannelIsHeadedCh1) {
  SharedState s = block_view();
  s.ch_source = {1, 2, 0};
  const QStringList lines = curve_points_text(s, 625).text.split(CRLF);
  EXPECT_EQ(lines[0], "time\tch1\tch1\tmarker");
  EXPECT_EQ(lines[2], "1\t1001\t0\t0") << "channel 2 holds zeros";
}

TEST(CurvePoints, OverplotPutsEveryBlockOfTheCurrentChannelInAColumn) {
  SharedState s = block_view();
  s.overplot_on = kTrue;
  s.current_ch = 1;
  s.view_start = 0;
  const QStringList lines = curve_points_text(s, 625).text.split(CRLF);
  ASSERT_EQ(lines.size(), 501);
  EXPECT_EQ(lines[0], "time\t1\t2\t3\t4\t");
  EXPECT_EQ(lines[1], "0\t0\t500\t1000\t1500\t");
  EXPECT_EQ(lines[500], "499\t499\t999\t1499\t1999\t");
}

TEST(CurvePoints, ContinuousTimesFromTheStartPastSample32767) {
  SharedState s;
  s.file_loaded = kTrue;
  s.sample_count = 50000;
  s.scr_length = 10;  // 10 s at 10 Hz: 100 samples a screen
  s.view_start = 40000;
  s.ch_source = {1, 0, 0};
  s.work_data.redim(1, 50000);
  s.work_data(1, 40010) = 2.5f;
  redim(s.marker_data, 50000);
  CurvePoints p = curve_points_text(s, 125);
  EXPECT_EQ(p.last, 40100);
  QStringList lines = p.text.split(CRLF);
  ASSERT_EQ(lines.size(), 102);
  EXPECT_EQ(lines[1], "4000\t0\t0");
  EXPECT_EQ(lines[11], "4001\t2.5\t0");

  // A view that reaches past the stored samples ends with them.
  s.work_data.redim(1, 40049);
  lines = curve_points_text(s, 125).text.split(CRLF);
  EXPECT_EQ(lines.size(), 51);
  EXPECT_EQ(lines.back(), "4004.9\t0\t0");
}
