#include "requests/memotext.h"

#include <QPlainTextEdit>
#include <QVariant>

namespace cvd {

namespace {
constexpr const char* StoredProperty = "cvdStoredText";
constexpr const char* ShownProperty = "cvdShownText";
}

void setMemoText(QPlainTextEdit* box, const QString& stored)
{
    box->setPlainText(stored);
    box->setProperty(StoredProperty, stored);
    box->setProperty(ShownProperty, box->toPlainText());
}

QString memoText(const QPlainTextEdit* box)
{
    const QString shown = box->toPlainText();
    const QString stored = box->property(StoredProperty).toString();
    if (shown == box->property(ShownProperty).toString())
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
