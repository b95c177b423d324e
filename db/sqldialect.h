#pragma once
// The program's SQL dialect and its translation for SQLite: a small
// tokenizer that keeps quoted texts intact, date literals between '#',
// unqualified names in a WHERE clause that stand for a select-list alias,
// and the `like` operator with its wildcards (* ? # [..] [!..]).  The
// server's translation (db/serverdialect.h) builds on the same pieces.
#include <QString>
#include <optional>
#include <vector>

struct sqlite3;

namespace cvd::sql {

struct Token {
    enum Kind { Space, Word, QuotedName, String, Number, DateLit, Punct };
    Kind kind;
    QString text; // as SQLite is to see it (date literals already converted)
};

// Splits a text into tokens; date literals become ISO text literals.
// Error 3001 for a date literal that is no date.  In the program's dialect
// a text between double quotes is a text literal; in a text already
// translated for a backend it is a name ("custid", COLLATE "und-x-icu"),
// and stays as it is.
enum class DoubleQuotes { Text, Name };
std::vector<Token> tokenize(const QString& sql, DoubleQuotes doubleQuotes = DoubleQuotes::Text);

// Whether a token is the word `word` (any case), the punctuation `p`, a name.
bool isKeyword(const Token& t, const char* word);
bool isPunct(const Token& t, const char* p);
bool isName(const Token& t);
// A name without its brackets or backquotes.
QString unquoted(const Token& t);

// The tokens that are not blanks, with their parenthesis depth.
struct Significant {
    std::vector<int> at;    // index into the token list
    std::vector<int> depth; // depth before the token (a ")" has its "("'s)
};
Significant significant(const std::vector<Token>& toks);

// An unqualified name in the WHERE clause that equals a select-list alias
// of a qualified column ("Req.CustID as CustID") is given that column.
void qualifyAliasesInWhere(std::vector<Token>& toks);

// The items of every ORDER BY at the top level (not in parentheses): the
// first and the last of their significant tokens.
struct OrderItem {
    int first, last;
};
std::vector<OrderItem> orderItems(const std::vector<Token>& toks, const Significant& s);

// Each ORDER BY item that is a text column of the program's tables (Name or
// Table.Name) is ordered by `collation` (db/collation.h): names and
// descriptions in the order of the locale.
void collateTextOrder(std::vector<Token>& toks, const char* collation);

// One element of a `like` pattern, its characters as written.
struct LikeElement {
    enum Kind { Literal, AnyRun, AnyOne, Digit, Class } kind = Literal;
    char32_t ch = 0;                                  // Literal
    bool negated = false;                             // Class: [!..]
    std::vector<std::pair<char32_t, char32_t>> ranges; // Class: [a-c] as (a, c), [x] as (x, x)
};
// A pattern read as the matcher reads it: a run of "*" is one, "[]" matches
// the empty text (so it is left out), a "[" without a "]" is a character.
std::vector<LikeElement> parseLikePattern(const QString& pattern);

// A query over one table whose rows can be told apart by rowid:
// select <columns> from <table> [where <where>] [order by <orderBy>].
struct SimpleSelect {
    QString columns;
    QString table;
    QString where;
    QString orderBy;
};
// Recognises a translated text of that shape (no joins, groups or functions
// in the select list).
std::optional<SimpleSelect> parseSimpleSelect(const QString& translatedSql);

// Whether `value` matches the `like` pattern (case-insensitive, with the
// wildcards * any run, ? one character, # one digit, [abc], [a-z], [!abc]).
bool likeMatches(const QString& pattern, const QString& value);

// Registers the dialect's own SQL functions (like) on a connection.
void registerFunctions(sqlite3* db);

} // namespace cvd::sql
