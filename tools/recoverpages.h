#pragma once
// Which leaf pages of a damaged file hold each table's records: those the
// table's own tree still reaches, and those no tree reaches any more (the
// pages above them lost), each given to the one damaged table whose
// columns its records fit.
#include "tools/leafpages.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <map>
#include <set>

namespace cvd::tools {

// A table of the file: its columns as the file has them, its root page.
struct FileTable {
    QString name; // the program's spelling for the program's tables
    QStringList columns;
    quint32 root = 0;
};

// The records of one of the program's tables found on leaf pages.
struct TableLeaves {
    std::map<qint64, quint32> pageOf; // each record's key, and its leaf
    std::set<quint32> outside;        // leaves outside the table's tree
    bool treeDamaged = false;         // a page of its tree cannot be read
    QStringList sameShape;            // other tables whose records fit those leaves too
    int undecided = 0;                // leaves not saved: they fit this and another damaged table
};

// `tables`: every table of the file, SQLite's own too (their pages are
// theirs); the leaves of those the program has are found, by name.
QHash<QString, TableLeaves> findLeaves(PageFile& file, const QList<FileTable>& tables);

} // namespace cvd::tools
