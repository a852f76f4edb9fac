// Guards the PSD command and the Copy menu in the window: the spectrum view's state, axis and
// way back through Raw curves, the progress window's repaints, the refusals, the curve points of the spectrum
// view, the picture copied black on white with the visible annotations printed into it, and the table texts
// of the current channel.
#include <QAction>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <string>
#include <vector>

#include "core/numbers.h"
#include "measure/results_rows.h"
#include "modes/spectrum.h"
#include "support/window_fixture.h"
#include "ui/progress_window.h"
#include "ui/surface.h"
#include "window/display/loaded_views.h"

using namespace quarvel;
using namespace quarvel::testing;

namespace {

class SpectrumView : public WindowTest {
 protected:
  SharedState& s() { return w->s; }
  // Three blocks of 200 samples at 100 Hz on two channels, block 2 shown.
  void load() {
    load_block_file(*w, 200, 3, 0.01f, 2);
    s().cur_block = 2;
    s().view_start = 200;
  }
};

int count_pixels(const QImage& img, const QRect& r, QRgb colour) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) n += (img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
  }
  return n;
}

// Pixels dark enough to be drawing on white (text is drawn smoothed, in greys).
int count_dark(const QImage& img, const QRect& r) {
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) n += qGray(img.pixel(x, y)) < 128;
  }
  return n;
}

// What the progress window showed each time it was painted.
class PaintLog : public QObject {
 public:
  struct Frame {
    std::string caption;
    int value;
    bool busy;
  };
  PaintLog(MainWindow& w) : w_(w) { w.Scroll->installEventFilter(this); }
  ~PaintLog() override { w_.Scroll->removeEventFilter(this); }
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint)
      frames.push_back({w_.Scroll->windowTitle().toStdString(), w_.Scroll->value(), w_.busy()});
    return false;
  }
  std::vector<Frame> frames;

 private:
  MainWindow& w_;
};

}  // namespace

// Block length, block count: the command shown on three channels.
class SpectrumProgressView : public WindowTest,
                             public ::testing::WithParamInterface<std::pair<int32_t, int32_t>> {};

TEST_P(SpectrumProgressView, RepaintsAtMostAboutThirtyTimesASecond) {
  const auto [length, count] = GetParam();
  load_block_file(*w, length, count, 0.01f, 3);
  // Painting needs the window on the screen, which happens in the event loop the command does
  // not return to; the window is shown and exposed beforehand.
  w->Scroll->show_modeless();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w->Scroll));
  PaintLog log(*w);
  // Paints of one update as the command makes it, the bar moving.
  w->Scroll->set_value(50);
  w->Scroll->refresh();
  const size_t per_refresh = log.frames.size();
  ASSERT_GT(per_refresh, 0u);
  log.frames.clear();

  QElapsedTimer clock;
  clock.start();
  w->mnuPSD->trigger();
  const qint64 ms = clock.elapsed();
  ASSERT_TRUE(w->mnuPSD->isChecked());

  // The first report, one every 33 ms, and the last state.
  ASSERT_FALSE(log.frames.empty());
  EXPECT_LE(log.frames.size(), per_refresh * static_cast<size_t>(2 + ms / 33)) << ms << " ms";
  EXPECT_EQ(log.frames.front().caption, "Calculating FFT for curve 1...");
  EXPECT_EQ(log.frames.back().caption, "Calculating FFT for curve " + std::to_string(count) + "...");
  EXPECT_EQ(log.frames.back().value, 100) << "the bar at its end";
  int last_block = 0;
  for (const auto& f : log.frames) {
    EXPECT_TRUE(f.busy) << "the busy pointer while the window shows";
    const QString caption = QString::fromStdString(f.caption), prefix = "Calculating FFT for curve ";
    ASSERT_TRUE(caption.startsWith(prefix) && caption.endsWith("...")) << f.caption;
    const int block = caption.mid(prefix.size()).chopped(3).toInt();
    EXPECT_GE(block, last_block) << "captions follow the blocks";
    last_block = block;
  }
  EXPECT_FALSE(w->Scroll->isVisible());
  EXPECT_FALSE(w->busy());
}

INSTANTIATE_TEST_SUITE_P(SpectrumView, SpectrumProgressView,
                         ::testing::Values(std::make_pair(500, 1000), std::make_pair(4000, 300)));

