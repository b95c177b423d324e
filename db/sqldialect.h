#pragma once
// The program's SQL dialect and its translation for SQLite: a small
// tokenizer that keeps quoted texts intact, date literals between '#',
// unqualified names in a WHERE clause that stand for a select-list alias,
// and the `like` operator with its wildcards (* ? # [..] [!..]).
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
// Error 3001 for a date literal that is no date.
std::vector<Token> tokenize(const QString& sql);

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
