// The PostgreSQL server behind the engine.  Several desks share it: a row
// is written under a row lock taken without waiting (3260 when another
// desk holds it), and only when it still is as the set read it (3197
// otherwise), so that no desk overwrites another's change unseen.
#include "db/pgconn.h"
#include "db/schema.h"
#include "db/serverdialect.h"

#include <QtEndian>
#include <atomic>

namespace cvd::engine {

namespace {

using pg::Result;

Value keyParam(RowKey key) { return Value(key); }

std::vector<Value> keyParams(RowKey key)
{
    std::vector<Value> params;
    params.push_back(keyParam(key));
    return params;
}

// A query's rows as the server sends them, one at a time.
class PgRows final : public Rows {
public:
    PgRows(pg::Connection& c, const QString& text, const std::vector<Value>& params)
        : m_stream(c, params.empty() ? text.toUtf8() : pg::numberedParameters(text), params),
          m_cols(pg::resultColumns(c, m_stream.description(), sql::nameSpellings(text)))
    {
    }
    const std::vector<Column>& columns() const override { return m_cols; }
    bool next(std::vector<Value>& out) override
    {
        const Result r = m_stream.next();
        if (!r)
            return false;
        for (size_t c = 0; c < m_cols.size(); ++c)
            out.push_back(pg::readValue(r.get(), 0, int(c), m_cols[c].type.type));
        return true;
    }

private:
    pg::Stream m_stream;
    std::vector<Column> m_cols;
};

class PgBackend;

class PgRowReader final : public RowReader {
public:
    PgRowReader(pg::Connection& c, QString sql, QHash<QString, QString> spellings)
        : m_c(c), m_sql(std::move(sql)), m_spellings(std::move(spellings))
    {
        prepare();
    }
    ~PgRowReader() override
    {
        if (m_generation == m_c.generation() && PQstatus(m_c.raw()) == CONNECTION_OK)
            m_c.quietly(QByteArray("DEALLOCATE " + m_name).constData());
    }
    const std::vector<Column>& columns() const override { return m_cols; }
    bool read(RowKey key, std::vector<Value>& out) override
    {
        Result r = m_c.read([&] {
            m_c.ensureConnected();
            if (m_generation != m_c.generation())
                prepare();
            return m_c.execPrepared(m_name, keyParams(key));
        });
        if (PQntuples(r.get()) == 0)
            return false;
        out.resize(m_cols.size());
        for (size_t c = 0; c < m_cols.size(); ++c)
            out[c] = pg::readValue(r.get(), 0, int(c), m_cols[c].type.type);
        return true;
    }

private:
    void prepare()
    {
        static std::atomic<int> counter{0};
        m_name = "cvd_row" + QByteArray::number(++counter);
        m_generation = m_c.generation();
        Result d = m_c.prepare(m_name, m_sql);
        m_cols = pg::resultColumns(m_c, d.get(), m_spellings);
    }
    pg::Connection& m_c;
    QString m_sql;
    QHash<QString, QString> m_spellings;
    QByteArray m_name;
    int m_generation = -1;
    std::vector<Column> m_cols;
};

// Rows written with COPY: one statement, so nothing is kept unless all of
// it went through.
class PgLoader final : public Database::BulkLoader {
public:
    PgLoader(pg::Connection& c, const QString& table, const QStringList& columns) : m_c(c)
    {
        QStringList names;
        for (const QString& n : columns)
            names << sql::serverFolded(n);
        m_c.exec(QStringLiteral("COPY %1 (%2) FROM STDIN").arg(sql::serverFolded(table), names.join(QStringLiteral(", "))));
        m_open = true;
    }
    ~PgLoader() override
    {
        if (m_open) {
            PQputCopyEnd(m_c.raw(), "the rows were not finished");
            while (PGresult* r = PQgetResult(m_c.raw()))
                PQclear(r);
        }
    }
    void add(const std::vector<Value>& row) override
    {
        for (size_t i = 0; i < row.size(); ++i) {
            if (i)
                m_buf += '\t';
            field(row[i]);
        }
        m_buf += '\n';
        if (m_buf.size() > (1 << 16))
            flush();
    }
    void finish() override
    {
        flush();
        m_open = false;
        if (PQputCopyEnd(m_c.raw(), nullptr) != 1)
            m_c.fail(nullptr);
        Result r(PQgetResult(m_c.raw()));
        while (PGresult* more = PQgetResult(m_c.raw()))
            PQclear(more);
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
            m_c.fail(r.get());
    }

private:
    void field(const Value& v)
    {
        switch (v.type()) {
        case VType::Null: m_buf += "\\N"; return;
        case VType::Boolean: m_buf += v.toBool() ? 't' : 'f'; return;
        case VType::Long:
        case VType::BigInt: m_buf += QByteArray::number(v.toBigInt()); return;
        case VType::Single: m_buf += QByteArray::number(double(v.toSingle()), 'g', 9); return;
        case VType::Double: m_buf += QByteArray::number(v.toDouble(), 'g', 17); return;
        case VType::Currency: m_buf += QByteArray::number(v.toCurrency().units); return;
        case VType::Date: m_buf += v.toDate().toString(Qt::ISODate).toLatin1(); return;
        case VType::Text: break;
        }
        for (const char ch : v.toText().toUtf8()) {
            switch (ch) {
            case '\\': m_buf += "\\\\"; break;
            case '\t': m_buf += "\\t"; break;
            case '\n': m_buf += "\\n"; break;
            case '\r': m_buf += "\\r"; break;
            default: m_buf += ch;
            }
        }
    }
    void flush()
    {
        if (!m_buf.isEmpty() && PQputCopyData(m_c.raw(), m_buf.constData(), int(m_buf.size())) != 1)
            m_c.fail(nullptr);
        m_buf.clear();
    }
    pg::Connection& m_c;
    QByteArray m_buf;
    bool m_open = false;
};

QString spelledColumn(const QString& table, const QString& lower)
{
    if (schema::keyColumn(table).compare(lower, Qt::CaseInsensitive) == 0)
        return schema::keyColumn(table);
    for (const QString& c : schema::columnNames(table))
        if (c.compare(lower, Qt::CaseInsensitive) == 0)
            return c;
    return lower;
}

class PgBackend final : public Backend {
public:
    PgBackend(const QString& conninfo, const QString& source, OpenMode mode) : m_c(conninfo, source)
    {
        m_c.loadCatalog();
        QHash<QString, QStringList> present;
        for (auto it = m_c.columns.cbegin(); it != m_c.columns.cend(); ++it)
            present[it->table.toCaseFolded()] << it->column;
        const QStringList missing = schema::missingParts(present);
        if (!missing.isEmpty())
            raise(ErrNo::MissingTables, QStringLiteral("The database server %1 does not hold the tables of the program "
                                                       "(missing: %2).")
                                            .arg(m_c.where(), missing.join(QStringLiteral(", "))));
        loadRights();
        if (mode == OpenMode::Work && !m_unreadable.isEmpty())
            raise(ErrNo::LoginRefused, QStringLiteral("The database server %1 does not let this login read the "
                                                      "program's tables: it lacks SELECT on %2.  Ask the server's "
                                                      "administrator to grant it the rights of a desk.")
                                           .arg(m_c.where(), m_unreadable.join(QStringLiteral(", "))));
        if (mode == OpenMode::Check) {
            m_c.exec(QStringLiteral("SET default_transaction_read_only = on"));
            m_writesRefused = QStringLiteral("The database server %1 is open to be checked only.").arg(m_c.where());
        }
    }

