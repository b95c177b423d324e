#include "db/createdb.h"

#include "db/backend.h"
#include "db/database.h"
#include "db/errors.h"
#include "db/schema.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>

namespace cvd {

namespace {

// The folder of a new FOLDER/cvd.mdb, made when missing.
void makeFolder(const QString& folder, const QString& target)
{
    if (QFileInfo(folder).exists() && !QFileInfo(folder).isDir())
        raise(ErrNo::PathAccess, QStringLiteral("Cannot create %1: %2 is not a folder.").arg(target, folder));
    if (!QDir().mkpath(folder))
        raise(ErrNo::PathAccess, QStringLiteral("Cannot create the folder %1 for %2.").arg(folder, target));
}

// The tables and the Settings row in a new file, then `fill` in the same
// transaction or after it.
QString buildFile(const QString& path, const std::function<void(NewDatabaseFile&)>& fill)
{
    NewDatabaseFile file(path);
    try {
        execSql(file.db(), "PRAGMA cache_size=-131072");
        execSql(file.db(), "BEGIN");
        schema::createTables(file.db());
        fill(file);
    } catch (const Error& e) {
        raise(e.number(), QStringLiteral("Cannot create %1: %2").arg(path, e.text()));
    }
    return file.finish();
}

// A file in a folder; a folder that ends in '/' (the program's DataPath)
// is taken as it is written.
QString inFolder(const QString& folder, const QString& name)
{
    return folder.endsWith(u'/') ? folder + name : QDir(folder).filePath(name);
}

} // namespace

QString databasePath(const QString& folder) { return inFolder(folder, QStringLiteral("cvd.mdb")); }

QString connectionFilePath(const QString& folder) { return inFolder(folder, QStringLiteral("cvd.conn")); }

QString locateDatabase(const QString& folder)
{
    const QString conn = connectionFilePath(folder);
    return QFileInfo::exists(conn) ? conn : databasePath(folder);
}

bool isServerLocation(const QString& location) { return engine::namesServer(location); }

QString databaseLocation(const QString& argument)
{
    if (QFileInfo(argument).isDir())
        return locateDatabase(argument);
    return argument;
}

QString createDatabase(const QString& folder, const std::function<void(sqlite3*)>& fill)
{
    const QString target = databasePath(folder);
    makeFolder(folder, target);
    return createDatabaseFile(target, fill);
}

QString createDatabaseFile(const QString& path, const std::function<void(sqlite3*)>& fill)
{
    return buildFile(path, [&](NewDatabaseFile& file) {
        if (fill)
            fill(file.db());
        execSql(file.db(), "COMMIT");
    });
}

QString createDatabase(const QString& folder, const DatabaseFill& fill)
{
    const QString target = databasePath(folder);
    makeFolder(folder, target);
    return createDatabaseFile(target, fill);
}

QString createDatabaseFile(const QString& path, const DatabaseFill& fill)
{
    return buildFile(path, [&](NewDatabaseFile& file) {
        execSql(file.db(), "COMMIT");
        if (!fill)
            return;
        // The file under its temporary name, opened as the program opens
        // its data file; nobody else can see it yet.  Messages name the
        // file it becomes.
        const QString temp = QString::fromUtf8(sqlite3_db_filename(file.db(), "main"));
        try {
            const auto db = Database::Open(temp);
            // Until it is moved into place the file is synced once, as a
            // whole, and a failure throws it away: no syncing of each
            // transaction, the journal (for a loader given up) in memory,
            // and a large cache for the indexes of many rows.
            execSql(db->handle(), "PRAGMA cache_size=-131072; PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY");
            fill(*db);
        } catch (const Error& e) {
            QString text = e.text();
            raise(e.number(), text.replace(temp, path));
        }
    });
}

QString createDatabaseAt(const QString& argument, const DatabaseFill& fill)
{
    if (isServerLocation(argument))
        return createServerDatabase(argument, fill);
    if (QFileInfo::exists(connectionFilePath(argument)))
        return createServerDatabase(connectionFilePath(argument), fill);
    return createDatabase(argument, fill);
}

} // namespace cvd
