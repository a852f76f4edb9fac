// Guards the acquisition loop as the user drives it: the sweep geometry (80 frames a sweep at a
// width of 100, the shared x = 1 at the start of every later sweep, the screen-by-screen
// view_start), marker bands and stimulus ticks on the surface, STOP, restarts on a rate change,
// the stop when no channel is left, the rate taken from the rate box and the timer woken when the
// next sample falls due.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "acquisition/acquire.h"
#include "app/settings.h"
#include "support/window_fixture.h"
#include "ui/surface.h"

using namespace quarvel;
using quarvel::testing::WindowTest;

namespace {

class Monitor : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    w->mnuMeasure->trigger();
  }
  void choose_input(int i, int input) { choose_item(w->ch_list[static_cast<size_t>(i)], input); }
  // Pixels of the trace colour in the curve band of the surface, between two pixel columns.
  int trace_pixels(int from_px, int to_px, QColor colour) {
    const PixelMap m = w->disp->pixel_map();
    const int top = m.pixel_y(w->s.amp_axis_top), bottom = m.pixel_y(w->s.amp_axis_bottom);
    int n = 0;
    for (int x = from_px; x <= to_px; ++x)
      for (int y = top + 1; y < bottom; ++y) n += w->disp->pixel(x, y) == colour;
    return n;
  }
};

}  // namespace

TEST(PaceRate, TheBoxWhenItHoldsAUsableRateElseTheRateInForce) {
  struct Case {
    const char* text;
    float in_force;
    double hz;
  };
  const Case cases[] = {{"200", 10, 200}, {"1000", 10, 1000}, {"3", 10, 3},   {"", 10, 10},     {"0", 25, 25},
                        {"-5", 25, 25},   {"2000", 25, 25},   {"abc", 0, 10}, {"abc", 5000, 10}};
  for (const Case& c : cases) EXPECT_EQ(pace_rate_hz(c.text, c.in_force), c.hz) << '"' << c.text << '"';
}

TEST(WakeInterval, WholeMillisecondsNeverBeforeTheSampleIsDue) {
  const std::pair<int64_t, int> cases[] = {{-5, 1},      {0, 1},           {1, 1},
                                           {999999, 1},  {1000000, 1},     {1000001, 2},
                                           {3333333, 4}, {100000000, 100}, {int64_t{1} << 62, 2147483647}};
  for (const auto& [ns, ms] : cases) EXPECT_EQ(wake_interval_ms(ns), ms) << ns << " ns";
}

TEST_F(Monitor, NothingHappensWithoutAnInputAndThePanelSaysWhatToChoose) {
  ASSERT_FALSE(w->input_hint->isHidden());
  EXPECT_TRUE(w->input_hint->text().startsWith("Choose an input"));
  QTest::mouseClick(w->monitor, Qt::LeftButton);
  EXPECT_EQ(timer->ticks, 0);
  EXPECT_EQ(w->windowTitle(), "CONTINUOUS MODE");
  choose_input(1, 2);
  EXPECT_TRUE(w->input_hint->isHidden());
  choose_input(1, 0);
  EXPECT_FALSE(w->input_hint->isHidden()) << "no channel has an input again";
}

TEST_F(Monitor, EverySweepHoldsEightyFramesAndAdvancesTheViewByOneScreen) {
  choose_input(0, 1);
  std::vector<float> view_at;
  std::vector<int> interval_at;
  QString caption;
  timer->before_tick = [&](int n) {
    view_at.push_back(w->s.view_start);
    interval_at.push_back(timer->interval());
    caption = w->windowTitle();
    if (n == 170) w->halt->click();
  };
  QTest::mouseClick(w->monitor, Qt::LeftButton);
  EXPECT_EQ(timer->ticks, 170) << "STOP ends the loop after the current sample";
  EXPECT_EQ(w->s.sweep_width, 80);
  EXPECT_EQ(view_at[79], 0) << "frame 80 is the last of the first sweep";
  EXPECT_EQ(view_at[80], 80) << "frame 81 opens the second sweep";
  EXPECT_EQ(view_at[159], 80);
  EXPECT_EQ(view_at[160], 160);
  EXPECT_EQ(interval_at[5], 100);
  EXPECT_EQ(caption, "MONITOR MODE");
  EXPECT_EQ(w->windowTitle(), "CONTINUOUS MODE");
  EXPECT_EQ(w->s.acq_running, kFalse);
  EXPECT_FALSE(w->halt->isEnabled());
  EXPECT_FALSE(w->stim->isEnabled());
}

