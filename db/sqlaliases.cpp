// The alias rule of the dialect: an unqualified name in a WHERE clause that
// a select-list alias gives to a qualified column stands for that column.
#include "db/sqlparts.h"

#include <QHash>

namespace cvd::sql {

void qualifyAliasesInWhere(std::vector<Token>& toks)
{
    const Significant s = significant(toks);
    const int n = int(s.at.size());
    const int sel = findTop(toks, s, 0, {"select"});
    if (sel < 0)
        return;
    const int from = findTop(toks, s, sel + 1, {"from"});
    if (from < 0)
        return;
    QHash<QString, QString> alias;
    int itemStart = sel + 1;
    for (int k = sel + 1; k <= from; ++k) {
        if (k < from && !(s.depth[k] == 0 && isPunct(toks[s.at[k]], ",")))
            continue;
        if (k - itemStart == 5) {
            const Token& t = toks[s.at[itemStart]];
            const Token& dot = toks[s.at[itemStart + 1]];
            const Token& c = toks[s.at[itemStart + 2]];
            const Token& as = toks[s.at[itemStart + 3]];
            const Token& a = toks[s.at[itemStart + 4]];
            if (isName(t) && isPunct(dot, ".") && isName(c) && isKeyword(as, "as") && isName(a))
                alias.insert(unquoted(a).toCaseFolded(), t.text + QLatin1Char('.') + c.text);
        }
        itemStart = k + 1;
    }
    if (alias.isEmpty())
        return;
    const int where = findTop(toks, s, from + 1, {"where"});
    if (where < 0)
        return;
    int end = findTop(toks, s, where + 1, {"order", "group", "having", "union"});
    if (end < 0)
        end = n;
    for (int k = where + 1; k < end; ++k) {
        Token& t = toks[s.at[k]];
        if (t.kind != Token::Word)
            continue;
        if (isPunct(toks[s.at[k - 1]], "."))
            continue;
        if (k + 1 < n && (isPunct(toks[s.at[k + 1]], ".") || isPunct(toks[s.at[k + 1]], "(")))
            continue;
        const auto it = alias.constFind(t.text.toCaseFolded());
        if (it != alias.constEnd())
            t.text = *it;
    }
}

} // namespace cvd::sql