    bool canWrite(const QString& table) override { return m_writable.value(table.toCaseFolded(), false); }
    QStringList missingRights() override { return m_missingRights; }

    QString where() const override { return m_c.where(); }
    bool isServer() const override { return true; }
    QString translate(const QString& dialectSql) const override { return sql::translateForServer(dialectSql); }
    QString quote(const QString& name) const override
    {
        QString n = name;
        if (n.size() >= 2 && (n.startsWith(u'"') || n.startsWith(u'[') || n.startsWith(u'`')))
            n = n.mid(1, n.size() - 2);
        return QLatin1Char('"') + sql::serverFolded(n).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
    }

    std::unique_ptr<Rows> query(const QString& text, const std::vector<Value>& params) override
    {
        return std::make_unique<PgRows>(m_c, text, params);
    }

    std::vector<RowKey> keys(const QString& text, const std::vector<Value>& params) override
    {
        Result r = m_c.exec(text, params, true);
        const int n = PQntuples(r.get());
        std::vector<RowKey> out;
        out.reserve(size_t(n));
        for (int i = 0; i < n; ++i) {
            const char* p = PQgetvalue(r.get(), i, 0);
            switch (PQgetlength(r.get(), i, 0)) {
            case 4: out.push_back(qFromBigEndian<qint32>(p)); break;
            case 8: out.push_back(qFromBigEndian<qint64>(p)); break;
            case 2: out.push_back(qFromBigEndian<qint16>(p)); break;
            default: break; // a Null key
            }
        }
        return out;
    }

