// The record operations on the SQLite file.  Rows are told apart by rowid;
// the file is the program's alone, so a row never changes under a set.
#include "db/sqlitebackend.h"

#include "db/serverdialect.h"

#include "db/schema.h"
#include "db/sqldialect.h"

#include <sqlite3.h>

#include <algorithm>

namespace cvd {

namespace {

using engine::Column;
using engine::RowKey;
using engine::TableInfo;

QString textAt(sqlite3_stmt* s, int i)
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
    return QString::fromUtf8(p, sqlite3_column_bytes(s, i));
}

std::vector<Column> columnsOf(sqlite3_stmt* s)
{
    std::vector<Column> cols;
    const int n = sqlite3_column_count(s);
    for (int i = 0; i < n; ++i) {
        Column c;
        c.name = QString::fromUtf8(sqlite3_column_name(s, i));
        const char* origin = sqlite3_column_origin_name(s, i);
        c.origin = origin ? QString::fromUtf8(origin) : c.name;
        c.type = sql::columnType(sqlite3_column_decltype(s, i));
        cols.push_back(std::move(c));
    }
    return cols;
}

void bindAll(sqlite3_stmt* s, const std::vector<Value>& params)
{
    for (size_t i = 0; i < params.size(); ++i)
        sql::bindValue(s, int(i) + 1, params[i]);
}

void step(sqlite3* db, sqlite3_stmt* s)
{
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        sqlFail(db, rc);
}

class SqliteRows final : public engine::Rows {
public:
    SqliteRows(sqlite3* db, Stmt s) : m_db(db), m_stmt(std::move(s)), m_cols(columnsOf(m_stmt.get())) {}
    const std::vector<Column>& columns() const override { return m_cols; }
    bool next(std::vector<Value>& out) override
    {
        if (m_done)
            return false;
        const int rc = sqlite3_step(m_stmt.get());
        if (rc == SQLITE_ROW) {
            for (size_t c = 0; c < m_cols.size(); ++c)
                out.push_back(sql::readColumn(m_stmt.get(), int(c), m_cols[c].type.type));
            return true;
        }
        m_done = true;
        sqlite3_reset(m_stmt.get());
        if (rc != SQLITE_DONE)
            sqlFail(m_db, rc);
        return false;
    }

private:
    sqlite3* m_db;
    Stmt m_stmt;
    std::vector<Column> m_cols;
    bool m_done = false;
};

class SqliteRowReader final : public engine::RowReader {
public:
    SqliteRowReader(sqlite3* db, Stmt s) : m_db(db), m_stmt(std::move(s)), m_cols(columnsOf(m_stmt.get())) {}
    const std::vector<Column>& columns() const override { return m_cols; }
    bool read(RowKey key, std::vector<Value>& out) override
    {
        sqlite3_stmt* s = m_stmt.get();
        sqlite3_reset(s);
        sqlite3_bind_int64(s, 1, key);
        const int rc = sqlite3_step(s);
        if (rc == SQLITE_DONE)
            return false;
        if (rc != SQLITE_ROW)
            sqlFail(m_db, rc);
        out.resize(m_cols.size());
        for (size_t c = 0; c < m_cols.size(); ++c)
            out[c] = sql::readColumn(s, int(c), m_cols[c].type.type);
        sqlite3_reset(s);
        return true;
    }

private:
    sqlite3* m_db;
    Stmt m_stmt;
    std::vector<Column> m_cols;
};

QString plain(const QString& name)
{
    if (name.size() >= 2 && ((name.startsWith(u'[') && name.endsWith(u']')) || (name.startsWith(u'"') && name.endsWith(u'"'))
                             || (name.startsWith(u'`') && name.endsWith(u'`'))))
        return name.mid(1, name.size() - 2);
    return name;
}

class SqliteLoader final : public Database::BulkLoader {
public:
    SqliteLoader(SqliteBackend& b, const QString& table, const QStringList& cols) : m_b(b), m_table(table)
    {
        QStringList q, marks;
        for (const QString& c : cols) {
            q << b.quote(c);
            marks << QStringLiteral("?");
        }
        m_stmt = prepareStmt(b.db, QStringLiteral("insert into %1 (%2) values (%3)")
                                       .arg(b.quote(table), q.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))));
        b.execute(QStringLiteral("SAVEPOINT cvd_load"));
        m_open = true;
    }
    ~SqliteLoader() override
    {
        if (m_open)
            sqlite3_exec(m_b.db, "ROLLBACK TO cvd_load; RELEASE cvd_load", nullptr, nullptr, nullptr);
    }
    void add(const std::vector<Value>& row) override
    {
        sqlite3_reset(m_stmt.get());
        bindAll(m_stmt.get(), row);
        step(m_b.db, m_stmt.get());
    }
    void finish() override
    {
        m_stmt.reset();
        m_b.execute(QStringLiteral("RELEASE cvd_load"));
        m_open = false;
    }

