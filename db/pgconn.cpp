// The connection to the server: connecting, running statements with their
// parameters, and the program's error numbers for the server's failures.
#include "db/pgconn.h"

#include "db/collation.h"
#include "db/references.h"
#include "db/schema.h"

#include <QRegularExpression>

#include <cstring>
#include <poll.h>

namespace cvd::pg {

namespace {

QString firstLine(const char* text)
{
    const QString t = QString::fromUtf8(text ? text : "").trimmed();
    return t.section(u'\n', 0, 0).trimmed();
}

QString describe(PGconn* c)
{
    const QString db = QString::fromUtf8(PQdb(c));
    const QString host = QString::fromUtf8(PQhost(c));
    const QString port = QString::fromUtf8(PQport(c));
    const QString user = QString::fromUtf8(PQuser(c));
    QString where = db;
    if (!host.isEmpty())
        where += QStringLiteral(" on ") + host + (port.isEmpty() ? QString() : QStringLiteral(":") + port);
    if (!user.isEmpty())
        where += QStringLiteral(" as ") + user;
    return where;
}

// Refuses a text that is no connection string, and one that holds a
// password: passwords never live in the program's own files.
void checkConninfo(const QString& conninfo, const QString& source)
{
    char* err = nullptr;
    PQconninfoOption* opts = PQconninfoParse(conninfo.toUtf8().constData(), &err);
    const QString named = source.isEmpty() ? QStringLiteral("The connection string") : QStringLiteral("'%1'").arg(source);
    if (!opts) {
        const QString why = firstLine(err);
        PQfreemem(err);
        raise(ErrNo::ServerUnreachable,
              QStringLiteral("%1 is not a connection string the database server understands: %2").arg(named, why));
    }
    bool password = false;
    for (PQconninfoOption* o = opts; o->keyword; ++o)
        if (std::strcmp(o->keyword, "password") == 0 && o->val && *o->val)
            password = true;
    PQconninfoFree(opts);
    if (password)
        raise(ErrNo::ServerUnreachable,
              QStringLiteral("%1 holds a password.  The program keeps no passwords in its files: put it in "
                             "~/.pgpass, in PGPASSWORD or in a service file, and take it out of the connection string.")
                  .arg(named));
}

sql::ColumnType typeOfOid(Oid oid)
{
    sql::ColumnType t;
    switch (oid) {
    case 16: t.type = sql::ColType::Boolean; break;
    case 20:
    case 21:
    case 23: t.type = sql::ColType::Long; break;
    case 700: t.type = sql::ColType::Single; break;
    case 701:
    case 1700: t.type = sql::ColType::Double; break;
    case 1082: t.type = sql::ColType::Date; break;
    default: t.type = sql::ColType::Unknown; break;
    }
    return t;
}

QByteArray paramText(const Value& v)
{
    switch (v.type()) {
    case VType::Null: return {};
    case VType::Boolean: return v.toBool() ? QByteArrayLiteral("true") : QByteArrayLiteral("false");
    case VType::Long:
    case VType::BigInt: return QByteArray::number(v.toBigInt());
    case VType::Single: return QByteArray::number(double(v.toSingle()), 'g', 9);
    case VType::Double: return QByteArray::number(v.toDouble(), 'g', 17);
    case VType::Currency: return QByteArray::number(v.toCurrency().units);
    case VType::Date: return v.toDate().toString(Qt::ISODate).toLatin1();
    case VType::Text: return v.toText().toUtf8();
    }
    return {};
}

struct Params {
    std::vector<QByteArray> texts;
    std::vector<const char*> values;
    explicit Params(const std::vector<Value>& params)
    {
        texts.reserve(params.size());
        for (const Value& v : params) {
            texts.push_back(paramText(v));
            values.push_back(v.isNull() ? nullptr : texts.back().constData());
        }
    }
};

// What every session of the program sets, on its first connection and on
// each one made afresh: ISO dates, exact floats, a bounded wait for locks,
// and the order of names (db/collation.h).
QString sessionSettings()
{
    return QStringLiteral("SET datestyle = ISO; SET extra_float_digits = 3; SET lock_timeout = '5s'; ")
           + sql::serverOrderCollationStatement();
}

bool succeeded(const PGresult* r)
{
    const ExecStatusType s = PQresultStatus(r);
    return r && (s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK || s == PGRES_COPY_IN);
}

} // namespace

Connection::Connection(const QString& conninfo, const QString& source)
{
    checkConninfo(conninfo, source);
    const QByteArray info = conninfo.toUtf8();
    const char* keys[] = {"fallback_application_name", "connect_timeout", "dbname", "client_encoding", nullptr};
    const char* values[] = {"calvedon", "10", info.constData(), "UTF8", nullptr};
    m_conn = PQconnectdbParams(keys, values, 1);
    // The server's notices ("terminating connection...") are not for the
    // terminal; what matters comes back as an error.
    PQsetNoticeProcessor(m_conn, [](void*, const char*) {}, nullptr);
    m_where = describe(m_conn);
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const QString why = firstLine(PQerrorMessage(m_conn));
        if (PQconnectionNeedsPassword(m_conn))
            raise(ErrNo::LoginRefused,
                  QStringLiteral("The database server %1 asks for a password, and none was found.  Put it in "
                                 "~/.pgpass, in PGPASSWORD or in a service file.").arg(m_where));
        if (why.contains(QLatin1String("authentication failed")) || why.contains(QLatin1String("role \"")))
            raise(ErrNo::LoginRefused, QStringLiteral("The database server %1 refused the login: %2").arg(m_where, why));
        // The server answered, but has no database of that name.
        if (why.contains(QLatin1String("database \"")) && why.contains(QLatin1String("does not exist")))
            raise(ErrNo::FileNotFound, QStringLiteral("The database server %1 has no database %2: %3")
                                           .arg(m_where.section(QStringLiteral(" on "), 1), QString::fromUtf8(PQdb(m_conn)), why));
        raise(ErrNo::ServerUnreachable, QStringLiteral("Couldn't reach the database server %1: %2").arg(m_where, why));
    }
    exec(sessionSettings());
    Result icu = exec(QStringLiteral("select count(*) from pg_collation where collname = 'und-x-icu'"));
    if (QByteArray(PQgetvalue(icu.get(), 0, 0)) == "0")
        raise(ErrNo::ServerUnreachable,
              QStringLiteral("The database server %1 has no ICU collations, which the program needs to compare "
                             "texts without regard to case.").arg(m_where));
}

