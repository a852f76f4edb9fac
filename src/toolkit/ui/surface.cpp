#include "ui/surface.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "core/colour.h"
#include "core/memory.h"
#include "ui/cosmetic_line.h"

namespace quarvel {

QColor to_qcolor(int32_t packed) {
  return QColor(red_of(packed), green_of(packed), blue_of(packed));
}

int32_t from_qcolor(const QColor& c) {
  return rgb(c.red(), c.green(), c.blue());
}

namespace {

// A picture of size s in the colour back. A long view fills it a pixel column at a time, each
// pixel a row further on; in 4 kB pages nearly every one of those writes would miss the address
// cache, so a large picture lives in huge pages.
constexpr std::size_t kHugePictureFrom = std::size_t{1} << 20;
QImage blank_picture(QSize s, QColor back) {
  const qsizetype line = static_cast<qsizetype>(s.width()) * 4;
  const auto bytes = static_cast<std::size_t>(line) * static_cast<std::size_t>(std::max(s.height(), 0));
  QImage picture;
  if (bytes >= kHugePictureFrom) {
    if (const HugeBlock block = map_huge_block(bytes); block.data) {
      auto* held = new HugeBlock(block);
      picture = QImage(
          static_cast<uchar*>(block.data), s.width(), s.height(), line, QImage::Format_RGB32,
          [](void* b) {
            unmap_huge_block(*static_cast<HugeBlock*>(b));
            delete static_cast<HugeBlock*>(b);
          },
          held);
    }
  }
  if (picture.isNull()) picture = QImage(s, QImage::Format_RGB32);
  picture.fill(back);
  return picture;
}

}  // namespace

Surface::Surface(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setAcceptDrops(true);
  image_ = blank_picture(QSize(pixel_width(), pixel_height()), to_qcolor(back_colour_));
  screen_update_.setSingleShot(true);
  screen_update_.setTimerType(Qt::PreciseTimer);
  connect(&screen_update_, &QTimer::timeout, this, [this] {
    since_screen_update_.start();
    update(dirty_);
    dirty_ = QRect();
  });
  since_screen_update_.start();
}

Surface::~Surface() {
  end_painting();
}

void Surface::set_scale(double left, double top, double width, double height) {
  scale_ = UserScale{left, top, width, height};
}

double Surface::twips_per_pixel() const {
  const double dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
  return 1440.0 / dpi;
}

void Surface::set_scale_mode(ScaleMode mode) {
  mode_ = mode;
  if (mode == ScaleMode::Pixel) {
    scale_ = UserScale{0, 0, static_cast<double>(pixel_width()), static_cast<double>(pixel_height())};
  } else if (mode == ScaleMode::Twip) {
    const double t = twips_per_pixel();
    scale_ = UserScale{0, 0, pixel_width() * t, pixel_height() * t};
  }
}

void Surface::set_back_colour(int32_t c) {
  back_colour_ = c;
}

// Brings the picture to the widget's size, keeping what is drawn at the top left. A widget that
// was resized while hidden gets its resize event only when shown; drawing must not wait for it.
void Surface::fit_picture() {
  const QSize s(pixel_width(), pixel_height());
  if (s == image_.size()) return;
  end_painting();
  QImage next = blank_picture(s, to_qcolor(back_colour_));
  {
    QPainter p(&next);
    p.drawImage(0, 0, image_);
  }
  image_ = std::move(next);
}

QPainter& Surface::painter() {
  fit_picture();
  if (!painter_) {
    painter_ = std::make_unique<QPainter>(&image_);
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
    painter_->setFont(font());
  }
  return *painter_;
}

void Surface::end_painting() {
  if (painter_) {
    painter_->end();
    painter_.reset();
  }
}

void Surface::mark_dirty(const QRect& r) {
  const QRect clipped = r.intersected(image_.rect());
  if (clipped.isEmpty()) return;
  dirty_ |= clipped;
  if (screen_update_.isActive()) return;
  // The screen is brought up to date at most once a refresh of the screen: a sweep draws a
  // segment per sample, a thousand a second, and the display shows some sixty pictures.
  const qreal hz = screen() ? screen()->refreshRate() : 0;
  const int frame_ms = static_cast<int>(std::ceil(1000.0 / (hz >= 1 ? hz : 60.0)));
  screen_update_.start(static_cast<int>(std::max<qint64>(frame_ms - since_screen_update_.elapsed(), 0)));
}

void Surface::cls() {
  end_painting();
  fit_picture();
  image_.fill(to_qcolor(back_colour_));
  printed_.clear();
  current_x = 0;
  current_y = 0;
  mark_dirty(image_.rect());
}

const QPen& Surface::pen_for(int32_t colour) {
  if (draw_mode_ == DrawMode::Invert) return invert_pen_;
  for (const auto& [c, pen] : pens_)
    if (c == colour) return pen;
  if (pens_.size() >= 32) pens_.clear();
  pens_.emplace_back(colour, QPen(to_qcolor(colour), 0));
  return pens_.back().second;
}

void Surface::stroke_line(int x1, int y1, int x2, int y2, int32_t colour) {
  QPainter& p = painter();
  p.setCompositionMode(draw_mode_ == DrawMode::Invert ? QPainter::RasterOp_SourceXorDestination
                                                      : QPainter::CompositionMode_SourceOver);
  p.setPen(pen_for(colour));
  if (x1 == x2 && y1 == y2) {
    p.drawPoint(x1, y1);
  } else {
    p.drawLine(x1, y1, x2, y2);
  }
  mark_dirty(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2), std::max(y1, y2))));
}

