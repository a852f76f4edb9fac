// The plotting surface: a widget that owns a persistent picture and paints the screen from it.
// Drawing happens in a user coordinate system (left, top, width, height; a negative height makes
// y grow upwards), in copy or invert mode; invert-mode marks are removed by drawing them again.
// Mouse events arrive in user coordinates.
#pragma once

#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "display/plot_geometry.h"
#include "ui/user_scale.h"

namespace quarvel {

class Surface : public QWidget {
  Q_OBJECT

 public:
  enum class ScaleMode { User, Pixel, Twip };
  enum class DrawMode { Copy, Invert };

  // A text printed since the last clear, for whoever needs to know what the picture says.
  struct PrintedText {
    QString text;
    double x = 0;  // user position of its top-left corner when printed
    double y = 0;
    QRect pixels;  // where it landed
    int32_t colour = 0;
  };

  explicit Surface(QWidget* parent = nullptr);
  ~Surface() override;

  // --- coordinate system
  UserScale scale() const { return scale_; }
  double scale_left() const { return scale_.left; }
  double scale_top() const { return scale_.top; }
  double scale_width() const { return scale_.width; }
  double scale_height() const { return scale_.height; }
  void set_scale(double left, double top, double width, double height);
  // The whole coordinate system of a plot geometry, or only its vertical part (the scale of one
  // channel, the horizontal part staying as it is).
  void use_geometry(const PlotGeometry& g) { set_scale(g.left(), g.top(), g.width(), g.height()); }
  void use_vertical(const PlotGeometry& g) {
    scale_.top = g.top();
    scale_.height = g.height();
  }
  void set_scale_left(double v) { scale_.left = v; }
  void set_scale_top(double v) { scale_.top = v; }
  void set_scale_width(double v) { scale_.width = v; }
  void set_scale_height(double v) { scale_.height = v; }
  // Pixel and twip modes set the scale to the device size in those units; switching back to the
  // user mode keeps the current numbers until the caller sets new ones.
  void set_scale_mode(ScaleMode mode);
  ScaleMode scale_mode() const { return mode_; }
  // The device size is the widget's size; the picture follows it before every drawing.
  int pixel_width() const { return std::max(1, width()); }
  int pixel_height() const { return std::max(1, height()); }
  PixelMap pixel_map() const { return PixelMap(scale_, pixel_width(), pixel_height()); }
  double twips_per_pixel() const;

  // --- colours and modes (packed 0x00BBGGRR)
  int32_t back_colour() const { return back_colour_; }
  void set_back_colour(int32_t c);
  int32_t fore_colour() const { return fore_colour_; }
  void set_fore_colour(int32_t c) { fore_colour_ = c; }
  DrawMode draw_mode() const { return draw_mode_; }
  void set_draw_mode(DrawMode m) { draw_mode_ = m; }
  // Persistent drawing (the picture survives being covered) or direct drawing while a sweep runs.
  // Both draw into the picture here; the flag is kept for callers that ask.
  bool auto_redraw() const { return auto_redraw_; }
  void set_auto_redraw(bool on) { auto_redraw_ = on; }

  // --- drawing
  void cls();
  void line(double x1, double y1, double x2, double y2);
  void line(double x1, double y1, double x2, double y2, int32_t colour);
  // Rectangle outline between two corners (both corner pixels included).
  void box(double x1, double y1, double x2, double y2);
  void box(double x1, double y1, double x2, double y2, int32_t colour);

  // Many marks of one picture at once, in pixels, the same as drawing them one by one.
  // A one-pixel column from row top to row bottom (both included), as box(x, y1, x, y2) fills it.
  struct Column {
    int x = 0;
    int top = 0;
    int bottom = 0;
    int32_t colour = 0;
  };
  void columns(const std::vector<Column>& cols);
  // Lines between pixels, each in its own colour, as line() draws them one by one in their order:
  // where two cover the same pixel, the later one shows.
  struct ColouredLine {
    QLine line;
    int32_t colour = 0;
  };
  void lines(const std::vector<ColouredLine>& in_order);

  // --- text: CurrentX/CurrentY is the top-left corner of the next printed text
  double current_x = 0;
  double current_y = 0;
  void print(const QString& text);
  double text_width(const QString& text) const;   // in user units
  double text_height(const QString& text) const;  // in user units, signed like the scale
  const std::vector<PrintedText>& printed_texts() const { return printed_; }

  // Drawing reaches the screen by itself, at most once a refresh of the screen (60 Hz when the
  // screen does not say). This repaints the screen from the picture at once.
  void refresh();
  // The picture as it stands (pending drawing finished).
  const QImage& image();
  QColor pixel(int px, int py);

 signals:
  // button: 1 left, 2 right, 4 middle (for moves: the set held); shift: 1 shift, 2 ctrl, 4 alt.
  void mouse_down(int button, int shift, double x, double y);
  void mouse_move(int button, int shift, double x, double y);
  void mouse_up(int button, int shift, double x, double y);
  // A control of this window dragged onto the surface and dropped at (x, y).
  void dropped(QObject* source, double x, double y);
  // A key pressed while the surface has the keyboard focus (a Qt::Key).
  void key_down(int key, int shift);
  // The wheel turned by whole notches at (x, y): positive away from the user.
  void wheel_turned(int notches, int shift, double x, double y);
  void resized();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  QPainter& painter();
  void end_painting();
  void fit_picture();
  void mark_dirty(const QRect& r);
  void stroke_line(int x1, int y1, int x2, int y2, int32_t colour);
  void fill_pixels(const QRect& r, int32_t colour);
  // Writes the lines' pixels into the picture in their order, as the painter would draw them;
  // false (nothing written) in the invert mode or when a line reaches outside the picture.
  bool write_lines(const std::vector<ColouredLine>& in_order);
  // The pen of a colour in the current draw mode, made once and kept, so drawing allocates none.
  const QPen& pen_for(int32_t colour);
  void deliver(QMouseEvent* e, int kind);

  QImage image_;
  std::unique_ptr<QPainter> painter_;
  UserScale scale_;
  ScaleMode mode_ = ScaleMode::User;
  int32_t back_colour_ = 0;
  int32_t fore_colour_ = 0x00FFFFFF;
  DrawMode draw_mode_ = DrawMode::Copy;
  bool auto_redraw_ = true;
  QRect dirty_;           // drawn since the screen was last brought up to date
  QTimer screen_update_;  // brings it up to date, at most once a screen refresh
  QElapsedTimer since_screen_update_;
  std::vector<PrintedText> printed_;
  std::vector<std::pair<int32_t, QPen>> pens_;
  QPen invert_pen_{Qt::white, 0};
  int wheel_rest_ = 0;  // eighths of a degree turned towards the next whole notch
};

// A packed 0x00BBGGRR colour as a QColor, and back.
QColor to_qcolor(int32_t packed);
int32_t from_qcolor(const QColor& c);

}  // namespace quarvel