TEST_F(Monitor, TheFirstTwoSamplesOfALaterSweepShareXEqualOne) {
  choose_input(0, 1);
  const QColor white(255, 255, 255);
  int beyond_at_83 = -1, near_at_83 = -1, beyond_at_84 = -1;
  timer->before_tick = [&](int n) {
    const PixelMap m = w->disp->pixel_map();
    if (n == 83) {  // frames 81 (step to x = 1) and 82 (x = 1 again) are drawn
      beyond_at_83 = trace_pixels(m.pixel_x(1) + 1, m.pixel_x(79), white);
      near_at_83 = trace_pixels(m.pixel_x(0), m.pixel_x(1), white);
    }
    if (n == 84) beyond_at_84 = trace_pixels(m.pixel_x(1) + 1, m.pixel_x(2), white);
    if (n == 84) w->halt->click();
  };
  QTest::mouseClick(w->monitor, Qt::LeftButton);
  EXPECT_EQ(beyond_at_83, 0) << "nothing is drawn right of x = 1 before the third frame of the sweep";
  EXPECT_GT(near_at_83, 0);
  EXPECT_GT(beyond_at_84, 0) << "the third frame is drawn at x = 2";
}

TEST_F(Monitor, MarkerBandOnlyUnderTheSamplesTakenWhileItWasOn) {
  choose_input(0, 1);
  bool band_20_30 = false, band_outside = true;
  timer->before_tick = [&](int n) {
    if (n == 21 || n == 31 || n == 51 || n == 61) w->drug_button->click();
    if (n == 75) {
      const PixelMap m = w->disp->pixel_map();
      const double h = w->disp->scale_height();
      const int row = m.pixel_y(0.415 * h);
      const QColor white(255, 255, 255);
      band_20_30 = w->disp->pixel(m.pixel_x(25), row) == white && w->disp->pixel(m.pixel_x(55), row) == white;
      band_outside = w->disp->pixel(m.pixel_x(10), row) == white ||
                     w->disp->pixel(m.pixel_x(40), row) == white ||
                     w->disp->pixel(m.pixel_x(70), row) == white;
      w->halt->click();
    }
  };
  QTest::mouseClick(w->monitor, Qt::LeftButton);
  EXPECT_TRUE(band_20_30);
  EXPECT_FALSE(band_outside);
  EXPECT_EQ(w->drug_button->text(), "MARKER ON");
}

TEST_F(Monitor, StimulusTickIsOneLineAtItsSample) {
  choose_input(0, 1);
  int state_after = -1;
  int tick_columns = 0;
  timer->before_tick = [&](int n) {
    if (n == 10) w->drug_button->click();  // marker on
    if (n == 30) w->stim->click();         // the frame of tick 30 is the stimulus
    if (n == 31) state_after = w->s.marker_state;
    if (n == 40) {
      const PixelMap m = w->disp->pixel_map();
      const double h = w->disp->scale_height();
      const int row = m.pixel_y(0.39 * h);
      for (int x = m.pixel_x(0); x <= m.pixel_x(79); ++x)
        tick_columns += w->disp->pixel(x, row) == QColor(255, 255, 255);
      w->halt->click();
    }
  };
  QTest::mouseClick(w->monitor, Qt::LeftButton);
  EXPECT_EQ(state_after, 100) << "the marker returns to the state it had";
  EXPECT_EQ(tick_columns, 1);
}

// However few samples a screen holds, the sweep starts again at the left edge and the time
// labels move on a screen at a time; the trace stays inside the plot.
struct ShortScreen {
  const char* rate;
  const char* screen;
  double per_sweep;
};

class ShortScreens : public Monitor, public ::testing::WithParamInterface<ShortScreen> {};

TEST_P(ShortScreens, StillWrapTheSweep) {
  choose_input(0, 1);
  type_into(w->sampling_hz, GetParam().rate);
  type_into(w->scr_lng, GetParam().screen);
  std::vector<double> view_at;
  timer->before_tick = [&](int n) {
    view_at.push_back(w->s.view_start);
    if (n == 12) w->halt->click();
  };
  QTest::mouseClick(w->monitor, Qt::LeftButton);
  ASSERT_EQ(view_at.size(), 12u);
  EXPECT_GE(view_at.back(), 4 * GetParam().per_sweep) << "the time labels move on";
  const PixelMap m = w->disp->pixel_map();
  const int right = m.pixel_x(w->channel_geometry(1).plot_right());
  EXPECT_EQ(trace_pixels(right + 2, w->disp->pixel_width() - 1, Qt::white), 0) << "nothing right of the plot";
}

INSTANTIATE_TEST_SUITE_P(OneSampleOrLess, ShortScreens,
                         ::testing::Values(ShortScreen{"1", "1", 1}, ShortScreen{"1", "0.5", 0.5},
                                           ShortScreen{"2", "1", 2}));

