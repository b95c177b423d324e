#pragma once
// What the record sets need of a database, written once for each backend:
// the SQLite file (sqlitebackend.cpp) and the PostgreSQL server
// (pgbackend.cpp).  Everything record-set-shaped (positions, the edit
// buffer, finding and seeking) is common code over this interface; only the
// engine's own files include it.
#include "db/database.h"
#include "db/references.h"
#include "db/sqlvalues.h"

#include <QHash>
#include <functional>
#include <memory>
#include <vector>

namespace cvd::engine {

// A row's key: the file's rowid, the server table's key column.
using RowKey = qint64;

struct Column {
    QString name;   // as the query names it
    QString origin; // the table's column an update writes ("" when computed)
    sql::ColumnType type;
};

// The rows of one query, read one after the other.
class Rows {
public:
    virtual ~Rows() = default;
    virtual const std::vector<Column>& columns() const = 0;
    // Appends the next row's values to `out`; false after the last.
    virtual bool next(std::vector<Value>& out) = 0;
};

// One table row by its key, read again and again (a keyset's current row).
class RowReader {
public:
    virtual ~RowReader() = default;
    virtual const std::vector<Column>& columns() const = 0;
    // The row's values into `out`; false when no row has that key.
    virtual bool read(RowKey key, std::vector<Value>& out) = 0;
};

struct TableInfo {
    QString name;    // the table as the backend names it in SQL
    QString key;     // what tells its rows apart: "rowid", or the key column
    QString autoKey; // the AutoNumber column, empty when there is none
    QHash<QString, Value> defaults; // declared defaults by case-folded column
    bool view = false; // a view: its rows are read, never written
};

class Backend {
public:
    virtual ~Backend() = default;

    // The file's path, or "dbname on host:port as user" (never a password).
    virtual QString where() const = 0;
    virtual bool isServer() const = 0;
    // A text in the program's dialect as this backend runs it.
    virtual QString translate(const QString& dialectSql) const = 0;
    // A name as an identifier of this backend.
    virtual QString quote(const QString& name) const = 0;

    virtual std::unique_ptr<Rows> query(const QString& sql, const std::vector<Value>& params = {}) = 0;
    // The first column of every row, as keys.
    virtual std::vector<RowKey> keys(const QString& sql, const std::vector<Value>& params = {}) = 0;
    virtual std::unique_ptr<RowReader> rowReader(const TableInfo& table, const QString& columns) = 0;
    // SQL without rows; several statements allowed.
    virtual void execute(const QString& sql) = 0;

    virtual const TableInfo& table(const QString& name) = 0;
    // The first column of an index of the table, empty when there is none.
    virtual QString indexColumn(const TableInfo& table, const QString& index) = 0;
    // The order of a keyset's keys: ties fall as this backend lays rows out.
    virtual QString keysetOrder(const QString& orderBy, const TableInfo& table) const = 0;

    // The AutoNumber key for a record being added, readable at once.
    virtual RowKey reserveKey(const TableInfo& table) = 0;
    // Writes a new row; returns its key.
    virtual RowKey insertRow(const TableInfo& table, const QStringList& columns, const std::vector<const Value*>& values) = 0;
    // Writes changed columns of a row.  `asShown` is the row as the set
    // read it (its columns `shownColumns`, an SQL select list): on a shared
    // database, a row changed since gives 3197, one gone 3167, one held by
    // another desk 3260, and nothing is written.
    virtual void updateRow(const TableInfo& table, RowKey key, const QStringList& columns,
                           const std::vector<const Value*>& values, const QString& shownColumns,
                           const std::vector<Value>& asShown) = 0;
    // Deletes a row; one already gone is no error.
    virtual void deleteRow(const TableInfo& table, RowKey key) = 0;
    // Called before anything is written (a damaged or check-only file
    // refuses here).
    virtual void beforeWrite() = 0;
    virtual void idle() {}

    // What the login may do: whether it may add, change and delete the
    // table's records (on a server, by its rights), and what it lacks of
    // the rights a desk needs, in words ("INSERT, UPDATE and DELETE on
    // Req"); empty when it has them all.
    virtual bool canWrite(const QString& table) { Q_UNUSED(table); return true; }
    virtual QStringList missingRights() { return {}; }

