// Guards the ways from one view into another with files opened as a user opens them: every way
// out of the spectrum view leaves it completely, a load gives the menus of the view it enters,
// Measure starts from the single curves of channel 1, the block-length proposal is the length in
// force, and the spectrum view draws only spectra.
#include <QAction>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>

#include "display/draw_curves.h"
#include "support/window_fixture.h"
#include "ui/surface.h"

using namespace quarvel;
using quarvel::testing::FileShape;
using quarvel::testing::WindowTest;

namespace {

// Two channels, four blocks of 500 frames at 1 kHz, a stimulus 100 frames into every block.
// Channel 1 runs from -60 to 139 times `scale`.
FileShape block_file(int scale = 1) {
  FileShape f;
  f.channels = 2;
  f.frames = 2000;
  f.block_length = 500;
  f.sample = [scale](int ch, int32_t i) {
    return static_cast<int16_t>(scale * (ch * 40 + (i * 7919) % 200 - 100));
  };
  f.marker = [](int32_t i) { return static_cast<int16_t>(i % 500 == 100 ? 200 : 0); };
  return f;
}

class ViewTransitions : public WindowTest {
 protected:
  void open_block_file() { open_recording("blocks.bin", block_file()); }
  void enter_spectrum() {
    w->mnuPSD->trigger();
    ASSERT_EQ(w->s.psd_shown, kTrue);
  }
  void expect_spectrum_left(const char* way) {
    EXPECT_EQ(w->s.psd_shown, kFalse) << way;
    EXPECT_FALSE(w->mnuPSD->isChecked()) << way;
    EXPECT_TRUE(w->mnuBlock->isEnabled()) << way;
  }
  // White pixels in the strip above the time axis, where stimulus ticks go.
  int marker_strip_pixels() {
    const PixelMap m = w->disp->pixel_map();
    const double sh = w->disp->scale_height();
    int n = 0;
    for (int y = m.pixel_y(0.385 * sh) + 1; y < m.pixel_y(0.425 * sh) - 1; ++y)
      for (int x = 0; x < w->disp->pixel_width(); ++x) n += w->disp->pixel(x, y) == QColor(Qt::white);
    return n;
  }
};

TEST_F(ViewTransitions, OpeningAFileLeavesTheSpectrumView) {
  open_block_file();
  enter_spectrum();
  open_recording("next.bin", block_file(2));
  expect_spectrum_left("open");
  EXPECT_GT(marker_strip_pixels(), 0) << "the stimulus ticks of the new file are drawn";
  EXPECT_TRUE(w->mnuInvert->isEnabled());
  const float before = w->s.work_data(1, 3);
  w->mnuInvert->trigger();
  EXPECT_EQ(w->s.work_data(1, 3), -before) << "Invert turns the data over, not only the shifts";
  w->mnuRaw->trigger();
  EXPECT_EQ(w->s.ch_max[1], 278.0f) << "Raw curves keeps the scale of the file shown";
}

TEST_F(ViewTransitions, MeasureAndContinuousLeaveTheSpectrumView) {
  open_block_file();
  enter_spectrum();
  w->mnuMeasure->trigger();
  expect_spectrum_left("measure");
  dialogs->expect_input("Block length (ms):", "500");
  w->mnuBlock->trigger();
  w->mnuContinuous->trigger();
  EXPECT_EQ(w->s.ch_max[1], 1000.0f) << "measurement keeps its own scale";
  w->mnuQuarvel->trigger();
  expect_spectrum_left("quarvel");

  open_block_file();
  enter_spectrum();
  w->mnuContinuous->trigger();
  expect_spectrum_left("continuous");
  EXPECT_TRUE(w->mnuInvert->isEnabled()) << "the continuous analysis view always offers Invert";
  EXPECT_EQ(w->s.work_data(2, 7), w->s.raw_data(2, 7));
}

TEST_F(ViewTransitions, AContinuousFileAfterABlockFileHasNoAverageButtons) {
  open_block_file();
  EXPECT_TRUE(w->accept->isEnabled());
  FileShape cont;
  cont.frames = 300;
  open_recording("cont.bin", cont);
  EXPECT_FALSE(w->accept->isEnabled());
  EXPECT_FALSE(w->clear_ave->isEnabled());
  EXPECT_FALSE(w->mnuA->isEnabled());
  EXPECT_TRUE(w->newblk->isEnabled());
  const QString status = w->status->text();
  QTest::mouseClick(w->accept, Qt::LeftButton);
  EXPECT_EQ(w->status->text(), status);
}

TEST_F(ViewTransitions, MeasureStartsWithSingleCurvesOfChannelOne) {
  open_block_file();
  w->mnuA->trigger();
  activate();
  ASSERT_TRUE(w->ch_select[1]->isVisible());
  QTest::mouseClick(w->ch_select[1], Qt::LeftButton, {}, QPoint(8, w->ch_select[1]->height() / 2));
  ASSERT_EQ(w->s.current_ch, 2);
  w->mnuMeasure->trigger();
  EXPECT_EQ(w->s.show_single, kTrue) << "Single is ticked, so single curves are shown";
  EXPECT_EQ(w->s.show_average, kFalse);
  EXPECT_EQ(w->disp->printed_texts().back().colour, kWhite) << "the frame of channel 1";

  dialogs->expect_input("Block length (ms):", "500");
  w->mnuBlock->trigger();
  choose_item(w->ch_list[0], 1);
  QTest::mouseClick(w->stim, Qt::LeftButton);
  int white = 0;
  const QImage& img = w->disp->image();
  for (int x = 150; x < 850; ++x)
    for (int y = 100; y < 400; ++y) white += img.pixelColor(x, y) == QColor(Qt::white);
  EXPECT_GT(white, 500) << "STIM draws its block";
}

TEST_F(ViewTransitions, TheBlockLengthProposalIsTheLengthInForce) {
  FileShape f;
  f.frames = 60000;
  f.block_length = 60000;
  open_recording("long.bin", f);
  dialogs->expect_input("Block length (ms):", "");
  w->mnuBlock->trigger();
  EXPECT_EQ(dialogs->asked().back().default_text, "60000");
  EXPECT_EQ(w->s.block_length, 60000);
}

TEST_F(ViewTransitions, TheSpectrumViewDrawsOnlySpectra) {
  open_block_file();
  w->accept->click();
  enter_spectrum();
  const QImage single = w->disp->image().copy();
  w->mnuRaw->trigger();
  w->mnuA->trigger();
  enter_spectrum();
  EXPECT_EQ(w->disp->image(), single) << "no time-domain average against the frequency axis";
}

TEST_F(ViewTransitions, TheSpectrumOverplotIsFollowedByTheCurves) {
  open_block_file();
  dialogs->expect_input("Enter displacement of first curve in % of display height:", "10");
  dialogs->expect_input("Enter displacement of subsequent curves in % of display height:", "10");
  w->mnuOverplot->trigger();
  enter_spectrum();
  const QImage with_curves = w->disp->image().copy();
  redraw(*w);
  const QImage overplot_only = w->disp->image().copy();
  int only_after = 0, lost = 0;
  for (int x = 0; x < with_curves.width(); ++x) {
    for (int y = 0; y < with_curves.height(); ++y) {
      const bool white_after = with_curves.pixelColor(x, y) == QColor(Qt::white);
      const bool white_before = overplot_only.pixelColor(x, y) == QColor(Qt::white);
      lost += white_before && !white_after;
      only_after += white_after && !white_before;
    }
  }
  EXPECT_EQ(lost, 0) << "the overplot picture stays under the curves";
  EXPECT_GT(only_after, 100) << "the spectrum drawn once more after the overplot picture";
}

}  // namespace
