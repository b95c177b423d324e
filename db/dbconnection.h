#pragma once
// The open SQLite connection, shared by the database and its record sets
// (a record set keeps it alive while it exists), and small helpers over it.
#include <QString>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace cvd {

class BackgroundCheck;

struct Connection {
    sqlite3* db = nullptr;
    QString path;
    // The check of the file's structure that every write waits for.
    std::unique_ptr<BackgroundCheck> check;
    // Set when the file is open only to be checked: why writes are refused.
    QString writesRefused;
    // Test seam: the next failCount record writes fail with failError.
    int failCount = 0;
    int failError = 0;
    Connection();
    ~Connection();
    // Called before anything is written: waits for the check of the file;
    // refuses (3049) a damaged file, so that nothing is ever written to it.
    void beforeWrite();
};

struct StmtFinalizer {
    void operator()(sqlite3_stmt* s) const;
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

// Throws the error for an SQLite result code: 3049 for a damaged file, 3045
// for a lock, 3001 with SQLite's message for anything else.
[[noreturn]] void sqlFail(sqlite3* db, int rc);

// Prepares a statement or throws.
Stmt prepareStmt(sqlite3* db, const QString& sql, bool persistent = false);

} // namespace cvd
