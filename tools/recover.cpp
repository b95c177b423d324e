// Recovering a damaged file.  Which records a table holds is found from the
// table itself, read key after key; where a damaged page stops that scan,
// the next key that can be reached is searched for and the scan goes on
// from there; every index of the table adds the keys it lists; and every
// sound leaf page of the file adds its records, whether the table's tree
// still reaches it or not (recoverpages.h).  Each record is then read by its
// key through SQLite, or else from its leaf page, a field at a time when
// the whole record cannot be read.  Keys listed by an index that lead to
// nothing readable are the records known to be lost.
#include "tools/recover.h"

#include "db/errors.h"
#include "db/schema.h"
#include "db/pagechecksums.h"
#include "tools/createdb.h"
#include "tools/recoverpages.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <set>

namespace cvd::tools {

namespace {

struct Finalize {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

Statement prepare(sqlite3* db, const QString& sql)
{
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s, nullptr);
    return Statement(s);
}

QString quoted(const QString& name) { return QLatin1Char('"') + QString(name).replace(u'"', QLatin1String("\"\"")) + QLatin1Char('"'); }

constexpr qint64 kLowest = std::numeric_limits<qint64>::min();
constexpr qint64 kHighest = std::numeric_limits<qint64>::max();

// The damaged file, open for reading only.
class Source {
public:
    Source(sqlite3* db, const QString& table) : m_db(db), m_table(quoted(table)) {}

    // Whether the first key from `from` on can be reached.
    bool reachable(qint64 from)
    {
        Statement s = prepare(m_db, QStringLiteral("SELECT rowid FROM %1 NOT INDEXED WHERE rowid >= ?1 ORDER BY rowid LIMIT 1").arg(m_table));
        if (!s)
            return false;
        sqlite3_bind_int64(s.get(), 1, from);
        const int rc = sqlite3_step(s.get());
        return rc == SQLITE_ROW || rc == SQLITE_DONE;
    }

    // The keys of the table's records, past the damaged pages; `damaged`
    // tells whether any stopped the scan.
    std::set<qint64> tableKeys(bool& damaged)
    {
        std::set<qint64> keys;
        qint64 from = kLowest;
        for (;;) {
            Statement s = prepare(m_db, QStringLiteral("SELECT rowid FROM %1 NOT INDEXED WHERE rowid >= ?1 ORDER BY rowid").arg(m_table));
            if (!s) {
                damaged = true;
                return keys;
            }
            sqlite3_bind_int64(s.get(), 1, from);
            int rc;
            while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
                const qint64 k = sqlite3_column_int64(s.get(), 0);
                keys.insert(k);
                from = k == kHighest ? k : k + 1;
            }
            if (rc == SQLITE_DONE)
                return keys;
            damaged = true;
            // The smallest key from which the scan can go on: doubling steps
            // past the damage, then halving back to its end.
            qint64 bad = from, good = 0, step = 1;
            for (;;) {
                if (bad > kHighest - step)
                    return keys; // nothing can be reached beyond the damage
                if (reachable(bad + step)) {
                    good = bad + step;
                    break;
                }
                bad += step;
                step = step > kHighest / 2 ? kHighest : step * 2;
            }
            while (good - bad > 1) {
                const qint64 mid = bad + (good - bad) / 2;
                (reachable(mid) ? good : bad) = mid;
            }
            from = good;
        }
    }

    // The keys an index lists, as far as it can be read; whether it could
    // be read to its end.
    bool indexKeys(const QString& index, std::set<qint64>& keys)
    {
        Statement s = prepare(m_db, QStringLiteral("SELECT rowid FROM %1 INDEXED BY %2").arg(m_table, quoted(index)));
        int rc = SQLITE_ERROR;
        while (s && (rc = sqlite3_step(s.get())) == SQLITE_ROW)
            keys.insert(sqlite3_column_int64(s.get(), 0));
        return rc == SQLITE_DONE;
    }

private:
    sqlite3* m_db;
    QString m_table;
};

QStringList indexesOf(sqlite3* db, const QString& table)
{
    QStringList names;
    Statement s = prepare(db, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 COLLATE NOCASE"));
    const QByteArray t = table.toUtf8();
    if (s)
        sqlite3_bind_text(s.get(), 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
    while (s && sqlite3_step(s.get()) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0)));
    return names;
}

// The key column of one of the program's tables in the new file, if any.
QString keyColumn(sqlite3* target, const QString& table)
{
    Statement s = prepare(target, QStringLiteral("SELECT name FROM pragma_table_info(%1) WHERE pk = 1").arg(quoted(table).replace(u'"', u'\'')));
    return s && sqlite3_step(s.get()) == SQLITE_ROW ? QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0)))
                                                    : QString();
}

