#include "db/copydb.h"

#include "db/createdb.h"
#include "db/database.h"
#include "db/errors.h"
#include "db/schema.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <vector>

namespace cvd {

namespace {

// The key column a table has in both kinds of database; empty for Settings,
// whose key only a server has.
QString sharedKey(const QString& table)
{
    const QString key = schema::keyColumn(table);
    return schema::columnNames(table).contains(key) ? key : QString();
}

QString selectAll(const QString& table)
{
    QString sql = QStringLiteral("Select %1 from %2").arg(schema::columnNames(table).join(QStringLiteral(", ")), table);
    const QString key = sharedKey(table);
    if (!key.isEmpty())
        sql += QStringLiteral(" order by ") + key;
    return sql;
}

qint64 rowCount(Database& db, const QString& table)
{
    auto rs = db.OpenRecordset(QStringLiteral("Select count(*) as n from %1").arg(table), RecordsetType::ForwardOnly);
    return qint64(rs->Field(0).toDouble());
}

// Every row of a table, in key order, through a forward-only set.  `row`
// answers false to stop.
bool readRows(Database& db, const QString& table, const std::function<bool(const std::vector<Value>&)>& row)
{
    auto rs = db.OpenRecordset(selectAll(table), RecordsetType::ForwardOnly);
    const int n = int(schema::columnNames(table).size());
    std::vector<Value> values(static_cast<std::size_t>(n));
    for (; !rs->Eof(); rs->MoveNext()) {
        for (int i = 0; i < n; ++i)
            values[std::size_t(i)] = rs->Field(i);
        if (!row(values))
            return false;
    }
    return true;
}

template <typename Number>
QByteArray shortest(Number x)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, x);
    return QByteArray(buf, r.ptr - buf);
}

void appendCanonical(QByteArray& out, const Value& v)
{
    QByteArray text;
    switch (v.type()) {
    case VType::Null: out += 'N'; return;
    case VType::Boolean: text = v.toBool() ? "1" : "0"; break;
    case VType::Long:
    case VType::BigInt: text = QByteArray::number(v.toBigInt()); break;
    case VType::Single: text = shortest(v.toSingle()); break;
    case VType::Double: text = shortest(v.toDouble()); break;
    case VType::Currency: text = QByteArray::number(v.toCurrency().units); break;
    case VType::Date: text = v.toDate().toString(Qt::ISODate).toLatin1(); break;
    case VType::Text: text = v.toText().toUtf8(); break;
    }
    out += 'V';
    out += QByteArray::number(text.size());
    out += ':';
    out += text;
}

// The checksum of a table's rows, given one after the other in key order,
// or in any order for a table without a key (they are sorted then).
class Summer {
public:
    explicit Summer(const QString& table) : m_sorted(sharedKey(table).isEmpty()) {}
    void add(const std::vector<Value>& row)
    {
        m_row.clear();
        for (const Value& v : row)
            appendCanonical(m_row, v);
        m_row += '\n';
        ++m_sum.rows;
        if (m_sorted)
            m_pending.push_back(m_row);
        else
            m_hash.addData(m_row);
    }
    TableSum result()
    {
        std::sort(m_pending.begin(), m_pending.end());
        for (const QByteArray& r : m_pending)
            m_hash.addData(r);
        m_sum.sha256 = m_hash.result().toHex();
        return m_sum;
    }

private:
    bool m_sorted;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
    QByteArray m_row;
    std::vector<QByteArray> m_pending;
    TableSum m_sum;
};

