// A power cut at every point where the program asks the disk to make its
// writes durable: a layer under SQLite keeps, for each file, what was on
// the disk at its last sync, and at the chosen point (or after the last
// write) throws away every write made since (and the deletion of a file
// whose folder was not synced), as a machine that loses its power does.  The program's own
// writes (a changed request, a new one, a deletion, the defaults) run one
// after the other; after each cut the file must pass its check, hold every
// write the program had reported done, and hold the one under way whole
// or not at all.
#include "db/database.h"
#include "db/pagechecksums.h"
#include "db/badfiles.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QDir>
#include <QTest>
#include <sqlite3.h>

#include <limits>
#include <map>
#include <string>
#include <vector>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

namespace {

// ---- the disk that loses its power ----------------------------------------

struct Undo { sqlite3_int64 offset; std::string before; }; // the bytes a write replaced

// What was durable of a file: the writes since its last sync, to undo.
struct FileHistory {
    sqlite3_int64 sizeAtSync = -1; // -1: the file did not exist then
    std::vector<Undo> undo;
    bool deletedPending = false;
    std::string contentBeforeDelete;
};

struct Disk {
    std::map<std::string, FileHistory> files;
    int syncPoints = 0, cutAt = -1; // the sync point at which the power goes
    bool dead = false, tear = false; // tear: the first half of the unsynced writes reach the disk
} disk;

sqlite3_vfs* below = nullptr;
sqlite3_vfs cutVfs;

struct CutFile {
    sqlite3_file base;
    sqlite3_file* real;
    std::string* name;
};

CutFile* cut(sqlite3_file* f) { return reinterpret_cast<CutFile*>(f); }

// One more sync point; true when the power goes at it.
bool powerGoes() { return disk.dead = disk.dead || ++disk.syncPoints == disk.cutAt; }

// A file as the disk holds it after the cut: the writes since its last
// sync undone, all but the first `kept` of them.
std::string durable(const std::string& name, const FileHistory& h, size_t kept)
{
    std::string content = fileBytes(QString::fromStdString(name)).toStdString();
    sqlite3_int64 keptEnd = 0;
    for (size_t i = 0; i < kept; ++i)
        keptEnd = std::max<sqlite3_int64>(keptEnd, h.undo[i].offset + sqlite3_int64(h.undo[i].before.size()));
    for (auto it = h.undo.rbegin(); it != h.undo.rend() - qsizetype(kept); ++it) {
        content.resize(std::max(content.size(), size_t(it->offset) + it->before.size()));
        content.replace(size_t(it->offset), it->before.size(), it->before);
    }
    if (h.sizeAtSync >= 0)
        content.resize(size_t(std::max(h.sizeAtSync, keptEnd)));
    return content;
}

int cClose(sqlite3_file* f)
{
    const int rc = cut(f)->real->pMethods->xClose(cut(f)->real);
    delete cut(f)->name;
    return rc;
}
// Keeps what the bytes from `offset` on (`n` of them at most) held, to put
// them back at the cut.
void remember(CutFile* c, sqlite3_int64 offset, sqlite3_int64 n)
{
    sqlite3_file* r = c->real;
    FileHistory& h = disk.files[*c->name];
    sqlite3_int64 size = 0;
    r->pMethods->xFileSize(r, &size);
    if (h.sizeAtSync < 0 && h.undo.empty())
        h.sizeAtSync = size;
    std::string before(size_t(std::max<sqlite3_int64>(0, std::min(n, size - offset))), '\0');
    if (!before.empty())
        r->pMethods->xRead(r, before.data(), int(before.size()), offset);
    h.undo.push_back({offset, before});
}

int cWrite(sqlite3_file* f, const void* b, int n, sqlite3_int64 o)
{
    if (disk.dead)
        return SQLITE_IOERR_WRITE;
    remember(cut(f), o, n);
    return cut(f)->real->pMethods->xWrite(cut(f)->real, b, n, o);
}
int cTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    if (disk.dead)
        return SQLITE_IOERR_TRUNCATE;
    remember(cut(f), size, std::numeric_limits<sqlite3_int64>::max());
    return cut(f)->real->pMethods->xTruncate(cut(f)->real, size);
}
int cSync(sqlite3_file* f, int flags)
{
    if (powerGoes())
        return SQLITE_IOERR_FSYNC;
    FileHistory& h = disk.files[*cut(f)->name];
    h.undo.clear();
    h.sizeAtSync = -1;
    // A sync also makes the folder's earlier deletions durable.
    for (auto& [name, other] : disk.files)
        other.deletedPending = false;
    return cut(f)->real->pMethods->xSync(cut(f)->real, flags);
}
// The calls this layer passes on unchanged.
#define PASS(m) [](sqlite3_file* f, auto... a) { return cut(f)->real->pMethods->m(cut(f)->real, a...); }
#define DOWN(m) [](sqlite3_vfs*, auto... a) { return below->m(below, a...); }