// The records of a table's leaf pages, read a page at a time.
class LeafReader {
public:
    LeafReader(PageFile& file, const TableLeaves* leaves) : m_file(file), m_leaves(leaves) {}
    const LeafRecord* find(qint64 key)
    {
        const auto at = m_leaves ? m_leaves->pageOf.find(key) : std::map<qint64, quint32>::const_iterator();
        if (!m_leaves || at == m_leaves->pageOf.end())
            return nullptr;
        if (at->second != m_page && !m_file.readLeaf(m_page = at->second, m_records))
            m_records.clear();
        const auto r = std::find_if(m_records.begin(), m_records.end(), [&](const LeafRecord& x) { return x.rowid == key; });
        return r == m_records.end() ? nullptr : &*r;
    }
    bool outside(qint64 key) const { return m_leaves && m_leaves->outside.count(m_leaves->pageOf.at(key)); }

private:
    PageFile& m_file;
    const TableLeaves* m_leaves;
    quint32 m_page = 0;
    std::vector<LeafRecord> m_records;
};

// A field read from its page, as SQLite reads it: a whole number in a
// column of floating-point affinity is a float.
void bindStored(sqlite3_stmt* s, int at, const StoredValue& v, bool real)
{
    switch (v.kind) {
    case SQLITE_INTEGER:
        real ? sqlite3_bind_double(s, at, double(v.integer)) : sqlite3_bind_int64(s, at, v.integer);
        break;
    case SQLITE_FLOAT:
        sqlite3_bind_double(s, at, v.real);
        break;
    case SQLITE_TEXT:
        sqlite3_bind_text(s, at, v.bytes.constData(), int(v.bytes.size()), SQLITE_TRANSIENT);
        break;
    case SQLITE_BLOB:
        sqlite3_bind_blob(s, at, v.bytes.constData(), int(v.bytes.size()), SQLITE_TRANSIENT);
        break;
    default:
        sqlite3_bind_null(s, at);
    }
}

