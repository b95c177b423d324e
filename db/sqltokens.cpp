// The dialect's tokenizer: texts, names and date literals kept whole, and
// the predicates and clause finders over its tokens.
#include "db/sqlparts.h"

#include "db/errors.h"

namespace cvd::sql {

namespace {

bool isWordStart(QChar c) { return c.isLetter() || c == u'_'; }
bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

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

} // namespace cvd::sql
