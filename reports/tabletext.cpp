#include "reports/tabletext.h"

namespace cvd {

void appendCell(QString& out, QStringView text)
{
    const qsizetype at = out.size();
    out += text;
    if (!text.contains(u'|') && !text.contains(u';'))
        return;
    for (QChar* c = out.data() + at, *end = out.data() + out.size(); c != end; ++c) {
        if (*c == u'|')
            *c = QChar(kCellBar);
        else if (*c == u';')
            *c = QChar(kCellSemicolon);
    }
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
