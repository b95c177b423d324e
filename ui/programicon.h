#pragma once
// The program's icon, drawn in code so that it needs no resource file: a
// blue service ticket with a white check mark.
#include <QIcon>

namespace cvd {

QIcon programIcon();

} // namespace cvd
