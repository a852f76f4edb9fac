// Guards the window on small screens: at 1024 x 600 every control of each working mode lies inside
// the window at no less than the size it needs (the status line and the results grid included),
// a larger window gives the room to the surface and the grid, and Enter on the focused Add button
// takes the reading as a click does.
#include <QApplication>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "support/window_fixture.h"
#include "ui/results_grid.h"
#include "ui/surface.h"

using namespace quarvel;
using namespace quarvel::testing;

namespace {

class WindowFit : public WindowTest {
 protected:
  // The surface as the program sizes it, not fixed as the other tests have it.
  void free_surface() {
    w->disp->setMinimumSize(0, 0);
    w->disp->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    w->disp->setMinimumSize(400, 250);
    settle();
    w->layout()->activate();
  }

  void resize_to(QSize size) {
    w->resize(size);
    settle();
    QApplication::sendPostedEvents();
    settle();
  }

  // Every visible control: inside the window's client area and not squeezed below its minimum.
  void expect_all_fit(const char* mode) {
    const QRect client = w->rect();
    EXPECT_LE(w->width(), 1024) << mode;
    EXPECT_LE(w->height(), 600) << mode;
    for (QWidget* c : w->findChildren<QWidget*>()) {
      if (!c->isVisible() || c->objectName().isEmpty() || c->isWindow() || !c->accessibleDescription().size()) continue;
      const QRect r(c->mapTo(w.get(), QPoint(0, 0)), c->size());
      EXPECT_TRUE(client.contains(r)) << mode << ": " << c->objectName().toStdString() << " at " << r.x() << ","
                                      << r.y() << " " << r.width() << "x" << r.height();
      const QSize need = c->minimumSizeHint();
      EXPECT_GE(r.height(), std::min(need.height(), c->maximumHeight())) << mode << ": " << c->objectName().toStdString();
    }
  }
};

TEST_F(WindowFit, EveryControlFitsAt1024x600InEachMode) {
  free_surface();
  resize_to(QSize(1024, 600));
  expect_all_fit("analysis");
  EXPECT_TRUE(w->status->isVisible());
  EXPECT_TRUE(w->Grid1[0]->isVisible());
  FileShape shape;
  shape.frames = 20000;
  open_recording("long.bin", shape);
  resize_to(QSize(1024, 600));
  expect_all_fit("file loaded");
  // The status line shows the file's date; the longest of them must show whole.
  w->status->setText("Wednesday, 30 September 2026   23:59:59 UTC");
  EXPECT_LE(w->status->fontMetrics().horizontalAdvance(w->status->text()) + 8, w->status->width());
  w->mnuMeasure->trigger();
  resize_to(QSize(1024, 600));
  expect_all_fit("measurement");
}

TEST_F(WindowFit, ALargerWindowGrowsTheSurfaceAndTheGrid) {
  free_surface();
  resize_to(QSize(1024, 600));
  const QSize surface = w->disp->size();
  const int grid = w->Grid1[0]->height();
  resize_to(QSize(1366, 768));
  EXPECT_GT(w->disp->width(), surface.width() + 300);
  EXPECT_GT(w->disp->height(), surface.height());
  EXPECT_GT(w->Grid1[0]->height(), grid);
}

TEST_F(WindowFit, EnterOnTheFocusedAddButtonTakesTheReading) {
  FileShape shape;
  open_recording("a.bin", shape);
  activate();
  QTest::mouseClick(w->disp, Qt::LeftButton, {}, QPoint(300, 250));
  settle();
  ASSERT_TRUE(w->add->hasFocus()) << "the cursor hands the focus to Add";
  ASSERT_TRUE(w->Grid1[0]->text_at(1, 0).isEmpty());
  dialogs->expect_input("block label", "rest");
  QTest::keyClick(w->add, Qt::Key_Return);
  settle();
  EXPECT_EQ(w->Grid1[0]->text_at(1, 0), "rest") << "the first reading opens a block";
  EXPECT_FALSE(w->Grid1[0]->text_at(2, 1).isEmpty()) << "and is written under it";
}

}  // namespace
