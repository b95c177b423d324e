// Record sets: the first record that meets criteria, and seeking on an index.
#include "db/recordsetimpl.h"

#include <algorithm>
#include <sqlite3.h>
#include <unordered_set>

namespace cvd {

namespace {

constexpr int NotAnIndex = 3800;
constexpr int NoCurrentIndex = 3019;
constexpr int NotSupported = 3251;

} // namespace

void Recordset::FindFirst(const QString& criteria)
{
    d->checkOpen();
    const QString cond = translateSql(criteria);
    qint64 found = -1;
    if (d->keyset) {
        Stmt s = prepareStmt(d->db(), QStringLiteral("select rowid from %1 where (%2)").arg(d->table, cond));
        std::vector<qint64> hits;
        int rc;
        while ((rc = sqlite3_step(s.get())) == SQLITE_ROW)
            hits.push_back(sqlite3_column_int64(s.get(), 0));
        if (rc != SQLITE_DONE)
            sqlFail(d->db(), rc);
        if (hits.size() == 1) {
            const auto it = std::find(d->keys.begin(), d->keys.end(), hits.front());
            if (it != d->keys.end())
                found = it - d->keys.begin();
        } else if (!hits.empty()) {
            const std::unordered_set<qint64> set(hits.begin(), hits.end());
            for (size_t i = 0; i < d->keys.size(); ++i)
                if (set.count(d->keys[i])) {
                    found = qint64(i);
                    break;
                }
        }
    } else {
        // The same query again, with the criteria as its only column: the
        // first true row is the record's place in the set's order.
        Stmt s = prepareStmt(d->db(), QStringLiteral("select (%1) from (%2)").arg(cond, d->sourceSql));
        int rc;
        qint64 i = 0;
        while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
            if (sqlite3_column_type(s.get(), 0) != SQLITE_NULL && sqlite3_column_int(s.get(), 0) != 0) {
                found = i;
                break;
            }
            ++i;
        }
        if (rc != SQLITE_DONE && rc != SQLITE_ROW)
            sqlFail(d->db(), rc);
        if (found >= 0 && !d->fetchTo(found))
            found = -1;
    }
    d->noMatch = found < 0;
    if (found >= 0)
        d->moveTo(found);
}

bool Recordset::NoMatch() const { return d->noMatch; }

void Recordset::SetIndex(const QString& indexName)
{
    d->checkOpen();
    if (!d->keyset)
        raise(NotSupported, QStringLiteral("Operation is not supported for this type of object."));
    const QString name = plainName(indexName);
    QString columnName;
    if (name.compare(QLatin1String("PrimaryKey"), Qt::CaseInsensitive) == 0 && !d->pkName.isEmpty())
        columnName = d->pkName;
    if (columnName.isEmpty()) {
        Stmt s = prepareStmt(d->db(), QStringLiteral("select name from pragma_index_info("
                                                     "(select name from sqlite_master where type = 'index'"
                                                     " and name = ?1 collate nocase and tbl_name = ?2 collate nocase))"
                                                     " order by seqno limit 1"));
        const QByteArray n = name.toUtf8(), t = plainName(d->table).toUtf8();
        sqlite3_bind_text(s.get(), 1, n.constData(), int(n.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(s.get(), 2, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(s.get()) == SQLITE_ROW)
            columnName = columnText(s.get(), 0);
    }
    if (columnName.isEmpty()) {
        // An index named after the one column it orders by (StaffID).
        Stmt s = prepareStmt(d->db(), QStringLiteral("PRAGMA table_info(%1)").arg(quotedName(d->table)));
        while (sqlite3_step(s.get()) == SQLITE_ROW) {
            const QString c = columnText(s.get(), 1);
            if (c.compare(name, Qt::CaseInsensitive) == 0) {
                columnName = c;
                break;
            }
        }
    }
    if (columnName.isEmpty())
        raise(NotAnIndex, QStringLiteral("'%1' isn't an index in this table.").arg(indexName));
    d->indexColumn = columnName;
}

void Recordset::Seek(const QString& comparison, const Value& key)
{
    d->checkOpen();
    if (d->indexColumn.isEmpty())
        raise(NoCurrentIndex, QStringLiteral("Operation invalid without a current index."));
    const QString op = comparison.trimmed();
    static const QStringList ops{QStringLiteral("="), QStringLiteral("<"), QStringLiteral("<="), QStringLiteral(">"),
                                 QStringLiteral(">=")};
    if (!ops.contains(op))
        raise(ErrNo::SqlError, QStringLiteral("Invalid comparison '%1' for Seek.").arg(comparison));
    const bool down = op.startsWith(u'<');
    Stmt s = prepareStmt(d->db(), QStringLiteral("select rowid from %1 where %2 %3 ?1 order by %2 %4, rowid limit 1")
                                       .arg(d->table, quotedName(d->indexColumn), op,
                                            down ? QStringLiteral("desc") : QStringLiteral("asc")));
    sql::bindValue(s.get(), 1, key);
    qint64 found = -1;
    const int rc = sqlite3_step(s.get());
    if (rc == SQLITE_ROW) {
        const qint64 rowid = sqlite3_column_int64(s.get(), 0);
        const auto it = std::find(d->keys.begin(), d->keys.end(), rowid);
        if (it != d->keys.end())
            found = it - d->keys.begin();
    } else if (rc != SQLITE_DONE) {
        sqlFail(d->db(), rc);
    }
    d->noMatch = found < 0;
    if (found >= 0)
        d->moveTo(found);
}

} // namespace cvd
