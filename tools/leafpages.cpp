// Reading a data file's pages by SQLite's file format: the header (page
// size at byte 16, reserved bytes at 20, the free list at 32, the text
// encoding at 56); b-tree pages of type 5 (a table's inner page: child
// page numbers and keys) and 13 (a table's leaf: records with their keys);
// a record's header of serial types and its fields; the overflow chain of
// a record too long for its page.  Every length and place read is checked
// against the page before it is used.
#include "tools/leafpages.h"

#include "db/pagechecksums.h"

#include <QStringDecoder>
#include <cstring>

namespace cvd::tools {

namespace {

constexpr unsigned char TableInner = 5, TableLeaf = 13;

quint32 be(const unsigned char* p, int n)
{
    quint32 v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | p[i];
    return v;
}

// A varint at `at` of `p` (ending before `end`); false when it runs past.
bool varint(const unsigned char* p, qint64& at, qint64 end, qint64& value)
{
    quint64 v = 0;
    for (int i = 0; i < 9; ++i) {
        if (at >= end)
            return false;
        const unsigned char b = p[at++];
        if (i == 8) {
            value = qint64((v << 8) | b);
            return true;
        }
        v = (v << 7) | (b & 0x7f);
        if (!(b & 0x80)) {
            value = qint64(v);
            return true;
        }
    }
    return false;
}

// The bytes a field of serial type `t` takes; -1 for a type no record has.
qint64 fieldSize(qint64 t)
{
    static const int sizes[] = {0, 1, 2, 3, 4, 6, 8, 8, 0, 0};
    if (t < 0 || t == 10 || t == 11)
        return -1;
    return t < 10 ? sizes[t] : (t - 12) / 2;
}

} // namespace

PageFile::PageFile(const QString& path) : m_file(path)
{
    if (!m_file.open(QIODevice::ReadOnly))
        return;
    const QByteArray h = m_file.read(100);
    const auto* u = reinterpret_cast<const unsigned char*>(h.constData());
    if (h.size() < 100)
        return;
    const int size = headerPageSize(u);
    if (size == 0 || u[20] >= size - 480)
        return;
    m_pageSize = size;
    m_usable = size - u[20];
    m_checksums = u[20] == PageChecksumBytes;
    m_utf16le = be(u + 56, 4) == 2;
    m_utf16be = be(u + 56, 4) == 3;
    m_pageCount = quint32(qMin<qint64>(m_file.size() / size, 0xffffffffLL));
}

QByteArray PageFile::page(quint32 number)
{
    if (number < 1 || number > m_pageCount || !m_file.seek(qint64(number - 1) * m_pageSize))
        return {};
    QByteArray p = m_file.read(m_pageSize);
    if (p.size() != m_pageSize
        || (m_checksums && !pageChecksumHolds(reinterpret_cast<const unsigned char*>(p.constData()), m_pageSize)))
        return {};
    return p;
}

std::set<quint32> PageFile::treeLeaves(quint32 root, bool& damaged)
{
    std::set<quint32> leaves, seen;
    std::vector<quint32> next{root};
    while (!next.empty()) {
        const quint32 n = next.back();
        next.pop_back();
        if (!seen.insert(n).second) {
            damaged = true; // a page reached twice: a loop
            continue;
        }
        const QByteArray bytes = page(n);
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
        const int h = n == 1 ? 100 : 0;
        if (bytes.isEmpty() || (p[h] != TableLeaf && p[h] != TableInner)) {
            damaged = true;
            continue;
        }
        if (p[h] == TableLeaf) {
            leaves.insert(n);
            continue;
        }
        const int cells = int(be(p + h + 3, 2));
        if (h + 12 + 2 * cells > m_usable) {
            damaged = true;
            continue;
        }
        next.push_back(be(p + h + 8, 4));
        for (int i = 0; i < cells; ++i) {
            const int at = int(be(p + h + 12 + 2 * i, 2));
            if (at + 4 > m_usable)
                damaged = true;
            else
                next.push_back(be(p + at, 4));
        }
    }
    return leaves;
}

std::set<quint32> PageFile::freePages()
{
    std::set<quint32> free;
    const QByteArray first = page(1);
    quint32 trunk = first.isEmpty() ? 0 : be(reinterpret_cast<const unsigned char*>(first.constData()) + 32, 4);
    while (trunk != 0 && free.insert(trunk).second) {
        const QByteArray bytes = page(trunk);
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
        if (bytes.isEmpty() || be(p + 4, 4) > quint32(m_usable / 4 - 2))
            break;
        for (quint32 i = 0; i < be(p + 4, 4); ++i)
            free.insert(be(p + 8 + 4 * i, 4));
        trunk = be(p, 4);
    }
    return free;
}

bool PageFile::readLeaf(quint32 number, std::vector<LeafRecord>& records)
{
    records.clear();
    const QByteArray bytes = page(number);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const int h = number == 1 ? 100 : 0;
    if (bytes.isEmpty() || p[h] != TableLeaf)
        return false;
    const int cells = int(be(p + h + 3, 2));
    const int content = be(p + h + 5, 2) == 0 ? 65536 : int(be(p + h + 5, 2));
    if (h + 8 + 2 * cells > qMin(content, m_usable))
        return false;
    // The part of a record kept on the leaf, the rest on overflow pages.
    const qint64 most = m_usable - 35, least = (qint64(m_usable) - 12) * 32 / 255 - 23;
    for (int i = 0; i < cells; ++i) {
        qint64 at = be(p + h + 8 + 2 * i, 2), size = 0;
        LeafRecord r;
        if (at < h + 8 + 2 * cells || at < content || !varint(p, at, m_usable, size) || !varint(p, at, m_usable, r.rowid) || size < 1
            || size > (qint64(1) << 31))
            return false;
        qint64 local = size;
        if (size > most) {
            const qint64 k = least + (size - least) % (m_usable - 4);
            local = k <= most ? k : least;
        }
        if (at + local + (local < size ? 4 : 0) > m_usable)
            return false;
        QByteArray payload(bytes.constData() + at, local);
        if (local < size)
            payload += overflow(be(p + at + local, 4), size - local);
        if (!decodeRecord(payload, size, r))
            return false;
        records.push_back(std::move(r));
    }
    return true;
}

// What can be read of a record's `size` bytes, of which `payload` holds
// the first; false when its header does not describe exactly `size` bytes.
bool PageFile::decodeRecord(const QByteArray& payload, qint64 size, LeafRecord& r) const
{
    const auto* p = reinterpret_cast<const unsigned char*>(payload.constData());
    qint64 at = 0, headerSize = 0;
    if (!varint(p, at, payload.size(), headerSize) || headerSize > payload.size() || headerSize < at)
        return false;
    std::vector<qint64> types;
    qint64 total = headerSize;
    while (at < headerSize) {
        qint64 t = 0;
        if (!varint(p, at, headerSize, t) || fieldSize(t) < 0)
            return false;
        types.push_back(t);
        total += fieldSize(t);
    }
    if (total != size)
        return false;
    qint64 body = headerSize;
    for (const qint64 t : types) {
        StoredValue v;
        const qint64 n = fieldSize(t);
        if (body + n > payload.size())
            v.kind = 0; // on a lost overflow page
        else if (t == 0)
            v.kind = 5;
        else if (t <= 6 || t == 8 || t == 9) {
            v.kind = 1;
            quint64 x = 0;
            for (qint64 i = 0; i < n; ++i)
                x = (x << 8) | p[body + i];
            if (n > 0 && n < 8 && (p[body] & 0x80))
                x |= ~quint64(0) << (8 * n); // negative: the sign carried up
            v.integer = t == 8 ? 0 : t == 9 ? 1 : qint64(x);
        } else if (t == 7) {
            v.kind = 2;
            const quint64 x = (quint64(be(p + body, 4)) << 32) | be(p + body + 4, 4);
            std::memcpy(&v.real, &x, 8);
        } else {
            v.kind = t % 2 ? 3 : 4;
            v.bytes = payload.mid(body, n);
            if (v.kind == 3 && (m_utf16le || m_utf16be)) {
                QStringDecoder utf16(m_utf16le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
                const QString text = utf16.decode(v.bytes);
                v.bytes = text.toUtf8();
            }
        }
        r.readable += v.kind != 0;
        r.fields.push_back(std::move(v));
        body += n;
    }
    return true;
}

// Up to `wanted` bytes of the chain of overflow pages from `first`, as far
// as its pages are sound.
QByteArray PageFile::overflow(quint32 first, qint64 wanted)
{
    QByteArray out;
    for (quint32 n = first, hops = 0; n != 0 && out.size() < wanted && hops < m_pageCount; ++hops) {
        const QByteArray bytes = page(n);
        if (bytes.isEmpty())
            break;
        out += bytes.mid(4, qMin<qint64>(m_usable - 4, wanted - out.size()));
        n = be(reinterpret_cast<const unsigned char*>(bytes.constData()), 4);
    }
    return out;
}

} // namespace cvd::tools
