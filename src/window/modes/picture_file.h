// File > Save picture...: what the plotting surface shows, in its screen colours and with the
// annotation boxes' texts printed where Copy > Picture prints them, as a PNG file or an SVG file
// (the picture embedded whole, the annotations as text over it). The kind follows the name's
// extension, which the save dialog takes from the filter chosen when none is typed.
#pragma once

#include <QByteArray>
#include <QImage>

namespace quarvel {

class MainWindow;

void mnuSavePicture_click(MainWindow& w);

// The surface's picture with the visible annotations printed into it; the surface stays as it is.
QImage picture_with_annotations(MainWindow& w);

// The picture as the bytes of an SVG file: the surface's picture and the annotations as text.
QByteArray picture_svg(MainWindow& w);

}  // namespace quarvel
