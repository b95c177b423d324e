#include "db/backup.h"

#include "db/copydb.h"
#include "db/createdb.h"
#include "db/database.h"
#include "db/newfile.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace cvd {

namespace {

struct Stopped {};

// The file's pages through SQLite's online backup.
bool backupFile(Database& db, const QString& target, const std::function<bool(qint64, qint64)>& progress)
{
    NewDatabaseFile file(target);
    sqlite3_backup* b = sqlite3_backup_init(file.db(), "main", db.handle(), "main");
    if (!b)
        file.fail(sqlite3_errcode(file.db()));
    int rc = SQLITE_OK;
    while (rc == SQLITE_OK) {
        rc = sqlite3_backup_step(b, 2048);
        if ((rc == SQLITE_OK || rc == SQLITE_DONE) && progress) {
            const qint64 total = sqlite3_backup_pagecount(b);
            if (!progress(total - sqlite3_backup_remaining(b), total)) {
                sqlite3_backup_finish(b);
                return false;
            }
        }
    }
    sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE)
        file.fail(rc);
    file.finish();
    return true;
}

// The server's records into a new data file, compared with what was read
// before the file takes its name.
void backupServer(Database& db, const QString& target, const std::function<bool(qint64, qint64)>& progress)
{
    createDatabaseFile(target, [&](Database& file) {
        const CopyReport report = copyDatabase(db, file, progress);
        if (report.stopped)
            throw Stopped{};
        for (const TableCopy& t : report.tables)
            if (!t.matches())
                raise(ErrNo::DeviceIO, QStringLiteral("The table %1 read back from %2 differs from the server's "
                                                      "(%3 records read, %4 written).")
                                           .arg(t.table, target)
                                           .arg(t.source.rows)
                                           .arg(t.copy.rows));
    });
}

} // namespace

bool backupDatabase(Database& db, const QString& target, const std::function<bool(qint64, qint64)>& progress)
{
    if (!db.waitForCheck().isEmpty()) // a server has no check of its own
        raise(ErrNo::NotADatabase, QStringLiteral("'%1' is damaged; a backup would copy the damage.  Save what can "
                                                  "still be read with cvdtool recover %2 NEWFILE.")
                                       .arg(db.path(), QFileInfo(db.path()).absolutePath()));
    try {
        if (!db.isServer())
            return backupFile(db, target, progress);
        backupServer(db, target, progress);
    } catch (const Stopped&) {
        return false;
    } catch (const Error& e) {
        raise(e.number(), e.text() + QStringLiteral("  No backup was made; the database was not changed."));
    }
    return true;
}

} // namespace cvd
