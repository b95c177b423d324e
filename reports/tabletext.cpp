#include "reports/tabletext.h"

namespace cvd {

void appendCell(QString& out, QStringView text)
{
    const qsizetype at = out.size();
    out.resize(at + text.size());
    QChar* to = out.data() + at;
    for (const QChar c : text)
        *to++ = c == u'|' ? QChar(kCellBar) : c == u';' ? QChar(kCellSemicolon) : c;
}

QString cellText(QStringView text)
{
    QString out;
    appendCell(out, text);
    return out;
}

bool hasStandIns(QStringView text)
{
    for (QChar c : text)
        if (c.unicode() == kCellBar || c.unicode() == kCellSemicolon)
            return true;
    return false;
}

QString typedText(QStringView text)
{
    QString out = text.toString();
    for (QChar& c : out)
        c = QChar(typedChar(c.unicode()));
    return out;
}

} // namespace cvd
