#include "db/createdb.h"

#include "db/errors.h"
#include "db/schema.h"

#include <QDir>
#include <QFileInfo>

namespace cvd {

QString databasePath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("cvd.mdb"));
}

QString createDatabase(const QString& folder, const std::function<void(sqlite3*)>& fill)
{
    const QString target = databasePath(folder);
    if (QFileInfo(folder).exists() && !QFileInfo(folder).isDir())
        raise(ErrNo::PathAccess, QStringLiteral("Cannot create %1: %2 is not a folder.").arg(target, folder));
    if (!QDir().mkpath(folder))
        raise(ErrNo::PathAccess, QStringLiteral("Cannot create the folder %1 for %2.").arg(folder, target));
    return createDatabaseFile(target, fill);
}

QString createDatabaseFile(const QString& path, const std::function<void(sqlite3*)>& fill)
{
    NewDatabaseFile file(path);
    try {
        execSql(file.db(), "PRAGMA cache_size=-131072");
        execSql(file.db(), "BEGIN");
        schema::createTables(file.db());
        if (fill)
            fill(file.db());
        execSql(file.db(), "COMMIT");
    } catch (const Error& e) {
        raise(e.number(), QStringLiteral("Cannot create %1: %2").arg(path, e.text()));
    }
    return file.finish();
}

} // namespace cvd
