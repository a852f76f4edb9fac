// Guards the results grid: rows from tab-separated text, the fixed header row and column, row
// removal, clearing, cell colours, and growing past the rows it was created with.
#include <gtest/gtest.h>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>

#include "core/colour.h"
#include "ui/results_grid.h"

using namespace quarvel;

TEST(ResultsGrid, InsertsRowsFromTabSeparatedText) {
  ResultsGrid g(200, 8);
  g.add_item(" \ta\tb", 0);
  EXPECT_EQ(g.rows(), 201);
  EXPECT_EQ(g.text_at(0, 1), "a");
  EXPECT_EQ(g.text_at(0, 2), "b");
  EXPECT_EQ(g.text_at(0, 3), "");
  g.add_item("last\tx");
  EXPECT_EQ(g.rows(), 202);
  EXPECT_EQ(g.text_at(201, 0), "last");
}

TEST(ResultsGrid, FixedRowAndColumnShowAsHeaders) {
  ResultsGrid g(5, 3);
  g.add_item(" \tx1\ty1", 0);
  g.set_row(1);
  g.set_col(0);
  g.set_text("lbl");
  g.set_col(2);
  g.set_text("4.5");
  g.set_fixed_rows(1);
  g.set_fixed_cols(1);
  QTableWidget* v = g.view();
  EXPECT_EQ(v->rowCount(), 5);
  EXPECT_EQ(v->columnCount(), 2);
  EXPECT_EQ(v->horizontalHeaderItem(0)->text(), "x1");
  EXPECT_EQ(v->verticalHeaderItem(0)->text(), "lbl");
  ASSERT_NE(v->item(0, 1), nullptr);
  EXPECT_EQ(v->item(0, 1)->text(), "4.5");
  g.set_row(2);
  g.set_col(1);
  g.set_text("live");
  ASSERT_NE(v->item(1, 0), nullptr);
  EXPECT_EQ(v->item(1, 0)->text(), "live") << "cell writes reach the view at once";
}

TEST(ResultsGrid, TheFirstCellIsTheCaptionInTheCorner) {
  ResultsGrid g(5, 3);
  g.resize(300, 150);
  g.add_item(" \tx1\ty1", 0);
  g.set_fixed_rows(1);
  g.set_fixed_cols(1);
  g.show();
  const QImage blank = g.grab().toImage();
  auto* caption = g.findChild<QLabel*>();
  ASSERT_NE(caption, nullptr);
  EXPECT_TRUE(caption->isHidden()) << "a blank first cell leaves the corner as it was";
  g.set_row(0);
  g.set_col(0);
  g.set_text("EDA");
  EXPECT_EQ(caption->text(), "EDA");
  EXPECT_FALSE(caption->isHidden());
  EXPECT_NE(g.grab().toImage(), blank) << "the caption is seen";
  g.set_text(" ");
  EXPECT_EQ(g.grab().toImage(), blank);
}

TEST(ResultsGrid, GrowsWhenARowPastTheEndIsWritten) {
  ResultsGrid g(200, 8);
  g.set_row(250);
  g.set_col(3);
  g.set_text("far");
  EXPECT_EQ(g.rows(), 251);
  EXPECT_EQ(g.text_at(250, 3), "far");
  g.set_fixed_rows(1);
  g.set_fixed_cols(1);
  g.set_row(300);
  g.set_col(0);
  g.set_text("n");
  g.set_col(2);
  g.set_text("7.5");
  ASSERT_EQ(g.view()->rowCount(), 300) << "the view gains the rows too";
  ASSERT_NE(g.view()->item(299, 1), nullptr);
  EXPECT_EQ(g.view()->item(299, 1)->text(), "7.5");
  EXPECT_EQ(g.view()->verticalHeaderItem(299)->text(), "n");
}

TEST(ResultsGrid, RemoveClearAndColours) {
  ResultsGrid g(4, 3);
  for (int r = 0; r < 4; ++r) {
    g.set_row(r);
    g.set_col(0);
    g.set_text(QString::number(r));
  }
  g.remove_item(1);
  EXPECT_EQ(g.rows(), 3);
  EXPECT_EQ(g.text_at(1, 0), "2");
  g.set_row(2);
  g.set_col(1);
  g.set_cell_back_colour(kShade);
  EXPECT_EQ(g.cell_back_colour_at(2, 1), kShade);
  g.clear();
  EXPECT_EQ(g.rows(), 3);
  EXPECT_EQ(g.text_at(2, 0), "");
  EXPECT_EQ(g.cell_back_colour_at(2, 1), -1);
}

TEST(ResultsGrid, TopRowScrollsTheCells) {
  ResultsGrid g(300, 8);
  g.set_fixed_rows(1);
  g.resize(600, 200);
  g.set_top_row(50);
  EXPECT_EQ(g.top_row(), 50);
  EXPECT_EQ(g.view()->verticalScrollBar()->value(), 49);
}