TEST_F(SpectrumView, ShowsTheSpectrumOfTheShownBlockOnAFrequencyAxis) {
  load();
  const PerChannel<float> ch_max = s().ch_max;
  w->mnuPSD->trigger();

  EXPECT_TRUE(w->mnuPSD->isChecked());
  EXPECT_FALSE(w->mnuRaw->isChecked());
  EXPECT_FALSE(w->mnuBlock->isEnabled());
  EXPECT_FALSE(w->mnuInvert->isEnabled());
  EXPECT_EQ(s().psd_shown, kTrue);
  EXPECT_EQ(s().fft_n, 256);
  EXPECT_EQ(s().block_length, 128);
  EXPECT_EQ(s().scr_length, 50.0f) << "half of 100 Hz";
  EXPECT_EQ(s().scr_factor, 1.0f);
  EXPECT_EQ(s().unit_text[0], "Hz");
  EXPECT_EQ(s().view_start, 128.0f) << "the spectrum of block 2";
  EXPECT_EQ(w->disp->scale_width(), 160.0);
  EXPECT_EQ(s().shift_steps, PerChannel<int16_t>::filled(-2));
  EXPECT_EQ(s().saved_ch_max, ch_max);
  const auto want = power_spectrum(s().raw_data, 200, 3);
  ASSERT_TRUE(want);
  for (int ch = 1; ch <= 3; ++ch) {
    EXPECT_EQ(s().psd_max[ch], want->psd_max[ch]);
    EXPECT_EQ(s().ch_max[ch], want->psd_max[ch] / 2);
  }
  EXPECT_GT(s().psd_max[1], 0.0f);
  EXPECT_EQ(s().work_data.size(), 3 * 128 + 1);
  EXPECT_EQ(s().work_data(2, 130), want->spectrum(2, 130));
  EXPECT_EQ(printed(*w->disp).mid(0, 5), (QStringList{"0.0", "12.5", "25.0", "37.5", "Hz"}));
  EXPECT_FALSE(w->Scroll->isVisible());
  EXPECT_FALSE(w->busy());

  // The curve points of the spectrum view are frequencies: bin j at j x 100 / 256 Hz.
  w->mnuCopyitem[5]->trigger();
  const QStringList lines = clipboard->text.split("\r\n");
  ASSERT_EQ(lines.size(), 129);
  EXPECT_EQ(lines[0], "time\tch1\tch1\tmarker");
  EXPECT_TRUE(lines[2].startsWith("0.390625\t" + format_general(want->spectrum(1, 129)) + "\t"))
      << lines[2].toStdString();

  // Chosen again while shown it does nothing.
  s().view_start = 5;
  w->mnuPSD->trigger();
  EXPECT_EQ(s().view_start, 5.0f);
  EXPECT_TRUE(w->mnuPSD->isChecked());

  // Raw curves bring back the block length that was in force, not the bin count.
  s().view_start = 128;
  w->mnuRaw->trigger();
  EXPECT_EQ(s().block_length, 200);
  EXPECT_EQ(s().view_start, 200.0f);
  EXPECT_EQ(s().ch_max, ch_max);
  EXPECT_EQ(s().work_data(1, 250), s().raw_data(1, 250));
  EXPECT_FALSE(w->mnuPSD->isChecked());
}

// Spectra take their channel's colour in every display mode, Average/Single included, where the
// single curves they stand in for are grey.
TEST_F(SpectrumView, SpectraKeepTheirChannelsColours) {
  load();
  for (QAction* mode : {w->mnuS, w->mnuA_S, w->mnuS_A}) {
    mode->trigger();
    w->mnuPSD->trigger();
    ASSERT_EQ(s().psd_shown, kTrue);
    int grey = 0, white = 0, yellow = 0;
    const QImage picture = w->disp->image();
    for (int y = 0; y < picture.height(); ++y) {
      for (int x = 0; x < picture.width(); ++x) {
        const QColor c = picture.pixelColor(x, y);
        grey += c == QColor(150, 150, 150);
        white += c == QColor(Qt::white);
        yellow += c == QColor(Qt::yellow);
      }
    }
    EXPECT_EQ(grey, 0) << mode->text().toStdString();
    EXPECT_GT(yellow, 0) << mode->text().toStdString();
    EXPECT_GT(white, 0) << mode->text().toStdString();
    w->mnuRaw->trigger();
  }
}