private:
    SqliteBackend& m_b;
    QString m_table;
    Stmt m_stmt;
    bool m_open = false;
};

bool sameTable(const QString& a, const QString& b) { return plain(a).compare(plain(b), Qt::CaseInsensitive) == 0; }

bool anyRow(sqlite3* db, const QString& sqlText, const Value& param)
{
    Stmt s = prepareStmt(db, sqlText, true);
    sql::bindValue(s.get(), 1, param);
    const int rc = sqlite3_step(s.get());
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        sqlFail(db, rc);
    return rc == SQLITE_ROW;
}

} // namespace

// The file is the program's alone: a row written here names rows that
// exist (3201 otherwise), checked for the references the write changes.
void SqliteBackend::checkReferences(const TableInfo& table, const QStringList& columns,
                                    const std::vector<const Value*>& values)
{
    for (const Reference& r : references()) {
        if (!sameTable(r.table, table.name))
            continue;
        const auto named = std::find_if(columns.begin(), columns.end(),
                                        [&](const QString& c) { return c.compare(r.column, Qt::CaseInsensitive) == 0; });
        const qsizetype i = named - columns.begin();
        if (named == columns.end() || values[size_t(i)]->isNull())
            continue;
        const Value& key = *values[size_t(i)];
        if (!anyRow(db, QStringLiteral("select 1 from %1 where %2 = ?1").arg(r.target, schema::keyColumn(r.target)), key))
            raiseMissingReference(r, key.toLong());
    }
}

QString SqliteBackend::translate(const QString& dialectSql) const { return translateSql(dialectSql); }

QString SqliteBackend::quote(const QString& name) const
{
    QString n = plain(name);
    n.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

std::unique_ptr<engine::Rows> SqliteBackend::query(const QString& sql, const std::vector<Value>& params)
{
    Stmt s = prepareStmt(db, sql, true);
    bindAll(s.get(), params);
    return std::make_unique<SqliteRows>(db, std::move(s));
}

std::vector<RowKey> SqliteBackend::keys(const QString& sql, const std::vector<Value>& params)
{
    Stmt s = prepareStmt(db, sql);
    bindAll(s.get(), params);
    std::vector<RowKey> out;
    int rc;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW)
        out.push_back(sqlite3_column_int64(s.get(), 0));
    if (rc != SQLITE_DONE)
        sqlFail(db, rc);
    return out;
}

QString SqliteBackend::keysetOrder(const QString& orderBy, const engine::TableInfo& table) const
{
    // Ties by rowid, in the direction of the last item: as an index of the
    // order's column reads them, and as the server orders them.
    return sql::appendKeyOrder(orderBy, table.key);
}

std::unique_ptr<engine::RowReader> SqliteBackend::rowReader(const TableInfo& table, const QString& columns)
{
    return std::make_unique<SqliteRowReader>(
        db, prepareStmt(db, QStringLiteral("select %1 from %2 where rowid = ?1").arg(columns, table.name), true));
}

