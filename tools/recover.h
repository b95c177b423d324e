#pragma once
// cvdtool recover: every record of a damaged data file that can still be
// read, copied into a new file with the program's tables.
#include <QList>
#include <QString>
#include <QStringList>

namespace cvd::tools {

struct RecoveredTable {
    QString table;
    qint64 saved = 0;     // records copied whole
    qint64 partly = 0;    // records copied with fields that could not be read left empty
    qint64 lost = 0;      // records known (from an index) that could not be read at all
    bool lostUnknown = false; // damage was met where no index tells what it held
    QStringList missingColumns; // columns the damaged file lacks (left empty)
    bool missingTable = false;  // the damaged file lacks the whole table
    bool damaged = false;       // a page of the table or of its indexes cannot be read
    // Records saved from leaf pages the table's tree no longer reaches,
    // known as the table's by the fields of their records.
    qint64 outside = 0;
    int outsidePages = 0;
    QStringList sameShape;      // other tables whose records have that shape too
    int undecidedPages = 0;     // pages not saved: they fit this and another damaged table
};

// Reads FOLDER/cvd.mdb only (refused, 3045, while Calvedon has it open)
// and writes FILE, a new file (refused when it exists), with the program's
// tables and every record that can be read, keys kept, the key counters no
// lower than the damaged file's.  Throws cvd::Error naming the file when
// nothing can be read (not a database, none of the program's tables).
QList<RecoveredTable> recoverDatabase(const QString& folder, const QString& file);

// What a recovery saved, a line a table, and how to put FILE to use
// (recoverreport.cpp).
QString recoveryReport(const QList<RecoveredTable>& tables, const QString& folder, const QString& file);

} // namespace cvd::tools