    std::unique_ptr<RowReader> rowReader(const TableInfo& table, const QString& columns) override
    {
        const QString text = QStringLiteral("select %1 from %2 where %3 = ?").arg(columns, table.name, table.key);
        return std::make_unique<PgRowReader>(m_c, text, sql::nameSpellings(text));
    }

    void execute(const QString& text) override { m_c.exec(text); }

    const TableInfo& table(const QString& name) override
    {
        QString plain = name;
        if (plain.size() >= 2 && (plain.startsWith(u'"') || plain.startsWith(u'[') || plain.startsWith(u'`')))
            plain = plain.mid(1, plain.size() - 2);
        const QString folded = plain.toCaseFolded();
        const auto found = m_tables.constFind(folded);
        if (found != m_tables.constEnd())
            return *found;
        QString spelled = plain;
        for (const QString& t : schema::tableNames())
            if (t.compare(plain, Qt::CaseInsensitive) == 0)
                spelled = t;
        TableInfo t;
        t.name = sql::serverFolded(plain);
        Result k = m_c.exec(QStringLiteral("select a.attname, a.attidentity from pg_index i join pg_attribute a"
                                           " on a.attrelid = i.indrelid and a.attnum = i.indkey[0]"
                                           " where i.indrelid = to_regclass(?) and i.indisprimary and i.indnatts = 1"),
                            {Value(t.name)});
        if (PQntuples(k.get()) != 1) {
            Result kind = m_c.exec(QStringLiteral("select relkind from pg_class where oid = to_regclass(?)"), {Value(t.name)});
            if (PQntuples(kind.get()) == 0 || PQgetisnull(kind.get(), 0, 0))
                raise(ErrNo::SqlError, QStringLiteral("relation \"%1\" does not exist").arg(t.name));
            const char relkind = *PQgetvalue(kind.get(), 0, 0);
            if (relkind != 'v' && relkind != 'm')
                raise(ErrNo::SqlError, QStringLiteral("The table %1 has no key of one column.").arg(plain));
            t.view = true;
            return *m_tables.insert(folded, t);
        }
        t.key = spelledColumn(spelled, QString::fromUtf8(PQgetvalue(k.get(), 0, 0)));
        if (*PQgetvalue(k.get(), 0, 1) != '\0')
            t.autoKey = t.key;
        Result d = m_c.exec(QStringLiteral("select a.attname, pg_get_expr(d.adbin, d.adrelid) from pg_attrdef d"
                                           " join pg_attribute a on a.attrelid = d.adrelid and a.attnum = d.adnum"
                                           " where d.adrelid = to_regclass(?)"),
                            {Value(t.name)});
        for (int i = 0; i < PQntuples(d.get()); ++i)
            t.defaults.insert(QString::fromUtf8(PQgetvalue(d.get(), i, 0)).toCaseFolded(),
                              sql::declaredDefault(QString::fromUtf8(PQgetvalue(d.get(), i, 1))));
        return *m_tables.insert(folded, t);
    }