const sqlite3_io_methods cutMethods = {1, cClose, PASS(xRead), cWrite, cTruncate, cSync, PASS(xFileSize), PASS(xLock),
                                       PASS(xUnlock), PASS(xCheckReservedLock), PASS(xFileControl), PASS(xSectorSize),
                                       PASS(xDeviceCharacteristics), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

int cOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* out)
{
    CutFile* c = cut(f);
    c->base.pMethods = nullptr;
    c->real = reinterpret_cast<sqlite3_file*>(c + 1);
    const int rc = below->xOpen(below, name, c->real, flags, out);
    if (rc != SQLITE_OK)
        return rc;
    c->name = new std::string(name ? name : "");
    c->base.pMethods = &cutMethods;
    return SQLITE_OK;
}
int cDelete(sqlite3_vfs*, const char* name, int syncDir)
{
    if (disk.dead)
        return SQLITE_IOERR_DELETE;
    FileHistory& h = disk.files[name];
    if (syncDir) {
        if (powerGoes())
            return SQLITE_IOERR_DELETE;
    } else {
        // The deletion is not durable yet: the file comes back as it was
        // at its last sync.
        h.deletedPending = true;
        h.contentBeforeDelete = durable(name, h, 0);
    }
    h.undo.clear();
    h.sizeAtSync = -1;
    return below->xDelete(below, name, syncDir);
}
void installCutVfs()
{
    usePageChecksums(); // the program's own layer stays below this one
    below = sqlite3_vfs_find(nullptr);
    cutVfs = sqlite3_vfs{1, int(sizeof(CutFile)) + below->szOsFile, below->mxPathname, nullptr, "cvd-powercut", nullptr,
                         cOpen, cDelete, DOWN(xAccess), DOWN(xFullPathname), nullptr, nullptr, nullptr, nullptr,
                         DOWN(xRandomness), DOWN(xSleep), DOWN(xCurrentTime), DOWN(xGetLastError), nullptr, nullptr,
                         nullptr, nullptr};
    sqlite3_vfs_register(&cutVfs, 1);
}

// The disk after the cut: every file as it was at its last sync (or torn).
void restoreDurable()
{
    for (auto& [name, h] : disk.files) {
        if (!h.deletedPending && h.undo.empty() && h.sizeAtSync < 0)
            continue;
        writeFile(QString::fromStdString(name), QByteArray::fromStdString(h.deletedPending ? h.contentBeforeDelete
                                                                          : durable(name, h, disk.tear ? h.undo.size() / 2 : 0)));
    }
}

// ---- the program's writes --------------------------------------------------

// The writes, each through a record set of `source`: a change, a new record
// (`add`), or the deletion (no fields); a query whose one value says whether
// the write is there, and that value with the write done.
struct Step {
    const char* what;
    QString source;
    bool add;
    QList<std::pair<QString, Value>> fields;
    QString check, whenDone;
    void run(Database& db) const
    {
        auto rs = db.OpenRecordset(source, source.contains(u' ') ? RecordsetType::Dynaset : RecordsetType::Table);
        if (fields.isEmpty())
            return rs->Delete();
        add ? rs->AddNew() : rs->Edit();
        for (const auto& [name, v] : fields)
            rs->SetField(name, v);
        rs->Update();
    }
};

