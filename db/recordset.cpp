// Record sets: moving, reading fields, the edit buffer, finding and seeking.
#include "db/recordsetimpl.h"

#include "db/sqldialect.h"

#include <algorithm>

namespace cvd {

namespace {

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

} // namespace

QString plainName(const QString& name)
{
    if (name.size() >= 2 && ((name.startsWith(u'[') && name.endsWith(u']')) || (name.startsWith(u'"') && name.endsWith(u'"'))
                             || (name.startsWith(u'`') && name.endsWith(u'`'))))
        return name.mid(1, name.size() - 2);
    return name;
}

// ---- opening ---------------------------------------------------------------

std::unique_ptr<Recordset::Impl> Recordset::Impl::open(const std::shared_ptr<engine::Backend>& backend,
                                                       const QString& source, RecordsetType type)
{
    auto d = std::make_unique<Impl>();
    d->backend = backend;
    d->type = type;
    d->source = source;
    d->forwardOnly = type == RecordsetType::ForwardOnly;
    d->load();
    return d;
}

// Reads the set from its source: at open, and again for Requery.
void Recordset::Impl::load()
{
    const QString src = source.trimmed();
    const bool tableName = isTableName(src);
    if (type == RecordsetType::Table && !tableName)
        raise(ErrNo::SqlError, QStringLiteral("A table-type record set needs a table name, not '%1'.").arg(src));
    sourceSql = backend->translate(tableName ? QStringLiteral("select * from ") + src : src);
    keyset = false;
    if (type != RecordsetType::Snapshot && !forwardOnly) {
        // A query over one table is keyed, and so updatable; any other
        // (a join, a group, a view) is refused, never quietly turned into
        // a set that cannot be saved: read-only, it is a snapshot.
        if (const auto simple = sql::parseSimpleSelect(sourceSql)) {
            table = &backend->table(simple->table);
            if (table->view) {
                table = nullptr;
            } else {
                QString order = simple->orderBy;
                if (type == RecordsetType::Table && order.isEmpty())
                    order = table->key;
                openKeyset(simple->columns, simple->where, order);
            }
        }
    }
    if (!keyset && type != RecordsetType::Snapshot && !forwardOnly)
        raise(ErrNo::NotUpdatable,
              QStringLiteral("Database or object is read-only: the query '%1' cannot be opened for changes (it is not "
                             "over the records of one table); it can be opened as a snapshot.").arg(src));
    if (!keyset)
        openStream();
    qint64 first = 0;
    if (exists(first)) {
        pos = first;
        bof = eof = false;
    }
}

void Recordset::Impl::setColumns(const std::vector<Column>& c)
{
    cols = c;
    byName.clear();
    for (size_t i = 0; i < cols.size(); ++i) {
        const QString& name = cols[i].name;
        if (!byName.contains(name))
            byName.insert(name, int(i));
        const QString folded = name.toCaseFolded();
        if (!byName.contains(folded))
            byName.insert(folded, int(i));
    }
}

void Recordset::Impl::openKeyset(const QString& columns, const QString& where, const QString& orderBy)
{
    selectList = columns;
    rowReader = backend->rowReader(*table, columns);
    setColumns(rowReader->columns());
    pkCol = -1;
    defaults.assign(cols.size(), Value());
    for (size_t i = 0; i < cols.size(); ++i) {
        const auto it = table->defaults.constFind(cols[i].origin.toCaseFolded());
        if (it != table->defaults.constEnd())
            defaults[i] = sql::convertFor(*it, cols[i].type.type);
        if (!table->autoKey.isEmpty() && cols[i].origin.compare(table->autoKey, Qt::CaseInsensitive) == 0 && pkCol < 0)
            pkCol = int(i);
    }
    keyWhere = where;
    keySql = QStringLiteral("select %1 from %2").arg(table->key, table->name);
    if (!where.isEmpty())
        keySql += QStringLiteral(" where ") + where;
    const QString order = backend->keysetOrder(orderBy, *table);
    if (!order.isEmpty())
        keySql += QStringLiteral(" order by ") + order;
    keyOrder = order.isEmpty() ? table->key : order;
    seek.reset();
    if (type == RecordsetType::Dynaset)
        seek = sql::keySeek(keyOrder, table->key);
    keyset = true;
    readKeys();
    updatable = true;
}

void Recordset::Impl::openStream()
{
    stream = backend->query(sourceSql);
    setColumns(stream->columns());
    rows.clear();
    rowsRead = 0;
    rowBase = 0;
    exhausted = false;
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
    while (!exhausted && rowsRead <= index) {
        if (forwardOnly) {
            rows.clear();
            rowBase = rowsRead;
        }
        if (!stream->next(rows)) {
            exhausted = true;
            break;
        }
        ++rowsRead;
    }
    return index >= 0 && index < rowsRead;
}

void Recordset::Impl::fetchAll()
{
    while (!exhausted)
        fetchTo(rowsRead);
}

bool Recordset::Impl::exists(qint64& index)
{
    if (keyset)
        return reach(index);
    if (index < 0)
        return false;
    if (forwardOnly && index < rowBase)
        raise(InvalidOperation, QStringLiteral("Invalid operation."));
    return fetchTo(index);
}

const Value& Recordset::Impl::valueAt(int col)
{
    if (!keyset)
        return rows[size_t(pos - rowBase) * cols.size() + size_t(col)];
    if (!curValid) {
        if (!rowReader->read(keyAt(pos), cur))
            raise(ErrNo::RecordDeleted, QStringLiteral("Record is deleted."));
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
    qint64 first = 0;
    if (!d->exists(first))
        raise(ErrNo::NoCurrentRecord);
    d->moveTo(first);
}

void Recordset::MoveLast()
{
    d->checkOpen();
    if (!d->keyset)
        d->fetchAll();
    // A keyset read in pieces reads its last piece, not all between.
    qint64 last = d->endPosition() - 1;
    if (!d->exists(last))
        raise(ErrNo::NoCurrentRecord);
    d->moveTo(last);
}

void Recordset::MoveNext()
{
    d->checkOpen();
    if (d->eof)
        raise(ErrNo::NoCurrentRecord);
    qint64 target = d->bof ? 0 : d->deleted ? d->pos : d->pos + 1;
    if (d->exists(target)) {
        d->moveTo(target);
        return;
    }
    d->moveTo(d->endPosition());
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
    qint64 target = d->pos - 1;
    if (d->exists(target)) {
        d->moveTo(target);
        return;
    }
    d->moveTo(-1);
    d->bof = true;
    d->eof = d->count() == 0;
}

long Recordset::AbsolutePosition() const { return d->hasCurrent() ? long(d->pos) : -1; }

void Recordset::SetAbsolutePosition(long position)
{
    d->checkOpen();
    qint64 target = position;
    if (!d->exists(target))
        raise(ErrNo::SqlError, QStringLiteral("Invalid argument."));
    d->moveTo(target);
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
    d->newKey = d->table->autoKey.isEmpty() ? 0 : d->backend->reserveKey(*d->table);
    if (d->pkCol >= 0)
        d->buf[size_t(d->pkCol)] = sql::convertFor(Value(d->newKey), d->cols[size_t(d->pkCol)].type.type);
    d->edit = Impl::EditMode::Adding;
}

void Recordset::Edit()
{
    d->checkWritable(true);
    d->buf.resize(d->cols.size());
    for (size_t c = 0; c < d->cols.size(); ++c)
        d->buf[c] = d->valueAt(int(c));
    d->asShown = d->buf;
    d->dirty.assign(d->cols.size(), 0);
    d->edit = Impl::EditMode::Editing;
}

void Recordset::Update()
{
    d->checkOpen();
    if (d->edit == Impl::EditMode::None)
        raise(ErrNo::UpdateWithoutEdit);
    d->backend->beforeWrite();
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
        const Value key(d->newKey);
        const QString& autoKey = d->table->autoKey;
        if (!autoKey.isEmpty() && !names.contains(autoKey, Qt::CaseInsensitive)) {
            names.prepend(autoKey);
            values.insert(values.begin(), &key);
        }
        d->addKey(d->backend->insertRow(*d->table, names, values));
    } else if (!names.isEmpty()) {
        try {
            d->backend->updateRow(*d->table, d->keyAt(d->pos), names, values, d->selectList, d->asShown);
        } catch (const Error& e) {
            if (e.number() == ErrNo::ChangedElsewhere) {
                // The buffer stays open with what was typed; the row as it
                // is stored now becomes the one a second Update replaces.
                d->curValid = false;
                try {
                    for (size_t c = 0; c < d->cols.size(); ++c)
                        d->asShown[c] = d->valueAt(int(c));
                } catch (const Error&) {
                }
            }
            throw;
        }
        if (d->partial) // its place in the order may have moved into what is not yet read
            d->movedHere.insert(d->keyAt(d->pos));
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
    d->backend->beforeWrite();
    d->edit = Impl::EditMode::None;
    d->backend->deleteRow(*d->table, d->keyAt(d->pos));
    d->eraseCurrentKey();
    d->deleted = true;
    d->curValid = false;
}

bool Recordset::Editing() const { return d->edit != Impl::EditMode::None; }

void Recordset::Requery()
{
    d->checkOpen();
    d->edit = Impl::EditMode::None;
    const bool had = d->hasCurrent();
    const qint64 oldPos = d->pos;
    const engine::RowKey oldKey = d->keyset && had ? d->keyAt(oldPos) : 0;
    d->bof = d->eof = true;
    d->deleted = false;
    d->curValid = false;
    d->pos = -1;
    if (d->keyset) {
        d->readKeys();
    } else {
        d->stream.reset();
        d->openStream();
    }
    qint64 target = 0;
    if (d->count() == 0 && !d->exists(target))
        return;
    if (had) {
        target = oldPos;
        if (d->keyset) {
            // The same record, or the one at its place when it is gone.
            if (const auto at = d->locate(oldKey)) {
                target = *at;
            } else {
                target = d->joined(oldPos);
                if (!d->exists(target)) {
                    target = d->endPosition() - 1;
                    d->exists(target);
                }
            }
        } else if (!d->exists(target)) {
            d->fetchAll();
            target = d->count() - 1;
        }
    }
    if (d->exists(target))
        d->moveTo(target);
}

void Recordset::Close()
{
    d->stream.reset();
    d->rowReader.reset();
    d->rows.clear();
    d->rows.shrink_to_fit();
    d->keys.clear();
    d->keys.shrink_to_fit();
    d->tail.clear();
    d->added.clear();
    d->partial = false;
    d->closed = true;
    d->bof = d->eof = true;
}

} // namespace cvd