    QString indexColumn(const TableInfo& table, const QString& index) override
    {
        Result r = m_c.exec(QStringLiteral("select a.attname from pg_index i join pg_class ic on ic.oid = i.indexrelid"
                                           " join pg_attribute a on a.attrelid = i.indrelid and a.attnum = i.indkey[0]"
                                           " where i.indrelid = to_regclass(?) and ic.relname = lower(?)"),
                            {Value(table.name), Value(index)});
        QString found;
        if (PQntuples(r.get()) > 0)
            found = QString::fromUtf8(PQgetvalue(r.get(), 0, 0));
        else
            for (const pg::CatalogColumn& c : m_c.columns)
                if (c.table.compare(table.name, Qt::CaseInsensitive) == 0 && c.column.compare(index, Qt::CaseInsensitive) == 0)
                    found = c.column;
        return found.isEmpty() ? found : spelledColumn(tableSpelling(table), found);
    }

    QString keysetOrder(const QString& orderBy, const TableInfo& table) const override
    {
        return sql::appendKeyOrder(orderBy, table.key);
    }

    RowKey reserveKey(const TableInfo& table) override
    {
        Result r = m_c.exec(QStringLiteral("select nextval(pg_get_serial_sequence(?, ?))"),
                            {Value(table.name), Value(sql::serverFolded(table.autoKey))});
        return QByteArray(PQgetvalue(r.get(), 0, 0)).toLongLong();
    }

    RowKey insertRow(const TableInfo& table, const QStringList& columns, const std::vector<const Value*>& values) override
    {
        std::vector<Value> params;
        QStringList names, marks;
        for (size_t i = 0; i < values.size(); ++i) {
            names << quote(columns[int(i)]);
            marks << QStringLiteral("?");
            params.push_back(*values[i]);
        }
        const QString text = names.isEmpty()
                                 ? QStringLiteral("insert into %1 default values returning %2").arg(table.name, table.key)
                                 : QStringLiteral("insert into %1 (%2) values (%3) returning %4")
                                       .arg(table.name, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")),
                                            table.key);
        RowKey key = 0;
        inTransaction([&] { key = QByteArray(PQgetvalue(m_c.exec(text, params).get(), 0, 0)).toLongLong(); });
        return key;
    }

    void updateRow(const TableInfo& table, RowKey key, const QStringList& columns, const std::vector<const Value*>& values,
                   const QString& shownColumns, const std::vector<Value>& asShown) override
    {
        inTransaction([&] {
            lockRow(table, key, shownColumns, &asShown);
            std::vector<Value> params;
            QStringList sets;
            for (size_t i = 0; i < values.size(); ++i) {
                sets << quote(columns[int(i)]) + QStringLiteral(" = ?");
                params.push_back(*values[i]);
            }
            params.push_back(keyParam(key));
            m_c.exec(QStringLiteral("update %1 set %2 where %3 = ?").arg(table.name, sets.join(QStringLiteral(", ")), table.key),
                     params);
        });
    }

    void deleteRow(const TableInfo& table, RowKey key) override
    {
        try {
            inTransaction([&] {
                if (lockRow(table, key, table.key, nullptr))
                    m_c.exec(QStringLiteral("delete from %1 where %2 = ?").arg(table.name, table.key), keyParams(key));
            });
        } catch (const Error& e) {
            // A row that another names (a request saved at another desk).
            if (e.number() == ErrNo::MissingReference && m_c.lastReference)
                raiseRowInUse(*m_c.lastReference);
            throw;
        }
    }

    void beforeWrite() override
    {
        if (!m_writesRefused.isEmpty())
            raise(ErrNo::NotUpdatable, m_writesRefused);
    }

    qint64 tableVersion(const QString& table) override
    {
        Result r = m_c.exec(QStringLiteral("select version from cvd_versions where tablename = lower(?)"), {Value(table)});
        return PQntuples(r.get()) ? QByteArray(PQgetvalue(r.get(), 0, 0)).toLongLong() : 0;
    }

