#pragma once
// A backup of the open database into a new file, never a plain copy of the
// file's bytes: a file through SQLite's online backup while the program
// keeps it open; a server's records read in one snapshot and written
// through the engine into a new data file, then read back and compared.
#include <QString>
#include <functional>

namespace cvd {

class Database;

// Writes the copy to `target`, a new file (newfile.h): an existing target
// is refused (58), a folder that cannot be written too (75); a full disk
// (61) or another failure of the device (57) leaves no partial file.  The
// database is only read.  A damaged database is refused (3049): its copy
// would carry the damage.  `progress` is told what was copied and its total
// (pages of a file, records of a server) and answers false to stop; then
// nothing is kept and the result is false.  A server's backup is a data
// file, cvd.mdb's kind, that holds every record with its key.
bool backupDatabase(Database& db, const QString& target,
                    const std::function<bool(qint64 done, qint64 total)>& progress = {});

} // namespace cvd
