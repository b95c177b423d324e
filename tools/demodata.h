#pragma once
// The demo database: reference lists that look like a small organisation's
// help desk (on demand with any number of customers) and any number of
// requests spread over the last three years up to today.  The same seed and
// day give the same file contents.
#include <QDate>
#include <QString>
#include <cstdint>

struct sqlite3;

namespace cvd::tools {

struct DemoOptions {
    int requests = 500;
    int customers = -1; // below zero: the fixed list of 36 customers
    std::uint64_t seed = 1;
    QDate today;  // the last request date; invalid means the current date
};

// Adds the demo records to a database that holds the empty tables and the
// Settings row (its rate and minimum charge price the requests).
void fillDemo(sqlite3* db, const DemoOptions& options);

// FOLDER/cvd.mdb filled with demo records; refuses an existing file as
// createDatabase does.  Returns the file's path.
QString createDemoDatabase(const QString& folder, const DemoOptions& options);

} // namespace cvd::tools