    std::unique_ptr<Database::BulkLoader> loader(const QString& table, const QStringList& columns) override
    {
        beforeWrite();
        if (!m_loading) {
            // Rows come table by table, requests before the customers they
            // name: the references are made again, and checked, at the end.
            QStringList drops;
            for (const Reference& r : references())
                drops << r.serverDropStatement();
            m_c.exec(QStringLiteral("SET client_min_messages = warning; ") + drops.join(QStringLiteral("; ")));
            m_loading = true;
        }
        return std::make_unique<PgLoader>(m_c, table, columns);
    }

    void enforceReferences(const QList<BrokenReferences>& broken) override
    {
        if (!m_loading)
            return;
        QStringList adds;
        for (const Reference& r : references()) {
            const bool kept = std::any_of(broken.begin(), broken.end(), [&](const BrokenReferences& b) {
                return b.reference.constraintName() == r.constraintName();
            });
            adds << r.serverDropStatement() << r.serverAddStatement(!kept);
        }
        m_c.exec(QStringLiteral("SET client_min_messages = warning; BEGIN; ") + adds.join(QStringLiteral("; "))
                 + QStringLiteral("; COMMIT"));
        m_loading = false;
        // Statistics (and the visibility the key scans read) for the rows
        // just loaded, so that the first desks get good plans at once; a
        // login that does not own the tables leaves it to the server.
        QStringList tables;
        for (const QString& t : schema::tableNames())
            tables << t.toLower();
        m_c.quietly(QByteArray("VACUUM (ANALYZE) " + tables.join(QStringLiteral(", ")).toUtf8()).constData());
    }

    void resyncKeys() override
    {
        for (const QString& s : schema::serverResyncStatements())
            m_c.exec(s);
    }

private:
    // Runs `work` in one transaction; any failure rolls it back first, so
    // that no transaction (and no row lock) outlives a call.  A connection
    // lost before the commit was sent wrote nothing: it is made afresh and
    // the work done once more.  (One lost while committing may have
    // written, and is told.)
    void inTransaction(const std::function<void()>& work)
    {
        for (int attempt = 0;; ++attempt) {
            bool committing = false;
            try {
                m_c.exec(QStringLiteral("BEGIN"));
                work();
                committing = true;
                m_c.exec(QStringLiteral("COMMIT"));
                return;
            } catch (const Error& e) {
                if (PQstatus(m_c.raw()) == CONNECTION_OK)
                    m_c.quietly("ROLLBACK");
                if (attempt > 0 || committing || e.number() != ErrNo::ConnectionLost)
                    throw;
            }
        }
    }

    // Takes the row's lock without waiting (3260 when another desk holds
    // it).  With `asShown`, the row must still be as the set read it: 3167
    // when it is gone, 3197 when it changed.  Without, a row that is gone
    // gives false.
    bool lockRow(const TableInfo& table, RowKey key, const QString& columns, const std::vector<Value>* asShown)
    {
        const QString text = QStringLiteral("select %1 from %2 where %3 = ? for update nowait").arg(columns, table.name, table.key);
        Result r = m_c.exec(text, keyParams(key));
        if (PQntuples(r.get()) == 0) {
            if (asShown)
                raise(ErrNo::RecordDeleted, QStringLiteral("The record was deleted at another desk since it was read."));
            return false;
        }
        if (!asShown)
            return true;
        const auto cols = pg::resultColumns(m_c, r.get(), sql::nameSpellings(text));
        QStringList changed;
        for (size_t c = 0; c < cols.size() && c < asShown->size(); ++c) {
            const Value now = pg::readValue(r.get(), 0, int(c), cols[c].type.type);
            if (!(now == (*asShown)[c]))
                changed << QStringLiteral("%1: %2").arg(cols[c].name, now.isNull() ? QStringLiteral("(empty)") : now.toText());
        }
        if (!changed.isEmpty())
            raise(ErrNo::ChangedElsewhere, QStringLiteral("The record was changed at another desk since it was read.  "
                                                          "Stored now:\n") + changed.join(u'\n'));
        return true;
    }

