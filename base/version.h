#pragma once
// The program's version, set in one place: the project's CMakeLists.txt.
#include <QString>

namespace cvd {

// "0.9"
QString programVersion();

} // namespace cvd
