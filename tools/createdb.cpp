#include "tools/createdb.h"

#include "db/errors.h"
#include "db/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace cvd::tools {

namespace {

QString osError(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

// Flushes a file or folder to the disk, so that a rename is not seen before
// the data it names.
bool syncPath(const QString& path, bool directory)
{
    const int fd = ::open(QFile::encodeName(path).constData(), directory ? (O_RDONLY | O_DIRECTORY) : O_RDWR);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Moves `from` to `to` unless `to` exists; atomic on the file systems that
// support hard links, with an existence check otherwise.
void moveIntoPlace(const QString& from, const QString& to)
{
    const QByteArray src = QFile::encodeName(from), dst = QFile::encodeName(to);
    if (::link(src.constData(), dst.constData()) == 0) {
        ::unlink(src.constData());
        return;
    }
    const int err = errno;
    if (err == EEXIST)
        raise(ToolErr::FileExists, QStringLiteral("%1 already exists; it was left as it is.").arg(to));
    if (err != EPERM && err != ENOTSUP && err != EOPNOTSUPP && err != ENOSYS)
        raise(ToolErr::PathAccess, QStringLiteral("Cannot write %1: %2").arg(to, osError(err)));
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink())
        raise(ToolErr::FileExists, QStringLiteral("%1 already exists; it was left as it is.").arg(to));
    if (::rename(src.constData(), dst.constData()) != 0)
        raise(ToolErr::PathAccess, QStringLiteral("Cannot write %1: %2").arg(to, osError(errno)));
}

struct Building {
    sqlite3* db = nullptr;
    QString tempPath;
    bool done = false;
    ~Building()
    {
        if (db)
            sqlite3_close(db);
        if (!done && !tempPath.isEmpty()) {
            QFile::remove(tempPath);
            QFile::remove(tempPath + QStringLiteral("-journal"));
        }
    }
};

} // namespace

QString databasePath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("cvd.mdb"));
}

void execSql(sqlite3* db, const char* sql)
{
    char* msg = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &msg) != SQLITE_OK) {
        const QString text = QString::fromUtf8(msg ? msg : sqlite3_errmsg(db));
        sqlite3_free(msg);
        raise(ErrNo::SqlError, text);
    }
}

QString createDatabase(const QString& folder, const std::function<void(sqlite3*)>& fill)
{
    const QString target = databasePath(folder);
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        raise(ToolErr::FileExists, QStringLiteral("%1 already exists; it was left as it is.").arg(target));
    if (QFileInfo(folder).exists() && !QFileInfo(folder).isDir())
        raise(ToolErr::PathAccess, QStringLiteral("Cannot create %1: %2 is not a folder.").arg(target, folder));
    if (!QDir().mkpath(folder))
        raise(ToolErr::PathAccess, QStringLiteral("Cannot create the folder %1 for %2.").arg(folder, target));

    Building b;
    b.tempPath = QDir(folder).filePath(
        QStringLiteral(".cvd.mdb.%1.tmp").arg(QCoreApplication::applicationPid()));
    QFile::remove(b.tempPath);
    const int rc = sqlite3_open_v2(QFile::encodeName(b.tempPath).constData(), &b.db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK)
        raise(ToolErr::PathAccess, QStringLiteral("Cannot create %1: %2").arg(target, QString::fromUtf8(sqlite3_errstr(rc))));

    try {
        // A new file that nobody else can see yet: no journal and no syncing
        // while it is filled; it is synced once, whole, before the move.
        execSql(b.db, "PRAGMA journal_mode=OFF");
        execSql(b.db, "PRAGMA synchronous=OFF");
        execSql(b.db, "PRAGMA cache_size=-131072");
        execSql(b.db, "BEGIN");
        schema::createTables(b.db);
        if (fill)
            fill(b.db);
        execSql(b.db, "COMMIT");
    } catch (const Error& e) {
        raise(e.number(), QStringLiteral("Cannot create %1: %2").arg(target, e.text()));
    }
    const int closed = sqlite3_close(b.db);
    b.db = nullptr;
    if (closed != SQLITE_OK)
        raise(ToolErr::PathAccess, QStringLiteral("Cannot create %1: %2").arg(target, QString::fromUtf8(sqlite3_errstr(closed))));
    if (!syncPath(b.tempPath, false))
        raise(ToolErr::PathAccess, QStringLiteral("Cannot write %1: %2").arg(target, osError(errno)));
    moveIntoPlace(b.tempPath, target);
    b.done = true;
    syncPath(QFileInfo(target).absolutePath(), true);
    return target;
}

} // namespace cvd::tools
