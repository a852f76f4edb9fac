#include "ui/fonts.h"

#include <QFontDatabase>
#include <QWidget>

namespace quarvel {

static QFont first_installed(const QStringList& families, QFont::StyleHint hint, double points, bool bold) {
  const QStringList installed = QFontDatabase::families();
  QFont f;
  f.setStyleHint(hint);
  for (const QString& fam : families) {
    if (installed.contains(fam, Qt::CaseInsensitive)) {
      f.setFamily(fam);
      break;
    }
  }
  f.setPointSizeF(points);
  f.setBold(bold);
  return f;
}

QFont times_font(double points, bool bold) {
  return first_installed({"Times New Roman", "Liberation Serif", "Tinos", "DejaVu Serif"}, QFont::Serif,
                         points, bold);
}

QFont arial_font(double points, bool bold) {
  return first_installed({"Arial", "Liberation Sans", "Arimo", "DejaVu Sans"}, QFont::SansSerif, points,
                         bold);
}

int twips_to_pixels(int twips, const QWidget* w) {
  const double dpi = w && w->logicalDpiX() > 0 ? w->logicalDpiX() : 96;
  return static_cast<int>(twips * dpi / 1440.0 + 0.5);
}

}  // namespace quarvel
