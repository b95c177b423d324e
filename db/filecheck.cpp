#include "db/filecheck.h"

#include "db/pagechecksums.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QUrl>
#include <sqlite3.h>

namespace cvd {

QStringList integrityProblems(sqlite3* db, bool quick, int limit)
{
    const QByteArray sql = QStringLiteral("PRAGMA %1(%2)").arg(quick ? "quick_check" : "integrity_check").arg(limit).toUtf8();
    sqlite3_stmt* s = nullptr;
    QStringList lines;
    int rc = sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr);
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        rc = sqlite3_step(s);
        if (rc != SQLITE_ROW)
            continue;
        // There is only one database: its heading line says nothing.
        for (const QString& line : QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))).split(u'\n'))
            if (!line.trimmed().isEmpty() && !line.startsWith(QLatin1String("*** in database")))
                lines << line.trimmed();
    }
    sqlite3_finalize(s);
    if (rc != SQLITE_DONE)
        lines << QStringLiteral("The check stopped early: %1").arg(QString::fromUtf8(sqlite3_errmsg(db)));
    if (lines == QStringList{QStringLiteral("ok")})
        lines.clear();
    return lines;
}

BackgroundCheck::BackgroundCheck(const QString& path)
{
    if (!sqlite3_threadsafe()) { // an SQLite without threads: check here and now
        run(path);
        return;
    }
    // At idle priority, below the program's own thread, which then starts
    // as fast as without the check where the two share a processor; an
    // idle processor still gives the check its full speed.
    m_thread.reset(QThread::create([this, path] { run(path); }));
    m_thread->start(QThread::IdlePriority);
}

BackgroundCheck::~BackgroundCheck()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_whenDone = nullptr;
        if (m_db)
            sqlite3_interrupt(m_db);
    }
    if (m_thread)
        m_thread->wait();
}

void BackgroundCheck::run(const QString& path)
{
    // immutable: no locks and no look at a journal.  The file is held by
    // the program's own connection, which has already played back any
    // interrupted write, so what this one reads is what the program sees.
    const QByteArray uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded() + "?mode=ro&immutable=1";
    Result result;
    // The program writes while the check reads: what the check finds wrong
    // may be a page it read half written.  Such a finding counts once a
    // check that nothing wrote across (on a connection of its own, with
    // nothing kept from before) finds it too.
    for (;;) {
        const unsigned long long before = databaseWrites();
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) != SQLITE_OK) {
            result.problems = {QStringLiteral("The file could not be read for the check: %1").arg(QString::fromUtf8(sqlite3_errmsg(db)))};
            sqlite3_close(db);
            break;
        }
        {
            std::lock_guard lock(m_mutex);
            m_db = m_stopping ? nullptr : db;
        }
        if (m_db)
            result.problems = integrityProblems(db, true, 20);
        std::lock_guard lock(m_mutex);
        m_db = nullptr;
        sqlite3_close(db);
        if (m_stopping || result.problems.isEmpty() || databaseWrites() == before)
            break;
    }
    std::function<void(const Result&)> done;
    {
        std::lock_guard lock(m_mutex);
        result.sound = result.problems.isEmpty();
        if (m_stopping) // stopped: no result to tell
            result = Result{false, {QStringLiteral("The check was stopped.")}};
        m_result = result;
        m_done = true;
        done = std::move(m_whenDone);
        m_whenDone = nullptr;
    }
    m_finished.notify_all();
    if (done)
        done(result);
}

BackgroundCheck::Result BackgroundCheck::wait()
{
    std::unique_lock lock(m_mutex);
    m_finished.wait(lock, [this] { return m_done; });
    return m_result;
}

std::optional<BackgroundCheck::Result> BackgroundCheck::resultIfDone()
{
    std::lock_guard lock(m_mutex);
    return m_done ? std::optional<Result>(m_result) : std::nullopt;
}

void BackgroundCheck::whenDone(std::function<void(const Result&)> done)
{
    Result result;
    {
        std::lock_guard lock(m_mutex);
        if (!m_done) {
            m_whenDone = std::move(done);
            return;
        }
        result = m_result;
    }
    done(result);
}

} // namespace cvd
