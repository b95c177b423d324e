#pragma once
// The tables of cvd.mdb.  Column types are declared with the names the
// engine layer reads back to know a field's type:
//   INTEGER (AutoNumber key), LONG, SINGLE, DOUBLE, CURRENCY (integer count
//   of ten-thousandths), DATE (ISO text YYYY-MM-DD), YESNO (0/1),
//   VARCHAR(n) (text of at most n characters), LONGTEXT (text without limit).
// Every text column compares without regard to case.
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

} // namespace cvd::schema
