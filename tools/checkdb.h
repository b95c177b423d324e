#pragma once
// cvdtool check and cvdtool backup: what is wrong with a database, and a
// consistent copy of it in a new file.  Neither writes to the database; on
// a file both are refused (3045) while Calvedon has it open.
//
// Their argument names the database as databaseLocation() reads it: a
// folder (its cvd.conn, or else its cvd.mdb), a *.mdb or *.conn file, or a
// connection string.
#include <QString>
#include <QStringList>

namespace cvd::tools {

// Everything wrong with the database: a file that is not a database, a
// table or column of the program's that it lacks, each finding of SQLite's
// full integrity check (a file only: a server keeps its own structure),
// on a server each right a desk needs that the login lacks (to read and
// write every table, to take new keys), a missing Settings record.  Empty when it is sound.  Throws cvd::Error
// for a missing file (3024) or one in use (3045), a server that cannot be
// reached (3151) or refuses the login (3029).
QStringList checkDatabase(const QString& argument);

// A note on what the check did not look at: a cvd.mdb beside the cvd.conn
// that names the folder's database.  Empty when there is nothing to say.
QString checkNote(const QString& argument);

// Copies the database into FILE, a new data file: a file through the
// online backup (never a copy of its bytes), a server's records read in one
// snapshot.  Refused when FILE exists, when its folder cannot be written,
// and for a damaged file; a full disk leaves no partial FILE.  Throws
// cvd::Error naming the file.  Returns the database's name.
QString backupDatabaseFile(const QString& argument, const QString& file);

} // namespace cvd::tools
