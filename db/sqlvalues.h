#pragma once
// Field values between SQLite's storage and the program's Value: a column's
// declared type decides how a stored value reads and how an assigned value
// is converted before it is written.
#include "db/value.h"

struct sqlite3_stmt;

namespace cvd::sql {

enum class ColType { Unknown, Long, Single, Double, Currency, Date, Boolean, Text };

struct ColumnType {
    ColType type = ColType::Unknown;
    int maxLength = 0; // VARCHAR(n): n; otherwise 0 (no limit)
};

// The type a declared column type names (INTEGER, LONG, SINGLE, DOUBLE,
// CURRENCY, DATE, YESNO, VARCHAR(n), LONGTEXT); Unknown for none.
ColumnType columnType(const char* declType);

// Column `i` of the current row of `stmt`, read as its type says.
Value readColumn(sqlite3_stmt* stmt, int i, ColType type);

// An assigned value converted to the column's type (13 for a text that is
// no number or date, 6 for an overflow); Null stays Null.
Value convertFor(const Value& v, ColType type);

// A column's declared default as the database writes it ("0", "'x'",
// "false", "'x'::citext"); Null for what is no plain value.
Value declaredDefault(const QString& expr);

// Binds a value (already converted) to parameter `index` (from 1).
void bindValue(sqlite3_stmt* stmt, int index, const Value& v);

} // namespace cvd::sql
