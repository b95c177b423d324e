#pragma once
// A backup of the open database: a consistent copy made through SQLite's
// online backup while the program keeps the file open, never a plain copy
// of the file's bytes.
#include <QString>
#include <functional>

namespace cvd {

class Database;

// Writes the copy to `target`, a new file (newfile.h): an existing target
// is refused (58), a folder that cannot be written too (75); a full disk
// (61) or another failure of the device (57) leaves no partial file.  The
// database is only read.  A damaged database is refused (3049): its copy
// would carry the damage.  `progress` is told the pages copied and their
// total after each step and answers false to stop; then nothing is kept
// and the result is false.
bool backupDatabase(Database& db, const QString& target,
                    const std::function<bool(qint64 done, qint64 total)>& progress = {});

} // namespace cvd