Connection::~Connection()
{
    if (m_conn)
        PQfinish(m_conn);
}

Stream::Stream(Connection& c, const QByteArray& sql, const std::vector<Value>& params) : m_c(c)
{
    c.ensureConnected();
    m_inTransaction = PQtransactionStatus(c.raw()) == PQTRANS_INTRANS;
    const Params p(params);
    if (!PQsendQueryParams(c.raw(), sql.constData(), int(params.size()), nullptr, p.values.data(), nullptr, nullptr, 0)
        || !PQsetSingleRowMode(c.raw()))
        c.fail(nullptr);
    m_open = true;
    c.stream = this;
    m_first = receive();
}

Stream::~Stream()
{
    if (!m_open)
        return;
    // Given up before its end: outside a transaction the server stops what
    // it has not sent yet; inside one (a copy's snapshot) the rest is read
    // and dropped, so that the transaction is not aborted.
    PQconsumeInput(m_c.raw());
    if (!m_inTransaction && PQisBusy(m_c.raw())) {
        if (PGcancel* cancel = PQgetCancel(m_c.raw())) {
            char why[256];
            PQcancel(cancel, why, sizeof why);
            PQfreeCancel(cancel);
        }
    }
    while (PGresult* r = PQgetResult(m_c.raw()))
        PQclear(r);
    m_c.stream = nullptr;
}

