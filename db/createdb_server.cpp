// A new database on a PostgreSQL server: the program's tables made in one
// transaction straight through libpq (the engine opens only a database
// that has them), then filled through the engine.
#include "db/createdb.h"

#include "db/backend.h"
#include "db/database.h"
#include "db/errors.h"
#include "db/pgconn.h"
#include "db/schema.h"

namespace cvd {

namespace {

// The program's tables (in lower case, as the server names them) that the
// database already holds, on the connection's search path.
QStringList tablesPresent(pg::Connection& c)
{
    QStringList names;
    for (const QString& t : schema::tableNames())
        names << t.toLower();
    const pg::Result r = c.exec(QStringLiteral("select t from unnest(?::text[]) as t where to_regclass(t) is not null"),
                                {Value(QStringLiteral("{") + names.join(u',') + QStringLiteral("}"))});
    QStringList present;
    for (int i = 0; i < PQntuples(r.get()); ++i)
        present << QString::fromUtf8(PQgetvalue(r.get(), i, 0));
    return present;
}

// What serverCreateStatements() made, dropped again after a failed fill.
// The database held none of the program's tables before, so every one of
// them is this run's own.
void dropMade(pg::Connection& c)
{
    QStringList names;
    for (const QString& t : schema::tableNames())
        names << t.toLower();
    names << QStringLiteral("cvd_versions");
    c.exec(QStringLiteral("SET client_min_messages = warning; BEGIN; DROP TABLE IF EXISTS %1 CASCADE; "
                          "DROP FUNCTION IF EXISTS cvd_bump_version(); COMMIT")
               .arg(names.join(QStringLiteral(", "))));
}

// The case-insensitive text type the tables are made of.  Making it takes
// a right that a login of its own often lacks (CREATE on the database): the
// administrator is then asked for it in so many words.
void makeCitext(pg::Connection& c)
{
    const pg::Result has = c.exec(QStringLiteral("select count(*) from pg_extension where extname = 'citext'"));
    if (QByteArray(PQgetvalue(has.get(), 0, 0)) != "0")
        return;
    try {
        c.exec(QStringLiteral("SET client_min_messages = warning; CREATE EXTENSION IF NOT EXISTS citext"));
    } catch (const Error& e) {
        const QString db = QString::fromUtf8(PQdb(c.raw()));
        raise(e.number(), QStringLiteral("The database server %1 does not let this login make the citext extension, "
                                         "which the program's tables need: %2\n\nAsk the server's administrator to "
                                         "run\n    CREATE EXTENSION citext;\nin the database %3 (as its owner or a "
                                         "superuser; on Debian the extension comes with the postgresql package), or to "
                                         "grant this login CREATE on that database, then run cvdtool create again.")
                                  .arg(c.where(), e.text(), db));
    }
}

} // namespace

QString createServerDatabase(const QString& location, const DatabaseFill& fill)
{
    const QString source = location.trimmed().endsWith(QLatin1String(".conn")) ? location : QString();
    pg::Connection c(engine::connectionString(location), source);
    const QString where = c.where();
    const QStringList present = tablesPresent(c);
    if (!present.isEmpty())
        raise(ErrNo::FileExists, QStringLiteral("The database server %1 already holds tables of the program (%2); "
                                                "they were left as they are.")
                                     .arg(where, present.join(QStringLiteral(", "))));
    makeCitext(c);
    try {
        c.exec(QStringLiteral("SET client_min_messages = warning; BEGIN; ") + schema::serverCreateStatements().join(
                   QStringLiteral(";\n")) + QStringLiteral(";\nCOMMIT"));
    } catch (const Error& e) {
        c.quietly("ROLLBACK");
        raise(e.number(), QStringLiteral("Cannot create the tables of the program on the database server %1: %2")
                              .arg(where, e.text()));
    }
    try {
        const auto db = Database::Open(location);
        if (fill)
            fill(*db);
        db->finishLoading();
    } catch (...) {
        // Whatever stopped the fill (an error, or a caller's own reason),
        // the tables made go again; a failure to drop them is told.
        QString undone = QStringLiteral("the tables made were dropped again.");
        bool dropped = true;
        try {
            c.ensureConnected();
            dropMade(c);
        } catch (const Error& cleanup) {
            dropped = false;
            undone = QStringLiteral("the tables made could not be dropped again (%1); drop them before trying once "
                                    "more.").arg(cleanup.text());
        }
        try {
            throw;
        } catch (const Error& e) {
            raise(e.number(), QStringLiteral("Cannot fill the new database on the server %1: %2  (%3)")
                                  .arg(where, e.text(), undone));
        } catch (...) {
            if (!dropped)
                raise(ErrNo::ServerUnreachable, QStringLiteral("The new database on the server %1 was not filled, "
                                                               "and %2").arg(where, undone));
            throw;
        }
    }
    return where;
}

} // namespace cvd
