// What cvdtool recover says: a line a table with the records saved and
// lost, and for records found on pages their table's tree no longer
// reaches, how sure it is that they are that table's.
#include "tools/recover.h"

#include "tools/createdb.h"

namespace cvd::tools {

namespace {

QString outsideClause(const RecoveredTable& t)
{
    const QString which = QStringLiteral(" (%1 of them from %2 pages that %3's damaged tree no longer reaches, "
                                         "matched to %3 by the number and types of their records' fields: ")
                              .arg(t.outside).arg(t.outsidePages).arg(t.table);
    if (t.sameShape.isEmpty())
        return which + QStringLiteral("sure, no other table's records have that shape)");
    return which + QStringLiteral("likely, the records of %1 have that shape too, but only %2's tree is damaged)")
                       .arg(t.sameShape.join(QStringLiteral(", ")), t.table);
}

} // namespace

QString recoveryReport(const QList<RecoveredTable>& tables, const QString& folder, const QString& file)
{
    QString text;
    bool damaged = false;
    for (const RecoveredTable& t : tables) {
        QString line = QStringLiteral("%1: ").arg(t.table);
        if (t.missingTable) {
            text += line + QStringLiteral("the damaged file has no such table; nothing saved.\n");
            damaged = true;
            continue;
        }
        damaged = damaged || t.damaged || t.lost > 0 || t.partly > 0 || t.lostUnknown || !t.missingColumns.isEmpty();
        line += QStringLiteral("%1 saved").arg(t.saved);
        if (t.partly > 0)
            line += QStringLiteral(", %1 saved with fields that could not be read left empty").arg(t.partly);
        if (t.lost > 0)
            line += QStringLiteral(", %1 could not be read").arg(t.lost);
        if (t.outside > 0)
            line += outsideClause(t);
        if (t.undecidedPages > 0)
            line += QStringLiteral("; %1 pages of records that fit %2 and %3 alike, whose trees are all damaged, were not saved")
                        .arg(t.undecidedPages).arg(t.table, t.sameShape.join(QStringLiteral(", ")));
        if (t.lostUnknown)
            line += QStringLiteral("; more were in a damaged part of the file, how many cannot be told");
        if (!t.missingColumns.isEmpty())
            line += QStringLiteral(" (the damaged file has no %1; left empty)").arg(t.missingColumns.join(QStringLiteral(", ")));
        text += line + QStringLiteral(".\n");
    }
    const QString path = databasePath(folder);
    return text + QStringLiteral("Saved into %1.  %2 was left as it was%3.  To work on the recovered records, close "
                                 "Calvedon, move %4 out of %5 and put %1 in its place, named cvd.mdb.\n")
                      .arg(file, (damaged ? QStringLiteral("The damaged ") : QString()) + path,
                           damaged ? QString() : QStringLiteral("; no damage was found in its records"),
                           damaged ? QStringLiteral("the damaged cvd.mdb") : QStringLiteral("cvd.mdb"), folder);
}

} // namespace cvd::tools