void Surface::fill_pixels(const QRect& r, int32_t colour) {
  if (r.isEmpty()) return;
  QPainter& p = painter();
  if (draw_mode_ == DrawMode::Invert) {
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.fillRect(r, Qt::white);
  } else {
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.fillRect(r, to_qcolor(colour));
  }
  mark_dirty(r);
}

void Surface::columns(const std::vector<Column>& cols) {
  if (cols.empty()) return;
  if (draw_mode_ == DrawMode::Invert) {
    for (const Column& c : cols) fill_pixels(QRect(c.x, c.top, 1, c.bottom - c.top + 1), c.colour);
    return;
  }
  // Opaque pixels written straight into the picture are what fillRect leaves there.
  end_painting();
  fit_picture();
  const int w = image_.width(), h = image_.height();
  const qsizetype stride = image_.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
  QRgb* bits = reinterpret_cast<QRgb*>(image_.bits());
  int left = w, right = -1, top = h, bottom = -1;
  QRgb value = 0;
  int32_t colour = -1;
  for (const Column& c : cols) {
    if (c.x < 0 || c.x >= w) continue;
    const int from = std::max(c.top, 0), to = std::min(c.bottom, h - 1);
    if (from > to) continue;
    if (c.colour != colour || colour < 0) {
      colour = c.colour;
      value = to_qcolor(colour).rgb();
    }
    QRgb* p = bits + from * stride + c.x;
    for (int y = from; y <= to; ++y, p += stride) *p = value;
    left = std::min(left, c.x);
    right = std::max(right, c.x);
    top = std::min(top, from);
    bottom = std::max(bottom, to);
  }
  if (right >= left) mark_dirty(QRect(QPoint(left, top), QPoint(right, bottom)));
}

