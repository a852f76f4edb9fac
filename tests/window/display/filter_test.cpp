// Guards the Filter command in the window: what it runs over (the ticked channels, each block on
// its own), that filters add up, that Raw curves and every command starting a view afresh give the
// raw samples back bit for bit, that Cancel and a refusal leave the working samples as they were,
// the status line, the average made anew from the accepted blocks and the spectrum of the
// filtered blocks.
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

#include "display/status_line.h"
#include "modes/filtering.h"
#include "modes/spectrum.h"
#include "support/loaded_file.h"
#include "support/window_fixture.h"
#include "ui/progress_window.h"
#include "ui/surface.h"

using namespace quarvel;
using namespace quarvel::testing;

namespace {

FilterSettings low_pass(double hz, int order = 4) {
  return {.kind = FilterKind::LowPass, .order = order, .corner_hz = hz, .channels = {true, true, false}};
}
FilterSettings high_pass(double hz, PerChannel<bool> channels = {true, false, false}) {
  return {.kind = FilterKind::HighPass, .order = 2, .corner_hz = hz, .channels = channels};
}
FilterSettings notch(double centre) {
  return {.kind = FilterKind::Notch,
          .order = 2,
          .centre_hz = centre,
          .width_hz = 2,
          .channels = {true, true, false}};
}
FilterSettings band_pass(double low, double high) {
  return {.kind = FilterKind::BandPass,
          .order = 2,
          .low_hz = low,
          .high_hz = high,
          .channels = {true, true, false}};
}

// A slow wave and a bump, both centred on sample 2500 of 5000, and 50 Hz hum, at 1 kHz.
float signal(int ch, int32_t i) {
  const double t = i / 1000.0;
  const double bump = 300 * std::exp(-std::pow((i - 2500) / 30.0, 2));
  return static_cast<float>(ch * 40 + 200 * ch * std::cos(2 * std::numbers::pi * 0.7 * (t - 2.5)) +
                            80 * std::sin(2 * std::numbers::pi * 50 * t) + bump);
}

bool same_bits(const SampleArray& a, const SampleArray& b, int ch) {
  return a.size() == b.size() &&
         std::memcmp(a.channel(ch), b.channel(ch), static_cast<size_t>(a.size()) * sizeof(float)) == 0;
}

class Filters : public WindowTest {
 protected:
  SharedState& s() { return w->s; }
  // Two channels of 5000 samples, continuous or in blocks of block_length.
  void load(int32_t block_length = -1) {
    LoadShape shape;
    shape.channels = 2;
    shape.frames = 5000;
    shape.sample_interval = 0.001f;
    shape.block_length = block_length;
    shape.sample = signal;
    load_shape(*w, shape);
  }
  void filter(const FilterSettings& f) {
    dialogs->expect_filter(f);
    w->mnuFilter->trigger();
  }
  // The raw samples shown again, nothing of the filters left.
  void expect_raw(const char* after) {
    EXPECT_TRUE(s().filters.empty()) << after;
    for (int ch = 1; ch <= 2; ++ch) {
      EXPECT_TRUE(s().work_data.shares(s().raw_data, ch)) << after << ", channel " << ch;
      EXPECT_TRUE(same_bits(s().work_data, s().raw_data, ch)) << after << ", channel " << ch;
    }
    EXPECT_FALSE(w->status->text().contains("filtered")) << after;
  }
};

}  // namespace