Result Stream::receive()
{
    Result r(PQgetResult(m_c.raw()));
    const ExecStatusType s = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (s == PGRES_SINGLE_TUPLE)
        return r;
    // The end (a result without rows, which still describes them), or a failure.
    while (PGresult* more = PQgetResult(m_c.raw()))
        PQclear(more);
    m_open = false;
    m_c.stream = nullptr;
    if (s != PGRES_TUPLES_OK)
        m_c.fail(r.get());
    return r;
}

Result Stream::next()
{
    if (!m_firstTaken) {
        m_firstTaken = true;
        if (PQresultStatus(m_first.get()) == PGRES_SINGLE_TUPLE)
            return std::move(m_first);
    }
    if (m_nextParked < m_parked.size())
        return std::move(m_parked[m_nextParked++]);
    if (!m_open)
        return nullptr;
    Result r = receive();
    return PQresultStatus(r.get()) == PGRES_SINGLE_TUPLE ? std::move(r) : nullptr;
}

void Stream::park()
{
    while (m_open) {
        Result r = receive();
        if (PQresultStatus(r.get()) == PGRES_SINGLE_TUPLE)
            m_parked.push_back(std::move(r));
    }
}

void Connection::ensureConnected()
{
    if (stream)
        stream->park();
    // A server restarted (or a connection dropped) while this desk sat idle
    // has closed the connection and said why: that is read here, before a
    // statement is sent, and the connection is made afresh without a word.
    if (PQstatus(m_conn) == CONNECTION_OK && !m_broken && PQtransactionStatus(m_conn) == PQTRANS_IDLE) {
        pollfd p{PQsocket(m_conn), POLLIN, 0};
        if (::poll(&p, 1, 0) > 0 && (!PQconsumeInput(m_conn) || PQstatus(m_conn) != CONNECTION_OK))
            m_broken = true;
    }
    if (PQstatus(m_conn) == CONNECTION_OK && !m_broken) {
        if (PQtransactionStatus(m_conn) == PQTRANS_INERROR)
            quietly("ROLLBACK");
        return;
    }
    PQreset(m_conn);
    if (PQstatus(m_conn) != CONNECTION_OK)
        raise(ErrNo::ConnectionLost, QStringLiteral("The connection to the database server %1 was lost, and the server "
                                                    "cannot be reached: %2")
                                         .arg(m_where, firstLine(PQerrorMessage(m_conn))));
    m_broken = false;
    ++m_generation;
    quietly(sessionSettings().toUtf8().constData());
}

Result Connection::read(const std::function<Result()>& run)
{
    ensureConnected();
    const bool outside = PQtransactionStatus(m_conn) == PQTRANS_IDLE;
    try {
        return run();
    } catch (const Error& e) {
        if (!outside || e.number() != ErrNo::ConnectionLost)
            throw;
    }
    return run(); // made afresh first, or 3146 when the server is still away
}

void Connection::fail(PGresult* r)
{
    const QByteArray state = r ? QByteArray(PQresultErrorField(r, PG_DIAG_SQLSTATE)) : QByteArray();
    QString msg = r ? QString::fromUtf8(PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY)) : QString();
    if (msg.isEmpty())
        msg = firstLine(PQerrorMessage(m_conn));
    // A failure without a state of the server's is libpq's own: the
    // connection broke.  It is made afresh before the next statement.
    if (PQstatus(m_conn) != CONNECTION_OK || state.isEmpty() || state.startsWith("08") || state.startsWith("57P")) {
        m_broken = true;
        raise(ErrNo::ConnectionLost,
              QStringLiteral("The connection to the database server %1 was lost: %2").arg(m_where, msg));
    }
    if (state == "55P03" || state == "40001" || state == "40P01")
        raise(ErrNo::RecordLockedByUser);
    if (state == "23505")
        raise(ErrNo::DuplicateKey);
    if (state == "23503")
        failReference(r);
    if (state == "22001" || state == "23514")
        raise(ErrNo::FieldTooSmall);
    if (state == "22003")
        raise(ErrNo::Overflow);
    if (state == "25006" || state == "42501")
        raise(ErrNo::CannotWrite, QStringLiteral("The database server %1 does not let this program change it: %2")
                                      .arg(m_where, msg));
    if (state == "53100")
        raise(ErrNo::DiskFull, QStringLiteral("The database server %1 is out of disk space: %2").arg(m_where, msg));
    if (state == "XX001" || state == "XX002")
        raise(ErrNo::NotADatabase, QStringLiteral("The database server %1 reports damage: %2").arg(m_where, msg));
    raise(ErrNo::SqlError, msg);
}

