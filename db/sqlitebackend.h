#pragma once
// The SQLite file behind the engine: one connection, held for exclusive use
// for the program's whole run.  Opening and checking the file are in
// sqliteopen.cpp, the record operations in sqlitebackend.cpp.
#include "db/backend.h"

#include <QString>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace cvd {

class BackgroundCheck;

struct StmtFinalizer {
    void operator()(sqlite3_stmt* s) const;
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

// Throws the error for an SQLite result code: 3049 for a damaged file, 3045
// for a lock, 3001 with SQLite's message for anything else.
[[noreturn]] void sqlFail(sqlite3* db, int rc);

// Prepares a statement or throws.
Stmt prepareStmt(sqlite3* db, const QString& sql, bool persistent = false);

class SqliteBackend final : public engine::Backend {
public:
    SqliteBackend() = default;
    ~SqliteBackend() override;

    sqlite3* db = nullptr;
    QString path;
    // The check of the file's structure that every write waits for.
    std::unique_ptr<BackgroundCheck> check;
    // Set when the file is open only to be checked: why writes are refused.
    QString writesRefused;

    QString where() const override { return path; }
    bool isServer() const override { return false; }
    QString translate(const QString& dialectSql) const override;
    QString quote(const QString& name) const override;
    std::unique_ptr<engine::Rows> query(const QString& sql, const std::vector<Value>& params) override;
    std::vector<engine::RowKey> keys(const QString& sql, const std::vector<Value>& params) override;
    std::unique_ptr<engine::RowReader> rowReader(const engine::TableInfo& table, const QString& columns) override;
    void execute(const QString& sql) override;
    const engine::TableInfo& table(const QString& name) override;
    QString indexColumn(const engine::TableInfo& table, const QString& index) override;
    QString keysetOrder(const QString& orderBy, const engine::TableInfo& table) const override;
    engine::RowKey reserveKey(const engine::TableInfo& table) override;
    engine::RowKey insertRow(const engine::TableInfo& table, const QStringList& columns,
                             const std::vector<const Value*>& values) override;
    void updateRow(const engine::TableInfo& table, engine::RowKey key, const QStringList& columns,
                   const std::vector<const Value*>& values, const QString& shownColumns,
                   const std::vector<Value>& asShown) override;
    void deleteRow(const engine::TableInfo& table, engine::RowKey key) override;
    void beforeWrite() override;
    qint64 tableVersion(const QString& table) override;
    std::unique_ptr<Database::BulkLoader> loader(const QString& table, const QStringList& columns) override;
    void resyncKeys() override {}
    sqlite3* handle() const override { return db; }
    void whenChecked(std::function<void(const QStringList& damage)> done) override;
    QStringList waitForCheck() override;

private:
    void checkReferences(const engine::TableInfo& table, const QStringList& columns,
                         const std::vector<const Value*>& values);
    void bumpVersion(const QString& table);
    QHash<QString, engine::TableInfo> m_tables; // by case-folded name
    QHash<QString, qint64> m_versions;          // by case-folded name
    qint64 m_executed = 0;                      // statements run as they are
};

} // namespace cvd
