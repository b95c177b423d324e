#include "search/findquery.h"

#include "base/formats.h"
#include "ui/liketext.h"

namespace cvd {

namespace {

// A request description containing `typed`, matched as typed; with the
// response too when asked.
QString textCriterion(const QString& typed, bool inResponse)
{
    const QString text = likeText(typed);
    const QString inRequest = QStringLiteral("ReqDesc like '*") + text + QStringLiteral("*'");
    if (!inResponse)
        return inRequest;
    return QLatin1Char('(') + inRequest + QStringLiteral(" or Resp like '*") + text + QStringLiteral("*')");
}

QString dateLiteral(const QDate& d) { return u'#' + fmt::sqlDate(d) + u'#'; }

void append(QString& where, const QString& criterion)
{
    if (!where.isEmpty())
        where += QStringLiteral(" and ");
    where += criterion;
}

} // namespace

bool hasCriteria(const FindCriteria& c)
{
    return !c.search1.isEmpty() || !c.search2.isEmpty() || c.date.has_value() || c.deptId.has_value()
           || c.staffId.has_value();
}

QString findSql(const FindCriteria& c)
{
    QString first = c.search1, second = c.search2;
    if (first.isEmpty())
        std::swap(first, second);

    QString where;
    if (!first.isEmpty()) {
        where = textCriterion(first, c.inResponse);
        // Either text: the pair in brackets, so that the criteria after it
        // apply to both ("and" binds before "or").
        if (!second.isEmpty() && c.eitherText)
            where = QLatin1Char('(') + where + QStringLiteral(" or ") + textCriterion(second, c.inResponse)
                    + QLatin1Char(')');
        else if (!second.isEmpty())
            where += QStringLiteral(" and ") + textCriterion(second, c.inResponse);
    }
    if (c.date)
        append(where, (c.before ? QStringLiteral(" ReqDate < ") : QStringLiteral(" ReqDate >= ")) + dateLiteral(*c.date));
    if (c.deptId)
        append(where, QStringLiteral(" DeptID = ") + QString::number(*c.deptId));
    if (c.staffId)
        append(where, QStringLiteral(" AssignedTo = ") + QString::number(*c.staffId));
    return QStringLiteral("Select * from Req where ") + where + QStringLiteral(" order by ReqDate desc");
}

} // namespace cvd