bool Surface::write_lines(const std::vector<ColouredLine>& in_order) {
  if (draw_mode_ != DrawMode::Copy) return false;
  fit_picture();
  const QRect inside = image_.rect();
  QRect bounds;
  for (const ColouredLine& c : in_order) {
    const QLine& l = c.line;
    if (!inside.contains(l.p1()) || !inside.contains(l.p2())) return false;
    bounds |= QRect(QPoint(std::min(l.x1(), l.x2()), std::min(l.y1(), l.y2())),
                    QPoint(std::max(l.x1(), l.x2()), std::max(l.y1(), l.y2())));
  }
  if (bounds.isNull()) return true;
  // Opaque pixels written straight into the picture are what the painter leaves there.
  end_painting();
  const qsizetype stride = image_.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
  QRgb* bits = reinterpret_cast<QRgb*>(image_.bits());
  int32_t colour = -1;
  QRgb value = 0;
  for (const ColouredLine& c : in_order) {
    if (c.colour != colour || colour < 0) {
      colour = c.colour;
      value = to_qcolor(colour).rgb();
    }
    const QLine& l = c.line;
    cosmetic_line(l.p1(), l.p2(), [&](int x, int y) { bits[y * stride + x] = value; });
  }
  mark_dirty(bounds);
  return true;
}

void Surface::lines(const std::vector<ColouredLine>& in_order) {
  if (in_order.empty()) return;
  if (write_lines(in_order)) return;
  QPainter& p = painter();
  p.setCompositionMode(draw_mode_ == DrawMode::Invert ? QPainter::RasterOp_SourceXorDestination
                                                      : QPainter::CompositionMode_SourceOver);
  int32_t colour = -1;
  QRect bounds;
  for (const ColouredLine& c : in_order) {
    if (c.colour != colour || colour < 0) {
      colour = c.colour;
      p.setPen(pen_for(colour));
    }
    const QLine& l = c.line;
    if (l.p1() == l.p2()) {
      p.drawPoint(l.p1());
    } else {
      p.drawLine(l);
    }
    bounds |= QRect(QPoint(std::min(l.x1(), l.x2()), std::min(l.y1(), l.y2())),
                    QPoint(std::max(l.x1(), l.x2()), std::max(l.y1(), l.y2())));
  }
  mark_dirty(bounds);
}

void Surface::line(double x1, double y1, double x2, double y2) {
  line(x1, y1, x2, y2, fore_colour_);
}

void Surface::line(double x1, double y1, double x2, double y2, int32_t colour) {
  const PixelMap m = pixel_map();
  stroke_line(m.pixel_x(x1), m.pixel_y(y1), m.pixel_x(x2), m.pixel_y(y2), colour);
}

void Surface::box(double x1, double y1, double x2, double y2) {
  box(x1, y1, x2, y2, fore_colour_);
}

void Surface::box(double x1, double y1, double x2, double y2, int32_t colour) {
  const PixelMap m = pixel_map();
  const int ax = m.pixel_x(x1), bx = m.pixel_x(x2), ay = m.pixel_y(y1), by = m.pixel_y(y2);
  const int left = std::min(ax, bx), right = std::max(ax, bx);
  const int top = std::min(ay, by), bottom = std::max(ay, by);
  const int w = right - left + 1, h = bottom - top + 1;
  if (w <= 2 || h <= 2) {
    fill_pixels(QRect(left, top, w, h), colour);
    return;
  }
  // Four strips that never overlap, so an inverted outline drawn twice restores every pixel.
  fill_pixels(QRect(left, top, w, 1), colour);
  fill_pixels(QRect(left, bottom, w, 1), colour);
  fill_pixels(QRect(left, top + 1, 1, h - 2), colour);
  fill_pixels(QRect(right, top + 1, 1, h - 2), colour);
}

double Surface::text_width(const QString& text) const {
  return pixel_map().user_dx(QFontMetrics(font()).horizontalAdvance(text));
}

double Surface::text_height(const QString&) const {
  return pixel_map().user_dy(QFontMetrics(font()).height());
}

void Surface::print(const QString& text) {
  const PixelMap m = pixel_map();
  const QFontMetrics fm(font());
  const int px = m.pixel_x(current_x), py = m.pixel_y(current_y);
  QPainter& p = painter();
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  p.setPen(to_qcolor(fore_colour_));
  p.drawText(QPoint(px, py + fm.ascent()), text);
  const QRect r(px, py, fm.horizontalAdvance(text), fm.height());
  printed_.push_back(PrintedText{text, current_x, current_y, r, fore_colour_});
  mark_dirty(r);
  current_x = scale_.left;
  current_y += text_height(text);
}