TEST_F(Filters, AddUpKeepPeakTimesAndRawCurvesGivesTheSamplesBack) {
  load();
  const QString status = w->status->text();
  const QImage raw_picture = w->disp->image().copy();
  const SampleArray raw = s().raw_data;

  filter(high_pass(0.5));
  EXPECT_EQ(dialogs->asked().back().rate_hz, 1000) << "the rate of the 1000 us interval, exactly";
  EXPECT_EQ(dialogs->asked().back().recorded, (PerChannel<bool>{true, true, false}));
  filter(low_pass(10));
  EXPECT_EQ(dialogs->asked().back().filter_proposal, high_pass(0.5)) << "the last settings proposed";
  // The low-pass ran over what the high-pass left; channel 2 had only the low-pass.
  const SampleArray expected =
      *apply_filter(*apply_filter(raw, high_pass(0.5), 1000, 0), low_pass(10), 1000, 0);
  for (int ch = 1; ch <= 2; ++ch) EXPECT_TRUE(same_bits(s().work_data, expected, ch)) << ch;
  EXPECT_TRUE(same_bits(s().raw_data, raw, 1)) << "the raw samples stay as they are";
  // The hum moved the largest sample off the bump's centre; zero phase keeps it there.
  const float* y = s().work_data.channel(2);
  EXPECT_EQ(std::max_element(y + 2000, y + 3000) - y, 2500);
  EXPECT_EQ(w->status->text(), status + "     filtered: HP 0.5 Hz, LP 10 Hz");
  EXPECT_FALSE(w->mnuRaw->isChecked());
  EXPECT_NE(w->disp->image(), raw_picture) << "the filtered curves are drawn";

  // Invert negates raw and filtered samples alike: the filters stay in force.
  w->mnuInvert->trigger();
  EXPECT_EQ(s().work_data(1, 2500), -expected(1, 2500));
  ASSERT_EQ(s().filters.size(), 2u);
  w->mnuInvert->trigger();
  w->mnuRaw->trigger();
  expect_raw("Raw curves");
  EXPECT_TRUE(same_bits(s().raw_data, raw, 1));
  EXPECT_EQ(w->status->text(), status);
  EXPECT_TRUE(w->mnuRaw->isChecked());
  EXPECT_EQ(w->disp->image(), raw_picture) << "the raw curves drawn again, pixel for pixel";
}

TEST_F(Filters, RefusalsLeaveTheSamplesAsTheyWere) {
  load();
  struct Case {
    FilterSettings asked;
    const char* message;
  };
  for (const Case& c : {
           Case{low_pass(500), "The corner frequency must be below half the sampling rate (500 Hz)."},
           Case{high_pass(0), "The corner frequency must be above 0 Hz."},
           Case{band_pass(40, 10), "The lower edge of the band must be below its upper edge."},
           Case{high_pass(1, {false, false, true}), "Tick at least one channel to filter."},
       }) {
    dialogs->expect_filter(c.asked);
    dialogs->expect_warning(c.message);
    w->mnuFilter->trigger();
    ASSERT_FALSE(dialogs->pending()) << c.message;
    expect_raw(c.message);
    EXPECT_EQ(s().filter_proposal, c.asked) << "offered again to be put right";
  }
  dialogs->expect_filter(std::nullopt);
  w->mnuFilter->trigger();
  expect_raw("the dialog cancelled");
}

TEST_F(Filters, CancelLeavesTheWorkingSamplesBitForBit) {
  load();
  filter(high_pass(0.5));
  const SampleArray before = s().work_data;
  const QString status = w->status->text();
  bool clicked = false;
  QTimer::singleShot(0, [&] {
    ASSERT_TRUE(w->Scroll->isVisible() && w->Scroll->cancel->isVisible());
    EXPECT_EQ(w->Scroll->windowTitle(), "Filtering: notch 50 Hz");
    QTest::mouseClick(w->Scroll->cancel, Qt::LeftButton);
    clicked = true;
  });
  filter(notch(50));
  ASSERT_TRUE(clicked) << "the filter let the click through";
  EXPECT_EQ(s().filters, std::vector<FilterSettings>{high_pass(0.5)});
  for (int ch = 1; ch <= 2; ++ch) {
    EXPECT_TRUE(s().work_data.shares(before, ch)) << ch;
    EXPECT_TRUE(same_bits(s().work_data, before, ch)) << ch;
  }
  EXPECT_EQ(w->status->text(), status);
  EXPECT_FALSE(w->Scroll->isVisible());
  EXPECT_FALSE(w->busy());
}

