#pragma once
// The demo database: reference lists that look like a small organisation's
// help desk (on demand with any number of customers) and any number of
// requests spread over the last three years up to today.  The same seed and
// day give the same records, in a file or on a server.
#include <QDate>
#include <QString>
#include <cstdint>

struct sqlite3;

namespace cvd {
class Database;
}

namespace cvd::tools {

struct DemoOptions {
    int requests = 500;
    int customers = -1; // below zero: the fixed list of 36 customers
    std::uint64_t seed = 1;
    QDate today;  // the last request date; invalid means the current date
};

// Adds the demo records, keys from 1, through the database's loaders to a
// database that holds the empty tables and the Settings row (its rate and
// minimum charge price the requests).
void fillDemo(Database& db, const DemoOptions& options);

// The same records written with SQLite itself into a file being made
// (inside createDatabase's transaction).
void fillDemo(sqlite3* db, const DemoOptions& options);

// FOLDER/cvd.mdb filled with demo records; refuses an existing file as
// createDatabase does.  Returns the file's path.
QString createDemoDatabase(const QString& folder, const DemoOptions& options);

// The same where `cvdtool demo` makes it: in a folder, or on the server a
// connection string, a *.conn file or a folder's cvd.conn names
// (createDatabaseAt).  Returns the file's path or the server's name.
QString createDemoDatabaseAt(const QString& argument, const DemoOptions& options);

} // namespace cvd::tools
