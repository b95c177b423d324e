#include "base/mwfunctions.h"

namespace cvd {

QString ReplaceAll(QString& text, const QString& search, const QString& replacement)
{
    if (search.isEmpty())
        return text;
    // The search goes on after each replacement, which is the same as
    // scanning the original text once, left to right, without overlaps; the
    // result is built in one pass so that long texts stay linear.
    qsizetype p = text.indexOf(search, 0, Qt::CaseSensitive);
    if (p < 0)
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    while (p >= 0) {
        out.append(QStringView(text).mid(from, p - from));
        out.append(replacement);
        from = p + search.size();
        p = text.indexOf(search, from, Qt::CaseSensitive);
    }
    out.append(QStringView(text).mid(from));
    text = out;
    return text;
}

} // namespace cvd
