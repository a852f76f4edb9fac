#include "ui/results_grid.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/surface.h"

namespace quarvel {

ResultsGrid::ResultsGrid(int rows, int cols, QWidget* parent)
    : QWidget(parent),
      cols_(cols),
      col_twips_(static_cast<size_t>(cols), 1200),
      col_align_(static_cast<size_t>(cols), Align::Left),
      view_(new QTableWidget(this)) {
  cells_.resize(static_cast<size_t>(rows), std::vector<Cell>(static_cast<size_t>(cols)));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // The arrow keys move between the cells; Tab moves on to the next control, as everywhere else.
  view_->setTabKeyNavigation(false);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  // The corner where the fixed row and column meet shows the first cell: the table's caption.
  if (auto* corner = view_->findChild<QAbstractButton*>()) {
    corner_ = new QLabel(corner);
    corner_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    corner_->setAttribute(Qt::WA_TransparentForMouseEvents);
    corner_->setAlignment(Qt::AlignCenter);
    auto* fill = new QHBoxLayout(corner);
    fill->setContentsMargins(2, 0, 2, 0);
    fill->addWidget(corner_);
    corner_->hide();
  }
  rebuild_view();
}

void ResultsGrid::show_caption() {
  if (!corner_) return;
  const QString text = fixed_rows_ > 0 && fixed_cols_ > 0 ? text_at(0, 0).trimmed() : QString();
  corner_->setText(text);
  corner_->setAccessibleName(text);
  corner_->setFont(view_->horizontalHeader()->font());
  corner_->setVisible(!text.isEmpty());
}

int ResultsGrid::twips_to_px(int twips) const {
  const double dpi = logicalDpiY() > 0 ? logicalDpiY() : 96;
  return static_cast<int>(twips * dpi / 1440.0 + 0.5);
}

// Grows the grid to n rows; the view only gains the new, empty rows.
void ResultsGrid::ensure_rows(int n) {
  if (n <= rows()) return;
  const int old_view_rows = view_->rowCount();
  cells_.resize(static_cast<size_t>(n), std::vector<Cell>(static_cast<size_t>(cols_)));
  if (held_ > 0) {
    stale_ = true;
    return;
  }
  const int view_rows = std::max(0, rows() - fixed_rows_);
  view_->setRowCount(view_rows);
  if (fixed_cols_ > 0)
    for (int r = old_view_rows; r < view_rows; ++r)
      view_->setVerticalHeaderItem(r, new QTableWidgetItem(QString()));
}

void ResultsGrid::set_rows(int n) {
  cells_.resize(static_cast<size_t>(std::max(0, n)), std::vector<Cell>(static_cast<size_t>(cols_)));
  row_ = std::min(row_, std::max(0, rows() - 1));
  rebuild_view();
}

void ResultsGrid::set_fixed_rows(int n) {
  fixed_rows_ = std::clamp(n, 0, 1);
  rebuild_view();
}

void ResultsGrid::set_fixed_cols(int n) {
  fixed_cols_ = std::clamp(n, 0, 1);
  rebuild_view();
}

void ResultsGrid::set_row(int r) {
  r = std::max(0, r);
  ensure_rows(r + 1);
  row_ = r;
}

void ResultsGrid::set_col(int c) {
  col_ = std::clamp(c, 0, cols_ - 1);
}

QString ResultsGrid::text_at(int r, int c) const {
  if (r < 0 || r >= rows() || c < 0 || c >= cols_) return QString();
  return cells_[static_cast<size_t>(r)][static_cast<size_t>(c)].text;
}

void ResultsGrid::set_text(const QString& t) {
  cells_[static_cast<size_t>(row_)][static_cast<size_t>(col_)].text = t;
  update_view_cell(row_, col_);
}

void ResultsGrid::set_cell_back_colour(int32_t packed) {
  cells_[static_cast<size_t>(row_)][static_cast<size_t>(col_)].colour = packed;
  update_view_cell(row_, col_);
}

int32_t ResultsGrid::cell_back_colour_at(int r, int c) const {
  if (r < 0 || r >= rows() || c < 0 || c >= cols_) return -1;
  return cells_[static_cast<size_t>(r)][static_cast<size_t>(c)].colour;
}

void ResultsGrid::add_item(const QString& text, int index) {
  std::vector<Cell> row(static_cast<size_t>(cols_));
  const QStringList parts = text.split('\t');
  for (int c = 0; c < std::min<int>(cols_, static_cast<int>(parts.size())); ++c)
    row[static_cast<size_t>(c)].text = parts[c];
  if (index < 0 || index > rows()) index = rows();
  cells_.insert(cells_.begin() + index, std::move(row));
  rebuild_view();
}

void ResultsGrid::remove_item(int index) {
  if (index < 0 || index >= rows()) return;
  cells_.erase(cells_.begin() + index);
  row_ = std::min(row_, std::max(0, rows() - 1));
  rebuild_view();
}

void ResultsGrid::clear() {
  for (auto& r : cells_)
    for (auto& c : r) c = Cell{};
  rebuild_view();
}

void ResultsGrid::set_top_row(int r) {
  top_row_ = std::clamp(r, 0, std::max(0, rows() - 1));
  // The view scrolls by whole rows, so the scroll value is the first visible cell row.
  view_->verticalScrollBar()->setValue(std::max(0, top_row_ - fixed_rows_));
}

void ResultsGrid::set_col_width_twips(int col, int twips) {
  if (col < 0 || col >= cols_) return;
  col_twips_[static_cast<size_t>(col)] = twips;
  rebuild_view();
}

int ResultsGrid::col_width_twips(int col) const {
  return col < 0 || col >= cols_ ? 0 : col_twips_[static_cast<size_t>(col)];
}

void ResultsGrid::set_col_alignment(int col, Align a) {
  if (col < 0 || col >= cols_) return;
  col_align_[static_cast<size_t>(col)] = a;
  rebuild_view();
}

ResultsGrid::Align ResultsGrid::col_alignment(int col) const {
  return col < 0 || col >= cols_ ? Align::Left : col_align_[static_cast<size_t>(col)];
}

void ResultsGrid::set_row_height_twips(int twips) {
  row_twips_ = twips;
  view_->verticalHeader()->setDefaultSectionSize(twips_to_px(twips));
}

void ResultsGrid::set_grid_font(const QFont& f) {
  view_->setFont(f);
  view_->horizontalHeader()->setFont(f);
  view_->verticalHeader()->setFont(f);
}

void ResultsGrid::set_back_colour(int32_t packed) {
  back_colour_ = packed;
  QPalette p = view_->palette();
  p.setColor(QPalette::Base, to_qcolor(packed));
  view_->setPalette(p);
}

void ResultsGrid::refresh() {
  view_->viewport()->update();
}

static Qt::Alignment qt_alignment(ResultsGrid::Align a) {
  switch (a) {
    case ResultsGrid::Align::Centre:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    case ResultsGrid::Align::Right:
      return Qt::AlignRight | Qt::AlignVCenter;
    default:
      return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

// The fixed first row shows as the column headers and the fixed first column as the row headers,
// so both stay in view while the cells scroll.
void ResultsGrid::rebuild_view() {
  if (held_ > 0) {
    stale_ = true;
    return;
  }
  stale_ = false;
  const int vr = std::max(0, rows() - fixed_rows_);
  const int vc = std::max(0, cols_ - fixed_cols_);
  view_->setUpdatesEnabled(false);
  view_->clear();
  view_->setRowCount(vr);
  view_->setColumnCount(vc);
  view_->horizontalHeader()->setVisible(fixed_rows_ > 0);
  view_->verticalHeader()->setVisible(fixed_cols_ > 0);
  for (int c = 0; c < vc; ++c) {
    const int mc = c + fixed_cols_;
    view_->setColumnWidth(c, twips_to_px(col_twips_[static_cast<size_t>(mc)]));
    if (fixed_rows_ > 0) {
      auto* h = new QTableWidgetItem(text_at(0, mc));
      h->setTextAlignment(qt_alignment(col_align_[static_cast<size_t>(mc)]));
      view_->setHorizontalHeaderItem(c, h);
    }
  }
  if (fixed_cols_ > 0) {
    view_->verticalHeader()->setFixedWidth(twips_to_px(col_twips_[0]));
    for (int r = 0; r < vr; ++r)
      view_->setVerticalHeaderItem(r, new QTableWidgetItem(text_at(r + fixed_rows_, 0)));
  }
  view_->verticalHeader()->setDefaultSectionSize(twips_to_px(row_twips_));
  for (int r = 0; r < vr; ++r)
    for (int c = 0; c < vc; ++c) update_view_cell(r + fixed_rows_, c + fixed_cols_);
  show_caption();
  view_->setUpdatesEnabled(true);
}

void ResultsGrid::update_view_cell(int r, int c) {
  if (held_ > 0) {
    stale_ = true;
    return;
  }
  if (r < fixed_rows_ && c >= fixed_cols_) {
    if (auto* h = view_->horizontalHeaderItem(c - fixed_cols_)) h->setText(text_at(r, c));
    return;
  }
  if (c < fixed_cols_ && r >= fixed_rows_) {
    if (auto* h = view_->verticalHeaderItem(r - fixed_rows_)) h->setText(text_at(r, c));
    return;
  }
  if (r < fixed_rows_ && c < fixed_cols_) show_caption();
  if (r < fixed_rows_ || c < fixed_cols_) return;
  const int vr = r - fixed_rows_, vc = c - fixed_cols_;
  if (vr >= view_->rowCount() || vc >= view_->columnCount()) return;
  const Cell& cell = cells_[static_cast<size_t>(r)][static_cast<size_t>(c)];
  QTableWidgetItem* item = view_->item(vr, vc);
  if (cell.text.isEmpty() && cell.colour < 0) {
    if (item) delete view_->takeItem(vr, vc);
    return;
  }
  if (!item) {
    item = new QTableWidgetItem;
    view_->setItem(vr, vc, item);
  }
  item->setText(cell.text);
  item->setTextAlignment(qt_alignment(col_align_[static_cast<size_t>(c)]));
  if (cell.colour >= 0) {
    item->setBackground(to_qcolor(cell.colour));
  } else {
    item->setBackground(QBrush());
  }
}

}  // namespace quarvel
