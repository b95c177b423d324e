#pragma once
// cvdtool check and cvdtool backup: what is wrong with a data file, and a
// consistent copy of it.  Both are refused (3045) while Calvedon has the
// file open, and neither writes to it.
#include <QString>
#include <QStringList>

namespace cvd::tools {

// Everything wrong with FOLDER/cvd.mdb: a file that is not a database, a
// table or column of the program's that it lacks, each finding of SQLite's
// full integrity check, a missing Settings record.  Empty when the file is
// sound.  Throws cvd::Error for a missing file (3024) or one in use (3045).
QStringList checkDatabase(const QString& folder);

// Copies FOLDER/cvd.mdb into FILE through the online backup (never a copy
// of the bytes of the file): refused when FILE exists, when its folder
// cannot be written, and for a damaged database; a full disk leaves no
// partial FILE.  Throws cvd::Error naming the file.
void backupDatabaseFile(const QString& folder, const QString& file);

} // namespace cvd::tools
