// The database: a file or a server behind one interface (backend.h).  The
// record sets are in recordset.cpp.
#include "db/database.h"

#include "db/backend.h"
#include "db/recordsetimpl.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace cvd {

struct Database::Impl {
    std::shared_ptr<engine::Backend> backend;
    bool loading = false; // rows loaded since the last finishLoading()
};

namespace engine {

std::vector<BackendLayer>& backendLayers()
{
    static std::vector<BackendLayer> layers;
    return layers;
}

void addBackendLayer(BackendLayer layer) { backendLayers().push_back(std::move(layer)); }

bool namesServer(const QString& location)
{
    const QString l = location.trimmed();
    if (l.startsWith(QLatin1String("postgresql://")) || l.startsWith(QLatin1String("postgres://")))
        return true;
    if (l.endsWith(QLatin1String(".conn")))
        return true;
    // key=value pairs ("host=dbhost dbname=calvedon"), never a path.
    static const QRegularExpression pairs(QStringLiteral("^[A-Za-z_]+\\s*="));
    return pairs.match(l).hasMatch() && !QFileInfo::exists(l);
}

// The connection string a server location gives: the first line of a
// cvd.conn file that is neither blank nor a comment, or the text itself.
QString connectionString(const QString& location)
{
    if (!location.trimmed().endsWith(QLatin1String(".conn")))
        return location.trimmed();
    QFile f(location);
    if (!f.exists())
        raise(ErrNo::FileNotFound, QStringLiteral("Couldn't find file '%1'.").arg(location));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        raise(ErrNo::ServerUnreachable, QStringLiteral("Couldn't read '%1': %2").arg(location, f.errorString()));
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (!line.isEmpty() && !line.startsWith(u'#'))
            return line;
    }
    raise(ErrNo::ServerUnreachable, QStringLiteral("'%1' names no database server: it should hold one line, a "
                                                   "connection string such as postgresql://user@host/dbname.")
                                        .arg(location));
}

} // namespace engine

Database::Database(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
Database::~Database() = default;

std::shared_ptr<Database> Database::Open(const QString& location, OpenMode mode)
{
    auto impl = std::make_unique<Impl>();
    if (!engine::namesServer(location))
        impl->backend = engine::openFile(location, mode);
    else
        impl->backend = engine::openServer(engine::connectionString(location),
                                           location.trimmed().endsWith(QLatin1String(".conn")) ? location : QString(), mode);
    std::shared_ptr<Database> db(new Database(std::move(impl)));
    for (const engine::BackendLayer& layer : engine::backendLayers())
        db->d->backend = layer(db->d->backend, *db);
    return db;
}

std::unique_ptr<Recordset> Database::OpenRecordset(const QString& source, RecordsetType type)
{
    return std::unique_ptr<Recordset>(new Recordset(Recordset::Impl::open(d->backend, source, type)));
}

void Database::Execute(const QString& sqlText)
{
    d->backend->beforeWrite();
    d->backend->execute(d->backend->translate(sqlText));
}

void Database::Idle() { d->backend->idle(); }

void Database::whenChecked(std::function<void(const QStringList& damage)> done) { d->backend->whenChecked(std::move(done)); }

QStringList Database::waitForCheck() { return d->backend->waitForCheck(); }

QString Database::path() const { return d->backend->where(); }
bool Database::isServer() const { return d->backend->isServer(); }
sqlite3* Database::handle() const { return d->backend->handle(); }

qint64 Database::tableVersion(const QString& table) { return d->backend->tableVersion(table); }

bool Database::canWrite(const QString& table) const { return d->backend->canWrite(table); }
QStringList Database::missingRights() const { return d->backend->missingRights(); }

std::unique_ptr<Database::BulkLoader> Database::loader(const QString& table, const QStringList& columns)
{
    auto l = d->backend->loader(table, columns);
    d->loading = true;
    return l;
}

QList<BrokenReferences> Database::finishLoading()
{
    if (!d->loading)
        return {};
    d->loading = false;
    d->backend->resyncKeys();
    QList<BrokenReferences> broken;
    for (const Reference& r : references()) {
        auto count = OpenRecordset(r.countBrokenSql(), RecordsetType::ForwardOnly);
        if (const qint64 n = qint64(count->Field(0).toDouble()))
            broken << BrokenReferences{r, n};
    }
    d->backend->enforceReferences(broken);
    return broken;
}

} // namespace cvd
