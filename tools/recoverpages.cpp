// Finding each table's leaf pages: its tree walked from its root, then every
// other page of the file read as a leaf and matched to a damaged table by
// the fields of its records.  Free pages, and the pages of SQLite's own
// tables, are no table's.
#include "tools/recoverpages.h"

#include "db/schema.h"

#include <algorithm>

namespace cvd::tools {

namespace {

// Whether a record has a field for each column, of the column's type: the
// key (kept as the rowid) empty, numbers in number columns, texts in text
// and date columns.  A field that cannot be read fits any column.
bool fits(const LeafRecord& r, const FileTable& t)
{
    if (r.fields.size() != size_t(t.columns.size()))
        return false;
    for (size_t i = 0; i < r.fields.size(); ++i) {
        const int kind = r.fields[i].kind;
        const QString type = schema::declaredType(t.name, t.columns[int(i)]);
        if (type == QLatin1String("INTEGER")) {
            if (kind != 5)
                return false;
        } else if (kind == 0 || kind == 5 || type.isEmpty()) {
            continue;
        } else if (type == QLatin1String("DATE") || type == QLatin1String("LONGTEXT") || type.startsWith(QLatin1String("VARCHAR"))) {
            if (kind != 3)
                return false;
        } else if (kind != 1 && kind != 2) {
            return false;
        }
    }
    return true;
}

} // namespace

QHash<QString, TableLeaves> findLeaves(PageFile& file, const QList<FileTable>& tables)
{
    QHash<QString, TableLeaves> found;
    QList<const FileTable*> ours;
    std::set<quint32> claimed = file.freePages();
    std::vector<LeafRecord> records;
    for (const FileTable& t : tables) {
        bool damaged = t.root == 0;
        const std::set<quint32> leaves = t.root == 0 ? std::set<quint32>() : file.treeLeaves(t.root, damaged);
        claimed.insert(leaves.begin(), leaves.end());
        if (!schema::tableNames().contains(t.name))
            continue;
        ours << &t;
        TableLeaves& mine = found[t.name];
        for (const quint32 n : leaves) {
            if (!file.readLeaf(n, records))
                damaged = true;
            for (const LeafRecord& r : records)
                mine.pageOf.emplace(r.rowid, n);
        }
        mine.treeDamaged = damaged;
    }
    // The leaves no tree reaches.
    for (quint32 n = 2; n <= file.pageCount(); ++n) {
        if (claimed.count(n) || !file.readLeaf(n, records) || records.empty())
            continue;
        QStringList shape, damaged;
        for (const FileTable* t : ours)
            if (std::all_of(records.begin(), records.end(), [&](const LeafRecord& r) { return fits(r, *t); })) {
                shape << t->name;
                if (found[t->name].treeDamaged)
                    damaged << t->name;
            }
        for (const QString& t : damaged) {
            TableLeaves& mine = found[t];
            for (const QString& other : shape)
                if (other != t && !mine.sameShape.contains(other))
                    mine.sameShape << other;
            if (damaged.size() > 1) {
                ++mine.undecided;
                continue;
            }
            mine.outside.insert(n);
            for (const LeafRecord& r : records)
                mine.pageOf.emplace(r.rowid, n);
        }
    }
    return found;
}

} // namespace cvd::tools
