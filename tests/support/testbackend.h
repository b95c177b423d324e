#pragma once
// The engine the tests run on.  Unset, CVD_TEST_BACKEND means the database
// file; CVD_TEST_BACKEND=server runs the same tests on the PostgreSQL server
// that tests/server/testserver.sh started and described in the file that
// CVD_TEST_PGINFO names ("key=value" lines: conninfo, datadir, bin,
// socketdir; or "unavailable: why").
//
// A test database on the server is a schema of its own (fx_<pid>_<n>) in the
// test server's database, named by a cvd.conn file in the test's folder, so
// that Database::Open(path) opens either kind unchanged.
#include <QList>
#include <QStringList>

namespace cvd {
class Database;
}

namespace cvd::test {

// The next `count` record writes on `db` (the Update of a new or changed
// record, a Delete) fail with `errorNumber` before anything is written: 3260
// as when another desk holds the record, 3197 or 3167 as when it changed or
// deleted it meanwhile.  (A layer over every database a test opens.)
void failNextWrites(Database& db, int count, int errorNumber);

enum class Engine { File, Server };

// Whether the tests run on the server (CVD_TEST_BACKEND=server).
bool serverMode();
inline Engine testEngine() { return serverMode() ? Engine::Server : Engine::File; }

// Why tests in server mode cannot run (no information file, a server that
// could not be started); empty when the server is there.
QString serverUnavailable();

// The test server's connection string, without a schema; empty when there
// is none.  The folder of its programs (psql, pg_ctl).
QString serverConninfo();
QString serverBinFolder();

// Whether `path` names a connection file (cvd.conn) rather than a database
// file, and the connection string in it.
bool isConnFile(const QString& path);
QString connFileConninfo(const QString& connPath);

// Makes a new schema on the test server with the program's tables and the
// Settings row, runs `rowsSql` in it, moves the keys' sequences past the
// keys written, and writes `folder`/cvd.conn naming it.  Returns that path.
QString createServerDb(const QString& folder, const QString& rowsSql);

// Runs SQL (several statements allowed) on a test database: a file with
// plain SQLite, or the schema a cvd.conn names through libpq.  A failure
// raises cvd::Error 3001 with the engine's message.
void execOnTestDb(const QString& connOrPath, const QString& sql);

// The rows of `sql` on a test database, each field as text: Null as a null
// QString, Yes/No as 1/0, as the file holds them.
QList<QStringList> rowsOnTestDb(const QString& connOrPath, const QString& sql);

// One field as SQLite would store it, for the typed views of testfiles.h:
// SQLite's storage class (1 integer, 2 real, 3 text, 4 blob, 5 null) and
// the text.  On the server an integral real is an integer, as the file's
// numeric columns keep it.
struct StoredField { int type; QString text; };
QList<QList<StoredField>> storedRows(const QString& connOrPath, const QString& sql);

} // namespace cvd::test
