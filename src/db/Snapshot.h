#pragma once

#include "db/Errors.h"

#include <QByteArray>
#include <QMap>
#include <QString>

#include <functional>

namespace db::snapshot {

// What a table held by content: its row count and a SHA-256 over its rows in locator order, each
// value with its type, so that a changed, lost or added row or value changes the sum. Compares two
// databases whose files differ (a live practice and its restored copy).
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

// The engine's word on a database file, opened read-only: its quick check (empty when sound) and
// each table's rows.
struct EngineCheck {
    QString problem;
    QMap<QString, qint64> rows;
};

// A copy as it was made: each table's rows in the snapshot copied, the engine's check of the copy,
// and the copy's SHA-256 (hex) and size.
struct CheckedCopy {
    QMap<QString, qint64> counts;
    EngineCheck copy;
    QByteArray sha256;
    qint64 size = 0;
};

// The engine-specific part of a backup. Copies the embedded database file `source` to `target`
// as one consistent snapshot while other workstations go on writing. The new file's blocks are
// reserved first (a full disk is told before anything is written) and the engine copies the
// snapshot's pages straight into a mapping of it; while the disk takes it, the engine checks the
// copy and the snapshot's rows are counted. A server database gets its own function beside this one.
CheckedCopy copySqliteFile(const QString& source, const QString& target, const Progress& progress = {});

// The engine's quick check of a database file and its tables' rows. DamagedDatabase when the file
// cannot be read as a database at all.
EngineCheck checkSqliteFile(const QString& file);

// Counts and sums every table of a database file by its rows (read only).
TableSums sumSqliteTables(const QString& file);

} // namespace db::snapshot
