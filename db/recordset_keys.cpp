// Record sets: a keyset's keys, read at once or a piece at a time from both
// ends.  A piece starts just after the last row its end read (by the order's
// values, not by counting), so that opening a set, its first and its last
// record cost the same in a table of ten rows or of ten million.
#include "db/recordsetimpl.h"

#include <algorithm>

namespace cvd {

namespace {

constexpr int FirstPiece = 64;
constexpr int LargestPiece = 16384;

} // namespace

void Recordset::Impl::readKeys()
{
    keys.clear();
    tail.clear();
    added.clear();
    movedHere.clear();
    headBound.reset();
    tailBound.reset();
    joinedAt = -1;
    partial = seek.has_value();
    if (!partial) {
        keys = backend->keys(keySql);
        return;
    }
    headPiece = tailPiece = FirstPiece;
    readPiece(false);
}

qint64 Recordset::Impl::count()
{
    if (!keyset)
        return rowsRead;
    if (partial && keys.empty() && tail.empty() && added.empty())
        readPiece(false);
    return qint64(keys.size() + tail.size() + added.size());
}

qint64 Recordset::Impl::endPosition() { return partial ? endMark + qint64(added.size()) : count(); }

engine::RowKey& Recordset::Impl::keyAt(qint64 position)
{
    if (position < fromEnd)
        return keys[size_t(position)];
    const qint64 offset = position - endMark;
    return offset >= 0 ? added[size_t(offset)] : tail[size_t(-offset - 1)];
}

bool Recordset::Impl::keyRead(qint64 position) const
{
    if (position < 0)
        return false;
    if (position < fromEnd)
        return position < qint64(keys.size());
    if (!partial)
        return false;
    const qint64 offset = position - endMark;
    return offset >= 0 ? offset < qint64(added.size()) : -offset - 1 < qint64(tail.size());
}

qint64 Recordset::Impl::joined(qint64 position) const
{
    return position >= fromEnd && !partial && joinedAt >= 0 ? position - endMark + joinedAt : position;
}

bool Recordset::Impl::reach(qint64& position)
{
    position = joined(position);
    if (position < 0)
        return false;
    while (!keyRead(position) && partial) {
        // Before the tail's first key: read back from the end; past the
        // keys from the start: read on.  The added records are all read.
        if (position >= fromEnd && position >= endMark)
            return false;
        readPiece(position >= fromEnd);
        position = joined(position);
    }
    return keyRead(position);
}

bool Recordset::Impl::readPiece(bool fromTheEnd)
{
    auto& own = fromTheEnd ? tailBound : headBound;
    const auto& other = fromTheEnd ? headBound : tailBound;
    int& size = fromTheEnd ? tailPiece : headPiece;
    auto& into = fromTheEnd ? tail : keys;
    const int lastRun = seek->runs() - 1;
    int run = own ? own->run : (fromTheEnd ? lastRun : 0);
    for (;;) {
        const int limit = size;
        size = std::min(size * 4, LargestPiece);
        const sql::SeekBound* from = own && own->run == run && own->started ? &*own : nullptr;
        const sql::SeekBound* to = other && other->run == run && other->started ? &*other : nullptr;
        std::vector<Value> params;
        const QString text = sql::pieceQuery(*seek, run, fromTheEnd, table->name, keyWhere, from, to, limit, params);
        int read = 0;
        {
            const auto rows = backend->query(text, params);
            std::vector<Value> row;
            while (row.clear(), rows->next(row)) {
                ++read;
                const engine::RowKey key = row[0].toBigInt();
                own = sql::SeekBound{run, row.size() > 1 ? row[1] : Value(), key, true};
                // A record added or changed here may have moved into the
                // part not yet read: it is not taken twice.
                if (!movedHere.empty() && movedHere.count(key) && findRead(key))
                    continue;
                into.push_back(key);
            }
        }
        if (read == limit)
            return true;
        // This run is read to its end, or to where the other end stopped.
        const int next = fromTheEnd ? run - 1 : run + 1;
        if ((other && other->run == run) || next < 0 || next > lastRun) {
            joinEnds();
            return true;
        }
        run = next;
        own = sql::SeekBound{run, Value(), 0, false};
    }
}

void Recordset::Impl::joinEnds()
{
    joinedAt = qint64(keys.size() + tail.size());
    keys.insert(keys.end(), tail.rbegin(), tail.rend());
    keys.insert(keys.end(), added.begin(), added.end());
    tail.clear();
    tail.shrink_to_fit();
    added.clear();
    movedHere.clear();
    headBound.reset();
    tailBound.reset();
    partial = false;
    pos = joined(pos);
}

std::optional<qint64> Recordset::Impl::findRead(engine::RowKey key) const
{
    if (const auto it = std::find(keys.begin(), keys.end(), key); it != keys.end())
        return it - keys.begin();
    if (const auto it = std::find(tail.begin(), tail.end(), key); it != tail.end())
        return endMark - 1 - (it - tail.begin());
    if (const auto it = std::find(added.begin(), added.end(), key); it != added.end())
        return endMark + (it - added.begin());
    return std::nullopt;
}

std::optional<qint64> Recordset::Impl::locate(engine::RowKey key)
{
    // Read on from both ends in turn, so that a record near either end is
    // found after a piece or two.
    for (bool fromTheEnd = false;; fromTheEnd = !fromTheEnd) {
        if (const auto at = findRead(key))
            return at;
        if (!partial)
            return std::nullopt;
        readPiece(fromTheEnd);
    }
}

void Recordset::Impl::addKey(engine::RowKey key)
{
    if (!partial) {
        keys.push_back(key);
        return;
    }
    added.push_back(key);
    movedHere.insert(key);
}

void Recordset::Impl::eraseCurrentKey()
{
    if (pos < fromEnd) {
        keys.erase(keys.begin() + pos);
        return;
    }
    const qint64 offset = pos - endMark;
    if (offset >= 0) {
        added.erase(added.begin() + offset);
        return;
    }
    // The records before it move one place toward the end and the next
    // keeps its place: as in the keys from the start, the current
    // position becomes the next record's.
    tail.erase(tail.begin() + (-offset - 1));
    ++pos;
}

} // namespace cvd
