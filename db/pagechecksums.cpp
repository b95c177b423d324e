// The checksumming layer: a VFS over the system's own that verifies and
// writes the last eight bytes of each page of a main database file whose
// header says it keeps eight reserved bytes.  Journals and other files pass
// through untouched; the pages a rollback puts back are checksummed again
// as they are written.
#include "db/pagechecksums.h"

#include <sqlite3.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace cvd {

namespace {

constexpr int ReservedBytes = PageChecksumBytes;
std::atomic<unsigned long long> writes{0};

struct CheckedFile {
    sqlite3_file base;
    sqlite3_file* real;
    bool mainDb;
    bool verify;
    bool damaged;
    int pageSize;
    std::vector<unsigned char> page; // a page as it is written
};

CheckedFile* checked(sqlite3_file* f) { return reinterpret_cast<CheckedFile*>(f); }

// Two running sums over the page's 32-bit words, each word weighing into
// both: any change of a word, and any two words swapped, change the sum.
void checksum(const unsigned char* p, int n, unsigned char out[8])
{
    std::uint32_t s1 = 0x9e3779b9u, s2 = 0;
    for (int i = 0; i + 8 <= n; i += 8) {
        std::uint32_t a, b;
        std::memcpy(&a, p + i, 4);
        std::memcpy(&b, p + i + 4, 4);
        s1 += a + s2;
        s2 += b + s1;
    }
    for (int k = 0; k < 4; ++k) {
        out[k] = static_cast<unsigned char>(s1 >> (24 - 8 * k));
        out[4 + k] = static_cast<unsigned char>(s2 >> (24 - 8 * k));
    }
}

// What a file's header (its first 100 bytes or more) says of its pages.
void readHeader(CheckedFile* f, const unsigned char* h)
{
    const int size = headerPageSize(h);
    if (size == 0)
        return;
    f->pageSize = size;
    f->verify = h[20] == ReservedBytes;
}

bool wholePage(const CheckedFile* f, int amount, sqlite3_int64 offset)
{
    return f->verify && amount == f->pageSize && offset % f->pageSize == 0;
}

int xClose(sqlite3_file* file)
{
    CheckedFile* f = checked(file);
    const int rc = f->real->pMethods ? f->real->pMethods->xClose(f->real) : SQLITE_OK;
    f->page.~vector();
    return rc;
}

int xRead(sqlite3_file* file, void* buf, int amount, sqlite3_int64 offset)
{
    CheckedFile* f = checked(file);
    const int rc = f->real->pMethods->xRead(f->real, buf, amount, offset);
    // A page cut short by the file's end is damage, not a page of zeros.
    if ((rc == SQLITE_OK || rc == SQLITE_IOERR_SHORT_READ) && wholePage(f, amount, offset)
        && !pageChecksumHolds(static_cast<unsigned char*>(buf), amount)) {
        f->damaged = true;
        return SQLITE_IOERR_DATA;
    }
    return rc;
}

int xWrite(sqlite3_file* file, const void* buf, int amount, sqlite3_int64 offset)
{
    CheckedFile* f = checked(file);
    if (f->mainDb)
        ++writes;
    if (f->mainDb && offset == 0 && amount >= 100) // a new file's header, or one changed
        readHeader(f, static_cast<const unsigned char*>(buf));
    if (!wholePage(f, amount, offset))
        return f->real->pMethods->xWrite(f->real, buf, amount, offset);
    f->page.assign(static_cast<const unsigned char*>(buf), static_cast<const unsigned char*>(buf) + amount);
    checksum(f->page.data(), amount - ReservedBytes, f->page.data() + amount - ReservedBytes);
    return f->real->pMethods->xWrite(f->real, f->page.data(), amount, offset);
}

int xTruncate(sqlite3_file* f, sqlite3_int64 size) { return checked(f)->real->pMethods->xTruncate(checked(f)->real, size); }
int xSync(sqlite3_file* f, int flags) { return checked(f)->real->pMethods->xSync(checked(f)->real, flags); }
int xFileSize(sqlite3_file* f, sqlite3_int64* size) { return checked(f)->real->pMethods->xFileSize(checked(f)->real, size); }
int xLock(sqlite3_file* f, int level) { return checked(f)->real->pMethods->xLock(checked(f)->real, level); }
int xUnlock(sqlite3_file* f, int level) { return checked(f)->real->pMethods->xUnlock(checked(f)->real, level); }
int xCheckReservedLock(sqlite3_file* f, int* out)
{
    return checked(f)->real->pMethods->xCheckReservedLock(checked(f)->real, out);
}
int xFileControl(sqlite3_file* f, int op, void* arg)
{
    return checked(f)->real->pMethods->xFileControl(checked(f)->real, op, arg);
}
int xSectorSize(sqlite3_file* f) { return checked(f)->real->pMethods->xSectorSize(checked(f)->real); }
int xDeviceCharacteristics(sqlite3_file* f)
{
    return checked(f)->real->pMethods->xDeviceCharacteristics(checked(f)->real);
}
int xShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out)
{
    return checked(f)->real->pMethods->xShmMap(checked(f)->real, page, size, extend, out);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags)
{
    return checked(f)->real->pMethods->xShmLock(checked(f)->real, offset, n, flags);
}
void xShmBarrier(sqlite3_file* f) { checked(f)->real->pMethods->xShmBarrier(checked(f)->real); }
int xShmUnmap(sqlite3_file* f, int deleteFlag) { return checked(f)->real->pMethods->xShmUnmap(checked(f)->real, deleteFlag); }
// Pages mapped into memory would be read past the checksum: none are.
int xFetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out)
{
    if (checked(f)->verify) {
        *out = nullptr;
        return SQLITE_OK;
    }
    return checked(f)->real->pMethods->xFetch(checked(f)->real, offset, amount, out);
}
int xUnfetch(sqlite3_file* f, sqlite3_int64 offset, void* p)
{
    if (checked(f)->verify && p == nullptr)
        return SQLITE_OK;
    return checked(f)->real->pMethods->xUnfetch(checked(f)->real, offset, p);
}