// Copies the readable records of one table; `columns` are those both files
// have, `fileColumns` all the damaged file's, in its order.
void copyTable(sqlite3* from, sqlite3* to, const QString& table, const QStringList& columns, const QStringList& fileColumns,
               LeafReader& leaves, const TableLeaves* found, RecoveredTable& out)
{
    Source source(from, table);
    bool damaged = false;
    std::set<qint64> keys = source.tableKeys(damaged);
    // An index read to its end lists every record there was.
    bool listed = false, indexDamaged = false;
    for (const QString& index : indexesOf(from, table)) {
        const bool whole = source.indexKeys(index, keys);
        listed = listed || whole;
        indexDamaged = indexDamaged || !whole;
    }
    if (found) {
        for (const auto& [k, page] : found->pageOf)
            keys.insert(k);
        damaged = damaged || found->treeDamaged;
        out.outsidePages = int(found->outside.size());
        out.sameShape = found->sameShape;
        out.undecidedPages = found->undecided;
    }
    out.lostUnknown = damaged && !listed;
    out.damaged = damaged || indexDamaged;

    // Each record keeps its key: the key column when the damaged file has
    // it, otherwise the record number (Settings has no key column).
    const QString key = keyColumn(to, table);
    const int keyField = key.isEmpty() ? -1 : int(columns.indexOf(key));
    const bool byRowid = keyField < 0;
    QStringList quotedCols;
    std::vector<int> stored; // each column's place in a record of the damaged file
    std::vector<bool> real;
    for (const QString& c : columns) {
        quotedCols << quoted(c);
        const auto at = std::find_if(fileColumns.begin(), fileColumns.end(), [&](const QString& f) { return f.compare(c, Qt::CaseInsensitive) == 0; });
        stored.push_back(at == fileColumns.end() ? -1 : int(at - fileColumns.begin()));
        real.push_back(schema::declaredType(table, c) == QLatin1String("DOUBLE"));
    }
    const QString list = quotedCols.join(u',');
    const QStringList marks(columns.size() + (byRowid ? 1 : 0), QStringLiteral("?"));
    Statement read = prepare(from, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1").arg(list, quoted(table)));
    if (!read)
        sqliteFailed(from, sqlite3_errcode(from));
    Statement write = prepare(to, QStringLiteral("INSERT INTO %1 (%2%3) VALUES (%4)")
                                      .arg(quoted(table), byRowid ? QStringLiteral("rowid,") : QString(), list, marks.join(u',')));
    if (!write)
        sqliteFailed(to, sqlite3_errcode(to));
    std::vector<Statement> fields;
    for (const QString& c : quotedCols)
        fields.push_back(prepare(from, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1").arg(c, quoted(table))));

    const int first = byRowid ? 2 : 1; // the first field's parameter
    for (const qint64 k : keys) {
        sqlite3_reset(read.get());
        sqlite3_bind_int64(read.get(), 1, k);
        sqlite3_reset(write.get());
        sqlite3_clear_bindings(write.get());
        const int rc = sqlite3_step(read.get());
        if (rc == SQLITE_DONE)
            continue; // the table's sound pages hold no such record
        // Only what a sound page holds is saved: SQLite reads a page the
        // file's end cuts short as if the rest of it were empty.
        if (found && !found->pageOf.count(k)) {
            ++out.lost;
            continue;
        }
        const LeafRecord* onPage = rc == SQLITE_ROW ? nullptr : leaves.find(k);
        const auto storedField = [&](int c) -> const StoredValue* {
            const int at = stored[size_t(c)];
            return onPage && at >= 0 && size_t(at) < onPage->fields.size() && onPage->fields[size_t(at)].kind != 0
                       ? &onPage->fields[size_t(at)] : nullptr;
        };
        bool whole = rc == SQLITE_ROW;
        int readFields = 0;
        for (int c = 0; c < int(columns.size()); ++c) {
            if (rc == SQLITE_ROW) {
                sqlite3_bind_value(write.get(), first + c, sqlite3_column_value(read.get(), c));
                continue;
            }
            if (onPage && onPage->whole()) {
                bindStored(write.get(), first + c, storedField(c) ? *storedField(c) : StoredValue(), real[size_t(c)]);
                continue;
            }
            sqlite3_stmt* f = fields[size_t(c)].get();
            sqlite3_reset(f);
            sqlite3_bind_int64(f, 1, k);
            if (f && sqlite3_step(f) == SQLITE_ROW) {
                sqlite3_bind_value(write.get(), first + c, sqlite3_column_value(f, 0));
                ++readFields;
            } else if (const StoredValue* v = storedField(c)) {
                bindStored(write.get(), first + c, *v, real[size_t(c)]);
                ++readFields;
            }
        }
        whole = whole || (onPage && onPage->whole());
        if (!whole && readFields == 0) {
            ++out.lost;
            continue;
        }
        sqlite3_bind_int64(write.get(), byRowid ? 1 : first + keyField, k);
        const int w = sqlite3_step(write.get());
        if (w != SQLITE_DONE) {
            if ((w & 0xff) != SQLITE_CONSTRAINT)
                sqliteFailed(to, w);
            ++out.lost; // a record the new file's tables cannot take as it is
            continue;
        }
        ++(whole ? out.saved : out.partly);
        out.outside += onPage && leaves.outside(k);
    }
}

// The tables of the damaged file with their root pages: the program's
// under the program's spelling.
QList<FileTable> fileTables(sqlite3* db, const QHash<QString, QStringList>& columns)
{
    QList<FileTable> all{{QStringLiteral("sqlite_master"), {}, 1}};
    Statement s = prepare(db, QStringLiteral("SELECT name, rootpage FROM sqlite_master WHERE type = 'table'"));
    while (s && sqlite3_step(s.get()) == SQLITE_ROW) {
        FileTable t;
        t.name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0)));
        for (const QString& ours : schema::tableNames())
            if (ours.compare(t.name, Qt::CaseInsensitive) == 0)
                t.name = ours;
        t.columns = columns.value(t.name.toCaseFolded());
        t.root = quint32(qBound<qint64>(0, sqlite3_column_int64(s.get(), 1), 0xffffffffLL));
        all << t;
    }
    return all;
}

