#include "ui/liketext.h"

#include "base/mwfunctions.h"

namespace cvd {

QString likeText(const QString& typed)
{
    QString text;
    text.reserve(typed.size() + 8);
    for (const QChar c : typed) {
        if (c == u'#' || c == u'?' || c == u'[')
            text += QLatin1Char('[') + c + QLatin1Char(']');
        else
            text += c;
    }
    ReplaceAll(text, QStringLiteral("'"), QStringLiteral("''"));
    return text;
}

} // namespace cvd
