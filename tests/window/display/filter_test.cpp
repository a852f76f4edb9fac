// Guards the Filter command in the window: filters add up on the ticked channels; Raw curves and
// every command starting a view afresh give the raw samples back bit for bit; refusals and Cancel
// leave the working samples as they were; in a block view each block is filtered on its own, the
// average is made anew from the accepted blocks and PSD takes the filtered blocks.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstring>
#include <functional>
#include <numbers>

#include "modes/filtering.h"
#include "modes/spectrum.h"
#include "support/loaded_file.h"
#include "support/window_fixture.h"
#include "ui/progress_window.h"
#include "ui/surface.h"

using namespace quarvel;
using namespace quarvel::testing;

namespace {

// A filter of the kind with its frequencies: the corner, a band's edges or a notch's centre.
FilterSettings of(FilterKind kind, double f1, double f2 = 0,
                  PerChannel<bool> channels = {true, true, false}) {
  return {kind, 2, f1, f1, f2, f1, 2, channels};
}

// A slow wave and 50 Hz hum at 1 kHz.
float signal(int ch, int32_t i) {
  return static_cast<float>(200 * ch * std::cos(0.0044 * i) + 80 * std::sin(std::numbers::pi * i / 10));
}

bool same_bits(const SampleArray& a, const SampleArray& b, int ch) {
  return a.size() == b.size() &&
         std::memcmp(a.channel(ch), b.channel(ch), static_cast<size_t>(a.size()) * sizeof(float)) == 0;
}

class Filters : public WindowTest {
 protected:
  SharedState& s() { return w->s; }
  void load(int32_t block_length = -1) { load_shape(*w, LoadShape{2, 5000, 0.001f, block_length, signal}); }
  void filter(const FilterSettings& f) {
    dialogs->expect_filter(f);
    w->mnuFilter->trigger();
  }
  // The raw samples shown again (shared), nothing of the filters left.
  void expect_raw(const char* after) {
    EXPECT_TRUE(s().filters.empty() && s().work_data.shares(s().raw_data, 1)) << after;
    EXPECT_FALSE(w->status->text().contains("filtered")) << after;
  }
};

}  // namespace

TEST_F(Filters, AddUpAndRawCurvesGivesTheSamplesBackBitForBit) {
  load();
  const QString status = w->status->text();
  const QImage raw_picture = w->disp->image().copy();
  const SampleArray raw = s().raw_data;
  const FilterSettings hp = of(FilterKind::HighPass, 0.5, 0, {true, false, false});
  filter(hp);
  filter(of(FilterKind::LowPass, 10));
  // The low-pass ran over what the high-pass left; channel 2 had only the low-pass.
  const SampleArray expected =
      *apply_filter(*apply_filter(raw, hp, 1000, 0), of(FilterKind::LowPass, 10), 1000, 0);
  EXPECT_TRUE(same_bits(s().work_data, expected, 1) && same_bits(s().work_data, expected, 2));
  EXPECT_EQ(w->status->text(), status + "     filtered: HP 0.5 Hz, LP 10 Hz");
  EXPECT_NE(w->disp->image(), raw_picture) << "the filtered curves are drawn";

  // Invert negates raw and filtered samples alike, so the filters stay in force.
  w->mnuInvert->trigger();
  w->mnuInvert->trigger();
  EXPECT_EQ(s().filters.size(), 2u);
  w->mnuRaw->trigger();
  expect_raw("Raw curves");
  EXPECT_TRUE(same_bits(s().work_data, raw, 1) && same_bits(s().work_data, raw, 2));
  EXPECT_EQ(w->status->text(), status);
  EXPECT_EQ(w->disp->image(), raw_picture) << "the raw curves drawn again, pixel for pixel";
}

