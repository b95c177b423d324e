#pragma once
// The order of names and other texts in every list and report: the
// collation of the locale in force (db/locale.h), without regard to case,
// through ICU, so that a data file and a server give the same order.
//  - In a file, the engine registers it on its connection as "cvd_order";
//    the tables themselves declare nothing of it (the sqlite3 shell opens
//    and queries the file as ever; only the program's own queries use it).
//  - On a server, each connection makes it for its session as
//    pg_temp.cvd_order, an ICU collation of the same locale and strength.
// The dialect's translation gives the order by items that are text columns
// this collation (sqldialect.h).
#include <QString>

struct sqlite3;

namespace cvd::sql {

// The ICU language tag of the order: the locale's, case ignored
// ("en-US-u-ks-level2").
QString orderCollationTag();

// Registers "cvd_order" on a file's connection.
void registerOrderCollation(sqlite3* db);

// The statement that makes pg_temp.cvd_order on a server's connection.
QString serverOrderCollationStatement();

// The name of the collation in the SQL of each backend.
inline const char* const FileOrderCollation = "cvd_order";
inline const char* const ServerOrderCollation = "pg_temp.cvd_order";

} // namespace cvd::sql
