#include "db/keyseek.h"

#include "db/sqldialect.h"

namespace cvd::sql {

namespace {

struct Item {
    QString expr;  // what is ordered, with its collation
    QString name;  // the plain name
    bool descending = false;
};

// An order item of the shape "name [collate x] [asc|desc] [nulls first|last]".
std::optional<Item> plainItem(const std::vector<Token>& toks, const Significant& s, int first, int last)
{
    Item item;
    int k = first;
    if (!isName(toks[s.at[k]]))
        return std::nullopt;
    item.name = toks[s.at[k]].text;
    item.expr = item.name;
    ++k;
    if (k <= last && isKeyword(toks[s.at[k]], "collate")) {
        if (k + 1 > last)
            return std::nullopt;
        item.expr += QStringLiteral(" COLLATE ");
        // A collation may be schema-qualified (pg_temp.cvd_order).
        for (++k; k <= last && (isName(toks[s.at[k]]) || isPunct(toks[s.at[k]], ".")) && !isKeyword(toks[s.at[k]], "asc")
                  && !isKeyword(toks[s.at[k]], "desc") && !isKeyword(toks[s.at[k]], "nulls");
             ++k)
            item.expr += toks[s.at[k]].text;
    }
    if (k <= last && (isKeyword(toks[s.at[k]], "asc") || isKeyword(toks[s.at[k]], "desc"))) {
        item.descending = isKeyword(toks[s.at[k]], "desc");
        ++k;
    }
    if (k + 1 <= last && isKeyword(toks[s.at[k]], "nulls")) {
        // Missing values stay the smallest, as both backends order them.
        const bool nullsFirst = isKeyword(toks[s.at[k + 1]], "first");
        if (nullsFirst == item.descending)
            return std::nullopt;
        k += 2;
    }
    if (k <= last)
        return std::nullopt;
    return item;
}

QString direction(bool descending) { return descending ? QStringLiteral("desc") : QStringLiteral("asc"); }

} // namespace

std::optional<KeySeek> keySeek(const QString& translatedOrder, const QString& key)
{
    const std::vector<Token> toks = tokenize(QStringLiteral("select 1 order by ") + translatedOrder, DoubleQuotes::Name);
    const Significant s = significant(toks);
    std::vector<Item> items;
    for (const OrderItem& o : orderItems(toks, s)) {
        const auto item = plainItem(toks, s, o.first, o.last);
        if (!item)
            return std::nullopt;
        items.push_back(*item);
    }
    const auto isKey = [&](const Item& i) { return i.name.compare(key, Qt::CaseInsensitive) == 0 && i.expr == i.name; };
    KeySeek seek;
    seek.key = key;
    if (items.size() == 1 && isKey(items[0])) {
        seek.descending = items[0].descending;
        return seek;
    }
    if (items.size() != 2 || !isKey(items[1]) || isKey(items[0]) || items[0].descending != items[1].descending)
        return std::nullopt;
    seek.column = items[0].name;
    seek.sortExpr = items[0].expr;
    seek.descending = items[0].descending;
    return seek;
}

QString pieceQuery(const KeySeek& seek, int run, bool backwards, const QString& table, const QString& where,
                   const SeekBound* from, const SeekBound* to, int limit, std::vector<Value>& params)
{
    const bool nulls = seek.nullRun(run);
    const bool withValues = !seek.column.isEmpty() && !nulls;
    const bool descending = seek.descending != backwards;
    QStringList conditions;
    if (!where.isEmpty())
        conditions << QStringLiteral("(%1)").arg(where);
    if (!seek.column.isEmpty())
        conditions << seek.column + (nulls ? QStringLiteral(" is null") : QStringLiteral(" is not null"));
    // Strictly after one bound and before the other, in the reading order.
    const auto bound = [&](const SeekBound* b, bool after) {
        if (!b || b->run != run || !b->started)
            return;
        const QString op = (after != descending) ? QStringLiteral(">") : QStringLiteral("<");
        if (withValues) {
            conditions << QStringLiteral("(%1, %2) %3 (?, ?)").arg(seek.sortExpr, seek.key, op);
            params.push_back(b->value);
        } else {
            conditions << QStringLiteral("%1 %2 ?").arg(seek.key, op);
        }
        params.push_back(Value(b->key));
    };
    bound(from, true);
    bound(to, false);
    QString text = QStringLiteral("select %1%2 from %3").arg(seek.key, withValues ? QStringLiteral(", ") + seek.column : QString(), table);
    if (!conditions.isEmpty())
        text += QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
    text += QStringLiteral(" order by ");
    // Missing values the smallest, said as such: as the server's index of
    // the column holds them, so that it reads the piece along the index.
    if (withValues)
        text += QStringLiteral("%1 %2 nulls %3, ").arg(seek.sortExpr, direction(descending),
                                                       descending ? QStringLiteral("last") : QStringLiteral("first"));
    text += QStringLiteral("%1 %2 limit %3").arg(seek.key, direction(descending)).arg(limit);
    return text;
}

} // namespace cvd::sql
