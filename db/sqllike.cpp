// The dialect's `like`: its patterns read, and matched as the file's
// SQL function and for the engine's own finding.
#include "db/sqldialect.h"

#include <QList>
#include <QString>
#include <sqlite3.h>

namespace cvd::sql {

namespace {

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