const sqlite3_io_methods checkedMethods = {3,       xClose,      xRead,      xWrite,     xTruncate,
                                           xSync,   xFileSize,   xLock,      xUnlock,    xCheckReservedLock,
                                           xFileControl, xSectorSize, xDeviceCharacteristics, xShmMap, xShmLock,
                                           xShmBarrier,  xShmUnmap,   xFetch,    xUnfetch};

sqlite3_vfs* systemVfs = nullptr;
sqlite3_vfs checkedVfs;

int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags)
{
    CheckedFile* f = checked(file);
    f->base.pMethods = nullptr;
    f->real = reinterpret_cast<sqlite3_file*>(f + 1);
    f->real->pMethods = nullptr;
    const int rc = systemVfs->xOpen(systemVfs, name, f->real, flags, outFlags);
    if (rc != SQLITE_OK)
        return rc;
    new (&f->page) std::vector<unsigned char>();
    f->mainDb = (flags & SQLITE_OPEN_MAIN_DB) != 0;
    f->verify = false;
    f->damaged = false;
    f->pageSize = 0;
    if (f->mainDb) {
        unsigned char header[100];
        if (f->real->pMethods->xRead(f->real, header, 100, 0) == SQLITE_OK)
            readHeader(f, header);
    }
    f->base.pMethods = &checkedMethods;
    return SQLITE_OK;
}

CheckedFile* checkedMain(sqlite3* db)
{
    sqlite3_file* f = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &f) != SQLITE_OK || !f || f->pMethods != &checkedMethods)
        return nullptr;
    return checked(f);
}

// The rest is the system's own.
int xDelete(sqlite3_vfs*, const char* name, int syncDir) { return systemVfs->xDelete(systemVfs, name, syncDir); }
int xAccess(sqlite3_vfs*, const char* name, int flags, int* out) { return systemVfs->xAccess(systemVfs, name, flags, out); }
int xFullPathname(sqlite3_vfs*, const char* name, int n, char* out) { return systemVfs->xFullPathname(systemVfs, name, n, out); }
void* xDlOpen(sqlite3_vfs*, const char* name) { return systemVfs->xDlOpen(systemVfs, name); }
void xDlError(sqlite3_vfs*, int n, char* out) { systemVfs->xDlError(systemVfs, n, out); }
void (*xDlSym(sqlite3_vfs*, void* h, const char* sym))(void) { return systemVfs->xDlSym(systemVfs, h, sym); }
void xDlClose(sqlite3_vfs*, void* h) { systemVfs->xDlClose(systemVfs, h); }
int xRandomness(sqlite3_vfs*, int n, char* out) { return systemVfs->xRandomness(systemVfs, n, out); }
int xSleep(sqlite3_vfs*, int us) { return systemVfs->xSleep(systemVfs, us); }
int xCurrentTime(sqlite3_vfs*, double* out) { return systemVfs->xCurrentTime(systemVfs, out); }
int xGetLastError(sqlite3_vfs*, int n, char* out) { return systemVfs->xGetLastError(systemVfs, n, out); }
int xCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* out) { return systemVfs->xCurrentTimeInt64(systemVfs, out); }

} // namespace

void usePageChecksums()
{
    static std::once_flag once;
    std::call_once(once, [] {
        systemVfs = sqlite3_vfs_find(nullptr);
        checkedVfs = sqlite3_vfs{2,       int(sizeof(CheckedFile)) + systemVfs->szOsFile,
                                 systemVfs->mxPathname, nullptr, "cvd-checked", nullptr,
                                 xOpen,   xDelete, xAccess, xFullPathname, xDlOpen, xDlError, xDlSym, xDlClose,
                                 xRandomness, xSleep, xCurrentTime, xGetLastError, xCurrentTimeInt64,
                                 nullptr, nullptr, nullptr};
        sqlite3_vfs_register(&checkedVfs, 1);
    });
}

void addPageChecksums(sqlite3* db)
{
    int reserve = ReservedBytes;
    sqlite3_file_control(db, "main", SQLITE_FCNTL_RESERVE_BYTES, &reserve);
}

bool hasPageChecksums(sqlite3* db)
{
    const CheckedFile* f = checkedMain(db);
    return f && f->verify;
}

void notePageDamage(sqlite3* db)
{
    if (CheckedFile* f = checkedMain(db))
        f->damaged = true;
}

bool pageChecksumHolds(const unsigned char* p, int n)
{
    unsigned char sum[ReservedBytes];
    checksum(p, n - ReservedBytes, sum);
    return std::memcmp(sum, p + n - ReservedBytes, ReservedBytes) == 0;
}

int headerPageSize(const unsigned char* header)
{
    if (std::memcmp(header, "SQLite format 3", 16) != 0)
        return 0;
    const int size = header[16] == 0 && header[17] == 1 ? 65536 : (header[16] << 8) | header[17];
    return size >= 512 && (size & (size - 1)) == 0 ? size : 0;
}

unsigned long long databaseWrites() { return writes.load(); }

bool pageDamageSeen(sqlite3* db)
{
    const CheckedFile* f = checkedMain(db);
    return f && f->damaged;
}

} // namespace cvd
