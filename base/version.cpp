#include "base/version.h"

namespace cvd {

QString programVersion() { return QStringLiteral(CVD_VERSION); }

} // namespace cvd
