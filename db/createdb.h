#pragma once
// Making a new data file: the folder is created when missing, the file is
// built under a temporary name beside its final place and moved there only
// when complete (db/newfile.h), so a failed run leaves no file behind and
// an existing file is never touched.  `cvdtool create` and the program's
// first start make their files here.
#include "db/newfile.h"

#include <QString>
#include <functional>

struct sqlite3;

namespace cvd {

// FOLDER/cvd.mdb
QString databasePath(const QString& folder);

// Writes FOLDER/cvd.mdb with the program's tables and its one Settings row,
// then runs `fill` (when given) inside the same transaction to add records.
// Refuses (58) when the file exists.  Throws cvd::Error naming the path; on
// any failure nothing is left behind.  Returns the file's path.
QString createDatabase(const QString& folder, const std::function<void(sqlite3*)>& fill = {});

// The same for a file of any name in an existing folder.
QString createDatabaseFile(const QString& path, const std::function<void(sqlite3*)>& fill = {});

} // namespace cvd
