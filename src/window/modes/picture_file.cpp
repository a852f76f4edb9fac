#include "modes/picture_file.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QLineEdit>
#include <QPainter>
#include <QSvgGenerator>

#include "app/main_window.h"
#include "datafile/save_bytes.h"
#include "datafile/save_request.h"
#include "ui/surface.h"

namespace quarvel {

namespace {

// Prints the visible annotation boxes' texts as Surface::print does, at the pixel where Copy >
// Picture puts each box's text: its top left corner taken through the surface's user scale.
void paint_annotations(QPainter& p, MainWindow& w) {
  Surface& d = *w.disp;
  const PixelMap map = d.pixel_map();
  const QFontMetrics fm(d.font());
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.setFont(d.font());
  p.setPen(to_qcolor(d.fore_colour()));
  for (const QLineEdit* box : w.Text1) {
    if (box->isHidden()) continue;
    const int x = map.pixel_x(map.user_x(box->x()));
    const int y = map.pixel_y(map.user_y(box->y()));
    p.drawText(QPoint(x, y + fm.ascent()), box->text());
  }
}

QByteArray picture_png(MainWindow& w) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  return writer.write(picture_with_annotations(w)) ? bytes : QByteArray();
}

FileDialogRequest picture_request(const MainWindow& w) {
  return save_request_beside_data(w, "PNG pictures (*.png)|*.png|SVG pictures (*.svg)|*.svg", "Save picture", "png",
                                  "picture");
}

}  // namespace

QImage picture_with_annotations(MainWindow& w) {
  QImage picture = w.disp->image().copy();
  QPainter p(&picture);
  paint_annotations(p, w);
  return picture;
}

QByteArray picture_svg(MainWindow& w) {
  const QImage& picture = w.disp->image();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(picture.size());
  svg.setViewBox(picture.rect());
  // At the picture's own resolution the annotations' fonts come out the size they have on it.
  svg.setResolution(picture.logicalDpiX());
  svg.setTitle(w.caption());
  QPainter p(&svg);
  p.drawImage(0, 0, picture);
  paint_annotations(p, w);
  p.end();
  return bytes;
}

void mnuSavePicture_click(MainWindow& w) {
  const QString path = w.dialogs().save_file(picture_request(w));
  if (path.isEmpty()) return;
  const QString ext = QFileInfo(path).suffix().toLower();
  if (ext != "png" && ext != "svg") {
    w.dialogs().warning("A picture is saved as PNG (a name ending in .png) or SVG (.svg).", "Save picture");
    return;
  }
  const QByteArray bytes = ext == "svg" ? picture_svg(w) : picture_png(w);
  const Status st = bytes.isEmpty() ? Status(DataFileFailure{DataFileError::WriteFailed, "the picture could not be encoded"})
                                    : save_bytes(path, bytes);
  if (!st) {
    w.dialogs().warning(QStringLiteral("The picture could not be saved in %1: %2.")
                            .arg(QDir::toNativeSeparators(path), st.failure().detail),
                        "Save picture");
  }
}

}  // namespace quarvel
