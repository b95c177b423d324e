#include "support/testbackend.h"

#include "db/backend.h"
#include "db/errors.h"
#include "support/testfiles.h"
#include "db/references.h"
#include "db/schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <libpq-fe.h>
#include <memory>
#include <mutex>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace cvd::test {

namespace {

// What the information file of the test server says ("unavailable" for
// why there is none).
const QHash<QString, QString>& serverInfo()
{
    static const QHash<QString, QString> info = [] {
        const QString path = qEnvironmentVariable("CVD_TEST_PGINFO");
        const QString text = QString::fromUtf8(fileBytes(path));
        if (!text.startsWith(u"conninfo="_s)) // testserver.sh writes it first
            return QHash<QString, QString>{{u"unavailable"_s, text.startsWith(u"unavailable:"_s) ? text.mid(12).trimmed()
                                                              : u"no server information in '%1'"_s.arg(path)}};
        QHash<QString, QString> i;
        for (const QString& line : text.split(u'\n'))
            if (const qsizetype eq = line.indexOf(u'='); eq > 0)
                i.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
        return i;
    }();
    return info;
}

using PgConn = std::unique_ptr<PGconn, decltype(&PQfinish)>;
using PgResult = std::unique_ptr<PGresult, decltype(&PQclear)>;

PgConn pgConnect(const QString& conninfo)
{
    PgConn c(PQconnectdb((conninfo + u" client_encoding=UTF8"_s).toUtf8().constData()), &PQfinish);
    if (PQstatus(c.get()) != CONNECTION_OK)
        raise(ErrNo::ServerUnreachable, QStringLiteral("Couldn't reach the test server (%1): %2")
                                            .arg(conninfo, QString::fromUtf8(PQerrorMessage(c.get())).trimmed()));
    PQsetNoticeProcessor(c.get(), [](void*, const char*) {}, nullptr);
    return c;
}

PgResult pgRun(PGconn* c, const QString& sql)
{
    PgResult r(PQexec(c, sql.toUtf8().constData()), &PQclear);
    const ExecStatusType s = PQresultStatus(r.get());
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
        raise(ErrNo::SqlError, QString::fromUtf8(PQresultErrorMessage(r.get())).trimmed());
    return r;
}

// The server's text of a field as the file would hold it: Yes/No as 1/0,
// an integral number as an integer.
StoredField storedField(const PGresult* r, int row, int column)
{
    if (PQgetisnull(r, row, column))
        return {SQLITE_NULL, QString()};
    const QString text = QString::fromUtf8(PQgetvalue(r, row, column));
    switch (PQftype(r, column)) {
    case 16: // bool
        return {SQLITE_INTEGER, text == u't' ? QStringLiteral("1") : QStringLiteral("0")};
    case 20: case 21: case 23: case 26: // int8, int2, int4, oid
        return {SQLITE_INTEGER, text};
    case 700: case 701: case 1700: { // float4, float8, numeric
        static const QRegularExpression integral(QStringLiteral("^-?[0-9]+(\\.0*)?$"));
        if (integral.match(text).hasMatch())
            return {SQLITE_INTEGER, text.section(u'.', 0, 0)};
        return {SQLITE_FLOAT, QString::number(text.toDouble(), 'g', 15)};
    }
    default:
        return {SQLITE_TEXT, text};
    }
}

QList<QList<StoredField>> serverRows(const QString& conninfo, const QString& sql)
{
    PgConn c = pgConnect(conninfo);
    pgRun(c.get(), QStringLiteral("SET datestyle = ISO"));
    const PgResult r = pgRun(c.get(), sql);
    QList<QList<StoredField>> rows(PQntuples(r.get()));
    for (int i = 0; i < rows.size(); ++i)
        for (int j = 0; j < PQnfields(r.get()); ++j)
            rows[i] << storedField(r.get(), i, j);
    return rows;
}

QList<QList<StoredField>> fileRows(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    sqlite3_stmt* s = nullptr;
    // Opened for writing, so that an interrupted write is rolled back first.
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s, nullptr);
    QList<QList<StoredField>> rows;
    for (; rc == SQLITE_OK && (rc = sqlite3_step(s)) == SQLITE_ROW; rc = SQLITE_OK) {
        rows.emplace_back();
        for (int i = 0; i < sqlite3_column_count(s); ++i)
            rows.back() << StoredField{sqlite3_column_type(s, i),
                                       QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i)))};
    }
    const QString message = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(s);
    sqlite3_close(db);
    if (rc != SQLITE_DONE)
        raise(ErrNo::SqlError, QStringLiteral("%1: %2").arg(path, message));
    return rows;
}

} // namespace

bool serverMode() { return qgetenv("CVD_TEST_BACKEND") == "server"; }

QString serverUnavailable() { return serverInfo().value(u"unavailable"_s); }

QString serverConninfo() { return serverInfo().value(u"conninfo"_s); }
QString serverBinFolder() { return serverInfo().value(u"bin"_s); }

bool isConnFile(const QString& path) { return path.endsWith(QLatin1String(".conn")); }

