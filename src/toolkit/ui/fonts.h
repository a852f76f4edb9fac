// The fonts the window names, with metric-compatible stand-ins where the named font is missing,
// and twip conversion at the screen's logical resolution.
#pragma once

#include <QFont>

class QWidget;

namespace quarvel {

QFont times_font(double points, bool bold = false);  // "Times New Roman" or a metric twin
QFont arial_font(double points, bool bold = false);  // "Arial" or a metric twin
int twips_to_pixels(int twips, const QWidget* w);

}  // namespace quarvel