const std::vector<Step>& steps()
{
    static const std::vector<Step> all{
        {"a changed request", u"Select * from Req where ReqID = 10"_s, false,
         {{u"ShortDesc"_s, u"changed before the cut"_s}, {u"Resp"_s, u"and its response"_s}},
         u"select ShortDesc || '/' || Resp from Req where ReqID = 10"_s, u"changed before the cut/and its response"_s},
        {"a new request", u"Select * from Req order by ReqDate desc"_s, true,
         {{u"ShortDesc"_s, u"added before the cut"_s}, {u"ReqDate"_s, QDate(2026, 12, 7)}, {u"Misc1"_s, u"whole"_s}},
         u"select count(*) || '/' || coalesce(max(Misc1), '') from Req where ShortDesc = 'added before the cut'"_s, u"1/whole"_s},
        {"a deleted request", u"Select * from Req where ReqID = 20"_s, false, {}, u"select count(*) from Req where ReqID = 20"_s, u"0"_s},
        {"the defaults", u"Settings"_s, false, {{u"DefHourlyRate"_s, Currency::fromWhole(55)}, {u"DefMinCharge"_s, Currency::fromWhole(30)}},
         u"select DefHourlyRate || '/' || DefMinCharge from Settings"_s, u"550000/300000"_s},
    };
    return all;
}

} // namespace

class TstPowerCut : public QObject {
    Q_OBJECT
    Folders m_folders;

private slots:
    void initTestCase() { installCutVfs(); }

    // The unsynced writes lost, or torn (the first half of them written).
    void everySyncPoint_data()
    {
        QTest::addColumn<bool>("tear");
        QTest::newRow("unsynced writes lost") << false;
        QTest::newRow("unsynced writes torn") << true;
    }
    void everySyncPoint()
    {
        QFETCH(bool, tear);
        const QString original = demoFile(m_folders.next(), 300);
        QVERIFY(!original.isEmpty());
        const QByteArray originalBytes = fileBytes(original);
        // First the power goes after the last write was reported done (and
        // the sync points are counted), then at each sync point.
        int points = 0;
        for (int at = 0; at <= points; ++at) {
            const QString path = QDir(m_folders.next()).filePath(u"cvd.mdb"_s);
            QVERIFY(writeFile(path, originalBytes));
            disk = Disk{};
            disk.cutAt = at == 0 ? -1 : at;
            disk.tear = tear;
            int done = 0; // the steps the program reported done
            {
                auto db = Database::Open(path);
                db->waitForCheck();
                for (const Step& s : steps()) {
                    if (errorOf([&] { s.run(*db); }) != 0)
                        break;
                    ++done;
                }
                disk.dead = true; // the power is gone before the program closes the file
            }
            if (at == 0) {
                points = disk.syncPoints;
                QVERIFY(points >= 4 && done == int(steps().size()));
            }
            restoreDurable();
            disk = Disk{};
            const QString where = at == 0 ? u"cut after the last write"_s : u"cut at sync point %1 of %2"_s.arg(at).arg(points);
            QCOMPARE(sqlValue(path, u"PRAGMA integrity_check"_s) + u" "_s + where, u"ok "_s + where);
            for (int i = 0; i < int(steps().size()); ++i) { // those done there, the one under way whole or not at all
                const Step& s = steps()[size_t(i)];
                const QString got = sqlValue(path, s.check), before = sqlValue(original, s.check);
                QVERIFY2(i < done ? got == s.whenDone : i > done ? got == before : got == s.whenDone || got == before,
                         qPrintable(u"%1, %2 steps done: %3 is %4"_s.arg(where).arg(done).arg(QLatin1String(s.what), got)));
            }
        }
        qInfo("power cut at each of %d points: the file sound, every reported write there", points + 1);
    }
};

CVD_TEST_GUILESS_MAIN(TstPowerCut)
#include "tst_powercut.moc"
