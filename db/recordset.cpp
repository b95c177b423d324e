// Record sets: moving, reading fields, the edit buffer, finding and seeking.
#include "db/recordsetimpl.h"

#include "db/sqldialect.h"

#include <sqlite3.h>

namespace cvd {

namespace {

constexpr int RecordDeleted = 3167;
constexpr int ObjectClosed = 3420;
constexpr int InvalidOperation = 3219;

bool isTableName(const QString& s)
{
    if (s.isEmpty())
        return false;
    if (s.startsWith(u'[') && s.endsWith(u']'))
        return !s.mid(1, s.size() - 2).contains(u']');
    for (const QChar c : s)
        if (!c.isLetterOrNumber() && c != u'_')
            return false;
    return !s[0].isDigit();
}

// A column default as the table declares it ("0", "'x'"), else Null.
Value parseDefault(const QString& d)
{
    if (d.isEmpty())
        return Value();
    bool ok = false;
    const int i = d.toInt(&ok);
    if (ok)
        return Value(i);
    const double f = d.toDouble(&ok);
    if (ok)
        return Value(f);
    if (d.size() >= 2 && d.startsWith(u'\'') && d.endsWith(u'\''))
        return Value(d.mid(1, d.size() - 2).replace(QLatin1String("''"), QLatin1String("'")));
    return Value();
}

} // namespace

QString plainName(const QString& name)
{
    if (name.size() >= 2 && ((name.startsWith(u'[') && name.endsWith(u']')) || (name.startsWith(u'"') && name.endsWith(u'"'))
                             || (name.startsWith(u'`') && name.endsWith(u'`'))))
        return name.mid(1, name.size() - 2);
    return name;
}

QString quotedName(const QString& name)
{
    QString n = plainName(name);
    n.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

QString columnText(sqlite3_stmt* s, int i)
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
    return QString::fromUtf8(p, sqlite3_column_bytes(s, i));
}

// ---- opening ---------------------------------------------------------------

std::unique_ptr<Recordset::Impl> Recordset::Impl::open(const std::shared_ptr<Connection>& conn, const QString& source,
                                                       RecordsetType type)
{
    auto d = std::make_unique<Impl>();
    d->conn = conn;
    d->type = type;
    const QString src = source.trimmed();
    const bool tableName = isTableName(src);
    if (type == RecordsetType::Table && !tableName)
        raise(ErrNo::SqlError, QStringLiteral("A table-type record set needs a table name, not '%1'.").arg(src));
    d->sourceSql = tableName ? QStringLiteral("select * from ") + src : translateSql(src);

    d->forwardOnly = type == RecordsetType::ForwardOnly;
    if (type != RecordsetType::Snapshot && !d->forwardOnly) {
        if (const auto simple = sql::parseSimpleSelect(d->sourceSql)) {
            d->table = simple->table;
            QString order = simple->orderBy;
            if (type == RecordsetType::Table && order.isEmpty())
                order = QStringLiteral("rowid");
            try {
                d->openKeyset(simple->columns, simple->where, order);
            } catch (const Error&) {
                // A query over one table that cannot be keyed by rowid (a
                // view, an order by a select-list alias) is read as a stream.
                d->keyset = false;
                d->rowStmt.reset();
                d->cols.clear();
                d->byName.clear();
                d->keys.clear();
            }
        }
    }
    if (!d->keyset)
        d->openStream();
    if (d->exists(0)) {
        d->pos = 0;
        d->bof = d->eof = false;
    }
    return d;
}

void Recordset::Impl::setColumns(sqlite3_stmt* s)
{
    const int n = sqlite3_column_count(s);
    cols.clear();
    byName.clear();
    for (int i = 0; i < n; ++i) {
        Column c;
        c.name = QString::fromUtf8(sqlite3_column_name(s, i));
        const char* origin = sqlite3_column_origin_name(s, i);
        c.origin = origin ? QString::fromUtf8(origin) : c.name;
        c.type = sql::columnType(sqlite3_column_decltype(s, i));
        if (!byName.contains(c.name))
            byName.insert(c.name, i);
        const QString folded = c.name.toCaseFolded();
        if (!byName.contains(folded))
            byName.insert(folded, i);
        cols.push_back(std::move(c));
    }
}

void Recordset::Impl::loadTableInfo()
{
    Stmt info = prepareStmt(db(), QStringLiteral("PRAGMA table_info(%1)").arg(quotedName(table)));
    QHash<QString, Value> dflt;
    int pkCount = 0;
    QString pk;
    QString pkType;
    while (sqlite3_step(info.get()) == SQLITE_ROW) {
        const QString name = columnText(info.get(), 1);
        if (sqlite3_column_type(info.get(), 4) != SQLITE_NULL)
            dflt.insert(name.toCaseFolded(), parseDefault(columnText(info.get(), 4)));
        if (sqlite3_column_int(info.get(), 5) > 0) {
            ++pkCount;
            pk = name;
            pkType = columnText(info.get(), 2);
        }
    }
    if (pkCount == 1 && pkType.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0)
        pkName = pk;
    defaults.assign(cols.size(), Value());
    for (size_t i = 0; i < cols.size(); ++i) {
        const auto it = dflt.constFind(cols[i].origin.toCaseFolded());
        if (it != dflt.constEnd())
            defaults[i] = sql::convertFor(*it, cols[i].type.type);
        if (!pkName.isEmpty() && cols[i].origin.compare(pkName, Qt::CaseInsensitive) == 0 && pkCol < 0)
            pkCol = int(i);
    }
}

void Recordset::Impl::openKeyset(const QString& columns, const QString& where, const QString& orderBy)
{
    rowStmt = prepareStmt(db(), QStringLiteral("select %1 from %2 where rowid = ?1").arg(columns, table), true);
    setColumns(rowStmt.get());
    loadTableInfo();
    QString keySql = QStringLiteral("select rowid from ") + table;
    if (!where.isEmpty())
        keySql += QStringLiteral(" where ") + where;
    if (!orderBy.isEmpty())
        keySql += QStringLiteral(" order by ") + orderBy;
    Stmt k = prepareStmt(db(), keySql);
    int rc;
    while ((rc = sqlite3_step(k.get())) == SQLITE_ROW)
        keys.push_back(sqlite3_column_int64(k.get(), 0));
    if (rc != SQLITE_DONE)
        sqlFail(db(), rc);
    keyset = true;
    updatable = true;
}

void Recordset::Impl::openStream()
{
    stream = prepareStmt(db(), sourceSql, true);
    setColumns(stream.get());
    fetchTo(0);
}

// ---- reading ---------------------------------------------------------------

void Recordset::Impl::checkOpen() const
{
    if (closed)
        raise(ObjectClosed, QStringLiteral("Object invalid or no longer set."));
}

void Recordset::Impl::checkWritable(bool needCurrent) const
{
    checkOpen();
    if (!updatable)
        raise(ErrNo::NotUpdatable);
    if (needCurrent && !hasCurrent())
        raise(ErrNo::NoCurrentRecord);
}

int Recordset::Impl::column(const QString& name) const
{
    auto it = byName.constFind(name);
    if (it == byName.constEnd())
        it = byName.constFind(name.toCaseFolded());
    if (it == byName.constEnd())
        raise(ErrNo::ItemNotFound, QStringLiteral("Item not found in this collection: '%1'.").arg(name));
    return *it;
}

bool Recordset::Impl::fetchTo(qint64 index)
{
    const int n = int(cols.size());
    while (!exhausted && rowsRead <= index) {
        const int rc = sqlite3_step(stream.get());
        if (rc == SQLITE_ROW) {
            if (forwardOnly) {
                rows.clear();
                rowBase = rowsRead;
            }
            for (int c = 0; c < n; ++c)
                rows.push_back(sql::readColumn(stream.get(), c, cols[c].type.type));
            ++rowsRead;
        } else if (rc == SQLITE_DONE) {
            exhausted = true;
            sqlite3_reset(stream.get());
        } else {
            exhausted = true;
            sqlFail(db(), rc);
        }
    }
    return index >= 0 && index < rowsRead;
}

void Recordset::Impl::fetchAll()
{
    while (!exhausted)
        fetchTo(rowsRead);
}

bool Recordset::Impl::exists(qint64 index)
{
    if (index < 0)
        return false;
    if (forwardOnly && index < rowBase)
        raise(InvalidOperation, QStringLiteral("Invalid operation."));
    return keyset ? index < qint64(keys.size()) : fetchTo(index);
}

const Value& Recordset::Impl::valueAt(int col)
{
    if (!keyset)
        return rows[size_t(pos - rowBase) * cols.size() + size_t(col)];
    if (!curValid) {
        sqlite3_stmt* s = rowStmt.get();
        sqlite3_reset(s);
        sqlite3_bind_int64(s, 1, keys[size_t(pos)]);
        const int rc = sqlite3_step(s);
        if (rc == SQLITE_DONE)
            raise(RecordDeleted, QStringLiteral("Record is deleted."));
        if (rc != SQLITE_ROW)
            sqlFail(db(), rc);
        cur.resize(cols.size());
        for (size_t c = 0; c < cols.size(); ++c)
            cur[c] = sql::readColumn(s, int(c), cols[c].type.type);
        sqlite3_reset(s);
        curValid = true;
    }
    return cur[size_t(col)];
}

void Recordset::Impl::moveTo(qint64 index)
{
    pos = index;
    bof = eof = deleted = false;
    curValid = false;
    edit = EditMode::None;
}

void Recordset::Impl::step(sqlite3_stmt* s)
{
    const int rc = sqlite3_step(s);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        sqlFail(db(), rc);
}

qint64 Recordset::Impl::nextKey()
{
    qint64 k = 0;
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db(), "select seq from sqlite_sequence where name = ?1 collate nocase", -1, &s, nullptr)
        == SQLITE_OK) {
        const QByteArray t = plainName(table).toUtf8();
        sqlite3_bind_text(s, 1, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(s) == SQLITE_ROW)
            k = sqlite3_column_int64(s, 0);
    }
    sqlite3_finalize(s);
    Stmt m = prepareStmt(db(), QStringLiteral("select max(rowid) from ") + table);
    if (sqlite3_step(m.get()) == SQLITE_ROW)
        k = std::max<qint64>(k, sqlite3_column_int64(m.get(), 0));
    return k + 1;
}

