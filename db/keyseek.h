#pragma once
// Reading a keyset's keys a piece at a time, from either end: the set's
// order (one column and the key, or the key alone) is split into runs that
// an index reads in order (the rows whose column is missing, then the rest,
// or the other way round when the order is descending), and each piece
// starts just after the last row read, by value, so that it costs the same
// wherever it falls in a table of any size.
#include "db/value.h"

#include <QString>
#include <optional>
#include <vector>

namespace cvd::sql {

struct KeySeek {
    QString key;      // the rows' key, as the backend names it
    QString column;   // the one order column; empty when ordered by the key
    QString sortExpr; // the column as it is ordered (with its collation)
    bool descending = false;

    // The runs in the set's order: 0 and 1 when there is a column (missing
    // values first, as both backends order them), 0 alone otherwise.
    int runs() const { return column.isEmpty() ? 1 : 2; }
    // Whether a run holds the rows whose column is missing.
    bool nullRun(int run) const { return !column.isEmpty() && run == (descending ? 1 : 0); }
};

// Where a piece stopped: the run, and the last row's column and key
// (`started` false: at the run's start, nothing of it read yet).
struct SeekBound {
    int run = 0;
    Value value;
    qint64 key = 0;
    bool started = false;
};

// Recognises an order a keyset can be read by in pieces: "[column [collate
// x] [asc|desc] [nulls ...],] key [asc|desc]", the key in the column's
// direction.  Anything else is read at once.
std::optional<KeySeek> keySeek(const QString& translatedOrder, const QString& key);

// The query of the next piece of one run: the rows of `table` meeting
// `where`, after `from` and before `to` (each only when it lies in this
// run), at most `limit`, read forward or from the end.  Its columns are the
// key and, in a run with values, the column.
QString pieceQuery(const KeySeek& seek, int run, bool backwards, const QString& table, const QString& where,
                   const SeekBound* from, const SeekBound* to, int limit, std::vector<Value>& params);

} // namespace cvd::sql
