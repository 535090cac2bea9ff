#pragma once

#include "db/Errors.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace data {

// A backup or restore that cannot go on; the message says why in words the user can act on.
// Whatever it was writing is removed again; the practice is untouched.
class BackupError : public db::DatabaseError {
public:
    using db::DatabaseError::DatabaseError;
};

// What is being done (a short text) and how far the whole is, 0..100.
using BackupProgress = std::function<void(const QString& step, int percent)>;

// A backup is a folder: the database files of the data directory, its other files, the image
// folder, manifest.json with the program's version, the date, the practice it comes from and each
// table's row count, and SHA256SUMS listing every file's SHA-256 (manifest.json's included) as
// `sha256sum -c` reads it, signed in SHA256SUMS.sig with a key of the workstation that made it.
struct Backup {
    static constexpr const char* kManifestFile = "manifest.json";
    static constexpr const char* kSumsFile = "SHA256SUMS";
    static constexpr const char* kSignatureFile = "SHA256SUMS.sig";
    static constexpr const char* kDataFolder = "data";
    static constexpr const char* kImagesFolder = "xrays";
    static constexpr const char* kProgram = "Orvane";
    static constexpr int kFormat = 3;
};

struct BackupSummary {
    QString folder;
    int tables = 0;
    qint64 rows = 0;
    int files = 0;
    qint64 bytes = 0;
    // What the command tells besides the counts: what was checked, what was left out or kept.
    QStringList notes;
};

// The folder of a practice's images ("xrays" in it) and of its backups: the parent of its data
// directory; for a practice on a server, which has no folder, this workstation's settings
// directory.
QString practiceRootOf(const QString& location);
// The image folder that belongs to a practice: "xrays" in its root.
QString imagesFolderOf(const QString& location);

// Writes a backup of the data directory and its image folder into the new folder `out` while
// other workstations go on working, then opens it, checks it and compares it with what was
// read. The folder appears only when all of this succeeded.
BackupSummary makeBackup(const QString& dataDirectory, const QString& imagesFolder, const QString& out,
    const BackupProgress& progress = {});

// The backup at exit: a new folder below `folder`, named by the time (with a number behind when
// another workstation took that name in the same second), then the newest `keep` backups kept.
// Several workstations may close at once: one backup at a time writes into a folder, and what a
// stopped one left behind is removed. Returns the summary of the new backup.
BackupSummary makeBackupInto(const QString& location, const QString& imagesFolder, const QString& folder,
    int keep, const BackupProgress& progress = {});

// Reads a backup's manifest and checks its signature and every file it lists against its sum,
// touching nothing. Returns the manifest; BackupError with the reason when the backup is not sound
// (or, without `force`, when its signature cannot be checked on this workstation).
QJsonObject verifyBackupFiles(const QString& backup, bool force = false);

// Restores a backup into the data directory and its image folder: refuses an unsound backup
// before anything is touched, refuses a location that holds anything unless `force`, builds
// and checks the practice beside it and only then swaps both folders in under a journal, so that
// the practice is the old one with its images or the new one with its images, however the restore
// ends. What it replaced is kept beside it (the notes say where).
BackupSummary restoreBackup(const QString& backup, const QString& dataDirectory, const QString& imagesFolder,
    bool force, const BackupProgress& progress = {});

// Finishes the swaps of a restore into the data directory that was stopped half-way (nothing when
// none was), as the program does before it opens the practice. Returns the folders it kept of the
// replaced practice.
QStringList finishStoppedRestore(const QString& dataDirectory);

// Keeps the newest `keep` backups (by name, which starts with the date) among the finished
// folders in `folder` that hold a manifest; removes the others. Returns the removed ones.
QStringList pruneBackups(const QString& folder, int keep);

// A new backup folder's name for now: sorts by date.
QString backupFolderName();

} // namespace data
