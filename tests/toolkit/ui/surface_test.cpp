// Guards the plotting surface: drawing lands on the pixels the user coordinates name, invert
// marks drawn twice restore every pixel, outlines and texts land where placed, the pixel
// mode reports the device size, and a sweep drawn a segment at a time reaches the screen at most
// once a screen refresh, its last segment included; lines written straight into the picture are
// the painter's own, pixel for pixel.
#include <gtest/gtest.h>
#include <QApplication>
#include <QElapsedTimer>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScreen>
#include <QPainter>
#include <QTest>
#include <cmath>
#include <algorithm>
#include <array>
#include <random>

#include "core/colour.h"
#include "ui/surface.h"

using namespace quarvel;

class SurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s.setFixedSize(200, 100);
    s.resize(200, 100);
    s.set_back_colour(kBlue);
    s.set_fore_colour(kWhite);
    s.set_scale(-10, 5, 20, -10);  // x -10..10, y 5 (top) .. -5 (bottom)
    s.cls();
  }
  QColor at(int x, int y) { return s.pixel(x, y); }
  Surface s;
};

TEST_F(SurfaceTest, LineLandsOnTheMappedPixels) {
  s.line(0, 0, 5, 0, kYellow);  // from pixel (100, 50) to (150, 50)
  EXPECT_EQ(at(100, 50), to_qcolor(kYellow));
  EXPECT_EQ(at(125, 50), to_qcolor(kYellow));
  EXPECT_EQ(at(150, 50), to_qcolor(kYellow));
  EXPECT_EQ(at(125, 49), to_qcolor(kBlue));
  EXPECT_EQ(at(99, 50), to_qcolor(kBlue));
  s.line(0, 5, 0, -4.9);  // default colour, vertical at pixel 100
  EXPECT_EQ(at(100, 0), to_qcolor(kWhite));
  EXPECT_EQ(at(100, 99), to_qcolor(kWhite));
}

// Lines of every direction and of three kinds of length, in three colours that overlap, drawn
// through the surface and by QPainter::drawLine one by one in the same order.
TEST(SurfaceLines, AreThePaintersOwnPixelForPixel) {
  struct Kind {
    const char* name;
    int max_dx, max_dy;
  };
  for (const Kind& k : {Kind{"short", 8, 8}, Kind{"steep", 3, 390}, Kind{"long", 590, 390}}) {
    Surface s;
    s.setFixedSize(600, 400);
    s.set_back_colour(kBlack);
    s.cls();
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> x(0, 599), y(0, 399), dx(-k.max_dx, k.max_dx), dy(-k.max_dy, k.max_dy);
    std::vector<Surface::ColouredLine> lines;
    for (int n = 0; n < 3000; ++n) {
      const QPoint a(x(gen), y(gen));
      const QPoint b(std::clamp(a.x() + dx(gen), 0, 599), std::clamp(a.y() + dy(gen), 0, 399));
      lines.push_back(Surface::ColouredLine{QLine(a, b), std::array{kYellow, kCyan, kWhite}[n % 3]});
    }
    s.lines(lines);

    QImage want(600, 400, QImage::Format_RGB32);
    want.fill(Qt::black);
    QPainter p(&want);
    for (const Surface::ColouredLine& l : lines) {
      p.setPen(QPen(to_qcolor(l.colour), 0));
      if (l.line.p1() == l.line.p2()) {
        p.drawPoint(l.line.p1());
      } else {
        p.drawLine(l.line);
      }
    }
    p.end();
    int differ = 0;
    for (int row = 0; row < 400; ++row)
      for (int col = 0; col < 600; ++col) differ += s.image().pixel(col, row) != want.pixel(col, row);
    EXPECT_EQ(differ, 0) << k.name;
  }
}

TEST_F(SurfaceTest, InvertTwiceRestoresEveryPixel) {
  s.line(-10, -5, 10, 5, kYellow);
  s.box(-3, 3, 4, -2, kCyan);
  const QImage before = s.image().copy();
  s.set_draw_mode(Surface::DrawMode::Invert);
  s.line(1, 5, 1, -5);
  s.box(-5, 4, 6, -4);
  s.line(-10, 0, 10, 0);
  const QImage marked = s.image().copy();
  EXPECT_NE(marked, before);
  // the inverted cursor column turned blue into yellow's opposite: 0,0,255 -> 255,255,0
  EXPECT_EQ(at(110, 5), QColor(255, 255, 0));
  s.line(1, 5, 1, -5);
  s.box(-5, 4, 6, -4);
  s.line(-10, 0, 10, 0);
  EXPECT_EQ(s.image(), before);
}

