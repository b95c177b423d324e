// Opening the database file for the program's exclusive use, and checking
// its structure.
#include "db/collation.h"
#include "db/sqlitebackend.h"

#include "db/filecheck.h"
#include "db/pagechecksums.h"
#include "db/schema.h"
#include "db/sqldialect.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

#include <unistd.h>

namespace cvd {

namespace {

quint32 bigEndian32(const unsigned char* p) { return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3]; }

QString notADatabase(const QString& path)
{
    return QStringLiteral("'%1' is not a database file, or it is damaged.").arg(path);
}

QString inUse(const QString& path)
{
    return QStringLiteral("Couldn't use '%1'; file already in use.").arg(path);
}

// Checks the file's header before SQLite reads the file as a database, so
// that a file of another kind is refused untouched.  The header is read
// through SQLite's own handle of the file: opening and closing a second
// handle of the same file would drop every lock this process holds on it
// (POSIX record locks belong to the process, not to the handle).
void checkHeader(sqlite3* db, const QString& path)
{
    sqlite3_file* f = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &f) != SQLITE_OK || !f || !f->pMethods)
        raise(ErrNo::NotADatabase, notADatabase(path));
    sqlite3_int64 size = 0;
    if (f->pMethods->xFileSize(f, &size) != SQLITE_OK)
        raise(ErrNo::NotADatabase, notADatabase(path));
    unsigned char u[100] = {};
    if (size < 100 || f->pMethods->xRead(f, u, 100, 0) != SQLITE_OK)
        raise(ErrNo::NotADatabase, notADatabase(path));
    const quint32 pageSize = quint32(headerPageSize(u));
    if (pageSize == 0 || u[18] < 1 || u[18] > 2 || u[19] < 1 || u[19] > 2)
        raise(ErrNo::NotADatabase, notADatabase(path));
    // A rollback journal left by an interrupted write is played back by
    // SQLite; until then the file's size need not match its header.
    if (QFileInfo(path + QStringLiteral("-journal")).size() > 0)
        return;
    if (size % pageSize != 0)
        raise(ErrNo::NotADatabase, notADatabase(path));
    const quint32 pages = bigEndian32(u + 28);
    const bool pagesValid = bigEndian32(u + 92) == bigEndian32(u + 24);
    if (pagesValid && pages > 0 && size < qint64(pages) * pageSize)
        raise(ErrNo::NotADatabase, notADatabase(path));
}

QString damagedFile(const QString& path)
{
    return QStringLiteral("'%1' is damaged; nothing was written to it.  Check it with cvdtool check %2, "
                          "and save what can still be read with cvdtool recover %2 NEWFILE.")
        .arg(path, QFileInfo(path).absolutePath());
}

// A file that cannot be written, or one whose folder does not let the
// journal be made (the file's own writes would then fail at the first
// save), is refused at opening.
void checkWritable(sqlite3* db, const QString& path)
{
    if (sqlite3_db_readonly(db, "main") == 1)
        raise(ErrNo::CannotWrite, QStringLiteral("'%1' cannot be written: the file is read-only, "
                                                 "or you do not have permission to change it.").arg(path));
    const QString folder = QFileInfo(path).absolutePath();
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        raise(ErrNo::CannotWrite, QStringLiteral("No file can be made in the folder '%1', where '%2' needs its journal "
                                                 "(%3-journal) to save changes safely.")
                                      .arg(folder, path, QFileInfo(path).fileName()));
}

int exec(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

} // namespace

[[noreturn]] void sqlFail(sqlite3* db, int rc)
{
    const QString msg = QString::fromUtf8(sqlite3_errmsg(db));
    // A page that failed its checksum, or whose contents SQLite cannot
    // read: nothing is written to the file from now on.
    if (rc == SQLITE_IOERR_DATA || (rc & 0xff) == SQLITE_CORRUPT) {
        notePageDamage(db);
        raise(ErrNo::NotADatabase, damagedFile(QString::fromUtf8(sqlite3_db_filename(db, "main"))));
    }
    switch (rc & 0xff) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: raise(ErrNo::NotADatabase, msg);
    case SQLITE_BUSY:
    case SQLITE_LOCKED: raise(ErrNo::DatabaseInUse, msg);
    default: raise(ErrNo::SqlError, msg);
    }
}

Stmt prepareStmt(sqlite3* db, const QString& sql, bool persistent)
{
    sqlite3_stmt* s = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v3(db, utf8.constData(), int(utf8.size()), persistent ? SQLITE_PREPARE_PERSISTENT : 0,
                                      &s, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(s);
        sqlFail(db, rc);
    }
    return Stmt(s);
}

