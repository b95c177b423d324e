#include "db/newfile.h"

#include "db/errors.h"
#include "db/pagechecksums.h"

#include <QCoreApplication>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace cvd {

namespace {

int errorFor(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_FULL: return ErrNo::DiskFull;
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM: return ErrNo::DeviceIO;
    default: return ErrNo::SqlError;
    }
}

[[noreturn]] void alreadyThere(const QString& path)
{
    if (QFileInfo(path).isDir())
        raise(ErrNo::FileExists, QStringLiteral("%1 is a folder.  Name a new file, such as %2.")
                                     .arg(path, QDir(path).filePath(QStringLiteral("calvedon.mdb"))));
    raise(ErrNo::FileExists, QStringLiteral("%1 already exists; it was left as it is.").arg(path));
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
        alreadyThere(to);
    if (err != EPERM && err != ENOTSUP && err != EOPNOTSUPP && err != ENOSYS)
        raise(ErrNo::PathAccess, cannotWrite(to, err));
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink())
        alreadyThere(to);
    if (::rename(src.constData(), dst.constData()) != 0)
        raise(ErrNo::PathAccess, cannotWrite(to, errno));
}

} // namespace

QString whyNotWritable(const QString& path, const QString& systemText)
{
    const QFileInfo fi(path);
    const QString folder = QDir::toNativeSeparators(fi.absolutePath());
    if (fi.isDir())
        return QStringLiteral("%1 is a folder, not a file.").arg(QDir::toNativeSeparators(path));
    if (!QFileInfo(fi.absolutePath()).isDir())
        return QStringLiteral("The folder %1 does not exist.").arg(folder);
    if (!QFileInfo(fi.absolutePath()).isWritable() || (fi.exists() && !fi.isWritable()))
        return QStringLiteral("You may not write into the folder %1.").arg(folder);
    QString text = systemText.trimmed();
    if (!text.isEmpty() && !text.endsWith(u'.'))
        text += u'.';
    return text;
}

QString cannotWrite(const QString& path, int err)
{
    return QStringLiteral("Cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(err)));
}

void execSql(sqlite3* db, const char* sql)
{
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        sqliteFailed(db, rc);
}

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

void sqliteFailed(sqlite3* db, int rc)
{
    raise(errorFor(rc), QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
}

namespace {

// The temporary files (".NAME.PID.tmp" and their journals) that a run of
// this program killed while it made a file in `folder` left behind: those
// whose process is gone.  A file being made now by a live process stays.
void removeLeftovers(const QString& folder)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^\..+\.(\d+)\.tmp(-journal)?$)"));
    const QStringList names = QDir(folder).entryList({QStringLiteral(".*.tmp"), QStringLiteral(".*.tmp-journal")},
                                                     QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QRegularExpressionMatch m = pattern.match(name);
        bool number = false;
        const pid_t pid = pid_t(m.captured(1).toLongLong(&number));
        if (m.hasMatch() && number && pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
            QFile::remove(QDir(folder).filePath(name));
    }
}

} // namespace

NewDatabaseFile::NewDatabaseFile(const QString& target) : m_target(target)
{
    const QFileInfo fi(target);
    if (fi.exists() || fi.isSymLink())
        alreadyThere(target);
    const QFileInfo folder(fi.absolutePath());
    if (!folder.isDir())
        raise(ErrNo::PathAccess, QStringLiteral("Cannot write %1: the folder %2 does not exist.").arg(target, folder.filePath()));
    removeLeftovers(folder.absoluteFilePath());
    m_temp = folder.absoluteFilePath() + QStringLiteral("/.%1.%2.tmp").arg(fi.fileName()).arg(QCoreApplication::applicationPid());
    QFile::remove(m_temp);
    usePageChecksums();
    const int rc = sqlite3_open_v2(QFile::encodeName(m_temp).constData(), &m_db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK)
        raise(ErrNo::PathAccess, QStringLiteral("Cannot write %1: the folder %2 does not allow new files to be made.")
                                     .arg(target, folder.filePath()));
    addPageChecksums(m_db); // a copy of a file takes that file's pages as they are
    execSql(m_db, "PRAGMA journal_mode=OFF");
    execSql(m_db, "PRAGMA synchronous=OFF");
}

NewDatabaseFile::~NewDatabaseFile()
{
    if (m_db)
        sqlite3_close(m_db);
    if (!m_done && !m_temp.isEmpty()) {
        QFile::remove(m_temp);
        QFile::remove(m_temp + QStringLiteral("-journal"));
    }
}

void NewDatabaseFile::fail(int rc) const
{
    const int number = errorFor(rc);
    if (number == ErrNo::DiskFull)
        raise(number, QStringLiteral("There is not enough room on the disk for %1.").arg(m_target));
    raise(number, QStringLiteral("Cannot write %1: %2").arg(m_target, QString::fromUtf8(sqlite3_errstr(rc))));
}

QString NewDatabaseFile::finish()
{
    const int closed = sqlite3_close(m_db);
    m_db = nullptr;
    if (closed != SQLITE_OK)
        fail(closed);
    if (!syncPath(m_temp, false)) {
        const int err = errno;
        raise(err == ENOSPC ? ErrNo::DiskFull : ErrNo::DeviceIO, cannotWrite(m_target, err));
    }
    moveIntoPlace(m_temp, m_target);
    m_done = true;
    syncPath(QFileInfo(m_target).absolutePath(), true);
    return m_target;
}

} // namespace cvd
