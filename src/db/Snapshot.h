#pragma once

#include "db/Errors.h"

#include <QByteArray>
#include <QList>
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

// What a table held in one file: its row count and a 64-bit sum over the pages of its b-tree and
// its indexes' b-trees as they lie in the file, each page with its number. A byte changed in any of
// them, or a page moved, changes the sum; reading the pages costs a fraction of decoding the rows.
struct TablePages {
    qint64 rows = 0;
    QByteArray sum; // 16 hex digits
    bool operator==(const TablePages&) const = default;
};

// A database file read once: each table's pages and rows, and the whole file's sum and size.
struct FileSums {
    QMap<QString, TablePages> tables;
    QByteArray sum; // as fileSum gives it
    qint64 size = 0;
};

// A 64-bit sum of a file's bytes (16 hex digits) and its size; false when it cannot be read. Made
// to tell a damaged or altered file from a sound one at the speed of reading it, not to withstand
// someone forging a file.
bool fileSum(const QString& path, QByteArray& sum, qint64& size);

using Progress = std::function<void(qint64 done, qint64 total)>;

// The target of a copy could not be written: full, read-only or gone. The message says which.
class TargetError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

// A copy as it was made and checked: the row count of every table in the snapshot copied, the
// engine's check of a copy made straight to the file (empty when sound) and the sums of the file
// written.
struct CheckedCopy {
    QMap<QString, qint64> counts;
    QString problem;
    FileSums sums;
};

// The engine-specific part of a backup. Copies the embedded database file `source` to `target`
// as one consistent snapshot while other workstations go on writing. The new file's blocks are
// reserved first (a full disk is told before anything is written) and the engine copies the
// snapshot's pages straight into a mapping of it; then the file's pages are checked where they lie
// as the engine's quick check checks a file (see checkedTables), its rows counted against the
// snapshot's and its pages summed while the disk takes them, and the file is opened once on the
// disk. A server database gets its own function beside this one. A snapshot larger than
// `memoryLimit` bytes (by default a quarter of the machine's memory) is copied through the
// engine's own file and checked by the engine instead, taking longer.
CheckedCopy copySqliteFile(
    const QString& source, const QString& target, const Progress& progress = {}, qint64 memoryLimit = -1);

// The engine's own integrity check of a database file, in its words; empty when it is sound.
// DamagedDatabase when the file cannot be opened as a database at all.
QString sqliteIntegrityProblem(const QString& file);

// Counts and sums every table of a database file by its rows (read only).
TableSums sumSqliteTables(const QString& file);

// The pages of each table (with its indexes) of a database file, in the order the sums take them.
// DamagedDatabase when the file's b-trees cannot be walked.
QMap<QString, QList<quint32>> sqliteTablePages(const QString& file);

// Counts every table of a database file and sums its pages and the whole file (read only).
// DamagedDatabase when the file cannot be walked as a database.
FileSums sumSqliteFile(const QString& file);

} // namespace db::snapshot