void Surface::refresh() {
  end_painting();
  screen_update_.stop();
  since_screen_update_.start();
  repaint(dirty_.isEmpty() ? rect() : dirty_);
  dirty_ = QRect();
}

const QImage& Surface::image() {
  end_painting();
  fit_picture();
  return image_;
}

QColor Surface::pixel(int px, int py) {
  end_painting();
  fit_picture();
  return image_.pixelColor(px, py);
}

void Surface::paintEvent(QPaintEvent* e) {
  end_painting();
  fit_picture();
  QPainter p(this);
  p.drawImage(e->rect(), image_, e->rect());
}

void Surface::resizeEvent(QResizeEvent* e) {
  fit_picture();
  if (mode_ == ScaleMode::Pixel) set_scale_mode(ScaleMode::Pixel);
  if (mode_ == ScaleMode::Twip) set_scale_mode(ScaleMode::Twip);
  QWidget::resizeEvent(e);
  emit resized();
}

static int vb_buttons(Qt::MouseButtons b) {
  int r = 0;
  if (b & Qt::LeftButton) r |= 1;
  if (b & Qt::RightButton) r |= 2;
  if (b & Qt::MiddleButton) r |= 4;
  return r;
}

static int vb_shift(Qt::KeyboardModifiers m) {
  int r = 0;
  if (m & Qt::ShiftModifier) r |= 1;
  if (m & Qt::ControlModifier) r |= 2;
  if (m & Qt::AltModifier) r |= 4;
  return r;
}

void Surface::deliver(QMouseEvent* e, int kind) {
  const QPoint px = e->position().toPoint();
  const PixelMap m = pixel_map();
  const double x = m.user_x(px.x()), y = m.user_y(px.y());
  const int shift = vb_shift(e->modifiers());
  if (kind == 0) emit mouse_down(vb_buttons(e->button()), shift, x, y);
  if (kind == 1) emit mouse_move(vb_buttons(e->buttons()), shift, x, y);
  if (kind == 2) emit mouse_up(vb_buttons(e->button()), shift, x, y);
}

void Surface::mousePressEvent(QMouseEvent* e) {
  deliver(e, 0);
}
void Surface::mouseMoveEvent(QMouseEvent* e) {
  deliver(e, 1);
}
void Surface::mouseReleaseEvent(QMouseEvent* e) {
  deliver(e, 2);
}

}  // namespace quarvel

namespace quarvel {

// Only controls of the program itself are dropped here (annotation boxes being moved).
void Surface::dragEnterEvent(QDragEnterEvent* e) {
  if (e->source()) e->acceptProposedAction();
}

void Surface::dragMoveEvent(QDragMoveEvent* e) {
  if (e->source()) e->acceptProposedAction();
}

void Surface::dropEvent(QDropEvent* e) {
  if (!e->source()) return;
  const QPoint px = e->position().toPoint();
  const PixelMap m = pixel_map();
  e->acceptProposedAction();
  emit dropped(e->source(), m.user_x(px.x()), m.user_y(px.y()));
}

void Surface::keyPressEvent(QKeyEvent* e) {
  emit key_down(e->key(), vb_shift(e->modifiers()));
  QWidget::keyPressEvent(e);
}

// A fine-grained wheel (a touchpad) sends parts of a notch; they add up to whole ones.
void Surface::wheelEvent(QWheelEvent* e) {
  wheel_rest_ += e->angleDelta().y();
  const int notches = wheel_rest_ / 120;
  wheel_rest_ -= notches * 120;
  e->accept();
  if (notches == 0) return;
  const QPoint px = e->position().toPoint();
  const PixelMap m = pixel_map();
  emit wheel_turned(notches, vb_shift(e->modifiers()), m.user_x(px.x()), m.user_y(px.y()));
}

}  // namespace quarvel
