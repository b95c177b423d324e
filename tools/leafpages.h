#pragma once
// The pages of a data file read as they lie in it, without SQLite: which
// pages are sound, the leaves each table's tree still reaches, and the
// records of a table's leaf page, found whatever became of the pages above
// it.  A file keeping page checksums has each page judged by its checksum;
// one without, by its structure alone.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <set>
#include <vector>

namespace cvd::tools {

// One field as the file stores it; `kind` is SQLite's type number
// (SQLITE_INTEGER ... SQLITE_NULL).  Text is UTF-8.
struct StoredValue {
    int kind = 5;
    qint64 integer = 0;
    double real = 0;
    QByteArray bytes;
};

// A record of a leaf page: its key (the rowid), its fields in the table's
// column order, and how many of them could be read (the rest lay on pages
// of its long fields that are lost).
struct LeafRecord {
    qint64 rowid = 0;
    std::vector<StoredValue> fields;
    int readable = 0;
    bool whole() const { return readable == int(fields.size()); }
};

class PageFile {
public:
    // Opens the file for reading only; isOpen() is false when it cannot be
    // read or its header is not that of a data file.
    explicit PageFile(const QString& path);
    bool isOpen() const { return m_pageSize > 0; }
    quint32 pageCount() const { return m_pageCount; }
    bool hasChecksums() const { return m_checksums; }

    // The page's bytes when it is there and its checksum holds; else empty.
    QByteArray page(quint32 number);

    // The leaf pages the tree from `root` reaches through sound pages;
    // `damaged` is set when a page of the tree cannot be read.
    std::set<quint32> treeLeaves(quint32 root, bool& damaged);

    // The pages on the list of free pages, as far as it can be read.
    std::set<quint32> freePages();

    // The records of a table leaf page whose structure holds; false for
    // any other page.
    bool readLeaf(quint32 number, std::vector<LeafRecord>& records);

private:
    bool decodeRecord(const QByteArray& payload, qint64 available, LeafRecord& record) const;
    QByteArray overflow(quint32 first, qint64 wanted);

    QFile m_file;
    int m_pageSize = 0, m_usable = 0;
    quint32 m_pageCount = 0;
    bool m_checksums = false;
    bool m_utf16le = false, m_utf16be = false;
};

} // namespace cvd::tools
