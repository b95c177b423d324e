#pragma once
// Checking the structure of a database file: SQLite's integrity check, in
// full or quick, and the quick check that runs beside the program from the
// moment the file is opened, on a connection of its own, so that the
// program starts without waiting for it.
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <memory>
#include <optional>

class QThread;
struct sqlite3;

namespace cvd {

// What SQLite's integrity check (quick: the quick check, which leaves out
// the comparison of the indexes with their tables) finds wrong with the
// file, at most `limit` lines; empty when the file is sound.  A check that
// cannot run is a finding too.
QStringList integrityProblems(sqlite3* db, bool quick, int limit = 100);

// The quick check of a file, run on a thread of its own over a second,
// read-only connection that takes no locks while the program holds the file
// exclusively.  The program's writes go on meanwhile (a file with page
// checksums verifies each page a write builds on); a finding made while the
// program wrote is checked again before it is told.  A file without
// checksums is written only after the check (SqliteBackend::beforeWrite).
class BackgroundCheck {
public:
    struct Result {
        bool sound = false;
        QStringList problems; // the check's findings, when not sound
    };

    explicit BackgroundCheck(const QString& path);
    ~BackgroundCheck(); // stops a check under way
    BackgroundCheck(const BackgroundCheck&) = delete;
    BackgroundCheck& operator=(const BackgroundCheck&) = delete;

    // Waits for the check to finish.
    Result wait();
    // The result when the check has finished, without waiting.
    std::optional<Result> resultIfDone();
    // Calls `done` once the result is known: at once when it is, otherwise
    // on the checking thread.
    void whenDone(std::function<void(const Result&)> done);

private:
    void run(const QString& path);

    std::mutex m_mutex;
    std::condition_variable m_finished;
    bool m_done = false;
    bool m_stopping = false;
    Result m_result;
    sqlite3* m_db = nullptr; // the checking connection, while it is open
    std::function<void(const Result&)> m_whenDone;
    std::unique_ptr<QThread> m_thread;
};

} // namespace cvd