TEST_F(SurfaceTest, BoxIsAnOutlineButThinColumnsAreFilled) {
  s.box(-5, 4, 5, -4, kWhite);  // pixels 50..150 x 10..90
  EXPECT_EQ(at(50, 10), to_qcolor(kWhite));
  EXPECT_EQ(at(150, 90), to_qcolor(kWhite));
  EXPECT_EQ(at(50, 50), to_qcolor(kWhite));
  EXPECT_EQ(at(100, 50), to_qcolor(kBlue));
  s.box(7, 4, 7.05, -4, kYellow);  // one pixel wide: a filled bar
  EXPECT_EQ(at(170, 50), to_qcolor(kYellow));
}

TEST_F(SurfaceTest, TextLandsWherePlacedAndIsMeasuredInUserUnits) {
  s.current_x = -5;
  s.current_y = 2;
  s.print("X1");
  ASSERT_EQ(s.printed_texts().size(), 1u);
  const auto& t = s.printed_texts().front();
  EXPECT_EQ(t.text, "X1");
  EXPECT_EQ(t.pixels.topLeft(), QPoint(50, 30));
  bool inked = false;
  for (int x = t.pixels.left(); x <= t.pixels.right(); ++x)
    for (int y = t.pixels.top(); y <= t.pixels.bottom(); ++y) inked |= at(x, y) != to_qcolor(kBlue);
  EXPECT_TRUE(inked);
  EXPECT_GT(s.text_width("X1"), 0);
  EXPECT_LT(s.text_height("X1"), 0) << "heights follow the sign of the scale";
  EXPECT_NEAR(s.text_width("X1"), t.pixels.width() * 20.0 / 200, 1e-9);
  s.cls();
  EXPECT_TRUE(s.printed_texts().empty());
}

TEST_F(SurfaceTest, PixelModeReportsTheDeviceSize) {
  s.set_scale_mode(Surface::ScaleMode::Pixel);
  EXPECT_EQ(s.scale_width(), 200);
  EXPECT_EQ(s.scale_height(), 100);
  EXPECT_EQ(s.scale_left(), 0);
  s.set_scale_mode(Surface::ScaleMode::User);
  EXPECT_EQ(s.scale_width(), 200) << "the user mode keeps the numbers until new ones are set";
  s.set_scale_mode(Surface::ScaleMode::Twip);
  EXPECT_NEAR(s.scale_width(), 200 * s.twips_per_pixel(), 1e-9);
}

TEST_F(SurfaceTest, MouseEventsArriveInUserCoordinates) {
  double gx = 0, gy = 0;
  int gb = 0;
  QObject::connect(&s, &Surface::mouse_down, [&](int b, int, double x, double y) {
    gb = b;
    gx = x;
    gy = y;
  });
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(150, 25), QPointF(150, 25), Qt::RightButton,
                    Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(&s, &press);
  EXPECT_EQ(gb, 2);
  EXPECT_NEAR(gx, 5.05, 1e-9);
  EXPECT_NEAR(gy, 2.45, 1e-9);
}

TEST_F(SurfaceTest, DropsArriveInUserCoordinates) {
  QObject* from = nullptr;
  double gx = 0, gy = 0;
  QObject::connect(&s, &Surface::dropped, [&](QObject* source, double x, double y) {
    from = source;
    gx = x;
    gy = y;
  });
  QMimeData mime;
  QDropEvent drop(QPointF(50, 75), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&s, &drop);
  EXPECT_EQ(from, nullptr) << "a drop from outside the program is not taken";
}

namespace {

class PaintLog : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) rects.push_back(static_cast<QPaintEvent*>(e)->rect());
    return false;
  }
  std::vector<QRect> rects;
};

}  // namespace

TEST_F(SurfaceTest, ASweepReachesTheScreenAtMostOnceAFrame) {
  s.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&s));
  QTest::qWait(50);
  const double hz = s.screen()->refreshRate() >= 1 ? s.screen()->refreshRate() : 60.0;
  PaintLog log;
  s.installEventFilter(&log);
  // Segments as fast as they come for 0.3 s, the event queue let run after each as the
  // acquisition loop does.
  QElapsedTimer t;
  t.start();
  int segments = 0;
  while (t.elapsed() < 300) {
    const double x = -10 + 20.0 * (segments % 200) / 200;
    s.line(x, 0, x + 0.1, 1, kYellow);
    ++segments;
    QCoreApplication::processEvents();
  }
  const double drawn_ms = static_cast<double>(t.elapsed());
  const size_t while_drawing = log.rects.size();
  s.line(9.9, -5, 9.9, -4, kCyan);  // the last one, at pixel column 199, bottom rows
  QTest::qWait(static_cast<int>(3000 / hz));
  s.removeEventFilter(&log);
  ASSERT_GT(segments, 300);
  EXPECT_LE(static_cast<double>(while_drawing), drawn_ms * hz / 1000 + 2) << segments << " segments";
  EXPECT_GE(while_drawing, 2u) << "the screen follows the sweep while it is drawn";
  ASSERT_GT(log.rects.size(), while_drawing);
  EXPECT_TRUE(log.rects.back().contains(199, 95)) << "the last segment reaches the screen";
}