void Recordset::Impl::consumeWriteFailure()
{
    if (conn->failCount > 0) {
        --conn->failCount;
        raise(conn->failError);
    }
}

// ---- the interface ---------------------------------------------------------

Recordset::Recordset(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
Recordset::~Recordset() = default;

RecordsetType Recordset::type() const { return d->type; }

long Recordset::RecordCount()
{
    d->checkOpen();
    return long(d->count());
}

bool Recordset::Bof() const { return d->bof; }
bool Recordset::Eof() const { return d->eof; }

void Recordset::MoveFirst()
{
    d->checkOpen();
    if (!d->exists(0))
        raise(ErrNo::NoCurrentRecord);
    d->moveTo(0);
}

void Recordset::MoveLast()
{
    d->checkOpen();
    if (!d->keyset)
        d->fetchAll();
    if (d->count() == 0)
        raise(ErrNo::NoCurrentRecord);
    d->moveTo(d->count() - 1);
}

void Recordset::MoveNext()
{
    d->checkOpen();
    if (d->eof)
        raise(ErrNo::NoCurrentRecord);
    const qint64 target = d->bof ? 0 : d->deleted ? d->pos : d->pos + 1;
    if (d->exists(target)) {
        d->moveTo(target);
        return;
    }
    d->moveTo(d->count());
    d->eof = true;
    d->bof = d->count() == 0;
}

void Recordset::MovePrevious()
{
    d->checkOpen();
    if (d->forwardOnly)
        raise(InvalidOperation, QStringLiteral("Invalid operation."));
    if (d->bof)
        raise(ErrNo::NoCurrentRecord);
    const qint64 target = d->pos - 1;
    if (d->exists(target)) {
        d->moveTo(target);
        return;
    }
    d->moveTo(-1);
    d->bof = true;
    d->eof = d->count() == 0;
}

Value Recordset::Field(const QString& name)
{
    d->checkOpen();
    return Field(d->column(name));
}

Value Recordset::Field(int index)
{
    d->checkOpen();
    if (index < 0 || size_t(index) >= d->cols.size())
        raise(ErrNo::ItemNotFound, QStringLiteral("Item not found in this collection: %1.").arg(index));
    if (d->edit != Impl::EditMode::None)
        return d->buf[size_t(index)];
    if (!d->hasCurrent())
        raise(ErrNo::NoCurrentRecord);
    return d->valueAt(index);
}

int Recordset::FieldIndex(const QString& name) const
{
    d->checkOpen();
    return d->column(name);
}

void Recordset::SetField(const QString& name, const Value& v)
{
    d->checkOpen();
    const int c = d->column(name);
    if (!d->updatable)
        raise(ErrNo::NotUpdatable);
    if (d->edit == Impl::EditMode::None)
        raise(ErrNo::UpdateWithoutEdit);
    d->buf[size_t(c)] = sql::convertFor(v, d->cols[size_t(c)].type.type);
    d->dirty[size_t(c)] = 1;
}

QStringList Recordset::FieldNames() const
{
    QStringList names;
    for (const auto& c : d->cols)
        names << c.name;
    return names;
}

void Recordset::AddNew()
{
    d->checkWritable(false);
    d->buf = d->defaults;
    d->dirty.assign(d->cols.size(), 0);
    d->newKey = d->pkName.isEmpty() ? 0 : d->nextKey();
    if (d->pkCol >= 0)
        d->buf[size_t(d->pkCol)] = sql::convertFor(Value(int(d->newKey)), d->cols[size_t(d->pkCol)].type.type);
    d->edit = Impl::EditMode::Adding;
}

void Recordset::Edit()
{
    d->checkWritable(true);
    d->buf.resize(d->cols.size());
    for (size_t c = 0; c < d->cols.size(); ++c)
        d->buf[c] = d->valueAt(int(c));
    d->dirty.assign(d->cols.size(), 0);
    d->edit = Impl::EditMode::Editing;
}

void Recordset::Update()
{
    d->checkOpen();
    if (d->edit == Impl::EditMode::None)
        raise(ErrNo::UpdateWithoutEdit);
    d->conn->beforeWrite();
    d->consumeWriteFailure();
    QStringList names;
    std::vector<const Value*> values;
    for (size_t c = 0; c < d->cols.size(); ++c) {
        if (!d->dirty[c])
            continue;
        const auto& col = d->cols[c];
        const Value& v = d->buf[c];
        if (col.type.maxLength > 0 && v.type() == VType::Text && v.toText().size() > col.type.maxLength)
            raise(ErrNo::FieldTooSmall);
        if (names.contains(col.origin, Qt::CaseInsensitive))
            continue;
        names << col.origin;
        values.push_back(&v);
    }
    if (d->edit == Impl::EditMode::Adding) {
        const Value key(int(d->newKey));
        if (!d->pkName.isEmpty() && !names.contains(d->pkName, Qt::CaseInsensitive)) {
            names.prepend(d->pkName);
            values.insert(values.begin(), &key);
        }
        QString sqlText;
        if (names.isEmpty()) {
            sqlText = QStringLiteral("insert into %1 default values").arg(d->table);
        } else {
            QStringList q, marks;
            for (const QString& n : names) {
                q << quotedName(n);
                marks << QStringLiteral("?");
            }
            sqlText = QStringLiteral("insert into %1 (%2) values (%3)")
                          .arg(d->table, q.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        }
        Stmt s = prepareStmt(d->db(), sqlText);
        for (size_t i = 0; i < values.size(); ++i)
            sql::bindValue(s.get(), int(i) + 1, *values[i]);
        d->step(s.get());
        d->keys.push_back(sqlite3_last_insert_rowid(d->db()));
    } else if (!names.isEmpty()) {
        QStringList sets;
        for (const QString& n : names)
            sets << quotedName(n) + QStringLiteral(" = ?");
        Stmt s = prepareStmt(d->db(), QStringLiteral("update %1 set %2 where rowid = ?%3")
                                           .arg(d->table, sets.join(QStringLiteral(", ")))
                                           .arg(values.size() + 1));
        for (size_t i = 0; i < values.size(); ++i)
            sql::bindValue(s.get(), int(i) + 1, *values[i]);
        sqlite3_bind_int64(s.get(), int(values.size()) + 1, d->keys[size_t(d->pos)]);
        d->step(s.get());
        d->curValid = false;
    }
    d->edit = Impl::EditMode::None;
}

void Recordset::CancelUpdate()
{
    d->checkOpen();
    if (d->edit == Impl::EditMode::None)
        raise(ErrNo::UpdateWithoutEdit);
    d->edit = Impl::EditMode::None;
}

void Recordset::DiscardEdit() noexcept { d->edit = Impl::EditMode::None; }

void Recordset::Delete()
{
    d->checkWritable(true);
    d->conn->beforeWrite();
    d->consumeWriteFailure();
    d->edit = Impl::EditMode::None;
    Stmt s = prepareStmt(d->db(), QStringLiteral("delete from %1 where rowid = ?1").arg(d->table));
    sqlite3_bind_int64(s.get(), 1, d->keys[size_t(d->pos)]);
    d->step(s.get());
    d->keys.erase(d->keys.begin() + d->pos);
    d->deleted = true;
    d->curValid = false;
}

bool Recordset::Editing() const { return d->edit != Impl::EditMode::None; }

void Recordset::SetLockEdits(bool pessimistic) { d->lockEdits = pessimistic; }

void Recordset::Close()
{
    d->stream.reset();
    d->rowStmt.reset();
    d->rows.clear();
    d->rows.shrink_to_fit();
    d->keys.clear();
    d->keys.shrink_to_fit();
    d->closed = true;
    d->bof = d->eof = true;
}

} // namespace cvd
