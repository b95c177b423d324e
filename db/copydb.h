#pragma once
// Copying a whole database, every record of the program's seven tables
// with its key: a file to a server (moving to several desks), a server to a
// file (a backup, or moving back), a file to a file.  Every copy is read
// back and compared with its source, table by table, by the number of rows
// and a checksum over their values.
#include "db/references.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

namespace cvd {

class Database;

// Told the rows copied so far and the rows to copy in all; answers false to
// stop the copy.
using CopyProgress = std::function<bool(qint64 done, qint64 total)>;

// A table's number of rows and the SHA-256 (in hex) of its canonical form:
// the rows in key order (a table without a key column, Settings in a file,
// in the order of their canonical texts), and in each row the program's
// columns in their order (db/schema.h, columnNames), each field written as
// "N" when empty (Null), otherwise as "V", the length of its text in bytes,
// ":" and the text in UTF-8.  The text of a Yes/No field is 1 or 0, of a
// number its shortest exact decimal form (a Single as the 32-bit number the
// program reads), of money its count of ten-thousandths, of a date
// YYYY-MM-DD; a row ends with a line feed.  The same records give the same
// checksum in a file and on a server.
struct TableSum {
    qint64 rows = 0;
    QByteArray sha256;
    friend bool operator==(const TableSum&, const TableSum&) = default;
};

TableSum tableChecksum(Database& db, const QString& table);

struct TableCopy {
    QString table;
    TableSum source, copy;
    bool matches() const { return source == copy; }
};

struct CopyReport {
    QString source, copy;    // the databases' names (Database::path())
    QList<TableCopy> tables; // in the order copied
    bool stopped = false;    // the progress answered false
    // References that copied rows break (they name a row that the source
    // lacks): copied as they are, and counted.
    QList<BrokenReferences> broken;
    // Copied whole, and every table of the copy as its source.
    bool matches() const;
};

// Copies every record of `src` into `dest`, which holds the program's
// tables and no record (refused with 58 otherwise; a Settings row of its
// own, as a new database has, is replaced by the source's).  Keys are kept,
// and dest's AutoNumbers then follow the largest key of each table.  Each
// table of dest is then read back and compared with what was read from
// src.  A server is read in one snapshot, as it was when the copy began
// (open it for work: a server opened to be checked refuses that, 3027).
// On failure, mismatch or stop, dest is left with what was copied: the
// callers below take it away.
CopyReport copyDatabase(Database& src, Database& dest, const CopyProgress& progress = {});

// `cvdtool copy SOURCE DESTINATION`.  Each is a folder (its cvd.conn, or
// else its cvd.mdb), a *.mdb or *.conn file or a connection string.  The
// destination is a new file (refused, 58, when it exists; a folder is made
// when missing), or a server: without the program's tables, they are made;
// with them, it must hold no records.  The source is only read.  A copy
// that fails, does not match or is stopped is not kept: no file is left, a
// server is left as it was.  Throws cvd::Error for a source that cannot be
// opened, a destination refused, or a copy that fails.
CopyReport copyDatabase(const QString& source, const QString& destination, const CopyProgress& progress = {});

} // namespace cvd
