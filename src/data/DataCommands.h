#pragma once

#include <QString>

class QTextStream;

namespace data {

enum class DataCommand { Init, Check, Repair, Demo };

// Runs one data-directory command of the command line: reports on `out`, complaints on `err`.
// Returns the process exit code: 0 when done (or, for Check, when nothing is wrong), else 1.
int runDataCommand(DataCommand command, const QString& directory, QTextStream& out, QTextStream& err);
// Copies the practice at `from` to `to` (orvane --copy-data): a progress bar on `err`, the rows of
// each table on `out`. 0 when copied and verified.
int runCopyCommand(const QString& from, const QString& to, QTextStream& out, QTextStream& err);

} // namespace data

namespace data {

// orvane --backup DATA OUT: a verified backup of the data directory and its images into OUT.
int runBackupCommand(const QString& directory, const QString& out, QTextStream& output, QTextStream& err);
// orvane --restore BACKUP DATA [--force].
int runRestoreCommand(
    const QString& backup, const QString& directory, bool force, QTextStream& output, QTextStream& err);

} // namespace data