TEST_F(SpectrumView, RefusesBlocksTheTransformCannotTake) {
  load_block_file(*w, 8, 5, 0.01f);
  dialogs->expect_warning_starting("The spectrum needs blocks of 10 to 8192 samples");
  w->mnuPSD->trigger();
  EXPECT_FALSE(w->mnuPSD->isChecked());
  EXPECT_TRUE(w->mnuBlock->isEnabled());
  EXPECT_EQ(s().psd_shown, kFalse);
  EXPECT_EQ(s().block_length, 8);

  s().block_length = 100;
  s().block_count = 0;
  dialogs->expect_warning_starting("The spectrum needs at least one whole block");
  w->mnuPSD->trigger();
  EXPECT_EQ(s().psd_shown, kFalse);

  // Without a file nothing happens and nothing is said.
  s().block_count = 1;
  s().file_loaded = kFalse;
  w->mnuPSD->trigger();
  EXPECT_EQ(s().psd_shown, kFalse);
}

TEST_F(SpectrumView, PictureIsBlackOnWhiteWithTheVisibleAnnotations) {
  load();
  w->Text1[0]->setText("hello");
  w->Text1[0]->move(300, 4);
  w->Text1[0]->setEnabled(true);
  w->Text1[0]->show();
  w->Text1[1]->setText("secret");
  w->Text1[1]->move(600, 4);

  w->mnuCopyitem[1]->trigger();
  const QImage pic = clipboard->picture;
  ASSERT_FALSE(pic.isNull());
  EXPECT_EQ(pic.size(), QSize(1000, 500));
  const QRect all = pic.rect();
  EXPECT_EQ(count_pixels(pic, all, qRgb(0, 0, 255)), 0) << "no blue background";
  EXPECT_EQ(count_pixels(pic, all, qRgb(255, 255, 0)), 0) << "channel 2 drawn black";
  EXPECT_GT(count_pixels(pic, all, qRgb(255, 255, 255)), 300000);
  EXPECT_GT(count_dark(pic, QRect(0, 40, 1000, 400)), 1000) << "the curves";
  EXPECT_GT(count_dark(pic, QRect(300, 0, 60, 30)), 10) << "the visible annotation";
  EXPECT_EQ(count_dark(pic, QRect(600, 0, 60, 30)), 0) << "the hidden one";

  // The screen is given back its colours.
  EXPECT_EQ(w->disp->back_colour(), kBlue);
  EXPECT_EQ(w->disp->fore_colour(), kWhite);
  EXPECT_EQ(s().ch_colour, (PerChannel<int32_t>{kWhite, kYellow, kCyan}));
  EXPECT_EQ(s().scale_colour, (PerChannel<int32_t>{kWhite, kYellow, kCyan}));
  const QImage& screen = w->disp->image();
  EXPECT_EQ(screen.pixel(5, 5) & 0xFFFFFF, qRgb(0, 0, 255) & 0xFFFFFF);
  EXPECT_GT(count_pixels(screen, screen.rect(), qRgb(255, 255, 0)), 100);
  EXPECT_EQ(count_pixels(screen, QRect(300, 0, 60, 30), qRgb(0, 0, 255)), 60 * 30)
      << "no text printed on the screen";
}

TEST_F(SpectrumView, TablesAreThoseOfTheCurrentChannel) {
  load();
  auto label = [&](int ch, const QString& text) {
    ResultRec& r = s().results.at(1, ch);
    r.kind = kKindContLabel;
    r.text = text;
    s().store_row[ch] = 2;
  };
  label(1, "first");
  label(2, "second");
  s().current_ch = 2;
  EXPECT_FALSE(w->mnuCopyitem[2]->isEnabled()) << "block means are the continuous view's";
  w->mnuCopyitem[3]->trigger();
  EXPECT_EQ(clipboard->text, " \r\nsecond\r\n\tX1\t\tY1\t\tX2\t\tY2\t\tampl.\t\ttone\t\tperiod");
  w->mnuCopyitem[4]->trigger();
  EXPECT_EQ(clipboard->text, " \r\nsecond\r\n\tX1\tY1\tX2\tY2\tampl.\ttone\tperiod");
  EXPECT_EQ(clipboard->clears, 2);

  // Curve points need data on the screen.
  s().file_loaded = kFalse;
  w->mnuCopyitem[5]->trigger();
  EXPECT_EQ(clipboard->clears, 2);
}
