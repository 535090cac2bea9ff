#pragma once

#include "data/Backup.h"

namespace data {

// Backups of a practice kept on a database server (a postgresql:// data location): the
// server's own dump in its custom format, database.dump, beside the manifest of Backup.h with
// "engine": "postgresql" and each table's row count and sum as the server computes them.
struct ServerBackup {
    static constexpr const char* kEngine = "postgresql";
    static constexpr const char* kDumpFile = "database.dump";
};

// Whether the backup folder holds a server practice (its manifest says so); false for anything
// else, sound or not.
bool isServerBackup(const QString& backup);

// Dumps the practice at `location` into the new folder `out` while other workstations go on
// working, with the image folder of this workstation (none when empty). The row counts and sums
// are taken in the transaction whose snapshot the dump reads, and the dump is read back whole and
// its rows counted against them before the folder appears.
BackupSummary makeServerBackup(const QString& location, const QString& imagesFolder, const QString& out,
    const BackupProgress& progress = {});

// Checks a server backup's signature and its files against their sums, touching nothing; returns
// the manifest. BackupError with the reason when the backup is not sound (or, without `force`, when
// its signature cannot be checked on this workstation).
QJsonObject verifyServerBackupFiles(const QString& backup, bool force = false);

// Restores a server backup into the database of `location` and its images into `imagesFolder`
// (left alone when empty): refuses an unsound backup before anything is touched, and a database
// that holds any table or an image folder that holds anything unless `force`; restores into a new
// database beside it, checks every table's rows and sum against the manifest and only then swaps
// the two by renaming them in one transaction, the images just after under a journal. A practice
// it replaced is kept under a dated name (the notes say which); an empty database goes.
BackupSummary restoreServerBackup(const QString& backup, const QString& location, const QString& imagesFolder,
    bool force, const BackupProgress& progress = {});

// The program of the PostgreSQL client tools (pg_dump, pg_restore): on PATH, else the newest
// under /usr/lib/postgresql/*/bin; empty when there is none.
QString serverTool(const QString& name);

} // namespace data