// A write that would break a reference between tables: a row that names
// one that is gone.  (The server says the same of the delete of a row that
// another names: the backend's delete tells that apart, by the reference
// this leaves in lastReference.)
void Connection::failReference(PGresult* r)
{
    const Reference* ref = referenceByConstraint(QString::fromUtf8(PQresultErrorField(r, PG_DIAG_CONSTRAINT_NAME)));
    lastReference = ref;
    if (!ref)
        raise(ErrNo::SqlError, QString::fromUtf8(PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY)));
    // Key (custid)=(12) is not present in table "customers".
    static const QRegularExpression key(QStringLiteral("\\)=\\((-?[0-9]+)\\)"));
    const QRegularExpressionMatch m = key.match(QString::fromUtf8(PQresultErrorField(r, PG_DIAG_MESSAGE_DETAIL)));
    raiseMissingReference(*ref, m.hasMatch() ? m.captured(1).toLongLong() : 0);
}

Result Connection::exec(const QString& sql, const std::vector<Value>& params, bool binary)
{
    const QByteArray text = params.empty() ? sql.toUtf8() : numberedParameters(sql);
    // A query that only reads can be run again on a new connection.
    const QString start = sql.left(8).trimmed();
    if (start.startsWith(QLatin1String("select"), Qt::CaseInsensitive) && !sql.contains(QLatin1String("for update"), Qt::CaseInsensitive))
        return read([&] { return execRaw(text, params, binary); });
    return execRaw(text, params, binary);
}

Result Connection::execRaw(const QByteArray& sql, const std::vector<Value>& params, bool binary)
{
    ensureConnected();
    Result r;
    if (params.empty() && !binary) {
        r.reset(PQexec(m_conn, sql.constData()));
    } else {
        const Params p(params);
        r.reset(PQexecParams(m_conn, sql.constData(), int(params.size()), nullptr, p.values.data(), nullptr, nullptr,
                             binary ? 1 : 0));
    }
    if (!succeeded(r.get()))
        fail(r.get());
    return r;
}

Result Connection::execPrepared(const QByteArray& name, const std::vector<Value>& params)
{
    ensureConnected();
    const Params p(params);
    Result r(PQexecPrepared(m_conn, name.constData(), int(params.size()), p.values.data(), nullptr, nullptr, 0));
    if (!succeeded(r.get()))
        fail(r.get());
    return r;
}

Result Connection::prepare(const QByteArray& name, const QString& sql)
{
    ensureConnected();
    Result r(PQprepare(m_conn, name.constData(), numberedParameters(sql).constData(), 0, nullptr));
    if (!succeeded(r.get()))
        fail(r.get());
    Result d(PQdescribePrepared(m_conn, name.constData()));
    if (!succeeded(d.get()))
        fail(d.get());
    return d;
}

void Connection::quietly(const char* sql)
{
    if (stream)
        stream->park();
    PQclear(PQexec(m_conn, sql));
}

