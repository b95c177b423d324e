#pragma once
// The inside of a record set.  Two ways of holding rows:
//  - keyset: a query over one table; the rowids of its rows, in the query's
//    order, are read once at open, and the current row is read by rowid.
//    Updatable (dynaset, table).
//  - stream: any query; rows are read from one statement as the set moves
//    and kept, so that moving back works.  Read-only (snapshot, and any
//    query that is not over one table).
#include "db/database.h"
#include "db/dbconnection.h"
#include "db/sqlvalues.h"

#include <QHash>
#include <vector>

namespace cvd {

// Helpers of the record set's files.
QString plainName(const QString& name);  // without [..], ".." or `..`
QString quotedName(const QString& name); // as an SQLite identifier
QString columnText(sqlite3_stmt* s, int i);

struct Recordset::Impl {
    struct Column {
        QString name;       // as the query names it
        QString origin;     // the table's column written by an update
        sql::ColumnType type;
    };
    enum class EditMode { None, Adding, Editing };

    // Declared first: the statements below are finalized before it goes.
    std::shared_ptr<Connection> conn;
    RecordsetType type = RecordsetType::Dynaset;
    bool keyset = false;
    bool updatable = false;
    bool closed = false;
    QString sourceSql; // the translated query
    std::vector<Column> cols;
    QHash<QString, int> byName; // exact and case-folded names

    // Keyset.
    QString table;
    std::vector<qint64> keys;
    Stmt rowStmt;
    QString pkName; // the AutoNumber key column, if the table has one
    int pkCol = -1; // its place among the set's columns
    std::vector<Value> defaults;
    std::vector<Value> cur;
    bool curValid = false;

    // Stream.
    Stmt stream;
    std::vector<Value> rows; // row after row, cols.size() values each
    qint64 rowsRead = 0;
    bool forwardOnly = false; // rows holds only the last row read
    qint64 rowBase = 0;       // the index of the first row in rows
    bool exhausted = false;

    // Position: pos is the current record's index; bof/eof as the flags say;
    // `deleted` after Delete (no current record until a move).
    qint64 pos = 0;
    bool bof = true;
    bool eof = true;
    bool deleted = false;
    bool noMatch = false;
    bool lockEdits = true;
    QString indexColumn;

    // Edit buffer.
    EditMode edit = EditMode::None;
    std::vector<Value> buf;
    std::vector<char> dirty;
    qint64 newKey = 0;

    static std::unique_ptr<Impl> open(const std::shared_ptr<Connection>& conn, const QString& source, RecordsetType type);

    sqlite3* db() const { return conn->db; }
    void checkOpen() const;
    // An open, updatable set (3027 otherwise); with `needCurrent`, also a
    // current record (3021).
    void checkWritable(bool needCurrent) const;
    int column(const QString& name) const;
    qint64 count() const { return keyset ? qint64(keys.size()) : rowsRead; }
    bool exists(qint64 index);
    bool fetchTo(qint64 index);
    void fetchAll();
    bool hasCurrent() const { return !bof && !eof && !deleted; }
    const Value& valueAt(int col);
    void moveTo(qint64 index);
    void setColumns(sqlite3_stmt* s);
    void openKeyset(const QString& columns, const QString& where, const QString& orderBy);
    void openStream();
    void loadTableInfo();
    qint64 nextKey();
    void consumeWriteFailure();
    void step(sqlite3_stmt* s);
};

} // namespace cvd
