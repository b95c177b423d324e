#pragma once
// One libpq connection to the server, with the program's error numbers for
// what the server reports, the statement parameters as text, and field
// values read from text results as the program's types.
#include "db/backend.h"

#include <QByteArray>
#include <QHash>
#include <functional>
#include <libpq-fe.h>

namespace cvd::pg {

struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

// What the catalog says of one column of a program's table.
struct CatalogColumn {
    QString table;  // as the program spells it
    QString column; // as the program spells it
    sql::ColumnType type;
};

class Connection;

// The rows of one query as the server sends them, one at a time (libpq's
// single-row mode), so that a report or a copy of any size holds one row at
// a time.  While it is open the connection is the stream's: any other
// statement first takes the rest of its rows into memory (park()), and
// goes on.  A stream given up before its end is stopped on the server.
class Stream {
public:
    Stream(Connection& c, const QByteArray& sql, const std::vector<Value>& params);
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // The description of the rows (a result without rows, or the first
    // row), until the first next().
    const PGresult* description() const { return m_first.get(); }
    // The next row as a result of one row; null after the last.
    Result next();
    // Takes every row still to come into memory and frees the connection.
    void park();

private:
    Result receive();
    Connection& m_c;
    Result m_first;          // the description, and the first row when there is one
    bool m_firstTaken = false;
    bool m_open = false;     // rows still to come from the server
    bool m_inTransaction = false; // sent inside a transaction (a copy's snapshot)
    std::vector<Result> m_parked;
    std::size_t m_nextParked = 0;
};

class Connection {
public:
    // Connects or throws: 3151 when the server cannot be reached or the
    // text is no connection string, 3029 when it refuses the login.
    // `source` names the cvd.conn file in messages.
    Connection(const QString& conninfo, const QString& source);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    PGconn* raw() const { return m_conn; }
    // "dbname on host:port as user"
    const QString& where() const { return m_where; }
    // Grows each time the connection was made afresh (prepared statements
    // are then made again).
    int generation() const { return m_generation; }

    // Runs a statement; `?` marks outside quotes become $1, $2...  Throws
    // the program's error for a failure.  With `binary`, results come in
    // the server's binary form.  A query that only reads is run through
    // read().
    Result exec(const QString& sql, const std::vector<Value>& params = {}, bool binary = false);
    // Runs `run`, which reads; a connection found lost meanwhile (the
    // server restarted, say) is made afresh once and `run` runs again,
    // unless a transaction was open (its reads are gone with it): one
    // failure is told once, and only when the server cannot be reached.
    Result read(const std::function<Result()>& run);
    // The same for text already in the server's form ($n marks).
    Result execRaw(const QByteArray& sql, const std::vector<Value>& params = {}, bool binary = false);
    Result execPrepared(const QByteArray& name, const std::vector<Value>& params);
    // Prepares a statement under `name`; the description of its result.
    Result prepare(const QByteArray& name, const QString& sql);
    // A statement whose failure is of no interest (ROLLBACK after a failure).
    void quietly(const char* sql);

    // Throws the program's error for a failed result (or a lost connection).
    // A reference between tables that a statement would break is 3201, and
    // the reference is kept in lastReference.
    [[noreturn]] void fail(PGresult* r);
    const Reference* lastReference = nullptr;
    // Made afresh when it was lost; 3146 when the server is still away.
    void ensureConnected();

    // The program's tables as the server holds them: by table oid and
    // column number.
    QHash<quint32, QString> tables;
    QHash<quint64, CatalogColumn> columns;
    void loadCatalog();
    const CatalogColumn* catalogColumn(quint32 tableOid, int column) const;

    // The stream that holds the connection, if any (set by Stream).
    Stream* stream = nullptr;

private:
    [[noreturn]] void failReference(PGresult* r);
    PGconn* m_conn = nullptr;
    QString m_where;
    int m_generation = 0;
    bool m_broken = false;
};

// The result's columns as the record sets see them: the program's spelling
// where the text or the catalog gives one, the type from the program's
// schema (or from the server's type of a computed column).
std::vector<engine::Column> resultColumns(const Connection& c, const PGresult* r, const QHash<QString, QString>& spellings);

// Field `col` of row `row` of a text result, read as `type` says.
Value readValue(const PGresult* r, int row, int col, sql::ColType type);

// "?" marks outside quotes as $1, $2...
QByteArray numberedParameters(const QString& sql);

} // namespace cvd::pg
