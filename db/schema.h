#pragma once
// The tables of cvd.mdb.  Column types are declared with the names the
// engine layer reads back to know a field's type:
//   INTEGER (AutoNumber key), LONG, SINGLE, DOUBLE, CURRENCY (integer count
//   of ten-thousandths), DATE (ISO text YYYY-MM-DD), YESNO (0/1),
//   VARCHAR(n) (text of at most n characters), LONGTEXT (text without limit).
// Every text column compares without regard to case.
#include <QHash>
#include <QString>
#include <QStringList>

struct sqlite3;

namespace cvd::schema {

// The seven tables every database file must hold.
const QStringList& tableNames();

// The statements that create the tables and their indexes in an empty file.
const QStringList& createStatements();

// Creates the tables and the one Settings row in an open, empty database.
void createTables(sqlite3* db);

// The columns of one of the tables above, in their order.
QStringList columnNames(const QString& table);

// The tables of an open file with their columns, by case-folded table
// name.  Returns SQLite's result code of the read (SQLITE_OK when read).
int readFileTables(sqlite3* db, QHash<QString, QStringList>& tables);

// What the tables of a file (as readFileTables gives them) lack of the
// program's: "the table Staff", "the column Resp of the table Req".
// Further columns of the file's own are no concern.
QStringList missingParts(const QHash<QString, QStringList>& tables);

} // namespace cvd::schema
