#pragma once
// The program's icon, drawn in code so that it needs no resource file: a
// blue service ticket with a white check mark.  The installed icon theme
// files are drawn by the same code (data/desktop/calvedon.svg is the same
// drawing written out as SVG).
#include <QIcon>
#include <QImage>

namespace cvd {

QIcon programIcon();
// The icon at `size` pixels square, on a transparent background.  Needs
// no display.
QImage programIconImage(int size);

} // namespace cvd
