#pragma once
// Making a new database, and finding the database of a data folder.
//
// A data folder holds its database as a file, cvd.mdb, or names the
// PostgreSQL server that holds it in cvd.conn (one line: a connection
// string or URI, such as postgresql://helpdesk@dbhost/calvedon).
//
// A new file is built under a temporary name beside its final place and
// moved there only when complete (db/newfile.h), so a failed run leaves no
// file behind and an existing file is never touched.  On a server the
// program's tables are made in a database (or schema) that holds none of
// them, and taken away again when the run fails.  `cvdtool create`,
// `cvdtool demo`, `cvdtool copy` and the program's first start make their
// databases here.
#include "db/newfile.h"

#include <QString>
#include <functional>

struct sqlite3;

namespace cvd {

class Database;

// FOLDER/cvd.mdb
QString databasePath(const QString& folder);
// FOLDER/cvd.conn
QString connectionFilePath(const QString& folder);

// The database of a data folder: FOLDER/cvd.conn when the folder holds one
// (it wins: a cvd.mdb beside it is the file from before the move to the
// server, and is ignored), otherwise FOLDER/cvd.mdb.
QString locateDatabase(const QString& folder);

// Whether a location names a server: a *.conn file, or a connection string
// or URI.
bool isServerLocation(const QString& location);

// The database an argument of cvdtool names: a connection string or URI as
// it is, a folder's database (locateDatabase), any other path (a *.mdb or
// *.conn file) as it is.
QString databaseLocation(const QString& argument);

// Writes FOLDER/cvd.mdb with the program's tables and its one Settings row,
// then runs `fill` (when given) inside the same transaction to add records.
// Refuses (58) when the file exists.  Throws cvd::Error naming the path; on
// any failure nothing is left behind.  Returns the file's path.
QString createDatabase(const QString& folder, const std::function<void(sqlite3*)>& fill = {});

// The same for a file of any name in an existing folder.
QString createDatabaseFile(const QString& path, const std::function<void(sqlite3*)>& fill = {});

// A fill that writes through the engine (Database::loader and record
// sets), so that the same code fills a new file or a new server database.
using DatabaseFill = std::function<void(Database&)>;

// As above, with the fill run on the new file opened as a Database (its
// Settings row already there); everything the fill writes goes into the
// file before it takes its name.
QString createDatabase(const QString& folder, const DatabaseFill& fill);
QString createDatabaseFile(const QString& path, const DatabaseFill& fill);

// Makes the program's tables, its Settings row and the table versions on
// a server, in one transaction, then opens the database and runs `fill`
// there, and finally sets every AutoNumber past the largest key written.
// `location` is a cvd.conn file or a connection string; a password in it
// is refused (3151).  Refused (58) when the database already holds any of
// the program's tables; 3151 and 3029 as Database::Open gives them.  When
// the fill fails, the tables made are dropped again, so that the run can
// be repeated.  Returns the server as Database::path() names it.
QString createServerDatabase(const QString& location, const DatabaseFill& fill = {});

// What `cvdtool create` and `cvdtool demo` make from their argument: on
// the server it names (a connection string or URI, a *.conn file, or a
// folder holding cvd.conn), or else FOLDER/cvd.mdb, the folder made when
// missing.  Returns the file's path or the server's name.
QString createDatabaseAt(const QString& argument, const DatabaseFill& fill = {});

} // namespace cvd
