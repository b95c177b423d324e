#pragma once
// Making a new database file: the folder is created when missing, the file
// is built under a temporary name beside its final place and moved there
// only when complete, so a failed run leaves no file behind and an existing
// file is never touched.
#include <QString>
#include <functional>

struct sqlite3;

namespace cvd::tools {

// Numbers of the errors the tool raises itself (as cvd::Error).
namespace ToolErr {
constexpr int FileExists = 58;   // the database file is already there
constexpr int PathAccess = 75;   // the folder or file cannot be made or written
}

// FOLDER/cvd.mdb
QString databasePath(const QString& folder);

// Writes FOLDER/cvd.mdb with the program's tables and its one Settings row,
// then runs `fill` (when given) inside the same transaction to add records.
// Refuses (FileExists) when the file exists.  Throws cvd::Error naming the
// path; on any failure nothing is left behind.  Returns the file's path.
QString createDatabase(const QString& folder, const std::function<void(sqlite3*)>& fill = {});

// Runs one SQL statement without rows on a file being built; throws
// cvd::Error with SQLite's message.
void execSql(sqlite3* db, const char* sql);

} // namespace cvd::tools