void StmtFinalizer::operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }

SqliteBackend::~SqliteBackend()
{
    check.reset(); // stopped before the file is let go
    if (db)
        sqlite3_close_v2(db);
}

void SqliteBackend::beforeWrite()
{
    if (!writesRefused.isEmpty())
        raise(ErrNo::NotUpdatable, writesRefused);
    if (pageDamageSeen(db))
        raise(ErrNo::NotADatabase, damagedFile(path));
    if (!check)
        return;
    // With page checksums, a write reads and verifies every page it
    // changes: it need not wait for the check of the whole file, whose
    // finding still stops every write once it is known.  A file without
    // them is written only once the check has found it sound.
    const auto result = hasPageChecksums(db) ? check->resultIfDone() : check->wait();
    if (result && !result->sound)
        raise(ErrNo::NotADatabase, damagedFile(path));
}

void SqliteBackend::whenChecked(std::function<void(const QStringList& damage)> done)
{
    if (!check) {
        done({});
        return;
    }
    check->whenDone([done = std::move(done)](const BackgroundCheck::Result& r) { done(r.problems); });
}

QStringList SqliteBackend::waitForCheck()
{
    if (!check) // opened to be checked: the quick check is made when asked for
        check = std::make_unique<BackgroundCheck>(path);
    return check->wait().problems;
}

namespace engine {

std::shared_ptr<Backend> openFile(const QString& path, OpenMode mode)
{
    const QFileInfo fi(path);
    if (!fi.exists() || !fi.isFile())
        raise(ErrNo::FileNotFound, QStringLiteral("Couldn't find file '%1'.").arg(path));
    auto conn = std::make_shared<SqliteBackend>();
    conn->path = path;
    usePageChecksums();
    // Read-write, never create: a refused open leaves no file behind.
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &conn->db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        if ((rc & 0xff) == SQLITE_CANTOPEN && !QFileInfo::exists(path))
            raise(ErrNo::FileNotFound, QStringLiteral("Couldn't find file '%1'.").arg(path));
        raise(ErrNo::NotADatabase, notADatabase(path));
    }
    sqlite3 * const db = conn->db;
    checkHeader(db, path);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 0);
    if (mode == OpenMode::Work)
        checkWritable(db, path);
    // The whole file belongs to this program until it ends; every write is
    // journalled and synced, so that a killed process leaves it sound.
    exec(db, "PRAGMA locking_mode=EXCLUSIVE");
    exec(db, "PRAGMA synchronous=FULL");
    exec(db, "PRAGMA cache_size=-16384");

    // The tables and their columns, read before any lock for writing is
    // taken.  (In the exclusive locking mode this first read keeps a shared
    // lock: nobody else writes while the file is being checked.)
    QHash<QString, QStringList> tables;
    const int r = schema::readFileTables(db, tables);
    if (r != SQLITE_OK) {
        if ((r & 0xff) == SQLITE_BUSY || (r & 0xff) == SQLITE_LOCKED)
            raise(ErrNo::DatabaseInUse, inUse(path));
        raise(ErrNo::NotADatabase, notADatabase(path));
    }
    const QStringList missing = schema::missingParts(tables);
    if (!missing.isEmpty())
        raise(ErrNo::MissingTables, QStringLiteral("'%1' does not hold the tables of the program (missing: %2).")
                                        .arg(path, missing.join(QStringLiteral(", "))));

    if (mode == OpenMode::Work) {
        // Take the exclusive lock now; it is kept until the connection closes.
        int w = exec(db, "BEGIN EXCLUSIVE");
        if (w == SQLITE_OK)
            w = exec(db, "COMMIT");
        if (w != SQLITE_OK) {
            exec(db, "ROLLBACK");
            if ((w & 0xff) == SQLITE_BUSY || (w & 0xff) == SQLITE_LOCKED)
                raise(ErrNo::DatabaseInUse, inUse(path));
            raise(ErrNo::NotADatabase, notADatabase(path));
        }
        exec(db, "PRAGMA journal_mode=DELETE");
        // Any interrupted write has been played back by now: the check
        // reads the file as this connection sees it.
        conn->check = std::make_unique<BackgroundCheck>(path);
    } else {
        conn->writesRefused = QStringLiteral("'%1' is open to be checked only.").arg(path);
    }
    sql::registerFunctions(db);
    sql::registerOrderCollation(db);
    return conn;
}

} // namespace engine

} // namespace cvd
