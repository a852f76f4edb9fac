// A results grid: rows and columns of texts with a fixed (header) first row and column (their
// common first cell, the caption, shown in the corner where they meet), a
// current cell, cell background colours, rows inserted from tab-separated text and removed, and a
// first visible row. The fixed row and column stay in view while the rest scrolls. Writing past
// the last row grows the grid.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

class QLabel;
class QTableWidget;

namespace quarvel {

class ResultsGrid : public QWidget {
  Q_OBJECT

 public:
  enum class Align { Left, Centre, Right };

  explicit ResultsGrid(int rows = 200, int cols = 8, QWidget* parent = nullptr);

  int rows() const { return static_cast<int>(cells_.size()); }
  int cols() const { return cols_; }
  void set_rows(int n);

  int fixed_rows() const { return fixed_rows_; }
  int fixed_cols() const { return fixed_cols_; }
  void set_fixed_rows(int n);
  void set_fixed_cols(int n);

  // The current cell; setting a row past the end grows the grid to hold it.
  int row() const { return row_; }
  int col() const { return col_; }
  void set_row(int r);
  void set_col(int c);
  QString text() const { return text_at(row_, col_); }
  void set_text(const QString& t);
  QString text_at(int r, int c) const;
  void set_cell_back_colour(int32_t packed);        // of the current cell
  int32_t cell_back_colour_at(int r, int c) const;  // -1 when the cell has none of its own

  // Inserts a row whose cells are the tab-separated parts of text, at index or at the end (-1).
  void add_item(const QString& text, int index = -1);
  void remove_item(int index);
  // Empties every cell (text and cell colours); the number of rows stays.
  void clear();

  int top_row() const { return top_row_; }
  void set_top_row(int r);

  void set_col_width_twips(int col, int twips);
  int col_width_twips(int col) const;
  void set_col_alignment(int col, Align a);
  Align col_alignment(int col) const;
  void set_row_height_twips(int twips);
  void set_grid_font(const QFont& f);
  void set_back_colour(int32_t packed);
  int32_t back_colour() const { return back_colour_; }

  void refresh();
  QTableWidget* view() const { return view_; }

  // While a batch lives, changes to the grid rebuild the view once, when the batch ends.
  class Batch {
   public:
    explicit Batch(ResultsGrid& g) : g_(g) { ++g_.held_; }
    ~Batch() {
      if (--g_.held_ == 0 && g_.stale_) g_.rebuild_view();
    }
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    ResultsGrid& g_;
  };

 private:
  struct Cell {
    QString text;
    int32_t colour = -1;
  };
  void ensure_rows(int n);
  void rebuild_view();
  void update_view_cell(int r, int c);
  void show_caption();
  int twips_to_px(int twips) const;

  std::vector<std::vector<Cell>> cells_;
  int cols_;
  int fixed_rows_ = 0;
  int fixed_cols_ = 0;
  int row_ = 0;
  int col_ = 0;
  int top_row_ = 0;
  std::vector<int> col_twips_;
  std::vector<Align> col_align_;
  int row_twips_ = 255;
  int32_t back_colour_ = -1;
  QTableWidget* view_;
  QLabel* corner_ = nullptr;  // the caption over the corner button
  int held_ = 0;        // batches alive
  bool stale_ = false;  // the view waits for a rebuild at the end of the batch
};

}  // namespace quarvel
