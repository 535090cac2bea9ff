#pragma once

#include "db/Errors.h"

#include <QByteArray>
#include <QMap>
#include <QString>

#include <functional>

namespace db::snapshot {

// What a table held: its row count and a SHA-256 over its rows in locator order, each value
// with its type, so that a changed, lost or added row or value changes the sum.
struct TableSum {
    qint64 rows = 0;
    QByteArray sha256; // hex
    bool operator==(const TableSum&) const = default;
};
using TableSums = QMap<QString, TableSum>;
using Progress = std::function<void(qint64 done, qint64 total)>;

// The target of a copy could not be written: full, read-only or gone. The message says which.
class TargetError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

// The engine-specific part of a backup. Copies the embedded database file `source` to `target`
// as one consistent snapshot while other workstations go on writing, and returns the row count
// of every table in that same snapshot. A server database gets its own function beside this one.
QMap<QString, qint64> copySqliteFile(
    const QString& source, const QString& target, const Progress& progress = {});

// The engine's own integrity check of a database file, in its words; empty when it is sound.
// DamagedDatabase when the file cannot be opened as a database at all.
QString sqliteIntegrityProblem(const QString& file);

// Counts and sums every table of a database file (read only).
TableSums sumSqliteTables(const QString& file);

} // namespace db::snapshot