    virtual qint64 tableVersion(const QString& table) = 0;
    // Loaders write rows as they come, whatever they name: a server stops
    // checking the references between tables at the first loader, until
    // enforceReferences().
    virtual std::unique_ptr<Database::BulkLoader> loader(const QString& table, const QStringList& columns) = 0;
    virtual void resyncKeys() = 0;
    // The references checked again from now on; rows that already break
    // one (`broken`) are kept as they are.
    virtual void enforceReferences(const QList<BrokenReferences>& broken) { Q_UNUSED(broken); }

    // The file's own: its SQLite connection and the check of its structure.
    virtual sqlite3* handle() const { return nullptr; }
    virtual void whenChecked(std::function<void(const QStringList& damage)> done) { done({}); }
    virtual QStringList waitForCheck() { return {}; }
};

// A layer put over the backend of every database opened from now on, as
// SQLite stacks its file systems: it is given the backend and the database
// it serves, and returns what that database uses instead (a backend that
// passes the calls on, to trace them or to make a fault on purpose).
using BackendLayer = std::function<std::shared_ptr<Backend>(std::shared_ptr<Backend> below, const Database& db)>;
void addBackendLayer(BackendLayer layer);

// The base of such a layer: every call passed to the backend below.
class ForwardingBackend : public Backend {
public:
    explicit ForwardingBackend(std::shared_ptr<Backend> below) : m_below(std::move(below)) {}

    QString where() const override { return m_below->where(); }
    bool isServer() const override { return m_below->isServer(); }
    QString translate(const QString& dialectSql) const override { return m_below->translate(dialectSql); }
    QString quote(const QString& name) const override { return m_below->quote(name); }
    std::unique_ptr<Rows> query(const QString& sql, const std::vector<Value>& params) override { return m_below->query(sql, params); }
    std::vector<RowKey> keys(const QString& sql, const std::vector<Value>& params) override { return m_below->keys(sql, params); }
    std::unique_ptr<RowReader> rowReader(const TableInfo& t, const QString& columns) override { return m_below->rowReader(t, columns); }
    void execute(const QString& sql) override { m_below->execute(sql); }
    const TableInfo& table(const QString& name) override { return m_below->table(name); }
    QString indexColumn(const TableInfo& t, const QString& index) override { return m_below->indexColumn(t, index); }
    QString keysetOrder(const QString& orderBy, const TableInfo& t) const override { return m_below->keysetOrder(orderBy, t); }
    RowKey reserveKey(const TableInfo& t) override { return m_below->reserveKey(t); }
    RowKey insertRow(const TableInfo& t, const QStringList& columns, const std::vector<const Value*>& values) override
    {
        return m_below->insertRow(t, columns, values);
    }
    void updateRow(const TableInfo& t, RowKey key, const QStringList& columns, const std::vector<const Value*>& values,
                   const QString& shownColumns, const std::vector<Value>& asShown) override
    {
        m_below->updateRow(t, key, columns, values, shownColumns, asShown);
    }
    void deleteRow(const TableInfo& t, RowKey key) override { m_below->deleteRow(t, key); }
    void beforeWrite() override { m_below->beforeWrite(); }
    void idle() override { m_below->idle(); }
    bool canWrite(const QString& t) override { return m_below->canWrite(t); }
    QStringList missingRights() override { return m_below->missingRights(); }
    qint64 tableVersion(const QString& t) override { return m_below->tableVersion(t); }
    std::unique_ptr<Database::BulkLoader> loader(const QString& t, const QStringList& columns) override
    {
        return m_below->loader(t, columns);
    }
    void resyncKeys() override { m_below->resyncKeys(); }
    void enforceReferences(const QList<BrokenReferences>& broken) override { m_below->enforceReferences(broken); }
    sqlite3* handle() const override { return m_below->handle(); }
    void whenChecked(std::function<void(const QStringList& damage)> done) override { m_below->whenChecked(std::move(done)); }
    QStringList waitForCheck() override { return m_below->waitForCheck(); }

private:
    std::shared_ptr<Backend> m_below;
};

std::shared_ptr<Backend> openFile(const QString& path, OpenMode mode);
// `conninfo`: a libpq connection string or URI; `source` names where it
// came from in messages (the cvd.conn file), empty for a string given as is.
std::shared_ptr<Backend> openServer(const QString& conninfo, const QString& source, OpenMode mode);

// Whether a location names a server: a *.conn file or a connection string.
bool namesServer(const QString& location);
// The connection string of such a location: the first line of the *.conn
// file that is neither blank nor a comment, or the string itself.
QString connectionString(const QString& location);

} // namespace cvd::engine
