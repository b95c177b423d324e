#include "base/globals.h"

namespace cvd {

void resetProgramValues() { programValues = {}; }

} // namespace cvd
