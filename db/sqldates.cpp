// Date literals of the dialect: the forms the program writes between '#'.
#include "db/sqlparts.h"

#include "db/datetext.h"
#include "db/errors.h"

#include <QDate>
#include <QStringList>

namespace cvd::sql {

QString dateLiteral(const QString& literal)
{
    QString inner = literal.mid(1, literal.size() - 2).trimmed();
    const qsizetype blank = inner.indexOf(u' ');
    if (blank > 0)
        inner = inner.left(blank); // a time of day is not used; the date part counts
    const QChar sep = inner.contains(u'/') ? u'/' : u'-';
    const QStringList parts = inner.split(sep);
    bool ok = parts.size() == 3;
    int n[3] = {0, 0, 0};
    for (int i = 0; ok && i < 3; ++i) {
        n[i] = parts[i].toInt(&ok);
        ok = ok && !parts[i].isEmpty() && parts[i].size() <= 4;
    }
    QDate d;
    if (ok) {
        int y, m, dd;
        int yearLen;
        if (parts[0].size() == 4) {
            y = n[0], m = n[1], dd = n[2];
            yearLen = 4;
        } else {
            m = n[0], dd = n[1], y = n[2];
            yearLen = int(parts[2].size());
        }
        if (yearLen <= 2)
            y = fmt::expandTwoDigitYear(y);
        d = QDate(y, m, dd);
    }
    if (!d.isValid())
        raise(ErrNo::SqlError, QStringLiteral("Syntax error in date in query expression '%1'.").arg(literal));
    return QLatin1Char('\'') + d.toString(Qt::ISODate) + QLatin1Char('\'');
}

} // namespace cvd::sql
