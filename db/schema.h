#pragma once
// The program's seven tables, described once (schema.cpp) and created either
// in a database file, cvd.mdb, or on a PostgreSQL server.
//
// In the file, column types are declared with the names the engine layer
// reads back to know a field's type:
//   INTEGER (AutoNumber key), LONG, SINGLE, DOUBLE, CURRENCY (integer count
//   of ten-thousandths), DATE (ISO text YYYY-MM-DD), YESNO (0/1),
//   VARCHAR(n) (text of at most n characters), LONGTEXT (text without limit).
// Every text column compares without regard to case.
//
// On a server the same columns are integer, real, double precision, bigint
// (ten-thousandths as in the file), date, boolean and citext COLLATE "C" (the
// case-insensitive text type, ordered as the file orders); the keys are
// identity columns.  Names are unquoted, so the server spells them in lower
// case.  Settings has a key there as well, SettingsID, as its last column.
#include <QHash>
#include <QString>
#include <QStringList>

struct sqlite3;

namespace cvd::schema {

// The seven tables every database must hold.
const QStringList& tableNames();

// The statements that create the tables and their indexes in an empty file.
const QStringList& createStatements();

// Creates the tables and the one Settings row in an open, empty database.
void createTables(sqlite3* db);

// The statements that make an empty PostgreSQL schema a database of the
// program, run in order with the schema first on the search path:
// the citext extension (when the database lacks it), the tables and their
// indexes, the one Settings row the file gets, and the table versions:
// cvd_versions(tablename, version) holds a row for each of Customers, Dept,
// Staff, Categories, Priorities and Settings (tablename in lower case), whose
// version goes up by one with every statement that changes that table; and
// last the references between the tables (db/references.h) as foreign keys.
const QStringList& serverCreateStatements();

// The statements that set each table's key sequence on a server past its
// largest key, after rows were written with keys of their own.
QStringList serverResyncStatements();

// Whether other desks follow a table's changes by its version (every table
// but Req): on a server, a write to it also writes cvd_versions.
bool isVersioned(const QString& table);

// The key column of a table as the program spells it (ReqID, ..., SettingsID
// for the server's Settings); empty for a table that is not the program's.
QString keyColumn(const QString& table);

// The type a column is declared with in the file ("VARCHAR(40)", "LONGTEXT",
// "CURRENCY", "INTEGER" for a key, SettingsID included), found without regard
// to case; empty for a column that is not the program's.
QString declaredType(const QString& table, const QString& column);

// Whether any of the program's tables has a text column of that name (in
// any case).
bool isTextColumnName(const QString& column);

// The columns of one of the tables above as the file has them, in order.
QStringList columnNames(const QString& table);

// The tables of an open file with their columns, by case-folded table
// name.  Returns SQLite's result code of the read (SQLITE_OK when read).
int readFileTables(sqlite3* db, QHash<QString, QStringList>& tables);

// What the tables of a file (as readFileTables gives them) lack of the
// program's: "the table Staff", "the column Resp of the table Req".
// Further columns of the file's own are no concern.
QStringList missingParts(const QHash<QString, QStringList>& tables);

} // namespace cvd::schema
