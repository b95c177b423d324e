#pragma once
// The inside of a record set.  Two ways of holding rows:
//  - keyset: a query over one table; the keys of its rows, in the query's
//    order, and the current row is read by key.  Updatable (dynaset,
//    table).  A dynaset ordered by one column (or by its key) reads its
//    keys a piece at a time from both ends, as the set moves
//    (recordset_keys.cpp); any other keyset reads them all at open.
//  - stream: any query; rows are read as the set moves and kept, so that
//    moving back works.  Read-only (snapshot, and any query that is not
//    over one table).
// The backend (backend.h) does what differs between a file and a server.
#include "db/backend.h"
#include "db/keyseek.h"

#include <QHash>
#include <optional>
#include <unordered_set>
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
    QString keyWhere;   // its condition
    QString keyOrder;   // and its order, the key last
    std::vector<engine::RowKey> keys;
    // While the keys are read in pieces (`partial`): `keys` holds them from
    // the first record on, `tail` from the last back (tail[0] is the last),
    // and `added` the records added here, which follow the last.  Their
    // positions count from the set's end: endMark - 1 - i for tail[i],
    // endMark + i for added[i].  When the two ends meet, all of them join
    // `keys` and a position from the end moves by joinedAt - endMark.
    static constexpr qint64 endMark = qint64(1) << 52;
    static constexpr qint64 fromEnd = qint64(1) << 51; // positions at or above it count from the end
    bool partial = false;
    std::optional<sql::KeySeek> seek;
    std::vector<engine::RowKey> tail, added;
    std::optional<sql::SeekBound> headBound, tailBound; // where each end stopped
    int headPiece = 0, tailPiece = 0;                    // the next piece's size
    qint64 joinedAt = -1;
    std::unordered_set<engine::RowKey> movedHere; // added or changed here: never read twice
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
    // The records read so far (a partial keyset reads its first piece
    // when it holds none).
    qint64 count();
    // One past the last record.
    qint64 endPosition();
    bool exists(qint64& index); // moves a position from the end when the ends meet
    bool fetchTo(qint64 index);
    void fetchAll();
    bool hasCurrent() const { return !bof && !eof && !deleted; }
    const Value& valueAt(int col);
    void moveTo(qint64 index);
    void setColumns(const std::vector<Column>& c);
    void openKeyset(const QString& columns, const QString& where, const QString& orderBy);

    // The keys (recordset_keys.cpp).
    void readKeys();
    engine::RowKey& keyAt(qint64 position);
    bool keyRead(qint64 position) const;
    // Reads keys until `position` is read or known to be past an end; a
    // position from the end is moved when the ends meet.
    bool reach(qint64& position);
    bool readPiece(bool fromTheEnd);
    void joinEnds();
    qint64 joined(qint64 position) const;
    // The position of a key, reading on from both ends until it is found.
    std::optional<qint64> locate(engine::RowKey key);
    std::optional<qint64> findRead(engine::RowKey key) const;
    void addKey(engine::RowKey key);
    qint64 firstPartialHit(const QString& criteria);
    void eraseCurrentKey();
    void openStream();
};

} // namespace cvd