void SqliteBackend::execute(const QString& sqlText)
{
    const QByteArray utf8 = sqlText.toUtf8();
    char* msg = nullptr;
    const int rc = sqlite3_exec(db, utf8.constData(), nullptr, nullptr, &msg);
    if (rc != SQLITE_OK) {
        const QString text = QString::fromUtf8(msg ? msg : sqlite3_errstr(rc));
        sqlite3_free(msg);
        if ((rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB)
            raise(ErrNo::NotADatabase, text);
        raise(ErrNo::SqlError, text);
    }
    // Statements run as they are (cvdtool, tests) may change any table.
    ++m_executed;
}

const TableInfo& SqliteBackend::table(const QString& name)
{
    const QString folded = plain(name).toCaseFolded();
    const auto found = m_tables.constFind(folded);
    if (found != m_tables.constEnd())
        return *found;
    TableInfo t;
    t.name = name;
    t.key = QStringLiteral("rowid");
    Stmt kind = prepareStmt(db, QStringLiteral("select type from sqlite_master where name = ?1 collate nocase"
                                               " and type in ('table', 'view')"));
    bindAll(kind.get(), {Value(plain(name))});
    if (sqlite3_step(kind.get()) != SQLITE_ROW)
        raise(ErrNo::SqlError, QStringLiteral("no such table: %1").arg(plain(name)));
    t.view = textAt(kind.get(), 0) == QLatin1String("view");
    Stmt info = prepareStmt(db, QStringLiteral("PRAGMA table_info(%1)").arg(quote(name)));
    int pkCount = 0;
    QString pk, pkType;
    while (sqlite3_step(info.get()) == SQLITE_ROW) {
        const QString col = textAt(info.get(), 1);
        if (sqlite3_column_type(info.get(), 4) != SQLITE_NULL)
            t.defaults.insert(col.toCaseFolded(), sql::declaredDefault(textAt(info.get(), 4)));
        if (sqlite3_column_int(info.get(), 5) > 0) {
            ++pkCount;
            pk = col;
            pkType = textAt(info.get(), 2);
        }
    }
    if (pkCount == 1 && pkType.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
        t.autoKey = pk;
    return *m_tables.insert(folded, t);
}

QString SqliteBackend::indexColumn(const TableInfo& table, const QString& index)
{
    const QString name = plain(index);
    Stmt s = prepareStmt(db, QStringLiteral("select name from pragma_index_info("
                                            "(select name from sqlite_master where type = 'index'"
                                            " and name = ?1 collate nocase and tbl_name = ?2 collate nocase))"
                                            " order by seqno limit 1"));
    bindAll(s.get(), {Value(name), Value(plain(table.name))});
    if (sqlite3_step(s.get()) == SQLITE_ROW)
        return textAt(s.get(), 0);
    // An index named after the one column it orders by (StaffID).
    Stmt c = prepareStmt(db, QStringLiteral("PRAGMA table_info(%1)").arg(quote(table.name)));
    while (sqlite3_step(c.get()) == SQLITE_ROW) {
        const QString col = textAt(c.get(), 1);
        if (col.compare(name, Qt::CaseInsensitive) == 0)
            return col;
    }
    return {};
}

RowKey SqliteBackend::reserveKey(const TableInfo& table)
{
    RowKey k = 0;
    Stmt s = prepareStmt(db, QStringLiteral("select seq from sqlite_sequence where name = ?1 collate nocase"));
    bindAll(s.get(), {Value(plain(table.name))});
    if (sqlite3_step(s.get()) == SQLITE_ROW)
        k = sqlite3_column_int64(s.get(), 0);
    Stmt m = prepareStmt(db, QStringLiteral("select max(rowid) from ") + table.name);
    if (sqlite3_step(m.get()) == SQLITE_ROW)
        k = std::max<RowKey>(k, sqlite3_column_int64(m.get(), 0));
    return k + 1;
}

RowKey SqliteBackend::insertRow(const TableInfo& table, const QStringList& columns, const std::vector<const Value*>& values)
{
    QString sqlText;
    if (columns.isEmpty()) {
        sqlText = QStringLiteral("insert into %1 default values").arg(table.name);
    } else {
        QStringList q, marks;
        for (const QString& n : columns) {
            q << quote(n);
            marks << QStringLiteral("?");
        }
        sqlText = QStringLiteral("insert into %1 (%2) values (%3)")
                      .arg(table.name, q.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    }
    checkReferences(table, columns, values);
    Stmt s = prepareStmt(db, sqlText);
    for (size_t i = 0; i < values.size(); ++i)
        sql::bindValue(s.get(), int(i) + 1, *values[i]);
    step(db, s.get());
    bumpVersion(table.name);
    return sqlite3_last_insert_rowid(db);
}

void SqliteBackend::updateRow(const TableInfo& table, RowKey key, const QStringList& columns,
                              const std::vector<const Value*>& values, const QString&, const std::vector<Value>&)
{
    checkReferences(table, columns, values);
    QStringList sets;
    for (const QString& n : columns)
        sets << quote(n) + QStringLiteral(" = ?");
    Stmt s = prepareStmt(db, QStringLiteral("update %1 set %2 where rowid = ?%3")
                                 .arg(table.name, sets.join(QStringLiteral(", ")))
                                 .arg(values.size() + 1));
    for (size_t i = 0; i < values.size(); ++i)
        sql::bindValue(s.get(), int(i) + 1, *values[i]);
    sqlite3_bind_int64(s.get(), int(values.size()) + 1, key);
    step(db, s.get());
    bumpVersion(table.name);
}

void SqliteBackend::deleteRow(const TableInfo& table, RowKey key)
{
    // A row that another names stays (3200).
    for (const Reference& r : references())
        if (sameTable(r.target, table.name)
            && anyRow(db, QStringLiteral("select 1 from %1 where %2 = ?1 limit 1").arg(r.table, r.column), Value(key)))
            raiseRowInUse(r);
    Stmt s = prepareStmt(db, QStringLiteral("delete from %1 where rowid = ?1").arg(table.name));
    sqlite3_bind_int64(s.get(), 1, key);
    step(db, s.get());
    bumpVersion(table.name);
}

void SqliteBackend::bumpVersion(const QString& table) { ++m_versions[plain(table).toCaseFolded()]; }

qint64 SqliteBackend::tableVersion(const QString& table)
{
    return m_versions.value(plain(table).toCaseFolded()) + m_executed;
}

std::unique_ptr<Database::BulkLoader> SqliteBackend::loader(const QString& table, const QStringList& columns)
{
    beforeWrite();
    bumpVersion(table);
    return std::make_unique<SqliteLoader>(*this, table, columns);
}

} // namespace cvd
