// Guards auto peaks: the scan on plain samples (alternating troughs and peaks at the first
// sample of each extreme, the first crossing, the hysteresis band, ranges outside the data) and
// on the window (the mode switch, the readings recorded, the cursor and levels removed at the
// end and kept when no first crossing is found, right-to-left selections, no selection).
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "measure/auto_peaks.h"
#include "measure/peak_scan.h"
#include "measure/results_rows.h"
#include "measure_fixture.h"
#include "ui/results_grid.h"

using namespace quarvel;
using quarvel::testing::MeasureTest;

namespace {

// A sine of period 20 clipped to +-500: the peaks hold 500 at samples 3..7 + 20 k, the troughs
// -500 at 13..17 + 20 k; it passes 0 at 0 and 10 + 20 k. The band used is -150 .. 162.5.
float clipped_sine(int i) {
  return static_cast<float>(std::clamp(std::round(650 * std::sin(std::numbers::pi * i / 10)), -500.0, 500.0));
}

std::vector<float> sine_samples(int n) {
  std::vector<float> v;
  for (int i = 0; i < n; ++i) v.push_back(clipped_sine(i));
  return v;
}

constexpr PeakExtreme T(int32_t i) {
  return {i, false};
}
constexpr PeakExtreme P(int32_t i) {
  return {i, true};
}

}  // namespace

struct ScanCase {
  const char* name;
  int32_t start, end;
  float offset;
  std::vector<PeakExtreme> extremes;
};

class ScanOfASine : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanOfASine, FindsTheExtremesAfterTheFirstCrossing) {
  const ScanCase& c = GetParam();
  const PeakScan r =
      scan_peaks(sine_samples(100), c.offset, -150 + c.offset, 162.5 + c.offset, c.start, c.end);
  EXPECT_EQ(r.extremes, c.extremes);
  EXPECT_EQ(r.end, PeakScanEnd::Ended);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanOfASine,
    ::testing::Values(
        // rising from between the levels: the first fall is the first crossing
        ScanCase{"rises", 0, 80, 0, {T(13), P(23), T(33), P(43), T(53), P(63)}},
        ScanCase{"above", 5, 50, 0, {T(13), P(23), T(33)}},
        // falling from between the levels: the first rise is the first crossing
        ScanCase{"falls", 10, 50, 0, {P(23), T(33)}},
        // the band is in plotted units, the extremes on the raw samples
        ScanCase{"offset", 0, 44, 1000, {T(13), P(23), T(33)}},
        ScanCase{
            "to_the_end_of_the_data", 0, 100, 0, {T(13), P(23), T(33), P(43), T(53), P(63), T(73), P(83)}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PeakScan, NothingWithoutBothCrossingsOrInsideTheData) {
  const std::vector<float> v{0, -300, 0, 100, -300, 160, 0, -300};  // never reaches 162.5
  const PeakScan below = scan_peaks(v, 0, -150, 162.5, 0, 8);
  EXPECT_TRUE(below.extremes.empty());
  EXPECT_EQ(below.end, PeakScanEnd::Stopped);
  for (auto [start, end] : {std::pair{-1, 5}, {0, 9}, {8, 8}}) {
    EXPECT_EQ(scan_peaks(v, 0, -150, 162.5, start, end).end, PeakScanEnd::NotRun) << start << ".." << end;
  }
  EXPECT_EQ(index_of_max(v, 4, 2), 4) << "to < from gives from";
}

// --- on the window

class Peaks : public MeasureTest {
 protected:
  TableCounters counters() { return counters_of(w->s, 1); }
  // A continuous file holding the clipped sine, ch_range 2000: the level pair is 312.5 apart.
  void load_sine() {
    load_continuous();
    for (int i = 0; i < 1800; ++i) w->s.work_data(1, i) = clipped_sine(i);
    ASSERT_EQ(w->s.ch_range[1], 2000);
  }
  // A selection, a time cursor at 40, the mode on and the lower level at -150; the picture with
  // only the selection.
  QImage prepare(double x1, double x2) {
    press(2, x1);
    press(2, x2);
    const QImage selected = picture();
    press(1, 40);
    w->mnuPeaks->trigger();
    press(1, 50, -150);
    return selected;
  }
};

class PeaksScan : public Peaks, public ::testing::WithParamInterface<bool> {};

TEST_P(PeaksScan, RecordsTroughsAndPeaksThenSwitchesTheModeOff) {
  load_sine();
  const QImage selected = GetParam() ? prepare(80, 0) : prepare(0, 80);
  dialogs->expect_input("block label", "peaks");
  w->add->click();

  const ResultsGrid& g = *w->Grid1[0];
  for (int r = 2; r <= 4; ++r) {
    const int k = 20 * (r - 2);  // troughs from 1.3 s, peaks from 2.3 s, a period of 2 s
    QStringList row;
    for (int c = 0; c < 8; ++c) row << g.text_at(r, c);
    EXPECT_EQ(row, (QStringList{QString::number(r - 1), QString::number((13 + k) / 10.0, 'f', 2), "-500.00",
                                QString::number((23 + k) / 10.0, 'f', 2), "500.00", "1000.00", "0.00",
                                r > 2 ? "2.00" : ""}));
  }
  EXPECT_EQ(counters(), (TableCounters{5, 1, 5, 1}));
  EXPECT_FALSE(w->s.peak_mode);
  EXPECT_EQ(w->s.level_y[1], kNoLevel);
  EXPECT_EQ(w->s.cursor_x, -1);
  EXPECT_FALSE(w->Label1->isVisible());
  EXPECT_EQ(picture(), selected) << "cursor and levels are gone, the selection stays";
}

INSTANTIATE_TEST_SUITE_P(Selections, PeaksScan, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "RightToLeft" : "LeftToRight"; });

TEST_F(Peaks, NoFirstCrossingKeepsTheModeAndTheLevels) {
  load_sine();
  for (int i = 0; i < 1800; ++i) w->s.work_data(1, i) = i % 2 ? -300.0f : 0.0f;
  const QImage selected = prepare(10, 60);
  w->add->click();  // no label is asked: nothing is recorded
  EXPECT_EQ(counters(), (TableCounters{}));
  EXPECT_TRUE(w->s.peak_mode);
  EXPECT_EQ(w->s.cursor_x, -1) << "the cursor went before the scan";
  erase_level(*w);
  EXPECT_EQ(picture(), selected) << "only the levels are left";

  // a selection taken away while the mode stays on: the scan does nothing at all
  w->s.sel_x1 = w->s.sel_x2 = -1;
  w->add->click();
  EXPECT_EQ(w->s.level_y[1], -150);
  EXPECT_TRUE(w->s.peak_mode);
}

TEST_F(Peaks, TheMenuItemSwitchesTheModeOnlyWithASelection) {
  load_sine();
  press(2, 10);
  w->mnuPeaks->trigger();
  EXPECT_FALSE(w->s.peak_mode) << "one edge is no selection";
  press(2, 60);
  const QImage selected = picture();
  w->s.overplot_on = kTrue;
  w->mnuPeaks->trigger();
  EXPECT_FALSE(w->s.peak_mode) << "not in the overplot view";
  w->s.overplot_on = kFalse;

  w->mnuPeaks->trigger();
  EXPECT_TRUE(w->s.peak_mode);
  press(2, 30, 100);
  ASSERT_NE(picture(), selected);
  w->mnuPeaks->trigger();
  EXPECT_FALSE(w->s.peak_mode);
  EXPECT_EQ(w->s.level_y[1], kNoLevel);
  EXPECT_EQ(picture(), selected) << "the levels are off the screen";
}
