#include "base/memotext.h"

namespace cvd {

QString memoTextToStore(const QString& stored, const QString& shownAtLoad, const QString& shown)
{
    if (shown == shownAtLoad)
        return stored;
    if (stored.contains(QLatin1String("\r\n"))) {
        QString crlf = shown;
        crlf.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        crlf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        return crlf;
    }
    return shown;
}

} // namespace cvd
