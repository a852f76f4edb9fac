// Guards that positions stay exact to the sample a day into a 1 kHz recording (86.4 million
// samples, far past the 2^24 a float holds to the sample): the page starts reached by zooming and
// paging, the time the readout shows and the time and value Add records for the last samples.
#include <QAction>
#include <QLabel>
#include <QPushButton>

#include "core/numbers.h"
#include "measure_fixture.h"

using namespace quarvel;
using quarvel::testing::LoadShape;
using quarvel::testing::MeasureTest;

namespace {

constexpr int32_t kDay = 86'400'000;

// Neighbouring samples differ, so a reading one sample off shows in the value.
float day_sample(int32_t i) {
  return static_cast<float>(i % 1999 - 999);
}

}  // namespace

TEST_F(MeasureTest, ADayAt1kHzReadsItsLastSamplesExactly) {
  LoadShape shape;
  shape.frames = kDay;
  shape.sample_interval = 0.001f;
  shape.sample = [](int, int32_t i) { return day_sample(i); };
  load_shape(*w, shape);
  SharedState& s = w->s;

  // The whole day on one screen; a selection of its last 99.9 s, zoomed onto, starts the view at
  // sample 86 300 100, which no float holds.
  press(2, kDay - 99'900.0);
  press(2, kDay);
  w->mnuZoom_sel->trigger();
  ASSERT_DOUBLE_EQ(s.view_start, 86'300'100.0);
  while (s.unit_text[0] != "ms") w->mnuExpand->trigger();
  ASSERT_EQ(s.scr_length, 512);

  // Half a screen (256 samples) a page, up to the last page that starts inside the data.
  for (int pages = 0; pages < 1000; ++pages) {
    const double before = s.view_start;
    w->PgDn->click();
    if (s.view_start == before) break;
  }
  EXPECT_NEAR(s.view_start, 86'399'940.0, 1e-6);

  for (const int32_t sample : {kDay - 2, kDay - 1}) {
    press(1, sample - s.view_start);
    EXPECT_EQ(w->Label1->text(), format(sample, "0") + ".00ms, " + format(day_sample(sample), "###0.0#"))
        << "sample " << sample;
  }

  dialogs->expect_input("block label", "day");
  w->add->click();
  const ResultRec& r = s.results.at(2, 1);
  EXPECT_EQ(r.v[1], static_cast<float>(86'399.999)) << "the time of the last sample, in seconds";
  EXPECT_EQ(r.v[2], day_sample(kDay - 1));
}
