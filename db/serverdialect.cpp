#include "db/serverdialect.h"

#include "db/collation.h"
#include "db/errors.h"
#include "db/sqldialect.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace cvd::sql {

namespace {

// The collation under which `like` folds case: the server's text columns
// fold ASCII letters only ("C"); ICU's root collation folds all of Unicode.
const QLatin1String FoldingCollation("COLLATE \"und-x-icu\"");

QString quotedText(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

// [Name] or `Name` as "name".
QString serverName(const Token& t)
{
    const QChar close = t.text.front() == u'[' ? u']' : u'`';
    if (t.text.size() < 2 || t.text.back() != close)
        raise(ErrNo::SqlError, QStringLiteral("Unclosed name in query expression '%1'.").arg(t.text));
    QString name = serverFolded(unquoted(t));
    name.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + name + QLatin1Char('"');
}

// ---- like ----------------------------------------------------------------

void appendChar(QString& out, char32_t c) { out += QString::fromUcs4(&c, 1); }

// A class of one character ([#], [*], [[]) is that character; [!] is any one.
LikeElement simplified(const LikeElement& e)
{
    if (e.kind != LikeElement::Class)
        return e;
    LikeElement s;
    if (e.negated && e.ranges.empty())
        s.kind = LikeElement::AnyOne;
    else if (!e.negated && e.ranges.size() == 1 && e.ranges[0].first == e.ranges[0].second)
        s.ch = e.ranges[0].first;
    else
        return e;
    return s;
}

bool plainWildcards(const std::vector<LikeElement>& elems)
{
    for (const LikeElement& e : elems)
        if (e.kind == LikeElement::Digit || e.kind == LikeElement::Class)
            return false;
    return true;
}

// The ILIKE pattern: * as %, ? as _, and %, _, \ taken literally.
QString ilikePattern(const std::vector<LikeElement>& elems)
{
    QString out;
    for (const LikeElement& e : elems) {
        if (e.kind == LikeElement::AnyRun) {
            out += u'%';
        } else if (e.kind == LikeElement::AnyOne) {
            out += u'_';
        } else {
            if (e.ch == U'%' || e.ch == U'_' || e.ch == U'\\')
                out += u'\\';
            appendChar(out, e.ch);
        }
    }
    return out;
}

void appendRegexChar(QString& out, char32_t c, const char* special)
{
    if (c < 0x80 && std::strchr(special, char(c)))
        out += u'\\';
    appendChar(out, c);
}

// In a bracket expression every ASCII character that is not a letter or a
// digit goes escaped (] ^ - \ and [ have meanings there).
void appendClassChar(QString& out, char32_t c)
{
    const bool plain = c >= 0x80 || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!plain)
        out += u'\\';
    appendChar(out, c);
}

// The anchored regular expression: * as .* and ? as . (both across line
// breaks), # as [0-9], [!..] as [^..].  A range's ends are folded, as the
// file's matcher folds them ([A-z] is a to z, not the punctuation between).
QString regexPattern(const std::vector<LikeElement>& elems)
{
    QString out = QStringLiteral("(?s)^");
    for (const LikeElement& e : elems) {
        switch (e.kind) {
        case LikeElement::AnyRun: out += QLatin1String(".*"); break;
        case LikeElement::AnyOne: out += u'.'; break;
        case LikeElement::Digit: out += QLatin1String("[0-9]"); break;
        case LikeElement::Literal: appendRegexChar(out, e.ch, "\\^$.|?*+()[]{}"); break;
        case LikeElement::Class:
            out += e.negated ? QLatin1String("[^") : QLatin1String("[");
            for (const auto& [first, last] : e.ranges) {
                if (first == last) {
                    appendClassChar(out, first);
                } else {
                    appendClassChar(out, QChar::toCaseFolded(first));
                    out += u'-';
                    appendClassChar(out, QChar::toCaseFolded(last));
                }
            }
            out += u']';
            break;
        }
    }
    return out + u'$';
}

// Words that end an operand rather than being one (or naming a function).
bool isClauseWord(const Token& t)
{
    static const char* const words[] = {"and",  "or",   "not",    "where", "on",   "having", "when",
                                        "then", "else", "select", "by",    "like", "in",     "is",
                                        "between", "case", "set", "values", "exists", "from", "escape"};
    for (const char* w : words)
        if (isKeyword(t, w))
            return true;
    return false;
}

// The first significant token of the operand that ends at `last`; -1 when
// it is none of a name, T.C, a literal, f(...) or (...).
int operandStart(const std::vector<Token>& toks, const Significant& s, int last)
{
    if (last < 0)
        return -1;
    const Token& t = toks[s.at[last]];
    if (t.kind == Token::String || t.kind == Token::Number || t.kind == Token::DateLit)
        return last;
    if (isName(t)) {
        if (isClauseWord(t))
            return -1;
        int k = last;
        while (k >= 2 && isPunct(toks[s.at[k - 1]], ".") && isName(toks[s.at[k - 2]]))
            k -= 2;
        return k;
    }
    if (!isPunct(t, ")"))
        return -1;
    int k = last - 1;
    while (k >= 0 && !(s.depth[k] == s.depth[last] && isPunct(toks[s.at[k]], "(")))
        --k;
    if (k < 0)
        return -1;
    if (k >= 1 && toks[s.at[k - 1]].kind == Token::Word && !isClauseWord(toks[s.at[k - 1]]))
        --k;
    return k;
}

// The body of a quoted literal, or nothing when the token is not one.
std::optional<QString> literalBody(const Token& t)
{
    if (t.kind != Token::String || t.text.size() < 2 || !t.text.endsWith(u'\''))
        return std::nullopt;
    return t.text.mid(1, t.text.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
}

// Whether the pattern literal is followed by more of an expression.
bool continuesExpression(const std::vector<Token>& toks, const Significant& s, int k)
{
    if (k >= int(s.at.size()))
        return false;
    const Token& t = toks[s.at[k]];
    static const char* const ops[] = {"||", "+", "-", "*", "/", "&", "%"};
    for (const char* op : ops)
        if (isPunct(t, op))
            return true;
    return isKeyword(t, "escape");
}

// The like condition around the keyword at `k`, as written.
[[noreturn]] void likeError(const std::vector<Token>& toks, const Significant& s, int k)
{
    QString text;
    for (int i = s.at[std::max(k - 1, 0)]; i <= s.at[std::min(k + 1, int(s.at.size()) - 1)]; ++i)
        text += toks[i].text;
    raise(ErrNo::SqlError, QStringLiteral("A like condition needs a pattern in quotes after a name or a value, "
                                          "in query expression '%1'.")
                               .arg(text));
}

void rewriteLikes(std::vector<Token>& toks)
{
    const Significant s = significant(toks);
    const int n = int(s.at.size());
    for (int k = 0; k < n; ++k) {
        if (!isKeyword(toks[s.at[k]], "like"))
            continue;
        const bool negated = k >= 1 && isKeyword(toks[s.at[k - 1]], "not");
        const int operandEnd = negated ? k - 2 : k - 1;
        const int first = operandStart(toks, s, operandEnd);
        const std::optional<QString> body = k + 1 < n ? literalBody(toks[s.at[k + 1]]) : std::nullopt;
        if (first < 0 || !body || continuesExpression(toks, s, k + 2))
            likeError(toks, s, k);
        std::vector<LikeElement> elems = parseLikePattern(*body);
        for (LikeElement& e : elems)
            e = simplified(e);
        QString operand;
        for (int i = s.at[first]; i <= s.at[operandEnd]; ++i)
            operand += toks[i].text;
        QString text = QLatin1Char('(') + operand + QLatin1String("::text ") + FoldingCollation + QLatin1String(") ");
        if (plainWildcards(elems))
            text += (negated ? QLatin1String("NOT ILIKE ") : QLatin1String("ILIKE ")) + quotedText(ilikePattern(elems));
        else
            text += (negated ? QLatin1String("!~* ") : QLatin1String("~* ")) + quotedText(regexPattern(elems));
        toks[s.at[first]] = {Token::Word, text};
        for (int i = s.at[first] + 1; i <= s.at[k + 1]; ++i)
            toks[i] = {Token::Space, QString()};
    }
}

// ---- order by --------------------------------------------------------------

// NULLS FIRST after an ascending item and NULLS LAST after a descending one
// of every ORDER BY at the top level (not in parentheses).
void placeNulls(std::vector<Token>& toks)
{
    const Significant s = significant(toks);
    for (const OrderItem& item : orderItems(toks, s)) {
        bool saysNulls = false;
        for (int k = item.first; k <= item.last; ++k)
            saysNulls = saysNulls || (s.depth[k] == 0 && isKeyword(toks[s.at[k]], "nulls"));
        if (saysNulls)
            continue;
        Token& last = toks[s.at[item.last]];
        last.text += isKeyword(last, "desc") ? QLatin1String(" NULLS LAST") : QLatin1String(" NULLS FIRST");
    }
}

} // namespace

QString serverFolded(const QString& name)
{
    QString out = name;
    for (QChar& c : out)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    return out;
}

QString translateForServer(const QString& dialectSql)
{
    std::vector<Token> toks = tokenize(dialectSql);
    for (Token& t : toks) {
        if (t.kind == Token::QuotedName)
            t.text = serverName(t);
        else if (t.kind == Token::DateLit)
            t.text = QLatin1String("DATE ") + t.text;
    }
    qualifyAliasesInWhere(toks);
    rewriteLikes(toks);
    collateTextOrder(toks, ServerOrderCollation);
    placeNulls(toks);
    QString out;
    out.reserve(dialectSql.size() + 32);
    for (const Token& t : toks)
        out += t.text;
    return out;
}

bool lastOrderItemDescending(const QString& orderByClause)
{
    const std::vector<Token> toks = tokenize(orderByClause);
    const Significant s = significant(toks);
    bool descending = false;
    for (int k = 0; k < int(s.at.size()); ++k) {
        const Token& t = toks[s.at[k]];
        if (s.depth[k] != 0)
            continue;
        if (isPunct(t, ",") || isKeyword(t, "asc"))
            descending = false;
        else if (isKeyword(t, "desc"))
            descending = true;
    }
    return descending;
}

QString appendKeyOrder(const QString& orderByClause, const QString& key)
{
    const QString clause = orderByClause.trimmed();
    if (clause.isEmpty())
        return key;
    return clause + QLatin1String(", ") + key + (lastOrderItemDescending(clause) ? QLatin1String(" desc") : QString());
}

QHash<QString, QString> nameSpellings(const QString& dialectSql)
{
    QHash<QString, QString> spellings;
    for (const Token& t : tokenize(dialectSql)) {
        if (!isName(t))
            continue;
        const QString name = unquoted(t);
        const QString key = serverFolded(name);
        if (!spellings.contains(key))
            spellings.insert(key, name);
    }
    return spellings;
}

} // namespace cvd::sql
