#include "tools/checkdb.h"

#include "db/backup.h"
#include "db/database.h"
#include "db/filecheck.h"
#include "tools/createdb.h"

#include <sqlite3.h>

namespace cvd::tools {

QStringList checkDatabase(const QString& folder)
{
    std::shared_ptr<Database> db;
    try {
        db = Database::Open(databasePath(folder), OpenMode::Check);
    } catch (const Error& e) {
        // What the program would refuse to open is a finding; a file that
        // is missing or in use is not checked at all.
        if (e.number() == ErrNo::NotADatabase || e.number() == ErrNo::MissingTables)
            return {e.text()};
        throw;
    }
    QStringList problems = integrityProblems(db->handle(), false);
    if (problems.isEmpty() && db->OpenRecordset(QStringLiteral("Settings"), RecordsetType::Table)->RecordCount() == 0)
        problems << QStringLiteral("The table Settings holds no record: the hourly rate, the minimum charge and the "
                                   "bill heading are missing (Calvedon adds an empty record when it starts; set them "
                                   "in File > Maintain Program Defaults).");
    return problems;
}

void backupDatabaseFile(const QString& folder, const QString& file)
{
    auto db = Database::Open(databasePath(folder), OpenMode::Check);
    backupDatabase(*db, file);
}

} // namespace cvd::tools