TEST_F(Monitor, RateChangeRestartsTheSweepAndThePace) {
  choose_input(0, 1);
  std::vector<float> view_at;
  std::vector<int> interval_at;
  timer->before_tick = [&](int n) {
    view_at.push_back(w->s.view_start);
    interval_at.push_back(timer->interval());
    if (n == 100) type_into(w->sampling_hz, "20");  // in the second sweep
    if (n == 110) w->halt->click();
  };
  QTest::mouseClick(w->monitor, Qt::LeftButton);
  EXPECT_EQ(view_at[99], 80);
  EXPECT_EQ(interval_at[99], 100);
  EXPECT_EQ(interval_at[100], 50) << "the box is read again for every sample";
  EXPECT_EQ(view_at[100], 0) << "the sweep starts again at the left edge";
  EXPECT_EQ(w->s.sampling_rate, 20.0f);
  EXPECT_EQ(w->s.sweep_width, 160) << "8 s at 20 Hz";
}

TEST_F(Monitor, NoneForTheLastChannelStopsTheLoop) {
  choose_input(1, 3);
  timer->before_tick = [&](int n) {
    if (n == 12) choose_input(1, 0);
  };
  QTest::mouseClick(w->monitor, Qt::LeftButton);
  EXPECT_EQ(timer->ticks, 12);
  EXPECT_EQ(w->s.channel_count, 0);
}

TEST_F(Monitor, MonitorWhileRunningOnlyFocusesStop) {
  choose_input(0, 1);
  choose_input(2, 4);
  int running_ticks = 0;
  timer->before_tick = [&](int n) {
    if (n == 5) QTest::mouseClick(w->monitor, Qt::LeftButton);  // must not start a second loop
    if (n == 8) w->halt->click();
    running_ticks = n;
  };
  QTest::mouseClick(w->monitor, Qt::LeftButton);
  EXPECT_EQ(running_ticks, 8);
  EXPECT_EQ(w->s.sim_phase, 16.0f) << "two channels, eight frames: the counter moved two per frame";
}

TEST_F(Monitor, RecordIsNotOfferedWhileMonitoringAndStopStaysUsable) {
  choose_input(0, 1);
  bool record_enabled_while = true;
  timer->before_tick = [&](int n) {
    if (n == 3) {
      record_enabled_while = w->store->isEnabled();
      QTest::mouseClick(w->store, Qt::LeftButton);  // no save dialog may come
    }
    if (n == 6) {
      EXPECT_TRUE(w->halt->isEnabled());
      QTest::mouseClick(w->halt, Qt::LeftButton);
    }
  };
  QTest::mouseClick(w->monitor, Qt::LeftButton);
  EXPECT_FALSE(record_enabled_while);
  EXPECT_EQ(timer->ticks, 6);
  EXPECT_TRUE(w->store->isEnabled()) << "Record is offered again once the loop has ended";
  EXPECT_EQ(w->s.acq_running, kFalse);
}

TEST_F(Monitor, BlockModeStopsTheLoopAndKeepsItsCaption) {
  choose_input(0, 1);
  timer->before_tick = [&](int n) {
    if (n == 4) {
      dialogs->expect_input("Block length (ms):", "500");
      w->mnuBlock->trigger();
    }
  };
  QTest::mouseClick(w->monitor, Qt::LeftButton);
  EXPECT_LE(timer->ticks, 5);
  EXPECT_EQ(w->s.acq_running, kFalse);
  EXPECT_EQ(w->windowTitle(), "BLOCK MODE (500.ms)");
  EXPECT_FALSE(w->halt->isEnabled());
}

TEST_F(Monitor, ClosingTheWindowEndsTheLoop) {
  choose_input(0, 1);
  timer->before_tick = [&](int n) {
    if (n == 4) w->close();
  };
  QTest::mouseClick(w->monitor, Qt::LeftButton);
  EXPECT_LE(timer->ticks, 5);
  EXPECT_EQ(w->s.acq_running, kFalse);
  EXPECT_FALSE(w->isVisible());
}

// At a slow rate the next tick may be many seconds away: STOP ends the wait for it at once.
TEST_F(Monitor, StopEndsTheWaitForASlowTick) {
  choose_input(0, 1);
  timer->held = true;
  QTimer::singleShot(50, w.get(), [&] { QTest::mouseClick(w->halt, Qt::LeftButton); });
  // Should STOP be missed, a tick comes after all and stops the loop, so the test fails instead
  // of hanging.
  QTimer::singleShot(5000, w.get(), [&] {
    timer->before_tick = [&](int) { QTest::mouseClick(w->halt, Qt::LeftButton); };
    timer->held = false;
    timer->set_enabled(true);
  });
  QTest::mouseClick(w->monitor, Qt::LeftButton);
  EXPECT_EQ(timer->ticks, 0) << "the loop waited for a tick after STOP";
  EXPECT_EQ(w->s.acq_running, kFalse);
  EXPECT_TRUE(w->monitor->isEnabled());
}
