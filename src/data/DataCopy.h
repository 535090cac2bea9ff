#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace data {

struct TableCopy {
    QString table;
    qint64 rows = 0;
    QByteArray checksum; // of the rows as read back from the target
};

// Copies a whole practice from one data location to another (a directory or a server address,
// see DataDirectory): the target must hold no practice yet. Every row goes in one transaction
// on the target, identifiers as they are, the generators at the same numbers. Each table is
// verified afterwards by its row count and a checksum of its rows on both sides; a difference
// throws db::DatabaseError. `progress` is told the rows copied so far of the total.
QList<TableCopy> copyPractice(const QString& from, const QString& to, const std::function<void(qint64, qint64)>& progress = {});

// A checksum of a table's rows that does not depend on the engine nor the order of the rows.
QByteArray tableChecksum(const class DataDirectory& directory, const QString& table);

} // namespace data
