#pragma once
// A new database file (a new data file, a backup, a recovered copy) is
// built under a temporary name beside its final place and moved there only
// when it is complete and on the disk: a failure at any point, a full disk
// included, leaves nothing behind, and an existing file is never
// overwritten.
#include <QString>

struct sqlite3;

namespace cvd {

// Why a file cannot be written at `path`, as a whole sentence: a folder
// of that name, a folder that is missing or may not be written into, or
// else the system's own words (`systemText`), ended with a full stop.
QString whyNotWritable(const QString& path, const QString& systemText);

class NewDatabaseFile {
public:
    // Opens the temporary file, with no journal and no syncing while it is
    // filled (nobody else can see it yet).  Refuses an existing target
    // (58) and a folder that is missing or cannot be written (75); errors
    // name the target.
    explicit NewDatabaseFile(const QString& target);
    ~NewDatabaseFile(); // removes the temporary file unless finished
    NewDatabaseFile(const NewDatabaseFile&) = delete;
    NewDatabaseFile& operator=(const NewDatabaseFile&) = delete;

    sqlite3* db() const { return m_db; }
    const QString& target() const { return m_target; }

    // Closes the file, syncs it and moves it into place (refused, 58, when
    // a file of that name appeared meanwhile).  Returns the target.
    QString finish();

    // Throws the error for an SQLite result code met while the file was
    // written: 61 for a full disk, 57 for another failure of the device,
    // 3001 for anything else; the text names the target.
    [[noreturn]] void fail(int rc) const;

private:
    QString m_target;
    QString m_temp;
    sqlite3* m_db = nullptr;
    bool m_done = false;
};

// Runs SQL without rows on a file being built; throws cvd::Error (3001,
// or 61 and 57 as above) with SQLite's message.
void execSql(sqlite3* db, const char* sql);

// Throws that error for a result code of SQLite's on `db`.
[[noreturn]] void sqliteFailed(sqlite3* db, int rc);

// Flushes a file or folder to the disk, so that a rename is not seen before
// the data it names (a renamed file needs its folder flushed too).
bool syncPath(const QString& path, bool directory);

// "Cannot write FILE: reason" for the error of a system call.
QString cannotWrite(const QString& path, int err);

} // namespace cvd
