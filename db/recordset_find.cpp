// Record sets: the first record that meets criteria, and seeking on an index.
#include "db/recordsetimpl.h"

#include <algorithm>
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
    const QString cond = d->backend->translate(criteria);
    qint64 found = -1;
    if (d->keyset && d->partial) {
        found = d->firstPartialHit(cond);
    } else if (d->keyset) {
        const std::vector<engine::RowKey> hits =
            d->backend->keys(QStringLiteral("select %1 from %2 where (%3)").arg(d->table->key, d->table->name, cond));
        if (hits.size() == 1) {
            const auto it = std::find(d->keys.begin(), d->keys.end(), hits.front());
            if (it != d->keys.end())
                found = it - d->keys.begin();
        } else if (!hits.empty()) {
            const std::unordered_set<engine::RowKey> set(hits.begin(), hits.end());
            for (size_t i = 0; i < d->keys.size(); ++i)
                if (set.count(d->keys[i])) {
                    found = qint64(i);
                    break;
                }
        }
    } else {
        // The same query again, with the criteria as its only column: the
        // first true row is the record's place in the set's order.
        auto rows = d->backend->query(QStringLiteral("select (%1) from (%2) as cvd_s").arg(cond, d->sourceSql));
        std::vector<Value> v;
        for (qint64 i = 0; rows->next(v); ++i) {
            if (!v.back().isNull() && v.back().toBool()) {
                found = i;
                break;
            }
        }
        if (found >= 0 && !d->fetchTo(found))
            found = -1;
    }
    d->noMatch = found < 0;
    if (found >= 0)
        d->moveTo(found);
}

// In a set whose keys are not all read: the first row that meets the
// criteria in the set's order is read first, then found among the keys.  A
// record added or changed here stays where the set holds it, whatever its
// values say, so those are looked at apart.
qint64 Recordset::Impl::firstPartialHit(const QString& cond)
{
    const QString where = keyWhere.isEmpty() ? QStringLiteral("(%1)").arg(cond)
                                             : QStringLiteral("(%1) and (%2)").arg(keyWhere, cond);
    std::optional<qint64> best;
    const auto take = [&](qint64 at) { best = best ? std::min(*best, at) : at; };
    if (!movedHere.empty()) {
        QStringList moved;
        for (const engine::RowKey k : movedHere)
            moved << QString::number(k);
        for (const engine::RowKey k : backend->keys(QStringLiteral("select %1 from %2 where %3 and %1 in (%4)")
                                                        .arg(table->key, table->name, where, moved.join(u','))))
            if (const auto at = findRead(k))
                take(*at);
    }
    const auto rows = backend->query(QStringLiteral("select %1 from %2 where %3 order by %4 limit %5")
                                         .arg(table->key, table->name, where, keyOrder)
                                         .arg(movedHere.size() + 1));
    std::vector<Value> row;
    while (row.clear(), rows->next(row)) {
        const engine::RowKey k = row[0].toBigInt();
        if (movedHere.count(k))
            continue;
        if (const auto at = locate(k))
            take(*at);
        break;
    }
    return best.value_or(-1);
}

bool Recordset::NoMatch() const { return d->noMatch; }

void Recordset::SetIndex(const QString& indexName)
{
    d->checkOpen();
    if (!d->keyset)
        raise(NotSupported, QStringLiteral("Operation is not supported for this type of object."));
    const QString name = plainName(indexName);
    QString columnName;
    if (name.compare(QLatin1String("PrimaryKey"), Qt::CaseInsensitive) == 0 && !d->table->autoKey.isEmpty())
        columnName = d->table->autoKey;
    if (columnName.isEmpty())
        columnName = d->backend->indexColumn(*d->table, name);
    if (columnName.isEmpty())
        raise(NotAnIndex, QStringLiteral("'%1' isn't an index in this table.").arg(indexName));
    d->indexColumn = columnName;
}

void Recordset::Seek(const QString& comparison, const Value& keyValue)
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
    const QString key = d->table->key;
    const auto hit = d->backend->keys(QStringLiteral("select %1 from %2 where %3 %4 ? order by %3 %5, %1 limit 1")
                                          .arg(key, d->table->name, d->backend->quote(d->indexColumn), op,
                                               down ? QStringLiteral("desc") : QStringLiteral("asc")),
                                      {keyValue});
    qint64 found = -1;
    if (!hit.empty())
        found = d->locate(hit.front()).value_or(-1);
    d->noMatch = found < 0;
    if (found >= 0)
        d->moveTo(found);
}

} // namespace cvd
