#pragma once

#include "db/Errors.h"

#include <QList>
#include <QMap>
#include <QString>

namespace db::snapshot {

// One b-tree of a database file, as its schema names it.
struct BTreeRoot {
    QString table; // the table it belongs to: its own rows or one of its indexes
    quint32 page = 0;
    bool index = false;
    int columns = 0; // of a table: the values its rows store
    bool operator==(const BTreeRoot&) const = default;
};

// What the walk found of one table: its pages (its own b-tree, then its indexes' b-trees, in the
// schema's order, each depth first) and its rows.
struct TableWalk {
    QList<quint32> pages;
    qint64 rows = 0;
};

// The page size a database file's header gives (bytes 16 and 17); not checked.
qint64 pageSizeOf(const uchar* header);

// Checks the image of a database file page by page as its file format lays it out, and finds every
// table's pages on the way. Every b-tree page is checked the way the engine's own quick check
// checks it: the page header, each cell inside the cell area, no byte of the page used twice, the
// free blocks in order, the fragmented bytes counted as the header says, row keys in order from
// the root down, every leaf at the same depth and each overflow chain of the length its cell
// needs. Then the free list, and that every page of the file is used once. The trees are shared
// out among `threads` threads. DamagedDatabase names the first fault found. A file with pointer
// maps (auto-vacuum) is walked without the last question, since those pages are not told apart.
QMap<QString, TableWalk> checkedTables(
    const uchar* data, qint64 size, const QStringList& tables, const QList<BTreeRoot>& roots, int threads);

} // namespace db::snapshot