// A server read in one snapshot while this lives; a file needs none (the
// engine holds it for this program alone).
class Snapshot {
public:
    explicit Snapshot(Database& db) : m_db(db.isServer() ? &db : nullptr)
    {
        if (m_db)
            m_db->Execute(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"));
    }
    ~Snapshot()
    {
        if (!m_db)
            return;
        try {
            m_db->Execute(QStringLiteral("COMMIT"));
        } catch (const Error&) {
            // A connection gone with its snapshot: nothing is left open.
        }
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

private:
    Database* m_db;
};

// Refuses (58) a destination that holds records; a Settings row does not
// count, a new database has one.
void requireEmpty(Database& dest)
{
    QStringList held;
    for (const QString& table : schema::tableNames())
        if (table != QLatin1String("Settings"))
            if (const qint64 n = rowCount(dest, table))
                held << QStringLiteral("%1 in %2").arg(n).arg(table);
    if (!held.isEmpty())
        raise(ErrNo::FileExists, QStringLiteral("The database %1 already holds records (%2); nothing was copied into "
                                                "it.  Copy into a database without records, or make a new one.")
                                     .arg(dest.path(), held.join(QStringLiteral(", "))));
}

// The rows a table holds now, to be put back.
std::vector<std::vector<Value>> rowsOf(Database& db, const QString& table)
{
    std::vector<std::vector<Value>> rows;
    readRows(db, table, [&](const std::vector<Value>& r) {
        rows.push_back(r);
        return true;
    });
    return rows;
}

void loadRows(Database& db, const QString& table, const std::vector<std::vector<Value>>& rows)
{
    auto loader = db.loader(table, schema::columnNames(table));
    for (const auto& r : rows)
        loader->add(r);
    loader->finish();
}

// A server database whose tables were empty when the copy began, emptied
// again, its Settings rows as they were.
void takeBack(Database& dest, const std::vector<std::vector<Value>>& settings)
{
    for (const QString& table : schema::tableNames())
        dest.Execute(QStringLiteral("Delete from %1").arg(table));
    loadRows(dest, QStringLiteral("Settings"), settings);
    dest.finishLoading();
}

struct NotKept {};

} // namespace

bool CopyReport::matches() const
{
    return !stopped && !tables.isEmpty()
           && std::all_of(tables.begin(), tables.end(), [](const TableCopy& t) { return t.matches(); });
}

TableSum tableChecksum(Database& db, const QString& table)
{
    Summer sum(table);
    readRows(db, table, [&](const std::vector<Value>& row) {
        sum.add(row);
        return true;
    });
    return sum.result();
}

CopyReport copyDatabase(Database& src, Database& dest, const CopyProgress& progress)
{
    CopyReport report;
    const Snapshot snapshot(src);
    requireEmpty(dest);
    const QStringList tables = schema::tableNames();
    qint64 total = 0, done = 0;
    for (const QString& table : tables)
        total += rowCount(src, table);
    if (progress && !progress(0, total)) {
        report.stopped = true;
        return report;
    }
    for (const QString& table : tables) {
        if (table == QLatin1String("Settings"))
            dest.Execute(QStringLiteral("Delete from Settings"));
        Summer sum(table);
        auto loader = dest.loader(table, schema::columnNames(table));
        const bool whole = readRows(src, table, [&](const std::vector<Value>& row) {
            sum.add(row);
            loader->add(row);
            return !progress || ++done % 4096 != 0 || progress(done, total);
        });
        if (!whole) {
            report.stopped = true;
            return report;
        }
        loader->finish();
        report.tables << TableCopy{table, sum.result(), {}};
    }
    if (progress && !progress(total, total)) {
        report.stopped = true;
        return report;
    }
    report.broken = dest.finishLoading();
    for (TableCopy& t : report.tables)
        t.copy = tableChecksum(dest, t.table);
    return report;
}

CopyReport copyDatabase(const QString& source, const QString& destination, const CopyProgress& progress)
{
    const QString from = databaseLocation(source);
    const auto src = Database::Open(from, isServerLocation(from) ? OpenMode::Work : OpenMode::Check);
    CopyReport report;
    const DatabaseFill fill = [&](Database& dest) {
        report = copyDatabase(*src, dest, progress);
        if (!report.matches())
            throw NotKept{};
    };
    QString to = destination;
    if (QFileInfo(destination).isDir() && QFileInfo::exists(connectionFilePath(destination)))
        to = connectionFilePath(destination);
    QString made;
    try {
        if (!isServerLocation(to)) {
            // A folder (made when missing) gets cvd.mdb; a name ending in
            // .mdb is the file itself.
            made = to.endsWith(QLatin1String(".mdb"), Qt::CaseInsensitive) ? createDatabaseFile(to, fill)
                                                                           : createDatabase(to, fill);
        } else {
            std::shared_ptr<Database> dest;
            try {
                dest = Database::Open(to);
            } catch (const Error& e) {
                if (e.number() != ErrNo::MissingTables)
                    throw;
            }
            if (!dest) {
                made = createServerDatabase(to, fill);
            } else {
                made = dest->path();
                requireEmpty(*dest);
                const auto settings = rowsOf(*dest, QStringLiteral("Settings"));
                try {
                    fill(*dest);
                } catch (const NotKept&) {
                    takeBack(*dest, settings);
                    throw;
                } catch (const Error& e) {
                    try {
                        takeBack(*dest, settings);
                    } catch (const Error& undo) {
                        raise(e.number(), QStringLiteral("%1  The records copied so far could not be taken away "
                                                         "again (%2): empty the tables before trying once more.")
                                              .arg(e.text(), undo.text()));
                    }
                    throw;
                }
            }
        }
    } catch (const NotKept&) {
        // The report tells what did not match, or that the copy was stopped.
    }
    report.source = src->path();
    report.copy = made.isEmpty() ? to : made;
    return report;
}

} // namespace cvd
