#include "base/mwfunctions.h"

namespace cvd {

QString ReplaceAll(QString& text, const QString& search, const QString& replacement)
{
    // QString::replace scans once, left to right, without overlaps and
    // without looking into what it inserted; an empty search would insert
    // the replacement between every character, so it changes nothing here.
    if (!search.isEmpty())
        text.replace(search, replacement, Qt::CaseSensitive);
    return text;
}

} // namespace cvd
