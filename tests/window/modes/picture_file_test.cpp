// Guards File > Save picture: a PNG file and an SVG file that render, pixel for pixel, what the
// plotting surface shows on the screen, and a name of another kind refused with nothing written.
#include <QAction>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>

#include "support/window_fixture.h"
#include "ui/surface.h"

using namespace quarvel;
using quarvel::testing::FileShape;
using quarvel::testing::WindowTest;

namespace {

class SavePicture : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    FileShape shape;
    shape.channels = 3;
    shape.frames = 3000;
    shape.sample = [](int ch, int32_t i) { return static_cast<int16_t>((i * 37 + ch * 500) % 2000 - 1000); };
    shape.marker = [](int32_t i) { return static_cast<int16_t>(i % 400 < 40 ? 100 : i % 400 == 200 ? 200 : 0); };
    open_recording("rat.bin", shape);
    ASSERT_EQ(w->s.file_loaded, kTrue);
  }

  // What the surface shows on the screen.
  QImage screen() { return w->disp->grab().toImage().convertToFormat(QImage::Format_RGB32); }

  QString save(const QString& name) {
    const QString path = data_path(name);
    dialogs->expect_save("Save picture", path);
    w->findChild<QAction*>("mnuSavePicture")->trigger();
    return path;
  }
};

TEST_F(SavePicture, PngHoldsTheScreenPixels) {
  const QImage shown = screen();
  const QImage png(save("rat.png"), "PNG");
  ASSERT_FALSE(png.isNull());
  EXPECT_EQ(dialogs->asked().back().request.file_name, data_path("rat.png")) << "named after the recording";
  EXPECT_EQ(dialogs->asked().back().request.filter, "PNG pictures (*.png)|*.png|SVG pictures (*.svg)|*.svg");
  ASSERT_EQ(png.size(), shown.size());
  EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32), shown);
  // The picture has the channels' colours, not only the frame's.
  QSet<QRgb> colours;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x) colours.insert(shown.pixel(x, y));
  EXPECT_GE(colours.size(), 4);
}

TEST_F(SavePicture, SvgRendersTheScreenPixels) {
  const QImage shown = screen();
  const QString path = save("rat.svg");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f.readAll().contains("<svg"));
  QSvgRenderer svg(path);
  ASSERT_TRUE(svg.isValid());
  // Its size is stated in millimetres, which readers turn into pixels at their own resolution;
  // the view box holds the picture's pixels.
  EXPECT_EQ(svg.viewBox(), QRect(QPoint(0, 0), shown.size()));
  QImage rendered(shown.size(), QImage::Format_RGB32);
  rendered.fill(Qt::magenta);
  QPainter p(&rendered);
  svg.render(&p, QRectF(rendered.rect()));
  p.end();
  EXPECT_EQ(rendered, shown);
}

TEST_F(SavePicture, AnotherKindIsRefusedAndNothingWritten) {
  const QString path = data_path("rat.jpg");
  dialogs->expect_save("Save picture", path);
  dialogs->expect_warning("A picture is saved as PNG (a name ending in .png) or SVG (.svg).");
  w->findChild<QAction*>("mnuSavePicture")->trigger();
  EXPECT_FALSE(dialogs->pending());
  EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