    // What the login may do with each of the program's tables: read them,
    // and write each one as a desk does (add, change and delete its
    // records, take new keys from its sequence; Settings is only changed),
    // which on a look-up table also writes cvd_versions.
    void loadRights()
    {
        QStringList names, keys;
        for (const QString& t : schema::tableNames()) {
            names << t.toLower();
            keys << schema::keyColumn(t).toLower();
        }
        Result r = m_c.exec(
            QStringLiteral("select t.name, has_table_privilege(c.oid, 'SELECT'), has_table_privilege(c.oid, 'INSERT'),"
                           " has_table_privilege(c.oid, 'UPDATE'), has_table_privilege(c.oid, 'DELETE'),"
                           " coalesce(pg_get_serial_sequence(c.oid::regclass::text, t.k), ''),"
                           " coalesce(has_sequence_privilege(pg_get_serial_sequence(c.oid::regclass::text, t.k),"
                           " 'USAGE'), true),"
                           " coalesce(has_table_privilege(to_regclass('cvd_versions'), 'SELECT'), false),"
                           " coalesce(has_table_privilege(to_regclass('cvd_versions'), 'UPDATE'), false)"
                           " from unnest(?::text[], ?::text[]) as t(name, k) join pg_class c on c.oid = to_regclass(t.name)"),
            {Value(QStringLiteral("{") + names.join(u',') + QStringLiteral("}")),
             Value(QStringLiteral("{") + keys.join(u',') + QStringLiteral("}"))});
        auto yes = [&](int row, int col) { return *PQgetvalue(r.get(), row, col) == 't'; };
        bool versionsRead = true, versionsWritten = true, anyVersioned = false;
        for (int i = 0; i < PQntuples(r.get()); ++i) {
            const QString table = tableSpelling(QString::fromUtf8(PQgetvalue(r.get(), i, 0)));
            const bool settings = table == QLatin1String("Settings");
            QStringList lacks;
            const char* const rights[] = {"SELECT", "INSERT", "UPDATE", "DELETE"};
            for (int k = 0; k < 4; ++k)
                if (!yes(i, 1 + k) && (!settings || k == 0 || k == 2))
                    lacks << QLatin1String(rights[k]);
            if (!yes(i, 1))
                m_unreadable << table;
            const QString sequence = QString::fromUtf8(PQgetvalue(r.get(), i, 5));
            const bool keys = settings || yes(i, 6);
            if (!lacks.isEmpty())
                m_missingRights << QStringLiteral("%1 on %2").arg(spokenList(lacks), table);
            if (!keys)
                m_missingRights << QStringLiteral("USAGE on %1, the sequence of the keys of %2").arg(sequence, table);
            versionsRead = yes(i, 7);
            versionsWritten = yes(i, 8);
            const bool versioned = schema::isVersioned(table);
            anyVersioned = anyVersioned || versioned;
            m_writable.insert(table.toCaseFolded(), lacks.isEmpty() && keys && (!versioned || versionsWritten));
        }
        QStringList versionRights;
        if (!versionsRead)
            versionRights << QStringLiteral("SELECT");
        if (!versionsWritten && anyVersioned)
            versionRights << QStringLiteral("UPDATE");
        if (!versionRights.isEmpty())
            m_missingRights << QStringLiteral("%1 on cvd_versions").arg(spokenList(versionRights));
    }

    // "INSERT, UPDATE and DELETE"
    static QString spokenList(const QStringList& words)
    {
        if (words.size() < 2)
            return words.join(QString());
        return words.mid(0, words.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + words.last();
    }

    QString tableSpelling(const QString& name) const
    {
        for (const QString& t : schema::tableNames())
            if (t.compare(name, Qt::CaseInsensitive) == 0)
                return t;
        return name;
    }

    QString tableSpelling(const TableInfo& table) const { return tableSpelling(table.name); }

    pg::Connection m_c;
    QString m_writesRefused;
    bool m_loading = false; // references unchecked while rows are loaded
    QHash<QString, bool> m_writable; // by case-folded table name
    QStringList m_missingRights, m_unreadable;
    QHash<QString, TableInfo> m_tables;
};

} // namespace

std::shared_ptr<Backend> openServer(const QString& conninfo, const QString& source, OpenMode mode)
{
    return std::make_shared<PgBackend>(conninfo, source, mode);
}

} // namespace cvd::engine
