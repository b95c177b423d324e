#include "db/sqldialect.h"

#include "db/collation.h"
#include "db/database.h"
#include "db/datetext.h"
#include "db/errors.h"
#include "db/schema.h"

#include <QDate>
#include <QHash>
#include <sqlite3.h>

namespace cvd::sql {

namespace {

bool isWordStart(QChar c) { return c.isLetter() || c == u'_'; }
bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

// "#3/5/98#", "#03/05/1998#", "#1998-03-05#" to '1998-03-05'.
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

} // namespace

bool isKeyword(const Token& t, const char* word)
{
    return t.kind == Token::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}
bool isPunct(const Token& t, const char* p) { return t.kind == Token::Punct && t.text == QLatin1String(p); }
bool isName(const Token& t) { return t.kind == Token::Word || t.kind == Token::QuotedName; }

QString unquoted(const Token& t)
{
    if (t.kind == Token::QuotedName)
        return t.text.mid(1, t.text.size() - 2);
    return t.text;
}

Significant significant(const std::vector<Token>& toks)
{
    Significant s;
    int depth = 0;
    for (int i = 0; i < int(toks.size()); ++i) {
        if (toks[i].kind == Token::Space)
            continue;
        if (isPunct(toks[i], ")"))
            --depth;
        s.at.push_back(i);
        s.depth.push_back(depth);
        if (isPunct(toks[i], "("))
            ++depth;
    }
    return s;
}

namespace {

int findTop(const std::vector<Token>& toks, const Significant& s, int from, std::initializer_list<const char*> words)
{
    for (int k = from; k < int(s.at.size()); ++k) {
        if (s.depth[k] != 0)
            continue;
        for (const char* w : words)
            if (isKeyword(toks[s.at[k]], w))
                return k;
    }
    return -1;
}

QString joined(const std::vector<Token>& toks, int first, int last)
{
    QString out;
    for (int i = first; i < last; ++i)
        out += toks[i].text;
    return out.trimmed();
}

} // namespace

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

namespace {

// ---- like ----------------------------------------------------------------

char32_t fold(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

struct Pattern {
    std::vector<LikeElement> elems; // characters folded
};

Pattern compile(const QString& pattern)
{
    Pattern pat{parseLikePattern(pattern)};
    for (LikeElement& e : pat.elems) {
        e.ch = fold(e.ch);
        for (auto& r : e.ranges)
            r = {fold(r.first), fold(r.second)};
    }
    return pat;
}

} // namespace

std::vector<LikeElement> parseLikePattern(const QString& pattern)
{
    const QList<uint> ucs = pattern.toUcs4();
    const std::u32string p(ucs.begin(), ucs.end());
    std::vector<LikeElement> elems;
    for (size_t i = 0; i < p.size(); ++i) {
        const char32_t c = p[i];
        LikeElement e;
        if (c == U'*') {
            if (!elems.empty() && elems.back().kind == LikeElement::AnyRun)
                continue;
            e.kind = LikeElement::AnyRun;
        } else if (c == U'?') {
            e.kind = LikeElement::AnyOne;
        } else if (c == U'#') {
            e.kind = LikeElement::Digit;
        } else if (c == U'[') {
            const size_t close = p.find(U']', i + 1);
            if (close == std::u32string::npos) {
                e.ch = U'[';
            } else {
                size_t j = i + 1;
                if (j < close && p[j] == U'!') {
                    e.negated = true;
                    ++j;
                }
                if (j == close && !e.negated) { // "[]" matches the empty text
                    i = close;
                    continue;
                }
                e.kind = LikeElement::Class;
                for (; j < close; ++j) {
                    if (j + 2 < close && p[j + 1] == U'-') {
                        e.ranges.emplace_back(p[j], p[j + 2]);
                        j += 2;
                    } else {
                        e.ranges.emplace_back(p[j], p[j]);
                    }
                }
                i = close;
            }
        } else {
            e.ch = c;
        }
        elems.push_back(std::move(e));
    }
    return elems;
}

namespace {

bool matchOne(const LikeElement& e, char32_t c)
{
    switch (e.kind) {
    case LikeElement::Literal: return e.ch == c;
    case LikeElement::AnyOne: return true;
    case LikeElement::Digit: return c >= U'0' && c <= U'9';
    case LikeElement::Class: {
        bool in = false;
        for (const auto& r : e.ranges)
            if (c >= r.first && c <= r.second) {
                in = true;
                break;
            }
        return in != e.negated;
    }
    case LikeElement::AnyRun: break;
    }
    return false;
}

// `value` holds folded characters.
bool matches(const Pattern& pat, const char32_t* v, size_t n)
{
    const auto& el = pat.elems;
    const size_t m = el.size();
    size_t p = 0, i = 0;
    size_t starP = size_t(-1), starI = 0;
    while (i < n) {
        if (p < m && el[p].kind == LikeElement::AnyRun) {
            starP = p++;
            starI = i;
        } else if (p < m && matchOne(el[p], v[i])) {
            ++p;
            ++i;
        } else if (starP != size_t(-1)) {
            p = starP + 1;
            i = ++starI;
        } else {
            return false;
        }
    }
    while (p < m && el[p].kind == LikeElement::AnyRun)
        ++p;
    return p == m;
}

// Decodes UTF-8 into folded characters.
void decodeFolded(const unsigned char* s, int len, std::u32string& out)
{
    out.clear();
    for (int i = 0; i < len;) {
        unsigned char b = s[i];
        char32_t c;
        int extra;
        if (b < 0x80) {
            out.push_back((b >= 'A' && b <= 'Z') ? b + 32 : b);
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F, extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F, extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07, extra = 3;
        } else {
            c = 0xFFFD, extra = 0;
        }
        ++i;
        for (int k = 0; k < extra && i < len; ++k, ++i)
            c = (c << 6) | (s[i] & 0x3F);
        out.push_back(fold(c));
    }
}

void likeFunction(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    auto* pat = static_cast<Pattern*>(sqlite3_get_auxdata(ctx, 0));
    const bool fresh = pat == nullptr;
    if (fresh) {
        const auto* p = sqlite3_value_text(argv[0]);
        const int plen = sqlite3_value_bytes(argv[0]);
        pat = new Pattern(compile(QString::fromUtf8(reinterpret_cast<const char*>(p), plen)));
    }
    thread_local std::u32string buf;
    const auto* v = sqlite3_value_text(argv[1]);
    decodeFolded(v, sqlite3_value_bytes(argv[1]), buf);
    sqlite3_result_int(ctx, matches(*pat, buf.data(), buf.size()) ? 1 : 0);
    if (fresh)
        sqlite3_set_auxdata(ctx, 0, pat, [](void* p) { delete static_cast<Pattern*>(p); });
}

} // namespace

std::vector<Token> tokenize(const QString& sql, DoubleQuotes doubleQuotes)
{
    std::vector<Token> out;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        const qsizetype start = i;
        if (c.isSpace()) {
            while (i < n && sql[i].isSpace())
                ++i;
            out.push_back({Token::Space, sql.mid(start, i - start)});
        } else if (c == u'\'') {
            ++i;
            while (i < n) {
                if (sql[i] == u'\'') {
                    if (i + 1 < n && sql[i + 1] == u'\'') {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            out.push_back({Token::String, sql.mid(start, i - start)});
        } else if (c == u'"' && doubleQuotes == DoubleQuotes::Name) {
            ++i;
            while (i < n) {
                if (sql[i] == u'"' && !(i + 1 < n && sql[i + 1] == u'"')) {
                    ++i;
                    break;
                }
                i += sql[i] == u'"' ? 2 : 1;
            }
            out.push_back({Token::QuotedName, sql.mid(start, i - start)});
        } else if (c == u'"') {
            // A text literal between double quotes, as a single-quoted one.
            ++i;
            QString body;
            while (i < n) {
                if (sql[i] == u'"') {
                    if (i + 1 < n && sql[i + 1] == u'"') {
                        body += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                body += sql[i++];
            }
            body.replace(QLatin1String("'"), QLatin1String("''"));
            out.push_back({Token::String, QLatin1Char('\'') + body + QLatin1Char('\'')});
        } else if (c == u'[' || c == u'`') {
            const QChar close = c == u'[' ? u']' : u'`';
            ++i;
            while (i < n && sql[i] != close)
                ++i;
            if (i < n)
                ++i;
            out.push_back({Token::QuotedName, sql.mid(start, i - start)});
        } else if (c == u'#') {
            const qsizetype close = sql.indexOf(u'#', i + 1);
            if (close < 0) {
                ++i;
                out.push_back({Token::Punct, QStringLiteral("#")});
            } else {
                i = close + 1;
                out.push_back({Token::DateLit, dateLiteral(sql.mid(start, i - start))});
            }
        } else if (isWordStart(c)) {
            while (i < n && isWordChar(sql[i]))
                ++i;
            out.push_back({Token::Word, sql.mid(start, i - start)});
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql[i + 1].isDigit())) {
            while (i < n && (sql[i].isDigit() || sql[i] == u'.'))
                ++i;
            if (i < n && (sql[i] == u'e' || sql[i] == u'E')) {
                qsizetype j = i + 1;
                if (j < n && (sql[j] == u'+' || sql[j] == u'-'))
                    ++j;
                if (j < n && sql[j].isDigit()) {
                    i = j;
                    while (i < n && sql[i].isDigit())
                        ++i;
                }
            }
            out.push_back({Token::Number, sql.mid(start, i - start)});
        } else {
            static const char* const twoChar[] = {"<=", ">=", "<>", "!=", "==", "||"};
            int len = 1;
            for (const char* t : twoChar)
                if (i + 1 < n && sql[i] == QLatin1Char(t[0]) && sql[i + 1] == QLatin1Char(t[1]))
                    len = 2;
            i += len;
            out.push_back({Token::Punct, sql.mid(start, len)});
        }
    }
    return out;
}

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

bool likeMatches(const QString& pattern, const QString& value)
{
    const Pattern pat = compile(pattern);
    const QByteArray utf8 = value.toUtf8();
    std::u32string v;
    decodeFolded(reinterpret_cast<const unsigned char*>(utf8.constData()), int(utf8.size()), v);
    return matches(pat, v.data(), v.size());
}

void registerFunctions(sqlite3* db)
{
    sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &likeFunction, nullptr,
                               nullptr, nullptr);
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