QString connFileConninfo(const QString& connPath)
{
    for (const QString& line : QString::fromUtf8(fileBytes(connPath)).split(u'\n'))
        if (const QString l = line.trimmed(); !l.isEmpty() && !l.startsWith(u'#'))
            return l;
    raise(ErrNo::FileNotFound, QStringLiteral("no connection string in %1").arg(connPath));
}

QString createServerDb(const QString& folder, const QString& rowsSql)
{
    static int made = 0;
    const QString name = QStringLiteral("fx_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
    const PgConn c = pgConnect(serverConninfo());
    // A schema of the same name is left by an earlier program of this
    // process number, which has ended.
    pgRun(c.get(), u"SET client_min_messages = warning; DROP SCHEMA IF EXISTS %1 CASCADE; CREATE SCHEMA %1; "
                   "SET search_path = %1, public;\n"_s.arg(name) + schema::serverCreateStatements().join(u";\n"_s));
    if (!rowsSql.isEmpty()) {
        // The rows come as an older file may hold them (a request assigned
        // to staff no longer on file), as a copy brings them: the references
        // are checked again afterwards, and rows that break one are kept.
        for (const Reference& r : references())
            pgRun(c.get(), r.serverDropStatement());
        pgRun(c.get(), rowsSql);
        for (const Reference& r : references())
            pgRun(c.get(), r.serverAddStatement(QByteArray(PQgetvalue(pgRun(c.get(), r.countBrokenSql()).get(), 0, 0)) == "0"));
    }
    pgRun(c.get(), schema::serverResyncStatements().join(QLatin1String(";\n")));

    const QString path = QDir(folder).filePath(QStringLiteral("cvd.conn"));
    if (!writeFile(path, u"%1 options='-csearch_path=%2,public'\n"_s.arg(serverConninfo(), name).toUtf8()))
        raise(ErrNo::PathAccess, QStringLiteral("cannot write %1").arg(path));
    return path;
}

void execOnTestDb(const QString& connOrPath, const QString& sql)
{
    if (isConnFile(connOrPath)) {
        const PgConn c = pgConnect(connFileConninfo(connOrPath));
        pgRun(c.get(), QStringLiteral("SET client_min_messages = warning"));
        pgRun(c.get(), sql);
        return;
    }
    sqlite3* db = nullptr;
    char* msg = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(connOrPath).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &msg);
    const QString message = QString::fromUtf8(msg ? msg : sqlite3_errmsg(db));
    sqlite3_free(msg);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        raise(ErrNo::SqlError, QStringLiteral("%1: %2").arg(connOrPath, message));
}

QList<QList<StoredField>> storedRows(const QString& connOrPath, const QString& sql)
{
    return isConnFile(connOrPath) ? serverRows(connFileConninfo(connOrPath), sql) : fileRows(connOrPath, sql);
}

QList<QStringList> rowsOnTestDb(const QString& connOrPath, const QString& sql)
{
    QList<QStringList> rows;
    for (const QList<StoredField>& stored : storedRows(connOrPath, sql)) {
        rows.emplace_back();
        for (const StoredField& f : stored)
            rows.back() << f.text; // a null QString for Null
    }
    return rows;
}

namespace {

// A layer whose next `count` record writes (a new record, a changed one, a
// deletion) fail with `error` before anything is written.
struct FailingWrites : engine::ForwardingBackend {
    using ForwardingBackend::ForwardingBackend;
    int count = 0, error = 0;
    void fail() { if (count > 0 && count--) raise(error); }
    engine::RowKey insertRow(const engine::TableInfo& t, const QStringList& c, const std::vector<const Value*>& v) override
    {
        fail();
        return ForwardingBackend::insertRow(t, c, v);
    }
    void updateRow(const engine::TableInfo& t, engine::RowKey key, const QStringList& c, const std::vector<const Value*>& v,
                   const QString& shown, const std::vector<Value>& asShown) override
    {
        fail();
        ForwardingBackend::updateRow(t, key, c, v, shown, asShown);
    }
    void deleteRow(const engine::TableInfo& t, engine::RowKey key) override
    {
        fail();
        ForwardingBackend::deleteRow(t, key);
    }
};

std::mutex layersMutex;
QHash<const Database*, std::weak_ptr<FailingWrites>> layers;

// Every database a test opens gets the layer, which does nothing until asked.
[[maybe_unused]] const bool layerInstalled = [] {
    engine::addBackendLayer([](std::shared_ptr<engine::Backend> below, const Database& db) {
        auto layer = std::make_shared<FailingWrites>(std::move(below));
        const std::lock_guard lock(layersMutex);
        layers.insert(&db, layer);
        return std::shared_ptr<engine::Backend>(layer);
    });
    return true;
}();

} // namespace

void failNextWrites(Database& db, int count, int errorNumber)
{
    const std::lock_guard lock(layersMutex);
    if (const auto layer = layers.value(&db).lock()) {
        layer->count = count;
        layer->error = errorNumber;
    }
}

} // namespace cvd::test
