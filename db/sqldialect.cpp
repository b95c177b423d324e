// The translation of the dialect for the file: the alias rule, and names
// and descriptions ordered by the locale's collation.  The pieces are in
// sqltokens, sqldates, sqlaliases, sqllike and simpleselect.
#include "db/sqldialect.h"

#include "db/collation.h"
#include "db/database.h"
#include "db/schema.h"

namespace cvd::sql {

std::vector<OrderItem> orderItems(const std::vector<Token>& toks, const Significant& s)
{
    std::vector<OrderItem> items;
    const int n = int(s.at.size());
    auto top = [&](int k, const char* word) { return s.depth[k] == 0 && isKeyword(toks[s.at[k]], word); };
    for (int k = 0; k + 1 < n; ++k) {
        if (!top(k, "order") || !isKeyword(toks[s.at[k + 1]], "by"))
            continue;
        int item = k + 2;
        for (int m = item; m <= n; ++m) {
            const bool end = m == n || s.depth[m] < 0 || isPunct(toks[s.at[m]], ";") || top(m, "limit")
                             || top(m, "offset") || top(m, "fetch") || top(m, "for") || top(m, "union");
            if (end || (s.depth[m] == 0 && isPunct(toks[s.at[m]], ","))) {
                if (m > item)
                    items.push_back({item, m - 1});
                item = m + 1;
                if (end) {
                    k = m;
                    break;
                }
            }
        }
    }
    return items;
}

void collateTextOrder(std::vector<Token>& toks, const char* collation)
{
    const Significant s = significant(toks);
    for (const OrderItem& item : orderItems(toks, s)) {
        // Name or Table.Name, then nothing but asc, desc and nulls first/last.
        int nameEnd = item.first;
        if (!isName(toks[s.at[nameEnd]]))
            continue;
        if (nameEnd + 2 <= item.last && isPunct(toks[s.at[nameEnd + 1]], ".") && isName(toks[s.at[nameEnd + 2]]))
            nameEnd += 2;
        auto modifier = [&](int k) {
            for (const char* w : {"asc", "desc", "nulls", "first", "last"})
                if (isKeyword(toks[s.at[k]], w))
                    return true;
            return false;
        };
        bool plain = true;
        for (int k = nameEnd + 1; k <= item.last; ++k)
            plain = plain && modifier(k);
        if (!plain || !schema::isTextColumnName(unquoted(toks[s.at[nameEnd]])))
            continue;
        toks[s.at[nameEnd]].text += QStringLiteral(" COLLATE ") + QLatin1String(collation);
    }
}

} // namespace cvd::sql

namespace cvd {

QString translateSql(const QString& dialectSql)
{
    std::vector<sql::Token> toks = sql::tokenize(dialectSql);
    sql::qualifyAliasesInWhere(toks);
    sql::collateTextOrder(toks, sql::FileOrderCollation);
    QString out;
    out.reserve(dialectSql.size() + 16);
    for (const auto& t : toks)
        out += t.text;
    return out;
}

} // namespace cvd