void Connection::loadCatalog()
{
    QStringList names;
    for (const QString& t : schema::tableNames())
        names << t.toLower();
    Result r = exec(QStringLiteral("select t.name, c.oid, a.attnum, a.attname from unnest(?::text[]) as t(name)"
                                   " join pg_class c on c.oid = to_regclass(t.name)"
                                   " join pg_attribute a on a.attrelid = c.oid and a.attnum > 0 and not a.attisdropped"),
                    {Value(QStringLiteral("{") + names.join(u',') + QStringLiteral("}"))});
    tables.clear();
    columns.clear();
    for (int i = 0; i < PQntuples(r.get()); ++i) {
        const QString lower = QString::fromUtf8(PQgetvalue(r.get(), i, 0));
        QString table = lower;
        for (const QString& t : schema::tableNames())
            if (t.compare(lower, Qt::CaseInsensitive) == 0)
                table = t;
        const quint32 oid = QByteArray(PQgetvalue(r.get(), i, 1)).toUInt();
        const int attnum = QByteArray(PQgetvalue(r.get(), i, 2)).toInt();
        const QString attname = QString::fromUtf8(PQgetvalue(r.get(), i, 3));
        QString column = attname;
        for (const QString& c : schema::columnNames(table))
            if (c.compare(attname, Qt::CaseInsensitive) == 0)
                column = c;
        if (schema::keyColumn(table).compare(attname, Qt::CaseInsensitive) == 0)
            column = schema::keyColumn(table);
        tables.insert(oid, table);
        columns.insert((quint64(oid) << 16) | quint64(attnum),
                       CatalogColumn{table, column, sql::columnType(schema::declaredType(table, column).toLatin1().constData())});
    }
}

const CatalogColumn* Connection::catalogColumn(quint32 tableOid, int column) const
{
    const auto it = columns.constFind((quint64(tableOid) << 16) | quint64(column));
    return it == columns.constEnd() ? nullptr : &*it;
}

std::vector<engine::Column> resultColumns(const Connection& c, const PGresult* r, const QHash<QString, QString>& spellings)
{
    std::vector<engine::Column> cols;
    const int n = PQnfields(r);
    for (int i = 0; i < n; ++i) {
        engine::Column col;
        const QString fname = QString::fromUtf8(PQfname(r, i));
        const CatalogColumn* cc = c.catalogColumn(PQftable(r, i), PQftablecol(r, i));
        if (cc && cc->column.compare(fname, Qt::CaseInsensitive) == 0)
            col.name = cc->column;
        col.name = spellings.value(fname, col.name.isEmpty() ? fname : col.name);
        col.origin = cc ? cc->column : col.name;
        col.type = cc && cc->type.type != sql::ColType::Unknown ? cc->type : typeOfOid(PQftype(r, i));
        cols.push_back(std::move(col));
    }
    return cols;
}

Value readValue(const PGresult* r, int row, int col, sql::ColType type)
{
    if (PQgetisnull(r, row, col))
        return Value();
    const char* p = PQgetvalue(r, row, col);
    const int n = PQgetlength(r, row, col);
    const QByteArray text = QByteArray::fromRawData(p, n);
    switch (type) {
    case sql::ColType::Long: return Value(qint64(text.toLongLong())); // a Long, or a BigInt beyond it
    case sql::ColType::Single: return Value(text.toFloat());
    case sql::ColType::Double: return Value(text.toDouble());
    case sql::ColType::Currency: {
        bool ok = false;
        const qint64 units = text.toLongLong(&ok);
        return Value(Currency::fromUnits(ok ? units : std::llround(text.toDouble())));
    }
    case sql::ColType::Date: {
        const QDate d = QDate::fromString(QString::fromLatin1(p, std::min(n, 10)), Qt::ISODate);
        return d.isValid() ? Value(d) : Value(QString::fromUtf8(p, n));
    }
    case sql::ColType::Boolean: return Value(n > 0 && p[0] == 't');
    case sql::ColType::Text:
    case sql::ColType::Unknown: break;
    }
    return Value(QString::fromUtf8(p, n));
}

QByteArray numberedParameters(const QString& sql)
{
    QString out;
    out.reserve(sql.size() + 8);
    QChar quote;
    int n = 0;
    for (const QChar c : sql) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'?') {
            out += QStringLiteral("$") + QString::number(++n);
            continue;
        }
        out += c;
    }
    return out.toUtf8();
}

} // namespace cvd::pg