// The key counters: never below those of the damaged file, so that no key
// it gave out is given out again.
void carryKeyCounters(sqlite3* from, sqlite3* to)
{
    Statement s = prepare(from, QStringLiteral("SELECT name, seq FROM sqlite_sequence"));
    while (s && sqlite3_step(s.get()) == SQLITE_ROW) {
        const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0)));
        const qint64 seq = sqlite3_column_int64(s.get(), 1);
        if (!schema::tableNames().contains(name, Qt::CaseInsensitive))
            continue;
        const QString t = QString(name).replace(u'\'', QLatin1String("''"));
        execSql(to, QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, %1) WHERE name = '%2' COLLATE NOCASE").arg(seq).arg(t).toUtf8().constData());
        if (sqlite3_changes(to) == 0)
            execSql(to, QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES ('%2', %1)").arg(seq).arg(t).toUtf8().constData());
    }
}

struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};

} // namespace

QList<RecoveredTable> recoverDatabase(const QString& folder, const QString& file)
{
    const QString path = databasePath(folder);
    if (!QFileInfo(path).isFile())
        raise(ErrNo::FileNotFound, QStringLiteral("Couldn't find file '%1'.").arg(path));
    usePageChecksums(); // no page is read that fails its checksum
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<sqlite3, Closer> from(raw);
    if (rc != SQLITE_OK)
        raise(ErrNo::NotADatabase, QStringLiteral("'%1' cannot be read: %2").arg(path, QString::fromUtf8(sqlite3_errmsg(raw))));
    sqlite3_extended_result_codes(raw, 1);
    // Kept from the first read on: nobody writes to the file meanwhile.
    execSql(raw, "PRAGMA locking_mode=EXCLUSIVE");
    execSql(raw, "PRAGMA cell_size_check=ON");
    // Reads a file shorter than its header says (the connection cannot write).
    execSql(raw, "PRAGMA writable_schema=ON");
    QHash<QString, QStringList> tables;
    const int r = schema::readFileTables(raw, tables);
    if ((r & 0xff) == SQLITE_BUSY || (r & 0xff) == SQLITE_LOCKED)
        raise(ErrNo::DatabaseInUse, QStringLiteral("Couldn't use '%1'; file already in use.").arg(path));
    if (r != SQLITE_OK)
        raise(ErrNo::NotADatabase, QStringLiteral("'%1' is not a database file, or its list of tables is damaged; "
                                                  "nothing can be recovered from it.").arg(path));
    bool any = false;
    for (const QString& t : schema::tableNames())
        any = any || tables.contains(t.toCaseFolded());
    if (!any)
        raise(ErrNo::MissingTables, QStringLiteral("'%1' holds none of the program's tables; nothing can be recovered from it.").arg(path));

    PageFile pages(path);
    const QHash<QString, TableLeaves> leaves = pages.isOpen() ? findLeaves(pages, fileTables(raw, tables)) : QHash<QString, TableLeaves>();

    QList<RecoveredTable> report;
    createDatabaseFile(file, [&](sqlite3* to) {
        execSql(to, "DELETE FROM Settings");
        for (const QString& table : schema::tableNames()) {
            RecoveredTable t;
            t.table = table;
            const auto present = tables.constFind(table.toCaseFolded());
            if (present == tables.cend()) {
                t.missingTable = true;
                report << t;
                continue;
            }
            QStringList both;
            for (const QString& c : schema::columnNames(table))
                (present->contains(c, Qt::CaseInsensitive) ? both : t.missingColumns) << c;
            const auto found = leaves.constFind(table);
            const TableLeaves* mine = found == leaves.cend() ? nullptr : &*found;
            LeafReader reader(pages, mine);
            copyTable(raw, to, table, both, *present, reader, mine, t);
            report << t;
        }
        carryKeyCounters(raw, to);
    });
    return report;
}

} // namespace cvd::tools
