#pragma once
// The inside of a record set.  Two ways of holding rows:
//  - keyset: a query over one table; the keys of its rows, in the query's
//    order, are read once at open, and the current row is read by key.
//    Updatable (dynaset, table).
//  - stream: any query; rows are read as the set moves and kept, so that
//    moving back works.  Read-only (snapshot, and any query that is not
//    over one table).
// The backend (backend.h) does what differs between a file and a server.
#include "db/backend.h"

#include <QHash>
#include <vector>

namespace cvd {

// A name without [..], ".." or `..`.
QString plainName(const QString& name);

struct Recordset::Impl {
    using Column = engine::Column;
    enum class EditMode { None, Adding, Editing };

    std::shared_ptr<engine::Backend> backend;
    RecordsetType type = RecordsetType::Dynaset;
    QString source;   // as the caller gave it
    bool keyset = false;
    bool updatable = false;
    bool closed = false;
    QString sourceSql; // the translated query
    std::vector<Column> cols;
    QHash<QString, int> byName; // exact and case-folded names

    // Keyset.
    const engine::TableInfo* table = nullptr;
    QString selectList; // the set's columns, as its query names them
    QString keySql;     // the query of its keys
    std::vector<engine::RowKey> keys;
    std::unique_ptr<engine::RowReader> rowReader;
    int pkCol = -1; // the AutoNumber key's place among the set's columns
    std::vector<Value> defaults;
    std::vector<Value> cur; // the current row as read
    bool curValid = false;

    // Stream.
    std::unique_ptr<engine::Rows> stream;
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
    std::vector<Value> asShown; // the row as it was when Edit began
    engine::RowKey newKey = 0;

    static std::unique_ptr<Impl> open(const std::shared_ptr<engine::Backend>& backend, const QString& source,
                                      RecordsetType type);
    void load();

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
    void setColumns(const std::vector<Column>& c);
    void openKeyset(const QString& columns, const QString& where, const QString& orderBy);
    void openStream();
    void consumeWriteFailure();
};

} // namespace cvd
