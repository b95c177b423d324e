#include "tools/checkdb.h"

#include "db/backup.h"
#include "db/database.h"
#include "db/filecheck.h"
#include "tools/createdb.h"

#include <QDir>
#include <QFileInfo>

namespace cvd::tools {

QStringList checkDatabase(const QString& argument)
{
    std::shared_ptr<Database> db;
    try {
        db = Database::Open(databaseLocation(argument), OpenMode::Check);
    } catch (const Error& e) {
        // What the program would refuse to open is a finding; a file that
        // is missing or in use, a server out of reach, is not checked at all.
        if (e.number() == ErrNo::NotADatabase || e.number() == ErrNo::MissingTables)
            return {e.text()};
        throw;
    }
    QStringList problems = db->isServer() ? QStringList() : integrityProblems(db->handle(), false);
    // On a server, the login's rights: what a desk does with each table.
    for (const QString& lack : db->missingRights())
        problems << QStringLiteral("The login cannot work as a desk on %1: it lacks %2.").arg(db->path(), lack);
    if (problems.isEmpty() && db->OpenRecordset(QStringLiteral("Settings"), RecordsetType::Table)->RecordCount() == 0)
        problems << QStringLiteral("The table Settings holds no record: the hourly rate, the minimum charge and the "
                                   "bill heading are missing (Calvedon adds an empty record when it starts; set them "
                                   "in File > Maintain Program Defaults).");
    return problems;
}

QString checkNote(const QString& argument)
{
    if (!QFileInfo(argument).isDir() || !QFileInfo::exists(connectionFilePath(argument))
        || !QFileInfo::exists(databasePath(argument)))
        return {};
    return QStringLiteral("%1 is not used and was not checked: %2 names the database of the folder.")
        .arg(QDir::toNativeSeparators(databasePath(argument)), QDir::toNativeSeparators(connectionFilePath(argument)));
}

QString backupDatabaseFile(const QString& argument, const QString& file)
{
    // A server is read in one snapshot, which a connection opened only to
    // check refuses; nothing is written to it either way.
    const QString location = databaseLocation(argument);
    auto db = Database::Open(location, isServerLocation(location) ? OpenMode::Work : OpenMode::Check);
    backupDatabase(*db, file);
    return db->path();
}

} // namespace cvd::tools
