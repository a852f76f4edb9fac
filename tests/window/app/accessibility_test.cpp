// Guards what assistive technology gets from the window: every control keeps its window name as
// its accessible description, labels and boxes that show a value expose that value (not a fixed
// name) as they change, and Tab leads into a results grid and out of it again.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "support/window_fixture.h"
#include "ui/results_grid.h"
#include "ui/surface.h"

using namespace quarvel;
using quarvel::testing::FileShape;
using quarvel::testing::WindowTest;

namespace {

QString accessible(QWidget* w, QAccessible::Text what) {
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
  return a ? a->text(what) : QStringLiteral("<none>");
}

using Accessibility = WindowTest;

TEST_F(Accessibility, EveryControlKeepsItsWindowNameAsDescription) {
  int controls = 0;
  for (QWidget* c : w->findChildren<QWidget*>()) {
    const QString name = c->objectName();
    if (name.isEmpty() || name.startsWith("qt_")) continue;
    if (!qobject_cast<QAbstractButton*>(c) && !qobject_cast<QLabel*>(c) && !qobject_cast<QComboBox*>(c) &&
        !qobject_cast<QLineEdit*>(c))
      continue;
    if (qobject_cast<QLineEdit*>(c) && qobject_cast<QComboBox*>(c->parentWidget())) continue;
    ++controls;
    EXPECT_EQ(c->accessibleDescription(), name);
  }
  EXPECT_GT(controls, 60);
}

TEST_F(Accessibility, ValueLabelsAndBoxesSpeakTheirValue) {
  FileShape f;
  f.frames = 400;
  f.block_length = 100;
  open_recording("blocks.bin", f);
  w->accept->click();
  for (QLabel* l : {w->SA_label, w->ave_count}) {
    EXPECT_FALSE(l->text().trimmed().isEmpty()) << l->objectName().toStdString();
    EXPECT_EQ(accessible(l, QAccessible::Name), l->text()) << l->objectName().toStdString();
  }
  EXPECT_EQ(accessible(w->status, QAccessible::Value), "current curve: 1/4     averaged: 1");
  EXPECT_TRUE(accessible(w->status, QAccessible::Name).isEmpty() ||
              accessible(w->status, QAccessible::Name) == w->status->text());
  emit w->disp->mouse_down(1, 0, 20, 0);
  ASSERT_TRUE(w->Label1->isVisible());
  EXPECT_EQ(accessible(w->Label1, QAccessible::Name), w->Label1->text());
  EXPECT_TRUE(w->Label1->text().contains("ms, ")) << "the cursor reading itself";
}

TEST_F(Accessibility, TabLeadsIntoAResultsGridAndOutAgain) {
  activate();
  QTableWidget* view = w->Grid1[0]->view();
  view->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(view->hasFocus());
  QTest::keyClick(view, Qt::Key_Tab);
  QWidget* now = QApplication::focusWidget();
  EXPECT_TRUE(now != view && !view->isAncestorOf(now)) << "Tab leaves the grid";
  QTest::keyClick(now, Qt::Key_Backtab);
  EXPECT_TRUE(view->hasFocus()) << "Shift+Tab comes back into it";
}

}  // namespace