TEST_F(Filters, RunOverEachBlockOnItsOwnAndRebuildTheAverage) {
  load(1250);  // four blocks
  // Blocks 2 and 4 accepted, block 2 twice.
  for (int k : {2, 2, 4}) {
    while (s().cur_block < k) QTest::mouseClick(w->PgDn, Qt::LeftButton);
    QTest::mouseClick(w->accept, Qt::LeftButton);
  }
  ASSERT_EQ(s().ave_n, 3);
  filter(band_pass(1, 40));

  SampleArray alone;
  alone.redim(2, 1249);
  for (int k = 0; k < 4; ++k) {
    for (int ch = 1; ch <= 2; ++ch)
      std::memcpy(alone.write_channel(ch), s().raw_data.channel(ch) + k * 1250, 1250 * sizeof(float));
    const SampleArray f = *apply_filter(alone, band_pass(1, 40), 1000, 0);
    for (int ch = 1; ch <= 2; ++ch)
      EXPECT_EQ(std::memcmp(f.channel(ch), s().work_data.channel(ch) + k * 1250, 1250 * sizeof(float)), 0)
          << "block " << k + 1 << ", channel " << ch << " as if it were a file of its own";
  }
  const auto check_average = [&](const char* after) {
    for (int32_t i : {0, 600, 1249}) {
      const float b2 = s().work_data(2, 1250 + i), b4 = s().work_data(2, 3750 + i);
      EXPECT_EQ(s().ave_data(2, i), (2 * ((1 * b2 + b2) / 2) + b4) / 3) << after << ", sample " << i;
    }
    EXPECT_EQ(s().ave_n, 3) << after;
    EXPECT_EQ(w->ave_count->text(), " 3") << after;
  };
  check_average("Filter");
  EXPECT_EQ(w->status->text(), "current curve: 4/4     averaged: 3     filtered: BP 1-40 Hz");

  // The spectrum is of the filtered blocks; leaving it gives back the raw ones.
  const SampleArray filtered = s().work_data;
  w->mnuPSD->trigger();
  const SpectrumResult expected = *power_spectrum(filtered, 1250, 4);
  ASSERT_EQ(s().spectrum.size(), expected.spectrum.size());
  EXPECT_TRUE(same_bits(s().spectrum, expected.spectrum, 1));
  EXPECT_EQ(w->status->text(), "current curve: 4/4     averaged: 3     filtered: BP 1-40 Hz");
  w->mnuRaw->trigger();
  expect_raw("Raw curves from the spectrum");
  check_average("Raw curves");
  EXPECT_EQ(w->status->text(), "current curve: 4/4     averaged: 3");
}

TEST_F(Filters, EveryCommandThatStartsAViewAfreshDropsThem) {
  const auto block_length = [this] {
    dialogs->expect_input("Block length (ms):", "500");
    w->mnuBlock->trigger();
  };
  struct Case {
    const char* command;
    int32_t block_length;  // of the file filtered
    std::function<void()> run;
  };
  for (const Case& c : std::vector<Case>{{"Block length", 1250, block_length},
                                         {"Block mode", -1, block_length},
                                         {"Continuous", 1250, [this] { w->mnuContinuous->trigger(); }},
                                         {"Open", -1, [this] { load(); }},
                                         {"Measure", -1, [this] { w->mnuMeasure->trigger(); }},
                                         {"Measure from the spectrum", 1250, [this] {
                                            w->mnuPSD->trigger();
                                            w->mnuMeasure->trigger();
                                          }}}) {
    if (s().measure_mode) w->mnuQuarvel->trigger();
    load(c.block_length);
    filter(low_pass(5));
    ASSERT_EQ(s().filters.size(), 1u) << c.command;
    c.run();
    EXPECT_TRUE(s().filters.empty()) << c.command;
    EXPECT_TRUE(s().work_data.shares(s().raw_data, 1)) << c.command;
    EXPECT_FALSE(w->status->text().contains("filtered")) << c.command;
  }
}