TEST_F(Filters, RefusalsAndCancelLeaveTheWorkingSamplesAsTheyWere) {
  load();
  for (const auto& [asked, message] : std::vector<std::pair<FilterSettings, QString>>{
           {of(FilterKind::LowPass, 500),
            "The corner frequency must be below half the sampling rate (500 Hz)."},
           {of(FilterKind::HighPass, 1, 0, {false, false, true}), "Tick at least one channel to filter."}}) {
    dialogs->expect_filter(asked);
    dialogs->expect_warning(message);
    w->mnuFilter->trigger();
    expect_raw(qPrintable(message));
  }
  filter(of(FilterKind::HighPass, 0.5));
  const SampleArray before = s().work_data;
  const QString status = w->status->text();
  QTimer::singleShot(0, [&] {
    ASSERT_EQ(w->Scroll->windowTitle(), "Filtering: notch 50 Hz");
    QTest::mouseClick(w->Scroll->cancel, Qt::LeftButton);
  });
  filter(of(FilterKind::Notch, 50));
  EXPECT_EQ(s().filters.size(), 1u);
  EXPECT_TRUE(s().work_data.shares(before, 1) && same_bits(s().work_data, before, 1));
  EXPECT_EQ(w->status->text(), status);
  EXPECT_FALSE(w->Scroll->isVisible() || w->busy());
}

TEST_F(Filters, RunOverEachBlockOnItsOwnAndRebuildTheAverage) {
  load(1250);  // four blocks, of which 2 (twice) and 4 are accepted
  for (int k : {2, 2, 4}) {
    while (s().cur_block < k) QTest::mouseClick(w->PgDn, Qt::LeftButton);
    QTest::mouseClick(w->accept, Qt::LeftButton);
  }
  filter(of(FilterKind::BandPass, 1, 40));
  // Each block as a file of its own, which filtering the whole recording would not give.
  EXPECT_TRUE(same_bits(s().work_data, *apply_filter(s().raw_data, s().filters[0], 1000, 1250), 2));
  const auto check_average = [&](const char* after) {
    const float b2 = s().work_data(2, 1250 + 600), b4 = s().work_data(2, 3750 + 600);
    EXPECT_EQ(s().ave_data(2, 600), (2 * ((1 * b2 + b2) / 2) + b4) / 3) << after;
    EXPECT_EQ(w->ave_count->text(), " 3") << after;
  };
  check_average("Filter");
  EXPECT_EQ(w->status->text(), "current curve: 4/4     averaged: 3     filtered: BP 1-40 Hz");

  // The spectrum is of the filtered blocks; Raw curves from it gives back the raw ones.
  const SampleArray filtered = s().work_data;
  w->mnuPSD->trigger();
  EXPECT_TRUE(same_bits(s().spectrum, power_spectrum(filtered, 1250, 4)->spectrum, 2));
  w->mnuRaw->trigger();
  expect_raw("Raw curves from the spectrum");
  check_average("Raw curves");
}

TEST_F(Filters, EveryCommandThatStartsAViewAfreshDropsThem) {
  const auto block_length = [this] {
    dialogs->expect_input("Block length (ms):", "500");
    w->mnuBlock->trigger();
  };
  for (const auto& [command, blocks, run] :
       std::vector<std::tuple<const char*, int32_t, std::function<void()>>>{
           {"Block length", 1250, block_length},
           {"Block mode", -1, block_length},
           {"Continuous", 1250, [this] { w->mnuContinuous->trigger(); }},
           {"Open", -1, [this] { load(); }},
           {"Measure from the spectrum", 1250, [this] { w->mnuPSD->trigger(), w->mnuMeasure->trigger(); }}}) {
    if (s().measure_mode) w->mnuQuarvel->trigger();
    load(blocks);
    filter(of(FilterKind::LowPass, 5));
    run();
    expect_raw(command);
  }
}

TEST_F(Filters, RunInTheUnitInForceAndRawCurvesStayInIt) {
  load();
  s().ch_calibration[1] = Calibration{"EDA", "uS", 0.5f, 3.0f};
  w->mnuUnitsPhysical->trigger();
  const SampleArray physical = s().work_data;
  ASSERT_FALSE(same_bits(physical, s().raw_data, 1));
  const FilterSettings lp = of(FilterKind::LowPass, 10);
  filter(lp);
  const SampleArray expected = *apply_filter(physical, lp, 1000, 0);
  EXPECT_TRUE(same_bits(s().work_data, expected, 1) && same_bits(s().work_data, expected, 2));

  w->mnuRaw->trigger();
  EXPECT_TRUE(s().filters.empty() && same_bits(s().work_data, physical, 1)) << "Raw curves in physical units";
  filter(lp);
  w->mnuUnitsConverter->trigger();
  expect_raw("Converter units");
}
