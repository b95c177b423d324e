// A query over one table recognised in a translated text, so that its rows
// can be read by their keys.
#include "db/sqlparts.h"

namespace cvd::sql {

std::optional<SimpleSelect> parseSimpleSelect(const QString& translatedSql)
{
    const std::vector<Token> toks = tokenize(translatedSql, DoubleQuotes::Name);
    const Significant s = significant(toks);
    const int n = int(s.at.size());
    if (n < 4 || !isKeyword(toks[s.at[0]], "select"))
        return std::nullopt;
    if (isKeyword(toks[s.at[1]], "distinct") || isKeyword(toks[s.at[1]], "top") || isKeyword(toks[s.at[1]], "all"))
        return std::nullopt;
    const int from = findTop(toks, s, 1, {"from"});
    if (from < 2 || from + 1 >= n)
        return std::nullopt;
    for (int k = 1; k < from; ++k)
        if (isPunct(toks[s.at[k]], "("))
            return std::nullopt; // functions or expressions over several rows
    const Token& table = toks[s.at[from + 1]];
    if (!isName(table))
        return std::nullopt;
    SimpleSelect out;
    out.columns = joined(toks, s.at[1], s.at[from]);
    out.table = table.text;
    int k = from + 2;
    if (k == n)
        return out;
    int orderAt = -1;
    if (isKeyword(toks[s.at[k]], "where")) {
        orderAt = findTop(toks, s, k + 1, {"order"});
        if (findTop(toks, s, k + 1, {"group", "having", "union", "limit", "intersect", "except"}) >= 0)
            return std::nullopt;
        const int whereEnd = orderAt < 0 ? int(toks.size()) : s.at[orderAt];
        if (k + 1 >= n || (orderAt >= 0 && orderAt == k + 1))
            return std::nullopt;
        out.where = joined(toks, s.at[k + 1], whereEnd);
    } else if (isKeyword(toks[s.at[k]], "order")) {
        orderAt = k;
    } else {
        return std::nullopt;
    }
    if (orderAt >= 0) {
        if (orderAt + 2 >= n || !isKeyword(toks[s.at[orderAt + 1]], "by"))
            return std::nullopt;
        if (findTop(toks, s, orderAt + 2, {"limit", "union", "group", "having"}) >= 0)
            return std::nullopt;
        out.orderBy = joined(toks, s.at[orderAt + 2], int(toks.size()));
    }
    return out;
}

} // namespace cvd::sql
